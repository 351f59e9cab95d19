#include "istat/IstatText.h"

#include "common/KV7Routine.h"
#include "data/Text1252.h"
#include "tally/Saturating.h"

#include <cstdio>

namespace presenze {
namespace {

constexpr std::size_t kLabel = 9;
constexpr std::size_t kCell = 4;

std::string fitted(std::string_view text, std::size_t width)
{
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string right(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A day's count in its four columns: "-" for none, "****" when too wide.
std::string cell(std::int64_t value)
{
    if (value == 0)
        return right("-", kCell);
    const std::string text = std::to_string(value);
    return text.size() < kCell ? right(text, kCell) : std::string(kCell, '*');
}

std::string monthTitle(const Date& first)
{
    return std::string(trimBlanks(MonthNames[static_cast<std::size_t>(first.month)])) + " " +
           std::to_string(first.year);
}

// A real day as DD/MM/YYYY; "mancante", or the text in quotes, otherwise.
std::string shownDate(const std::string& key)
{
    if (const auto date = Date::parseKey(key))
        return date->toDisplay();
    if (trimBlanks(key).empty())
        return "mancante";
    return "\"" + key.substr(0, 10) + "\"";
}

class HotelText {
public:
    HotelText(const MonthMovement& month, const HotelMovement& hotel, std::vector<std::string>& out)
        : m_month(month), m_hotel(hotel), m_out(out)
    {}

    void write()
    {
        const std::string title =
            "Movimento clienti - " + monthTitle(m_month.first) + " - " + m_hotel.caption();
        line(title);
        line(std::string(kLabel + kCell * static_cast<std::size_t>(m_month.days), '-'));
        dayHeadings();
        line("Totale");
        guestRows(m_hotel.totals);
        std::string rooms = fitted("Camere", kLabel);
        for (const std::int64_t r : m_hotel.camereOccupate)
            rooms += cell(r);
        line(rooms);
        for (const NationalityMovement& n : m_hotel.nationalities) {
            line("");
            line("Nazione: " + nationalityCaption(n.nazione));
            guestRows(n.days);
        }
        line("");
        line("Notte pr.: presenti la notte precedente; Presenti: presenti la notte; Camere: camere "
             "occupate la notte;");
        line("-: nessuno; ****: oltre 999 (il numero intero \xE8 nel CSV e nella cartella di "
             "Excel).");
        line("");
        summary();
        line("");
        excluded();
    }

private:
    void line(const std::string& text) { m_out.push_back(text.substr(0, kMovementTextWidth)); }

    void dayHeadings()
    {
        std::string days = fitted("Giorno", kLabel);
        std::string weekdays(kLabel, ' ');
        for (int d = 0; d < m_month.days; ++d) {
            const Date date = m_month.first.addDays(d);
            char number[8];
            std::snprintf(number, sizeof number, "%02d", date.day);
            days += right(number, kCell);
            const long monday = (date.toSerial() % 7 + 10) % 7; // 01/01/1970 was a Thursday
            weekdays += right(WeekdayNames[static_cast<std::size_t>(monday)].substr(0, 3), kCell);
        }
        line(days);
        line(weekdays);
    }

    void guestRows(const std::vector<GuestDay>& days)
    {
        const struct {
            const char* label;
            std::int64_t GuestDay::*count;
        } rows[] = {{"Notte pr.", &GuestDay::presentiNottePrecedente},
                    {"Arrivi", &GuestDay::arrivi},
                    {"Partenze", &GuestDay::partenze},
                    {"Presenti", &GuestDay::presenti}};
        for (const auto& row : rows) {
            std::string text = fitted(row.label, kLabel);
            for (const GuestDay& d : days)
                text += cell(d.*row.count);
            line(text);
        }
    }

    void figure(const std::string& label, const std::string& value)
    {
        line("  " + fitted(label, 34) + right(value, 10));
    }

    void summary()
    {
        line("Riepilogo del mese");
        figure("Camere disponibili (al giorno)", std::to_string(m_hotel.rooms));
        if (m_hotel.beds) {
            figure("Letti disponibili (al giorno)", std::to_string(*m_hotel.beds));
        } else {
            figure("Letti disponibili (al giorno)", "-");
            line("    " +
                 std::string(m_month.bedsFile ? "LettiHotel.txt non ha una riga per questo hotel."
                                              : "Manca LettiHotel.txt nella cartella dei dati.") +
                 " Indicare i letti con \"Letti per hotel\".");
        }
        figure("Giorni di apertura", std::to_string(m_hotel.daysOpen));
        const auto bedDays = m_hotel.bedDays();
        figure("Giornate letto (letti x giorni)", bedDays ? std::to_string(*bedDays) : "-");
        line("");
        line("  " + fitted("Nazione", 30) + right("Arrivi", 10) + right("Presenze", 10));
        std::int64_t arrivals = 0, presences = 0;
        for (const NationalityMovement& n : m_hotel.nationalities) {
            line("  " + fitted(nationalityCaption(n.nazione), 30) +
                 right(std::to_string(n.arrivals()), 10) +
                 right(std::to_string(n.presences()), 10));
            addSaturating(arrivals, n.arrivals());
            addSaturating(presences, n.presences());
        }
        line("  " + fitted("Totale", 30) + right(std::to_string(arrivals), 10) +
             right(std::to_string(presences), 10));
    }

    void excluded()
    {
        const std::string check = "presenti notte precedente + arrivi - partenze = presenti";
        if (m_hotel.excluded.empty()) {
            line("Controllo (" + check + "): nessuna differenza.");
            return;
        }
        line("Differenze (" + check + "): righe escluse dai conteggi");
        for (const ExcludedLine& e : m_hotel.excluded)
            line("  " + fitted(e.day ? e.day->toDisplay() : "-", 10) + "  " +
                 fitted(nationalityCaption(e.nazione), 12) + "  pren. n. " +
                 fitted(std::to_string(e.booking), 10) + right(std::to_string(e.persons), 5) +
                 " pers.  arrivo " + fitted(shownDate(e.arrival), 12) + "  partenza " +
                 fitted(shownDate(e.departure), 12) + "  " + faultText(e));
    }

    const MonthMovement& m_month;
    const HotelMovement& m_hotel;
    std::vector<std::string>& m_out;
};

} // namespace

std::vector<std::string> movementText(const MonthMovement& month)
{
    std::vector<std::string> lines;
    for (const HotelMovement& hotel : month.hotels) {
        if (!lines.empty())
            lines.emplace_back();
        HotelText(month, hotel, lines).write();
    }
    if (lines.empty())
        lines.push_back("Movimento clienti - " + monthTitle(month.first) + ": nessun hotel.");
    return lines;
}

} // namespace presenze
