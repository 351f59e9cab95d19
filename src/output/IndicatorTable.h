#pragma once
// The indicators as a readable table for the terminal: a title, then hotel
// by hotel its months and its total, and the group last, in aligned columns
// with Italian labels and numbers written the Italian way (1.234,50);
// percentages with one decimal, euro amounts with two, "n.d." where a ratio
// has no value. With the comparison each row is followed by last year's
// ("anno prec.") and by the change in percent ("var. %"). By company: each
// hotel's 20 largest companies, the rest summed in "Altre ditte", and the
// hotel's total. A chain's names each hotel after its group
// ("Milano / 3 Hotel Duomo") and follows each group's hotels with the
// group's line, the chain's line last. Windows-1252 text, lines ended by "\n".

#include "indicators/Indicators.h"
#include "output/IndicatorRows.h"

#include <string>
#include <vector>

namespace presenze {

// The rows laid out in columns, a line (without its end) for each row: the
// first two columns left-aligned, the others right-aligned, two blanks
// between; a blank row is an empty line.
std::vector<std::string> indicatorTableLines(const std::vector<IndicatorRow>& rows);

// The rows of output/IndicatorRows.h laid out in columns, under the title
// and over the legend.
std::string indicatorTable(const Indicators& indicators);

} // namespace presenze
