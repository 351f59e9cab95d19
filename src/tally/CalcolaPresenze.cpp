#include "tally/CalcolaPresenze.h"

#include "common/KV7Routine.h"
#include "common/MonthBookings.h"
#include "data/DataError.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "tally/WorkingDatabase.h"

#include <algorithm>
#include <chrono>

namespace presenze {
namespace {

constexpr int kNights = 31;

// The kind letter (kindLetter) compared without regard to case.
bool kindSelected(BookingKind kind, char letter)
{
    const char upper = upperKind(letter);
    const bool confirmed = upper == 'C' || upper == 'D';
    const bool optional = upper == 'O';
    switch (kind) {
    case BookingKind::Confirmed:
        return confirmed;
    case BookingKind::Optional:
        return optional;
    case BookingKind::All:
        return confirmed || optional;
    }
    return false;
}

// What a booking header brings to every night of its lines, worked out once.
struct HeaderNight {
    const BookedHeader* header = nullptr;
    bool ready = false;
    bool counts = false;
    PresenzeTally::Night night;
};

// Sends the status text of the counted lines, a few times a second at most.
class StatusLine {
public:
    explicit StatusLine(Interaction& ui) : m_ui(ui) {}

    void counted(const BookedLine& line)
    {
        m_hotel = line.numeroHotel;
        m_booking = line.numeroPrenotazione;
        m_pending = true;
        // The clock is read every few lines only: reading it costs more
        // than counting a line.
        if (m_shownOnce && ++m_sinceClock < kLinesPerClock)
            return;
        m_sinceClock = 0;
        const auto now = std::chrono::steady_clock::now();
        if (m_shownOnce && now - m_when < std::chrono::milliseconds(100))
            return;
        show();
        m_when = now;
    }

    // The text of the last counted line stays on the status line.
    void finish()
    {
        if (m_pending)
            show();
    }

private:
    void show()
    {
        m_ui.status("Hotel:" + std::to_string(m_hotel) + " Prenotazione n. " +
                    std::to_string(m_booking));
        m_shownOnce = true;
        m_pending = false;
    }

    static constexpr int kLinesPerClock = 64;
    Interaction& m_ui;
    int m_sinceClock = 0;
    std::int64_t m_hotel = 0;
    std::int64_t m_booking = 0;
    bool m_pending = false;
    bool m_shownOnce = false;
    std::chrono::steady_clock::time_point m_when;
};

std::string joinWarnings(const std::vector<std::string>& warnings)
{
    constexpr std::size_t kShown = 20;
    std::string text;
    for (std::size_t i = 0; i < warnings.size() && i < kShown; ++i) {
        if (i)
            text += '\n';
        text += warnings[i];
    }
    if (warnings.size() > kShown)
        text += "\n... e altre " + std::to_string(warnings.size() - kShown) + " righe.";
    return text;
}

} // namespace

PresenzeTally tallyBookings(const Date& start, const Selection& selection, HotelRooms rooms,
                            const BookingSet& bookings, const CountedLine& counted)
{
    PresenzeTally tally(std::move(rooms));
    const long first = start.toSerial();
    const long end = first + kNights;
    const bool summary = selection.summary && !selection.singleCompany;
    const PresenzeTally::NameId blank = tally.name(" ");

    // The header a line finds: the first in table order of its hotel and
    // number whose kind is one of the selection's (compared as the engine
    // compares), of the chosen hotel and of the chosen company (without
    // regard to case). What it brings to the nights is worked out once per
    // booking: the lines of a booking are walked one after the other.
    const auto headerOf = [&](const BookedLine& line) -> const BookedHeader* {
        for (const BookedHeader& h : bookings.headersOf(line))
            if (kindSelected(selection.kind, h.kind) &&
                (!selection.singleHotel || h.numeroHotel == selection.comboHotel) &&
                (!selection.singleCompany || equalText(h.ditta, selection.company)))
                return &h;
        return nullptr;
    };
    const BookedLine* booking = nullptr; // a line of the booking of `hn`
    HeaderNight hn;

    // The lines of the window, walked by hotel, then booking number.
    bookings.forEachOverlapping(first, end, [&](const BookedLine& stay) {
        const BookedLine* line = &stay;
        if (line->numeroHotel <= 0 || line->numeroHotel >= 9999)
            return;
        if (selection.singleHotel && line->numeroHotel != selection.comboHotel)
            return;
        if (!kindSelected(selection.kind, line->kind) || line->numeroPersone <= 0)
            return;
        if (!booking || booking->numeroHotel != line->numeroHotel ||
            booking->numeroPrenotazione != line->numeroPrenotazione) {
            booking = line;
            hn = HeaderNight{};
            hn.header = headerOf(*line);
        }
        if (!hn.header)
            return;
        if (!hn.ready) {
            const BookedHeader& h = *hn.header;
            hn.ready = true;
            hn.counts = (!selection.companyListOnly ||
                         InElencoDitte(h.ditta, selection.companyList) == 1) &&
                        (!selection.singleCompany || h.ditta.view() == selection.company);
            if (hn.counts) {
                PresenzeTally::Night& n = hn.night;
                n.name = summary ? blank : tally.name(h.ditta);
                n.rows = tally.rowsOf(h.numeroHotel, n.name);
                n.nation = tally.nationOf(h.numeroHotel);
                n.optional = h.kind == 'O';
                n.italian = isItalian(h.nazione);
                n.tag = tagClassOf(h.commento);
            }
        }
        if (!hn.counts)
            return;
        if (counted)
            counted(*line);
        const long firstNight = std::max<long>(first, stay.arrival);
        const long stop = std::min<long>(end, stay.departure);
        if (stop <= firstNight)
            return;
        PresenzeTally::Night night = hn.night;
        night.persone = line->numeroPersone;
        night.camere = line->quantitaCamere;
        tally.countNights(night, static_cast<int>(firstNight - first + 1),
                          static_cast<int>(stop - first));
    });
    return tally;
}

PresenzeTally CalcolaPresenze(const Date& primoGiorno, const Selection& selection,
                              ReportContext& context)
{
    MonthBookings month(context, primoGiorno, BookingFields::Tally);
    std::vector<std::string> warnings;
    const BookingSet& bookings =
        month.cache().bookings(context.folder, selection.season,
                               [&](std::string_view text) { warnings.emplace_back(text); });
    if (!warnings.empty())
        context.ui.warn("Stampa Presenze per Ditta", joinWarnings(warnings));

    StatusLine status(context.ui);
    const HotelRooms rooms = countHotelRooms(month.cache().roomTypes(context.folder));
    PresenzeTally tally = tallyBookings(primoGiorno, selection, rooms, bookings,
                                        [&](const BookedLine& line) { status.counted(line); });
    status.finish();
    return tally;
}

std::filesystem::path writeWorkingDatabase(const DataFolder& folder, std::string_view stationTag,
                                           const PresenzeTally& tally)
{
    return rebuildWorkingDatabase(folder, stationTag, [&](const Database& work) {
        std::vector<std::string> utf8Names;
        utf8Names.reserve(tally.names().size());
        for (const auto& name : tally.names())
            utf8Names.push_back(cp1252ToUtf8(name));
        PresenzeWriter writer(work);
        tally.forEachRow([&](const PresenzeRow& row, PresenzeTally::NameId name) {
            writer.add(row, utf8Names[name]);
        });
        writer.finish();
    });
}

} // namespace presenze
