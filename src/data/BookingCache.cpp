#include "data/BookingCache.h"

#include "data/Dates.h"
#include "data/Text1252.h"

#include <algorithm>
#include <future>
#include <limits>
#include <numeric>
#include <tuple>
#include <unordered_map>

namespace presenze {
namespace {

// The day of a YYYYMMDD text (Date::toSerial); nullopt when it is no real day.
std::optional<long> dayOf(std::string_view key)
{
    if (key.size() == 8) {
        int digits[8];
        bool plain = true;
        for (std::size_t i = 0; i < 8 && plain; ++i) {
            plain = key[i] >= '0' && key[i] <= '9';
            digits[i] = key[i] - '0';
        }
        if (plain) {
            const Date date{digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3],
                            digits[4] * 10 + digits[5], digits[6] * 10 + digits[7]};
            if (date.isValid())
                return date.toSerial();
            return std::nullopt;
        }
    }
    const auto date = Date::parseKey(key);
    return date ? std::optional<long>(date->toSerial()) : std::nullopt;
}

// The place of each record's text in the text order of all of them.
template <typename Text>
std::vector<std::uint32_t> textPlaces(std::size_t count, const Text& textOf)
{
    std::unordered_map<std::string_view, std::uint32_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::uint32_t> places(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view text = textOf(i);
        const auto [it, added] = ids.try_emplace(text, static_cast<std::uint32_t>(distinct.size()));
        if (added)
            distinct.push_back(text);
        places[i] = it->second;
    }
    std::vector<std::uint32_t> sorted(distinct.size());
    std::iota(sorted.begin(), sorted.end(), 0u);
    std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        return compareText(distinct[a], distinct[b]) < 0;
    });
    std::vector<std::uint32_t> placeOfId(distinct.size());
    for (std::size_t k = 0; k < sorted.size(); ++k)
        placeOfId[sorted[k]] = static_cast<std::uint32_t>(k);
    for (auto& place : places)
        place = placeOfId[place];
    return places;
}

} // namespace

