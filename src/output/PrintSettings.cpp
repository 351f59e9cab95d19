#include "output/PrintSettings.h"

#include "common/KV7Routine.h"

#include <algorithm>

namespace presenze {
namespace {

constexpr double kFallbackFontSize = 10.0;

long group(std::string_view text, int k)
{
    const std::size_t start = static_cast<std::size_t>(3 * (k - 1));
    if (start >= text.size())
        return 0;
    return NumericValue(text.substr(start, 3));
}

double usableSize(long size)
{
    return size > 0 ? static_cast<double>(size) : kFallbackFontSize;
}

} // namespace

PrintSettings decodePrintSettings(std::string_view compresso, std::string_view grassetto)
{
    PrintSettings s;
    for (int k = 1; k <= 12; ++k) {
        s.codici[k] = group(compresso, k);
        s.grassetto[k] = static_cast<std::int16_t>(group(grassetto, k));
    }
    return s;
}

PrintSettings defaultPrintSettings()
{
    PrintSettings s;
    s.grassetto[7] = 66;
    s.grassetto[8] = 66;
    return s;
}

int PrintSettings::margin() const
{
    return std::max<int>(0, grassetto[6]);
}

int PrintSettings::physicalLines(bool compressed) const
{
    return compressed ? grassetto[7] : grassetto[8];
}

std::string PrintSettings::startSequence(bool compressed) const
{
    const int first = compressed ? 1 : 7;
    std::string bytes;
    for (int k = first; k < first + 5; ++k) {
        if (codici[k] >= 0 && codici[k] <= 255)
            bytes += static_cast<char>(codici[k]);
    }
    return bytes;
}

double PrintSettings::bodyFontSize(bool compressed) const
{
    return usableSize(compressed ? codici[1] : codici[7]);
}

double PrintSettings::headerFontSize() const
{
    return usableSize(codici[1]);
}

} // namespace presenze
