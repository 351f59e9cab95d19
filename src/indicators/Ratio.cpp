#include "indicators/Ratio.h"

#include "data/DataError.h"

namespace presenze {
namespace {

// Far below the limits of __int128 whatever two products of int64 sums give;
// beyond it a ratio is refused rather than wrapped.
constexpr __int128 kLargest = static_cast<__int128>(1) << 120;

__int128 magnitude(__int128 v)
{
    return v < 0 ? -v : v;
}

__int128 checkedProduct(__int128 a, __int128 b)
{
    __int128 product = 0;
    if (__builtin_mul_overflow(a, b, &product) || magnitude(product) > kLargest)
        throw DataError("Valore troppo grande per gli indicatori");
    return product;
}

} // namespace

Ratio::Ratio(__int128 numerator, __int128 denominator) : m_num(numerator), m_den(denominator)
{
    if (m_den < 0) {
        m_num = -m_num;
        m_den = -m_den;
    }
    if (m_den == 0)
        m_num = 0;
}

std::optional<std::int64_t> Ratio::scaled(int decimals) const
{
    if (!defined())
        return std::nullopt;
    __int128 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const __int128 n = checkedProduct(m_num, scale);
    __int128 q = n / m_den;
    const __int128 r = n % m_den; // same sign as n
    if (2 * magnitude(r) >= m_den)
        q += n < 0 ? -1 : 1;
    if (magnitude(q) > INT64_MAX)
        throw DataError("Valore troppo grande per gli indicatori");
    return static_cast<std::int64_t>(q);
}

std::optional<double> Ratio::value() const
{
    if (!defined())
        return std::nullopt;
    return static_cast<double>(m_num) / static_cast<double>(m_den);
}

Ratio Ratio::changeFrom(const Ratio& before) const
{
    if (!defined() || !before.defined() || before.m_num == 0)
        return {};
    // a/b against c/d: (a d - c b) / (c b)
    return {checkedProduct(m_num, before.m_den) - checkedProduct(before.m_num, m_den),
            checkedProduct(before.m_num, m_den)};
}

} // namespace presenze
