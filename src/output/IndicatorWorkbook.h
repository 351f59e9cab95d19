#pragma once
// The indicators as an Excel workbook:
// - "Indicatori": the rows of the CSV (hotel by hotel, months then the
//   hotel's total, the group last) with the hotel's name beside its number;
//   counts and amounts as numbers, occupancy in a percentage format, euro
//   amounts in a currency format, an empty cell for "n.d.";
// - "Ditte" (by company): each hotel's companies and its total;
// - "Grafico": the group's occupancy and ADR by month, the period against
//   last year, drawn by the spreadsheet from the cells of "Indicatori".
// A chain's sheets begin with a "Gruppo" column, as its CSV does (the hotel
// numbers are each group's own), and chart the chain's months. Names are
// always text, never formulas.

#include "indicators/Indicators.h"

#include <filesystem>

namespace presenze {

// Writes the workbook at `target`, replacing the file whole when it is done.
// Raises DataError.
void writeIndicatorWorkbook(const Indicators& indicators, const std::filesystem::path& target);

} // namespace presenze
