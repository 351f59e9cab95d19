#include "data/CompanyListLine.h"

#include "data/Text1252.h"

#include <algorithm>

namespace presenze {

std::string companyListLine(std::int64_t code, std::string_view name)
{
    std::string text = std::to_string(code);
    if (text.size() < kCompanyCodeWidth)
        text.insert(0, kCompanyCodeWidth - text.size(), ' ');
    return text + " " + std::string(name);
}

CompanyListEntry parseCompanyListLine(std::string_view line)
{
    CompanyListEntry entry;
    const std::string_view code = trimBlanks(line.substr(0, kCompanyCodeWidth));
    if (!code.empty() &&
        std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        std::int64_t value = 0;
        for (const char c : code)
            value = value * 10 + (c - '0'); // at most 6 digits
        entry.code = value;
    }
    if (line.size() > kCompanyCodeWidth + 1)
        entry.name = std::string(trimBlanks(line.substr(kCompanyCodeWidth + 1)));
    return entry;
}

bool fitsCompanyListLine(std::string_view line)
{
    return line.size() > kCompanyCodeWidth && line[kCompanyCodeWidth] == ' ';
}

} // namespace presenze
