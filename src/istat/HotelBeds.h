#pragma once
// The beds of each hotel, for the monthly guest movement: "LettiHotel.txt" in
// the data folder, a settings file of the folder like ElencoDitte.txt, one
// line "hotel number, blank, beds" per hotel ("3 84"). Blank lines are
// skipped; any other line that does not read so (a hotel outside 1..9998,
// a hotel given twice, beds not a number from 0 to 999999, a line over 4096
// bytes) is refused with a message naming the file and the line. The file is
// written only whole, through the file-replace helper.

#include "data/DataFolder.h"

#include <cstdint>
#include <istream>
#include <map>
#include <optional>
#include <string_view>

namespace presenze {

// Beds by hotel number.
using HotelBeds = std::map<std::int64_t, std::int64_t>;

// The lines of the file, read one at a time (CR LF, LF or CR ends a line);
// `shownName` names the file in messages. Raises DataError.
HotelBeds parseHotelBeds(std::istream& in, std::string_view shownName);

// The folder's LettiHotel.txt; nullopt when there is none. Raises DataError.
std::optional<HotelBeds> readHotelBeds(const DataFolder& folder);

// Replaces (or creates) the folder's LettiHotel.txt: one line per hotel, in
// hotel order, CR LF. Raises DataError.
void writeHotelBeds(const DataFolder& folder, const HotelBeds& beds);

} // namespace presenze
