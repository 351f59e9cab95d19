#include "output/IndicatorText.h"

#include "common/KV7Routine.h"
#include "data/Text1252.h"

namespace presenze {

std::string groupedNumber(std::int64_t value)
{
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ".");
    return (negative ? "-" : "") + digits;
}

std::string italianNumber(std::int64_t scaled, int decimals)
{
    std::int64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const bool negative = scaled < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    std::string text =
        groupedNumber(static_cast<std::int64_t>(magnitude / static_cast<std::uint64_t>(unit)));
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % static_cast<std::uint64_t>(unit));
        fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += "," + fraction;
    }
    return (negative ? "-" : "") + text;
}

std::string indicatorValueText(const Ratio& value, ColumnUnit unit)
{
    switch (unit) {
    case ColumnUnit::Count:
        if (const auto v = value.scaled(0))
            return groupedNumber(*v);
        break;
    case ColumnUnit::Fraction:
        if (const auto v = value.scaled(3)) // percent with one decimal
            return italianNumber(*v, 1) + "%";
        break;
    case ColumnUnit::Euro:
    case ColumnUnit::Number:
        if (const auto v = value.scaled(2))
            return italianNumber(*v, 2);
        break;
    }
    return std::string(kNotDefined);
}

std::string indicatorChangeText(const Ratio& current, const Ratio& lastYear)
{
    const auto v = current.changeFrom(lastYear).scaled(3);
    if (!v)
        return std::string(kNotDefined);
    return (*v > 0 ? "+" : "") + italianNumber(*v, 1) + "%";
}

std::string indicatorMonthLabel(const Date& month)
{
    return std::string(trimBlanks(MonthNames[static_cast<std::size_t>(month.month)])) + " " +
           std::to_string(month.year);
}

std::string indicatorHotelLabel(const HotelIndicators& hotel)
{
    const std::string label = std::to_string(hotel.hotel) + " " + hotel.name;
    return hotel.group.empty() ? label : hotel.group + " / " + label;
}

std::string indicatorGroupLabel(const GroupIndicators& group)
{
    return "Totale gruppo " + group.name;
}

std::string indicatorLastLabel(const Indicators& indicators)
{
    return indicators.isChain() ? "Totale catena" : "Totale gruppo";
}

std::string indicatorTitle(const Indicators& indicators)
{
    std::string kind;
    switch (indicators.kind) {
    case BookingKind::Confirmed:
        kind = "prenotazioni confermate";
        break;
    case BookingKind::Optional:
        kind = "prenotazioni opzionate";
        break;
    case BookingKind::All:
        kind = "prenotazioni confermate e opzionate";
        break;
    }
    std::string title = "Indicatori dal " + indicators.firstNight.toDisplay() + " al " +
                        indicators.lastNight.toDisplay() + ", " + kind;
    if (indicators.compare)
        title += ", a confronto con l'anno precedente";
    return title;
}

} // namespace presenze
