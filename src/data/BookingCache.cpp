#include "data/BookingCache.h"

#include "data/Dates.h"
#include "data/ProcessMemory.h"
#include "data/Text1252.h"

#include <algorithm>
#include <future>
#include <limits>
#include <numeric>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <utility>

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

// Puts the records in the order `from` gives (the record at from[i] goes to
// place i), in place, one cycle of places after the other; `from` is used up.
template <typename Record>
void permute(std::vector<Record>& records, MappedVector<std::uint32_t>& from)
{
    for (std::uint32_t i = 0; i < from.size(); ++i) {
        if (from[i] == i)
            continue;
        Record moving = std::move(records[i]);
        std::uint32_t at = i;
        for (;;) {
            const std::uint32_t next = from[at];
            from[at] = at;
            if (next == i) {
                records[at] = std::move(moving);
                break;
            }
            records[at] = std::move(records[next]);
            at = next;
        }
    }
}

// Hotel numbers below this are counted in a table of their own.
constexpr std::int64_t kFewHotels = 10000;

// The places of the records ordered by hotel, booking number and table
// order, when every hotel number is below kFewHotels and each hotel's
// booking numbers never fall in table order (the front office numbers the
// bookings of a hotel as they come): the records of each hotel then keep
// their table order, and one count of the records by hotel places them,
// without a sort. Otherwise nullopt.

template <typename Record>
std::optional<MappedVector<std::uint32_t>> orderByCounting(const std::vector<Record>& records)
{
    std::vector<std::uint32_t> count(kFewHotels, 0);
    std::vector<std::int64_t> lastNumber(kFewHotels, std::numeric_limits<std::int64_t>::min());
    for (const Record& r : records) {
        if (r.numeroHotel < 0 || r.numeroHotel >= kFewHotels)
            return std::nullopt;
        const auto hotel = static_cast<std::size_t>(r.numeroHotel);
        if (r.numeroPrenotazione < lastNumber[hotel])
            return std::nullopt;
        lastNumber[hotel] = r.numeroPrenotazione;
        ++count[hotel];
    }
    // Where each hotel's records begin, hotels in the order of their numbers.
    std::uint32_t next = 0;
    for (std::uint32_t& c : count)
        next += std::exchange(c, next);
    MappedVector<std::uint32_t> from(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        from[count[static_cast<std::size_t>(records[i].numeroHotel)]++] =
            static_cast<std::uint32_t>(i);
    return from;
}

// The places of the records ordered by hotel, booking number and table
// order; the sort, when one is needed, runs over small keys held side by
// side.
template <typename Record>
MappedVector<std::uint32_t> bookingOrder(const std::vector<Record>& records)
{
    if (auto counted = orderByCounting(records))
        return std::move(*counted);
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
    MappedVector<Key> keys;
    keys.reserve(records.size());
    bool sorted = true;
    for (std::size_t i = 0; i < records.size(); ++i) {
        keys.push_back(
            {records[i].numeroHotel, records[i].numeroPrenotazione, static_cast<std::uint32_t>(i)});
        sorted = sorted && (i == 0 || keys[i - 1] < keys[i]);
    }
    if (!sorted)
        std::sort(keys.begin(), keys.end());
    MappedVector<std::uint32_t> from;
    from.reserve(keys.size());
    for (const Key& k : keys)
        from.push_back(k.index);
    return from;
}

template <typename Record> void sortByBooking(std::vector<Record>& records)
{
    MappedVector<std::uint32_t> from = bookingOrder(records);
    permute(records, from);
}

} // namespace

void BookingSet::LineTable::restart(std::size_t rows)
{
    m_lines.clear();
    m_lines.reserve(rows);
    m_prices.clear();
    if (m_withPrices)
        m_prices.reserve(rows);
    m_texts = TextPool();
}

void BookingSet::LineTable::add(const RoomLine& line)
{
    BookedLine& b = m_lines.emplace_back();
    b.numeroPrenotazione = line.numeroPrenotazione;
    b.numeroHotel = line.numeroHotel;
    b.numeroPersone = line.numeroPersone;
    b.quantitaCamere = line.quantitaCamere;
    b.kind = kindLetter(line.tipoPrenotazione);
    if (m_withPrices) {
        LinePrice& p = m_prices.emplace_back();
        p.giorniTariffa = static_cast<std::int32_t>(std::clamp<std::int64_t>(
            line.giorniTariffa, 1, std::numeric_limits<std::int32_t>::max()));
        p.prezzo = line.prezzo;
        p.note = m_texts.add(line.note);
    }
    const bool known =
        line.arrivalDay != RoomLine::kUnknownDay && line.departureDay != RoomLine::kUnknownDay;
    const auto arrival = known ? std::optional<long>(line.arrivalDay) : dayOf(line.dataArrivo);
    const auto departure =
        known ? std::optional<long>(line.departureDay) : dayOf(line.dataPartenza);
    if (arrival && departure) {
        b.arrival = static_cast<std::int32_t>(*arrival);
        b.departure = static_cast<std::int32_t>(*departure);
    } else {
        b.arrival = std::numeric_limits<std::int32_t>::max();
        b.departure = std::numeric_limits<std::int32_t>::min();
    }
    b.order = static_cast<std::uint32_t>(m_lines.size() - 1);
}

void BookingSet::HeaderTable::restart(std::size_t rows)
{
    m_headers.clear();
    m_headers.reserve(rows);
    m_texts = TextPool();
}

