#include "data/Currency.h"

#include "data/DataError.h"

#include <cmath>
#include <limits>

namespace presenze {

Currency Currency::fromDouble(double value)
{
    const double scaled = value * static_cast<double>(kScale);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
        throw DataError("Importo fuori dai limiti della valuta");
    return {std::llround(scaled)};
}

bool Currency::parse(std::string_view text, Currency& out)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t whole = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (whole > (std::numeric_limits<std::int64_t>::max() / kScale - 9) / 10)
            return false;
        whole = whole * 10 + (text[i] - '0');
        digits = true;
    }
    std::int64_t fraction = 0;
    int places = 0;
    bool roundUp = false;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            digits = true;
            if (places < 4) {
                fraction = fraction * 10 + (text[i] - '0');
                ++places;
            } else if (places == 4) {
                roundUp = text[i] >= '5';
                ++places;
            }
        }
    }
    if (!digits || i != text.size())
        return false;
    for (int p = std::min(places, 4); p < 4; ++p)
        fraction *= 10;
    std::int64_t units = whole * kScale + fraction + (roundUp ? 1 : 0);
    out.units = negative ? -units : units;
    return true;
}

std::int64_t Currency::roundToEven() const
{
    std::int64_t q = units / kScale;
    std::int64_t r = units % kScale;
    if (r < 0) {
        r += kScale;
        --q;
    }
    // now units = q * kScale + r with 0 <= r < kScale
    if (r * 2 > kScale || (r * 2 == kScale && (q % 2 != 0)))
        ++q;
    return q;
}

std::string Currency::toText() const
{
    const bool negative = units < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(units + 1)) + 1 : static_cast<std::uint64_t>(units);
    std::string fraction = std::to_string(magnitude % kScale);
    fraction.insert(0, 4 - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / kScale) + "." + fraction;
}

Currency& Currency::operator+=(Currency other)
{
    if (__builtin_add_overflow(units, other.units, &units))
        throw DataError("Superamento della capacit\xE0 di un importo");
    return *this;
}

} // namespace presenze
