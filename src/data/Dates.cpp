#include "data/Dates.h"

#include <cstdio>

namespace presenze {
namespace {

bool digits(std::string_view text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int number(std::string_view text)
{
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

bool Date::isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int Date::daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool Date::isValid() const
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

// Howard Hinnant's days_from_civil / civil_from_days.
long Date::toSerial() const
{
    const long y = year - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date Date::fromSerial(long serial)
{
    serial += 719468;
    const long era = (serial >= 0 ? serial : serial - 146096) / 146097;
    const long doe = serial - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    Date d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
    return d;
}

std::string Date::toKey() const
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
    return buf;
}

std::string Date::toDisplay() const
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", day, month, year);
    return buf;
}

std::optional<Date> Date::parseDisplay(std::string_view text)
{
    if (text.size() != 10 || text[2] != '/' || text[5] != '/')
        return std::nullopt;
    const auto dd = text.substr(0, 2), mm = text.substr(3, 2), yyyy = text.substr(6, 4);
    if (!digits(dd) || !digits(mm) || !digits(yyyy))
        return std::nullopt;
    const Date d{number(yyyy), number(mm), number(dd)};
    if (!d.isValid())
        return std::nullopt;
    return d;
}

std::optional<Date> Date::parseKey(std::string_view text)
{
    if (text.size() != 8 || !digits(text))
        return std::nullopt;
    const Date d{number(text.substr(0, 4)), number(text.substr(4, 2)), number(text.substr(6, 2))};
    if (!d.isValid())
        return std::nullopt;
    return d;
}

} // namespace presenze
