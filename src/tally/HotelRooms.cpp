#include "tally/HotelRooms.h"

#include "data/Text1252.h"
#include "tally/Saturating.h"

namespace presenze {

std::int64_t HotelRooms::of(std::int64_t hotel) const
{
    const auto it = camereHotel.find(hotel);
    return it == camereHotel.end() ? 0 : it->second;
}

HotelRooms countHotelRooms(const std::vector<RoomTypeRecord>& types)
{
    HotelRooms counts;
    for (const auto& t : types) {
        if (t.numeroHotel <= 0 || !equalText(t.tipologia, "C"))
            continue;
        addSaturating(counts.camereHotel[t.numeroHotel], t.quantita);
        addSaturating(counts.camereTotali, t.quantita);
    }
    return counts;
}

HotelRooms readHotelRooms(const DataFolder& folder)
{
    return countHotelRooms(readRoomTypes(folder));
}

} // namespace presenze
