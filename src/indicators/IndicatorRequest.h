#pragma once
// What the indicators are asked for: a period of nights (calendar months, or
// the next N nights from today), the hotels, the booking kind they count,
// whether they compare with last year and whether they go by company. The
// command line (and later a window) fills it; computeIndicators reads it.

#include "common/Selection.h"
#include "request/PrintRequest.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace presenze {

// The nights of the indicators: the calendar months of `months`, or, when
// `forward` is above 0, the `forward` nights from `today` on.
struct IndicatorPeriod {
    MonthRange months;
    int forward = 0; // 30, 90 or 365
    Date today;      // the program's clock, for `forward`
};

enum class IndicatorBreakdown { Month, Company };

struct IndicatorRequest {
    IndicatorPeriod period;
    std::optional<std::set<std::int64_t>> hotels; // nullopt: every hotel
    // What occupancy, presences, arrivals, revenue and the rates count; the
    // confirmed and optional rooms are always counted apart as well.
    BookingKind kind = BookingKind::Confirmed;
    IndicatorBreakdown breakdown = IndicatorBreakdown::Month;
    bool compare = false;
    // One season only (Windows-1252 prefix; empty: the current season);
    // nullopt: every season of the folder.
    std::optional<std::string> season;
};

// The nights --forward may look ahead.
bool isForwardChoice(int nights);

// The longest period of calendar months the indicators cover.
inline constexpr int kMostIndicatorMonths = 120;

// Nullopt when the period can be counted; otherwise an Italian message
// (Windows-1252).
std::optional<std::string> checkIndicatorPeriod(const IndicatorPeriod& period);

} // namespace presenze
