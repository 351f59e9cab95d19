#pragma once
// The bookings of a season, drawn one by one: hotel, arrival day (by the
// tourist season and the weekday), kind, company or private guest,
// nationality, comment and room lines with their nights, rooms, persons,
// notes and prices. The same random source gives the same bookings.

#include "demo/GroupModel.h"
#include "demo/GroupNames.h"
#include "demo/SeededRandom.h"

#include <cstdint>
#include <string>
#include <vector>

namespace presenze::demo {

class BookingFactory {
public:
    BookingFactory(const std::vector<Hotel>& hotels, const std::vector<Company>& companies,
                   const SeasonPlan& plan, SeededRandom& random);

    // The next booking, with at most maxLines room lines, without its number.
    Booking make(std::int64_t maxLines);

    // Booking numbers run per hotel.
    void number(Booking& b) { b.number = m_nextNumber[b.hotel]++; }

private:
    names::Category drawCategory();

    // Options are more frequent for stays still to come.
    std::string drawKind(long arrival);

    const Company& drawCompany(int hotel);

    int drawNights(names::Category category);

    std::int64_t drawLineCount(names::Category category);

    Line makeLine(int hotel, names::Category category, long arrival, int nights);

    const std::vector<Hotel>& m_hotels;
    const std::vector<Company>& m_companies;
    const SeasonPlan& m_plan;
    SeededRandom& m_random;
    std::vector<std::int64_t> m_nextNumber; // per hotel
    std::vector<std::uint64_t> m_hotelCumulative;
    std::vector<std::uint64_t> m_dayCumulative;
    std::vector<std::uint64_t> m_companyCumulative;
    std::vector<std::vector<std::size_t>> m_byHotel;
    std::vector<std::vector<std::uint64_t>> m_byHotelCumulative;
};

} // namespace presenze::demo
