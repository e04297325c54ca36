// One picture per control kind, for a person to look at: saved as PNG files under the build
// folder (screenshots/ui_controls), never compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

std::string ShotPath(const std::string& name) {
    const std::filesystem::path dir = PHRASEBOOK_SCREENSHOT_DIR;
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return (dir / (name + ".png")).string();
}

void Save(Fixture& f, HWND window, const std::string& name) {
    f.app.UpdateAllWindows();
    EXPECT_TRUE(f.backend.SavePng(window, ShotPath(name))) << name;
}

gdi::Font Dialogfont() {
    return gdi::CreateFontSimple(-12, gdi::FW_NORMAL, u"Sans");
}

TEST(Screenshot, Buttons) {
    Fixture f(RECT{0, 0, 360, 200});
    const gdi::Font font = Dialogfont();
    Button ok, plain, pressed, disabled, check, checked, radio1, radio2, group;
    f.Make(group, ButtonClass, u"Options", BS_GROUPBOX, RECT{190, 10, 350, 150}, 20);
    f.Make(ok, ButtonClass, u"OK", BS_DEFPUSHBUTTON, RECT{20, 20, 110, 46}, 1);
    f.Make(plain, ButtonClass, u"Search", BS_PUSHBUTTON, RECT{20, 56, 110, 82}, 2);
    f.Make(pressed, ButtonClass, u"Pressed", BS_PUSHBUTTON, RECT{20, 92, 110, 118}, 3);
    f.Make(disabled, ButtonClass, u"Disabled", BS_PUSHBUTTON, RECT{20, 128, 110, 154}, 4);
    f.Make(check, ButtonClass, u"Exact match only", BS_AUTOCHECKBOX, RECT{200, 34, 345, 54}, 5);
    f.Make(checked, ButtonClass, u"Checked", BS_AUTOCHECKBOX, RECT{200, 60, 345, 80}, 6);
    f.Make(radio1, ButtonClass, u"First", BS_AUTORADIOBUTTON | WS_GROUP, RECT{200, 88, 345, 108},
           7);
    f.Make(radio2, ButtonClass, u"Second", BS_AUTORADIOBUTTON, RECT{200, 114, 345, 134}, 8);
    for (Button* b : {&ok, &plain, &pressed, &disabled, &check, &checked, &radio1, &radio2, &group})
        b->SetFont(font);
    pressed.SetState(true);
    disabled.EnableWindow(false);
    checked.SetCheck(BST_CHECKED);
    radio2.SetCheck(BST_CHECKED);
    check.SetFocus();
    Save(f, f.Top(), "buttons");
}

TEST(Screenshot, StaticsAndEdits) {
    Fixture f(RECT{0, 0, 360, 200});
    const gdi::Font font = Dialogfont();
    Static left, centred, ellipsis;
    Edit edit, readOnly, disabled;
    f.Make(left, StaticClass, u"Input keyword or phrase", SS_LEFT, RECT{20, 12, 340, 30}, 1);
    f.Make(edit, EditClass, u"", WS_BORDER, RECT{20, 32, 340, 56}, 2);
    f.Make(readOnly, EditClass, u"Wo ist der Bahnhof?", WS_BORDER | ES_READONLY,
           RECT{20, 66, 340, 90}, 3);
    f.Make(disabled, EditClass, u"Disabled", WS_BORDER, RECT{20, 100, 340, 124}, 4);
    f.Make(centred, StaticClass, u"Centred, vertically too", SS_CENTER | SS_CENTERIMAGE,
           RECT{20, 132, 340, 156}, 5);
    f.Make(ellipsis, StaticClass, u"A rather long label that does not fit into its place at all",
           SS_LEFT | SS_ENDELLIPSIS, RECT{20, 164, 200, 184}, 6);
    for (Window* w :
         std::initializer_list<Window*>{&left, &centred, &ellipsis, &edit, &readOnly, &disabled})
        w->SetFont(font);
    disabled.EnableWindow(false);
    edit.SetFocus();
    f.backend.Text(u"Grüße aus München");
    f.backend.KeyDown(VK_SHIFT);
    for (int i = 0; i < 7; ++i)
        f.backend.Key(VK_LEFT);
    f.backend.KeyUp(VK_SHIFT);
    f.Pump();
    Save(f, f.Top(), "statics_edits");
}

