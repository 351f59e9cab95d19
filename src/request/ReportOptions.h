#pragma once
// What `presenze-cli report` asks for: a month range and a selection snapshot,
// as the window's controls would hold them. The command line (src/cli) fills
// it; the tests and the fuzzers read it the same way.

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
    std::optional<DateTime> now;
    std::optional<std::string> xlsx;  // the workbook to write (UTF-8 path as given)
    std::optional<std::string> chart; // the occupancy chart to draw (UTF-8 path as given)
    bool allowLong = false;           // more than kLongRequestMonths months
};

// The hotels of the registry are 1..n, n being the NumeroHotel of the last
// record with Numero above 0 in NumeroHotel order (the window has one box for
// each). An Italian message (UTF-8) naming the ticked hotels outside them;
// nullopt when there are none.
std::optional<std::string> checkTickedHotels(const Selection& selection,
                                             const std::vector<HotelRecord>& registry);

} // namespace presenze
