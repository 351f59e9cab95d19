#include "reports/type1/StampaTipo1.h"

#include "common/KV7Routine.h"
#include "common/MonthBookings.h"
#include "data/DataError.h"
#include "data/Dates.h"
#include "reports/type1/CompanyTable.h"
#include "reports/type1/GridLine.h"
#include "reports/type1/HotelNames.h"
#include "reports/type1/MonthRows.h"
#include "reports/type1/Type1Figures.h"
#include "tally/CalcolaPresenze.h"
#include "tally/Saturating.h"
#include "tally/WorkingDatabase.h"

#include <cstdio>
#include <future>

namespace presenze {
namespace {

// TotaliGiorno: the day rows of the printed hotels, summed per day.
using DayTotals = std::array<PresenzeCounters, kReportDays>;

bool showsConfirmed(BookingKind kind)
{
    return kind != BookingKind::Optional;
}

bool showsOptional(BookingKind kind)
{
    return kind != BookingKind::Confirmed;
}

// The presences and rooms lines of the booking kinds the selection shows.
void writeKindLines(ReportWriter& out, BookingKind kind, const GridLine& prc, const GridLine& cac,
                    const GridLine& pro, const GridLine& cao)
{
    if (showsConfirmed(kind)) {
        out.line(prc.text());
        out.line(cac.text());
    }
    if (showsOptional(kind)) {
        out.line(pro.text());
        out.line(cao.text());
    }
}

std::string twoDigits(int value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", value % 100);
    return buffer;
}

// Title line, top border, day numbers and weekdays of the 31 columns.
void writePageHead(ReportWriter& out, const Date& first, int month, const DateTime& now)
{
    std::string title = now.date.toDisplay();
    title.append(36, ' ');
    title += "Stampa Presenze per Ditta / Hotel (" + MonthNames[month] + ")";
    title.append(36, ' ');
    title += twoDigits(now.hour) + ":" + twoDigits(now.minute);
    out.line(title);
    out.line(gridRule(box::kTopT, box::kTopT));

    std::string days = " Hotel  ";
    std::string weekdays(8, ' ');
    days += box::kVertical;
    weekdays += box::kVertical;
    for (int k = 0; k < kReportDays; ++k) {
        const std::string date = first.addDays(k).toDisplay();
        days += " " + date.substr(0, 2) + box::kVertical;
        weekdays += WeekdayNames[GiornoSettimana(date)].substr(0, 3) + box::kVertical;
    }
    out.line(days);
    out.line(weekdays);
}

// The eight breakdown lines of a hotel block or of the hotel range.
struct Breakdown {
    GridLine ind{"     IND"}, pInd{"   P IND"}, top{"     TOP"}, pTop{"   P TOP"};
    GridLine grp{"     GRP"}, pGrp{"   P GRP"}, acs{"     ACS"}, pAcs{"   P ACS"};

    // The day's cells; with `groupTopAcs` ACS is counted into TOP and its
    // own cells stay blank.
    void set(int day, const PresenzeCounters& v, bool groupTopAcs)
    {
        ind.set(day, dayCell(v[kIndividuali]));
        pInd.set(day, dayCell(v[kIndividualiC]));
        grp.set(day, dayCell(v[kGruppi]));
        pGrp.set(day, dayCell(v[kGruppiC]));
        if (groupTopAcs) {
            top.set(day, dayCell(saturatingAdd(v[kTourOp], v[kAccSpec])));
            pTop.set(day, dayCell(saturatingAdd(v[kTourOpC], v[kAccSpecC])));
        } else {
            top.set(day, dayCell(v[kTourOp]));
            pTop.set(day, dayCell(v[kTourOpC]));
            acs.set(day, dayCell(v[kAccSpec]));
            pAcs.set(day, dayCell(v[kAccSpecC]));
        }
    }

    void write(ReportWriter& out, bool withAcs) const
    {
        for (const GridLine* line : {&pInd, &ind, &pTop, &top, &pGrp, &grp})
            out.line(line->text());
        if (withAcs) {
            out.line(pAcs.text());
            out.line(acs.text());
        }
    }
};

class Type1Month {
public:
    Type1Month(ReportWriter& out, const Selection& selection, const HotelRooms& rooms,
               const HotelNames& hotels, const MonthRows& rows)
        : m_out(out), m_selection(selection), m_rooms(rooms), m_hotels(hotels), m_rows(rows)
    {
        if (selection.singleHotel) {
            m_firstHotel = m_lastHotel = selection.comboHotel;
        } else {
            m_firstHotel = 1;
            m_lastHotel = hotels.highest();
        }
    }

