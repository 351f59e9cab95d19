#include "istat/MovimentoClienti.h"

#include "data/DataError.h"
#include "data/Text1252.h"
#include "tally/Saturating.h"

#include <algorithm>
#include <limits>
#include <map>

namespace presenze {
namespace {

constexpr std::int64_t kLastHotel = 9998;

bool confirmed(const BookedHeader& header)
{
    return equalText(header.tipoPrenotazione, "C") || equalText(header.tipoPrenotazione, "D");
}

std::string nationalityOf(const BookedHeader& header)
{
    return upperCp1252(trimBlanks(header.nazione));
}

// One hotel and nationality while the lines are walked.
struct NationTally {
    std::vector<std::int64_t> nights; // the night before day 1 first, then day 1..n
    std::vector<std::int64_t> arrivals;
    std::vector<std::int64_t> departures;
};

struct HotelTally {
    std::map<std::string, NationTally> nations;
    std::vector<std::int64_t> rooms; // the nights of days 1..n
    std::vector<ExcludedLine> excluded;
};

// Walks the lines of the month into per-hotel tallies.
class MonthCounter {
public:
    MonthCounter(const Date& first, const std::optional<std::set<std::int64_t>>& hotels)
        : m_first(first.toSerial()), m_days(Date::daysInMonth(first.year, first.month)),
          m_hotels(hotels)
    {}

    bool counts(std::int64_t hotel) const
    {
        return hotel >= 1 && hotel <= kLastHotel && (!m_hotels || m_hotels->count(hotel));
    }

    void count(const BookedLine& stay, const BookedHeader& header)
    {
        const BookedLine& line = stay;
        HotelTally& hotel = hotelOf(line.numeroHotel);
        NationTally& nation = nationOf(hotel, nationalityOf(header));
        const long last = m_first + m_days - 1;
        // Nights from the one before day 1 to the month's last.
        for (long night = std::max<long>(stay.arrival, m_first - 1);
             night < std::min<long>(stay.departure, last + 1); ++night) {
            addSaturating(nation.nights[static_cast<std::size_t>(night - m_first + 1)],
                          line.numeroPersone);
            if (night >= m_first)
                addSaturating(hotel.rooms[static_cast<std::size_t>(night - m_first)],
                              line.quantitaCamere);
        }
        if (stay.arrival >= m_first && stay.arrival <= last)
            addSaturating(nation.arrivals[static_cast<std::size_t>(stay.arrival - m_first)],
                          line.numeroPersone);
        if (stay.departure >= m_first && stay.departure <= last)
            addSaturating(nation.departures[static_cast<std::size_t>(stay.departure - m_first)],
                          line.numeroPersone);
    }

    // A line whose dates make no stay: listed when a date of it lies in the
    // month, or when it has no real date at all.
    void exclude(const RoomLine& line, const BookedHeader& header)
    {
        const auto arrival = Date::parseKey(line.dataArrivo);
        const auto departure = Date::parseKey(line.dataPartenza);
        const auto inMonth = [&](const std::optional<Date>& d) {
            return d && d->toSerial() >= m_first && d->toSerial() < m_first + m_days;
        };
        ExcludedLine out;
        if (inMonth(arrival))
            out.day = arrival;
        else if (inMonth(departure))
            out.day = departure;
        else if (arrival || departure)
            return;
        if (trimBlanks(line.dataArrivo).empty())
            out.fault = ExcludedLine::Fault::MissingArrival;
        else if (!arrival)
            out.fault = ExcludedLine::Fault::BadArrival;
        else if (trimBlanks(line.dataPartenza).empty())
            out.fault = ExcludedLine::Fault::MissingDeparture;
        else if (!departure)
            out.fault = ExcludedLine::Fault::BadDeparture;
        else
            out.fault = ExcludedLine::Fault::DepartureBeforeArrival;
        out.nazione = nationalityOf(header);
        out.booking = line.numeroPrenotazione;
        out.persons = line.numeroPersone;
        out.arrival = line.dataArrivo;
        out.departure = line.dataPartenza;
        hotelOf(line.numeroHotel).excluded.push_back(std::move(out));
    }

