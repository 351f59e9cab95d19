#pragma once
// What the parts of the group generator hand each other: hotels, companies,
// bookings with their room lines, and the plan of a season. Days are day
// serials (Date::toSerial); texts are Windows-1252.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace presenze::demo {

// Longest stay drawn, in nights, and the days a line may end after it.
inline constexpr int kLongestStay = 45;
inline constexpr int kStayMargin = 50;

struct Hotel {
    int number = 0;
    std::string name;
    std::int64_t baseCents = 0; // one room, one night, at the month factor 100
};

struct Company {
    std::int64_t code = 0;
    int hotel = 0;
    std::string name;
    std::string town;
};

struct Line {
    long arrival = 0;   // day serial
    long departure = 0; // day serial, after arrival
    int persons = 0;
    int rooms = 0;
    std::string note;
    int tariffDays = 1;
    std::int64_t priceCents = 0;
};

struct Booking {
    int hotel = 0;
    std::int64_t number = 0;
    std::string kind;
    std::string ditta;
    std::int64_t code = 0; // 0: no company code (null)
    std::string nazione;
    std::string commento;
    std::vector<Line> lines;
};

// One season to generate: arrivals from firstArrival to lastArrival (day
// serials, inclusive), `lines` room lines in all.
struct SeasonPlan {
    std::string prefix;
    long firstArrival = 0;
    long lastArrival = 0;
    std::int64_t lines = 0;
    long referenceFirst = 0; // the reference month, for the kinds
    long referenceLast = 0;
};

// Room lines per company code that overlap the reference month.
using ReferenceCounts = std::map<std::int64_t, std::int64_t>;

// The running sums of the weights, as SeededRandom::weighted takes them.
inline std::vector<std::uint64_t> cumulative(const std::vector<std::uint64_t>& weights)
{
    std::vector<std::uint64_t> sums(weights.size());
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i)
        sums[i] = sum += weights[i];
    return sums;
}

} // namespace presenze::demo
