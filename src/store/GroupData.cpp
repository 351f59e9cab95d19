#include "store/GroupData.h"

#include "data/DataError.h"

#include <algorithm>

namespace presenze {
namespace {

// Dates are eight digits: these keys take in every line whose dates are.
constexpr std::string_view kBeforeAll = "";
constexpr std::string_view kAfterAll = "99999999";

} // namespace

const SeasonData* GroupData::currentSeason() const
{
    const auto it = std::find_if(seasons.begin(), seasons.end(),
                                 [](const SeasonData& s) { return s.prefix.empty(); });
    return it == seasons.end() ? nullptr : &*it;
}

GroupData readGroupData(const BookingSource& source, const WarningSink& warn)
{
    GroupData data;
    for (const std::string& prefix : source.seasons()) {
        if (std::any_of(data.seasons.begin(), data.seasons.end(),
                        [&](const SeasonData& s) { return s.prefix == prefix; }))
            continue;
        SeasonData& season = data.seasons.emplace_back();
        season.prefix = prefix;
        season.headers = source.bookingHeaders(prefix, BookingFields::All);
        season.lines = source.roomLines(prefix, kBeforeAll, kAfterAll, warn, BookingFields::All);
    }
    data.registry = source.hotelRegistry();
    data.roomTypes = source.roomTypes();
    data.companies = source.companies();
    data.companyListLines = source.companyListLines();
    return data;
}

} // namespace presenze
