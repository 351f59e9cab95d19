#pragma once
// Options of `presenze-cli report`, turned into a month range and a selection
// snapshot. Kept in the core so that the window's tests and the fuzzers use
// the same parsing.
//
//   report --type 1|2 --from MM/YYYY [--to MM/YYYY]
//       [--data-dir DIR] [--station TAG]
//       [--kind confirmed|optional|all] [--hotels 1,3,5] [--detail]
//       [--company NAME] [--company-list] [--group-top-acs]
//       [--arrivals] [--season PREFIX] [--now "DD/MM/YYYY hh:mm"]
//       [--xlsx FILE] [--chart FILE.png|FILE.svg]

#include "common/Clock.h"
#include "common/Selection.h"
#include "data/Records.h"
#include "request/PrintRequest.h"

#include <optional>
#include <string>
#include <vector>

namespace presenze {

struct ReportOptions {
    ReportKind kind = ReportKind::Type1;
    MonthRange range;
    Selection selection;
    std::optional<std::string> dataDir; // as given (UTF-8 path)
    std::optional<std::string> station; // Windows-1252
    bool arrivals = false;
    std::optional<DateTime> now;
    std::optional<std::string> xlsx;  // the workbook to write (UTF-8 path as given)
    std::optional<std::string> chart; // the occupancy chart to draw (UTF-8 path as given)
};

struct ParseResult {
    std::optional<ReportOptions> options;
    std::string error; // Italian, UTF-8 (it quotes the arguments as typed)
};

// Arguments after the word "report", UTF-8 as the terminal gives them.
ParseResult parseReportOptions(const std::vector<std::string>& args);

// The hotels of the registry are 1..n, n being the NumeroHotel of the last
// record with Numero above 0 in NumeroHotel order (the window has one box for
// each). An Italian message (UTF-8) naming the ticked hotels outside them;
// nullopt when there are none.
std::optional<std::string> checkTickedHotels(const Selection& selection,
                                             const std::vector<HotelRecord>& registry);

// "MM/YYYY" (a one-digit month is accepted); false when malformed.
bool parseMonthYear(std::string_view text, int& month, int& year);

} // namespace presenze
