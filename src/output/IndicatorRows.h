#pragma once
// The indicators' table as rows of cells, before any layout: the text table
// lays them out in columns, a window shows them in a grid, so both show the
// same figures. The first row is the heading; then hotel by hotel its months
// and its total (the hotel named on its first row), a chain's group after
// its hotels, the group (or chain) last, a blank row before each. With the
// comparison each row of figures is followed by last year's ("anno prec.")
// and by the change ("var. %"). By company: each hotel's 20 largest
// companies, the rest summed in "Altre ditte", then the hotel's total.
// Texts are Windows-1252.

#include "indicators/Indicators.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

struct IndicatorRow {
    enum class Kind {
        Heading,  // the columns' names
        Blank,    // between hotels
        Figures,  // this period's
        LastYear, // last year's, under the figures
        Change    // the change in percent, under last year's
    };
    Kind kind = Kind::Figures;
    bool total = false; // a hotel's, a group's or the chain's total, and the rows under it
    std::vector<std::string> cells; // none for a blank row
};

// By month: Hotel, Mese, then the period columns (IndicatorColumns.h).
std::vector<IndicatorRow> indicatorMonthRows(const Indicators& indicators);
// By company: Hotel, Ditta, then the company columns.
std::vector<IndicatorRow> indicatorCompanyRows(const Indicators& indicators);

// What the columns' short names mean, a few lines ended by "\n".
std::string_view indicatorLegend(bool byCompany);

// How many companies of a hotel the table (and a chart) names; the rest are
// summed in "Altre ditte".
inline constexpr std::size_t kCompaniesNamed = 20;

} // namespace presenze
