#include "common/Clock.h"

#include <ctime>

namespace presenze {

DateTime SystemClock::now() const
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday}, local.tm_hour, local.tm_min};
}

std::optional<DateTime> parseDateTime(std::string_view text)
{
    if (text.size() != 16 || text[10] != ' ' || text[13] != ':')
        return std::nullopt;
    const auto date = Date::parseDisplay(text.substr(0, 10));
    if (!date)
        return std::nullopt;
    auto two = [&](std::size_t at) {
        const char a = text[at], b = text[at + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9')
            return -1;
        return (a - '0') * 10 + (b - '0');
    };
    const int hour = two(11), minute = two(14);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    return DateTime{*date, hour, minute};
}

} // namespace presenze
