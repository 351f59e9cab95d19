#pragma once
// The monthly guest movement as an Excel workbook: one sheet per hotel
// ("3 HOTEL NAME"), the days as rows and, as column groups, the day's totals
// (present the night before, arrivals, departures, present that night, rooms
// occupied) and each nationality (the same but the rooms); a month line, the
// month summary (rooms, beds, days open, bed-days, arrivals and presences by
// nationality) and the room lines left out of the figures. Counts are
// numbers, days are dates, texts always text. Printed landscape on A4, one
// page wide, the headings on every page.

#include "istat/MovimentoClienti.h"

#include <filesystem>
#include <string>

namespace presenze {

// The sheet's name: number and name ("Hotel N" without a name), without the
// characters Excel refuses, at most 31 characters (UTF-8).
std::string movementSheetName(const HotelMovement& hotel);

// Writes the workbook at `target`, replacing the file whole when it is done.
// Raises DataError.
void writeMovementWorkbook(const MonthMovement& month, const std::filesystem::path& target);

} // namespace presenze
