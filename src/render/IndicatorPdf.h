#pragma once
// The indicators as a PDF, on A4 landscape sheets of the one page setup
// (render/PdfPages.h): the table by month, then, when the indicators go by
// company too, the table by company, in the report font, as large as lets
// the widest line fit (10 points at most, 6 at least), the title and the
// columns' heading on every page, totals in bold, last year's rows in grey,
// a row never parted from last year's and the change under it; then the two
// charts (render/IndicatorChart.h), each on a sheet of its own, as large as
// the sheet lets it be. Every sheet ends with "Pagina N di M".

#include "indicators/Indicators.h"

#include <filesystem>

namespace presenze {

// Writes the PDF (on any thread). Raises DataError when the file cannot be
// written.
void writeIndicatorPdf(const Indicators& indicators, const std::filesystem::path& file);

} // namespace presenze
