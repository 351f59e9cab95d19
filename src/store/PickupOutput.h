#pragma once
// The pickup written out: a text table for the terminal, a CSV file (one row
// per group, hotel and night, the header line first) and an Excel workbook
// of the same rows. Files are written whole or not at all.

#include "store/Pickup.h"

#include <filesystem>
#include <string>

namespace presenze {

// The CSV's first line.
inline constexpr const char* kPickupCsvHeader =
    "Gruppo,Hotel,Notte,CamereOra,CamereAllora,PersoneOra,PersoneAllora,RicavoOra,RicavoAllora,"
    "Nuove,Cancellate,Confermate";

// The text table, Windows-1252: a title per group naming the two snapshots,
// then a line per hotel and night.
std::string pickupTable(const Pickup& pickup);

// The CSV text (Windows-1252, CR LF): numbers plain, dates DD/MM/YYYY,
// amounts with a point and two decimals.
std::string pickupCsv(const Pickup& pickup);

// Raise DataError naming the file.
void writePickupCsv(const Pickup& pickup, const std::filesystem::path& target);
void writePickupWorkbook(const Pickup& pickup, const std::filesystem::path& target);

} // namespace presenze
