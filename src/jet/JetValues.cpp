#include "jet/JetValues.h"

#include "data/Dates.h"

#include <cmath>
#include <cstdio>

namespace presenze {
namespace {

constexpr long kEpochSerial = -25569; // 30/12/1899 in days since 1970-01-01
constexpr double kSecondsPerDay = 86400.0;

} // namespace

std::optional<std::string> jetDateText(double days)
{
    // Years 100..9999 lie well inside this bound; it keeps the casts defined.
    if (!std::isfinite(days) || std::fabs(days) > 4.0e6)
        return std::nullopt;
    const double whole = std::trunc(days);
    long serial = kEpochSerial + static_cast<long>(whole);
    long seconds = std::lround(std::fabs(days - whole) * kSecondsPerDay);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++serial;
    }
    const Date date = Date::fromSerial(serial);
    if (date.year < 100 || date.year > 9999)
        return std::nullopt;
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02ld:%02ld:%02ld", date.year, date.month,
                  date.day, seconds / 3600, seconds / 60 % 60, seconds % 60);
    return std::string(text);
}

std::string jetGuidText(const unsigned char* b)
{
    // The first three groups are little-endian, the rest is kept in order.
    char text[40];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

} // namespace presenze
