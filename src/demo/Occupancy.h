#pragma once
// Rooms in use per hotel and night, to size the room counts afterwards.

#include "demo/GroupModel.h"

#include <vector>

namespace presenze::demo {

class Occupancy {
public:
    Occupancy(int hotels, long firstDay, long lastDay);

    // Takes the lines' rooms on each of their nights.
    void add(int hotel, const std::vector<Line>& lines);

    // True when the lines find free rooms in a hotel of `rooms` rooms.
    bool fits(int hotel, const std::vector<Line>& lines, int rooms) const;

    // Rooms in use on the average night of the busiest month, for a season
    // scaled by `scale`; only nights within [first, last] count.
    int busiestMonth(int hotel, long first, long last, double scale) const;

private:
    int* rowOf(int hotel);
    const int* rowOf(int hotel) const;

    long m_first;
    long m_days;
    std::vector<int> m_rooms;
};

} // namespace presenze::demo
