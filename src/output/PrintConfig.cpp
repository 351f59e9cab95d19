#include "output/PrintConfig.h"

#include "common/KV7Routine.h"
#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Records.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "data/TextLines.h"

#include <cmath>
#include <sqlite3.h>

namespace presenze {
namespace {

constexpr std::string_view kDefaultFont = "Courier New";

// A number field as the forms read it: null is 0, a text its numeric value, a
// real number the whole number nearest to it (halves to the even one).
long wholeNumber(const Statement& st, int col)
{
    switch (st.type(col)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
        return static_cast<long>(st.integer(col));
    case SQLITE_FLOAT: {
        const double v = st.real(col);
        if (!std::isfinite(v) || std::fabs(v) > 2.0e9)
            return 0;
        return static_cast<long>(std::nearbyint(v));
    }
    default:
        return NumericValue(st.text(col));
    }
}

std::optional<long> optionalNumber(const Statement& st, int col)
{
    if (st.isNull(col))
        return std::nullopt;
    return wholeNumber(st, col);
}

} // namespace

std::vector<std::string> readDestinationNames(const DataFolder& folder, std::int64_t hotel)
{
    return readHotelFile(folder, schema::kPrintersFile, [&](const Database& db) {
        db.requireColumns(schema::kPrinters, {"NumeroHotel", "Destinazione"});
        Statement st = db.prepare(
            "SELECT \"Destinazione\" FROM \"Stampanti\" WHERE \"NumeroHotel\" = ?1 ORDER BY rowid");
        st.bind(1, hotel);
        std::vector<std::string> names;
        while (st.step()) {
            if (st.isNull(0))
                continue;
            std::string name = st.text(0);
            if (!trimBlanks(name).empty())
                names.push_back(std::move(name));
        }
        return names;
    });
}

std::optional<PrintDestination> findPrintDestination(const DataFolder& folder,
                                                     std::string_view name)
{
    return readHotelFile(
        folder, schema::kPrintersFile, [&](const Database& db) -> std::optional<PrintDestination> {
            db.requireColumns(schema::kPrinters,
                              {"NumeroHotel", "Destinazione", "TipoStampa", "Linea"});
            Statement st = db.prepare("SELECT \"NumeroHotel\", \"Destinazione\", \"TipoStampa\", "
                                      "\"Linea\" FROM \"Stampanti\" ORDER BY rowid");
            while (st.step()) {
                std::string destinazione = st.text(1);
                if (st.isNull(1) || !equalText(destinazione, name))
                    continue;
                PrintDestination d;
                d.numeroHotel = wholeNumber(st, 0);
                d.destinazione = std::move(destinazione);
                d.tipoStampa = wholeNumber(st, 2);
                d.linea = st.text(3);
                return d;
            }
            return std::nullopt;
        });
}

std::optional<PrintSettings> readPrintSettings(const DataFolder& folder, long tipoStampa)
{
    return readHotelFile(
        folder, schema::kPrintersFile, [&](const Database& db) -> std::optional<PrintSettings> {
            db.requireColumns(schema::kPrintSettings, {"TipoStampa", "Compresso", "Grassetto"});
            Statement st = db.prepare("SELECT \"TipoStampa\", \"Compresso\", \"Grassetto\" "
                                      "FROM \"SetStampa\" ORDER BY rowid");
            while (st.step()) {
                if (st.isNull(0) || wholeNumber(st, 0) != tipoStampa)
                    continue;
                return decodePrintSettings(st.text(1), st.text(2));
            }
            return std::nullopt;
        });
}

std::optional<PageLengths> readPageLengths(const DataFolder& folder, std::int64_t hotel)
{
    return readHotelFile(
        folder, schema::kCountersFile, [&](const Database& db) -> std::optional<PageLengths> {
            db.requireColumns(schema::kCounters, {"NumeroHotel", "LungPagComp", "LungPagNoComp"});
            Statement st =
                db.prepare("SELECT \"LungPagComp\", \"LungPagNoComp\" FROM \"Contatori\" "
                           "WHERE \"NumeroHotel\" = ?1 ORDER BY rowid LIMIT 1");
            st.bind(1, hotel);
            if (!st.step())
                return std::nullopt;
            return PageLengths{optionalNumber(st, 0).value_or(0),
                               optionalNumber(st, 1).value_or(0)};
        });
}

std::string readOptionLetters(const DataFolder& folder)
{
    for (const auto& hotel : readHotelRegistry(folder)) {
        if (hotel.numero == 1)
            return hotel.codiceAssistenza;
    }
    return {};
}

std::string readPrintFont(const DataFolder& folder)
{
    const auto file = folder.find(schema::kFontFile);
    if (!file)
        return std::string(kDefaultFont);
    TextLimits firstLine;
    firstLine.wanted = 1;
    const auto lines = readTextLines(*file, firstLine);
    if (lines.empty() || trimBlanks(lines.front()).empty())
        return std::string(kDefaultFont);
    return std::string(trimBlanks(lines.front()));
}

} // namespace presenze
