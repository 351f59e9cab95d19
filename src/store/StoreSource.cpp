#include "store/StoreSource.h"

#include "data/Text1252.h"
#include "store/CopyReader.h"
#include "store/PgConnection.h"
#include "store/PgTransaction.h"
#include "store/SentRows.h"
#include "store/StoreError.h"
#include "store/StoreSchema.h"

#include <algorithm>
#include <charconv>

namespace presenze {
namespace {

// The values of a read travel as settings of the transaction, which the
// COPY's query reads (once each, as subqueries): a COPY takes no parameters,
// and no value is ever put into an SQL text.
constexpr const char* kSetWindow =
    "SELECT set_config('presenze.gruppo', $1, true), "
    "set_config('presenze.sincronizzazione', $2, true), "
    "set_config('presenze.stagione', $3, true), set_config('presenze.dal', $4, true), "
    "set_config('presenze.al', $5, true)";

// No ORDER BY: the rows come in the order they lie in, and the reader puts
// them in file order (the server would sort them on disk).
constexpr const char* kLinesAll =
    "COPY (SELECT riga, numeroprenotazione, numerohotel, tipoprenotazione, dataarrivo, "
    "datapartenza, "
    "numeropersone, quantitacamere, note, giornitariffa, prezzo FROM presenze.camere_prenotazione "
    "WHERE gruppo = (SELECT current_setting('presenze.gruppo')) "
    "AND sincronizzazione = (SELECT current_setting('presenze.sincronizzazione')::bigint) "
    "AND stagione = (SELECT current_setting('presenze.stagione')) "
    "AND dataarrivo <= (SELECT current_setting('presenze.al')) "
    "AND datapartenza > (SELECT current_setting('presenze.dal'))) TO STDOUT";
constexpr const char* kLinesTally =
    "COPY (SELECT riga, numeroprenotazione, numerohotel, tipoprenotazione, dataarrivo, "
    "datapartenza, "
    "numeropersone, quantitacamere FROM presenze.camere_prenotazione "
    "WHERE gruppo = (SELECT current_setting('presenze.gruppo')) "
    "AND sincronizzazione = (SELECT current_setting('presenze.sincronizzazione')::bigint) "
    "AND stagione = (SELECT current_setting('presenze.stagione')) "
    "AND dataarrivo <= (SELECT current_setting('presenze.al')) "
    "AND datapartenza > (SELECT current_setting('presenze.dal'))) TO STDOUT";

// Headers: the fields every report reads, then those of `fields`.
constexpr const char* kHeadersAll =
    "COPY (SELECT riga, numeroprenotazione, numerohotel, tipoprenotazione, ditta, codiceditta, "
    "nazione, commento FROM presenze.scheda_prenotazione "
    "WHERE gruppo = (SELECT current_setting('presenze.gruppo')) "
    "AND sincronizzazione = (SELECT current_setting('presenze.sincronizzazione')::bigint) "
    "AND stagione = (SELECT current_setting('presenze.stagione'))) TO STDOUT";
constexpr const char* kHeadersTally =
    "COPY (SELECT riga, numeroprenotazione, numerohotel, tipoprenotazione, ditta, nazione, "
    "commento FROM presenze.scheda_prenotazione "
    "WHERE gruppo = (SELECT current_setting('presenze.gruppo')) "
    "AND sincronizzazione = (SELECT current_setting('presenze.sincronizzazione')::bigint) "
    "AND stagione = (SELECT current_setting('presenze.stagione'))) TO STDOUT";
constexpr const char* kHeadersType2 =
    "COPY (SELECT riga, numeroprenotazione, numerohotel, tipoprenotazione, ditta, codiceditta "
    "FROM presenze.scheda_prenotazione WHERE gruppo = (SELECT current_setting('presenze.gruppo')) "
    "AND sincronizzazione = (SELECT current_setting('presenze.sincronizzazione')::bigint) "
    "AND stagione = (SELECT current_setting('presenze.stagione'))) TO STDOUT";

std::int64_t numberOf(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        throw StoreError("valore inatteso dal server: \"" + utf8ToCp1252(text.substr(0, 40)) +
                         "\"");
    return value;
}

std::string textOf(const PgResult& result, int row, int column)
{
    return utf8ToCp1252(result.value(row, column));
}

// The records a read hands over, gathered.
template <typename Record> struct Gathered final : RecordSink<Record> {
    void restart(std::size_t rows) override
    {
        records.clear();
        records.reserve(rows);
    }
    void add(const Record& record) override { records.push_back(record); }
    std::vector<Record> records;
};

// The rows of a read, in file order, into the records the sink takes.
void decodeHeaders(SentRows& rows, BookingFields fields, RecordSink<BookingHeader>& sink)
{
    const bool code = fields != BookingFields::Tally;
    const bool nation = fields != BookingFields::Type2;
    sink.restart(rows.size());
    BookingHeader h;
    CopyReader row;
    rows.take([&](std::string_view text) {
        row.read(text);
        h.order = row.number(0);
        h.numeroPrenotazione = row.number(1);
        h.numeroHotel = row.number(2);
        row.text(3, h.tipoPrenotazione);
        row.text(4, h.ditta);
        std::size_t next = 5;
        if (code)
            h.codiceDitta = row.optionalNumber(next++);
        if (nation) {
            row.text(next++, h.nazione);
            row.text(next, h.commento);
        }
        sink.add(h);
    });
}

void decodeLines(SentRows& rows, bool prices, RecordSink<RoomLine>& sink)
{
    sink.restart(rows.size());
    RoomLine line;
    CopyReader row;
    std::int64_t count = 0;
    rows.take([&](std::string_view text) {
        row.read(text);
        line.numeroPrenotazione = row.number(1);
        line.numeroHotel = row.number(2);
        row.text(3, line.tipoPrenotazione);
        row.text(4, line.dataArrivo);
        row.text(5, line.dataPartenza);
        line.numeroPersone = row.number(6);
        line.quantitaCamere = row.number(7);
        if (prices) {
            row.text(8, line.note);
            line.giorniTariffa = row.number(9);
            line.prezzo = row.currency(10);
        }
        // As the folder's reader numbers the lines it gives.
        line.order = ++count;
        sink.add(line);
    });
}

} // namespace

StoreSource::StoreSource(StoreAddress address, std::string group)
    : m_address(std::move(address)), m_group(std::move(group)), m_groupUtf8(cp1252ToUtf8(m_group))
{}

StoreSource::~StoreSource() = default;

std::string StoreSource::identity() const
{
    return "server " + m_address.server + ", gruppo \"" + m_group + "\"";
}

// A connection with its read-only transaction.
struct StoreSource::Session {
    explicit Session(const StoreAddress& address)
        : connection(address), transaction(connection, PgTransaction::Kind::ReadOnly)
    {
        // A read hands every row over to the one process that writes the
        // COPY: helpers that scan beside it only add the passing of rows
        // between processes, and take the cores the station and the other
        // reads need.
        connection.execute("SET LOCAL max_parallel_workers_per_gather = 0");
        // The reads are plain scans: compiling their expressions (about
        // 10 ms for each large read) gains them nothing.
        connection.execute("SET LOCAL jit = off");
    }
    PgConnection connection;
    PgTransaction transaction;
};

template <typename Read> auto StoreSource::locked(Read&& read) const
{
    Session* session = nullptr;
    try {
        session = acquire();
        struct Release {
            const StoreSource& source;
            Session*& session;
            ~Release()
            {
                if (session)
                    source.release(session, std::uncaught_exceptions() > 0);
            }
        } release{*this, session};
        return read(session->connection);
    } catch (const StoreError& e) {
        throw e.withContext("Lettura del gruppo \"" + m_group + "\" dal server " +
                            m_address.server + " non riuscita: ");
    }
}

std::unique_ptr<StoreSource::Session> StoreSource::openSession() const
{
    auto session = std::make_unique<Session>(m_address);
    requireStoreSchema(session->connection);
    const PgResult group = session->connection.query(
        "SELECT sincronizzazione FROM presenze.gruppo WHERE gruppo = $1", {m_groupUtf8});
    if (group.rows() == 0)
        throw StoreError("il gruppo non \xE8 sul server (lo scrive presenze-cli sync)");
    const std::lock_guard lock(m_mutex);
    if (m_sync.empty())
        m_sync = std::string(group.value(0, 0));
    else if (m_sync != group.value(0, 0))
        return nullptr; // a sync committed since the first session began
    return session;
}

StoreSource::Session* StoreSource::acquire() const
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_idle.empty()) {
            Session* session = m_idle.back();
            m_idle.pop_back();
            return session;
        }
        // The first session fixes the state every read sees; a second one,
        // for reads side by side, is kept only when it sees the same.
        const bool first = m_sessions.empty();
        if (!m_opening && (first || (m_sessions.size() < kSessions && !m_onlyOne))) {
            m_opening = true;
            lock.unlock();
            std::unique_ptr<Session> session;
            try {
                session = openSession();
            } catch (const StoreError&) {
                lock.lock();
                m_opening = false;
                m_freed.notify_all();
                if (first)
                    throw;
                m_onlyOne = true;
                continue;
            }
            lock.lock();
            m_opening = false;
            m_freed.notify_all();
            if (!session) {
                if (first)
                    throw StoreError("il gruppo \xE8 stato sincronizzato durante la lettura: "
                                     "ripetere la richiesta");
                m_onlyOne = true;
                continue;
            }
            m_sessions.push_back(std::move(session));
            return m_sessions.back().get();
        }
        m_freed.wait(lock);
    }
}

