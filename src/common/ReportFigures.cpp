#include "common/ReportFigures.h"

#include <set>

namespace presenze {

DayFigures& DayFigures::operator+=(const DayFigures& other)
{
    presCon += other.presCon;
    presOpz += other.presOpz;
    camCon += other.camCon;
    camOpz += other.camOpz;
    importo += other.importo;
    return *this;
}

bool MonthFigures::hasFigures() const
{
    if (!days.empty())
        return true;
    for (const HotelFigures& h : hotels)
        for (const DayFigures& d : h.days)
            if (d.any())
                return true;
    return false;
}

void ReportFigures::start(bool type1, const Selection& selection)
{
    *this = ReportFigures{};
    m_type1 = type1;
    m_kind = selection.kind;
    m_summary = selection.summary && !(type1 && selection.singleCompany);
}

MonthFigures& ReportFigures::startMonth(const Date& first, bool arrivals, bool amounts)
{
    MonthFigures& month = m_months.emplace_back();
    month.first = first;
    month.arrivals = arrivals;
    month.amounts = amounts;
    return month;
}

void ReportFigures::startCompany(std::int64_t hotel, std::string_view name)
{
    const auto [it, added] =
        m_nameIds.try_emplace(std::string(name), static_cast<std::int32_t>(m_names.size()));
    if (added)
        m_names.emplace_back(name);
    MonthFigures& month = m_months.back();
    month.companies.push_back(
        {hotel, it->second, static_cast<std::uint32_t>(month.days.size()), 0});
}

void ReportFigures::addDay(int day, const DayFigures& figures)
{
    if (!figures.any())
        return;
    MonthFigures& month = m_months.back();
    month.days.push_back({day, figures});
    ++month.companies.back().dayCount;
}

HotelFigures& ReportFigures::addHotel(std::int64_t hotel, std::int64_t rooms)
{
    HotelFigures& h = m_months.back().hotels.emplace_back();
    h.hotel = hotel;
    h.rooms = rooms;
    return h;
}

void ReportFigures::setHotelName(std::int64_t hotel, std::string name)
{
    m_hotelNames[hotel] = std::move(name);
}

std::string ReportFigures::hotelLabel(std::int64_t hotel) const
{
    const auto it = m_hotelNames.find(hotel);
    if (it == m_hotelNames.end() || it->second.find_first_not_of(' ') == std::string::npos)
        return "Hotel " + std::to_string(hotel);
    const auto last = it->second.find_last_not_of(' ');
    return it->second.substr(0, last + 1);
}

std::vector<std::int64_t> ReportFigures::hotels() const
{
    std::set<std::int64_t> all;
    for (const MonthFigures& month : m_months) {
        for (const HotelFigures& h : month.hotels)
            all.insert(h.hotel);
        for (const CompanyFigures& c : month.companies)
            all.insert(c.hotel);
    }
    return {all.begin(), all.end()};
}

} // namespace presenze
