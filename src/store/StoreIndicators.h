#pragma once
// The indicators of a whole chain: every group the server holds, in the
// order of their names, each read from the server and counted as the
// indicators of its folder would be, then put together (ChainIndicators.h).
// One group's bookings are held at a time.

#include "data/DataFolder.h"
#include "data/Records.h"
#include "indicators/IndicatorRequest.h"
#include "indicators/Indicators.h"
#include "store/StoreAddress.h"

namespace presenze {

// `station` is the station's own folder. Warnings name their group. Raises
// DataError (StoreError for the server); a server without groups is one.
Indicators computeChainIndicators(const StoreAddress& address, const DataFolder& station,
                                  const IndicatorRequest& request, const WarningSink& warn);

} // namespace presenze