void StoreSource::release(Session* session, bool failed) const
{
    const std::lock_guard lock(m_mutex);
    if (failed) {
        // A connection that failed once is not used again.
        std::erase_if(m_sessions, [session](const auto& s) { return s.get() == session; });
    } else {
        m_idle.push_back(session);
    }
    m_freed.notify_all();
}

void StoreSource::open() const
{
    locked([](PgConnection&) { return 0; });
}

std::vector<std::string> StoreSource::storedSeasons(PgConnection& connection) const
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_seasons)
            return *m_seasons;
    }
    const PgResult result =
        connection.query("SELECT stagione FROM presenze.stagione WHERE gruppo = $1 "
                         "AND sincronizzazione = $2 ORDER BY riga",
                         {m_groupUtf8, m_sync});
    std::vector<std::string> seasons;
    for (int i = 0; i < result.rows(); ++i)
        seasons.push_back(textOf(result, i, 0));
    const std::lock_guard lock(m_mutex);
    m_seasons = seasons;
    return seasons;
}

std::string StoreSource::storedSeason(PgConnection& connection, std::string_view season) const
{
    const std::vector<std::string> seasons = storedSeasons(connection);
    for (const std::string& stored : seasons)
        if (stored == season)
            return stored;
    for (const std::string& stored : seasons)
        if (equalText(stored, season))
            return stored;
    if (season.empty())
        throw StoreError("la stagione corrente non \xE8 sul server");
    throw StoreError("la stagione \"" + std::string(season) + "\" non \xE8 sul server");
}

