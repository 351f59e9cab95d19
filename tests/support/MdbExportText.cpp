#include "support/MdbExportText.h"

#include "data/Dates.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"

#include <cstdio>
#include <optional>
#include <sqlite3.h>

namespace presenze::test {
namespace {
namespace fs = std::filesystem;

struct Column {
    std::string name;
    std::string type;
};

std::vector<Column> jetColumns(const Database& db, std::string_view table)
{
    Statement st = db.prepare("SELECT name, type FROM _jet_columns WHERE tbl = ?1 ORDER BY ord");
    st.bindText(1, utf8ToCp1252(table));
    std::vector<Column> columns;
    while (st.step())
        columns.push_back({std::string(st.utf8(0)), std::string(st.utf8(1))});
    return columns;
}

std::string quotedIdentifier(std::string_view name)
{
    std::string text = "\"";
    for (char c : name) {
        text += c;
        if (c == '"')
            text += '"';
    }
    return text + '"';
}

std::string quotedValue(std::string_view value)
{
    std::string text = "\"";
    for (char c : value) {
        text += c;
        if (c == '"')
            text += '"';
    }
    return text + '"';
}

// Days since 30/12/1899 of a "YYYY-MM-DD hh:mm:ss" text.
std::optional<double> daysOf(std::string_view text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (std::sscanf(std::string(text).c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
        return std::nullopt;
    const long serial = Date{y, mo, d}.toSerial() + 25569;
    const double time = (h * 3600 + mi * 60 + s) / 86400.0;
    return serial >= 0 ? serial + time : serial - time;
}

// libmdb formats a date only between 30/12/1899 and day 1,000,000; any other
// date comes out of a zeroed calendar record.
std::string dateField(const Statement& st, int col)
{
    constexpr std::string_view kOutOfRange = "\"1900-01-00 00:00:00\"";
    if (st.type(col) != SQLITE_TEXT)
        return std::string(kOutOfRange);
    const auto days = daysOf(st.utf8(col));
    if (!days || *days < 0.0 || *days > 1e6)
        return std::string(kOutOfRange);
    return quotedValue(st.utf8(col));
}

std::string field(const Statement& st, int col, const std::string& type)
{
    char number[64];
    if (st.isNull(col))
        return {};
    if (type == "Single") {
        std::snprintf(number, sizeof number, "%.8g", static_cast<float>(st.real(col)));
        return number;
    }
    if (type == "Double") {
        std::snprintf(number, sizeof number, "%.16g", st.real(col));
        return number;
    }
    if (type == "DateTime")
        return dateField(st, col);
    if (type == "Text" || type == "Memo") {
        // An empty text cannot be told from a null one.
        const auto text = st.utf8(col);
        return text.empty() ? std::string() : quotedValue(text);
    }
    if (type == "OLE" || type == "Binary" || type == "Replication ID") {
        // Binary values are stripped to an empty quoted field.
        if (type == "Binary" && st.utf8(col).empty())
            return {};
        return "\"\"";
    }
    // Boolean, Byte, Integer, Long, Currency, Numeric: as stored.
    return std::string(st.utf8(col));
}

} // namespace

std::vector<std::string> copiedTables(const fs::path& copy)
{
    const Database db(copy, Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT tbl FROM _jet_columns GROUP BY tbl ORDER BY min(rowid)");
    std::vector<std::string> tables;
    while (st.step())
        tables.emplace_back(st.utf8(0));
    return tables;
}

std::string mdbExportText(const fs::path& copy, std::string_view table)
{
    const Database db(copy, Database::Mode::ReadOnly);
    const auto columns = jetColumns(db, table);
    std::string out;
    for (std::size_t i = 0; i < columns.size(); ++i)
        out += (i ? "," : "") + columns[i].name;
    out += '\n';
    Statement st = db.prepare("SELECT * FROM " + quotedIdentifier(table) + " ORDER BY rowid");
    while (st.step()) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i)
                out += ',';
            out += field(st, static_cast<int>(i), columns[i].type);
        }
        out += '\n';
    }
    return out;
}

} // namespace presenze::test
