#include "support/HotelFolder.h"

#include "data/Schema.h"
#include "support/TestSupport.h"

namespace presenze::test {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRegistryFields = "Numero INTEGER, NumeroHotel INTEGER, "
                                             "RagioneSociale TEXT, CodiceAssistenza TEXT";
constexpr std::string_view kRoomTypeFields = "NumeroHotel INTEGER, Tipologia TEXT, "
                                             "Quantita INTEGER";
constexpr std::string_view kHeaderFields =
    "NumeroPrenotazione INTEGER, NumeroHotel INTEGER, TipoPrenotazione TEXT, Ditta TEXT, "
    "CodiceDitta INTEGER, Nazione TEXT, Commento TEXT";
constexpr std::string_view kPrinterFields = "NumeroHotel INTEGER, Destinazione TEXT, "
                                            "TipoStampa INTEGER, Linea TEXT";
constexpr std::string_view kPrintSettingFields = "TipoStampa INTEGER, Compresso TEXT, "
                                                 "Grassetto TEXT";
constexpr std::string_view kCounterFields = "NumeroHotel INTEGER, LungPagComp INTEGER, "
                                            "LungPagNoComp INTEGER";

std::string roomLineFields()
{
    return "NumeroPrenotazione INTEGER, NumeroHotel INTEGER, TipoPrenotazione TEXT, "
           "DataArrivo TEXT, DataPartenza TEXT, NumeroPersone INTEGER, \"" +
           std::string(schema::kRoomsQuantitySql) +
           "\" INTEGER, Note TEXT, GiorniTariffa INTEGER, Prezzo REAL";
}

std::string create(std::string_view table, std::string_view fields, bool ifMissing = false)
{
    return "CREATE TABLE " + std::string(ifMissing ? "IF NOT EXISTS " : "") + "\"" +
           std::string(table) + "\" (" + std::string(fields) + ");";
}

std::string insert(std::string_view table, std::string_view columns, std::string_view rows)
{
    if (rows.empty())
        return {};
    return "INSERT INTO \"" + std::string(table) + "\" (" + std::string(columns) + ") VALUES " +
           std::string(rows) + ";";
}

std::string quoted(std::string_view text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

} // namespace

void HotelFolder::replace(std::string_view file, std::string_view table,
                          std::string_view definition, std::string_view columns,
                          std::string_view rows) const
{
    const fs::path path = m_dir / file;
    fs::remove(path);
    runSql(path, create(table, definition) + insert(table, columns, rows));
}

HotelFolder& HotelFolder::registry(std::string_view rows, std::string_view columns)
{
    replace(schema::kRegistryFile, schema::kRegistry, kRegistryFields, columns, rows);
    return *this;
}

HotelFolder& HotelFolder::numberedRegistry(int count)
{
    std::string rows;
    for (int i = count; i >= 1; --i) {
        const std::string n = std::to_string(i);
        rows += (rows.empty() ? "(" : ", (") + n + ", " + n + ", 'HOTEL NUMERO " + n + "', '')";
    }
    return registry(rows);
}

HotelFolder& HotelFolder::roomTypes(std::string_view rows)
{
    replace(schema::kRoomTypesFile, schema::kRoomTypes, kRoomTypeFields,
            "NumeroHotel, Tipologia, Quantita", rows);
    return *this;
}

HotelFolder& HotelFolder::season(std::string_view prefix, std::string_view headers,
                                 std::string_view headerColumns, std::string_view lines,
                                 std::string_view lineColumns)
{
    replace(schema::headersFile(prefix), schema::kHeaders, kHeaderFields, headerColumns, headers);
    replace(schema::roomsFile(prefix), schema::kRooms, roomLineFields(), lineColumns, lines);
    return *this;
}

HotelFolder& HotelFolder::printers()
{
    runSql(m_dir / schema::kPrintersFile,
           create(schema::kPrinters, kPrinterFields, true) +
               create(schema::kPrintSettings, kPrintSettingFields, true));
    return *this;
}

HotelFolder& HotelFolder::destination(std::string_view name, int tipo, std::string_view linea,
                                      int hotel)
{
    printers();
    runSql(m_dir / schema::kPrintersFile,
           insert(schema::kPrinters, "NumeroHotel, Destinazione, TipoStampa, Linea",
                  "(" + std::to_string(hotel) + ", " + quoted(name) + ", " + std::to_string(tipo) +
                      ", " + quoted(linea) + ")"));
    return *this;
}

HotelFolder& HotelFolder::printSettings(int tipo, std::string_view compresso,
                                        std::string_view grassetto)
{
    printers();
    runSql(m_dir / schema::kPrintersFile,
           insert(schema::kPrintSettings, "TipoStampa, Compresso, Grassetto",
                  "(" + std::to_string(tipo) + ", " + quoted(compresso) + ", " + quoted(grassetto) +
                      ")"));
    return *this;
}

HotelFolder& HotelFolder::counters()
{
    runSql(m_dir / schema::kCountersFile, create(schema::kCounters, kCounterFields, true));
    return *this;
}

HotelFolder& HotelFolder::pageLengths(int hotel, int compressed, int normal)
{
    counters();
    runSql(m_dir / schema::kCountersFile,
           insert(schema::kCounters, "NumeroHotel, LungPagComp, LungPagNoComp",
                  "(" + std::to_string(hotel) + ", " + std::to_string(compressed) + ", " +
                      std::to_string(normal) + ")"));
    return *this;
}

} // namespace presenze::test
