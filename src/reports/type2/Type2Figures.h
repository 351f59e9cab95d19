#pragma once
// The figures of the Type 2 report, taken from its day tables just before
// the line writer and the room summary clear them.

#include "common/ReportFigures.h"
#include "reports/type2/TotaliTipo2.h"

#include <cstdint>
#include <string_view>

namespace presenze {

// The company whose block ScriviRiga writes from `days` (GiornoTipo2), if it
// writes one (a count above 0 on some day): its days with any figure.
void recordType2Company(ReportFigures& figures, std::int64_t hotel, std::string_view name,
                        const DayTable<TotaliTipo2>& days);

// The hotel that RiepilogoCamere closes: its rooms and day totals
// (GiornoHotel); in totals mode also its one row, "Totale".
void recordType2Hotel(ReportFigures& figures, std::int64_t hotel, std::int64_t rooms,
                      const DayTable<TotaliTipo2>& days, bool totals);

} // namespace presenze
