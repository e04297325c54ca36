#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>

#include "res/bitmaptable.h"
#include "res/dialogs.h"
#include "res/layout.h"
#include "res/programresources.h"
#include "tests/res/bmpimage.h"

namespace {

using restest::BmpImage;
using restest::IsKey;

BmpImage LoadImage(int id, std::uint16_t language = shell::LangEnglish) {
    const shell::Resource* r =
        res::ProgramResources().Find(shell::ResourceType::Bitmap, id, language);
    if (!r) return {};
    auto image = restest::ReadBmp24({static_cast<const std::uint8_t*>(r->data), r->size});
    return image ? *image : BmpImage{};
}

// Pixels reachable from the seeds through 4-neighbours of the same class (key or not).
long Flood(const BmpImage& image, int tolerance, bool key, const std::deque<int>& seeds) {
    std::vector<char> seen(image.pixels.size(), 0);
    std::deque<int> queue;
    for (int s : seeds) {
        if (!seen[s] && IsKey(image.pixels[s], tolerance) == key) {
            seen[s] = 1;
            queue.push_back(s);
        }
    }
    long count = 0;
    while (!queue.empty()) {
        int p = queue.front();
        queue.pop_front();
        ++count;
        int x = p % image.width, y = p / image.width;
        const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= image.width || n[1] >= image.height) continue;
            int q = n[1] * image.width + n[0];
            if (!seen[q] && IsKey(image.pixels[q], tolerance) == key) {
                seen[q] = 1;
                queue.push_back(q);
            }
        }
    }
    return count;
}

// The skin's body (non-key pixels) is one 4-connected shape without holes, and every visible
// control of the template lies on it.
void CheckSkin(const BmpImage& image, int tolerance, const ui::DialogTemplate& dialog) {
    ASSERT_FALSE(image.pixels.empty());
    long keyCount = std::count_if(image.pixels.begin(), image.pixels.end(),
                                  [&](std::uint32_t p) { return IsKey(p, tolerance); });
    long bodyCount = static_cast<long>(image.pixels.size()) - keyCount;
    ASSERT_GT(bodyCount, 0);
    ASSERT_GT(keyCount, 0) << "the corners at least lie outside";

    int first =
        static_cast<int>(std::find_if(image.pixels.begin(), image.pixels.end(),
                                      [&](std::uint32_t p) { return !IsKey(p, tolerance); }) -
                         image.pixels.begin());
    EXPECT_EQ(Flood(image, tolerance, false, {first}), bodyCount) << "body is in pieces";

    std::deque<int> border;
    for (int x = 0; x < image.width; ++x) {
        border.push_back(x);
        border.push_back((image.height - 1) * image.width + x);
    }
    for (int y = 0; y < image.height; ++y) {
        border.push_back(y * image.width);
        border.push_back(y * image.width + image.width - 1);
    }
    EXPECT_EQ(Flood(image, tolerance, true, border), keyCount)
        << "key-coloured pixels inside the body would be holes";

    res::PixelRect window = res::DialogPixels(dialog);
    for (int y = 0; y < image.height; ++y)
        for (int x = window.right; x < image.width; ++x)
            ASSERT_TRUE(IsKey(image.At(x, y), tolerance)) << "body beyond the window at " << x;

    for (const ui::DialogItemTemplate& item : dialog.items) {
        if (!(item.style & ui::WS_VISIBLE)) continue;
        res::PixelRect r = res::ItemPixels(item);
        int outside = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (x >= image.width || y >= image.height || IsKey(image.At(x, y), tolerance))
                    ++outside;
        EXPECT_EQ(outside, 0) << "control " << item.id << " reaches outside the skin";
    }
}

TEST(Artwork, MainSkinIsOneShapeOnPureBlackHoldingEveryControl) {
    BmpImage skin = LoadImage(res::MainSkinBitmap);
    EXPECT_EQ(skin.width, 725);
    EXPECT_EQ(skin.height, 553);
    CheckSkin(skin, 0, res::MainDialog);
    // Near-black is allowed inside, but the frame must not fade into the key colour: the
    // outside is exactly black, not merely dark.
    EXPECT_EQ(skin.At(0, 0), 0u);
    EXPECT_EQ(skin.At(724, 552), 0u);
}

