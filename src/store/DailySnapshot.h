#pragma once
// The snapshot of a group's books on one day: for every night from the first
// of the day's month to 365 nights after the day, per hotel, company, booking
// kind and booking, the rooms, persons and revenue on the books. The pickup
// compares two of them. Consecutive nights of a booking with the same
// figures make one row (most stays are one row).
//
// A room line counts with the first header of its booking (same hotel and
// number; a line without one counts nowhere, as in the Type 2 report), on
// each night from its arrival to the night before its departure; its revenue
// is its price on the nights the Type 2 report charges it: the arrival and
// every GiorniTariffa nights after it.

#include "data/Currency.h"
#include "data/Dates.h"
#include "store/GroupData.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace presenze {

struct SnapshotRow {
    std::int64_t hotel = 0;
    long first = 0; // the first and the last night, Date::toSerial
    long last = 0;
    std::string_view company;
    std::string_view kind;
    std::int64_t booking = 0;
    // Of each night.
    std::int64_t rooms = 0;
    std::int64_t persons = 0;
    Currency revenue;
};

// The nights a snapshot taken on `day` covers, as Date::toSerial.
struct SnapshotNights {
    long first = 0;
    long last = 0; // included
};
SnapshotNights snapshotNights(const Date& day);

// Hands over the rows of the season's snapshot on `day`, by hotel, booking and
// night; nights with nothing on the books are in no row.
void forEachSnapshotRow(const SeasonData& season, const Date& day,
                        const std::function<void(const SnapshotRow&)>& row);

} // namespace presenze
