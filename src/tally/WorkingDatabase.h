#pragma once
// The working database: a station's private scratch database,
// "Vallomir" + station tag + ".mdb" in the data folder, whose one table
// Presenze holds the daily tally of one month for the Type 1 report.

#include "data/DataFolder.h"

#include <string>
#include <string_view>

namespace presenze {

// "Vallomir" + tag + ".mdb".
std::string workingDatabaseName(std::string_view stationTag);

// The sixteen fields of Presenze, in order.
inline constexpr const char* kPresenzeFields[16] = {
    "NumeroHotel", "NomeDitta", "Contatore",   "Presenze",     "PresOpz",  "Camere",
    "Opzioni",     "Libere",    "Gruppi",      "Individuali",  "TourOp",   "AccSpec",
    "GruppiC",     "IndividualiC", "TourOpC",  "AccSpecC"};

// Creates the working database with its empty table Presenze, unless a file of
// that name exists (then nothing is checked or changed).
void CreaArchivioLocale(const DataFolder& folder, std::string_view stationTag);

} // namespace presenze
