#pragma once
// The Type 1 report ("Stampa Presenze per Ditta / Hotel"): one month per call.

#include "desk/ReportContext.h"
#include "desk/Selection.h"
#include "output/ReportFile.h"

#include <string_view>

namespace presenze {

// Writes the month that begins on primoGiorno ("01/MM/YYYY") into the report.
void StampaTipo1(std::string_view primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context);

} // namespace presenze
