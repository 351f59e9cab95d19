#include "indicators/ComputeIndicators.h"

#include "data/BookingCache.h"
#include "data/DataError.h"
#include "data/Schema.h"
#include "data/Text1252.h"
#include "indicators/SeasonTally.h"
#include "tally/HotelRooms.h"

#include <algorithm>
#include <set>

namespace presenze {
namespace {

// Each hotel's months, last year beside them when comparing, and its total.
HotelIndicators hotelOf(const SeasonTally& tally, std::int64_t hotel, std::string name,
                        std::int64_t rooms, bool compare)
{
    HotelIndicators h{{}, hotel, std::move(name), rooms, {}, {}, {}};
    if (compare)
        h.total.lastYear.emplace();
    for (std::size_t m = 0; m < tally.months().size(); ++m) {
        const MonthNights& nights = tally.months()[m];
        IndicatorLine line;
        line.current = tally.figures(hotel, m, false);
        line.current.roomsAvailable = rooms * static_cast<std::int64_t>(nights.nights.size());
        h.total.current += line.current;
        if (compare) {
            line.lastYear = tally.figures(hotel, m, true);
            line.lastYear->roomsAvailable =
                rooms * static_cast<std::int64_t>(nights.lastYear.size());
            *h.total.lastYear += *line.lastYear;
        }
        h.months.push_back(std::move(line));
    }
    return h;
}

bool anyBooked(const HotelIndicators& h)
{
    return h.total.current.booked || (h.total.lastYear && h.total.lastYear->booked);
}

// Largest first, then by name in the booking software's text order.
void sortCompanies(std::vector<CompanyIndicators>& companies)
{
    std::sort(companies.begin(), companies.end(),
              [](const CompanyIndicators& a, const CompanyIndicators& b) {
                  if (a.current.rooms != b.current.rooms)
                      return a.current.rooms > b.current.rooms;
                  return compareText(a.name, b.name) < 0;
              });
}

// The registry's hotels (Numero above 0, in registry order, each number
// once) that the request asks for.
std::vector<std::pair<std::int64_t, std::string>>
hotelsToShow(const std::vector<HotelRecord>& registry, const IndicatorRequest& request)
{
    std::vector<std::pair<std::int64_t, std::string>> hotels;
    std::set<std::int64_t> listed;
    for (const HotelRecord& record : registry)
        if (record.numero > 0 && (!request.hotels || request.hotels->count(record.numero)) &&
            listed.insert(record.numero).second)
            hotels.emplace_back(record.numero, record.ragioneSociale);
    return hotels;
}

void addGroup(Indicators& result, const HotelIndicators& h)
{
    for (std::size_t m = 0; m < h.months.size(); ++m) {
        IndicatorLine& group = result.groupMonths[m];
        group.current += h.months[m].current;
        if (group.lastYear)
            *group.lastYear += *h.months[m].lastYear;
    }
    result.groupTotal.current += h.total.current;
    if (result.groupTotal.lastYear)
        *result.groupTotal.lastYear += *h.total.lastYear;
}

// The bookings of a hotel the registry lacks belong to no hotel of the
// group: named, one warning per hotel.
void warnLeftOut(const SeasonTally& tally, const WarningSink& warn)
{
    for (const auto& [hotel, lines] : tally.leftOut())
        warn("Hotel " + std::to_string(hotel) + " assente da " +
             std::string(schema::kRegistryFile) + ": " + std::to_string(lines) +
             (lines == 1 ? " riga di prenotazione non contata."
                         : " righe di prenotazione non contate."));
}

// The request's result before its hotels: the period, the months, the
// group's rows at zero.
Indicators emptyResult(const SeasonTally& tally, const IndicatorRequest& request)
{
    Indicators result;
    result.kind = request.kind;
    result.compare = request.compare;
    result.byCompany = request.breakdown == IndicatorBreakdown::Company;
    result.firstNight = Date::fromSerial(tally.months().front().nights.front());
    result.lastNight = Date::fromSerial(tally.months().back().nights.back());
    for (const MonthNights& m : tally.months())
        result.months.push_back(m.month);
    result.groupMonths.resize(result.months.size());
    if (request.compare) {
        for (IndicatorLine& line : result.groupMonths)
            line.lastYear.emplace();
        result.groupTotal.lastYear.emplace();
    }
    return result;
}

} // namespace

std::vector<std::string> seasonsByPrecedence(const std::vector<std::string>& seasons)
{
    std::vector<std::string> archived;
    bool current = false;
    for (const std::string& season : seasons) {
        if (season.empty())
            current = true;
        else if (std::none_of(archived.begin(), archived.end(),
                              [&](const std::string& s) { return equalText(s, season); }))
            archived.push_back(season);
    }
    std::sort(archived.begin(), archived.end(),
              [](const std::string& a, const std::string& b) { return compareText(a, b) > 0; });
    if (current || archived.empty())
        archived.insert(archived.begin(), std::string());
    return archived;
}

Indicators computeIndicators(const DataFolder& folder, const IndicatorRequest& request,
                             const WarningSink& warn, const BookingSource* source,
                             const IndicatorProgress& progress)
{
    if (auto problem = checkIndicatorPeriod(request.period))
        throw DataError(*problem);
    std::vector<MonthNights> months = periodNights(request.period);
    // The lines that stay or arrive on the nights, and those that arrive and
    // leave on the first one.
    const NightSpan span = spanOf(months, request.compare);
    const std::string firstKey = Date::fromSerial(span.first - 1).toKey();
    const std::string lastKey = Date::fromSerial(span.last).toKey();

    // Every file is read once; each season's bookings go as soon as they
    // are counted.
    BookingCache files(firstKey, lastKey, BookingFields::Type2, false, source);
    auto hotels = hotelsToShow(files.hotelRegistry(folder), request);
    const HotelRooms rooms = countHotelRooms(files.roomTypes(folder));
    std::set<std::int64_t> counted;
    for (const auto& [hotel, name] : hotels)
        counted.insert(hotel);
    SeasonTally tally(std::move(months), request.compare, request.kind,
                      request.breakdown == IndicatorBreakdown::Company, counted);
    const std::vector<std::string> seasons =
        request.season
            ? std::vector<std::string>{*request.season}
            : seasonsByPrecedence(source ? source->seasons() : FolderSource(folder).seasons());
    const int steps = static_cast<int>(seasons.size()) + 2;
    const auto goOn = [&](int done) { return !progress || progress(done, steps); };
    if (!goOn(1))
        return emptyResult(tally, request);
    for (std::size_t s = 0; s < seasons.size(); ++s) {
        BookingCache bookings(firstKey, lastKey, BookingFields::Type2, false, source);
        tally.addSeason(bookings.bookings(folder, seasons[s], warn));
        if (!goOn(static_cast<int>(s) + 2))
            return emptyResult(tally, request);
    }
    if (!request.hotels)
        warnLeftOut(tally, warn);

    Indicators result = emptyResult(tally, request);
    for (auto& [hotel, name] : hotels) {
        HotelIndicators h =
            hotelOf(tally, hotel, std::move(name), rooms.of(hotel), request.compare);
        if (h.rooms <= 0 && !anyBooked(h))
            continue;
        if (result.byCompany) {
            h.companies = tally.companies(hotel);
            sortCompanies(h.companies);
        }
        addGroup(result, h);
        result.hotels.push_back(std::move(h));
    }
    goOn(steps);
    return result;
}

} // namespace presenze
