#pragma once
// The Type 2 report (bookings per hotel and company): one month per call.

#include "common/ReportContext.h"
#include "common/ReportFile.h"
#include "common/Selection.h"

#include <string_view>

namespace presenze {

// Writes the month that begins on primoGiorno ("01/MM/YYYY") into the report.
// Asks first whether to count presences or arrivals (unless the answer was
// kept for the following months); Cancel raises RequestCancelled. Returns
// false, having written nothing, when no booking meets the selection or none
// of the selected room lines counts on one of the month's 31 days.
bool StampaTipo2(std::string_view primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context);

} // namespace presenze
