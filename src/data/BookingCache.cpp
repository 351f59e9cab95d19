#include "data/BookingCache.h"

#include "data/DataError.h"

#include <algorithm>
#include <tuple>

namespace presenze
{
namespace
{

bool byKey(const BookingHeader* a, const BookingHeader* b)
{
    return std::tie(a->numeroPrenotazione, a->numeroHotel, a->order) <
           std::tie(b->numeroPrenotazione, b->numeroHotel, b->order);
}

} // namespace

BookingCache::BookingCache(std::string firstKey, std::string lastKey)
    : m_firstKey(std::move(firstKey)), m_lastKey(std::move(lastKey))
{
}

std::vector<const RoomLine*> BookingCache::roomLines(const DataFolder& folder,
                                                     std::string_view season,
                                                     std::string_view firstKey,
                                                     std::string_view lastKey,
                                                     const WarningSink& warn)
{
    if (!covers(firstKey, lastKey))
        throw DataError("Periodo fuori dai dati letti per la stampa: " + std::string(firstKey) +
                        "-" + std::string(lastKey));
    if (!m_lines.holds(folder, season)) {
        m_lines.rows = readRoomLines(folder, season, m_firstKey, m_lastKey, warn);
        m_lines.dir = folder.dir();
        m_lines.season = season;
        m_lines.loaded = true;
    }
    std::vector<const RoomLine*> lines;
    for (const auto& line : m_lines.rows)
        if (line.dataArrivo <= lastKey && line.dataPartenza > firstKey)
            lines.push_back(&line);
    return lines;
}

std::vector<const BookingHeader*> BookingCache::bookingHeaders(const DataFolder& folder,
                                                               std::string_view season,
                                                               const std::vector<BookingKey>& keys)
{
    if (!m_headers.holds(folder, season)) {
        m_headers.rows = readBookingHeaders(folder, season);
        // The records stay where they are; only pointers to them are sorted.
        m_headersByKey.clear();
        m_headersByKey.reserve(m_headers.rows.size());
        for (const auto& header : m_headers.rows)
            m_headersByKey.push_back(&header);
        std::sort(m_headersByKey.begin(), m_headersByKey.end(), byKey);
        m_headers.dir = folder.dir();
        m_headers.season = season;
        m_headers.loaded = true;
    }
    std::vector<BookingKey> wanted = keys;
    std::sort(wanted.begin(), wanted.end(), [](const BookingKey& a, const BookingKey& b) {
        return std::tie(a.numeroPrenotazione, a.numeroHotel) <
               std::tie(b.numeroPrenotazione, b.numeroHotel);
    });
    std::vector<const BookingHeader*> headers;
    const auto& all = m_headersByKey;
    auto it = all.begin();
    const BookingKey* previous = nullptr;
    for (const auto& key : wanted) {
        if (previous && previous->numeroPrenotazione == key.numeroPrenotazione &&
            previous->numeroHotel == key.numeroHotel)
            continue;
        previous = &key;
        it = std::lower_bound(it, all.end(), key, [](const BookingHeader* h, const BookingKey& k) {
            return std::tie(h->numeroPrenotazione, h->numeroHotel) <
                   std::tie(k.numeroPrenotazione, k.numeroHotel);
        });
        for (; it != all.end() && (*it)->numeroPrenotazione == key.numeroPrenotazione &&
               (*it)->numeroHotel == key.numeroHotel;
             ++it)
            headers.push_back(*it);
    }
    std::sort(headers.begin(), headers.end(),
              [](const BookingHeader* a, const BookingHeader* b) { return a->order < b->order; });
    return headers;
}

} // namespace presenze
