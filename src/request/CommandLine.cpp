#include "request/CommandLine.h"

#include "data/Text1252.h"

#include <charconv>

namespace presenze {
namespace {

bool parseInt(std::string_view text, long long& value)
{
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool parseHotels(std::string_view text, std::set<std::int64_t>& hotels)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        long long value = 0;
        if (!parseInt(text.substr(start, comma - start), value) || value <= 0)
            return false;
        hotels.insert(value);
        start = comma + 1;
    }
    return !hotels.empty();
}

} // namespace

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

bool parseMonthYear(std::string_view text, int& month, int& year)
{
    const auto slash = text.find('/');
    if (slash == std::string_view::npos || slash == 0 || slash > 2)
        return false;
    const auto yearText = text.substr(slash + 1);
    long long m = 0, y = 0;
    if (yearText.size() != 4 || !parseInt(text.substr(0, slash), m) || !parseInt(yearText, y))
        return false;
    if (text[0] == '-' || text[0] == '+' || yearText[0] == '-' || yearText[0] == '+')
        return false;
    month = static_cast<int>(m);
    year = static_cast<int>(y);
    return true;
}

ParseResult parseReportOptions(const std::vector<std::string>& args)
{
    ReportOptions o;
    bool haveType = false, haveFrom = false, haveTo = false;
    auto failure = [](std::string message) {
        return ParseResult{std::nullopt, std::move(message)};
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--detail") {
            o.selection.summary = false;
        } else if (a == "--company-list") {
            o.selection.companyListOnly = true;
        } else if (a == "--group-top-acs") {
            o.selection.groupTopAcs = true;
        } else if (a == "--arrivals") {
            o.arrivals = true;
        } else if (a.rfind("--", 0) != 0) {
            return failure("Argomento non riconosciuto: " + a);
        } else if (!value(v)) {
            return failure("Manca il valore dell'opzione " + a);
        } else if (a == "--type") {
            if (v != "1" && v != "2")
                return failure("Tipo di stampa non valido: " + v + " (1 o 2)");
            o.kind = v == "1" ? ReportKind::Type1 : ReportKind::Type2;
            haveType = true;
        } else if (a == "--from") {
            if (!parseMonthYear(v, o.range.firstMonth, o.range.firstYear))
                return failure("Mese iniziale non valido: " + v + " (formato MM/AAAA)");
            haveFrom = true;
        } else if (a == "--to") {
            if (!parseMonthYear(v, o.range.lastMonth, o.range.lastYear))
                return failure("Mese finale non valido: " + v + " (formato MM/AAAA)");
            haveTo = true;
        } else if (a == "--data-dir") {
            o.dataDir = v;
        } else if (a == "--station") {
            o.station = utf8ToCp1252(v);
        } else if (a == "--kind") {
            if (v == "confirmed")
                o.selection.kind = BookingKind::Confirmed;
            else if (v == "optional")
                o.selection.kind = BookingKind::Optional;
            else if (v == "all")
                o.selection.kind = BookingKind::All;
            else
                return failure("Tipo di prenotazioni non valido: " + v +
                               " (confirmed, optional o all)");
        } else if (a == "--hotels") {
            std::set<std::int64_t> hotels;
            if (!parseHotels(v, hotels))
                return failure("Elenco di hotel non valido: " + v + " (esempio: 1,3,5)");
            o.selection.tickedHotels = std::move(hotels);
        } else if (a == "--company") {
            o.selection.singleCompany = true;
            o.selection.company = utf8ToCp1252(v);
        } else if (a == "--season") {
            // A prefix of the booking files' names: it never names a folder.
            // Checked as the program will use it, after the conversion.
            o.selection.season = utf8ToCp1252(v);
            for (const char c : o.selection.season)
                if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
                    return failure("Stagione non valida: " + v +
                                   " (un prefisso dei nomi dei file, senza cartelle)");
        } else if (a == "--xlsx") {
            o.xlsx = v;
        } else if (a == "--chart") {
            o.chart = v;
        } else if (a == "--now") {
            o.now = parseDateTime(v);
            if (!o.now)
                return failure("Data e ora non valide: " + v + " (formato \"GG/MM/AAAA hh:mm\")");
        } else {
            return failure("Opzione non riconosciuta: " + a);
        }
    }
    if (!haveType)
        return failure("Indicare il tipo di stampa con --type 1 o --type 2");
    if (!haveFrom)
        return failure("Indicare il primo mese con --from MM/AAAA");
    if (!haveTo) {
        o.range.lastMonth = o.range.firstMonth;
        o.range.lastYear = o.range.firstYear;
    }
    if (auto problem = checkMonthRange(o.range))
        return failure(cp1252ToUtf8(*problem));
    return {std::move(o), {}};
}

} // namespace presenze
