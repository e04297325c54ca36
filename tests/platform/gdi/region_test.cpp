#include "platform/gdi/region.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace gdi;

constexpr int Side = 24;
using Pixels = std::array<std::array<bool, Side>, Side>;

Pixels PixelsOf(const Region& r) {
    Pixels p{};
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x)
            p[y][x] = PtInRegion(r, x, y);
    }
    return p;
}

// The banded form: bands sorted and disjoint, spans in a band sorted and apart, and no two
// touching bands with equal spans.
void ExpectCanonical(const Region& r) {
    const auto& rects = r.Rects();
    std::size_t i = 0;
    LONG previousBottom = INT32_MIN;
    std::vector<std::pair<LONG, LONG>> previousSpans;
    while (i < rects.size()) {
        std::size_t j = i;
        std::vector<std::pair<LONG, LONG>> spans;
        while (j < rects.size() && rects[j].top == rects[i].top) {
            ASSERT_EQ(rects[j].bottom, rects[i].bottom);
            ASSERT_LT(rects[j].left, rects[j].right);
            if (j > i) {
                ASSERT_GT(rects[j].left, rects[j - 1].right);
            }
            spans.emplace_back(rects[j].left, rects[j].right);
            ++j;
        }
        ASSERT_GE(rects[i].top, previousBottom);
        if (rects[i].top == previousBottom) {
            ASSERT_NE(spans, previousSpans);
        }
        previousBottom = rects[i].bottom;
        previousSpans = spans;
        i = j;
    }
}

Region RandomRegion(std::mt19937& rng) {
    std::vector<RECT> rects;
    int n = static_cast<int>(rng() % 6);
    for (int k = 0; k < n; ++k) {
        int l = static_cast<int>(rng() % Side), t = static_cast<int>(rng() % Side);
        int r = l + static_cast<int>(rng() % 10), b = t + static_cast<int>(rng() % 10);
        rects.push_back(RECT{l, t, std::min(r, Side), std::min(b, Side)});
    }
    return Region::FromRects(rects.data(), rects.size());
}

TEST(Region, CombineMatchesAPixelModelOnRandomRegions) {
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        Region a = RandomRegion(rng);
        Region b = RandomRegion(rng);
        ExpectCanonical(a);
        Pixels pa = PixelsOf(a), pb = PixelsOf(b);
        for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY}) {
            Region out;
            int kind = CombineRgn(out, a, b, mode);
            ExpectCanonical(out);
            EXPECT_EQ(kind, out.Kind());
            Pixels po = PixelsOf(out);
            for (int y = 0; y < Side; ++y) {
                for (int x = 0; x < Side; ++x) {
                    bool want = mode == RGN_AND    ? pa[y][x] && pb[y][x]
                                : mode == RGN_OR   ? pa[y][x] || pb[y][x]
                                : mode == RGN_XOR  ? pa[y][x] != pb[y][x]
                                : mode == RGN_DIFF ? pa[y][x] && !pb[y][x]
                                                   : pa[y][x];
                    ASSERT_EQ(po[y][x], want) << mode << " at " << x << "," << y;
                }
            }
            // Equal pixel sets have equal rectangle lists, whichever way they were built.
            Region rebuilt = Region::FromRects(out.Rects().data(), out.Rects().size());
            EXPECT_TRUE(EqualRgn(rebuilt, out));
        }
        // The destination may be a source.
        Region self = a;
        CombineRgn(self, self, b, RGN_XOR);
        Region other;
        CombineRgn(other, a, b, RGN_XOR);
        EXPECT_EQ(self, other);
    }
}

TEST(Region, SameSetBuiltDifferentlyIsEqual) {
    RECT pieces[] = {{0, 0, 5, 2}, {5, 0, 10, 2}, {0, 2, 10, 4}};
    Region merged = Region::FromRects(pieces, 3);
    EXPECT_EQ(merged, CreateRectRgn(0, 0, 10, 4));
    EXPECT_EQ(merged.Kind(), SIMPLEREGION);
    Region xored;
    CombineRgn(xored, CreateRectRgn(0, 0, 4, 4), CreateRectRgn(0, 0, 4, 4), RGN_XOR);
    EXPECT_EQ(xored.Kind(), NULLREGION);
    EXPECT_EQ(xored, Region());
    EXPECT_EQ(CombineRgn(xored, merged, merged, 99), RGN_ERROR);
    EXPECT_EQ(CreateRectRgn(5, 5, 1, 1), CreateRectRgn(1, 1, 5, 5));  // corners in any order
}