void BookingSet::HeaderTable::add(const BookingHeader& header)
{
    BookedHeader& b = m_headers.emplace_back();
    b.numeroPrenotazione = header.numeroPrenotazione;
    b.numeroHotel = header.numeroHotel;
    b.hasCodiceDitta = header.codiceDitta.has_value();
    b.codiceDitta = header.codiceDitta.value_or(0);
    b.tipoPrenotazione = m_texts.add(header.tipoPrenotazione);
    b.kind = kindLetter(header.tipoPrenotazione);
    b.ditta = m_texts.add(header.ditta);
    b.nazione = m_texts.add(header.nazione);
    b.commento = m_texts.add(header.commento);
    b.order = static_cast<std::uint32_t>(m_headers.size() - 1);
}

void BookingSet::HeaderTable::sortByBooking()
{
    presenze::sortByBooking(m_headers);
    m_sorted = true;
}

BookingSet::BookingSet(LineTable lines, HeaderTable headers, std::vector<RoomLine> faulty)
    : m_lines(std::move(lines.m_lines)), m_prices(std::move(lines.m_prices)),
      m_headers(std::move(headers.m_headers)), m_lineTexts(std::move(lines.m_texts)),
      m_headerTexts(std::move(headers.m_texts)), m_faulty(std::move(faulty))
{
    if (!headers.m_sorted)
        presenze::sortByBooking(m_headers);
    index();
}

BookingSet::BookingSet(const std::vector<RoomLine>& lines,
                       const std::vector<BookingHeader>& headers, std::vector<RoomLine> faulty)
    : BookingSet(
          [&] {
              LineTable table;
              table.restart(lines.size());
              for (const RoomLine& line : lines)
                  table.add(line);
              return table;
          }(),
          [&] {
              HeaderTable table;
              table.restart(headers.size());
              for (const BookingHeader& header : headers)
                  table.add(header);
              return table;
          }(),
          std::move(faulty))
{}

void BookingSet::index()
{
    MappedVector<std::uint32_t> from = bookingOrder(m_lines);
    if (!m_prices.empty()) {
        MappedVector<std::uint32_t> pricesFrom = from;
        permute(m_prices, pricesFrom);
    }
    permute(m_lines, from);
    m_tableOrder.resize(m_lines.size());
    m_days.reserve(m_lines.size());
    // Walking lines and headers in step gives each line its booking's
    // headers.
    std::size_t h = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        BookedLine& line = m_lines[i];
        m_tableOrder[line.order] = static_cast<std::uint32_t>(i);
        m_days.push_back({line.arrival, line.departure});
        const auto before = [&](const BookedHeader& header) {
            return header.numeroHotel != line.numeroHotel
                       ? header.numeroHotel < line.numeroHotel
                       : header.numeroPrenotazione < line.numeroPrenotazione;
        };
        while (h < m_headers.size() && before(m_headers[h]))
            ++h;
        std::size_t end = h;
        while (end < m_headers.size() && m_headers[end].numeroHotel == line.numeroHotel &&
               m_headers[end].numeroPrenotazione == line.numeroPrenotazione)
            ++end;
        line.firstHeader = static_cast<std::uint32_t>(h);
        line.headerCount = static_cast<std::uint32_t>(end - h);
    }
}

const BookedHeader* BookingSet::firstHeader(std::int64_t hotel, std::int64_t number) const
{
    const auto it =
        std::lower_bound(m_headers.begin(), m_headers.end(), std::pair(hotel, number),
                         [](const BookedHeader& h, const auto& key) {
                             return std::pair(h.numeroHotel, h.numeroPrenotazione) < key;
                         });
    if (it == m_headers.end() || it->numeroHotel != hotel || it->numeroPrenotazione != number)
        return nullptr;
    return &*it;
}

std::uint32_t BookingSet::companyPlace(const BookedHeader& header) const
{
    if (m_companyPlaces.size() != m_headers.size())
        m_companyPlaces = textPlaces(m_headers.size(), [&](std::size_t i) -> std::string_view {
            return m_headers[i].ditta;
        });
    return m_companyPlaces[indexOf(header)];
}

std::uint32_t BookingSet::kindPlace(const BookedHeader& header) const
{
    if (m_kindPlaces.size() != m_headers.size())
        m_kindPlaces = textPlaces(m_headers.size(), [&](std::size_t i) -> std::string_view {
            return m_headers[i].tipoPrenotazione;
        });
    return m_kindPlaces[indexOf(header)];
}

std::uint32_t BookingSet::notePlace(const BookedLine& line) const
{
    if (m_notePlaces.size() != m_lines.size())
        m_notePlaces = textPlaces(m_lines.size(), [&](std::size_t i) -> std::string_view {
            return priceOf(m_lines[i]).note;
        });
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
            // The headers are put in booking order there too.
            auto headers = std::async(std::launch::async,
                                      [&source, season = std::string(season), fields = m_fields] {
                                          BookingSet::HeaderTable table;
                                          source.bookingHeaders(season, fields, table);
                                          table.sortByBooking();
                                          return table;
                                      });
            // Should the lines fail, the future waits for the headers' reader
            // as it is destroyed.
            std::vector<RoomLine> faulty;
            BookingSet::LineTable lines(m_fields != BookingFields::Tally);
            source.roomLines(season, m_firstKey, m_lastKey, warn, m_fields, lines,
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
