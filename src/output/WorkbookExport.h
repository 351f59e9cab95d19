#pragma once
// The Excel workbook of a print request, written from the figures the
// request computed (never from the report text):
// - "Dati": one row per hotel, company and report day with any figure, for
//   pivot tables; past the rows a sheet holds it goes on in "Dati 2",
//   "Dati 3"...; its "Mese" is the first of the month, shown "mm/yyyy";
// - one sheet per month with figures, "YYYY-MM", laid out like the report:
//   hotels, companies, days 1..31 with their weekdays, and a "Totale" of the
//   month's own days (the next month's days stay visible, greyed, outside it);
// - "Mesi senza dati", last and only when there are such months: the months
//   of the request without any figure.
// Every sheet prints landscape, one page wide, its heading rows on every
// page; name columns fit 40 characters and a longer name wraps in its cell.
// Texts are always written as text (a company named "=HYPERLINK(...)" stays
// a name, never a formula), counts as numbers, days as dates and amounts with
// a currency format. It is streamed row by row (output/XlsxStream: constant
// memory, names once in the shared strings).

#include "common/ReportFigures.h"
#include "common/WorkProgress.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace presenze {

// "fd" + tag + ".xlsx".
std::string workbookFileName(std::string_view stationTag);

// The rows of a sheet, its heading included.
inline constexpr std::size_t kSheetRows = 1048576;

// Writes the workbook at `target`, replacing the file whole when it is done
// (data/AtomicFile). `sheetRows` is the rows a sheet holds (smaller only in
// tests): "Dati" goes on in further sheets, a month's sheet ends with a line
// that says it goes on. A text longer than the 32,767 characters of a cell
// is cut to them; the result is then the one note to show about it (empty
// otherwise). `progress` hears of the rows written now and then; when it
// answers stop, WorkCancelled is raised and no file is left. Raises
// DataError.
std::string writeWorkbook(const ReportFigures& figures, const std::filesystem::path& target,
                          std::size_t sheetRows = kSheetRows, const WorkProgress& progress = {});

} // namespace presenze
