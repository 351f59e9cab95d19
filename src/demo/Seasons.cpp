#include "demo/Seasons.h"

#include "demo/BookingFactory.h"
#include "demo/Occupancy.h"
#include "demo/SeasonFiles.h"

#include <algorithm>

namespace presenze::demo {
namespace fs = std::filesystem;

std::vector<int> roomsNeeded(const SeasonPlan& plan, const std::vector<Hotel>& hotels,
                             const std::vector<Company>& companies, SeededRandom random)
{
    constexpr std::int64_t kTrialLines = 100000;
    constexpr double kBusiestMonthOccupancy = 0.80;
    const int hotelCount = static_cast<int>(hotels.size());
    std::vector<int> rooms(hotels.size(), 0);
    const std::int64_t trial = std::min(plan.lines, kTrialLines);
    if (trial == 0)
        return rooms;
    BookingFactory factory(hotels, companies, plan, random);
    Occupancy occupancy(hotelCount, plan.firstArrival, plan.lastArrival + kStayMargin);
    for (std::int64_t lines = 0; lines < trial;) {
        const Booking b = factory.make(trial - lines);
        occupancy.add(b.hotel, b.lines);
        lines += static_cast<std::int64_t>(b.lines.size());
    }
    const double scale = static_cast<double>(plan.lines) / static_cast<double>(trial);
    for (int h = 1; h <= hotelCount; ++h) {
        const int busy = occupancy.busiestMonth(h, plan.firstArrival, plan.lastArrival, scale);
        rooms[h - 1] = static_cast<int>(static_cast<double>(busy) / kBusiestMonthOccupancy + 0.999);
    }
    return rooms;
}

SeasonResult writeSeason(const fs::path& dir, const SeasonPlan& plan,
                         const std::vector<Hotel>& hotels, const std::vector<Company>& companies,
                         SeededRandom random, const std::vector<int>& rooms,
                         ReferenceCounts* counts)
{
    constexpr int kMaxRedraws = 100;
    const int hotelCount = static_cast<int>(hotels.size());
    SeasonFiles files(dir, plan.prefix, plan.firstArrival, plan.lastArrival + kStayMargin);
    BookingFactory factory(hotels, companies, plan, random);
    Occupancy occupancy(hotelCount, plan.firstArrival, plan.lastArrival + kStayMargin);
    SeasonResult result;
    int redraws = 0;
    while (result.lines < plan.lines) {
        Booking b = factory.make(plan.lines - result.lines);
        if (!occupancy.fits(b.hotel, b.lines, rooms[b.hotel - 1])) {
            const int wanted = b.hotel;
            for (int k = 1; k < hotelCount; ++k) {
                const int other = (wanted - 1 + k) % hotelCount + 1;
                if (occupancy.fits(other, b.lines, rooms[other - 1])) {
                    b.hotel = other;
                    break;
                }
            }
            if (b.hotel == wanted && ++redraws < kMaxRedraws)
                continue;
        }
        redraws = 0;
        factory.number(b);
        files.write(b);
        occupancy.add(b.hotel, b.lines);
        ++result.headers;
        result.lines += static_cast<std::int64_t>(b.lines.size());
        if (counts && b.code > 0)
            for (const Line& line : b.lines)
                if (line.arrival <= plan.referenceLast && line.departure > plan.referenceFirst)
                    ++(*counts)[b.code];
    }
    files.finish();
    return result;
}

} // namespace presenze::demo
