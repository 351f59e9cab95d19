#pragma once
// The records of a COPY, gathered in pieces (no record moves while the rows
// come) and handed over in the order of their place in the file. The rows
// come in the order they lie in on the server, which is not quite the
// file's (a COPY fills the room left in earlier pages, a new version of a
// row goes elsewhere): the places, unique and nearly all taken, put each
// record in its slot, and each record is moved once. At most 2^32 - 1
// records.
//
//   FileOrderRows<RoomLine> rows;
//   connection.copyOut(sql, [&](std::string_view text) { rows.add().order = ...; });
//   std::vector<RoomLine> lines = rows.take([](const RoomLine& l) { return l.order; });

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace presenze {

template <typename Record> class FileOrderRows {
public:
    // A new record after the others, to fill in.
    Record& add()
    {
        if (m_pieces.empty() || m_pieces.back().size() == kPiece) {
            m_pieces.emplace_back();
            m_pieces.back().reserve(kPiece);
        }
        ++m_count;
        return m_pieces.back().emplace_back();
    }

    // Every record added, in the order of `place` (its place in the file,
    // an integer); the rows are left empty.
    template <typename Place> std::vector<Record> take(const Place& place)
    {
        const std::vector<std::uint32_t> order = fileOrder(place);
        std::vector<Record> records;
        records.reserve(m_count);
        for (const std::uint32_t k : order)
            records.push_back(std::move(m_pieces[k / kPiece][k % kPiece]));
        m_pieces.clear();
        m_count = 0;
        return records;
    }

private:
    static constexpr std::size_t kPiece = 8192;

    const Record& at(std::size_t k) const { return m_pieces[k / kPiece][k % kPiece]; }

    // The records' numbers in file order.
    template <typename Place> std::vector<std::uint32_t> fileOrder(const Place& place) const
    {
        std::vector<std::uint32_t> order;
        order.reserve(m_count);
        if (m_count == 0)
            return order;
        std::int64_t first = place(at(0));
        std::int64_t last = first;
        for (std::size_t k = 1; k < m_count; ++k) {
            first = std::min(first, place(at(k)));
            last = std::max(last, place(at(k)));
        }
        // The places of a season's rows run from 1 to its count; a window of
        // dates leaves gaps.
        constexpr std::uint32_t kEmpty = std::numeric_limits<std::uint32_t>::max();
        const auto span = static_cast<std::uint64_t>(last) - static_cast<std::uint64_t>(first);
        if (span < 4 * static_cast<std::uint64_t>(m_count) + 1024) {
            std::vector<std::uint32_t> slots(span + 1, kEmpty);
            bool unique = true;
            for (std::size_t k = 0; k < m_count && unique; ++k) {
                std::uint32_t& slot = slots[static_cast<std::size_t>(place(at(k)) - first)];
                unique = slot == kEmpty;
                slot = static_cast<std::uint32_t>(k);
            }
            if (unique) {
                for (const std::uint32_t k : slots)
                    if (k != kEmpty)
                        order.push_back(k);
                return order;
            }
        }
        std::vector<std::pair<std::int64_t, std::uint32_t>> keys;
        keys.reserve(m_count);
        for (std::size_t k = 0; k < m_count; ++k)
            keys.emplace_back(place(at(k)), static_cast<std::uint32_t>(k));
        std::sort(keys.begin(), keys.end());
        for (const auto& key : keys)
            order.push_back(key.second);
        return order;
    }

    std::vector<std::vector<Record>> m_pieces;
    std::size_t m_count = 0;
};

} // namespace presenze
