#include "data/Records.h"

#include "data/DataError.h"
#include "data/Dates.h"
#include "data/HotelFile.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "data/TextLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>
#include <sqlite3.h>

namespace presenze {
namespace {

// A stored value quoted in a message: control bytes (a binary value read as
// text) shown as "?", and a long value cut short.
std::string shownValue(std::string_view raw)
{
    constexpr std::size_t kShown = 60;
    std::string text(raw.substr(0, kShown));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F')
            c = '?';
    if (raw.size() > kShown)
        text += "...";
    return text;
}

// Reads the columns of one statement with the conversions of the data files,
// naming file, table and field in its errors.
class FieldReader {
public:
    FieldReader(const Statement& st, const Database& db, std::string_view table)
        : m_st(st), m_db(db), m_table(table)
    {}

    // Null reads as empty text.
    std::string text(int col) const
    {
        std::string out;
        text(col, out);
        return out;
    }
    void text(int col, std::string& out) const
    {
        sqlite3_value* v = m_st.value(col);
        const auto* data = sqlite3_value_text(v);
        if (!data) {
            out.clear();
            return;
        }
        utf8ToCp1252(std::string_view(reinterpret_cast<const char*>(data),
                                      static_cast<std::size_t>(sqlite3_value_bytes(v))),
                     out);
    }

    std::optional<std::int64_t> optionalNumber(int col) const
    {
        sqlite3_value* v = m_st.value(col);
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return std::nullopt;
        case SQLITE_INTEGER:
            return sqlite3_value_int64(v);
        case SQLITE_FLOAT: {
            const double d = sqlite3_value_double(v);
            if (!std::isfinite(d) || std::fabs(d) > 9.0e18)
                fail(col, "Valore numerico fuori dai limiti");
            return std::llround(d);
        }
        default:
            break;
        }
        const std::string raw(trimBlanks(text(col)));
        if (raw.empty())
            return std::nullopt;
        std::int64_t value = 0;
        const auto [end, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), value);
        if (ec != std::errc() || end != raw.data() + raw.size())
            fail(col, "Valore non numerico \"" + shownValue(raw) + "\"");
        return value;
    }

    std::int64_t number(int col) const { return optionalNumber(col).value_or(0); }

    Currency currency(int col) const
    {
        sqlite3_value* v = m_st.value(col);
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return Currency::whole(sqlite3_value_int64(v));
        case SQLITE_FLOAT:
            try {
                return Currency::fromDouble(sqlite3_value_double(v));
            } catch (const DataError&) {
                fail(col, "Importo fuori dai limiti della valuta");
            }
        default:
            break;
        }
        const std::string raw(trimBlanks(text(col)));
        Currency value;
        if (raw.empty())
            return value;
        if (!Currency::parse(raw, value))
            fail(col, "Importo non valido \"" + shownValue(raw) + "\"");
        return value;
    }

    [[noreturn]] void fail(int col, const std::string& message) const
    {
        throw DataError(message, m_db.fileName(), m_table, m_st.columnName(col));
    }

private:
    const Statement& m_st;
    const Database& m_db;
    std::string m_table;
};

std::string select(std::string_view table, std::span<const std::string_view> fields,
                   std::string_view tail = {})
{
    std::string sql = "SELECT ";
    bool first = true;
    for (auto f : fields) {
        if (!first)
            sql += ", ";
        sql += '"';
        sql += f;
        sql += '"';
        first = false;
    }
    sql += " FROM \"";
    sql += table;
    sql += '"';
    if (!tail.empty()) {
        sql += ' ';
        sql += tail;
    }
    return sql;
}

std::string select(std::string_view table, std::initializer_list<std::string_view> fields,
                   std::string_view tail = {})
{
    return select(table, std::span<const std::string_view>(fields.begin(), fields.size()), tail);
}

// The day (Date::toSerial) of a YYYYMMDD text that is a real day
// (Date::parseKey), read digit by digit.
std::optional<std::int32_t> keyDay(std::string_view key)
{
    if (key.size() != 8)
        return std::nullopt;
    int digits[8];
    for (std::size_t i = 0; i < 8; ++i) {
        if (key[i] < '0' || key[i] > '9')
            return std::nullopt;
        digits[i] = key[i] - '0';
    }
    const Date date{digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3],
                    digits[4] * 10 + digits[5], digits[6] * 10 + digits[7]};
    if (!date.isValid())
        return std::nullopt;
    return static_cast<std::int32_t>(date.toSerial());
}

