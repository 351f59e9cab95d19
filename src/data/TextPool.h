#pragma once
// Texts of many records kept together: each text is copied once into large
// blocks of the pool (a text equal to one met a moment before shares its
// copy) and the records hold an 8-byte PooledText that reads as a
// string_view. A PooledText stays valid while its pool lives; a pool moves
// without moving its texts.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace presenze {

class PooledText {
public:
    PooledText() = default;

    std::string_view view() const
    {
        std::uint32_t size = 0;
        std::memcpy(&size, m_at - sizeof size, sizeof size);
        return {m_at, size};
    }
    operator std::string_view() const { return view(); }
    bool empty() const { return view().empty(); }
    // Where the text lies, without reading it (to ask for it ahead).
    const void* address() const { return m_at; }

    friend bool operator==(PooledText a, std::string_view b) { return a.view() == b; }

private:
    friend class TextPool;
    explicit PooledText(const char* at) : m_at(at) {}

    // The text's bytes; its size stands in the four bytes before them.
    static constexpr char kEmpty[sizeof(std::uint32_t) + 1] = {};
    const char* m_at = kEmpty + sizeof(std::uint32_t);
};

class TextPool {
public:
    TextPool() = default;
    TextPool(TextPool&&) = default;
    TextPool& operator=(TextPool&&) = default;
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;

    PooledText add(std::string_view text);

    // The bytes the pool holds, for the curious.
    std::size_t bytes() const { return m_blocks.size() * kBlockSize + m_large; }

private:
    static constexpr std::size_t kBlockSize = 1 << 16;
    static constexpr std::size_t kRecent = 4096;

    char* room(std::size_t size);

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<std::unique_ptr<char[]>> m_largeTexts; // longer than a block
    std::size_t m_used = kBlockSize;                   // in the last block
    std::size_t m_large = 0;
    // Texts met lately, by hash: most repeated texts (kinds, nations,
    // companies) are found here and stored once.
    std::vector<PooledText> m_recent = std::vector<PooledText>(kRecent);
};

} // namespace presenze
