#include "store/StoreIndicators.h"

#include "indicators/ChainIndicators.h"
#include "indicators/ComputeIndicators.h"
#include "store/StoreError.h"
#include "store/StoreSource.h"

#include <atomic>
#include <exception>
#include <future>
#include <optional>

namespace presenze {
namespace {

// Groups read and counted at once: while one waits for the server, the
// other counts; each holds one season's bookings at a time.
constexpr int kGroupsAtOnce = 2;

// One group's indicators, with the warnings it gave (shown in group order).
struct GroupWork {
    std::optional<Indicators> indicators;
    std::vector<std::string> warnings;
    std::exception_ptr failure;
};

} // namespace

Indicators computeChainIndicators(const StoreAddress& address, const DataFolder& station,
                                  const IndicatorRequest& request, const WarningSink& warn)
{
    const std::vector<std::string> groups = storedGroups(address);
    if (groups.empty())
        throw StoreError("Nessun gruppo sul server " + address.server +
                         " (lo scrive presenze-cli sync)");
    std::vector<GroupWork> work(groups.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    const auto worker = [&] {
        for (std::size_t i = next++; i < groups.size() && !failed; i = next++) {
            GroupWork& w = work[i];
            try {
                const StoreSource source(address, groups[i]);
                const WarningSink kept = [&w, &group = groups[i]](std::string_view text) {
                    w.warnings.push_back("Gruppo \"" + group + "\": " + std::string(text));
                };
                w.indicators = computeIndicators(station, request, kept, &source);
            } catch (...) {
                w.failure = std::current_exception();
                failed = true;
            }
        }
    };
    {
        std::vector<std::future<void>> others;
        for (int k = 1; k < kGroupsAtOnce; ++k)
            others.push_back(std::async(std::launch::async, worker));
        worker();
    }
    Indicators chain;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (work[i].failure)
            std::rethrow_exception(work[i].failure);
        for (const std::string& text : work[i].warnings)
            warn(text);
        addGroupIndicators(chain, groups[i], std::move(*work[i].indicators));
    }
    return chain;
}

} // namespace presenze
