#include "data/TextPool.h"

#include <functional>

namespace presenze {

char* TextPool::room(std::size_t size)
{
    if (size > kBlockSize / 4) {
        m_largeTexts.push_back(std::make_unique<char[]>(size));
        m_large += size;
        return m_largeTexts.back().get();
    }
    if (m_used + size > kBlockSize) {
        m_blocks.push_back(std::make_unique<char[]>(kBlockSize));
        m_used = 0;
    }
    char* at = m_blocks.back().get() + m_used;
    m_used += size;
    return at;
}

PooledText TextPool::add(std::string_view text)
{
    if (text.empty())
        return {};
    PooledText& recent = m_recent[std::hash<std::string_view>()(text) % kRecent];
    if (recent.view() == text)
        return recent;
    const auto size = static_cast<std::uint32_t>(text.size());
    char* at = room(sizeof size + text.size());
    std::memcpy(at, &size, sizeof size);
    std::memcpy(at + sizeof size, text.data(), text.size());
    recent = PooledText(at + sizeof size);
    return recent;
}

} // namespace presenze
