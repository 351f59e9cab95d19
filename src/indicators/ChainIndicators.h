#pragma once
// The indicators of a chain, put together group by group from each group's
// own (computeIndicators over its data): its hotels, in its order, marked
// with its name; its months and total as its line; their sums as the
// chain's line. Each group's figures are its own counts, so the chain's line
// sums the hotels' counts first and divides after, as a group's does.
//
//   Indicators chain;
//   for (const std::string& group : groups)
//       addGroupIndicators(chain, group, computeIndicators(station, request, warn, &source));

#include "indicators/Indicators.h"

#include <string>

namespace presenze {

// Adds `group`, computed for the same request as the groups added before
// (the first one sets the chain's period and months). Raises DataError when
// a sum does not fit.
void addGroupIndicators(Indicators& chain, std::string name, Indicators group);

} // namespace presenze
