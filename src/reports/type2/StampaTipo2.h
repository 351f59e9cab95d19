#pragma once
// The Type 2 report (bookings per hotel and company): one month per call.

#include "common/ReportContext.h"
#include "common/ReportFile.h"
#include "common/Selection.h"
#include "data/Dates.h"

namespace presenze {

// Writes the month that begins on primoGiorno (the first of a month) into the
// report. Counts presences or arrivals as the selection says; without a day
// count there, asks first (unless the answer was kept for the following
// months), and Cancel raises RequestCancelled. Returns false, having written
// nothing, when no booking meets the selection or none of the selected room
// lines counts on one of the month's 31 days.
bool StampaTipo2(const Date& primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context);

} // namespace presenze
