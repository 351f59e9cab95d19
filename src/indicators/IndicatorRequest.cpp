#include "indicators/IndicatorRequest.h"

namespace presenze {

bool isForwardChoice(int nights)
{
    return nights == 30 || nights == 90 || nights == 365;
}

std::optional<std::string> checkIndicatorPeriod(const IndicatorPeriod& period)
{
    if (period.forward != 0) {
        if (!isForwardChoice(period.forward))
            return std::string("Numero di notti non valido: " + std::to_string(period.forward) +
                               " (30, 90 o 365)");
        if (!period.today.isValid())
            return std::string("Data di oggi non valida");
        return std::nullopt;
    }
    if (auto problem = checkMonthRange(period.months))
        return problem;
    const MonthRange& r = period.months;
    const int months = (r.lastYear - r.firstYear) * 12 + r.lastMonth - r.firstMonth + 1;
    if (months > kMostIndicatorMonths)
        return "Periodo troppo lungo: gli indicatori coprono al massimo " +
               std::to_string(kMostIndicatorMonths) + " mesi.";
    return std::nullopt;
}

} // namespace presenze
