#pragma once
// The indicators written for people, as the table, a chart and a window show
// them: numbers the Italian way ("10.000", "1.234,50"), percentages with one
// decimal ("45,3%"), "n.d." where a ratio has no value, the change from last
// year with its sign, and the names of the rows. Windows-1252 texts.

#include "data/Dates.h"
#include "indicators/IndicatorColumns.h"
#include "indicators/Indicators.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace presenze {

// What a ratio without a value shows.
inline constexpr std::string_view kNotDefined = "n.d.";

// A whole number with "." between thousands: "-12.345".
std::string groupedNumber(std::int64_t value);
// A scaled value (units of 10^-decimals) the Italian way: "1.234,5".
std::string italianNumber(std::int64_t scaled, int decimals);

// A figure as the table shows it: counts grouped, fractions in percent with
// one decimal and "%", euro amounts and other numbers with two decimals.
std::string indicatorValueText(const Ratio& value, ColumnUnit unit);
// The change from last year in percent with one decimal and its sign
// ("+4,2%"); "n.d." when either has no value or last year's is 0.
std::string indicatorChangeText(const Ratio& current, const Ratio& lastYear);

// "Febbraio 2026".
std::string indicatorMonthLabel(const Date& month);
// A hotel's number and name, after its group's name in a chain
// ("Milano / 3 Hotel Duomo").
std::string indicatorHotelLabel(const HotelIndicators& hotel);
// A chain's group: "Totale gruppo Milano".
std::string indicatorGroupLabel(const GroupIndicators& group);
// The last line: "Totale gruppo", or a chain's "Totale catena".
std::string indicatorLastLabel(const Indicators& indicators);
// "Indicatori dal 01/01/2026 al 31/12/2026, prenotazioni confermate[, a
// confronto con l'anno precedente]".
std::string indicatorTitle(const Indicators& indicators);

} // namespace presenze
