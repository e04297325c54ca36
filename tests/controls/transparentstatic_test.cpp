// The transparent static on the headless backend: only its letters are painted, in its own
// colour and Arial font, placed as its style says.
#include "controls/transparentstatic.h"

#include <gtest/gtest.h>

#include "tests/controls/controlstest.h"

namespace {

using namespace controlstest;

constexpr gdi::COLORREF HostGrey = gdi::RGB(240, 240, 240);  // the host's erase colour

// The rows and columns of the control that hold anything but the host's grey.
struct Ink {
    int top = -1, bottom = -1, left = -1, right = -1;
    int Height() const { return top < 0 ? 0 : bottom - top; }
    bool operator==(const Ink&) const = default;
};

Ink InkOf(SkinFixture& f, const Window& control) {
    f.app.UpdateAllWindows();
    const gdi::Bitmap shot = f.backend.Screenshot(f.Top());
    RECT client;
    control.GetClientRect(client);
    Ink ink;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const POINT p = f.At(control, POINT{x, y});
            if ((shot.GetPixel(p.x, p.y) & 0xFFFFFF) == HostGrey) continue;
            if (ink.top < 0) ink = {y, y + 1, x, x + 1};
            ink.bottom = y + 1;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x + 1);
        }
    }
    return ink;
}

bool HasColour(SkinFixture& f, const Window& control, gdi::COLORREF colour) {
    f.app.UpdateAllWindows();
    const gdi::Bitmap shot = f.backend.Screenshot(f.Top());
    RECT client;
    control.GetClientRect(client);
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const POINT p = f.At(control, POINT{x, y});
            if ((shot.GetPixel(p.x, p.y) & 0xFFFFFF) == colour) return true;
        }
    }
    return false;
}

TEST(TransparentStatic, LettersOnlyInItsColourAndTwelvePixelsPastThirtyCharacters) {
    SkinFixture f(RECT{0, 0, 900, 240});
    CTransparentStatic text;
    f.Make(text, StaticClass, u"", SS_LEFT, RECT{10, 10, 890, 60}, 1022);
    text.fontHeight = -24;
    text.fontWeight = gdi::FW_BOLD;
    text.textColour = gdi::RGB(200, 10, 10);

    const std::u16string thirty(30, u'H');
    text.SetWindowText(thirty);
    const Ink big = InkOf(f, text);
    EXPECT_TRUE(HasColour(f, text, gdi::RGB(200, 10, 10)));
    EXPECT_GE(big.Height(), 15);  // capitals of a 24-pixel font
    EXPECT_LE(big.Height(), 19);
    f.Save("transparentstatic-30-characters");

    // The host repaints behind it (the control itself never erases).
    text.SetWindowText(thirty + u"H");
    f.host.Invalidate();
    const Ink small = InkOf(f, text);
    EXPECT_GE(small.Height(), 7);  // capitals of a 12-pixel font
    EXPECT_LE(small.Height(), 10);
    EXPECT_LT(small.right, big.right);
    f.Save("transparentstatic-31-characters");

    // Without a repaint behind it, the old letters stay: only letters are ever painted.
    text.SetWindowText(u"H");
    EXPECT_EQ(InkOf(f, text).right, small.right);
}

TEST(TransparentStatic, StylePlacesTheTextAndAnEmptyCaptionPaintsNothing) {
    SkinFixture f(RECT{0, 0, 420, 200});
    CTransparentStatic right, centred, empty;
    f.Make(right, StaticClass, u"Version", SS_RIGHT, RECT{10, 10, 410, 40}, 1);
    f.Make(centred, StaticClass, u"Guten Tag", SS_CENTER | SS_CENTERIMAGE, RECT{10, 50, 410, 110},
           2);
    f.Make(empty, StaticClass, u"", SS_RIGHT, RECT{10, 120, 410, 150}, 3);
    right.textColour = gdi::RGB(255, 255, 255);  // white, as the version label
    const Ink r = InkOf(f, right);
    EXPECT_GE(r.right, 395);
    EXPECT_LT(r.left, 400 - 40);
    EXPECT_TRUE(HasColour(f, right, 0xFFFFFF));
    const Ink c = InkOf(f, centred);
    EXPECT_NEAR((c.left + c.right) / 2, 200, 3);
    EXPECT_NEAR((c.top + c.bottom) / 2, 30, 4);
    EXPECT_EQ(InkOf(f, empty), Ink{});
    f.Save("transparentstatic-alignment");

    // The style's flags: ellipses, no prefix, word breaks only for plain multi-line text.
    EXPECT_EQ(CTransparentStatic::TextFlags(SS_LEFT), gdi::DT_WORDBREAK);
    EXPECT_EQ(CTransparentStatic::TextFlags(SS_RIGHT | SS_NOPREFIX),
              gdi::DT_RIGHT | gdi::DT_NOPREFIX | gdi::DT_WORDBREAK);
    EXPECT_EQ(CTransparentStatic::TextFlags(SS_CENTER | SS_CENTERIMAGE),
              gdi::DT_CENTER | gdi::DT_VCENTER | gdi::DT_SINGLELINE);
    EXPECT_EQ(CTransparentStatic::TextFlags(SS_ENDELLIPSIS),
              gdi::DT_WORD_ELLIPSIS | gdi::DT_END_ELLIPSIS);
    EXPECT_EQ(CTransparentStatic::TextFlags(0x8000), gdi::DT_WORD_ELLIPSIS | gdi::DT_PATH_ELLIPSIS);
}

}  // namespace
