#pragma once
// The monthly guest movement as CSV: UTF-8 without byte-order mark, ","
// separated, CR LF line ends, the heading
//   Hotel,Data,Nazione,PresentiNottePrecedente,Arrivi,Partenze,Presenti,CamereOccupate
// then, hotel by hotel and day by day (Data as YYYY-MM-DD), one row per
// nationality with any figure that day (CamereOccupate empty; Nazione as in
// the sheet, "Non indicata" when not given), and the row of the day's totals
// with Nazione "Totale" and the rooms occupied that night. A field holding
// "," or '"' is quoted (RFC 4180); one beginning with "=", "+", "-" or "@"
// gets "'" before it, so a spreadsheet never runs it as a formula.

#include "istat/MovimentoClienti.h"

#include <filesystem>
#include <string>

namespace presenze {

std::string movementCsv(const MonthMovement& month);

// Writes it at `target`, replacing the file whole. Raises DataError.
void writeMovementCsv(const MonthMovement& month, const std::filesystem::path& target);

} // namespace presenze