TEST(Artwork, AboutSkinIsOneShapeOutsideTheToleranceHoldingEveryControl) {
    BmpImage skin = LoadImage(res::AboutSkinBitmap);
    EXPECT_EQ(skin.width, 496);
    EXPECT_EQ(skin.height, 412);
    CheckSkin(skin, 16, res::AboutDialog);
}

// Share of the visible area's pixels where two bitmaps differ clearly.
double Difference(const BmpImage& a, const BmpImage& b, int w, int h) {
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = a.At(x, y), q = b.At(x, y);
            int d = 0;
            for (int shift : {0, 8, 16})
                d = std::max(d, std::abs(static_cast<int>(p >> shift & 0xFF) -
                                         static_cast<int>(q >> shift & 0xFF)));
            if (d > 40) ++differing;
        }
    return static_cast<double>(differing) / (w * h);
}

TEST(Artwork, NormalOverAndDownLookDifferentWhereTheControlShowsThem) {
    auto check = [](const res::ButtonSkin& skin, const ui::DialogTemplate& dialog) {
        SCOPED_TRACE("control " + std::to_string(skin.control));
        auto item =
            std::find_if(dialog.items.begin(), dialog.items.end(),
                         [&](const ui::DialogItemTemplate& i) { return i.id == skin.control; });
        ASSERT_NE(item, dialog.items.end());
        BmpImage normal = LoadImage(skin.normal), down = LoadImage(skin.down),
                 over = LoadImage(skin.over);
        ASSERT_FALSE(normal.pixels.empty() || down.pixels.empty() || over.pixels.empty());
        res::PixelRect r = res::ItemPixels(*item);
        int w = std::min({r.Width(), normal.width, down.width, over.width});
        int h = std::min({r.Height(), normal.height, down.height, over.height});
        EXPECT_GT(Difference(normal, over, w, h), 0.05) << "normal and over";
        EXPECT_GT(Difference(normal, down, w, h), 0.05) << "normal and down";
        EXPECT_GT(Difference(over, down, w, h), 0.05) << "over and down";
    };
    for (const res::ButtonSkin& skin : res::MainButtonSkins)
        check(skin, res::MainDialog);
    check(res::AboutCancelSkin, res::AboutDialog);
}

TEST(Artwork, BackgroundPatternTilesWithoutSeams) {
    BmpImage tile = LoadImage(res::BackgroundPatternBitmap);
    ASSERT_EQ(tile.width, 63);
    ASSERT_EQ(tile.height, 79);
    auto columnStep = [&](int a, int b) {
        long sum = 0;
        for (int y = 0; y < tile.height; ++y)
            for (int shift : {0, 8, 16})
                sum += std::abs(static_cast<int>(tile.At(a, y) >> shift & 0xFF) -
                                static_cast<int>(tile.At(b, y) >> shift & 0xFF));
        return sum;
    };
    auto rowStep = [&](int a, int b) {
        long sum = 0;
        for (int x = 0; x < tile.width; ++x)
            for (int shift : {0, 8, 16})
                sum += std::abs(static_cast<int>(tile.At(x, a) >> shift & 0xFF) -
                                static_cast<int>(tile.At(x, b) >> shift & 0xFF));
        return sum;
    };
    long worstColumn = 0, worstRow = 0;
    for (int x = 1; x < tile.width; ++x)
        worstColumn = std::max(worstColumn, columnStep(x - 1, x));
    for (int y = 1; y < tile.height; ++y)
        worstRow = std::max(worstRow, rowStep(y - 1, y));
    EXPECT_LE(columnStep(tile.width - 1, 0), worstColumn) << "left and right edges meet";
    EXPECT_LE(rowStep(tile.height - 1, 0), worstRow) << "top and bottom edges meet";
}

}  // namespace