TEST(Screenshot, ListBox) {
    Fixture f(RECT{0, 0, 320, 220});
    ListBox list;
    f.Make(list, ListBoxClass, u"",
           LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | LBS_DISABLENOSCROLL | WS_BORDER,
           RECT{20, 20, 300, 200}, 1002);
    const gdi::Font font = gdi::CreateFontSimple(-17, gdi::FW_NORMAL, u"Arial");
    list.SetFont(font);
    for (const char16_t* s :
         {u"Hello", u"Good morning", u"Good evening", u"Thank you very much", u"Excuse me",
          u"I need [one] ticket to the main station, please", u"Where is the station?",
          u"How much does it cost?", u"Yes", u"No", u"Please"})
        list.AddString(s);
    list.SetHorizontalExtent(400);
    list.SetCurSel(2);
    list.SetFocus();
    Save(f, f.Top(), "listbox");
    // The phrase list's colours: a green brush and red letters.
    f.host.brush = gdi::Brush::Solid(gdi::RGB(55, 125, 88));
    f.host.textColour = gdi::RGB(255, 0, 55);
    list.Invalidate();
    Save(f, f.Top(), "listbox_coloured");
}

TEST(Screenshot, ComboBoxOpen) {
    Fixture f(RECT{0, 0, 320, 240});
    const gdi::Font font = Dialogfont();
    ComboBox combo, disabled;
    f.Make(combo, ComboBoxClass, u"", CBS_DROPDOWNLIST | WS_VSCROLL, RECT{20, 20, 220, 140}, 1014);
    f.Make(disabled, ComboBoxClass, u"", CBS_DROPDOWNLIST, RECT{20, 190, 220, 260}, 101);
    combo.SetFont(font);
    disabled.SetFont(font);
    for (const char16_t* s :
         {u"All", u"Airport", u"Taxi", u"Train", u"Bus", u"Car rental", u"Directions", u"Ship"})
        combo.AddString(s);
    combo.SetCurSel(0);
    disabled.AddString(u"All");
    disabled.SetCurSel(0);
    disabled.EnableWindow(false);
    Save(f, f.Top(), "combobox_closed");
    combo.ShowDropDown(true);
    f.backend.Key(VK_DOWN);
    f.Pump();
    Save(f, f.Top(), "combobox_open");
}

TEST(Screenshot, ToolTips) {
    Fixture f(RECT{0, 0, 300, 160});
    Button button;
    f.Make(button, ButtonClass, u"Basic", BS_PUSHBUTTON, RECT{20, 20, 120, 46}, 1003);
    ToolTip plain, balloon;
    ASSERT_TRUE(plain.Create(button));
    ASSERT_TRUE(balloon.Create(button, TTS_BALLOON));
    plain.AddTool(button, u"General");
    balloon.AddTool(button, u"Add To Favourite");
    f.backend.MouseMove(f.Top(), POINT{60, 30});
    f.Pump();
    plain.RelayEvent(MSG{button.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 10), 0, {}});
    balloon.RelayEvent(MSG{button.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 10), 0, {}});
    f.backend.Advance(600);
    f.Pump();
    ASSERT_TRUE(plain.IsShowing());
    Save(f, plain.GetSafeHwnd(), "tooltip");
    Save(f, balloon.GetSafeHwnd(), "tooltip_balloon");
}

TEST(Screenshot, MessageBox) {
    Fixture f(RECT{0, 0, 640, 480});
    bool saved = false;
    f.backend.WhenIdle([&] {
        const HWND box = f.app.TopLevelWindows().front();
        saved = f.backend.SavePng(box, ShotPath("messagebox"));
        f.backend.Key(VK_RETURN);
    });
    MessageBox(f.Top(), u"This item has already existed in the favorite!", u"Tolkara_German");
    EXPECT_TRUE(saved);
}

}  // namespace