// The value of a query of one number, or nullopt when it gives null.
std::optional<std::int64_t> singleNumber(const Database& db, const std::string& sql)
{
    Statement st = db.prepare(sql);
    if (!st.step() || st.isNull(0))
        return std::nullopt;
    return st.integer(0);
}

// An upper bound of the number of rows of the table, so that a reader's
// vector is allocated once. The span of its row ids is found at the two ends
// of the table's tree, without reading the table; counting the rows would
// read every page of the file one more time. A span larger than the file
// could hold (a single row may have the highest row id there is) is not
// taken: the rows are counted then.
std::size_t rowCount(const Database& db, std::string_view table)
{
    const std::string from = " FROM \"" + std::string(table) + "\"";
    const auto highest = singleNumber(db, "SELECT max(rowid)" + from);
    const auto lowest = singleNumber(db, "SELECT min(rowid)" + from);
    if (!highest || !lowest)
        return 0;
    const auto pages = singleNumber(db, "PRAGMA page_count").value_or(0);
    const auto pageSize = singleNumber(db, "PRAGMA page_size").value_or(0);
    // Every row takes some bytes of a page: far fewer rows than bytes.
    const long double span = static_cast<long double>(*highest) - *lowest + 1;
    if (span <= static_cast<long double>(pages) * static_cast<long double>(pageSize) / 4)
        return static_cast<std::size_t>(span);
    return static_cast<std::size_t>(
        std::max<std::int64_t>(singleNumber(db, "SELECT count(*)" + from).value_or(0), 0));
}

// True when a value of that kind (sqlite3_value_type, asked before the
// value is read as text) is text that is not empty and not eight digits, or
// a number that has not eight digits: a date the window's text comparison
// cannot place.
bool malformedDate(int type, sqlite3_value* value)
{
    if (type == SQLITE_NULL || type == SQLITE_INTEGER)
        return type == SQLITE_INTEGER &&
               (sqlite3_value_int64(value) < 10000000 || sqlite3_value_int64(value) > 99999999);
    const unsigned char* text = sqlite3_value_text(value);
    const int size = sqlite3_value_bytes(value);
    bool bad = size != 0 && size != 8;
    for (int i = 0; i < size && !bad; ++i)
        bad = text[i] < '0' || text[i] > '9';
    return bad;
}

// The value as text, as CAST(value AS TEXT) gives it; nullopt for null.
std::optional<std::string_view> castText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (!text)
        return std::nullopt;
    return std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

// SQL function riga_nel_periodo(arrivo, partenza, ultimo, primo): 1 when the
// room line is to be read for the window from `primo` to `ultimo` (YYYYMMDD
// texts), else 0. The dates compare as text (as CAST AS TEXT gives them; a
// null compares as nothing). A line arriving on or before `ultimo` and
// leaving after `primo` is read; so is one whose date is no YYYYMMDD text
// when its other date lets it lie in the window, so that it is never left
// out without a word (it is warned about). One call per row costs the scan
// far less than the same test written in SQL.
void lineInWindow(sqlite3_context* context, int, sqlite3_value** values)
{
    const int arrivalType = sqlite3_value_type(values[0]);
    const int departureType = sqlite3_value_type(values[1]);
    const auto arrival = castText(values[0]);
    const auto departure = castText(values[1]);
    const auto last = castText(values[2]);
    const auto first = castText(values[3]);
    const bool arrivesBy = arrival && last && *arrival <= *last;
    const bool leavesAfter = departure && first && *departure > *first;
    if (arrivesBy && leavesAfter) {
        sqlite3_result_int(context, 1);
        return;
    }
    const bool arrivesAfter = arrival && last && *arrival > *last;
    const bool leavesBy = departure && first && *departure <= *first;
    const auto badArrival = [&] { return malformedDate(arrivalType, values[0]); };
    const auto badDeparture = [&] { return malformedDate(departureType, values[1]); };
    sqlite3_result_int(context, (arrivesAfter && badArrival() && (leavesAfter || badDeparture())) ||
                                    (leavesBy && badDeparture() && (arrivesBy || badArrival())));
}

