#pragma once
// The nights of an indicator period, month by month, and the nights of last
// year each month compares with. A night is the date a guest sleeps: a room
// line stays the nights from its arrival to the day before its departure.
// Nights are day serials (Date::toSerial).

#include "data/Dates.h"
#include "indicators/IndicatorRequest.h"

#include <vector>

namespace presenze {

struct MonthNights {
    Date month;                 // its first day: the row's "YYYY-MM"
    std::vector<long> nights;   // in date order
    std::vector<long> lastYear; // the nights compared with, in the same order
};

// The same date a year earlier; 29 February becomes 28 February.
Date sameDateLastYear(const Date& date);

// The first and the last night the rows count: this year's, and last
// year's when comparing.
struct NightSpan {
    long first = 0;
    long last = -1;
};
NightSpan spanOf(const std::vector<MonthNights>& months, bool compare);

// Calendar months: every night of each month, compared with every night of
// the same month last year (February with February, whatever their
// lengths). --forward: the nights from today on, grouped by their month,
// each compared with the same date last year.
std::vector<MonthNights> periodNights(const IndicatorPeriod& period);

} // namespace presenze
