#pragma once
// The rows of Presenze as the month's report reads them: per hotel the day
// totals of the day grid and of the "TOT" lines, the period rows of the
// companies in report order, and the nationality rows. They are taken from
// the tally in memory; the working database holds the same rows, and read
// from there (ordered by NumeroHotel, NomeDitta) they give the same view.

#include "tally/PresenzeTally.h"
#include "tally/WorkingDatabase.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace presenze {

// A hotel's rows summed per day (index 0 = day 1). A day with no row at all
// is marked absent: its cells stay blank.
struct HotelDays {
    // Rows with Contatore 1..31 other than those named "NAZIONE".
    std::array<PresenzeCounters, 31> grid{};
    std::array<bool, 31> inGrid{};
    // Rows with Contatore 41..71 (day Contatore - 40), whatever their name.
    std::array<PresenzeCounters, 31> totals{};
    std::array<bool, 31> inTotals{};

    bool operator==(const HotelDays&) const = default;
};

struct PeriodRow {
    std::int64_t hotel = 0;
    std::string name; // Windows-1252
    PresenzeCounters values{};

    bool operator==(const PeriodRow&) const = default;
};

struct MonthRows {
    std::map<std::int64_t, HotelDays> hotels;
    // Rows with Contatore 32 not named "NAZIONE", ordered by hotel, then name
    // (the text order of the booking software), then creation.
    std::vector<PeriodRow> companies;
    // The sum of the nationality rows of all hotels, if there is any.
    bool hasNation = false;
    PresenzeCounters nation{};

    const HotelDays* days(std::int64_t hotel) const;

    bool operator==(const MonthRows&) const = default;
};

// Names are compared with "NAZIONE" without regard to case, as the
// database engine compares them. Sums stop at the ends of their range.
MonthRows monthRowsOf(const PresenzeTally& tally);

} // namespace presenze
