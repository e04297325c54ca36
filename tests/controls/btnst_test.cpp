#include <gtest/gtest.h>

#include <filesystem>

#include "controls/btnst.h"
#include "platform/gdi/bitmap.h"
#include "platform/media/capturewaveout.h"
#include "platform/ui/dialogtemplate.h"
#include "tests/platform/ui_controls/controltest.h"
#include "tests/support/recordingshell.h"
#include "tests/support/tempdir.h"

namespace {

using namespace controltest;

constexpr gdi::COLORREF Out = gdi::RGB(230, 230, 230);
constexpr gdi::COLORREF In = gdi::RGB(0, 128, 255);
constexpr gdi::COLORREF Focus = gdi::RGB(250, 240, 200);
constexpr gdi::COLORREF Key = gdi::RGB(255, 0, 255);

// A 16 × 16 red square whose top-left 4 × 4 corner is the transparent colour.
gdi::Bitmap RedSquare() {
    gdi::Bitmap b = gdi::CreateDIBSection32(16, -16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            b.SetPixel(x, y, x < 4 && y < 4 ? Key : gdi::RGB(200, 100, 50));
    return b;
}

struct ImageButton : Fixture {
    CBtnST button;
    testing_support::RecordingShell shell;
    ImageButton() {
        app.SetShell(&shell);
        // As the main window's template makes control 1001: an owner-drawn push button.
        Button plain;
        Make(plain, ButtonClass, u"Menu", BS_OWNERDRAW | WS_TABSTOP, RECT{20, 20, 140, 60}, 1001);
        const HWND hwnd = plain.UnsubclassWindow();
        button.SubclassWindow(hwnd);
        button.SetStateColour(CBtnST::BTNST_COLOR_BK_OUT, Out, false);
        button.SetStateColour(CBtnST::BTNST_COLOR_BK_IN, In, false);
        button.SetStateColour(CBtnST::BTNST_COLOR_BK_FOCUS, Focus, false);
        button.SetBitmaps(RedSquare(), Key, CBtnST::BTNST_AUTO_GRAY);
        Pump();
    }
    gdi::COLORREF Background() { return PixelAt(button, POINT{115, 5}); }
    gdi::COLORREF ImageCentre() { return PixelAt(button, POINT{3 + 10, 20 + 2}); }
    void Shot(const std::string& name) {
        app.UpdateAllWindows();
        const std::filesystem::path dir = PHRASEBOOK_SCREENSHOT_DIR;
        std::filesystem::create_directories(dir);
        backend.SavePng(Top(), (dir / (name + ".png")).string());
    }
};

TEST(BtnST, ColourShiftsStayInRangeAndImageCopiesFollowTheirRules) {
    CBtnST b;
    b.SetStateColour(0, gdi::RGB(200, 10, 10), false);
    EXPECT_EQ(b.ShiftStateColour(0, 100, false), CBtnST::BTNST_OK);
    gdi::COLORREF c = 0;
    b.GetStateColour(0, c);
    EXPECT_EQ(c, gdi::RGB(255, 65, 65));
    b.SetStateColour(1, gdi::RGB(200, 10, 10), false);
    b.ShiftStateColour(1, -100, false);
    b.GetStateColour(1, c);
    EXPECT_EQ(c, gdi::RGB(190, 0, 0));
    EXPECT_EQ(b.ShiftStateColour(6, 10, false), CBtnST::BTNST_INVALIDINDEX);
    EXPECT_EQ(b.GetStateColour(-1, c), CBtnST::BTNST_INVALIDINDEX);

    const gdi::Bitmap square = RedSquare();
    const gdi::Bitmap gray = CBtnST::GrayCopy(square, Key);
    const gdi::Bitmap darker = CBtnST::DarkerCopy(square, Key);
    EXPECT_EQ(gray.GetPixel(8, 8), 0x7C7C7Cu);  // trunc(59.8 + 58.7 + 5.7) = 124
    EXPECT_EQ(darker.GetPixel(8, 8), gdi::RGB(150, 75, 37));
    EXPECT_EQ(gray.GetPixel(0, 0), Key);
    EXPECT_EQ(darker.GetPixel(0, 0), Key);
    EXPECT_EQ(square.GetPixel(8, 8), gdi::RGB(200, 100, 50));  // the original is untouched
}

TEST(BtnST, AnOwnerDrawnTemplateButtonIsAPushButtonThatHoversAndShowsItsImages) {
    ImageButton s;
    EXPECT_EQ(s.button.GetStyle() & 0x1F, BS_OWNERDRAW);
    EXPECT_EQ(s.Background(), Out);
    EXPECT_EQ(s.ImageCentre(), gdi::RGB(124, 124, 124));        // the gray out image
    EXPECT_EQ(s.PixelAt(s.button, POINT{3 + 1, 12 + 1}), Out);  // its transparent corner
    s.Shot("btnst-normal");

    s.backend.MouseMove(s.Top(), s.At(s.button, POINT{60, 20}));
    s.Pump();
    EXPECT_TRUE(s.button.IsHovered());
    EXPECT_EQ(s.Background(), In);
    EXPECT_EQ(s.ImageCentre(), gdi::RGB(200, 100, 50));  // the in image
    s.Shot("btnst-hover");

    // Clicks do not toggle a check state: it is no check box.
    s.Click(s.button, POINT{60, 20});
    s.Click(s.button, POINT{60, 20});
    EXPECT_FALSE(s.button.GetCheckState());
    s.backend.MouseLeave(s.Top());
    s.backend.MouseMove(s.Top(), POINT{300, 250});
    s.Pump();
    EXPECT_FALSE(s.button.IsHovered());

    // Not flat: held down it does not look pressed (the focus colour, not the in colour).
    s.button.SetFlatLook(false);
    s.backend.MouseDown(s.Top(), s.At(s.button, POINT{60, 20}));
    s.Pump();
    EXPECT_EQ(s.Background(), Focus);
    s.Shot("btnst-held-not-flat");
    s.backend.MouseUp(s.Top(), s.At(s.button, POINT{60, 20}));
    s.Pump();

    s.button.EnableWindow(false);
    s.Pump();
    s.Shot("btnst-disabled");
}

TEST(BtnST, StyleCheckAndCursorMessagesKeepItOwnerDrawnAndFollowItsKind) {
    ImageButton s;
    // The style message moves the default look but leaves the button owner-drawn.
    struct StyleCase {
        UINT style;
        bool isDefault;
        LRESULT pushCode;
    };
    for (const StyleCase c : {StyleCase{BS_DEFPUSHBUTTON, true, DLGC_DEFPUSHBUTTON},
                              StyleCase{BS_PUSHBUTTON, false, DLGC_UNDEFPUSHBUTTON}}) {
        s.button.SetButtonStyle(c.style);
        EXPECT_EQ(s.button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW) << c.style;
        EXPECT_EQ(s.button.IsDefaultButton(), c.isDefault) << c.style;
        const LRESULT code = s.button.SendMessage(WM_GETDLGCODE);
        EXPECT_EQ(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), c.pushCode) << c.style;
        EXPECT_NE(code & DLGC_BUTTON, 0) << c.style;
    }

    // A push button keeps no check state; a check box keeps its own, and a click inverts it.
    s.button.SetCheck(BST_CHECKED);
    EXPECT_EQ(s.button.GetCheck(), BST_UNCHECKED);
    Button plain;
    CBtnST box;
    s.Make(plain, ButtonClass, u"Box", BS_AUTOCHECKBOX | WS_TABSTOP, RECT{20, 80, 140, 110}, 1002);
    box.SubclassWindow(plain.UnsubclassWindow());
    for (const UINT check : {BST_CHECKED, BST_UNCHECKED, BST_INDETERMINATE}) {
        box.SetCheck(check);
        const bool on = check != BST_UNCHECKED;
        EXPECT_EQ(box.GetCheckState(), on) << check;
        EXPECT_EQ(box.GetCheck(), on ? BST_CHECKED : BST_UNCHECKED) << check;
    }
    s.Click(box, POINT{30, 10});
    EXPECT_FALSE(box.GetCheckState());

    // A hovered button that loses activation, or the system colours, looks plain again.
    s.backend.MouseMove(s.Top(), s.At(s.button, POINT{60, 20}));
    s.Pump();
    ASSERT_TRUE(s.button.IsHovered());
    s.button.SendMessage(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_FALSE(s.button.IsHovered());
    s.button.SendMessage(WM_SYSCOLORCHANGE);
    gdi::COLORREF out = 0;
    s.button.GetStateColour(CBtnST::BTNST_COLOR_BK_OUT, out);
    EXPECT_EQ(out, gdi::GetSysColor(gdi::COLOR_BTNFACE));

    // Its own cursor over it.
    s.button.SetButtonCursor(StandardCursor::Hand);
    s.backend.MouseMove(s.Top(), s.At(s.button, POINT{62, 22}));
    s.Pump();
    EXPECT_EQ(s.backend.Cursor(), StandardCursor::Hand);
}

TEST(BtnST, MenuOpensUnderTheButtonLooksPressedAndSendsTheCommand) {
    ImageButton s;
    auto menu = ui::CreatePopupMenu();
    auto sub = ui::CreatePopupMenu();
    sub->Append(MF_STRING, 201, u"First");
    sub->Append(MF_STRING, 202, u"Second");
    menu->AppendPopup(std::move(sub), u"Popup");
    s.button.SetMenu(std::move(menu), s.Top());

    gdi::COLORREF whileOpen = 0;
    RECT menuRect{};
    s.backend.WhenIdle([&] {
        whileOpen = s.Background();
        s.Shot("btnst-menu-button");
        const HWND popup = s.app.TopLevelWindows().front();
        menuRect = s.app.GetWindowRect(popup);
        s.backend.SavePng(popup, std::string(PHRASEBOOK_SCREENSHOT_DIR) + "/btnst-menu.png");
        // The second item, a third of the way down the menu.
        const POINT second{20, menuRect.Height() * 3 / 4 - 2};
        s.backend.MouseMove(popup, second);
        s.backend.Click(popup, second);
    });
    s.Click(s.button, POINT{60, 20});
    s.Pump();
    EXPECT_EQ(whileOpen, In);
    RECT buttonRect;
    s.button.GetWindowRect(buttonRect);
    EXPECT_EQ(menuRect.left, buttonRect.left);
    EXPECT_EQ(menuRect.top, buttonRect.bottom);
    EXPECT_FALSE(s.button.IsMenuShown());
    EXPECT_NE(std::find(s.host.log.begin(), s.host.log.end(), "202:0"), s.host.log.end());
    EXPECT_NE(std::find(s.host.log.begin(), s.host.log.end(), "1001:0"), s.host.log.end());

    // The open menu has the keys: Escape closes it and picks nothing (the keys never reach the
    // window beneath, where Escape would close it); the arrows and Enter pick.
    const auto picks = [&] {
        return std::count(s.host.log.begin(), s.host.log.end(), std::string("202:0"));
    };
    for (const std::vector<UINT>& keys :
         {std::vector<UINT>{VK_DOWN, VK_ESCAPE}, std::vector<UINT>{VK_DOWN, VK_DOWN, VK_RETURN}}) {
        const auto before = picks();
        s.backend.WhenIdle([&] {
            for (const UINT key : keys)
                s.backend.Key(key);
        });
        s.Click(s.button, POINT{60, 20});
        s.Pump();
        EXPECT_FALSE(s.button.IsMenuShown());
        EXPECT_TRUE(s.host.IsWindow());
        EXPECT_EQ(picks(), before + (keys.back() == VK_RETURN ? 1 : 0));
    }
}

TEST(BtnST, LinkOpensThroughTheShellAndTheClickSoundPlays) {
    ImageButton s;
    s.button.SetLinkTarget(u"https://example.org/" + std::u16string(400, u'x'));
    testing_support::TempDir dir;
    // A 1000-sample 8-bit mono wave.
    std::vector<std::uint8_t> wav = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                                     'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                                     1,   0,   0x40, 0x1F, 0,   0,   0x40, 0x1F, 0,    0,   1,
                                     0,   8,   0,    'd',  'a', 't', 'a',  0xE8, 0x03, 0,   0};
    wav.insert(wav.end(), 1000, 0x90);
    testing_support::WriteBytes(dir / "click.wav", wav);
    const std::u16string path = (dir / "click.wav").u16string();
    s.button.SetButtonSound(path.c_str(), true);
    s.button.SetButtonSound(u"/no/such/sound.wav", false);  // the hover sound: nothing plays

    s.Click(s.button, POINT{60, 20});
    ASSERT_EQ(s.shell.pages.size(), 1u);
    EXPECT_EQ(s.shell.pages[0].size(), CBtnST::LinkCapacity);
    const auto writes = s.backend.Audio().Writes();  // through the backend's own device
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], std::vector<std::uint8_t>(1000, 0x90));
    s.button.DestroyWindow();
}

}  // namespace
