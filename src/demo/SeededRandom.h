#pragma once
// A small seeded random source for generated data (xoshiro256**, seeded by
// splitmix64). Its output depends only on the seed, on every compiler and
// standard library, so a seed names the same data everywhere.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace presenze {

class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed)
    {
        for (auto& word : m_state)
            word = splitMix(seed);
    }

    std::uint64_t next()
    {
        const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
        const std::uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = rotl(m_state[3], 45);
        return result;
    }

    // 0 <= value < bound (bound > 0); multiply-shift, no modulo bias worth
    // speaking of for the small bounds in use.
    std::uint64_t below(std::uint64_t bound)
    {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(next()) * bound) >> 64);
    }

    // low <= value <= high.
    std::int64_t between(std::int64_t low, std::int64_t high)
    {
        return low + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(high - low) + 1));
    }

    // True with a probability of perMille / 1000.
    bool chance(int perMille) { return below(1000) < static_cast<std::uint64_t>(perMille); }

    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[below(items.size())];
    }

    template <typename T, std::size_t N> const T& pick(const T (&items)[N])
    {
        return items[below(N)];
    }

    // An index drawn by weight: cumulative[i] is the sum of the weights of
    // entries 0..i (non-decreasing, last entry > 0).
    std::size_t weighted(const std::vector<std::uint64_t>& cumulative)
    {
        const std::uint64_t target = below(cumulative.back());
        std::size_t low = 0, high = cumulative.size() - 1;
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            if (cumulative[mid] > target)
                high = mid;
            else
                low = mid + 1;
        }
        return low;
    }

    // A new source whose sequence depends on this seed and the stream name,
    // so that adding draws to one part of a data set leaves the others as
    // they were.
    static SeededRandom stream(std::uint64_t seed, std::string_view name)
    {
        std::uint64_t h = 1469598103934665603ull; // FNV-1a
        for (char c : name) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
        return SeededRandom(seed * 0x9E3779B97F4A7C15ull ^ h);
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    static std::uint64_t splitMix(std::uint64_t& x)
    {
        std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    std::uint64_t m_state[4];
};

} // namespace presenze
