#pragma once
// The monthly guest movement as fixed-pitch text, hotel after hotel, no line
// over 133 characters: the daily totals with the days as columns (present the
// night before, arrivals, departures, present that night, rooms occupied),
// then one block per nationality, then the month summary (rooms, beds, days
// open, bed-days, arrivals and presences by nationality), and last the room
// lines left out of the figures. A count too wide for its column shows as
// "****" (the CSV and the workbook hold it whole). Windows-1252.

#include "istat/MovimentoClienti.h"

#include <string>
#include <vector>

namespace presenze {

inline constexpr std::size_t kMovementTextWidth = 133;

std::vector<std::string> movementText(const MonthMovement& month);

} // namespace presenze
