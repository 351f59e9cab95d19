#include "store/Pickup.h"

#include "data/Text1252.h"
#include "store/CopyReader.h"
#include "store/CopyWriter.h"
#include "store/DailySnapshot.h"
#include "store/PgConnection.h"
#include "store/PgTransaction.h"
#include "store/StoreError.h"
#include "store/StoreSchema.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <tuple>

namespace presenze {
namespace {

std::int64_t numberOf(std::string_view text)
{
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::optional<Date> newestSnapshot(PgConnection& connection, const std::string& group,
                                   const Date& onOrBefore)
{
    const PgResult result = connection.query(
        "SELECT max(data) FROM presenze.istantanea WHERE gruppo = $1 AND data <= $2",
        {group, isoDate(onOrBefore)});
    if (result.rows() != 1 || result.isNull(0, 0))
        return std::nullopt;
    return parseIsoDate(result.value(0, 0));
}

// One booking's rooms, persons and revenue on one night in one snapshot.
struct Held {
    bool present = false;
    bool confirmed = false; // C or D; else O
    std::int64_t rooms = 0;
    std::int64_t persons = 0;
    Currency revenue;
    void add(std::string_view kind, std::int64_t r, std::int64_t p, Currency money)
    {
        present = true;
        confirmed = confirmed || kind != "O";
        rooms += r;
        persons += p;
        revenue += money;
    }
};

void compare(PickupNight& night, const Held& now, const Held& then)
{
    night.roomsNow += now.rooms;
    night.personsNow += now.persons;
    night.revenueNow += now.revenue;
    night.roomsThen += then.rooms;
    night.personsThen += then.persons;
    night.revenueThen += then.revenue;
    if (now.present && !then.present)
        night.newRooms += now.rooms;
    else if (then.present && !now.present)
        night.lostRooms += then.rooms;
    else if (now.present && now.confirmed && !then.confirmed)
        night.confirmedRooms += now.rooms;
}

PickupGroup readGroup(PgConnection& connection, const std::string& group, const Date& now,
                      const Date& then, const PickupRequest& request)
{
    PickupGroup out{utf8ToCp1252(group), now, then, {}, {}};
    const PgResult names =
        connection.query("SELECT numerohotel, ragionesociale FROM presenze.anagraficahotels "
                         "WHERE gruppo = $1 AND numero > 0 ORDER BY riga",
                         {group});
    for (int i = 0; i < names.rows(); ++i)
        out.hotelNames.emplace_back(numberOf(names.value(i, 0)), utf8ToCp1252(names.value(i, 1)));

    // The nights ahead that both snapshots cover.
    const long first = request.today.toSerial();
    const long last = std::min(first + request.forward - 1, snapshotNights(then).last);
    if (last < first)
        return out;
    const PgResult rows = connection.query(
        "SELECT data = $2, numerohotel, dal, al, tipoprenotazione, numeroprenotazione, camere, "
        "persone, ricavo FROM presenze.istantanea WHERE gruppo = $1 AND data IN ($2, $3) "
        "AND dal <= $5 AND al >= $4 AND tipoprenotazione IN ('C', 'D', 'O')",
        {group, isoDate(now), isoDate(then), isoDate(Date::fromSerial(first)),
         isoDate(Date::fromSerial(last))});

    // What each booking held on each night, now and then.
    std::map<std::tuple<std::int64_t, long, std::int64_t>, std::pair<Held, Held>> held;
    for (int i = 0; i < rows.rows(); ++i) {
        const auto from = parseIsoDate(rows.value(i, 2));
        const auto to = parseIsoDate(rows.value(i, 3));
        if (!from || !to)
            throw StoreError("valore inatteso dal server: \"" + utf8ToCp1252(rows.value(i, 2)) +
                             "\"");
        Currency revenue;
        Currency::parse(rows.value(i, 8), revenue);
        // A snapshot compared with itself is both.
        const bool isNow = rows.value(i, 0) == "t";
        const bool isThen = !isNow || now == then;
        const std::int64_t hotel = numberOf(rows.value(i, 1));
        const std::int64_t booking = numberOf(rows.value(i, 5));
        for (long n = std::max(from->toSerial(), first); n <= std::min(to->toSerial(), last); ++n) {
            auto& [heldNow, heldThen] = held[{hotel, n, booking}];
            for (Held* h : {isNow ? &heldNow : nullptr, isThen ? &heldThen : nullptr})
                if (h)
                    h->add(rows.value(i, 4), numberOf(rows.value(i, 6)), numberOf(rows.value(i, 7)),
                           revenue);
        }
    }

    // hotel -> its nights from `first`
    std::map<std::int64_t, std::vector<PickupNight>> hotels;
    for (const auto& [key, both] : held) {
        const std::int64_t hotel = std::get<0>(key);
        const long night = std::get<1>(key);
        auto [it, added] = hotels.try_emplace(hotel);
        if (added)
            for (long n = first; n <= last; ++n)
                it->second.push_back({hotel, n});
        compare(it->second[static_cast<std::size_t>(night - first)], both.first, both.second);
    }
    for (auto& [hotel, nights] : hotels)
        out.nights.insert(out.nights.end(), nights.begin(), nights.end());
    return out;
}

std::vector<std::string> groupsOf(PgConnection& connection, const PickupRequest& request)
{
    if (request.group) {
        const std::string group = cp1252ToUtf8(*request.group);
        if (connection.query("SELECT 1 FROM presenze.gruppo WHERE gruppo = $1", {group}).rows() ==
            0)
            throw StoreError("il gruppo \"" + *request.group + "\" non \xE8 sul server");
        return {group};
    }
    const PgResult result = connection.query("SELECT gruppo FROM presenze.gruppo ORDER BY gruppo");
    std::vector<std::string> groups;
    for (int i = 0; i < result.rows(); ++i)
        groups.emplace_back(result.value(i, 0));
    return groups;
}

} // namespace

Pickup readPickup(const StoreAddress& address, const PickupRequest& request)
{
    try {
        PgConnection connection(address);
        PgTransaction transaction(connection, PgTransaction::Kind::ReadOnly);
        requireStoreSchema(connection);
        const Date before = request.today.addDays(-request.days);
        Pickup pickup;
        for (const std::string& group : groupsOf(connection, request)) {
            const auto now = newestSnapshot(connection, group, request.today);
            const auto then = newestSnapshot(connection, group, before);
            if (now && then)
                pickup.groups.push_back(readGroup(connection, group, *now, *then, request));
            else
                pickup.withoutSnapshots.push_back(utf8ToCp1252(group));
        }
        if (pickup.groups.empty())
            throw StoreError((request.group ? "il gruppo non ha" : "nessun gruppo ha") +
                             std::string(" un'istantanea del ") + before.toDisplay() +
                             " o di prima");
        return pickup;
    } catch (const StoreError& e) {
        throw e.withContext("Pickup dal server " + address.server + " non riuscito: ");
    }
}

} // namespace presenze