TEST(Region, BoxOffsetAndPointTests) {
    Region r;
    CombineRgn(r, CreateRectRgn(0, 0, 2, 2), CreateRectRgn(5, 3, 7, 9), RGN_OR);
    RECT box;
    EXPECT_EQ(GetRgnBox(r, box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{0, 0, 7, 9}));
    EXPECT_TRUE(PtInRegion(r, 6, 8));
    EXPECT_FALSE(PtInRegion(r, 7, 8));
    EXPECT_FALSE(PtInRegion(r, 3, 1));
    OffsetRgn(r, -1, 10);
    EXPECT_TRUE(PtInRegion(r, 5, 18));
    EXPECT_FALSE(PtInRegion(r, 6, 19));
    GetRgnBox(r, box);
    EXPECT_EQ(box, (RECT{-1, 10, 6, 19}));
    EXPECT_TRUE(RectInRegion(r, RECT{0, 11, 3, 12}));
    EXPECT_FALSE(RectInRegion(r, RECT{1, 12, 4, 13}));
}

TEST(Region, RegionDataBlocksRoundTripAndBadBlocksAreRefused) {
    Region r;
    CombineRgn(r, CreateRectRgn(0, 0, 4, 4), CreateRectRgn(1, 1, 3, 3), RGN_DIFF);
    DWORD need = GetRegionData(r, 0, nullptr);
    EXPECT_EQ(need, 32u + 16u * r.Rects().size());
    std::vector<std::uint8_t> block(need);
    EXPECT_EQ(GetRegionData(r, need - 1, block.data()), 0u);
    ASSERT_EQ(GetRegionData(r, need, block.data()), need);
    RGNDATAHEADER header;
    std::memcpy(&header, block.data(), sizeof header);
    EXPECT_EQ(header.dwSize, 32u);
    EXPECT_EQ(header.iType, RDH_RECTANGLES);
    EXPECT_EQ(header.nCount, 4u);
    EXPECT_EQ(header.rcBound, (RECT{0, 0, 4, 4}));
    auto back = ExtCreateRegion(nullptr, need, block.data());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, r);

    // Overlapping, unordered and empty rectangles are accepted and normalised; a block with
    // more room than rectangles is fine.
    std::vector<std::uint8_t> loose(32 + 16 * 5, 0);
    RGNDATAHEADER h;
    h.nCount = 3;
    std::memcpy(loose.data(), &h, sizeof h);
    RECT rects[] = {{2, 0, 6, 3}, {0, 1, 4, 2}, {3, 3, 3, 9}};
    std::memcpy(loose.data() + 32, rects, sizeof rects);
    auto normal = ExtCreateRegion(nullptr, static_cast<DWORD>(loose.size()), loose.data());
    ASSERT_TRUE(normal);
    EXPECT_EQ(normal->Rects(), (std::vector<RECT>{{2, 0, 6, 1}, {0, 1, 6, 2}, {2, 2, 6, 3}}));

    h.nCount = 6;  // more than the block holds
    std::memcpy(loose.data(), &h, sizeof h);
    EXPECT_FALSE(ExtCreateRegion(nullptr, static_cast<DWORD>(loose.size()), loose.data()));
    h.nCount = 1;
    h.dwSize = 40;
    std::memcpy(loose.data(), &h, sizeof h);
    EXPECT_FALSE(ExtCreateRegion(nullptr, static_cast<DWORD>(loose.size()), loose.data()));
    EXPECT_FALSE(ExtCreateRegion(nullptr, 16, loose.data()));
    EXPECT_FALSE(ExtCreateRegion(nullptr, 64, nullptr));
}

}  // namespace
