#pragma once
// An exact quotient of two whole numbers, as the indicators are: a ratio of
// sums (occupancy, rates, averages) or a change between two of them. A ratio
// whose denominator is 0 has no value ("n.d."), never a 0 nor a division by
// zero. Rounding is done once, half away from zero, on the exact quotient.

#include <cstdint>
#include <optional>

namespace presenze {

class Ratio {
public:
    Ratio() = default;
    Ratio(__int128 numerator, __int128 denominator);

    // A whole number as a ratio.
    static Ratio whole(std::int64_t value) { return {value, 1}; }

    bool defined() const { return m_den != 0; }
    // The value in units of 10^-decimals (decimals 0..6), rounded half away
    // from zero; nullopt without a value.
    std::optional<std::int64_t> scaled(int decimals) const;
    // The value as a double; nullopt without a value.
    std::optional<double> value() const;

    // (this - before) / before: the change from `before`, as a fraction;
    // no value when either has none or `before` is 0.
    Ratio changeFrom(const Ratio& before) const;

private:
    __int128 m_num = 0;
    __int128 m_den = 0; // above 0 whenever defined
};

} // namespace presenze
