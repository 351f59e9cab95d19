#include "istat/IstatCsv.h"

#include "data/AtomicFile.h"
#include "data/Text1252.h"

#include <cstdio>

namespace presenze {
namespace {

// A text field, made safe for a spreadsheet (UTF-8).
std::string field(const std::string& text1252)
{
    std::string text = cp1252ToUtf8(text1252);
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@'))
        text.insert(0, 1, '\'');
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string isoDate(const Date& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

void row(std::string& out, std::int64_t hotel, const std::string& day, const std::string& nation,
         const GuestDay& d, const std::string& rooms)
{
    out += std::to_string(hotel) + ',' + day + ',' + nation + ',' +
           std::to_string(d.presentiNottePrecedente) + ',' + std::to_string(d.arrivi) + ',' +
           std::to_string(d.partenze) + ',' + std::to_string(d.presenti) + ',' + rooms + "\r\n";
}

} // namespace

std::string movementCsv(const MonthMovement& month)
{
    std::string out = "Hotel,Data,Nazione,PresentiNottePrecedente,Arrivi,Partenze,Presenti,"
                      "CamereOccupate\r\n";
    for (const HotelMovement& hotel : month.hotels) {
        std::vector<std::string> nations;
        for (const NationalityMovement& n : hotel.nationalities)
            nations.push_back(field(nationalityCaption(n.nazione)));
        for (std::size_t d = 0; d < static_cast<std::size_t>(month.days); ++d) {
            const std::string day = isoDate(month.first.addDays(static_cast<long>(d)));
            for (std::size_t n = 0; n < nations.size(); ++n)
                if (hotel.nationalities[n].days[d].any())
                    row(out, hotel.hotel, day, nations[n], hotel.nationalities[n].days[d], "");
            row(out, hotel.hotel, day, "Totale", hotel.totals[d],
                std::to_string(hotel.camereOccupate[d]));
        }
    }
    return out;
}

void writeMovementCsv(const MonthMovement& month, const std::filesystem::path& target)
{
    writeFileAtomically(target, movementCsv(month));
}

} // namespace presenze
