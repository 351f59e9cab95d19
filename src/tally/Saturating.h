#pragma once
// Counters that stop at the ends of their range instead of wrapping: absurd
// numbers in a data file give absurd totals, never undefined behaviour.

#include <cstdint>
#include <limits>

namespace presenze {

inline std::int64_t saturatingAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

inline std::int64_t saturatingSub(std::int64_t a, std::int64_t b)
{
    std::int64_t difference = 0;
    if (!__builtin_sub_overflow(a, b, &difference))
        return difference;
    return b < 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

inline std::int64_t saturatingMul(std::int64_t a, std::int64_t b)
{
    std::int64_t product = 0;
    if (!__builtin_mul_overflow(a, b, &product))
        return product;
    return (a < 0) == (b < 0) ? std::numeric_limits<std::int64_t>::max()
                              : std::numeric_limits<std::int64_t>::min();
}

inline void addSaturating(std::int64_t& counter, std::int64_t value)
{
    counter = saturatingAdd(counter, value);
}

inline void subtractSaturating(std::int64_t& counter, std::int64_t value)
{
    counter = saturatingSub(counter, value);
}

} // namespace presenze
