#include "store/StoreIndicators.h"

#include "indicators/ChainIndicators.h"
#include "indicators/ComputeIndicators.h"
#include "store/StoreError.h"
#include "store/StoreSource.h"

namespace presenze {

Indicators computeChainIndicators(const StoreAddress& address, const DataFolder& station,
                                  const IndicatorRequest& request, const WarningSink& warn)
{
    const std::vector<std::string> groups = storedGroups(address);
    if (groups.empty())
        throw StoreError("Nessun gruppo sul server " + address.server +
                         " (lo scrive presenze-cli sync)");
    Indicators chain;
    for (const std::string& group : groups) {
        const StoreSource source(address, group);
        const WarningSink groupWarn = [&](std::string_view text) {
            warn("Gruppo \"" + group + "\": " + std::string(text));
        };
        addGroupIndicators(chain, group, computeIndicators(station, request, groupWarn, &source));
    }
    return chain;
}

} // namespace presenze
