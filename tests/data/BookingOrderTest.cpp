#include "data/BookingCache.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <utility>
#include <vector>

using namespace presenze;

namespace {

using Booking = std::pair<std::int64_t, std::int64_t>; // hotel, number

// The table places of the lines in the set's booking order.
std::vector<std::uint32_t> placesInBookingOrder(const std::vector<Booking>& table)
{
    std::vector<RoomLine> lines;
    std::vector<BookingHeader> headers;
    for (const auto& [hotel, number] : table) {
        RoomLine line;
        line.numeroHotel = hotel;
        line.numeroPrenotazione = number;
        line.dataArrivo = "20260101";
        line.dataPartenza = "20260102";
        lines.push_back(line);
        BookingHeader header;
        header.numeroHotel = hotel;
        header.numeroPrenotazione = number;
        headers.push_back(header);
    }
    const BookingSet set(lines, headers);
    std::vector<std::uint32_t> places;
    for (const BookedLine& line : set.linesByBooking()) {
        places.push_back(line.order);
        const auto own = set.headersOf(line);
        EXPECT_FALSE(own.empty());
        for (const BookedHeader& h : own)
            EXPECT_TRUE(h.numeroHotel == line.numeroHotel &&
                        h.numeroPrenotazione == line.numeroPrenotazione);
    }
    return places;
}

} // namespace

// Lines and headers come out by hotel, booking number and table order, both
// when each hotel's numbers rise in table order (placed by counting) and when
// they do not or the hotel numbers are large or negative (sorted).
TEST(BookingSet, PutsLinesInBookingOrderHoweverTheTableHoldsThem)
{
    const std::vector<std::vector<Booking>> tables = {
        {},
        {{3, 1}, {1, 1}, {3, 2}, {1, 1}, {2, 5}, {3, 2}, {1, 7}}, // numbers rise by hotel
        {{3, 2}, {1, 1}, {3, 1}, {1, 1}, {2, 5}, {3, 2}, {1, 0}}, // they fall in hotel 3 and 1
        {{12000, 1}, {1, 4}, {9999, 2}, {1, 2}, {12000, 1}},      // a hotel above 9999
        {{-1, 4}, {0, 1}, {-1, 2}, {0, 1}, {5, -3}, {5, -8}},     // negative numbers
    };
    for (const auto& table : tables) {
        std::vector<std::uint32_t> expected(table.size());
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return table[a] < table[b]; });
        EXPECT_EQ(placesInBookingOrder(table), expected) << table.size();
    }
}
