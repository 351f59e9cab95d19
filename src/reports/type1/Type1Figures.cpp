#include "reports/type1/Type1Figures.h"

#include "data/Text1252.h"

#include <algorithm>
#include <unordered_map>

namespace presenze {
namespace {

DayFigures dayFigures(const PresenzeCounters& v)
{
    DayFigures f;
    f.presCon = v[kPresenze];
    f.presOpz = v[kPresOpz];
    f.camCon = v[kCamere];
    f.camOpz = v[kOpzioni];
    return f;
}

// The hotels of the month's blocks: the hotel range, ticked ones only.
void recordHotels(ReportFigures& figures, const Selection& selection, const PresenzeTally& tally,
                  const MonthRows& rows, const HotelNames& hotels)
{
    const std::int64_t first = selection.singleHotel ? selection.comboHotel : 1;
    const std::int64_t last = selection.singleHotel ? selection.comboHotel : hotels.highest();
    for (std::int64_t h = first; h <= last; ++h) {
        if (!selection.hotelTicked(h))
            continue;
        HotelFigures& hotel = figures.addHotel(h, tally.rooms().of(h));
        if (const HotelDays* days = rows.days(h))
            for (int d = 0; d < kFigureDays; ++d)
                if (days->inTotals[d])
                    hotel.days[d] = dayFigures(days->totals[d]);
        if (const std::string* name = hotels.name(h))
            figures.setHotelName(h, *name);
    }
}

// Each company row of the table with the daily rows of the same hotel and
// company (names compared without regard to case, as the tally keeps them).
void recordCompanies(ReportFigures& figures, const PresenzeTally& tally, const MonthRows& rows)
{
    std::unordered_map<std::string, std::int64_t> folded;
    const auto foldedId = [&](std::string_view name) {
        return folded.try_emplace(upperCp1252(name), static_cast<std::int64_t>(folded.size()))
            .first->second;
    };
    const auto key = [](std::int64_t hotel, std::int64_t company) {
        return std::pair{hotel, company};
    };
    struct KeyHash {
        std::size_t operator()(const std::pair<std::int64_t, std::int64_t>& k) const
        {
            return std::hash<std::int64_t>()(k.first * 1000003 + k.second);
        }
    };
    std::unordered_map<std::pair<std::int64_t, std::int64_t>, std::uint32_t, KeyHash> rowOf;
    for (std::size_t i = 0; i < rows.companies.size(); ++i)
        rowOf.try_emplace(key(rows.companies[i].hotel, foldedId(rows.companies[i].name)),
                          static_cast<std::uint32_t>(i));

    std::vector<std::int64_t> companyOfName(tally.names().size());
    for (std::size_t n = 0; n < companyOfName.size(); ++n)
        companyOfName[n] = foldedId(tally.names()[n]);
    struct Day {
        std::uint32_t row;
        int day;
        const PresenzeCounters* values;
    };
    std::vector<Day> days;
    tally.forEachKeptRow([&](std::int64_t hotel, PresenzeTally::NameId name, int contatore,
                             const PresenzeCounters& values) {
        if (hotel <= 0 || contatore >= PresenzeTally::kPeriod)
            return;
        const auto it = rowOf.find(key(hotel, companyOfName[static_cast<std::size_t>(name)]));
        if (it != rowOf.end())
            days.push_back({it->second, contatore, &values});
    });
    std::sort(days.begin(), days.end(), [](const Day& a, const Day& b) {
        return a.row != b.row ? a.row < b.row : a.day < b.day;
    });

    auto next = days.begin();
    for (std::uint32_t i = 0; i < rows.companies.size(); ++i) {
        const PeriodRow& row = rows.companies[i];
        figures.startCompany(row.hotel, figures.summary() ? std::string_view("Totale")
                                                          : std::string_view(row.name));
        for (; next != days.end() && next->row == i; ++next)
            figures.addDay(next->day, dayFigures(*next->values));
    }
}

} // namespace

void recordType1Month(ReportFigures& figures, const Date& first, const Selection& selection,
                      const PresenzeTally& tally, const MonthRows& rows, const HotelNames& hotels)
{
    figures.startMonth(first, false, false);
    recordHotels(figures, selection, tally, rows, hotels);
    recordCompanies(figures, tally, rows);
}

} // namespace presenze
