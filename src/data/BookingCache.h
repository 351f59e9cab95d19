#pragma once
// The booking files of one season as the reports walk them. A print request
// builds its months one after the other over one span of days; the cache
// reads the room lines of that whole span, and the booking headers, once,
// and keeps them with the indexes every month needs: the days of each stay,
// the lines in booking order, and each line's headers. Room lines left out
// for a bad date are warned about once, when the span is read. It keeps the
// other files of the request too (registry, room types, company list): each
// file a request reads is read once, so that its months never see two
// states of one file. The data come from the folder's files, or from the
// source the cache was made with (a chain's server), which then stands in
// for the folder in every read.

#include "data/BookingSource.h"
#include "data/DataFolder.h"
#include "data/Records.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// Room lines and booking headers held in memory, indexed.
class BookingSet {
public:
    // Lines and headers in table order. Lines whose dates are not real days
    // (the readers never give them) are kept but fall in no window. The
    // faulty lines are those a reader gathered for their dates (readRoomLines).
    BookingSet(std::vector<RoomLine> lines, std::vector<BookingHeader> headers,
               std::vector<RoomLine> faulty = {});
    BookingSet(BookingSet&&) = default;
    BookingSet(const BookingSet&) = delete;
    BookingSet& operator=(const BookingSet&) = delete;

    // In table order.
    const std::vector<RoomLine>& lines() const { return m_lines; }

    // A line with its arrival and departure as days (Date::toSerial); a line
    // whose dates are not real days arrives after it leaves.
    struct Stay {
        const RoomLine* line = nullptr;
        std::int32_t arrival = 0;
        std::int32_t departure = 0;
        // True when the line arrives on or before lastDay and leaves after
        // firstDay: the test of the month window (firstDay .. firstDay + 31).
        bool overlaps(long firstDay, long lastDay) const
        {
            return arrival <= lastDay && departure > firstDay;
        }
    };
    // Every line ordered by hotel, then booking number, then table order.
    const std::vector<Stay>& linesByBooking() const { return m_byBooking; }

    // The days of a line of this set, by table position.
    Stay stayOf(const RoomLine& line) const
    {
        const LineIndex& s = m_stays[indexOf(line)];
        return {&line, s.arrival, s.departure};
    }

    // The headers of the line's booking (same number and hotel), in table
    // order.
    std::span<const BookingHeader* const> headersOf(const RoomLine& line) const;
    // The first header in table order of that hotel and booking number, or
    // nullptr.
    const BookingHeader* firstHeader(std::int64_t hotel, std::int64_t number) const;

    // The lines of the span whose dates make no stay (a date empty or not a
    // real day, a departure before the arrival), when the cache was asked
    // for them; in table order.
    const std::vector<RoomLine>& faultyLines() const { return m_faulty; }

    // The place of a header's Ditta and TipoPrenotazione, and of a line's
    // Note, in the booking software's text order (compareText) among all the
    // values of that field in the set: the same text has the same place.
    // Sorting by places sorts by text. Worked out on first use.
    std::uint32_t companyPlace(const BookingHeader& header) const;
    std::uint32_t kindPlace(const BookingHeader& header) const;
    std::uint32_t notePlace(const RoomLine& line) const;

private:
    struct LineIndex {
        std::int32_t arrival = 0;
        std::int32_t departure = 0;
        std::uint32_t firstHeader = 0; // in m_headersByKey
        std::uint32_t headerCount = 0;
    };
    std::size_t indexOf(const RoomLine& line) const
    {
        return static_cast<std::size_t>(&line - m_lines.data());
    }
    std::size_t indexOf(const BookingHeader& header) const
    {
        return static_cast<std::size_t>(&header - m_headers.data());
    }

    std::vector<RoomLine> m_lines;
    std::vector<BookingHeader> m_headers;
    std::vector<RoomLine> m_faulty;
    std::vector<LineIndex> m_stays;                     // by line, in table order
    std::vector<Stay> m_byBooking;                      // hotel, number, table order
    std::vector<const BookingHeader*> m_headersByKey;   // hotel, number, table order
    mutable std::vector<std::uint32_t> m_companyPlaces; // by header
    mutable std::vector<std::uint32_t> m_kindPlaces;    // by header
    mutable std::vector<std::uint32_t> m_notePlaces;    // by line
};

class BookingCache {
public:
    // The span of the request: room lines that arrive on or before lastKey
    // and leave after firstKey (YYYYMMDD texts); the fields its report reads;
    // whether the lines left out for their dates are kept too (faultyLines);
    // where the data come from when not from the folder (kept by the caller).
    BookingCache(std::string firstKey, std::string lastKey, BookingFields fields,
                 bool keepFaultyLines = false, const BookingSource* source = nullptr);

    // True when the window lies inside the span and the cache holds the
    // fields asked for.
    bool serves(std::string_view firstKey, std::string_view lastKey, BookingFields fields) const
    {
        return firstKey >= m_firstKey && lastKey <= m_lastKey &&
               (m_fields == BookingFields::All || m_fields == fields);
    }

    // The room lines of the span (as readRoomLines gives them) and every
    // booking header, of the folder's season (the source's, when the cache
    // has one), with the cache's fields; read on first use. Warnings about lines left out go to
    // `warn` when the files are read.
    const BookingSet& bookings(const DataFolder& folder, std::string_view season,
                               const WarningSink& warn);

    // The folder's (or the source's) registry, room types and company list
    // lines, read on first use.
    const std::vector<HotelRecord>& hotelRegistry(const DataFolder& folder);
    const std::vector<RoomTypeRecord>& roomTypes(const DataFolder& folder);
    const std::vector<std::string>& companyListLines(const DataFolder& folder);

    // The source the cache reads instead of the folders, if any.
    const BookingSource* source() const { return m_source; }

private:
    // The cache's source, or the folder's files.
    template <typename Read> auto read(const DataFolder& folder, Read&& reader) const
    {
        if (m_source)
            return reader(*m_source);
        return reader(FolderSource(folder));
    }
    // What tells the data of one source (or folder) from another's.
    std::string identityOf(const DataFolder& folder) const;
    // Forgets the files of another folder.
    void keepFilesOf(const DataFolder& folder);

    std::string m_firstKey;
    std::string m_lastKey;
    BookingFields m_fields;
    bool m_keepFaultyLines = false;
    const BookingSource* m_source = nullptr;
    std::string m_dir;
    std::string m_season;
    std::optional<BookingSet> m_set;
    std::string m_filesDir;
    std::optional<std::vector<HotelRecord>> m_registry;
    std::optional<std::vector<RoomTypeRecord>> m_roomTypes;
    std::optional<std::vector<std::string>> m_companyListLines;
};

} // namespace presenze