    std::map<std::int64_t, HotelTally>& hotels() { return m_tallies; }
    int days() const { return m_days; }

private:
    HotelTally& hotelOf(std::int64_t number)
    {
        auto [it, added] = m_tallies.try_emplace(number);
        if (added)
            it->second.rooms.assign(static_cast<std::size_t>(m_days), 0);
        return it->second;
    }
    NationTally& nationOf(HotelTally& hotel, const std::string& nazione)
    {
        auto [it, added] = hotel.nations.try_emplace(nazione);
        if (added) {
            const auto days = static_cast<std::size_t>(m_days);
            it->second.nights.assign(days + 1, 0);
            it->second.arrivals.assign(days, 0);
            it->second.departures.assign(days, 0);
        }
        return it->second;
    }

    long m_first;
    int m_days;
    const std::optional<std::set<std::int64_t>>& m_hotels;
    std::map<std::int64_t, HotelTally> m_tallies;
};

NationalityMovement movementOf(const std::string& nazione, const NationTally& t, int days)
{
    NationalityMovement m;
    m.nazione = nazione;
    for (std::size_t d = 0; d < static_cast<std::size_t>(days); ++d)
        m.days.push_back({t.nights[d], t.arrivals[d], t.departures[d], t.nights[d + 1]});
    return m;
}

// The hotel's figures: nationalities with any figure, and their sums.
void fill(HotelMovement& hotel, const HotelTally& tally, int days)
{
    hotel.totals.assign(static_cast<std::size_t>(days), {});
    hotel.camereOccupate = tally.rooms;
    for (const auto& [nazione, t] : tally.nations) {
        NationalityMovement m = movementOf(nazione, t, days);
        if (std::none_of(m.days.begin(), m.days.end(), [](const GuestDay& d) { return d.any(); }))
            continue;
        for (std::size_t d = 0; d < m.days.size(); ++d) {
            GuestDay& sum = hotel.totals[d];
            addSaturating(sum.presentiNottePrecedente, m.days[d].presentiNottePrecedente);
            addSaturating(sum.arrivi, m.days[d].arrivi);
            addSaturating(sum.partenze, m.days[d].partenze);
            addSaturating(sum.presenti, m.days[d].presenti);
        }
        hotel.nationalities.push_back(std::move(m));
    }
    std::stable_sort(hotel.nationalities.begin(), hotel.nationalities.end(),
                     [](const NationalityMovement& a, const NationalityMovement& b) {
                         if (a.nazione.empty() != b.nazione.empty())
                             return b.nazione.empty();
                         return compareText(a.nazione, b.nazione) < 0;
                     });
    hotel.excluded = tally.excluded;
    std::stable_sort(hotel.excluded.begin(), hotel.excluded.end(),
                     [](const ExcludedLine& a, const ExcludedLine& b) {
                         const long da =
                             a.day ? a.day->toSerial() : std::numeric_limits<long>::max();
                         const long db =
                             b.day ? b.day->toSerial() : std::numeric_limits<long>::max();
                         return da != db ? da < db : a.booking < b.booking;
                     });
}

// The hotels of the sheets with their registry names.
std::map<std::int64_t, std::string> hotelsOf(const std::vector<HotelRecord>& registry,
                                             const std::optional<std::set<std::int64_t>>& ticked,
                                             const std::map<std::int64_t, HotelTally>& tallies)
{
    std::map<std::int64_t, std::string> names;
    for (const HotelRecord& h : registry)
        if (h.numero > 0 && h.numeroHotel >= 1 && h.numeroHotel <= kLastHotel &&
            (!ticked || ticked->count(h.numeroHotel)))
            names.try_emplace(h.numeroHotel, h.ragioneSociale);
    if (ticked)
        for (const std::int64_t hotel : *ticked)
            names.try_emplace(hotel);
    for (const auto& [hotel, tally] : tallies)
        names.try_emplace(hotel);
    return names;
}

} // namespace

std::int64_t NationalityMovement::arrivals() const
{
    std::int64_t sum = 0;
    for (const GuestDay& d : days)
        addSaturating(sum, d.arrivi);
    return sum;
}

std::int64_t NationalityMovement::presences() const
{
    std::int64_t sum = 0;
    for (const GuestDay& d : days)
        addSaturating(sum, d.presenti);
    return sum;
}

std::string nationalityCaption(const std::string& nazione)
{
    return nazione.empty() ? "Non indicata" : nazione;
}

std::string faultText(const ExcludedLine& line)
{
    switch (line.fault) {
    case ExcludedLine::Fault::DepartureBeforeArrival:
        return "partenza prima dell'arrivo";
    case ExcludedLine::Fault::MissingArrival:
        return "data di arrivo mancante";
    case ExcludedLine::Fault::MissingDeparture:
        return "data di partenza mancante";
    case ExcludedLine::Fault::BadArrival:
        return "data di arrivo non valida";
    case ExcludedLine::Fault::BadDeparture:
        return "data di partenza non valida";
    }
    return {};
}

std::optional<std::int64_t> HotelMovement::bedDays() const
{
    if (!beds)
        return std::nullopt;
    return saturatingMul(*beds, daysOpen);
}

std::string HotelMovement::caption() const
{
    const std::string_view shown = trimBlanks(name);
    const std::string number = "Hotel " + std::to_string(hotel);
    return shown.empty() ? number : number + " " + std::string(shown);
}

MonthMovement countMovement(const Date& first, const std::optional<std::set<std::int64_t>>& hotels,
                            const BookingSet& bookings, const std::vector<HotelRecord>& registry,
                            const HotelRooms& rooms, const std::optional<HotelBeds>& beds)
{
    MonthCounter counter(first, hotels);
    for (const BookedLine& stay : bookings.linesByBooking()) {
        const BookedLine& line = stay;
        // A departure before the arrival is among the faulty lines.
        if (!counter.counts(line.numeroHotel) || line.numeroPersone <= 0 ||
            stay.departure < stay.arrival)
            continue;
        const auto headers = bookings.headersOf(line);
        if (!headers.empty() && confirmed(headers.front()))
            counter.count(stay, headers.front());
    }
    for (const RoomLine& line : bookings.faultyLines()) {
        if (!counter.counts(line.numeroHotel) || line.numeroPersone <= 0)
            continue;
        const BookedHeader* header =
            bookings.firstHeader(line.numeroHotel, line.numeroPrenotazione);
        if (header && confirmed(*header))
            counter.exclude(line, *header);
    }

    MonthMovement month;
    month.first = first;
    month.days = counter.days();
    month.bedsFile = beds.has_value();
    for (const auto& [number, name] : hotelsOf(registry, hotels, counter.hotels())) {
        HotelMovement& hotel = month.hotels.emplace_back();
        hotel.hotel = number;
        hotel.name = name;
        const auto tally = counter.hotels().find(number);
        HotelTally empty;
        empty.rooms.assign(static_cast<std::size_t>(month.days), 0);
        fill(hotel, tally != counter.hotels().end() ? tally->second : empty, month.days);
        hotel.rooms = std::max<std::int64_t>(rooms.of(number), 0);
        hotel.daysOpen = hotel.rooms > 0 ? month.days : 0;
        if (beds)
            if (const auto it = beds->find(number); it != beds->end())
                hotel.beds = it->second;
    }
    return month;
}

MonthMovement MovimentoClienti(const DataFolder& folder, int month, int year,
                               const std::optional<std::set<std::int64_t>>& hotels,
                               std::string_view season, const BookingSource* source)
{
    const Date first{year, month, 1};
    if (!first.isValid() || year < 1996 || year > 9999)
        throw DataError("Mese non valido: " + std::to_string(month) + "/" + std::to_string(year));
    const Date last = first.addDays(Date::daysInMonth(year, month) - 1);
    // From the night before the month's first day: who is there when it starts.
    BookingCache cache(first.addDays(-1).toKey(), last.toKey(), BookingFields::Tally, true, source);
    // Lines left out for their dates are listed with the figures, not warned about.
    const BookingSet& bookings = cache.bookings(folder, season, {});
    const HotelRooms rooms = countHotelRooms(cache.roomTypes(folder));
    return countMovement(first, hotels, bookings, cache.hotelRegistry(folder), rooms,
                         readHotelBeds(folder));
}

} // namespace presenze