BookingSet::BookingSet(std::vector<RoomLine> lines, std::vector<BookingHeader> headers,
                       std::vector<RoomLine> faulty)
    : m_lines(std::move(lines)), m_headers(std::move(headers)), m_faulty(std::move(faulty))
{
    // Lines and headers by hotel, booking number and table order; the sort
    // runs over small keys held side by side.
    struct Key {
        std::int64_t hotel;
        std::int64_t number;
        std::uint32_t index;
        bool operator<(const Key& o) const
        {
            if (hotel != o.hotel)
                return hotel < o.hotel;
            if (number != o.number)
                return number < o.number;
            return index < o.index;
        }
    };
    std::vector<Key> lineKeys, headerKeys;
    lineKeys.reserve(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        lineKeys.push_back(
            {m_lines[i].numeroHotel, m_lines[i].numeroPrenotazione, static_cast<std::uint32_t>(i)});
    headerKeys.reserve(m_headers.size());
    for (std::size_t i = 0; i < m_headers.size(); ++i)
        headerKeys.push_back({m_headers[i].numeroHotel, m_headers[i].numeroPrenotazione,
                              static_cast<std::uint32_t>(i)});
    std::sort(lineKeys.begin(), lineKeys.end());
    std::sort(headerKeys.begin(), headerKeys.end());
    m_headersByKey.reserve(headerKeys.size());
    for (const Key& k : headerKeys)
        m_headersByKey.push_back(&m_headers[k.index]);

    // Walking both in step gives each line its booking's headers.
    m_stays.resize(m_lines.size());
    m_byBooking.reserve(m_lines.size());
    std::size_t h = 0;
    for (const Key& k : lineKeys) {
        const Key first{k.hotel, k.number, 0};
        while (h < headerKeys.size() && headerKeys[h] < first)
            ++h;
        std::size_t end = h;
        while (end < headerKeys.size() && headerKeys[end].hotel == k.hotel &&
               headerKeys[end].number == k.number)
            ++end;
        const RoomLine& line = m_lines[k.index];
        LineIndex& stay = m_stays[k.index];
        stay.firstHeader = static_cast<std::uint32_t>(h);
        stay.headerCount = static_cast<std::uint32_t>(end - h);
        const auto arrival = dayOf(line.dataArrivo);
        const auto departure = dayOf(line.dataPartenza);
        if (arrival && departure) {
            stay.arrival = static_cast<std::int32_t>(*arrival);
            stay.departure = static_cast<std::int32_t>(*departure);
        } else {
            stay.arrival = std::numeric_limits<std::int32_t>::max();
            stay.departure = std::numeric_limits<std::int32_t>::min();
        }
        m_byBooking.push_back({&line, stay.arrival, stay.departure});
    }
}

std::span<const BookingHeader* const> BookingSet::headersOf(const RoomLine& line) const
{
    const LineIndex& stay = m_stays[indexOf(line)];
    return {m_headersByKey.data() + stay.firstHeader, stay.headerCount};
}

const BookingHeader* BookingSet::firstHeader(std::int64_t hotel, std::int64_t number) const
{
    const auto it =
        std::lower_bound(m_headersByKey.begin(), m_headersByKey.end(), std::pair(hotel, number),
                         [](const BookingHeader* h, const auto& key) {
                             return std::pair(h->numeroHotel, h->numeroPrenotazione) < key;
                         });
    if (it == m_headersByKey.end() || (*it)->numeroHotel != hotel ||
        (*it)->numeroPrenotazione != number)
        return nullptr;
    return *it;
}

std::uint32_t BookingSet::companyPlace(const BookingHeader& header) const
{
    if (m_companyPlaces.size() != m_headers.size())
        m_companyPlaces = textPlaces(m_headers.size(), [&](std::size_t i) -> std::string_view {
            return m_headers[i].ditta;
        });
    return m_companyPlaces[indexOf(header)];
}

std::uint32_t BookingSet::kindPlace(const BookingHeader& header) const
{
    if (m_kindPlaces.size() != m_headers.size())
        m_kindPlaces = textPlaces(m_headers.size(), [&](std::size_t i) -> std::string_view {
            return m_headers[i].tipoPrenotazione;
        });
    return m_kindPlaces[indexOf(header)];
}

std::uint32_t BookingSet::notePlace(const RoomLine& line) const
{
    if (m_notePlaces.size() != m_lines.size())
        m_notePlaces = textPlaces(
            m_lines.size(), [&](std::size_t i) -> std::string_view { return m_lines[i].note; });
    return m_notePlaces[indexOf(line)];
}

BookingCache::BookingCache(std::string firstKey, std::string lastKey, BookingFields fields,
                           bool keepFaultyLines, const BookingSource* source)
    : m_firstKey(std::move(firstKey)), m_lastKey(std::move(lastKey)), m_fields(fields),
      m_keepFaultyLines(keepFaultyLines), m_source(source)
{}

std::string BookingCache::identityOf(const DataFolder& folder) const
{
    return m_source ? m_source->identity() : folder.dir().string();
}

const BookingSet& BookingCache::bookings(const DataFolder& folder, std::string_view season,
                                         const WarningSink& warn)
{
    const std::string identity = identityOf(folder);
    if (!m_set || m_dir != identity || m_season != season) {
        m_set.reset();
        read(folder, [&](const BookingSource& source) {
            // The two files are read side by side, each on its own
            // connection; warnings come from the room lines, read on this
            // thread.
            auto headers = std::async(std::launch::async,
                                      [&source, season = std::string(season), fields = m_fields] {
                                          return source.bookingHeaders(season, fields);
                                      });
            // Should the lines fail, the future waits for the headers' reader
            // as it is destroyed.
            std::vector<RoomLine> faulty;
            auto lines = source.roomLines(season, m_firstKey, m_lastKey, warn, m_fields,
                                          m_keepFaultyLines ? &faulty : nullptr);
            m_set.emplace(std::move(lines), headers.get(), std::move(faulty));
            return 0;
        });
        m_dir = identity;
        m_season = season;
    }
    return *m_set;
}

void BookingCache::keepFilesOf(const DataFolder& folder)
{
    const std::string identity = identityOf(folder);
    if (m_filesDir == identity)
        return;
    m_registry.reset();
    m_roomTypes.reset();
    m_companyListLines.reset();
    m_filesDir = identity;
}

const std::vector<HotelRecord>& BookingCache::hotelRegistry(const DataFolder& folder)
{
    keepFilesOf(folder);
    if (!m_registry)
        m_registry = read(folder, [](const BookingSource& s) { return s.hotelRegistry(); });
    return *m_registry;
}

const std::vector<RoomTypeRecord>& BookingCache::roomTypes(const DataFolder& folder)
{
    keepFilesOf(folder);
    if (!m_roomTypes)
        m_roomTypes = read(folder, [](const BookingSource& s) { return s.roomTypes(); });
    return *m_roomTypes;
}

const std::vector<std::string>& BookingCache::companyListLines(const DataFolder& folder)
{
    keepFilesOf(folder);
    if (!m_companyListLines)
        m_companyListLines =
            read(folder, [](const BookingSource& s) { return s.companyListLines(); });
    return *m_companyListLines;
}

} // namespace presenze
