#include "data/Records.h"

#include "data/DataError.h"
#include "data/Dates.h"
#include "data/HotelFile.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sqlite3.h>

namespace presenze {
namespace {

// Reads the columns of one statement with the conversions of the data files,
// naming file, table and field in its errors.
class FieldReader {
public:
    FieldReader(const Statement& st, const Database& db, std::string_view table)
        : m_st(st), m_db(db), m_table(table)
    {
    }

    std::string text(int col) const { return m_st.isNull(col) ? std::string() : m_st.text(col); }

    std::optional<std::int64_t> optionalNumber(int col) const
    {
        switch (m_st.type(col)) {
        case SQLITE_NULL:
            return std::nullopt;
        case SQLITE_INTEGER:
            return m_st.integer(col);
        case SQLITE_FLOAT: {
            const double v = m_st.real(col);
            if (!std::isfinite(v) || std::fabs(v) > 9.0e18)
                fail(col, "Valore numerico fuori dai limiti");
            return std::llround(v);
        }
        default:
            break;
        }
        const std::string raw(trimBlanks(m_st.text(col)));
        if (raw.empty())
            return std::nullopt;
        std::int64_t value = 0;
        const auto [end, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), value);
        if (ec != std::errc() || end != raw.data() + raw.size())
            fail(col, "Valore non numerico \"" + raw + "\"");
        return value;
    }

    std::int64_t number(int col) const { return optionalNumber(col).value_or(0); }

