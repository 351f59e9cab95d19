#pragma once
// Pieces of data handed from the thread that makes them to the thread that
// sends them, a few at a time: while the server takes one piece of a COPY,
// the next is being made.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace presenze {

class PieceQueue {
public:
    explicit PieceQueue(std::size_t depth = 4) : m_depth(depth) {}

    // Maker: waits while the queue is full; false once the sender has given
    // up (the piece is dropped).
    bool push(std::string_view piece);
    // Maker: no more pieces.
    void close();

    // Sender: the next piece, nullopt once the maker has closed the queue
    // and every piece is taken.
    std::optional<std::string> pop();
    // Sender: takes no more pieces; the maker's pushes return false.
    void abandon();

private:
    std::size_t m_depth;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::string> m_pieces;
    bool m_closed = false;
    bool m_abandoned = false;
};

} // namespace presenze