std::vector<BookingHeader> StoreSource::bookingHeaders(std::string_view season,
                                                       BookingFields fields) const
{
    Gathered<BookingHeader> headers;
    bookingHeaders(season, fields, headers);
    return std::move(headers.records);
}

void StoreSource::bookingHeaders(std::string_view season, BookingFields fields,
                                 RecordSink<BookingHeader>& sink) const
{
    locked([&](PgConnection& connection) {
        const std::string stored = cp1252ToUtf8(storedSeason(connection, season));
        connection.query(kSetWindow, {m_groupUtf8, m_sync, stored, "", ""});
        SentRows rows;
        connection.copyOut(fields == BookingFields::All     ? kHeadersAll
                           : fields == BookingFields::Tally ? kHeadersTally
                                                            : kHeadersType2,
                           [&](std::string_view text) { rows.add(text); });
        decodeHeaders(rows, fields, sink);
        return 0;
    });
}

std::vector<RoomLine> StoreSource::roomLines(std::string_view season, std::string_view firstKey,
                                             std::string_view lastKey, const WarningSink& warn,
                                             BookingFields fields,
                                             std::vector<RoomLine>* faulty) const
{
    Gathered<RoomLine> lines;
    roomLines(season, firstKey, lastKey, warn, fields, lines, faulty);
    return std::move(lines.records);
}

