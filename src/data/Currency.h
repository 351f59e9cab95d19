#pragma once
// Currency amounts as the booking software keeps them: a 64-bit fixed-point
// count of 1/10000 units.

#include <cstdint>
#include <string>
#include <string_view>

namespace presenze {

struct Currency {
    static constexpr std::int64_t kScale = 10000;
    std::int64_t units = 0; // 1/10000 of the currency unit

    static Currency fromDouble(double value);                // rounded half away from zero
    static bool parse(std::string_view text, Currency& out); // "12.75", "-3", "1e2" not accepted
    static Currency whole(std::int64_t value) { return {value * kScale}; }

    // Nearest whole number, ties to the even number.
    std::int64_t roundToEven() const;
    double toDouble() const { return static_cast<double>(units) / kScale; }
    // Exact decimal text with four decimals: "12.7500", "-0.5000".
    std::string toText() const;

    friend bool operator==(Currency a, Currency b) { return a.units == b.units; }
    Currency& operator+=(Currency other);
};

} // namespace presenze
