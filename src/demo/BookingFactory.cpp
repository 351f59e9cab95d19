#include "demo/BookingFactory.h"

#include "data/Dates.h"

#include <algorithm>
#include <iterator>

namespace presenze::demo {
namespace {

using names::Category;

// Arrivals by month of the year (the tourist season), January first.
constexpr int kMonthWeight[12] = {50, 55, 70, 90, 100, 130, 170, 190, 120, 90, 60, 90};
// Price of the month against the hotel's base rate, in percent.
constexpr int kMonthPrice[12] = {80, 80, 85, 95, 100, 115, 140, 160, 110, 95, 85, 100};

struct Weighted {
    const char* value;
    int weight;
};

constexpr Weighted kNationalities[] = {
    {"I", 50}, {"", 8},   {"D", 10},  {"GB", 6}, {"F", 6}, {"CH", 4},
    {"A", 4},  {"NL", 4}, {"USA", 3}, {"E", 2},  {"B", 2}, {"PL", 1},
};

template <std::size_t N> const char* pickWeighted(const Weighted (&table)[N], SeededRandom& random)
{
    int total = 0;
    for (const auto& w : table)
        total += w.weight;
    int target = static_cast<int>(random.below(static_cast<std::uint64_t>(total)));
    for (const auto& w : table) {
        if (target < w.weight)
            return w.value;
        target -= w.weight;
    }
    return table[0].value;
}

} // namespace

BookingFactory::BookingFactory(const std::vector<Hotel>& hotels,
                               const std::vector<Company>& companies, const SeasonPlan& plan,
                               SeededRandom& random)
    : m_hotels(hotels), m_companies(companies), m_plan(plan), m_random(random),
      m_nextNumber(hotels.size() + 1, 1)
{
    std::vector<std::uint64_t> hotelWeights;
    for (std::size_t i = 0; i < hotels.size(); ++i)
        hotelWeights.push_back(static_cast<std::uint64_t>(m_random.between(50, 150)));
    m_hotelCumulative = cumulative(hotelWeights);

    std::vector<std::uint64_t> dayWeights;
    for (long d = plan.firstArrival; d <= plan.lastArrival; ++d) {
        const Date date = Date::fromSerial(d);
        std::uint64_t w = kMonthWeight[date.month - 1];
        const long weekday = ((d % 7) + 7 + 3) % 7; // 0 = Monday (1970-01-01 was Thursday)
        if (weekday == 4 || weekday == 5)
            w = w * 3 / 2;
        dayWeights.push_back(w);
    }
    m_dayCumulative = cumulative(dayWeights);

    // A few companies book a lot, most book now and then: weight by rank.
    std::vector<std::uint64_t> companyWeights;
    m_byHotel.resize(hotels.size() + 1);
    std::vector<std::vector<std::uint64_t>> hotelCompanyWeights(hotels.size() + 1);
    for (std::size_t i = 0; i < companies.size(); ++i) {
        const std::uint64_t w = 600000 / (i + 20);
        companyWeights.push_back(w);
        m_byHotel[companies[i].hotel].push_back(i);
        hotelCompanyWeights[companies[i].hotel].push_back(w);
    }
    m_companyCumulative = cumulative(companyWeights);
    m_byHotelCumulative.resize(hotels.size() + 1);
    for (std::size_t h = 1; h <= hotels.size(); ++h)
        if (!hotelCompanyWeights[h].empty())
            m_byHotelCumulative[h] = cumulative(hotelCompanyWeights[h]);
}

Booking BookingFactory::make(std::int64_t maxLines)
{
    Booking b;
    b.hotel = static_cast<int>(m_random.weighted(m_hotelCumulative)) + 1;
    const Category category = drawCategory();
    const long arrival =
        m_plan.firstArrival + static_cast<long>(m_random.weighted(m_dayCumulative));
    b.kind = drawKind(arrival);

    const Company* company = nullptr;
    const bool byCompany = category == Category::Group || category == Category::TourOperator ||
                           category == Category::Special || m_random.chance(550);
    if (byCompany && !m_companies.empty())
        company = &drawCompany(b.hotel);
    if (company) {
        b.ditta = company->name;
        b.code = company->code;
    } else {
        b.ditta = names::guest(m_random);
    }
    b.nazione = pickWeighted(kNationalities, m_random);
    if (category == Category::TourOperator && b.nazione == "I")
        b.nazione = pickWeighted(kNationalities, m_random);
    b.commento = names::comment(category, m_random);

    const int nights = drawNights(category);
    const std::int64_t count = std::min<std::int64_t>(drawLineCount(category), maxLines);
    for (std::int64_t i = 0; i < count; ++i)
        b.lines.push_back(makeLine(b.hotel, category, arrival, nights));
    return b;
}

Category BookingFactory::drawCategory()
{
    const int r = static_cast<int>(m_random.below(100));
    if (r < 8)
        return Category::Group;
    if (r < 22)
        return Category::TourOperator;
    if (r < 30)
        return Category::Special;
    if (r < 60)
        return Category::Individual;
    return Category::Untagged;
}

std::string BookingFactory::drawKind(long arrival)
{
    int optionPerMille = 50;
    if (arrival > m_plan.referenceLast)
        optionPerMille = 300;
    else if (arrival >= m_plan.referenceFirst)
        optionPerMille = 150;
    if (m_random.chance(optionPerMille))
        return "O";
    return m_random.chance(180) ? "D" : "C";
}

const Company& BookingFactory::drawCompany(int hotel)
{
    if (!m_byHotel[hotel].empty() && m_random.chance(700))
        return m_companies[m_byHotel[hotel][m_random.weighted(m_byHotelCumulative[hotel])]];
    return m_companies[m_random.weighted(m_companyCumulative)];
}

int BookingFactory::drawNights(Category category)
{
    if (category == Category::Group)
        return static_cast<int>(m_random.between(1, 5));
    if (m_random.chance(20))
        return static_cast<int>(m_random.between(21, kLongestStay));
    static constexpr int kNights[] = {1, 2, 3, 4, 5, 6, 7, 10, 14};
    static constexpr int kWeights[] = {10, 14, 15, 11, 9, 7, 18, 5, 7};
    int target = static_cast<int>(m_random.below(96));
    for (std::size_t i = 0; i < std::size(kNights); ++i) {
        if (target < kWeights[i])
            return kNights[i];
        target -= kWeights[i];
    }
    return 7;
}

std::int64_t BookingFactory::drawLineCount(Category category)
{
    switch (category) {
    case Category::Group:
        return m_random.between(2, 6);
    case Category::TourOperator:
        return m_random.between(1, 4);
    case Category::Special:
        return m_random.between(1, 3);
    case Category::Individual:
        return m_random.chance(800) ? 1 : 2;
    case Category::Untagged:
        break;
    }
    return m_random.chance(700) ? 1 : m_random.between(2, 3);
}

Line BookingFactory::makeLine(int hotel, Category category, long arrival, int nights)
{
    Line line;
    line.arrival = arrival;
    line.departure = arrival + nights;
    if (m_random.chance(150)) {
        // A room that arrives a day later or stays a little longer or shorter.
        if (nights > 1 && arrival < m_plan.lastArrival && m_random.chance(500))
            line.arrival += 1;
        line.departure += m_random.between(-1, 2);
        if (line.departure <= line.arrival)
            line.departure = line.arrival + 1;
    }
    switch (category) {
    case Category::Group:
        line.rooms = static_cast<int>(m_random.between(2, 8));
        break;
    case Category::TourOperator:
        line.rooms = static_cast<int>(m_random.between(1, 3));
        break;
    case Category::Special:
        line.rooms = static_cast<int>(m_random.between(1, 2));
        break;
    default:
        line.rooms = m_random.chance(100) ? 2 : 1;
        break;
    }
    for (int r = 0; r < line.rooms; ++r) {
        const int p = static_cast<int>(m_random.below(100));
        line.persons += p < 20 ? 1 : p < 78 ? 2 : p < 94 ? 3 : 4;
    }
    if (m_random.chance(3))
        line.persons = 0; // a room held without guests
    line.note = names::note(category, m_random);

    const int stay = static_cast<int>(line.departure - line.arrival);
    line.tariffDays = 1;
    if (stay >= 7 && m_random.chance(300))
        line.tariffDays = 7;
    else if (m_random.chance(50))
        line.tariffDays = 3;
    const int month = Date::fromSerial(line.arrival).month;
    std::int64_t nightly =
        m_hotels[hotel - 1].baseCents * kMonthPrice[month - 1] / 100 * line.rooms;
    nightly += 2500 * std::max(0, line.persons - 2 * line.rooms);
    std::int64_t price = nightly * line.tariffDays;
    if (line.tariffDays == 7)
        price = price * 90 / 100;
    if (m_random.chance(600))
        price = (price + 50) / 100 * 100; // whole euros
    if (m_random.chance(10))
        price = 0; // complimentary
    line.priceCents = price;
    return line;
}

} // namespace presenze::demo
