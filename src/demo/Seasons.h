#pragma once
// The bookings of a season: the rooms each hotel needs for them, and the
// season's two booking files.

#include "demo/GroupModel.h"
#include "demo/SeededRandom.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace presenze::demo {

struct SeasonResult {
    std::int64_t headers = 0;
    std::int64_t lines = 0;
};

// Rooms each hotel needs for a season: a trial run of the same draws, scaled
// to the season's lines, sized so that the busiest month is about 80% full.
std::vector<int> roomsNeeded(const SeasonPlan& plan, const std::vector<Hotel>& hotels,
                             const std::vector<Company>& companies, SeededRandom random);

// Writes a season's bookings. A booking that finds its hotel full on some
// night goes to the next hotel of the group with room, or is dropped and
// another drawn; after many full hotels in a row it is taken as it is (an
// overbooking), so that the season always gets its lines.
SeasonResult writeSeason(const std::filesystem::path& dir, const SeasonPlan& plan,
                         const std::vector<Hotel>& hotels, const std::vector<Company>& companies,
                         SeededRandom random, const std::vector<int>& rooms,
                         ReferenceCounts* counts);

} // namespace presenze::demo
