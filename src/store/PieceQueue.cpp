#include "store/PieceQueue.h"

namespace presenze {

bool PieceQueue::push(std::string_view piece)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_abandoned || m_pieces.size() < m_depth; });
    if (m_abandoned)
        return false;
    m_pieces.emplace_back(piece);
    m_changed.notify_all();
    return true;
}

void PieceQueue::close()
{
    const std::lock_guard lock(m_mutex);
    m_closed = true;
    m_changed.notify_all();
}

std::optional<std::string> PieceQueue::pop()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_closed || !m_pieces.empty(); });
    if (m_pieces.empty())
        return std::nullopt;
    std::string piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    m_changed.notify_all();
    return piece;
}

void PieceQueue::abandon()
{
    const std::lock_guard lock(m_mutex);
    m_abandoned = true;
    m_pieces.clear();
    m_changed.notify_all();
}

} // namespace presenze