// SQL function giorno_reale(x): 1 when x is a real day as YYYYMMDD (text or
// number), else 0.
void realDay(sqlite3_context* context, int, sqlite3_value** values)
{
    const unsigned char* text = sqlite3_value_text(values[0]);
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(values[0]));
    sqlite3_result_int(context, text && Date::parseKey(std::string_view(
                                            reinterpret_cast<const char*>(text), size)));
}

std::vector<HotelRecord> registryOf(const Database& db)
{
    db.requireColumns(schema::kRegistry, {"Numero", "NumeroHotel", "RagioneSociale"});
    const auto cols = db.columns(schema::kRegistry);
    bool hasCodes = false;
    for (const auto& c : cols)
        hasCodes = hasCodes || equalText(c, "CodiceAssistenza");
    const std::string sql =
        hasCodes ? select(schema::kRegistry,
                          {"Numero", "NumeroHotel", "RagioneSociale", "CodiceAssistenza"},
                          "ORDER BY \"NumeroHotel\", rowid")
                 : select(schema::kRegistry, {"Numero", "NumeroHotel", "RagioneSociale"},
                          "ORDER BY \"NumeroHotel\", rowid");
    Statement st = db.prepare(sql);
    const FieldReader f(st, db, schema::kRegistry);
    std::vector<HotelRecord> hotels;
    while (st.step()) {
        HotelRecord h;
        h.numero = f.number(0);
        h.numeroHotel = f.number(1);
        h.ragioneSociale = f.text(2);
        if (hasCodes)
            h.codiceAssistenza = f.text(3);
        hotels.push_back(std::move(h));
    }
    return hotels;
}

std::vector<RoomTypeRecord> roomTypesOf(const Database& db)
{
    db.requireColumns(schema::kRoomTypes, {"NumeroHotel", "Tipologia", "Quantita"});
    Statement st = db.prepare(
        select(schema::kRoomTypes, {"NumeroHotel", "Tipologia", "Quantita"}, "ORDER BY rowid"));
    const FieldReader f(st, db, schema::kRoomTypes);
    std::vector<RoomTypeRecord> types;
    while (st.step())
        types.push_back({f.number(0), f.text(1), f.number(2)});
    return types;
}

std::vector<CompanyRecord> companiesOf(const Database& db)
{
    db.requireColumns(schema::kCompanies, {"NumeroHotel", "Codice", "RagioneSociale", "Localita"});
    Statement st = db.prepare(select(schema::kCompanies,
                                     {"NumeroHotel", "Codice", "RagioneSociale", "Localita"},
                                     "ORDER BY rowid"));
    const FieldReader f(st, db, schema::kCompanies);
    std::vector<CompanyRecord> companies;
    while (st.step())
        companies.push_back({f.number(0), f.number(1), f.text(2), f.text(3)});
    return companies;
}

const std::initializer_list<std::string_view> kHeaderFields = {
    "NumeroPrenotazione", "NumeroHotel", "TipoPrenotazione", "Ditta",
    "CodiceDitta",        "Nazione",     "Commento"};

// Gathers a reader's records into a vector.
template <typename Record> class VectorSink final : public RecordSink<Record> {
public:
    void restart(std::size_t rows) override
    {
        records.clear();
        records.reserve(rows);
    }
    void add(const Record& record) override { records.push_back(record); }

    std::vector<Record> records;
};

void headersOf(const Database& db, BookingFields fields, RecordSink<BookingHeader>& sink)
{
    db.requireColumns(schema::kHeaders, kHeaderFields);
    const bool code = fields != BookingFields::Tally;
    const bool nation = fields != BookingFields::Type2;
    // Columns 0 to 3, then those asked for.
    std::vector<std::string_view> columns = {"NumeroPrenotazione", "NumeroHotel",
                                             "TipoPrenotazione", "Ditta"};
    const int codeColumn = code ? static_cast<int>(columns.size()) : -1;
    if (code)
        columns.push_back("CodiceDitta");
    const int nationColumn = nation ? static_cast<int>(columns.size()) : -1;
    if (nation) {
        columns.push_back("Nazione");
        columns.push_back("Commento");
    }
    Statement st = db.prepare(select(schema::kHeaders, columns, "ORDER BY rowid"));
    const FieldReader f(st, db, schema::kHeaders);
    sink.restart(rowCount(db, schema::kHeaders));
    BookingHeader h;
    std::int64_t position = 0;
    while (st.step()) {
        ++position;
        const auto number = f.optionalNumber(0);
        const auto hotel = f.optionalNumber(1);
        if (!number || !hotel)
            continue;
        h.numeroPrenotazione = *number;
        h.numeroHotel = *hotel;
        f.text(2, h.tipoPrenotazione);
        f.text(3, h.ditta);
        if (code)
            h.codiceDitta = f.optionalNumber(codeColumn);
        if (nation) {
            f.text(nationColumn, h.nazione);
            f.text(nationColumn + 1, h.commento);
        }
        h.order = position;
        sink.add(h);
    }
}

