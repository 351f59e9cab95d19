#include "indicators/IndicatorColumns.h"

namespace presenze {

const std::array<PeriodColumn, 11>& periodColumns()
{
    static const std::array<PeriodColumn, 11> columns = {{
        {"CamereDisponibili", "Disponibili", ColumnUnit::Count, 0,
         [](const PeriodFigures& f, BookingKind) { return Ratio::whole(f.roomsAvailable); }},
        {"CamereVendute", "Vendute", ColumnUnit::Count, 0,
         [](const PeriodFigures& f, BookingKind) { return Ratio::whole(f.confirmed.rooms); }},
        {"CamereOpzionate", "Opzionate", ColumnUnit::Count, 0,
         [](const PeriodFigures& f, BookingKind) { return Ratio::whole(f.optional.rooms); }},
        {"Occupazione", "Occup.", ColumnUnit::Fraction, 4, occupancy},
        {"Presenze", "Presenze", ColumnUnit::Count, 0,
         [](const PeriodFigures& f, BookingKind k) {
             return Ratio::whole(f.counted(k).presences);
         }},
        {"Arrivi", "Arrivi", ColumnUnit::Count, 0,
         [](const PeriodFigures& f, BookingKind k) { return Ratio::whole(f.counted(k).arrivals); }},
        {"Ricavo", "Ricavo", ColumnUnit::Euro, 2,
         [](const PeriodFigures& f, BookingKind k) { return euro(f.counted(k).revenue); }},
        {"ADR", "ADR", ColumnUnit::Euro, 2, averageDailyRate},
        {"RevPAR", "RevPAR", ColumnUnit::Euro, 2, revPar},
        {"PermanenzaMedia", "Perm.", ColumnUnit::Number, 2, averageStay},
        {"OspitiPerCamera", "Osp./cam.", ColumnUnit::Number, 2, guestsPerRoom},
    }};
    return columns;
}

const std::array<CompanyColumn, 5>& companyColumns()
{
    static const std::array<CompanyColumn, 5> columns = {{
        {"Presenze", "Presenze", ColumnUnit::Count, 0,
         [](const KindFigures& c, const KindFigures&) { return Ratio::whole(c.presences); }},
        {"CamereVendute", "Camere", ColumnUnit::Count, 0,
         [](const KindFigures& c, const KindFigures&) { return Ratio::whole(c.rooms); }},
        {"Ricavo", "Ricavo", ColumnUnit::Euro, 2,
         [](const KindFigures& c, const KindFigures&) { return euro(c.revenue); }},
        {"ADR", "ADR", ColumnUnit::Euro, 2,
         [](const KindFigures& c, const KindFigures&) { return ratePerRoom(c.revenue, c.rooms); }},
        {"Quota", "Quota", ColumnUnit::Fraction, 4,
         [](const KindFigures& c, const KindFigures& h) { return Ratio(c.rooms, h.rooms); }},
    }};
    return columns;
}

} // namespace presenze
