#pragma once
// The pickup: for each night ahead, what a group has on the books now
// against what it had some days ago, from two daily snapshots (the newest on
// or before today, and the newest on or before today less the days). Rooms,
// persons and revenue of the confirmed and optional bookings (kinds C, D and
// O) of both, and apart from them the rooms of the bookings that are new
// since then, of those gone since then, and of those optional then and
// confirmed now.

#include "data/Currency.h"
#include "data/Dates.h"
#include "store/StoreAddress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace presenze {

struct PickupRequest {
    std::optional<std::string> group; // Windows-1252; every group when not given
    int days = 30;                    // how far back the older snapshot lies
    int forward = 30;                 // nights from today
    Date today;
};

struct PickupNight {
    std::int64_t hotel = 0;
    long night = 0; // Date::toSerial
    std::int64_t roomsNow = 0;
    std::int64_t roomsThen = 0;
    std::int64_t personsNow = 0;
    std::int64_t personsThen = 0;
    Currency revenueNow;
    Currency revenueThen;
    std::int64_t newRooms = 0;
    std::int64_t lostRooms = 0;
    std::int64_t confirmedRooms = 0;
};

struct PickupGroup {
    std::string group;
    Date now;                                                     // the newer snapshot's day
    Date then;                                                    // the older snapshot's day
    std::vector<std::pair<std::int64_t, std::string>> hotelNames; // from the registry
    std::vector<PickupNight> nights;                              // by hotel, then night
};

struct Pickup {
    std::vector<PickupGroup> groups;
    std::vector<std::string> withoutSnapshots; // groups left out: no older snapshot
};

// Reads the pickup from the server. A group asked for by name that has no
// older snapshot raises StoreError, like a server without any.
Pickup readPickup(const StoreAddress& address, const PickupRequest& request);

} // namespace presenze
