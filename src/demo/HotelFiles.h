#pragma once
// The hotels of a group: their names and base rates, the hotel registry
// (hotel 1 carries the installation's option letters), the room types and
// the beds of each hotel.

#include "demo/GroupGenerator.h"
#include "demo/GroupModel.h"

#include <filesystem>
#include <vector>

namespace presenze::demo {

// Hotels 1..n with their names and base rates.
std::vector<Hotel> makeHotels(const GroupOptions& group);

// The hotel registry, AnagraficaHotels.
void writeRegistry(const std::filesystem::path& dir, const std::vector<Hotel>& hotels);

// The hotel's rooms as two "C" rows, plus suites and apartments that do not
// count as the hotel's rooms.
void writeRoomTypes(const std::filesystem::path& dir, const std::vector<int>& rooms);

// LettiHotel.txt: the beds of each hotel's counted rooms (the doubles two,
// the others one or two), "hotel beds" CR LF in hotel order.
void writeBeds(const std::filesystem::path& dir, const std::vector<int>& rooms);

} // namespace presenze::demo
