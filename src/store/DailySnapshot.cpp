#include "store/DailySnapshot.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace presenze {
namespace {

constexpr long kNightsAhead = 365;

struct Key {
    std::int64_t hotel;
    std::int64_t booking;
    std::uint32_t index;
    bool operator<(const Key& o) const
    {
        return std::tie(hotel, booking, index) < std::tie(o.hotel, o.booking, o.index);
    }
};

template <typename Records> std::vector<Key> keysOf(const Records& records)
{
    std::vector<Key> keys;
    keys.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        keys.push_back(
            {records[i].numeroHotel, records[i].numeroPrenotazione, static_cast<std::uint32_t>(i)});
    std::sort(keys.begin(), keys.end());
    return keys;
}

struct Night {
    std::int64_t rooms = 0;
    std::int64_t persons = 0;
    Currency revenue;
    bool empty() const { return rooms == 0 && persons == 0 && revenue.units == 0; }
    bool operator==(const Night& o) const
    {
        return rooms == o.rooms && persons == o.persons && revenue == o.revenue;
    }
};

} // namespace

SnapshotNights snapshotNights(const Date& day)
{
    return {Date{day.year, day.month, 1}.toSerial(), day.toSerial() + kNightsAhead};
}

void forEachSnapshotRow(const SeasonData& season, const Date& day,
                        const std::function<void(const SnapshotRow&)>& row)
{
    const SnapshotNights window = snapshotNights(day);
    const std::vector<Key> lines = keysOf(season.lines);
    const std::vector<Key> headers = keysOf(season.headers);
    // The nights of one booking, from `window.first`; emptied as they are
    // handed over.
    std::vector<Night> nights(static_cast<std::size_t>(window.last - window.first + 1));
    std::size_t h = 0;
    for (std::size_t i = 0; i < lines.size();) {
        // The lines of one booking, and its first header.
        std::size_t end = i;
        while (end < lines.size() && lines[end].hotel == lines[i].hotel &&
               lines[end].booking == lines[i].booking)
            ++end;
        while (h < headers.size() && std::tie(headers[h].hotel, headers[h].booking) <
                                         std::tie(lines[i].hotel, lines[i].booking))
            ++h;
        const bool hasHeader = h < headers.size() && headers[h].hotel == lines[i].hotel &&
                               headers[h].booking == lines[i].booking;
        if (!hasHeader) {
            i = end;
            continue;
        }
        long from = window.last + 1, to = window.first - 1;
        for (std::size_t k = i; k < end; ++k) {
            const RoomLine& line = season.lines[lines[k].index];
            const long arrival = Date::parseKey(line.dataArrivo)->toSerial();
            const long departure = Date::parseKey(line.dataPartenza)->toSerial();
            const long first = std::max(arrival, window.first);
            const long last = std::min(departure - 1, window.last);
            for (long n = first; n <= last; ++n) {
                Night& night = nights[static_cast<std::size_t>(n - window.first)];
                night.rooms += line.quantitaCamere;
                night.persons += line.numeroPersone;
                if ((n - arrival) % line.giorniTariffa == 0)
                    night.revenue += line.prezzo;
                from = std::min(from, n);
                to = std::max(to, n);
            }
        }
        const BookingHeader& header = season.headers[headers[h].index];
        const auto at = [&](long n) -> Night& {
            return nights[static_cast<std::size_t>(n - window.first)];
        };
        for (long n = from; n <= to;) {
            long last = n;
            while (last < to && at(last + 1) == at(n))
                ++last;
            const Night run = at(n);
            if (!run.empty())
                row({header.numeroHotel, n, last, header.ditta, header.tipoPrenotazione,
                     header.numeroPrenotazione, run.rooms, run.persons, run.revenue});
            for (; n <= last; ++n)
                at(n) = {};
        }
        i = end;
    }
}

} // namespace presenze
