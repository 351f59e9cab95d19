#pragma once
// The hotels' room counts: the sum of Quantita over the rows of TipiCamere
// whose Tipologia is "C", per hotel number (CamereHotel) and over all hotels
// (CamereTotali). They give the free rooms of the Type 1 report.

#include "data/DataFolder.h"
#include "data/Records.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace presenze {

struct HotelRooms {
    std::unordered_map<std::int64_t, std::int64_t> camereHotel;
    std::int64_t camereTotali = 0;

    // The rooms of a hotel; 0 for a hotel without room types.
    std::int64_t of(std::int64_t hotel) const;
};

// Tipologia is compared as the database engine compares it (without regard
// to case). Rows whose NumeroHotel is not a hotel number (empty, 0 or below)
// count for no hotel.
HotelRooms countHotelRooms(const std::vector<RoomTypeRecord>& types);
HotelRooms readHotelRooms(const DataFolder& folder);

} // namespace presenze
