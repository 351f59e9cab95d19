#pragma once
// The closing tables of a Type 1 month: the company/agency table (one line
// per period row under its hotel's line, and the column totals) and the
// nation table (guests from abroad and from Italy).

#include "common/ReportFile.h"
#include "data/Records.h"
#include "reports/type1/MonthRows.h"

#include <vector>

namespace presenze {

class HotelNames;

void writeCompanyTable(ReportWriter& out, const MonthRows& rows, const HotelNames& hotels);
// Writes nothing when the month has no nationality row.
void writeNationTable(ReportWriter& out, const MonthRows& rows);

} // namespace presenze
