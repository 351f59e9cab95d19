#include "reports/type2/FiltroDitte.h"

#include "data/Records.h"
#include "data/Text1252.h"

#include <algorithm>
#include <string>

namespace presenze {
namespace {

bool allDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::vector<std::int64_t> FiltroDitte(const DataFolder& folder)
{
    return companyCodes(readCompanyListLines(folder));
}

std::vector<std::int64_t> companyCodes(const std::vector<std::string>& lines)
{
    std::vector<std::int64_t> codes;
    for (const auto& line : lines) {
        const std::string_view code = trimBlanks(std::string_view(line).substr(0, 6));
        if (!allDigits(code))
            continue;
        std::int64_t value = 0;
        for (const char c : code)
            value = value * 10 + (c - '0'); // at most 6 digits
        codes.push_back(value);
    }
    return codes;
}

} // namespace presenze
