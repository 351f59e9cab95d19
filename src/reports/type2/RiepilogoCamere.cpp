#include "reports/type2/RiepilogoCamere.h"

#include "data/DataError.h"
#include "data/Schema.h"
#include "data/Text1252.h"
#include "reports/type2/Tipo2Cells.h"

#include <string>
#include <vector>

namespace presenze {

RoomCounts::RoomCounts(const std::vector<RoomTypeRecord>& types)
{
    for (const auto& type : types) {
        if (!equalText(type.tipologia, "C"))
            continue;
        std::int64_t& rooms = m_rooms[type.numeroHotel];
        if (__builtin_add_overflow(rooms, type.quantita, &rooms))
            throw DataError("Totale troppo grande per il rapporto: camere dell'hotel " +
                                std::to_string(type.numeroHotel),
                            schema::kRoomTypesFile, schema::kRoomTypes, "Quantita");
    }
}

std::int64_t RoomCounts::of(std::int64_t hotel) const
{
    const auto it = m_rooms.find(hotel);
    return it == m_rooms.end() ? 0 : it->second;
}

namespace {

// One line per day table: its label and the table it shows.
struct CategoryLine {
    const char* label;
    DayTable<std::int32_t> Tipo2Tables::*table;
};

constexpr CategoryLine kCategories[] = {
    {"  GRUPPI", &Tipo2Tables::CamereGruppi},      {"  GRP P.", &Tipo2Tables::PersoneGruppi},
    {"  INDIV.", &Tipo2Tables::CamereIndividuali}, {"  IND P.", &Tipo2Tables::PersoneIndividuali},
    {"  TOUR O", &Tipo2Tables::CamereTourOp},      {"  T.O.P.", &Tipo2Tables::PersoneTourOp},
    {"  ACC.SP", &Tipo2Tables::CamereAccSpec},     {"  A.S.P.", &Tipo2Tables::PersoneAccSpec},
};

} // namespace

void RiepilogoCamere(ReportWriter& out, Tipo2Tables& tables, const RoomCounts& rooms,
                     BookingKind kind)
{
    const std::int64_t hotelRooms = rooms.of(tables.HotelCorrente);
    if (hotelRooms < INT32_MIN || hotelRooms > INT32_MAX)
        throw DataError("Totale troppo grande per il rapporto: camere dell'hotel " +
                        std::to_string(tables.HotelCorrente));
    tables.CamereDisponibili = static_cast<std::int32_t>(hotelRooms);

    CellLine prc("TOT  PrC"), pro("TOT  PrO"), con("TOT  CON"), opz("TOT  OPZ");
    CellLine libere("  LIBERE");
    std::vector<CellLine> categories;
    categories.reserve(std::size(kCategories));
    for (const CategoryLine& c : kCategories)
        categories.emplace_back(c.label);

    for (int d = 1; d <= 31; ++d) {
        TotaliTipo2& day = tables.GiornoHotel[d];
        prc.cell(day.PresCon, day.PresCon > 0);
        pro.cell(day.PresOpz, day.PresOpz > 0);
        con.cell(day.CamCon, day.CamCon > 0);
        opz.cell(day.CamOpz, day.CamOpz > 0);
        std::int32_t free = tables.CamereDisponibili;
        addChecked(free, -static_cast<std::int64_t>(day.CamCon), "camere libere");
        addChecked(free, -static_cast<std::int64_t>(day.CamOpz), "camere libere");
        libere.cell(free, free != 0);
        for (std::size_t i = 0; i < std::size(kCategories); ++i) {
            std::int32_t& value = (tables.*kCategories[i].table)[d];
            categories[i].cell(value, value > 0);
            value = 0;
        }
        day.PresCon = day.PresOpz = day.CamCon = day.CamOpz = 0;
    }

    const std::string rule(133, box::kHorizontal);
    writeKindLines(out, kind, prc, con, pro, opz);
    out.line(libere.text());
    out.line(rule);
    for (const auto& line : categories)
        out.line(line.text());
    out.line(rule);
}

} // namespace presenze
