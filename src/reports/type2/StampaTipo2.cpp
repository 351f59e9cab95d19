#include "reports/type2/StampaTipo2.h"

#include "common/KV7Routine.h"
#include "common/MonthBookings.h"
#include "data/DataError.h"
#include "data/Dates.h"
#include "data/Records.h"
#include "data/Schema.h"
#include "reports/type2/BookingQuery.h"
#include "reports/type2/FiltroDitte.h"
#include "reports/type2/RiepilogoCamere.h"
#include "reports/type2/ScriviRiga.h"
#include "reports/type2/Tipo2Cells.h"
#include "reports/type2/Type2Figures.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace presenze {
namespace {

constexpr std::string_view kQuestionTitle = "Presenze per Ditta";
constexpr std::string_view kQuestion = "Calcolo Per presenze (Si) o per Arrivi (No)?";
constexpr std::string_view kBadDatesTitle = "Righe escluse";
constexpr std::size_t kWarningsShown = 10;

// Header lines 1 to 5 of the month (index 0 to 4): the title, then the
// day numbers and weekdays of the 31 columns between rules.
std::array<std::string, 5> headerLines(const Date& first, const DateTime& now)
{
    std::array<std::string, 5> h;
    char clock[8];
    std::snprintf(clock, sizeof clock, "%02d:%02d", now.hour, now.minute);
    h[0] = now.date.toDisplay() + std::string(36, ' ') + "Stampa Presenze per Ditta / Hotel (" +
           MonthNames[first.month] + ")" + std::string(36, ' ') + clock;
    h[1] = std::string(8, box::kHorizontal) + box::kTopT;
    h[2] = std::string(" Hotel  ") + box::kVertical;
    h[3] = std::string(8, ' ') + box::kVertical;
    h[4] = std::string(8, box::kHorizontal) + box::kCross;
    for (int i = 0; i < 31; ++i) {
        const Date day = first.addDays(i);
        char number[8];
        std::snprintf(number, sizeof number, "%3s", day.toDisplay().substr(0, 2).c_str());
        h[1] += std::string(3, box::kHorizontal) + box::kTopT;
        h[2] += std::string(number) + box::kVertical;
        h[3] += WeekdayNames[GiornoSettimana(day.toDisplay())].substr(0, 3) + box::kVertical;
        h[4] += std::string(3, box::kHorizontal) + box::kCross;
    }
    return h;
}

// Presences (true) or arrivals: as the selection says, else the month's
// answer, or the one kept for the rest of the request.
bool countsPresences(const Selection& selection, ReportContext& context)
{
    if (selection.dayCount)
        return *selection.dayCount == DayCount::Presences;
    if (context.presencesForRest)
        return *context.presencesForRest;
    bool sameForRest = false;
    const int answer = context.ui.askEachMonth(kQuestionTitle, kQuestion, sameForRest);
    if (answer != AnswerYes && answer != AnswerNo)
        throw RequestCancelled();
    if (sameForRest)
        context.presencesForRest = answer == AnswerYes;
    return answer == AnswerYes;
}

// Shows the room lines the reader left out, in one warning.
void warnExcluded(Interaction& ui, const std::vector<std::string>& excluded)
{
    if (excluded.empty())
        return;
    std::string text;
    for (std::size_t i = 0; i < excluded.size() && i < kWarningsShown; ++i) {
        if (i > 0)
            text += "\r\n";
        text += excluded[i];
    }
    if (excluded.size() > kWarningsShown)
        text += "\r\n... e altre " + std::to_string(excluded.size() - kWarningsShown) + " righe.";
    ui.warn(kBadDatesTitle, text);
}

// The offsets from the first day (0..30 for days 1..31) on which a row
// counts, inclusive; empty when `to` is below `from`.
struct CountedDays {
    long from = 0;
    long to = -1;
};

CountedDays countedDays(const BookingRow& row, bool presences)
{
    if (presences)
        return {std::max(row.arrivo, 0L), std::min(row.partenza - 1, 30L)};
    if (row.arrivo >= 0 && row.arrivo <= 30 && row.partenza >= row.arrivo)
        return {row.arrivo, row.arrivo};
    return {};
}

// A month has data when at least one of its rows counts on one of its days.
bool anyRowCounts(const std::vector<BookingRow>& rows, bool presences)
{
    return std::any_of(rows.begin(), rows.end(), [presences](const BookingRow& row) {
        const CountedDays days = countedDays(row, presences);
        return days.from <= days.to;
    });
}

// Adds one row to the day tables of its company and hotel.
void tally(const BookingRow& row, bool presences, bool detail, Tipo2Tables& t)
{
    const auto [from, to] = countedDays(row, presences);
    for (long o = from; o <= to; ++o) {
        const int d = static_cast<int>(o) + 1;
        TotaliTipo2& company = t.GiornoTipo2[d];
        TotaliTipo2& hotel = t.GiornoHotel[d];
        if (row.confermata) {
            addChecked(company.PresCon, row.numeroPersone, "persone confermate");
            addChecked(company.CamCon, row.quantitaCamere, "camere confermate");
            addChecked(hotel.PresCon, row.numeroPersone, "persone confermate");
            addChecked(hotel.CamCon, row.quantitaCamere, "camere confermate");
        } else {
            addChecked(company.PresOpz, row.numeroPersone, "persone opzionate");
            addChecked(company.CamOpz, row.quantitaCamere, "camere opzionate");
            addChecked(hotel.PresOpz, row.numeroPersone, "persone opzionate");
            addChecked(hotel.CamOpz, row.quantitaCamere, "camere opzionate");
        }
        if (detail && (o - row.arrivo) % row.giorniTariffa == 0)
            company.Importo += row.prezzo;
        DayTable<std::int32_t>* rooms = nullptr;
        DayTable<std::int32_t>* persons = nullptr;
        switch (row.category) {
        case Category::Groups:
            rooms = &t.CamereGruppi, persons = &t.PersoneGruppi;
            break;
        case Category::TourOperators:
            rooms = &t.CamereTourOp, persons = &t.PersoneTourOp;
            break;
        case Category::AccSpec:
            rooms = &t.CamereAccSpec, persons = &t.PersoneAccSpec;
            break;
        case Category::Individuals:
            rooms = &t.CamereIndividuali, persons = &t.PersoneIndividuali;
            break;
        }
        addChecked((*rooms)[d], row.quantitaCamere, "camere per categoria");
        addChecked((*persons)[d], row.numeroPersone, "persone per categoria");
    }
}

// The closing table of the month, as one line that carries its own line
// ends; the companies' summary lines (tens of megabytes in a large group)
// are written as they stand, never copied into the line.
void writeClosingTable(ReportWriter& out, const Tipo2Tables& t)
{
    // The exact sum of the companies' exact amounts, rounded once.
    std::int32_t importo = 0;
    addChecked(importo, t.TotaleGenerale.Importo.roundToEven(), "importo");
    const std::string rule(84, '-');
    std::string head;
    head += kLineEnd;
    head += rule;
    head += kLineEnd;
    head += box::kBrokenBar;
    head += "    Hotel / Agenzia              ";
    for (const char* column : {"Pres.Con", "Pres.Opz", "Conferm.", "Opzion. ", " Importo    "}) {
        head += box::kBrokenBar;
        head += column;
    }
    head += box::kBrokenBar;
    head += kLineEnd;
    head += rule;
    out.raw(head);
    out.raw(t.RiepilogoDitte);
    std::string tail;
    tail += kLineEnd;
    tail += rule;
    tail += kLineEnd;
    tail += std::string(34, ' ');
    tail += box::kVertical;
    const TotaliTipo2& all = t.TotaleGenerale;
    for (const std::int32_t value : {all.PresCon, all.PresOpz, all.CamCon, all.CamOpz}) {
        tail += rightAligned(value, 8);
        tail += box::kVertical;
    }
    tail += rightAligned(importo, 12);
    tail += box::kVertical;
    tail += kLineEnd;
    tail += std::string(34, ' ');
    tail += std::string(50, '-');
    out.line(tail);
}

} // namespace

