#pragma once
// The counts behind the indicators of one hotel (or the group) over a set of
// nights, and the indicators as ratios of those sums. The counts add up: a
// hotel's total is the sum of its months, the group the sum of its hotels,
// and every ratio is worked out from the sums, never averaged.
//
//   Occupancy       = rooms sold / rooms available
//   ADR             = room revenue / rooms sold
//   RevPAR          = room revenue / rooms available (= occupancy x ADR)
//   Average stay    = nights of the arriving room lines / their number
//   Guests per room = presences / rooms sold

#include "common/Selection.h"
#include "data/Currency.h"
#include "indicators/Ratio.h"

#include <cstdint>

namespace presenze {

// What the room lines of one booking kind (confirmed, or optional) give.
struct KindFigures {
    std::int64_t rooms = 0;     // rooms staying each night, summed over the nights
    std::int64_t presences = 0; // persons staying each night, summed
    Currency revenue;           // the amounts charged on those nights
    std::int64_t arrivals = 0;  // persons of the lines arriving on those nights
    std::int64_t arrivingLines = 0;
    std::int64_t arrivingNights = 0; // departure - arrival of the arriving lines

    KindFigures& operator+=(const KindFigures& other); // raises DataError on overflow
};

struct PeriodFigures {
    std::int64_t roomsAvailable = 0; // the hotel's rooms x the nights
    KindFigures confirmed;           // kinds C and D
    KindFigures optional;            // kind O
    // Some room line of any kind stays on one of the nights or arrives on
    // one: without any, last year's figures are "n.d.".
    bool booked = false;

    // The figures the booking kind counts (All: both kinds summed).
    KindFigures counted(BookingKind kind) const;
    PeriodFigures& operator+=(const PeriodFigures& other);
};

Ratio occupancy(const PeriodFigures& f, BookingKind kind);
Ratio averageDailyRate(const PeriodFigures& f, BookingKind kind); // euro
Ratio revPar(const PeriodFigures& f, BookingKind kind);           // euro
Ratio averageStay(const PeriodFigures& f, BookingKind kind);      // nights
Ratio guestsPerRoom(const PeriodFigures& f, BookingKind kind);

// An amount in euro as a ratio.
Ratio euro(const Currency& amount);
// Revenue / rooms, in euro.
Ratio ratePerRoom(const Currency& revenue, std::int64_t rooms);

// a += b, raising DataError when the sum does not fit.
void addChecked(std::int64_t& a, std::int64_t b);

} // namespace presenze
