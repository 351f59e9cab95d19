#pragma once
// The booking files of one season as the reports walk them. A print request
// builds its months one after the other over one span of days; the cache
// reads the room lines of that whole span, and the booking headers, once,
// and keeps them compact, in booking order, with what every month needs:
// the days of each stay and each line's headers. Room lines left out
// for a bad date are warned about once, when the span is read. It keeps the
// other files of the request too (registry, room types, company list): each
// file a request reads is read once, so that its months never see two
// states of one file. The data come from the folder's files, or from the
// source the cache was made with (a chain's server), which then stands in
// for the folder in every read.

#include "data/BookingSource.h"
#include "data/DataFolder.h"
#include "data/Records.h"
#include "data/TextPool.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// A TipoPrenotazione of one letter as it is written ("C", "o"...), else 0:
// what the walks test a kind by, without reading the text.
inline char kindLetter(std::string_view tipo)
{
    return tipo.size() == 1 ? tipo[0] : '\0';
}

// The kind letter without regard to case: 'C', 'D', 'O', or 0 for another.
inline char upperKind(char letter)
{
    const char upper =
        letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    return upper == 'C' || upper == 'D' || upper == 'O' ? upper : '\0';
}

// A room line as a BookingSet keeps it: its numbers, its texts in the set's
// pool, its days, and where its booking's headers lie among the set's.
struct BookedLine {
    std::int64_t numeroPrenotazione = 0;
    std::int64_t numeroHotel = 0;
    std::int64_t numeroPersone = 0;
    std::int64_t quantitaCamere = 0;
    // Arrival and departure as days (Date::toSerial); a line whose dates are
    // not real days arrives after it leaves.
    std::int32_t arrival = 0;
    std::int32_t departure = 0;
    std::uint32_t firstHeader = 0; // among the set's headers (hotel, number, table order)
    std::uint32_t headerCount = 0;
    std::uint32_t order = 0; // position among the set's lines in table order
    char kind = '\0';        // kindLetter of its TipoPrenotazione

    // True when the line arrives on or before lastDay and leaves after
    // firstDay: the test of the month window (firstDay .. firstDay + 31).
    bool overlaps(long firstDay, long lastDay) const
    {
        return arrival <= lastDay && departure > firstDay;
    }
};

// What the Type 2 report and the indicators read of a line besides: kept
// apart, and only when the set was read with these fields.
struct LinePrice {
    Currency prezzo;
    PooledText note;
    // At least 1; a period longer than any stay counts the same as the
    // longest one kept (it charges the arrival night only).
    std::int32_t giorniTariffa = 1;
};

// A booking header as a BookingSet keeps it.
struct BookedHeader {
    std::int64_t numeroPrenotazione = 0;
    std::int64_t numeroHotel = 0;
    std::int64_t codiceDitta = 0; // when hasCodiceDitta
    PooledText tipoPrenotazione;
    PooledText ditta;
    PooledText nazione;
    PooledText commento;
    std::uint32_t order = 0; // position among the set's headers in table order
    bool hasCodiceDitta = false;
    char kind = '\0'; // kindLetter(tipoPrenotazione)
};

// Room lines and booking headers held in memory, indexed: the records in
// booking order (hotel, booking number, table order), so that the walks of
// the reports read them one after the other, their texts in pools.
class BookingSet {
public:
    // Records come in table order; a read that starts over clears them.
    class LineTable final : public RecordSink<RoomLine> {
    public:
        // Without prices, the lines' Note, GiorniTariffa and Prezzo are not
        // kept (priceOf gives every line the readers' defaults).
        explicit LineTable(bool withPrices = true) : m_withPrices(withPrices) {}
        void restart(std::size_t rows) override;
        void add(const RoomLine& line) override;

    private:
        friend class BookingSet;
        bool m_withPrices;
        std::vector<BookedLine> m_lines;
        std::vector<LinePrice> m_prices; // of m_lines, when with prices
        TextPool m_texts;
    };
    class HeaderTable final : public RecordSink<BookingHeader> {
    public:
        void restart(std::size_t rows) override;
        void add(const BookingHeader& header) override;
        // Puts the headers in booking order (else the set does it).
        void sortByBooking();

    private:
        friend class BookingSet;
        std::vector<BookedHeader> m_headers;
        TextPool m_texts;
        bool m_sorted = false;
    };

    // The faulty lines are those a reader gathered for their dates
    // (readRoomLines).
    BookingSet(LineTable lines, HeaderTable headers, std::vector<RoomLine> faulty = {});
    // Lines and headers in table order. Lines whose dates are not real days
    // (the readers never give them) are kept but fall in no window.
    BookingSet(const std::vector<RoomLine>& lines, const std::vector<BookingHeader>& headers,
               std::vector<RoomLine> faulty = {});
    BookingSet(BookingSet&&) = default;
    BookingSet(const BookingSet&) = delete;
    BookingSet& operator=(const BookingSet&) = delete;