// The columns of a room line, in the order readLineValues reads them.
std::vector<std::string_view> roomLineColumns(bool prices)
{
    std::vector<std::string_view> columns = {
        "NumeroPrenotazione", "NumeroHotel",   "TipoPrenotazione",       "DataArrivo",
        "DataPartenza",       "NumeroPersone", schema::kRoomsQuantitySql};
    if (prices)
        columns.insert(columns.end(), {"Note", "GiorniTariffa", "Prezzo"});
    return columns;
}

// A line's kind, counts and (when asked for) note, tariff period and price.
void readLineValues(const FieldReader& f, RoomLine& line, bool prices)
{
    f.text(2, line.tipoPrenotazione);
    line.numeroPersone = f.number(5);
    line.quantitaCamere = f.number(6);
    if (prices) {
        f.text(7, line.note);
        line.giorniTariffa = f.number(8);
        if (line.giorniTariffa <= 0)
            line.giorniTariffa = 1;
        line.prezzo = f.currency(9);
    }
}

void roomLinesOf(const Database& db, std::string_view firstKey, std::string_view lastKey,
                 const WarningSink& warn, BookingFields fields, RecordSink<RoomLine>& sink)
{
    db.requireColumns(schema::kRooms, {"NumeroPrenotazione", "NumeroHotel", "TipoPrenotazione",
                                       "DataArrivo", "DataPartenza", "NumeroPersone",
                                       schema::kRoomsQuantity, "Note", "GiorniTariffa", "Prezzo"});
    sqlite3_create_function(db.handle(), "riga_nel_periodo", 4,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                            lineInWindow, nullptr, nullptr);
    const bool prices = fields != BookingFields::Tally;
    Statement st = db.prepare(
        select(schema::kRooms, roomLineColumns(prices),
               "WHERE riga_nel_periodo(\"DataArrivo\", \"DataPartenza\", ?1, ?2) ORDER BY rowid"));
    st.bindText(1, lastKey).bindText(2, firstKey);
    const FieldReader f(st, db, schema::kRooms);
    sink.restart(rowCount(db, schema::kRooms));
    RoomLine line;
    std::int64_t kept = 0;
    while (st.step()) {
        f.text(3, line.dataArrivo);
        // An empty departure is never after firstKey; a line without an
        // arrival is left out here.
        if (line.dataArrivo.empty())
            continue;
        f.text(4, line.dataPartenza);
        const auto number = f.optionalNumber(0);
        const auto hotel = f.optionalNumber(1);
        const auto arrival = keyDay(line.dataArrivo);
        const auto departure = arrival ? keyDay(line.dataPartenza) : std::nullopt;
        const bool arrivalOk = arrival.has_value();
        if (!arrival || !departure) {
            if (warn) {
                const std::string bad = arrivalOk ? line.dataPartenza : line.dataArrivo;
                warn("Riga di prenotazione esclusa: data non valida \"" + shownValue(bad) +
                     "\" (file \"" + db.fileName() + "\", hotel " +
                     std::to_string(hotel.value_or(0)) + ", prenotazione n. " +
                     std::to_string(number.value_or(0)) + ", campo " +
                     (arrivalOk ? "DataPartenza" : "DataArrivo") + ")");
            }
            continue;
        }
        if (!number || !hotel)
            continue;
        line.numeroPrenotazione = *number;
        line.numeroHotel = *hotel;
        readLineValues(f, line, prices);
        line.order = ++kept;
        line.arrivalDay = *arrival;
        line.departureDay = *departure;
        sink.add(line);
    }
}

