#include "store/PgConnection.h"

#include "data/Text1252.h"
#include "store/PieceQueue.h"
#include "store/StoreError.h"

#include <future>
#include <libpq-fe.h>
#include <vector>

namespace presenze {
namespace {

// libpq's and the server's text on one line, without the line ends and the
// doubled blanks of its layout.
std::string oneLine(std::string_view text)
{
    std::string line;
    for (const char c : text) {
        const char d = c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
        if (d == ' ' && (line.empty() || line.back() == ' '))
            continue;
        line += d;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return utf8ToCp1252(line);
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

void ignoreNotice(void*, const char*) {}

// The sender gave up on the pieces being made.
struct Abandoned {};

// Why a connection could not be made.
std::string connectionFailure(pg_conn* connection)
{
    const std::string text = connection ? PQerrorMessage(connection) : "";
    if (connection && PQconnectionNeedsPassword(connection))
        return "il server chiede una password: indicarla nel file delle password di PostgreSQL "
               "(~/.pgpass) o in PGPASSWORD";
    if (contains(text, "password authentication failed"))
        return "utente o password non validi";
    if (contains(text, "timeout expired"))
        return "il server non risponde (attesa massima " +
               std::to_string(PgConnection::kConnectSeconds) + " secondi)";
    return "connessione non riuscita: " + oneLine(text);
}

} // namespace

void PgConnection::Close::operator()(pg_conn* connection) const
{
    PQfinish(connection);
}

PgConnection::PgConnection(const StoreAddress& address)
{
    // Keywords are read in order and the last value of each counts: the
    // program's name may be overridden by the connection string, the
    // limits and the encoding may not.
    const std::string timeout = std::to_string(kConnectSeconds);
    const std::vector<const char*> keywords = {"fallback_application_name", "dbname",
                                               "connect_timeout",           "keepalives",
                                               "keepalives_idle",           "keepalives_interval",
                                               "keepalives_count",          "tcp_user_timeout",
                                               "client_encoding",           nullptr};
    const std::vector<const char*> values = {"presenze",
                                             address.conninfo.c_str(),
                                             timeout.c_str(),
                                             "1",
                                             "30",
                                             "10",
                                             "3",
                                             "30000",
                                             "UTF8",
                                             nullptr};
    m_connection.reset(PQconnectdbParams(keywords.data(), values.data(), 1));
    if (!m_connection || PQstatus(m_connection.get()) != CONNECTION_OK)
        throw StoreError(connectionFailure(m_connection.get()));
    PQsetNoticeProcessor(m_connection.get(), ignoreNotice, nullptr);
    // A statement the server cannot finish (a lock held elsewhere, a server
    // under load) gives up rather than keep the station waiting.
    execute("SET statement_timeout = '10min'");
}

void PgConnection::fail(const PgResult& result) const
{
    const std::string state = result.sqlState();
    const std::string text =
        oneLine(result ? result.message() : PQerrorMessage(m_connection.get()));
    if (PQstatus(m_connection.get()) != CONNECTION_OK || state.rfind("08", 0) == 0 ||
        state.rfind("57P", 0) == 0)
        throw StoreError("collegamento con il server interrotto" +
                         (text.empty() ? std::string() : " (" + text + ")"));
    if (state == "42501")
        throw StoreError("permessi insufficienti (" + text + ")");
    if (state == "57014")
        throw StoreError("il server non ha finito in tempo (" + text + ")");
    if (state.rfind("53", 0) == 0)
        throw StoreError("risorse esaurite sul server (" + text + ")");
    throw StoreError("errore del server (" + text + ")");
}

void PgConnection::expect(const PgResult& result, int status) const
{
    if (!result || PQresultStatus(result.get()) != status)
        fail(result);
}

void PgConnection::execute(const char* sql)
{
    expect(PgResult(PQexec(m_connection.get(), sql)), PGRES_COMMAND_OK);
}

PgResult PgConnection::query(const char* sql, std::initializer_list<std::string_view> parameters)
{
    std::vector<std::string> texts(parameters.begin(), parameters.end());
    std::vector<const char*> values;
    values.reserve(texts.size());
    for (const std::string& text : texts)
        values.push_back(text.c_str());
    PgResult result(PQexecParams(m_connection.get(), sql, static_cast<int>(values.size()), nullptr,
                                 values.data(), nullptr, nullptr, 0));
    if (!result || (PQresultStatus(result.get()) != PGRES_TUPLES_OK &&
                    PQresultStatus(result.get()) != PGRES_COMMAND_OK))
        fail(result);
    return result;
}

void PgConnection::copyIn(const char* sql, const std::function<void(const CopySend& send)>& fill)
{
    expect(PgResult(PQexec(m_connection.get(), sql)), PGRES_COPY_IN);
    bool sent = true;
    fill([&](std::string_view data) {
        if (sent && !data.empty())
            sent =
                PQputCopyData(m_connection.get(), data.data(), static_cast<int>(data.size())) == 1;
    });
    if (!sent || PQputCopyEnd(m_connection.get(), nullptr) != 1)
        fail(PgResult(PQgetResult(m_connection.get())));
    PgResult result(PQgetResult(m_connection.get()));
    // The end of the COPY's answers.
    while (PgResult more{PQgetResult(m_connection.get())})
        if (PQresultStatus(more.get()) != PGRES_COMMAND_OK)
            result = std::move(more);
    expect(result, PGRES_COMMAND_OK);
}

void PgConnection::copyOut(const char* sql, const std::function<void(std::string_view row)>& row)
{
    expect(PgResult(PQexec(m_connection.get(), sql)), PGRES_COPY_OUT);
    for (;;) {
        char* data = nullptr;
        const int size = PQgetCopyData(m_connection.get(), &data, 0);
        if (size < 0)
            break;
        const std::unique_ptr<char, void (*)(void*)> held(data, PQfreemem);
        std::string_view text(data, static_cast<std::size_t>(size));
        if (!text.empty() && text.back() == '\n')
            text.remove_suffix(1);
        row(text);
    }
    PgResult result(PQgetResult(m_connection.get()));
    while (PgResult more{PQgetResult(m_connection.get())})
        if (PQresultStatus(more.get()) != PGRES_COMMAND_OK)
            result = std::move(more);
    expect(result, PGRES_COMMAND_OK);
}

} // namespace presenze
