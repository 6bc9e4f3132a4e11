// Memory blocks, small and large: every byte usable, ownership moves, memory given back.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/MemoryBlock.h"

namespace {

using platform::MemoryBlock;

class MemoryBlockSizes : public testing::TestWithParam<std::size_t> {};

TEST_P(MemoryBlockSizes, HoldsWhatIsWrittenToEveryByte) {
    const std::size_t size = GetParam();
    const std::size_t mappedBefore = MemoryBlock::MappedBytes();
    {
        MemoryBlock block(size);
        ASSERT_NE(block.Data(), nullptr);
        ASSERT_EQ(block.Size(), size);
        std::memset(block.Data(), 'x', size);
        block.Data()[0] = 'a';
        block.Data()[size - 1] = 'z';
        MemoryBlock moved(std::move(block));
        EXPECT_EQ(block.Data(), nullptr);
        EXPECT_EQ(moved.Data()[0], 'a');
        EXPECT_EQ(moved.Data()[size / 2], 'x');
        EXPECT_EQ(moved.Data()[size - 1], 'z');
        EXPECT_LE(MemoryBlock::MappedBytes() - mappedBefore, size);
    }
    EXPECT_EQ(MemoryBlock::MappedBytes(), mappedBefore);
}

INSTANTIATE_TEST_SUITE_P(SmallAndLarge, MemoryBlockSizes,
                         testing::Values(std::size_t{3}, std::size_t{4096}, MemoryBlock::kLargeBlock - 1,
                                         MemoryBlock::kLargeBlock, 3 * MemoryBlock::kLargeBlock + 12345));

TEST(MemoryBlock, MovingOntoABlockReleasesItsMemory) {
    const std::size_t mappedBefore = MemoryBlock::MappedBytes();
    std::vector<MemoryBlock> blocks;
    for (int i = 0; i < 4; ++i) blocks.emplace_back(MemoryBlock::kLargeBlock);
    blocks[0] = std::move(blocks[1]);
    blocks[2] = MemoryBlock(16);
    blocks.clear();
    EXPECT_EQ(MemoryBlock::MappedBytes(), mappedBefore);
}

}  // namespace
