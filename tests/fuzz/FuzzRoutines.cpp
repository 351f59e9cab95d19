// The shared routines on any text: FiltraTesto, DataEstesa, GiornoSettimana
// (against a calendar counted day by day), TogliGrafica, Converti2,
// NumericValue, InElencoDitte.

#include "FuzzSupport.h"
#include "common/KV7Routine.h"
#include "data/Text1252.h"
#include "output/LineConversion.h"

#include <array>
#include <cstdio>

using namespace presenze;

namespace {

// Days from 01/01/1996 with every fourth year a leap year, walked month by
// month: the calendar GiornoSettimana counts in.
long daysFrom1996(int day, int month, int year)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long count = 0;
    for (int y = 1996; y < year; ++y)
        count += y % 4 == 0 ? 366 : 365;
    for (int m = 1; m < month; ++m)
        count += m == 2 && year % 4 == 0 ? 29 : kDays[m - 1];
    return count + day - 1;
}

void checkFiltraTesto(std::string_view text, std::int16_t mode)
{
    const std::string out = FiltraTesto(text, mode);
    if (out.empty())
        fuzz::broken("FiltraTesto gave an empty text");
    if (mode == 0) {
        if (out.find('\'') != std::string::npos)
            fuzz::broken("FiltraTesto mode 0 kept an apostrophe");
        if (out.size() != (text.empty() ? 1 : text.size()))
            fuzz::broken("FiltraTesto mode 0 changed the length");
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] != '\'' && out[i] != upperCp1252(text[i]))
                fuzz::broken("FiltraTesto mode 0 changed a character");
    } else {
        for (const char c : out)
            if (!((c >= '0' && c <= '9') || c == ',' || c == '-'))
                fuzz::broken("FiltraTesto kept a character it filters out");
        if (mode != 1 && out != "0")
            fuzz::broken("FiltraTesto of another mode kept something");
    }
}

void checkDataEstesa(std::string_view text)
{
    std::string date(text);
    const std::string& result = DataEstesa(date);
    if (&result != &date)
        fuzz::broken("DataEstesa returned another text");
    if (text.size() == 6 || text.size() == 8) {
        if (date.size() != 10 || date[2] != '/' || date[5] != '/' ||
            date.substr(0, 2) != text.substr(0, 2) || date.substr(3, 2) != text.substr(2, 2))
            fuzz::broken("DataEstesa: not DD/MM/YYYY");
        if (text.size() == 8 && date.substr(6) != text.substr(4))
            fuzz::broken("DataEstesa: year changed");
        if (text.size() == 6 && date.substr(8) != text.substr(4))
            fuzz::broken("DataEstesa: two-digit year changed");
    } else if (date != text) {
        fuzz::broken("DataEstesa changed a text of another length");
    }
}

void checkGiornoSettimana(std::string_view text, const std::uint8_t* data, std::size_t size)
{
    const std::int16_t any = GiornoSettimana(text);
    if (any < 0 || any > 6)
        fuzz::broken("GiornoSettimana outside 0..6");
    if (size < 4)
        return;
    // A real date built from the input, against the day count.
    const int year = 1996 + (data[0] | (data[1] << 8)) % 300;
    const int month = 1 + data[2] % 12;
    const int day = 1 + data[3] % 31;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", day, month, year);
    const std::int16_t weekday = GiornoSettimana(buffer);
    if (weekday != daysFrom1996(day, month, year) % 7)
        fuzz::broken(std::string("GiornoSettimana wrong for ") + buffer);
    if (DaysInMonth[2] != ((month > 1 ? year : year - 1) % 4 == 0 ? 29 : 28) &&
        !(year == 1996 && month == 1))
        fuzz::broken(std::string("DaysInMonth(2) wrong after ") + buffer);
}

void checkLineConversions(std::string_view text)
{
    std::string line(text);
    TogliGrafica(line);
    if (line.size() != text.size())
        fuzz::broken("TogliGrafica changed the length");
    for (const unsigned char c : line)
        for (const int code : {179, 180, 183, 186, 195, 204, 187, 188, 191, 192, 193,
                               194, 196, 197, 200, 201, 202, 203, 206, 217, 218})
            if (c == code)
                fuzz::broken("TogliGrafica left a box-drawing byte");
    // One character drawn for each byte: the columns stay.
    const std::string printed = Converti2(text);
    std::size_t characters = 0;
    for (const unsigned char c : printed)
        characters += (c & 0xC0) != 0x80;
    if (characters != text.size())
        fuzz::broken("Converti2 changed the length");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    checkFiltraTesto(text, 0);
    checkFiltraTesto(text, 1);
    checkFiltraTesto(text, size ? static_cast<std::int16_t>(data[0] - 128) : 2);
    checkDataEstesa(text);
    checkDataEstesa(text.substr(0, std::min<std::size_t>(text.size(), 6)));
    checkDataEstesa(text.substr(0, std::min<std::size_t>(text.size(), 8)));
    checkGiornoSettimana(text, data, size);
    checkLineConversions(text);
    NumericValue(text);

    // The company list: entries from the input's lines.
    std::array<std::string, 101> list;
    std::size_t start = 0, entry = 1;
    while (start <= text.size() && entry < list.size()) {
        const auto end = std::min(text.find('\n', start), text.size());
        list[entry++] = std::string(text.substr(start, end - start));
        start = end + 1;
    }
    const std::int16_t found = InElencoDitte(list[1], list);
    if (found != 0 && found != 1)
        fuzz::broken("InElencoDitte not 0 or 1");
    if (!trimBlanks(list[1]).empty() && found != 1)
        fuzz::broken("InElencoDitte misses the first entry");
    return 0;
}
