#include "indicators/ChainIndicators.h"

namespace presenze {
namespace {

void addLine(IndicatorLine& sum, const IndicatorLine& line)
{
    sum.current += line.current;
    if (sum.lastYear && line.lastYear)
        *sum.lastYear += *line.lastYear;
}

// The chain's period and months, with its line at zero.
void startChain(Indicators& chain, const Indicators& first)
{
    chain.kind = first.kind;
    chain.compare = first.compare;
    chain.byCompany = first.byCompany;
    chain.firstNight = first.firstNight;
    chain.lastNight = first.lastNight;
    chain.months = first.months;
    chain.groupMonths.assign(first.months.size(), {});
    chain.groupTotal = {};
    if (first.compare) {
        for (IndicatorLine& line : chain.groupMonths)
            line.lastYear.emplace();
        chain.groupTotal.lastYear.emplace();
    }
}

} // namespace

void addGroupIndicators(Indicators& chain, std::string name, Indicators group)
{
    if (!chain.isChain())
        startChain(chain, group);
    for (std::size_t m = 0; m < chain.groupMonths.size() && m < group.groupMonths.size(); ++m)
        addLine(chain.groupMonths[m], group.groupMonths[m]);
    addLine(chain.groupTotal, group.groupTotal);
    for (HotelIndicators& h : group.hotels) {
        h.group = name;
        chain.hotels.push_back(std::move(h));
    }
    chain.groups.push_back({std::move(name), group.hotels.size(), std::move(group.groupMonths),
                            std::move(group.groupTotal)});
}

} // namespace presenze
