#include "demo/Occupancy.h"

#include "data/Dates.h"

#include <algorithm>

namespace presenze::demo {

Occupancy::Occupancy(int hotels, long firstDay, long lastDay)
    : m_first(firstDay), m_days(lastDay - firstDay + 1),
      m_rooms(static_cast<std::size_t>(hotels) * static_cast<std::size_t>(m_days), 0)
{}

void Occupancy::add(int hotel, const std::vector<Line>& lines)
{
    int* row = rowOf(hotel);
    for (const Line& line : lines)
        for (long d = line.arrival; d < line.departure; ++d)
            row[d - m_first] += line.rooms;
}

bool Occupancy::fits(int hotel, const std::vector<Line>& lines, int rooms) const
{
    if (lines.empty())
        return true;
    const int* row = rowOf(hotel);
    // Lines of one booking mostly share their nights: add them up first.
    long first = lines.front().arrival, last = lines.front().departure;
    for (const Line& line : lines) {
        first = std::min(first, line.arrival);
        last = std::max(last, line.departure);
    }
    for (long d = first; d < last; ++d) {
        int wanted = row[d - m_first];
        for (const Line& line : lines)
            if (line.arrival <= d && d < line.departure)
                wanted += line.rooms;
        if (wanted > rooms)
            return false;
    }
    return true;
}

int Occupancy::busiestMonth(int hotel, long first, long last, double scale) const
{
    const int* row = rowOf(hotel);
    double best = 0;
    long d = first;
    while (d <= last) {
        const Date date = Date::fromSerial(d);
        const long monthEnd =
            std::min(last, d + Date::daysInMonth(date.year, date.month) - date.day);
        double sum = 0;
        for (long x = d; x <= monthEnd; ++x)
            sum += row[x - m_first];
        best = std::max(best, sum * scale / static_cast<double>(monthEnd - d + 1));
        d = monthEnd + 1;
    }
    return static_cast<int>(best + 0.5);
}

int* Occupancy::rowOf(int hotel)
{
    return &m_rooms[static_cast<std::size_t>(hotel - 1) * static_cast<std::size_t>(m_days)];
}

const int* Occupancy::rowOf(int hotel) const
{
    return &m_rooms[static_cast<std::size_t>(hotel - 1) * static_cast<std::size_t>(m_days)];
}

} // namespace presenze::demo
