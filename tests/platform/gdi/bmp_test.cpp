#include "platform/gdi/bmp.h"

#include <gtest/gtest.h>

#include "platform/gdi/surface.h"
#include "tests/platform/gdi/bmpfile.h"

namespace {

using gdi::RGB;

TEST(Bmp, TwentyFourBitRowsAndPaddingLoadAsBottomUpSection) {
    // 3 pixels wide: 9 bytes of pixels and 3 of padding per row.
    std::vector<std::uint32_t> px = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0x000000, 0xFFFFFF};
    auto bytes = gditest::MakeBmp(3, 2, 24, px);
    gdi::Bitmap b = gdi::LoadBitmapFromBytes(bytes);
    ASSERT_TRUE(b);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_FALSE(b.IsTopDown());
    EXPECT_EQ(b.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(b.GetPixel(1, 0), RGB(0, 255, 0));
    EXPECT_EQ(b.GetPixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(b.GetPixel(0, 1), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(b.GetPixel(2, 1), RGB(255, 255, 255));
    // Bottom-up: the first row in memory is the image's last row.
    EXPECT_EQ(b.Bits()[0], 0x123456u);
    gdi::BITMAP info;
    ASSERT_TRUE(gdi::GetObject(b, info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmWidthBytes, 12);
    EXPECT_EQ(info.bmBits, b.Bits());
}

TEST(Bmp, PaletteImagesAndTopDownFiles) {
    std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    std::vector<std::uint32_t> idx = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1};
    for (int bits : {4, 8}) {
        for (bool bottomUp : {true, false}) {
            auto bytes = gditest::MakeBmp(5, 2, bits, idx, palette, bottomUp);
            gdi::Bitmap b = gdi::LoadBitmapFromBytes(bytes);
            ASSERT_TRUE(b) << bits;
            EXPECT_EQ(b.IsTopDown(), !bottomUp);
            EXPECT_EQ(b.GetPixel(1, 0), RGB(255, 0, 0)) << bits;
            EXPECT_EQ(b.GetPixel(3, 0), RGB(0, 0, 255)) << bits;
            EXPECT_EQ(b.GetPixel(4, 1), RGB(255, 0, 0)) << bits;
            EXPECT_EQ(b.GetPixel(2, 1), RGB(0, 0, 0)) << bits;
            EXPECT_EQ(b.GetPixel(0, 1), RGB(0, 255, 0)) << bits;
        }
    }
    auto mono = gditest::MakeBmp(9, 1, 1, {1, 0, 0, 0, 0, 0, 0, 0, 1}, {0x000000, 0xFFFFFF});
    gdi::Bitmap m = gdi::LoadBitmapFromBytes(mono);
    ASSERT_TRUE(m);
    EXPECT_EQ(m.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(m.GetPixel(1, 0), 0u);
    EXPECT_EQ(m.GetPixel(8, 0), RGB(255, 255, 255));
}

TEST(Bmp, MalformedInputLoadsAsNull) {
    auto good = gditest::MakeBmp(4, 4, 24, std::vector<std::uint32_t>(16, 0x808080));
    EXPECT_TRUE(gdi::LoadBitmapFromBytes(good));
    auto truncated = good;
    truncated.resize(truncated.size() - 1);
    EXPECT_FALSE(gdi::LoadBitmapFromBytes(truncated));
    EXPECT_FALSE(gdi::LoadBitmapFromBytes({}));
    auto compressed = good;
    compressed[30] = 1;  // BI_RLE8
    EXPECT_FALSE(gdi::LoadBitmapFromBytes(compressed));
    auto zeroWidth = good;
    zeroWidth[18] = zeroWidth[19] = 0;
    EXPECT_FALSE(gdi::LoadBitmapFromBytes(zeroWidth));
    auto hugeOffset = good;
    hugeOffset[13] = 0x7F;
    EXPECT_FALSE(gdi::LoadBitmapFromBytes(hugeOffset));
    // More palette entries than the depth allows, and a palette running off the end.
    auto pal = gditest::MakeBmp(2, 1, 1, {0, 1}, {0, 0xFFFFFF});
    pal[46] = 0xFF;
    pal[47] = 0xFF;
    EXPECT_FALSE(gdi::LoadBitmapFromBytes(std::span(pal).first(60)));
}

TEST(Bmp, ResourcesByNumberAndLanguage) {
    auto german = gditest::MakeBmp(15, 15, 24, std::vector<std::uint32_t>(225, 0x0000FF));
    auto english = gditest::MakeBmp(18, 18, 24, std::vector<std::uint32_t>(324, 0xFF0000));
    const shell::Resource table[] = {
        {shell::ResourceType::Bitmap, 141, shell::LangGerman, german.data(), german.size()},
        {shell::ResourceType::Bitmap, 141, shell::LangEnglish, english.data(), english.size()},
    };
    shell::ResourceBundle bundle(table);
    EXPECT_EQ(gdi::LoadBitmap(bundle, 141, shell::LangGerman).Width(), 15);
    EXPECT_EQ(gdi::LoadBitmap(bundle, 141, shell::LangEnglish).Width(), 18);
    EXPECT_EQ(gdi::LoadBitmap(bundle, 141, shell::LangEnglish).GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_FALSE(gdi::LoadBitmap(bundle, 140));
}

}  // namespace
