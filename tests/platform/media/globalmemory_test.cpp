#include <gtest/gtest.h>

#include <algorithm>

#include "platform/media/globalmemory.h"

namespace {

using namespace media;

TEST(GlobalMemory, FixedBlocksZeroFilledOnRequest) {
    constexpr std::size_t size = 1382400;  // a stereo 44.1 kHz buffer of 300 frames
    GlobalMemory block(static_cast<std::uint8_t*>(GlobalAlloc(GPTR, size)));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(std::all_of(block.get(), block.get() + size, [](auto b) { return b == 0; }));
    block[size - 1] = 1;  // the whole block is writable

    HGLOBAL empty = GlobalAlloc(GMEM_FIXED, 0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(GlobalFree(empty), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(GlobalMemory, MoveableMemoryIsNotOffered) {
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 16), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16), nullptr);
}

}  // namespace
