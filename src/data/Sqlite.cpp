#include "data/Sqlite.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"

#include <cctype>
#include <cstring>
#include <sqlite3.h>

namespace presenze {
namespace {

bool isAscii(const void* data, int size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (int i = 0; i < size; ++i)
        if (p[i] >= 0x80)
            return false;
    return true;
}

int collateText(void*, int sizeA, const void* a, int sizeB, const void* b)
{
    const std::string_view va(static_cast<const char*>(a), static_cast<std::size_t>(sizeA));
    const std::string_view vb(static_cast<const char*>(b), static_cast<std::size_t>(sizeB));
    if (isAscii(a, sizeA) && isAscii(b, sizeB))
        return compareText(va, vb);
    return compareText(utf8ToCp1252(va), utf8ToCp1252(vb));
}

bool isBusy(int rc)
{
    return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED;
}

// The URI of a file opened as immutable: the path with the characters a URI
// gives a meaning to escaped.
std::string immutableUri(const std::filesystem::path& file)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const unsigned char c : std::filesystem::absolute(file).string()) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0xF];
        }
    }
    return uri + "?immutable=1";
}

std::string knownMessage(int rc)
{
    if (rc == SQLITE_READONLY_ROLLBACK)
        return std::string(kInterruptedTransaction);
    if (isBusy(rc))
        return std::string(kFileInUse);
    if ((rc & 0xFF) == SQLITE_CORRUPT || (rc & 0xFF) == SQLITE_NOTADB)
        return "File illeggibile o danneggiato: " + sqliteErrorText(rc);
    return {};
}

} // namespace

Database::Database(const std::filesystem::path& file, Mode mode)
    : Database(file, mode, displayName(file))
{}

Database::Database(const std::filesystem::path& file, Mode mode, std::string shownName)
    : m_name(std::move(shownName))
{
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::Immutable:
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    const std::string name = mode == Mode::Immutable ? immutableUri(file) : file.string();
    const int rc = sqlite3_open_v2(name.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const int code = m_db ? sqlite3_extended_errcode(m_db) : rc;
        sqlite3_close(m_db);
        m_db = nullptr;
        if (const std::string known = knownMessage(code); !known.empty())
            throw DataError(known, m_name);
        throw DataError("Impossibile aprire il database: " + sqliteErrorText(code), m_name);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 2000);
    sqlite3_create_collation(m_db, std::string(kTextCollation).c_str(), SQLITE_UTF8, nullptr,
                             collateText);
}

Database::~Database()
{
    sqlite3_close_v2(m_db);
}

Database::Database(Database&& other) noexcept : m_db(other.m_db), m_name(std::move(other.m_name))
{
    other.m_db = nullptr;
}

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        sqlite3_close_v2(m_db);
        m_db = other.m_db;
        m_name = std::move(other.m_name);
        other.m_db = nullptr;
    }
    return *this;
}

Statement Database::prepare(std::string_view sql) const
{
    return Statement(*this, sql);
}

void Database::exec(std::string_view sql) const
{
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, std::string(sql).c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string message = sqliteErrorText(rc);
        sqlite3_free(error);
        if (const std::string known = knownMessage(rc); !known.empty())
            throw DataError(known, m_name);
        throw DataError("Errore del database: " + message, m_name);
    }
}

bool Database::hasTable(std::string_view table) const
{
    Statement st(*this, "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') "
                        "AND name = ?1 COLLATE NOCASE");
    st.bindText(1, table);
    return st.step();
}

std::vector<std::string> Database::columns(std::string_view table) const
{
    std::vector<std::string> names;
    if (!hasTable(table))
        return names;
    Statement st(*this, "SELECT name FROM pragma_table_info(?1)");
    st.bindText(1, table);
    while (st.step())
        names.push_back(st.text(0));
    return names;
}

void Database::requireColumns(std::string_view table,
                              std::initializer_list<std::string_view> fields) const
{
    const auto names = columns(table);
    if (names.empty())
        throw DataError("Tabella mancante", m_name, table);
    for (auto field : fields) {
        bool found = false;
        for (const auto& name : names)
            found = found || equalText(name, field);
        if (!found)
            throw DataError("Campo mancante", m_name, table, field);
    }
}

void Database::fail(int rc, std::string_view what) const
{
    std::string message = "Errore del database";
    if (!what.empty())
        message += " (" + std::string(what) + ")";
    message += ": " + sqliteErrorText(rc);
    if (const std::string known = knownMessage(rc); !known.empty())
        message = known;
    throw DataError(message, m_name);
}

Statement::Statement(const Database& db, std::string_view sql) : m_db(&db)
{
    const int rc =
        sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc);
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

Statement& Statement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Statement& Statement::bind(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
    return *this;
}

Statement& Statement::bindText(int index, std::string_view cp1252)
{
    const std::string utf8 = cp1252ToUtf8(cp1252);
    sqlite3_bind_text(m_stmt, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindUtf8(int index, std::string_view utf8)
{
    sqlite3_bind_text(m_stmt, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindUtf8Kept(int index, std::string_view utf8)
{
    sqlite3_bind_text(m_stmt, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
    return *this;
}

Statement& Statement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_db->fail(rc);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int Statement::type(int column) const
{
    return sqlite3_column_type(m_stmt, column);
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

std::string Statement::text(int column) const
{
    return utf8ToCp1252(utf8(column));
}

std::string_view Statement::utf8(int column) const
{
    const auto* data = sqlite3_column_text(m_stmt, column);
    if (!data)
        return {};
    return {reinterpret_cast<const char*>(data),
            static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))};
}

sqlite3_value* Statement::value(int column) const
{
    return sqlite3_column_value(m_stmt, column);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

std::string Statement::columnName(int column) const
{
    const char* name = sqlite3_column_name(m_stmt, column);
    return name ? utf8ToCp1252(name) : std::string();
}

Transaction::Transaction(const Database& db) : m_db(db)
{
    m_db.exec("BEGIN");
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.exec("ROLLBACK");
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    m_db.exec("COMMIT");
    m_done = true;
}

} // namespace presenze
