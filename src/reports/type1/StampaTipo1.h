#pragma once
// The Type 1 report ("Stampa Presenze per Ditta / Hotel"): one month per call.

#include "common/ReportContext.h"
#include "common/ReportFile.h"
#include "common/Selection.h"
#include "data/Dates.h"

namespace presenze {

// Writes the month that begins on primoGiorno (the first of a month) into the
// report. Returns false when no room line counted in the month (its section
// is written all the same, blank).
bool StampaTipo1(const Date& primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context);

} // namespace presenze
