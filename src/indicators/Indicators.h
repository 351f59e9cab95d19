#pragma once
// The indicators of a request as a plain value: per hotel and month the
// counts of this period and of last year, each hotel's total, the group's
// months and total, and, by company, each company's figures per hotel. A
// chain's (every group of a server) has its groups too, each with its
// hotels and its own line, and its own line sums them all. The text table,
// the CSV, the workbook (and a chart or a window) read only this. Texts are
// Windows-1252.

#include "common/Selection.h"
#include "data/Dates.h"
#include "indicators/IndicatorFigures.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace presenze {

// One row: this period's counts and, with the comparison, last year's.
struct IndicatorLine {
    PeriodFigures current;
    std::optional<PeriodFigures> lastYear; // with the comparison only

    // Last year's figures when there are any to show: the comparison was
    // asked for and some booking lies on last year's nights.
    const PeriodFigures* comparable() const
    {
        return lastYear && lastYear->booked ? &*lastYear : nullptr;
    }
};

// A company's figures in one hotel over the whole period, of the counted
// booking kind (its arrivals are not kept).
struct CompanyIndicators {
    std::string name; // the booking header's Ditta
    KindFigures current;
    std::optional<KindFigures> lastYear; // with the comparison only
};

struct HotelIndicators {
    std::string group; // in a chain, the group's name (hotel numbers are the group's own)
    std::int64_t hotel = 0;
    std::string name;                  // the registry's name
    std::int64_t rooms = 0;            // rooms of class "C"
    std::vector<IndicatorLine> months; // one per Indicators::months
    IndicatorLine total;
    // By company: every company with a room line in the hotel, by rooms
    // (largest first) then name.
    std::vector<CompanyIndicators> companies;
};

// One group of a chain.
struct GroupIndicators {
    std::string name;                  // the group's name on the server
    std::size_t hotels = 0;            // its hotels: the next ones of Indicators::hotels
    std::vector<IndicatorLine> months; // one per Indicators::months
    IndicatorLine total;
};

struct Indicators {
    BookingKind kind = BookingKind::Confirmed;
    bool compare = false;
    bool byCompany = false;
    Date firstNight; // the period
    Date lastNight;
    std::vector<Date> months;            // the first day of each row's month, in time order
    std::vector<HotelIndicators> hotels; // in registry order (a chain's: group by group)
    // The group's months and total; a chain's: the chain's.
    std::vector<IndicatorLine> groupMonths;
    IndicatorLine groupTotal;
    // A chain's groups, in order; empty for one group.
    std::vector<GroupIndicators> groups;

    bool isChain() const { return !groups.empty(); }
};

// Walks the hotels in order: `hotel(h)` for each, and in a chain, after the
// last hotel of each group, `group(g)`.
template <typename Hotel, typename Group>
void forEachHotel(const Indicators& kpi, const Hotel& hotel, const Group& group)
{
    auto h = kpi.hotels.begin();
    if (!kpi.isChain()) {
        for (; h != kpi.hotels.end(); ++h)
            hotel(*h);
        return;
    }
    for (const GroupIndicators& g : kpi.groups) {
        for (std::size_t i = 0; i < g.hotels && h != kpi.hotels.end(); ++i, ++h)
            hotel(*h);
        group(g);
    }
}

} // namespace presenze