    Currency currency(int col) const
    {
        switch (m_st.type(col)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return Currency::whole(m_st.integer(col));
        case SQLITE_FLOAT:
            try {
                return Currency::fromDouble(m_st.real(col));
            } catch (const DataError&) {
                fail(col, "Importo fuori dai limiti della valuta");
            }
        default:
            break;
        }
        const std::string raw(trimBlanks(m_st.text(col)));
        Currency value;
        if (raw.empty())
            return value;
        if (!Currency::parse(raw, value))
            fail(col, "Importo non valido \"" + raw + "\"");
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

std::string select(std::string_view table, std::initializer_list<std::string_view> fields,
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

} // namespace

std::vector<HotelRecord> readHotelRegistry(const DataFolder& folder)
{
    const Database db = openHotelFile(folder, schema::kRegistryFile);
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

std::vector<RoomTypeRecord> readRoomTypes(const DataFolder& folder)
{
    const Database db = openHotelFile(folder, schema::kRoomTypesFile);
    db.requireColumns(schema::kRoomTypes, {"NumeroHotel", "Tipologia", "Quantita"});
    Statement st = db.prepare(
        select(schema::kRoomTypes, {"NumeroHotel", "Tipologia", "Quantita"}, "ORDER BY rowid"));
    const FieldReader f(st, db, schema::kRoomTypes);
    std::vector<RoomTypeRecord> types;
    while (st.step())
        types.push_back({f.number(0), f.text(1), f.number(2)});
    return types;
}

std::vector<CompanyRecord> readCompanies(const DataFolder& folder)
{
    const Database db = openHotelFile(folder, schema::kCompaniesFile);
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

namespace {

const std::initializer_list<std::string_view> kHeaderFields = {
    "NumeroPrenotazione", "NumeroHotel", "TipoPrenotazione", "Ditta",
    "CodiceDitta",        "Nazione",     "Commento"};

// The header of the current row, whose numbers are already read.
BookingHeader headerOf(const FieldReader& f, std::int64_t number, std::int64_t hotel,
                       std::int64_t order)
{
    BookingHeader h;
    h.numeroPrenotazione = number;
    h.numeroHotel = hotel;
    h.tipoPrenotazione = f.text(2);
    h.ditta = f.text(3);
    h.codiceDitta = f.optionalNumber(4);
    h.nazione = f.text(5);
    h.commento = f.text(6);
    h.order = order;
    return h;
}

} // namespace

std::vector<BookingHeader> readBookingHeaders(const DataFolder& folder, std::string_view season)
{
    const Database db = openHotelFile(folder, schema::headersFile(season));
    db.requireColumns(schema::kHeaders, kHeaderFields);
    Statement st = db.prepare(select(schema::kHeaders, kHeaderFields, "ORDER BY rowid"));
    const FieldReader f(st, db, schema::kHeaders);
    std::vector<BookingHeader> headers;
    std::int64_t position = 0;
    while (st.step()) {
        ++position;
        const auto number = f.optionalNumber(0);
        const auto hotel = f.optionalNumber(1);
        if (number && hotel)
            headers.push_back(headerOf(f, *number, *hotel, position));
    }
    return headers;
}

std::vector<BookingHeader> readBookingHeaders(const DataFolder& folder, std::string_view season,
                                              const std::vector<BookingKey>& keys)
{
    const Database db = openHotelFile(folder, schema::headersFile(season));
    db.requireColumns(schema::kHeaders, kHeaderFields);
    if (keys.empty())
        return {};
    std::vector<std::pair<std::int64_t, std::int64_t>> wanted;
    wanted.reserve(keys.size());
    for (const auto& key : keys)
        wanted.emplace_back(key.numeroPrenotazione, key.numeroHotel);
    std::sort(wanted.begin(), wanted.end());

    // First the two numbers of every row, which are cheap to read; then the
    // rows asked for, by their row ids (one bound JSON array).
    std::string rowids = "[";
    {
        std::string numbers =
            select(schema::kHeaders, {"NumeroPrenotazione", "NumeroHotel"}, "ORDER BY rowid");
        numbers.replace(numbers.find(" FROM \""), 0, ", rowid");
        Statement scan = db.prepare(numbers);
        const FieldReader f(scan, db, schema::kHeaders);
        while (scan.step()) {
            const auto number = f.optionalNumber(0);
            const auto hotel = f.optionalNumber(1);
            if (!number || !hotel ||
                !std::binary_search(wanted.begin(), wanted.end(), std::pair(*number, *hotel)))
                continue;
            if (rowids.size() > 1)
                rowids += ',';
            rowids += std::to_string(scan.integer(2));
        }
    }
    rowids += ']';
    std::string sql = select(schema::kHeaders, kHeaderFields,
                             "WHERE rowid IN (SELECT value FROM json_each(?1)) ORDER BY rowid");
    sql.replace(sql.find(" FROM \""), 0, ", rowid");
    Statement st = db.prepare(sql);
    st.bindText(1, rowids);
    const FieldReader f(st, db, schema::kHeaders);
    std::vector<BookingHeader> headers;
    while (st.step())
        headers.push_back(headerOf(f, f.number(0), f.number(1), st.integer(7)));
    return headers;
}

std::vector<RoomLine> readRoomLines(const DataFolder& folder, std::string_view season,
                                    std::string_view firstKey, std::string_view lastKey,
                                    const WarningSink& warn)
{
    const Database db = openHotelFile(folder, schema::roomsFile(season));
    db.requireColumns(schema::kRooms, {"NumeroPrenotazione", "NumeroHotel", "TipoPrenotazione",
                                       "DataArrivo", "DataPartenza", "NumeroPersone",
                                       schema::kRoomsQuantity, "Note", "GiorniTariffa", "Prezzo"});
    Statement st = db.prepare(select(
        schema::kRooms,
        {"NumeroPrenotazione", "NumeroHotel", "TipoPrenotazione", "DataArrivo", "DataPartenza",
         "NumeroPersone", schema::kRoomsQuantitySql, "Note", "GiorniTariffa", "Prezzo"},
        "WHERE CAST(\"DataArrivo\" AS TEXT) <= ?1 AND CAST(\"DataPartenza\" AS TEXT) > ?2 "
        "AND CAST(\"DataArrivo\" AS TEXT) <> '' AND CAST(\"DataPartenza\" AS TEXT) <> '' "
        "ORDER BY rowid"));
    st.bindText(1, lastKey).bindText(2, firstKey);
    const FieldReader f(st, db, schema::kRooms);
    std::vector<RoomLine> lines;
    while (st.step()) {
        const auto number = f.optionalNumber(0);
        const auto hotel = f.optionalNumber(1);
        RoomLine line;
        line.dataArrivo = f.text(3);
        line.dataPartenza = f.text(4);
        const bool arrivalOk = Date::parseKey(line.dataArrivo).has_value();
        if (!arrivalOk || !Date::parseKey(line.dataPartenza)) {
            if (warn) {
                const std::string bad = arrivalOk ? line.dataPartenza : line.dataArrivo;
                warn("Riga di prenotazione esclusa: data non valida \"" + bad + "\" (file \"" +
                     db.fileName() + "\", hotel " + std::to_string(hotel.value_or(0)) +
                     ", prenotazione n. " + std::to_string(number.value_or(0)) + ", campo " +
                     (arrivalOk ? "DataPartenza" : "DataArrivo") + ")");
            }
            continue;
        }
        if (!number || !hotel)
            continue;
        line.numeroPrenotazione = *number;
        line.numeroHotel = *hotel;
        line.tipoPrenotazione = f.text(2);
        line.numeroPersone = f.number(5);
        line.quantitaCamere = f.number(6);
        line.note = f.text(7);
        line.giorniTariffa = f.number(8);
        if (line.giorniTariffa <= 0)
            line.giorniTariffa = 1;
        line.prezzo = f.currency(9);
        line.order = lines.size() + 1;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> readCompanyListLines(const DataFolder& folder)
{
    std::vector<std::string> lines;
    const auto path = folder.find(schema::kCompanyListFile);
    if (!path)
        return lines;
    std::ifstream in(*path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        lines.push_back(content.substr(start, end - start));
        if (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

} // namespace presenze
