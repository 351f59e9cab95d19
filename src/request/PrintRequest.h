#pragma once
// The print request: checks the month range, builds the chosen report one
// month at a time into the report file and commits the file. The window's
// "&Stampa" button and `presenze-cli report` both call runPrintRequest.

#include "common/ReportContext.h"
#include "common/Selection.h"
#include "data/Dates.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace presenze {

enum class ReportKind { Type1, Type2 };

struct MonthRange {
    int firstMonth = 1;
    int firstYear = 1996;
    int lastMonth = 1;
    int lastYear = 1996;
};

// Nullopt when the range is valid (months 1..12, four-digit years from 1996,
// first month not after the last); otherwise an Italian message.
std::optional<std::string> checkMonthRange(const MonthRange& range);

// The first days of the months of a valid range, in order.
std::vector<Date> monthsOf(const MonthRange& range);

// A request of more months runs long (up to hours): the window asks first,
// the command line wants --allow-long.
inline constexpr int kLongRequestMonths = 120;
// The months of a valid range.
int monthCount(const MonthRange& range);
// "Richiesta di N mesi: aggiungere --allow-long" for a range above
// kLongRequestMonths; nullopt otherwise.
std::optional<std::string> checkLongRequest(const MonthRange& range, bool allowLong);

// Builds the report into "fd" + tag in the data folder and returns its path.
// Between months it stops when the person asks to (RequestCancelled); months
// without data are named in one warning at the end (a Type 1 month is still
// written, blank; a Type 2 month is not). With
// context.figures set, the figures of every month go there too, with the
// registry's hotel names. Raises DataError or RequestCancelled; the report
// file is then left as it was before.
std::filesystem::path runPrintRequest(ReportKind kind, const MonthRange& range,
                                      const Selection& selection, ReportContext& context);

} // namespace presenze
