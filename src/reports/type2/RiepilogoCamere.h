#pragma once
// The Type 2 report's room summary block: closes one hotel.

#include "common/ReportFile.h"
#include "common/Selection.h"
#include "data/Records.h"
#include "reports/type2/TotaliTipo2.h"

#include <cstdint>
#include <map>
#include <vector>

namespace presenze {

// Rooms of each hotel: the sum of Quantita over its room types of class "C"
// (compared without regard to case). A hotel without such rows has none.
class RoomCounts {
public:
    RoomCounts() = default;
    explicit RoomCounts(const std::vector<RoomTypeRecord>& types);
    std::int64_t of(std::int64_t hotel) const;

private:
    std::map<std::int64_t, std::int64_t> m_rooms;
};

// Writes the room summary of tables.HotelCorrente from GiornoHotel and the
// category tables (TOT lines by booking kind, free rooms, a rule, the eight
// category lines, a rule), sets CamereDisponibili, and leaves the counts of
// GiornoHotel and the category tables cleared. Raises DataError when the
// room count or a free-rooms value does not fit in 32 bits.
void RiepilogoCamere(ReportWriter& out, Tipo2Tables& tables, const RoomCounts& rooms,
                     BookingKind kind);

} // namespace presenze
