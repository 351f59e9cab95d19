#pragma once
// The booking files of one season as one print request sees them. A request
// builds its months one after the other over one span of days; the cache
// reads the room lines of that whole span, and the booking headers, once,
// then serves each month from memory under the rules of the readers of
// Records.h. Room lines left out for a bad date are warned about once, when
// the span is read.

#include "data/DataFolder.h"
#include "data/Records.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze
{

class BookingCache
{
public:
    // The span of the request: room lines that arrive on or before lastKey
    // and leave after firstKey (YYYYMMDD texts).
    BookingCache(std::string firstKey, std::string lastKey);

    // The lines readRoomLines gives for the window, which must lie inside
    // the span. The records stay valid as long as the cache.
    std::vector<const RoomLine*> roomLines(const DataFolder& folder, std::string_view season,
                                           std::string_view firstKey, std::string_view lastKey,
                                           const WarningSink& warn);

    // The headers readBookingHeaders gives for the keys, in table order. The
    // records stay valid as long as the cache.
    std::vector<const BookingHeader*> bookingHeaders(const DataFolder& folder,
                                                     std::string_view season,
                                                     const std::vector<BookingKey>& keys);

    // True when the window lies inside the span.
    bool covers(std::string_view firstKey, std::string_view lastKey) const
    {
        return firstKey >= m_firstKey && lastKey <= m_lastKey;
    }

private:
    // What was read, and from which folder and season.
    template <typename T> struct Loaded {
        std::filesystem::path dir;
        std::string season;
        std::vector<T> rows;
        bool holds(const DataFolder& folder, std::string_view s) const
        {
            return loaded && dir == folder.dir() && season == s;
        }
        bool loaded = false;
    };

    std::string m_firstKey;
    std::string m_lastKey;
    Loaded<RoomLine> m_lines;                         // in table order
    Loaded<BookingHeader> m_headers;                  // in table order
    std::vector<const BookingHeader*> m_headersByKey; // by number and hotel, then table order
};

} // namespace presenze
