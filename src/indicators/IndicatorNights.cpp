#include "indicators/IndicatorNights.h"

#include <algorithm>

namespace presenze {

Date sameDateLastYear(const Date& date)
{
    Date last{date.year - 1, date.month, date.day};
    if (!last.isValid())
        last.day = Date::daysInMonth(last.year, last.month);
    return last;
}

namespace {

std::vector<long> nightsOfMonth(int year, int month)
{
    std::vector<long> nights;
    const long first = Date{year, month, 1}.toSerial();
    for (int d = 0; d < Date::daysInMonth(year, month); ++d)
        nights.push_back(first + d);
    return nights;
}

std::vector<MonthNights> calendarMonths(const MonthRange& r)
{
    std::vector<MonthNights> months;
    for (int year = r.firstYear, month = r.firstMonth;
         year * 100 + month <= r.lastYear * 100 + r.lastMonth;) {
        months.push_back(
            {Date{year, month, 1}, nightsOfMonth(year, month), nightsOfMonth(year - 1, month)});
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return months;
}

std::vector<MonthNights> forwardNights(const Date& today, int count)
{
    std::vector<MonthNights> months;
    for (int i = 0; i < count; ++i) {
        const Date night = today.addDays(i);
        if (months.empty() || months.back().month.month != night.month ||
            months.back().month.year != night.year)
            months.push_back({Date{night.year, night.month, 1}, {}, {}});
        months.back().nights.push_back(night.toSerial());
        months.back().lastYear.push_back(sameDateLastYear(night).toSerial());
    }
    return months;
}

} // namespace

NightSpan spanOf(const std::vector<MonthNights>& months, bool compare)
{
    NightSpan span;
    bool any = false;
    for (const MonthNights& m : months) {
        for (int side = 0; side < (compare ? 2 : 1); ++side) {
            for (const long night : side == 0 ? m.nights : m.lastYear) {
                span.first = any ? std::min(span.first, night) : night;
                span.last = any ? std::max(span.last, night) : night;
                any = true;
            }
        }
    }
    return span;
}

std::vector<MonthNights> periodNights(const IndicatorPeriod& period)
{
    if (period.forward > 0)
        return forwardNights(period.today, period.forward);
    return calendarMonths(period.months);
}

} // namespace presenze
