#pragma once
// The figures of one Type 1 month, for the workbook and the charts.

#include "common/ReportFigures.h"
#include "common/Selection.h"
#include "reports/type1/HotelNames.h"
#include "reports/type1/MonthRows.h"
#include "tally/PresenzeTally.h"

namespace presenze {

// Records the month that begins on `first`: the hotels whose blocks the
// report prints, with their rooms and day totals (the "TOT" lines), and the
// company rows of the company table with their daily rows, so that each
// company's days add up to its line of the table. In summary mode the one
// row of a hotel is named "Totale".
void recordType1Month(ReportFigures& figures, const Date& first, const Selection& selection,
                      const PresenzeTally& tally, const MonthRows& rows, const HotelNames& hotels);

} // namespace presenze
