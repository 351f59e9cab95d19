#pragma once
// A thin RAII wrapper over SQLite: a connection, prepared statements with
// bound parameters (values are never spliced into SQL text), transactions.
// Text goes in and comes out as Windows-1252; the files hold UTF-8.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace presenze {

class Statement;

class Database {
public:
    // Immutable: read-only, without locks and without looking for a
    // journal or WAL file beside it, so SQLite never creates, opens or
    // removes one there; the caller sees to it that the file holds one whole
    // state and stays still while it is read.
    enum class Mode { ReadOnly, Immutable, ReadWrite, Create };

    // Opens the file; errors raise DataError naming the file.
    Database(const std::filesystem::path& file, Mode mode);
    // The same, with errors naming shownName (Windows-1252) instead: the
    // data file an SQLite copy was made from.
    Database(const std::filesystem::path& file, Mode mode, std::string shownName);
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Statement prepare(std::string_view sql) const;
    void exec(std::string_view sql) const;

    bool hasTable(std::string_view table) const;
    // Column names of a table, in their order (empty when the table is missing).
    std::vector<std::string> columns(std::string_view table) const;
    // Raises DataError "Tabella mancante" / "Campo mancante" naming the file.
    // Table and field names are Windows-1252, compared without regard to case.
    void requireColumns(std::string_view table,
                        std::initializer_list<std::string_view> fields) const;

    const std::string& fileName() const { return m_name; }
    sqlite3* handle() const { return m_db; }

    // Raises DataError with SQLite's message for the given result code.
    [[noreturn]] void fail(int rc, std::string_view what = {}) const;

private:
    sqlite3* m_db = nullptr;
    std::string m_name; // for messages, Windows-1252
};

class Statement {
public:
    Statement(const Database& db, std::string_view sql);
    ~Statement();
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, double value);
    Statement& bindText(int index, std::string_view cp1252);
    Statement& bindUtf8(int index, std::string_view utf8); // already UTF-8, as stored
    // The same without a copy: the text must stay as it is until the
    // statement is stepped and reset, or bound again.
    Statement& bindUtf8Kept(int index, std::string_view utf8);
    Statement& bindNull(int index);

    // True while a row is available.
    bool step();
    void reset();

    bool isNull(int column) const;
    int type(int column) const; // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, ...
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;      // Windows-1252; null gives ""
    std::string_view utf8(int column) const; // as stored
    // The column's value in the current row, for readers that look at its
    // type and content with the sqlite3_value_* routines (one connection,
    // one thread: the value is not protected by a lock).
    sqlite3_value* value(int column) const;
    int columnCount() const;
    std::string columnName(int column) const;

private:
    const Database* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// BEGIN ... COMMIT; rolls back when destroyed without commit().
class Transaction {
public:
    explicit Transaction(const Database& db);
    ~Transaction();
    void commit();

private:
    const Database& m_db;
    bool m_done = false;
};

// Another program (the front office) holds a lock on the file longer than
// the program waits.
inline constexpr std::string_view kFileInUse =
    "File in uso da un altro programma: riprovare fra poco";

// A data file whose last change by the front office was cut short (a hot
// rollback journal beside it): only the front office can put it right.
inline constexpr std::string_view kInterruptedTransaction =
    "Una modifica del programma di front office si \xE8 interrotta a met\xE0: riaprire il "
    "programma di front office per ripristinare il file, poi riprovare";

// The collation "TESTO" (the booking software's text order: compareText of
// Text1252.h over the Windows-1252 form of the texts) is registered on every
// connection: "ORDER BY Ditta COLLATE TESTO".
inline constexpr std::string_view kTextCollation = "TESTO";

} // namespace presenze
