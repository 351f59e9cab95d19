#include "reports/type1/MonthRows.h"

#include "data/Text1252.h"
#include "tally/Saturating.h"

#include <algorithm>
#include <numeric>

namespace presenze {
namespace {

void addCounters(PresenzeCounters& sum, const PresenzeCounters& values)
{
    for (int f = 0; f < kPresenzeCounterCount; ++f)
        addSaturating(sum[f], values[f]);
}

bool isNazione(std::string_view name)
{
    return equalText(name, "NAZIONE");
}

} // namespace

const HotelDays* MonthRows::days(std::int64_t hotel) const
{
    const auto it = hotels.find(hotel);
    return it == hotels.end() ? nullptr : &it->second;
}

MonthRows monthRowsOf(const PresenzeTally& tally)
{
    using NameId = PresenzeTally::NameId;
    const auto& names = tally.names();
    std::vector<char> nazione(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        nazione[i] = isNazione(names[i]);
    // The names in the text order of the booking software (no two names of
    // the tally are the same text).
    std::vector<NameId> sorted(names.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(),
              [&](NameId a, NameId b) { return compareText(names[a], names[b]) < 0; });
    std::vector<std::int32_t> rank(names.size());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        rank[sorted[i]] = static_cast<std::int32_t>(i);

    MonthRows rows;
    struct Period {
        std::int64_t hotel;
        std::int32_t rank;
        NameId name;
        const PresenzeCounters* values;
    };
    std::vector<Period> period;
    HotelDays* current = nullptr;
    std::int64_t currentHotel = 0;
    // Rows are met in the order they came into being; sums that stop at the
    // ends of their range depend on that order.
    tally.forEachKeptRow(
        [&](std::int64_t hotel, NameId name, int contatore, const PresenzeCounters& values) {
            if (hotel <= 0)
                return;
            if (contatore == PresenzeTally::kPeriod) {
                period.push_back({hotel, rank[name], name, &values});
                return;
            }
            if (!current || hotel != currentHotel) {
                current = &rows.hotels[hotel];
                currentHotel = hotel;
            }
            const auto day = static_cast<std::size_t>(contatore - 1);
            // The day grid leaves out rows named "NAZIONE"; the second daily
            // rows, whatever their name, make the hotel's day totals.
            if (!nazione[name]) {
                addCounters(current->grid[day], values);
                current->inGrid[day] = true;
            }
            addCounters(current->totals[day], values);
            current->inTotals[day] = true;
        });

    // Period rows in the order of the report: hotel, then name, then the
    // order they came into being.
    std::stable_sort(period.begin(), period.end(), [](const Period& a, const Period& b) {
        return a.hotel != b.hotel ? a.hotel < b.hotel : a.rank < b.rank;
    });
    rows.companies.reserve(period.size());
    for (const Period& p : period) {
        if (nazione[p.name]) {
            rows.hasNation = true;
            addCounters(rows.nation, *p.values);
            continue;
        }
        rows.companies.push_back({p.hotel, names[p.name], *p.values});
    }
    return rows;
}

} // namespace presenze
