#pragma once
// Helpers of the Type 1 tests: a report built in-process from the command
// line's arguments, over a data folder.

#include "cli/CommandLine.h"
#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Text1252.h"
#include "request/PrintRequest.h"
#include "support/HotelFolder.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace presenze::test {

// A small hotel group written with SQL. Values are SQL tuples, so that a
// test can put NULL or odd values anywhere:
//   registry   (Numero, NumeroHotel, RagioneSociale)
//   room types (NumeroHotel, Tipologia, Quantita)
//   headers    (NumeroPrenotazione, NumeroHotel, TipoPrenotazione, Ditta, Nazione, Commento)
//   room lines (NumeroPrenotazione, NumeroHotel, TipoPrenotazione, DataArrivo,
//               DataPartenza, NumeroPersone, QuantitaCamere)
class Type1Group {
public:
    Type1Group(std::string_view registry, std::string_view roomTypes)
    {
        m_files.registry(registry, "Numero, NumeroHotel, RagioneSociale").roomTypes(roomTypes);
    }

    void season(std::string_view headers, std::string_view lines, std::string_view prefix = "")
    {
        m_files.season(prefix, headers,
                       "NumeroPrenotazione, NumeroHotel, TipoPrenotazione, Ditta, Nazione, "
                       "Commento",
                       lines,
                       "NumeroPrenotazione, NumeroHotel, TipoPrenotazione, DataArrivo, "
                       "DataPartenza, NumeroPersone, \"Quantit\xC3\xA0"
                       "Camere\"");
    }

    // The report file of `report` with these arguments (after "--type 1").
    std::string report(std::vector<std::string> args, ScriptedInteraction* seen = nullptr) const;
    // The same, split into lines.
    std::vector<std::string> lines(std::vector<std::string> args) const;

    const std::filesystem::path& path() const { return m_dir.path(); }

private:
    TempDir m_dir;
    HotelFolder m_files{m_dir.path()};
};

// Runs `report` with these arguments (as presenze-cli would) over the folder
// and returns the report file's bytes.
inline std::string buildReport(const std::filesystem::path& folder,
                               const std::vector<std::string>& args,
                               ScriptedInteraction* seen = nullptr)
{
    const ParseResult parsed = parseReportOptions(args);
    if (!parsed.options)
        throw std::runtime_error(parsed.error);
    ReportOptions o = *parsed.options;
    const DataFolder data(folder);
    FillCalendarTables();
    o.selection.companyList = ReadCompanyList(data);
    const FixedClock clock(o.now.value_or(fixedClock().now()));
    ScriptedInteraction own;
    ReportContext context{data, o.station.value_or("1"), clock, seen ? *seen : own};
    return readFile(runPrintRequest(o.kind, o.range, o.selection, context));
}

inline std::string Type1Group::report(std::vector<std::string> args,
                                      ScriptedInteraction* seen) const
{
    args.insert(args.begin(), {"--type", "1"});
    return buildReport(path(), args, seen);
}

inline std::vector<std::string> Type1Group::lines(std::vector<std::string> args) const
{
    return splitLines(report(std::move(args)));
}

// The three characters of day 1..31 in a grid line.
inline std::string cellOf(const std::string& line, int day)
{
    return line.substr(9 + 4 * static_cast<std::size_t>(day - 1), 3);
}

// The index of the first line from `from` on that begins with `start`
// (lines.size() when there is none).
inline std::size_t findLine(const std::vector<std::string>& lines, std::string_view start,
                            std::size_t from = 0)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].rfind(start, 0) == 0)
            return i;
    return lines.size();
}

// The report text written with the box-drawing glyphs (UTF-8), as the report
// file stores it: the glyphs as their DOS bytes, the rest as Windows-1252.
inline std::string fromGlyphs(std::string_view utf8)
{
    // U+25xx box drawing: E2 94 xx in UTF-8.
    static const std::pair<unsigned char, char> kGlyphs[] = {
        {0x82, '\xB3'}, {0xA4, '\xB4'}, {0x90, '\xBF'}, {0x94, '\xC0'},
        {0xB4, '\xC1'}, {0xAC, '\xC2'}, {0x9C, '\xC3'}, {0x80, '\xC4'},
        {0xBC, '\xC5'}, {0x98, '\xD9'}, {0x8C, '\xDA'}};
    std::string out, pending;
    for (std::size_t i = 0; i < utf8.size();) {
        char mapped = 0;
        if (i + 2 < utf8.size() && utf8[i] == '\xE2' && utf8[i + 1] == '\x94')
            for (const auto& [code, byte] : kGlyphs)
                if (static_cast<unsigned char>(utf8[i + 2]) == code)
                    mapped = byte;
        if (!mapped) {
            pending += utf8[i++];
            continue;
        }
        out += utf8ToCp1252(pending);
        pending.clear();
        out += mapped;
        i += 3;
    }
    return out + utf8ToCp1252(pending);
}

// True while the Access reader is not part of the build.
inline bool accessReaderMissing()
{
    try {
        openHotelFile(fixturesDir() / "hotel-jet" / "AnagraficaHotels.mdb");
        return false;
    } catch (const DataError& e) {
        return std::string(e.what()).find("non ancora disponibile") != std::string::npos;
    }
}

} // namespace presenze::test
