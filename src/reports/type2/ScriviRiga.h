#pragma once
// The Type 2 report's line writer: closes the tally of one company.

#include "common/ReportFile.h"
#include "common/Selection.h"
#include "reports/type2/TotaliTipo2.h"

#include <string_view>

namespace presenze {

// Writes the company block of `nome` from tables.GiornoTipo2 (the name line,
// then PrC and CON for confirmed or all bookings, PrO and OPZ for optional or
// all), appends its summary line to RiepilogoDitte and adds its totals into
// TotaleGenerale. A company with no count above 0 writes nothing. The amount
// is the exact sum of the days, rounded once to a whole number (ties to even)
// in the summary line; TotaleGenerale adds the exact amount. GiornoTipo2 is
// left cleared either way. Raises DataError when a total overflows.
void ScriviRiga(ReportWriter& out, std::string_view nome, Tipo2Tables& tables, BookingKind kind);

} // namespace presenze
