#pragma once
// The Type 2 report (bookings per hotel and company): one month per call.

#include "common/ReportContext.h"
#include "common/ReportFile.h"
#include "common/Selection.h"

#include <string_view>

namespace presenze {

// Writes the month that begins on primoGiorno ("01/MM/YYYY") into the report.
void StampaTipo2(std::string_view primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context);

} // namespace presenze
