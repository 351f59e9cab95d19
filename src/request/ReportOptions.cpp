#include "request/ReportOptions.h"

namespace presenze {

std::optional<std::string> checkTickedHotels(const Selection& selection,
                                             const std::vector<HotelRecord>& registry)
{
    if (!selection.tickedHotels)
        return std::nullopt;
    std::int64_t count = 0;
    for (const auto& h : registry)
        if (h.numero > 0)
            count = h.numeroHotel;
    std::string unknown;
    for (const std::int64_t hotel : *selection.tickedHotels) {
        if (hotel >= 1 && hotel <= count)
            continue;
        unknown += unknown.empty() ? "" : ", ";
        unknown += std::to_string(hotel);
    }
    if (unknown.empty())
        return std::nullopt;
    if (count < 1)
        return "Hotel sconosciuto: " + unknown + " (l'anagrafica non elenca alcun hotel)";
    return "Hotel sconosciuto: " + unknown + " (gli hotel in anagrafica vanno da 1 a " +
           std::to_string(count) + ")";
}

} // namespace presenze