bool StampaTipo2(const Date& primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context)
{
    const bool presences = countsPresences(selection, context);
    if (primoGiorno.day != 1)
        throw DataError("Primo giorno del mese non valido: " + primoGiorno.toDisplay());
    const bool detail = !selection.summary;
    ReportFigures* figures = context.figures;
    if (figures)
        figures->startMonth(primoGiorno, !presences, detail);

    MonthBookings month(context, primoGiorno, BookingFields::Type2);
    const RoomCounts rooms(month.cache().roomTypes(context.folder));
    BookingQuery query;
    query.first = primoGiorno;
    query.totals = !detail;
    if (selection.companyListOnly)
        query.codes = companyCodes(month.cache().companyListLines(context.folder));
    std::vector<std::string> excluded;
    const BookingSet& bookings = month.cache().bookings(
        context.folder, selection.season, [&](std::string_view w) { excluded.emplace_back(w); });
    warnExcluded(context.ui, excluded);
    const auto rows = selectBookingRows(bookings, selection, query);
    if (!anyRowCounts(rows, presences))
        return false;

    Tipo2Tables t;
    std::string_view dittaCorrente = rows.front().ditta;
    t.HotelCorrente = rows.front().numeroHotel;
    // A total that overflows names the hotel and the company it belongs to.
    const auto where = [&](const DataError& e, const std::string_view* ditta) {
        std::string text = std::string(e.what()) + " (hotel " + std::to_string(t.HotelCorrente);
        if (ditta)
            text += ", ditta \"" + std::string(*ditta) + "\"";
        return DataError(text + ")", schema::roomsFile(selection.season), schema::kRooms);
    };
    const auto closeCompany = [&] {
        if (figures)
            recordType2Company(*figures, t.HotelCorrente, dittaCorrente, t.GiornoTipo2);
        try {
            ScriviRiga(out, dittaCorrente, t, selection.kind);
        } catch (const DataError& e) {
            throw where(e, &dittaCorrente);
        }
    };
    const auto closeHotel = [&] {
        if (figures)
            recordType2Hotel(*figures, t.HotelCorrente, rooms.of(t.HotelCorrente), t.GiornoHotel,
                             !detail);
        try {
            RiepilogoCamere(out, t, rooms, selection.kind);
        } catch (const DataError& e) {
            throw where(e, nullptr);
        }
    };

    const auto h = headerLines(primoGiorno, context.clock.now());
    for (const auto& line : h)
        out.line(line);
    out.line("HOTEL: " + std::to_string(t.HotelCorrente));
    for (const BookingRow& row : rows) {
        if (row.numeroHotel != t.HotelCorrente) {
            if (detail) {
                closeCompany();
                dittaCorrente = row.ditta;
            }
            out.line(h[4]);
            closeHotel();
            t.HotelCorrente = row.numeroHotel;
            out.line("HOTEL: " + std::to_string(t.HotelCorrente));
        }
        if (row.ditta != dittaCorrente) {
            closeCompany();
            dittaCorrente = row.ditta;
        }
        try {
            tally(row, presences, detail, t);
        } catch (const DataError& e) {
            throw where(e, &row.ditta);
        }
    }
    if (detail)
        closeCompany();
    out.line(h[4]);
    closeHotel();
    if (detail)
        writeClosingTable(out, t);
    return true;
}

} // namespace presenze