    // Every line ordered by hotel, then booking number, then table order.
    const std::vector<BookedLine>& linesByBooking() const { return m_lines; }

    // Calls visit(line) for each line that overlaps the window (see
    // BookedLine::overlaps), in booking order. Only the days of the other
    // lines are read, from a table of their own; the lines a month keeps
    // lie far apart, so each line, its headers and its company's text are
    // asked of the memory a few lines ahead of their turn.
    template <typename Visit>
    void forEachOverlapping(long firstDay, long lastDay, Visit&& visit) const
    {
        std::vector<std::uint32_t> hits;
        for (std::size_t i = 0; i < m_days.size(); ++i)
            if (m_days[i].arrival <= lastDay && m_days[i].departure > firstDay)
                hits.push_back(static_cast<std::uint32_t>(i));
        constexpr std::size_t kLineAhead = 8, kHeaderAhead = 4, kTextAhead = 2;
        for (std::size_t k = 0; k < hits.size(); ++k) {
            if (k + kLineAhead < hits.size())
                __builtin_prefetch(&m_lines[hits[k + kLineAhead]]);
            if (k + kHeaderAhead < hits.size())
                __builtin_prefetch(m_headers.data() + m_lines[hits[k + kHeaderAhead]].firstHeader);
            if (k + kTextAhead < hits.size()) {
                const BookedLine& soon = m_lines[hits[k + kTextAhead]];
                if (soon.headerCount > 0 && soon.firstHeader < m_headers.size())
                    __builtin_prefetch(m_headers[soon.firstHeader].ditta.address());
            }
            visit(m_lines[hits[k]]);
        }
    }

    // The lines in table order.
    class TableOrder {
    public:
        class Iterator {
        public:
            const BookedLine& operator*() const { return (*m_lines)[*m_at]; }
            Iterator& operator++()
            {
                ++m_at;
                return *this;
            }
            bool operator!=(const Iterator& o) const { return m_at != o.m_at; }

        private:
            friend class TableOrder;
            Iterator(const std::vector<BookedLine>* lines, const std::uint32_t* at)
                : m_lines(lines), m_at(at)
            {}
            const std::vector<BookedLine>* m_lines;
            const std::uint32_t* m_at;
        };
        Iterator begin() const { return {m_lines, m_order->data()}; }
        Iterator end() const { return {m_lines, m_order->data() + m_order->size()}; }
        std::size_t size() const { return m_order->size(); }

    private:
        friend class BookingSet;
        TableOrder(const std::vector<BookedLine>* lines, const std::vector<std::uint32_t>* order)
            : m_lines(lines), m_order(order)
        {}
        const std::vector<BookedLine>* m_lines;
        const std::vector<std::uint32_t>* m_order;
    };
    TableOrder lines() const { return {&m_lines, &m_tableOrder}; }

    // The headers of the line's booking (same number and hotel), in table
    // order.
    std::span<const BookedHeader> headersOf(const BookedLine& line) const
    {
        return {m_headers.data() + line.firstHeader, line.headerCount};
    }
    // The line's note, tariff period and price.
    const LinePrice& priceOf(const BookedLine& line) const
    {
        static const LinePrice kNone;
        return m_prices.empty() ? kNone : m_prices[indexOf(line)];
    }

    // The first header in table order of that hotel and booking number, or
    // nullptr.
    const BookedHeader* firstHeader(std::int64_t hotel, std::int64_t number) const;

    // The lines of the span whose dates make no stay (a date empty or not a
    // real day, a departure before the arrival), when the cache was asked
    // for them; in table order.
    const std::vector<RoomLine>& faultyLines() const { return m_faulty; }

    // The place of a header's Ditta and TipoPrenotazione, and of a line's
    // Note, in the booking software's text order (compareText) among all the
    // values of that field in the set: the same text has the same place.
    // Sorting by places sorts by text. Worked out on first use.
    std::uint32_t companyPlace(const BookedHeader& header) const;
    std::uint32_t kindPlace(const BookedHeader& header) const;
    std::uint32_t notePlace(const BookedLine& line) const;

private:
    void index();
    std::size_t indexOf(const BookedLine& line) const
    {
        return static_cast<std::size_t>(&line - m_lines.data());
    }
    std::size_t indexOf(const BookedHeader& header) const
    {
        return static_cast<std::size_t>(&header - m_headers.data());
    }

    struct Days {
        std::int32_t arrival;
        std::int32_t departure;
    };
    std::vector<BookedLine> m_lines;     // hotel, number, table order
    std::vector<Days> m_days;            // of m_lines
    std::vector<LinePrice> m_prices;     // of m_lines, when read
    std::vector<BookedHeader> m_headers; // hotel, number, table order
    TextPool m_lineTexts;
    TextPool m_headerTexts;
    std::vector<RoomLine> m_faulty;
    std::vector<std::uint32_t> m_tableOrder;            // line places, in table order
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
