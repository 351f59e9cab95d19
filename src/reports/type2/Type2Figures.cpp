#include "reports/type2/Type2Figures.h"

namespace presenze {
namespace {

DayFigures dayFigures(const TotaliTipo2& t)
{
    DayFigures f;
    f.presCon = t.PresCon;
    f.presOpz = t.PresOpz;
    f.camCon = t.CamCon;
    f.camOpz = t.CamOpz;
    f.importo = t.Importo;
    return f;
}

} // namespace

void recordType2Company(ReportFigures& figures, std::int64_t hotel, std::string_view name,
                        const DayTable<TotaliTipo2>& days)
{
    bool shown = false;
    for (int d = 1; d <= kFigureDays; ++d)
        shown = shown || days[d].anyCount();
    if (!shown)
        return;
    figures.startCompany(hotel, name);
    for (int d = 1; d <= kFigureDays; ++d)
        figures.addDay(d, dayFigures(days[d]));
}

void recordType2Hotel(ReportFigures& figures, std::int64_t hotel, std::int64_t rooms,
                      const DayTable<TotaliTipo2>& days, bool totals)
{
    HotelFigures& h = figures.addHotel(hotel, rooms);
    for (int d = 1; d <= kFigureDays; ++d) {
        h.days[d - 1] = dayFigures(days[d]);
        // The hotel's table carries counts only.
        h.days[d - 1].importo = Currency{};
    }
    if (!totals)
        return;
    figures.startCompany(hotel, "Totale");
    for (int d = 1; d <= kFigureDays; ++d)
        figures.addDay(d, h.days[d - 1]);
}

} // namespace presenze
