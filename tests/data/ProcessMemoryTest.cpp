#include "data/ProcessMemory.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <numeric>

using namespace presenze;

// A mapped vector keeps its elements as it grows from the heap into blocks
// mapped on their own and back, whatever size a block has.
TEST(MappedVector, KeepsItsElementsAcrossHeapAndMappedBlocks)
{
    for (const std::size_t count :
         {std::size_t{0}, std::size_t{1000}, std::size_t{1} << 20, (std::size_t{3} << 20) + 7}) {
        MappedVector<std::uint32_t> values;
        for (std::size_t i = 0; i < count; ++i)
            values.push_back(static_cast<std::uint32_t>(i * 7));
        MappedVector<std::uint32_t> copy = values;
        values.clear();
        values.shrink_to_fit();
        ASSERT_EQ(copy.size(), count);
        std::uint64_t sum = 0;
        for (const std::uint32_t v : copy)
            sum += v;
        EXPECT_EQ(sum, count == 0 ? 0 : 7 * (std::uint64_t{count} * (count - 1) / 2)) << count;
    }
}
