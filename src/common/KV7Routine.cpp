#include "common/KV7Routine.h"

#include "common/BoxDrawing.h"
#include "data/CompanyListLine.h"
#include "data/Records.h"
#include "data/Text1252.h"

#include <algorithm>
#include <limits>

namespace presenze {

const std::array<std::string, 13> MonthNames{
    "",          "Gennaio  ", "Febbraio ", "Marzo    ", "Aprile   ", "Maggio   ", "Giugno   ",
    "Luglio   ", "Agosto   ", "Settembre", "Ottobre  ", "Novembre ", "Dicembre "};
const std::array<std::string, 7> WeekdayNames{
    "Luned\xEC", "Marted\xEC", "Mercoled\xEC", "Gioved\xEC", "Venerd\xEC", "Sabato", "Domenica"};

std::array<std::string, 101> ReadCompanyList(const DataFolder& folder)
{
    return CompanyListOf(readCompanyListLines(folder));
}

std::array<std::string, 101> CompanyListOf(const std::vector<std::string>& lines)
{
    std::array<std::string, 101> list;
    for (std::size_t j = 0; j < lines.size() && j < 100; ++j)
        list[j + 1] = parseCompanyListLine(lines[j]).name;
    return list;
}

void FillCalendarTables()
{
    DaysInMonth = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

std::int16_t InElencoDitte(std::string_view name, const std::array<std::string, 101>& list)
{
    const std::string_view wanted = trimBlanks(name);
    for (std::size_t i = 1; i < 100; ++i) {
        const std::string_view entry = trimBlanks(list[i]);
        if (entry.empty())
            break;
        if (entry == wanted)
            return 1;
    }
    return 0;
}

bool Bisestile(std::int16_t year)
{
    return year % 4 == 0;
}

long NumericValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (std::numeric_limits<long>::max() - 9) / 10)
            break;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

namespace {

int yearLength(long year)
{
    return year % 4 == 0 ? 366 : 365;
}

int monthLength(int month, long year)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
}

} // namespace

std::int16_t GiornoSettimana(std::string_view date)
{
    const long d = NumericValue(date.substr(0, std::min<std::size_t>(2, date.size())));
    const long m = date.size() >= 5 ? NumericValue(date.substr(3, 2)) : 0;
    const long y = NumericValue(date.size() >= 4 ? date.substr(date.size() - 4) : date);
    if (m < 1 || m > 12)
        return 0;
    // Days from 01/01/1996 (a Monday) to the first of month m of year y,
    // counting every fourth year as a leap year, as the calendar walk does.
    long count = 0;
    const long years = std::clamp(y, -100000L, 100000L);
    for (long year = 1996; year < years; ++year)
        count += yearLength(year);
    for (long year = years; year < 1996; ++year)
        count -= yearLength(year);
    for (int month = 1; month < m; ++month)
        count += monthLength(month, years);
    count += d - 1;
    if (years > 1996 || (years == 1996 && m > 1))
        DaysInMonth[2] = (m > 1 ? years : years - 1) % 4 == 0 ? 29 : 28;
    const long r = count % 7;
    return static_cast<std::int16_t>(r < 0 ? r + 7 : r);
}

std::string& TogliGrafica(std::string& text)
{
    for (char& c : text) {
        switch (static_cast<unsigned char>(c)) {
        case box::code(box::kVertical):
        case box::code(box::kRightT):
        case box::code(box::kLeftT):
        case 183: // the double-line pieces
        case 186:
        case 204:
            c = '|';
            break;
        case box::code(box::kTopRight):
        case box::code(box::kBottomLeft):
        case box::code(box::kBottomT):
        case box::code(box::kTopT):
        case box::code(box::kHorizontal):
        case box::code(box::kCross):
        case box::code(box::kBottomRight):
        case box::code(box::kTopLeft):
        case 187: // the double-line pieces
        case 188:
        case 200:
        case 201:
        case 202:
        case 203:
        case 206:
            c = '-';
            break;
        default:
            break;
        }
    }
    return text;
}

std::string FiltraTesto(std::string_view text, std::int16_t mode)
{
    std::string out;
    for (char raw : text) {
        const char c = upperCp1252(raw);
        if (mode == 0)
            out += c == '\'' ? '\xB4' : c;
        else if (mode == 1 && ((c >= '0' && c <= '9') || c == ',' || c == '-'))
            out += c;
    }
    if (out.empty())
        out = mode == 0 ? " " : "0";
    return out;
}

std::string& DataEstesa(std::string& text)
{
    if (text.size() == 6) {
        const char* century = NumericValue(text.substr(4, 2)) < 20 ? "/20" : "/19";
        text = text.substr(0, 2) + "/" + text.substr(2, 2) + century + text.substr(4, 2);
    } else if (text.size() == 8) {
        text = text.substr(0, 2) + "/" + text.substr(2, 2) + "/" + text.substr(4, 4);
    }
    return text;
}

} // namespace presenze
