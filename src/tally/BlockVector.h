#pragma once
// A sequence that grows by blocks of a fixed size: an element never moves
// once made, and growing never holds the old and the new storage at once
// (as a vector does while it reallocates), so a long tally's memory is
// what its rows take and no more.

#include <cstddef>
#include <memory>
#include <vector>

namespace presenze {

template <typename T, std::size_t kBlockSize = 4096> class BlockVector {
public:
    std::size_t size() const { return m_size; }

    T& operator[](std::size_t i) { return m_blocks[i / kBlockSize][i % kBlockSize]; }
    const T& operator[](std::size_t i) const { return m_blocks[i / kBlockSize][i % kBlockSize]; }

    // A new element, value-initialised, at the end.
    T& emplace_back()
    {
        if (m_size % kBlockSize == 0)
            // Each element is made as it is added: the block is not cleared
            // beforehand (for a tally's rows that would write every block twice).
            m_blocks.push_back(std::make_unique_for_overwrite<T[]>(kBlockSize));
        T& added = (*this)[m_size++];
        added = T{};
        return added;
    }

    // visit(element) for every element, in order.
    template <typename Visit> void forEach(Visit&& visit) const
    {
        for (std::size_t i = 0; i < m_size; ++i)
            visit((*this)[i]);
    }

private:
    std::vector<std::unique_ptr<T[]>> m_blocks;
    std::size_t m_size = 0;
};

} // namespace presenze
