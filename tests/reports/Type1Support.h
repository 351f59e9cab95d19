#pragma once
// Helpers of the Type 1 tests: a report built in-process from the command
// line's arguments, over a data folder.

#include "data/DataError.h"
#include "data/HotelFile.h"
#include "desk/CommandLine.h"
#include "desk/KV7Routine.h"
#include "desk/PrintRequest.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace presenze::test
{

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
