// The bit reader: most-significant bit first, loaded variants, skips, end mark and bounds.
#include <gtest/gtest.h>

#include <vector>

#include "audio/mpeg/bitreader.h"

namespace {

using mpeg::BitReader;

TEST(BitReader, ReadsMostSignificantBitFirst) {
    const std::uint8_t a[] = {0xFF, 0x00};
    BitReader r;
    r.Start(a, 2);
    EXPECT_EQ(r.Read(8), 255u);
    EXPECT_EQ(r.Read(8), 0u);
    const std::uint8_t b[] = {0x80};
    r.Start(b, 1);
    EXPECT_EQ(r.Read(1), 1u);
    EXPECT_EQ(r.Read(7), 0u);
    const std::uint8_t c[] = {0xA5, 0x3C, 0x0F, 0xF0, 0x12, 0x34};
    r.Start(c, 6);
    EXPECT_EQ(r.Read(4), 0xAu);
    EXPECT_EQ(r.Read(12), 0x53Cu);
    EXPECT_EQ(r.Read(24), 0x0FF012u);
    EXPECT_EQ(r.Read(0), 0u);
    EXPECT_EQ(r.ReadWithMargin(8), 0x34u);
}

TEST(BitReader, PeekDropAndLoadedVariants) {
    const std::uint8_t a[] = {0xC3, 0x5A, 0x99, 0x00, 0x77};
    BitReader p;
    BitReader q;
    p.Start(a, 5);
    q.Start(a, 5);
    EXPECT_EQ(p.Peek(4), 0xCu);
    p.DropLoaded(4);
    EXPECT_EQ(q.Read(4), 0xCu);
    EXPECT_EQ(p.BitsUsed(), q.BitsUsed());
    EXPECT_EQ(p.Read(12), q.Read(12));
    p.Ensure(16);
    EXPECT_EQ(p.PeekLoaded(3), 0x4u);
    EXPECT_EQ(p.ReadOneLoaded(), 1u);
    EXPECT_EQ(p.ReadLoaded(7), 0x19u);
}

TEST(BitReader, SkipAndBitsUsed) {
    std::vector<std::uint8_t> a = {0x00, 0x00, 0xF7, 0x80, 0x01};
    BitReader r;
    r.Start(a.data(), 5);
    r.Skip(20);  // two whole bytes, then 4 bits of the third
    EXPECT_EQ(r.BitsUsed(), 20);
    EXPECT_EQ(r.Read(4), 0x7u);
    EXPECT_EQ(r.Read(1), 1u);
    r.Start(a.data(), 5);
    r.Read(13);
    EXPECT_EQ(r.BitsUsed(), 13);
    r.Skip(3);  // within the loaded bits
    EXPECT_EQ(r.BitsUsed(), 16);
    EXPECT_EQ(r.Read(8), 0xF7u);
}

// Reads past the end of the data give zero bits and touch nothing beyond it; the end mark
// tells when the reader has gone past a limit.
TEST(BitReader, StaysWithinItsDataAndReportsTheEndMark) {
    std::vector<std::uint8_t> a = {0xFF, 0xFF, 0xAB, 0xCD};
    BitReader r;
    r.Start(a.data(), 2);  // the last two bytes are not part of the data
    EXPECT_EQ(r.Read(16), 0xFFFFu);
    EXPECT_EQ(r.Read(16), 0u);
    EXPECT_EQ(r.Read(24), 0u);
    r.Start(a.data(), 2);
    r.Skip(1000);
    EXPECT_EQ(r.Read(8), 0u);
    r.Start(a.data(), 0);
    EXPECT_EQ(r.Read(24), 0u);

    r.Start(a.data(), 4);
    r.SetEndMark(1);
    EXPECT_FALSE(r.PastEnd());
    r.Read(1);  // loads all four bytes
    EXPECT_TRUE(r.PastEnd());
    r.Start(a.data(), 4);
    r.SetEndMark(4);
    r.Read(24);
    EXPECT_FALSE(r.PastEnd());
    r.Read(16);
    EXPECT_TRUE(r.PastEnd());
}

}  // namespace
