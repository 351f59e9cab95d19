#include "indicators/SeasonTally.h"

#include "data/DataError.h"
#include "data/Text1252.h"

#include <algorithm>

namespace presenze {
namespace {

constexpr int kConfirmed = 0;
constexpr int kOptional = 1;

// The kind of the line's booking: confirmed, optional, or -1 when the line
// has no header or its header's kind is neither.
int kindOf(const BookingSet& bookings, const BookedLine& line)
{
    const auto headers = bookings.headersOf(line);
    if (headers.empty())
        return -1;
    const std::string_view tipo = headers.front().tipoPrenotazione;
    if (equalText(tipo, "C") || equalText(tipo, "D"))
        return kConfirmed;
    if (equalText(tipo, "O"))
        return kOptional;
    return -1;
}

bool kindCounted(BookingKind kind, int lineKind)
{
    return kind == BookingKind::All || (kind == BookingKind::Confirmed) == (lineKind == kConfirmed);
}

// a += b * times, raising DataError when it does not fit.
void addTimes(std::int64_t& a, std::int64_t b, int times)
{
    std::int64_t product = 0;
    if (__builtin_mul_overflow(b, static_cast<std::int64_t>(times), &product))
        throw DataError("Totale troppo grande per gli indicatori");
    addChecked(a, product);
}

} // namespace

SeasonTally::ArrivalCell& SeasonTally::ArrivalCell::operator+=(const ArrivalCell& other)
{
    for (int k = 0; k < 2; ++k) {
        addChecked(persons[k], other.persons[k]);
        addChecked(lines[k], other.lines[k]);
        addChecked(nights[k], other.nights[k]);
    }
    booked = booked || other.booked;
    return *this;
}

SeasonTally::SeasonTally(std::vector<MonthNights> months, bool compare, BookingKind kind,
                         bool byCompany, std::set<std::int64_t> hotels)
    : m_months(std::move(months)), m_compare(compare), m_kind(kind), m_byCompany(byCompany),
      m_hotels(std::move(hotels))
{
    const NightSpan span = spanOf(m_months, m_compare);
    m_first = span.first;
    m_last = span.last;
    const auto days = static_cast<std::size_t>(m_last - m_first + 1);
    m_needed.assign(days, false);
    m_weight[0].assign(days, 0);
    m_weight[1].assign(days, 0);
    for (const MonthNights& m : m_months) {
        for (int side = 0; side < (m_compare ? 2 : 1); ++side) {
            for (const long night : side == 0 ? m.nights : m.lastYear) {
                m_needed[static_cast<std::size_t>(dayIndex(night))] = true;
                ++m_weight[side][static_cast<std::size_t>(dayIndex(night))];
            }
        }
    }
}

SeasonTally::HotelDays& SeasonTally::daysOf(std::int64_t hotel)
{
    auto [it, added] = m_days.try_emplace(hotel);
    HotelDays& h = it->second;
    if (added) {
        const std::size_t span = m_needed.size();
        h.nights.assign(span, {});
        h.owner.assign(span, -1);
        h.seasonNights.assign(span, {});
        h.seasonArrivals.assign(span, {});
        for (int side = 0; side < 2; ++side) {
            h.arrivals[side].assign(m_months.size(), {});
            h.arrivalsTaken[side].assign(m_months.size(), false);
        }
    }
    return h;
}

void SeasonTally::addSeason(const BookingSet& bookings)
{
    const int season = m_seasons++;
    for (auto& [hotel, h] : m_days) {
        std::fill(h.seasonNights.begin(), h.seasonNights.end(), NightCell{});
        std::fill(h.seasonArrivals.begin(), h.seasonArrivals.end(), ArrivalCell{});
    }
    const std::int64_t* lastHotel = nullptr;
    HotelDays* days = nullptr;
    for (const BookedLine& line : bookings.lines()) {
        const int kind = kindOf(bookings, line);
        if (kind < 0)
            continue;
        if (!m_hotels.count(line.numeroHotel)) {
            ++m_leftOut[line.numeroHotel];
            continue;
        }
        if (!lastHotel || *lastHotel != line.numeroHotel) {
            days = &daysOf(line.numeroHotel);
            lastHotel = &line.numeroHotel;
        }
        tallyLine(*days, line, bookings.priceOf(line), kind);
    }
    takeSeason(season);
    if (m_byCompany)
        tallyCompanies(bookings, season);
}

void SeasonTally::tallyLine(HotelDays& h, const BookedLine& stay, const LinePrice& price, int kind)
{
    const BookedLine& line = stay;
    const long from = std::max<long>(stay.arrival, m_first);
    const long to = std::min<long>(stay.departure - 1L, m_last);
    for (long night = from; night <= to; ++night) {
        const auto d = static_cast<std::size_t>(dayIndex(night));
        if (!m_needed[d])
            continue;
        NightCell& cell = h.seasonNights[d];
        addChecked(cell.rooms[kind], line.quantitaCamere);
        addChecked(cell.persons[kind], line.numeroPersone);
        if ((night - stay.arrival) % price.giorniTariffa == 0)
            addChecked(cell.revenue[kind], price.prezzo.units);
        cell.booked = true;
    }
    // A line that leaves on its arrival day arrives all the same, as the
    // Type 2 report counts arrivals.
    if (stay.arrival >= m_first && stay.arrival <= m_last && stay.departure >= stay.arrival) {
        const auto d = static_cast<std::size_t>(dayIndex(stay.arrival));
        if (!m_needed[d])
            return;
        ArrivalCell& cell = h.seasonArrivals[d];
        addChecked(cell.persons[kind], line.numeroPersone);
        addChecked(cell.lines[kind], 1);
        addChecked(cell.nights[kind], static_cast<std::int64_t>(stay.departure) - stay.arrival);
        cell.booked = true;
    }
}

// The season's nights and rows that no season before it holds become its.
void SeasonTally::takeSeason(int season)
{
    for (auto& [hotel, h] : m_days) {
        for (std::size_t d = 0; d < h.nights.size(); ++d) {
            if (h.owner[d] < 0 && h.seasonNights[d].booked) {
                h.owner[d] = static_cast<std::int16_t>(season);
                h.nights[d] = h.seasonNights[d];
            }
        }
        for (std::size_t m = 0; m < m_months.size(); ++m) {
            for (int side = 0; side < (m_compare ? 2 : 1); ++side) {
                if (h.arrivalsTaken[side][m])
                    continue;
                ArrivalCell sum;
                for (const long night : side == 0 ? m_months[m].nights : m_months[m].lastYear)
                    sum += h.seasonArrivals[static_cast<std::size_t>(dayIndex(night))];
                if (sum.booked) {
                    h.arrivals[side][m] = sum;
                    h.arrivalsTaken[side][m] = true;
                }
            }
        }
    }
}

// The counted lines of each company on the nights the season gave.
void SeasonTally::tallyCompanies(const BookingSet& bookings, int season)
{
    for (const BookedLine& line : bookings.lines()) {
        const int kind = kindOf(bookings, line);
        if (kind < 0 || !kindCounted(m_kind, kind) || !m_hotels.count(line.numeroHotel))
            continue;
        HotelDays& h = m_days.at(line.numeroHotel);
        const BookedLine& stay = line;
        const LinePrice& price = bookings.priceOf(line);
        const long from = std::max<long>(stay.arrival, m_first);
        const long to = std::min<long>(stay.departure - 1L, m_last);
        KindFigures sums[2];
        bool counted = false;
        for (long night = from; night <= to; ++night) {
            const auto d = static_cast<std::size_t>(dayIndex(night));
            if (h.owner[d] != season)
                continue;
            const bool charged = (night - stay.arrival) % price.giorniTariffa == 0;
            for (int side = 0; side < 2; ++side) {
                const int times = m_weight[side][d];
                if (times == 0)
                    continue;
                addTimes(sums[side].rooms, line.quantitaCamere, times);
                addTimes(sums[side].presences, line.numeroPersone, times);
                if (charged)
                    addTimes(sums[side].revenue.units, price.prezzo.units, times);
                counted = true;
            }
        }
        if (!counted)
            continue;
        CompanyCounts& company = h.companies[std::string(bookings.headersOf(line).front().ditta)];
        company.current += sums[0];
        company.lastYear += sums[1];
    }
}

PeriodFigures SeasonTally::figures(std::int64_t hotel, std::size_t month, bool lastYear) const
{
    PeriodFigures f;
    const auto it = m_days.find(hotel);
    if (it == m_days.end() || (lastYear && !m_compare))
        return f;
    const HotelDays& h = it->second;
    KindFigures* kinds[2] = {&f.confirmed, &f.optional};
    for (const long night : lastYear ? m_months[month].lastYear : m_months[month].nights) {
        const auto d = static_cast<std::size_t>(dayIndex(night));
        const NightCell& cell = h.nights[d];
        for (int k = 0; k < 2; ++k) {
            addChecked(kinds[k]->rooms, cell.rooms[k]);
            addChecked(kinds[k]->presences, cell.persons[k]);
            addChecked(kinds[k]->revenue.units, cell.revenue[k]);
        }
        f.booked = f.booked || h.owner[d] >= 0;
    }
    const ArrivalCell& arriving = h.arrivals[lastYear ? 1 : 0][month];
    for (int k = 0; k < 2; ++k) {
        kinds[k]->arrivals = arriving.persons[k];
        kinds[k]->arrivingLines = arriving.lines[k];
        kinds[k]->arrivingNights = arriving.nights[k];
    }
    f.booked = f.booked || arriving.booked;
    return f;
}

std::vector<CompanyIndicators> SeasonTally::companies(std::int64_t hotel) const
{
    std::vector<CompanyIndicators> companies;
    const auto it = m_days.find(hotel);
    if (it == m_days.end())
        return companies;
    for (const auto& [name, counts] : it->second.companies) {
        CompanyIndicators c{name, counts.current, std::nullopt};
        if (m_compare)
            c.lastYear = counts.lastYear;
        companies.push_back(std::move(c));
    }
    return companies;
}

} // namespace presenze