    void writeHotelBlocks()
    {
        for (std::int64_t h = m_firstHotel; h <= m_lastHotel; ++h)
            if (m_selection.hotelTicked(h))
                writeHotelBlock(h);
        m_out.line(gridRule(box::kCross, box::kCross));
    }

    void writeAllHotelTotals();

private:
    // The rooms of the printed hotels: the chosen hotel's, or those of the
    // ticked hotels of the range.
    std::int64_t tickedRooms() const
    {
        if (m_selection.singleHotel)
            return m_rooms.of(m_selection.comboHotel);
        std::int64_t rooms = 0;
        for (const auto& [hotel, count] : m_rooms.camereHotel)
            if (hotel >= m_firstHotel && hotel <= m_lastHotel && m_selection.hotelTicked(hotel))
                addSaturating(rooms, count);
        return rooms;
    }

    void writeHotelBlock(std::int64_t hotel);
    void writeDayGrid(const HotelDays& days);

    ReportWriter& m_out;
    const Selection& m_selection;
    const HotelRooms& m_rooms;
    const HotelNames& m_hotels;
    const MonthRows& m_rows;
    std::int64_t m_firstHotel = 1;
    std::int64_t m_lastHotel = 1;
    DayTotals m_dayTotals{};
};

void Type1Month::writeHotelBlock(std::int64_t hotel)
{
    GridLine hotelLine(m_hotels.gridLabel(hotel));
    for (int day = 1; day <= kReportDays; ++day)
        hotelLine.set(day, "---");
    m_out.line(hotelLine.text());

    const HotelDays* days = m_rows.days(hotel);
    if (days)
        writeDayGrid(*days);

    // The hotel's day totals and breakdown: all its rows of the day, summed.
    GridLine prc("TOT  PrC"), pro("TOT  PrO"), cac("TOT  CaC"), cao("TOT  CaO"), lib("TOT  Lib");
    Breakdown breakdown;
    for (int day = 1; days && day <= kReportDays; ++day) {
        if (!days->inTotals[day - 1])
            continue;
        const PresenzeCounters& v = days->totals[day - 1];
        prc.set(day, dayCell(v[kPresenze]));
        pro.set(day, dayCell(v[kPresOpz]));
        cac.set(day, dayCell(v[kCamere]));
        cao.set(day, dayCell(v[kOpzioni]));
        lib.set(day,
                dayCell(saturatingSub(saturatingSub(m_rooms.of(hotel), v[kCamere]), v[kOpzioni])));
        breakdown.set(day, v, m_selection.groupTopAcs);
    }
    writeKindLines(m_out, m_selection.kind, prc, cac, pro, cao);
    m_out.line(lib.text());
    breakdown.write(m_out, !m_selection.groupTopAcs);
}

// The day grid (left out in summary mode) and the hotel's share of
// TotaliGiorno, from its day rows other than "NAZIONE".
void Type1Month::writeDayGrid(const HotelDays& days)
{
    bool any = false;
    GridLine prc("     PrC"), pro("     PrO"), cac("     CaC"), cao("     CaO");
    for (int day = 1; day <= kReportDays; ++day) {
        if (!days.inGrid[day - 1])
            continue;
        any = true;
        const PresenzeCounters& v = days.grid[day - 1];
        prc.set(day, dayCell(v[kPresenze]));
        pro.set(day, dayCell(v[kPresOpz]));
        cac.set(day, dayCell(v[kCamere]));
        cao.set(day, dayCell(v[kOpzioni]));
        for (int f = 0; f < kPresenzeCounterCount; ++f)
            addSaturating(m_dayTotals[day - 1][f], v[f]);
    }
    if (!any || m_selection.summary)
        return;
    writeKindLines(m_out, m_selection.kind, prc, cac, pro, cao);
}

void Type1Month::writeAllHotelTotals()
{
    const std::string separator = gridRule(box::kCross, box::kCross);

    // "Totali" block: the printed hotels' day rows.
    if (!m_selection.summary) {
        m_out.line(GridLine("Totali  ").text());
        const std::int64_t rooms = tickedRooms();
        GridLine prc("     PrC"), cac("     CaC"), pro("     PrO"), cao("     CaO");
        GridLine lib("     Lib");
        for (int day = 1; day <= kReportDays; ++day) {
            const PresenzeCounters& v = m_dayTotals[day - 1];
            prc.set(day, positiveRemainderCell(v[kPresenze]));
            cac.set(day, positiveRemainderCell(v[kCamere]));
            pro.set(day, positiveRemainderCell(v[kPresOpz]));
            cao.set(day, positiveRemainderCell(v[kOpzioni]));
            lib.set(day,
                    freeRoomsCell(saturatingSub(saturatingSub(rooms, v[kCamere]), v[kOpzioni])));
        }
        writeKindLines(m_out, m_selection.kind, prc, cac, pro, cao);
        m_out.line(lib.text());
        m_out.line(separator);
    }

    // TotaliTOT: every hotel of the range, ticked or not. Each hotel's rooms
    // count once per day, less all the rooms of its rows of that day.
    std::int64_t rangeRooms = 0;
    for (const auto& [hotel, rooms] : m_rooms.camereHotel)
        if (hotel >= m_firstHotel && hotel <= m_lastHotel)
            addSaturating(rangeRooms, rooms);
    std::array<PresenzeCounters, kReportDays> range{};
    for (auto& day : range)
        day[kLibere] = rangeRooms;
    for (const auto& [hotel, days] : m_rows.hotels) {
        if (hotel < m_firstHotel || hotel > m_lastHotel)
            continue;
        for (int d = 0; d < kReportDays; ++d) {
            if (!days.inTotals[d])
                continue;
            const PresenzeCounters& v = days.totals[d];
            for (PresenzeField f : {kPresenze, kPresOpz, kCamere, kOpzioni})
                addSaturating(range[d][f], v[f]);
            subtractSaturating(range[d][kLibere], v[kCamere]);
            subtractSaturating(range[d][kLibere], v[kOpzioni]);
        }
    }

    m_out.formFeed();
    m_out.line(separator);
    const std::pair<const char*, PresenzeField> totLines[] = {{"TOT  PrC", kPresenze},
                                                              {"TOT  CaC", kCamere},
                                                              {"TOT  PrO", kPresOpz},
                                                              {"TOT  CaO", kOpzioni},
                                                              {"TOT  Lib", kLibere}};
    for (const auto& [label, field] : totLines) {
        GridLine line(label);
        for (int day = 1; day <= kReportDays; ++day)
            line.set(day, lastThreeCell(range[day - 1][field]));
        m_out.line(line.text());
    }
    m_out.line(separator);

    // Breakdown of the printed hotels; TOP and ACS stay apart here.
    Breakdown breakdown;
    for (int day = 1; day <= kReportDays; ++day)
        breakdown.set(day, m_dayTotals[day - 1], false);
    breakdown.write(m_out, true);
    m_out.line(separator);
    for (int i = 0; i < 3; ++i)
        m_out.line("");
}

// The month's report from its tally.
void writeMonth(ReportWriter& out, const Date& first, const Selection& selection,
                ReportContext& context, const PresenzeTally& tally)
{
    const HotelRooms& rooms = tally.rooms();
    const MonthRows rows = monthRowsOf(tally);
    const HotelNames hotels(
        MonthBookings(context, first, BookingFields::Tally).cache().hotelRegistry(context.folder));

    writePageHead(out, first, first.month, context.clock.now());
    Type1Month month(out, selection, rooms, hotels, rows);
    month.writeHotelBlocks();
    month.writeAllHotelTotals();
    writeCompanyTable(out, rows, hotels);
    writeNationTable(out, rows);
    if (context.figures)
        recordType1Month(*context.figures, first, selection, tally, rows, hotels);
}

} // namespace

bool StampaTipo1(const Date& primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context)
{
    if (primoGiorno.day != 1)
        throw DataError("Data di inizio del mese non valida: " + primoGiorno.toDisplay());

    const PresenzeTally tally = CalcolaPresenze(primoGiorno, selection, context);
    // The working database is written beside the report, on a thread of its
    // own (it only reads the tally). The month waits for it; should both
    // fail, the working database's failure is the one told, as when it was
    // written first.
    std::future<void> working;
    if (context.keepsTally)
        working = std::async(std::launch::async, [&] {
            writeWorkingDatabase(context.folder, context.stationTag, tally);
        });
    try {
        writeMonth(out, primoGiorno, selection, context, tally);
    } catch (...) {
        if (working.valid())
            working.get();
        throw;
    }
    if (working.valid())
        working.get();
    return tally.rowCount() > 0;
}

} // namespace presenze