// The lines whose dates make no stay, with a real day in the window or none.
std::vector<RoomLine> faultyRoomLinesOf(const Database& db, std::string_view firstKey,
                                        std::string_view lastKey, BookingFields fields)
{
    sqlite3_create_function(db.handle(), "giorno_reale", 1,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, realDay,
                            nullptr, nullptr);
    const bool prices = fields != BookingFields::Tally;
    Statement st = db.prepare(
        select(schema::kRooms, roomLineColumns(prices),
               "WHERE NOT (giorno_reale(\"DataArrivo\") AND giorno_reale(\"DataPartenza\") AND "
               "CAST(\"DataPartenza\" AS TEXT) >= CAST(\"DataArrivo\" AS TEXT)) "
               "ORDER BY rowid"));
    const FieldReader f(st, db, schema::kRooms);
    const auto inWindow = [&](const std::string& key) {
        return Date::parseKey(key) && key >= firstKey && key <= lastKey;
    };
    std::vector<RoomLine> lines;
    std::int64_t position = 0;
    while (st.step()) {
        ++position;
        RoomLine line;
        f.text(3, line.dataArrivo);
        f.text(4, line.dataPartenza);
        const bool someDay = Date::parseKey(line.dataArrivo) || Date::parseKey(line.dataPartenza);
        if (someDay && !inWindow(line.dataArrivo) && !inWindow(line.dataPartenza))
            continue;
        const auto number = f.optionalNumber(0);
        const auto hotel = f.optionalNumber(1);
        if (!number || !hotel)
            continue;
        line.numeroPrenotazione = *number;
        line.numeroHotel = *hotel;
        readLineValues(f, line, prices);
        line.order = position;
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

std::vector<HotelRecord> readHotelRegistry(const DataFolder& folder)
{
    return readHotelFile(folder, schema::kRegistryFile, registryOf);
}

std::vector<RoomTypeRecord> readRoomTypes(const DataFolder& folder)
{
    return readHotelFile(folder, schema::kRoomTypesFile, roomTypesOf);
}

std::vector<CompanyRecord> readCompanies(const DataFolder& folder)
{
    return readHotelFile(folder, schema::kCompaniesFile, companiesOf);
}

std::vector<BookingHeader> readBookingHeaders(const DataFolder& folder, std::string_view season,
                                              BookingFields fields)
{
    VectorSink<BookingHeader> headers;
    readBookingHeaders(folder, season, fields, headers);
    return std::move(headers.records);
}

void readBookingHeaders(const DataFolder& folder, std::string_view season, BookingFields fields,
                        RecordSink<BookingHeader>& sink)
{
    readHotelFile(folder, schema::headersFile(season), [&](const Database& db) {
        headersOf(db, fields, sink);
        return 0;
    });
}

std::vector<RoomLine> readRoomLines(const DataFolder& folder, std::string_view season,
                                    std::string_view firstKey, std::string_view lastKey,
                                    const WarningSink& warn, BookingFields fields,
                                    std::vector<RoomLine>* faulty)
{
    VectorSink<RoomLine> lines;
    readRoomLines(folder, season, firstKey, lastKey, warn, fields, lines, faulty);
    // A window that keeps few of the table's lines gives the room back.
    if (lines.records.capacity() > 2 * lines.records.size())
        lines.records.shrink_to_fit();
    return std::move(lines.records);
}

void readRoomLines(const DataFolder& folder, std::string_view season, std::string_view firstKey,
                   std::string_view lastKey, const WarningSink& warn, BookingFields fields,
                   RecordSink<RoomLine>& sink, std::vector<RoomLine>* faulty)
{
    // The warnings of the read that counts, once.
    std::vector<std::string> warnings;
    readHotelFile(folder, schema::roomsFile(season), [&](const Database& db) {
        warnings.clear();
        roomLinesOf(
            db, firstKey, lastKey, [&](std::string_view text) { warnings.emplace_back(text); },
            fields, sink);
        // In the same read, so that both lists come from one state of the file.
        if (faulty)
            *faulty = faultyRoomLinesOf(db, firstKey, lastKey, fields);
        return 0;
    });
    if (warn)
        for (const auto& text : warnings)
            warn(text);
}

std::vector<std::string> readCompanyListLines(const DataFolder& folder)
{
    const auto path = folder.find(schema::kCompanyListFile);
    if (!path)
        return {};
    // The program writes it whole, by renaming: framed, never waited for.
    return readSteadily(
        *path, [&path] { return readTextLines(*path); }, kNoStillness, folder.waitNotice());
}

} // namespace presenze