void StoreSource::roomLines(std::string_view season, std::string_view firstKey,
                            std::string_view lastKey, const WarningSink&, BookingFields fields,
                            RecordSink<RoomLine>& sink, std::vector<RoomLine>* faulty) const
{
    // Lines with a date that is not a real day never reach the server: the
    // sync warned about them.
    if (faulty)
        faulty->clear();
    const bool prices = fields != BookingFields::Tally;
    locked([&](PgConnection& connection) {
        const std::string stored = cp1252ToUtf8(storedSeason(connection, season));
        connection.query(
            kSetWindow, {m_groupUtf8, m_sync, stored, std::string(firstKey), std::string(lastKey)});
        SentRows rows;
        connection.copyOut(prices ? kLinesAll : kLinesTally,
                           [&](std::string_view text) { rows.add(text); });
        decodeLines(rows, prices, sink);
        return 0;
    });
}

std::vector<HotelRecord> StoreSource::hotelRegistry() const
{
    return locked([&](PgConnection& connection) {
        const PgResult result =
            connection.query("SELECT numero, numerohotel, ragionesociale, codiceassistenza "
                             "FROM presenze.anagraficahotels WHERE gruppo = $1 AND "
                             "sincronizzazione = $2 ORDER BY riga",
                             {m_groupUtf8, m_sync});
        std::vector<HotelRecord> hotels;
        for (int i = 0; i < result.rows(); ++i)
            hotels.push_back({numberOf(result.value(i, 0)), numberOf(result.value(i, 1)),
                              textOf(result, i, 2), textOf(result, i, 3)});
        return hotels;
    });
}

std::vector<RoomTypeRecord> StoreSource::roomTypes() const
{
    return locked([&](PgConnection& connection) {
        const PgResult result =
            connection.query("SELECT numerohotel, tipologia, quantita FROM presenze.tipicamere "
                             "WHERE gruppo = $1 AND sincronizzazione = $2 ORDER BY riga",
                             {m_groupUtf8, m_sync});
        std::vector<RoomTypeRecord> types;
        for (int i = 0; i < result.rows(); ++i)
            types.push_back(
                {numberOf(result.value(i, 0)), textOf(result, i, 1), numberOf(result.value(i, 2))});
        return types;
    });
}

std::vector<CompanyRecord> StoreSource::companies() const
{
    return locked([&](PgConnection& connection) {
        const PgResult result = connection.query(
            "SELECT numerohotel, codice, ragionesociale, localita FROM presenze.ditteabituali "
            "WHERE gruppo = $1 AND sincronizzazione = $2 ORDER BY riga",
            {m_groupUtf8, m_sync});
        std::vector<CompanyRecord> companies;
        for (int i = 0; i < result.rows(); ++i)
            companies.push_back({numberOf(result.value(i, 0)), numberOf(result.value(i, 1)),
                                 textOf(result, i, 2), textOf(result, i, 3)});
        return companies;
    });
}

std::vector<std::string> StoreSource::companyListLines() const
{
    return locked([&](PgConnection& connection) {
        const PgResult result =
            connection.query("SELECT testo FROM presenze.elencoditte WHERE gruppo = $1 AND "
                             "sincronizzazione = $2 ORDER BY riga",
                             {m_groupUtf8, m_sync});
        std::vector<std::string> lines;
        for (int i = 0; i < result.rows(); ++i)
            lines.push_back(textOf(result, i, 0));
        return lines;
    });
}

std::vector<std::string> StoreSource::seasons() const
{
    return locked([&](PgConnection& connection) { return storedSeasons(connection); });
}

std::vector<std::string> storedGroups(const StoreAddress& address)
{
    try {
        PgConnection connection(address);
        PgTransaction transaction(connection, PgTransaction::Kind::ReadOnly);
        requireStoreSchema(connection);
        const PgResult result =
            connection.query("SELECT gruppo FROM presenze.gruppo ORDER BY gruppo");
        std::vector<std::string> groups;
        for (int i = 0; i < result.rows(); ++i)
            groups.push_back(textOf(result, i, 0));
        // In the booking software's text order, whatever the server's collation.
        std::sort(groups.begin(), groups.end(), [](const std::string& a, const std::string& b) {
            const int order = compareText(a, b);
            return order != 0 ? order < 0 : a < b;
        });
        return groups;
    } catch (const StoreError& e) {
        throw e.withContext("Lettura dal server " + address.server + " non riuscita: ");
    }
}

} // namespace presenze
