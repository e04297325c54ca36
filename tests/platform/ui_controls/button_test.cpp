#include <gtest/gtest.h>

#include "platform/ui/dialog.h"
#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

// Records the owner-draw requests it answers.
class DrawnButton : public Button {
    UI_DECLARE_MESSAGE_MAP()
public:
    std::vector<UINT> states;
    void DrawItem(DRAWITEMSTRUCT& dis) override { states.push_back(dis.itemState); }
};

const MessageMap DrawnButton::messageMap{&Button::messageMap,
                                         {
                                             OnMessage<&Button::OnReflectedDrawItem>(OCM_DRAWITEM),
                                         }};

// Sees the press and the release first and hands both on to the button's own handling.
class WatchingButton : public Button {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log seen;
    LRESULT OnPress(WPARAM, LPARAM) {
        seen.push_back("down");
        return Default();
    }
    LRESULT OnRelease(WPARAM, LPARAM) {
        seen.push_back(GetCapture() == GetSafeHwnd() ? "up captured" : "up");
        return Default();
    }
};

const MessageMap WatchingButton::messageMap{&Button::messageMap,
                                            {
                                                OnMessage<&WatchingButton::OnPress>(WM_LBUTTONDOWN),
                                                OnMessage<&WatchingButton::OnRelease>(WM_LBUTTONUP),
                                            }};

TEST(Button, SubclassHandlerReturningDefaultKeepsTheButtonBehaviour) {
    Fixture f;
    WatchingButton b;
    ASSERT_TRUE(f.Make(b, ButtonClass, u"Go", BS_PUSHBUTTON, RECT{10, 10, 90, 40}, 7));
    f.backend.MouseMove(f.Top(), f.At(b, POINT{5, 5}));
    f.backend.MouseDown(f.Top(), f.At(b, POINT{5, 5}));
    f.Pump();
    EXPECT_EQ(b.GetCapture(), b.GetSafeHwnd());
    EXPECT_EQ(b.GetState() & BST_PUSHED, BST_PUSHED);
    f.backend.MouseUp(f.Top(), f.At(b, POINT{5, 5}));
    f.Pump();
    EXPECT_FALSE(b.GetCapture());
    EXPECT_EQ(b.seen, (Log{"down", "up captured"}));
    EXPECT_EQ(f.host.log, (Log{"7:0"}));
    // Default() outside any handler's entry, and a message no table knows, reach default
    // processing only.
    EXPECT_EQ(b.SendMessage(WM_NCHITTEST), HTCLIENT);
    EXPECT_EQ(b.SendMessage(WM_USER + 50), 0);
}

TEST(Button, ClickOnReleaseOverTheButtonOnly) {
    Fixture f;
    Button b;
    ASSERT_TRUE(f.Make(b, ButtonClass, u"Go", BS_PUSHBUTTON, RECT{10, 10, 90, 40}, 7));
    f.Click(b, POINT{5, 5});
    EXPECT_EQ(f.host.log, (Log{"7:0"}));

    // Pressed, dragged off (no longer pushed), back on (pushed), off and released: no click.
    f.host.log.clear();
    f.backend.MouseMove(f.Top(), f.At(b, POINT{5, 5}));
    f.backend.MouseDown(f.Top(), f.At(b, POINT{5, 5}));
    f.Pump();
    EXPECT_EQ(b.GetState() & BST_PUSHED, BST_PUSHED);
    EXPECT_EQ(b.GetCapture(), b.GetSafeHwnd());
    f.backend.MouseMove(f.Top(), f.At(b, POINT{200, 5}));
    f.Pump();
    EXPECT_EQ(b.GetState() & BST_PUSHED, 0u);
    f.backend.MouseMove(f.Top(), f.At(b, POINT{6, 6}));
    f.Pump();
    EXPECT_EQ(b.GetState() & BST_PUSHED, BST_PUSHED);
    f.backend.MouseMove(f.Top(), f.At(b, POINT{200, 5}));
    f.backend.MouseUp(f.Top(), f.At(b, POINT{200, 5}));
    f.Pump();
    EXPECT_TRUE(f.host.log.empty());
    EXPECT_FALSE(b.GetCapture());
    EXPECT_EQ(b.GetFocus(), b.GetSafeHwnd());  // the press gave it the focus
}

TEST(Button, SpaceBarClicksOnRelease) {
    Fixture f;
    Button b;
    f.Make(b, ButtonClass, u"Go", BS_PUSHBUTTON, RECT{10, 10, 90, 40}, 7);
    b.SetFocus();
    f.backend.KeyDown(VK_SPACE);
    f.Pump();
    EXPECT_EQ(b.GetState() & BST_PUSHED, BST_PUSHED);
    EXPECT_TRUE(f.host.log.empty());
    f.backend.KeyUp(VK_SPACE);
    f.Pump();
    EXPECT_EQ(f.host.log, (Log{"7:0"}));
    EXPECT_EQ(b.GetState() & BST_PUSHED, 0u);
}

TEST(Button, AutomaticCheckBoxTogglesAndPlainCheckBoxDoesNot) {
    Fixture f;
    Button automatic, plain;
    f.Make(automatic, ButtonClass, u"Exact", BS_AUTOCHECKBOX, RECT{10, 10, 150, 30}, 3);
    f.Make(plain, ButtonClass, u"Plain", BS_CHECKBOX, RECT{10, 40, 150, 60}, 4);
    f.Click(automatic, POINT{3, 5});
    EXPECT_EQ(automatic.GetCheck(), BST_CHECKED);
    automatic.SetFocus();
    f.backend.Key(VK_SPACE);
    f.Pump();
    EXPECT_EQ(automatic.GetCheck(), BST_UNCHECKED);
    f.Click(plain, POINT{3, 5});
    EXPECT_EQ(plain.GetCheck(), BST_UNCHECKED);  // the parent decides
    EXPECT_EQ(f.host.log, (Log{"3:0", "3:0", "4:0"}));

    // Setting the state from the program tells nobody; a push button keeps no check state.
    f.host.log.clear();
    automatic.SetCheck(BST_CHECKED);
    EXPECT_EQ(automatic.GetCheck(), BST_CHECKED);
    EXPECT_TRUE(f.host.log.empty());
    Button push;
    f.Make(push, ButtonClass, u"Push", BS_PUSHBUTTON, RECT{200, 10, 260, 30}, 5);
    push.SetCheck(BST_CHECKED);
    EXPECT_EQ(push.GetCheck(), BST_UNCHECKED);
}

TEST(Button, AutomaticRadioButtonClearsTheRestOfItsGroup) {
    Fixture f;
    Button a, b, c, other;
    f.Make(a, ButtonClass, u"A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, RECT{10, 10, 90, 30},
           1);
    f.Make(b, ButtonClass, u"B", BS_AUTORADIOBUTTON, RECT{10, 40, 90, 60}, 2);
    f.Make(c, ButtonClass, u"C", BS_AUTORADIOBUTTON, RECT{10, 70, 90, 90}, 3);
    f.Make(other, ButtonClass, u"D", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 100, 90, 120}, 4);
    other.SetCheck(BST_CHECKED);
    f.Click(a, POINT{3, 5});
    EXPECT_EQ(a.GetCheck(), BST_CHECKED);
    f.Click(c, POINT{3, 5});
    EXPECT_EQ(a.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(b.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(c.GetCheck(), BST_CHECKED);
    EXPECT_EQ(other.GetCheck(), BST_CHECKED);  // another group
    // Space sets it too.
    b.SetFocus();
    f.backend.Key(VK_SPACE);
    f.Pump();
    EXPECT_EQ(b.GetCheck(), BST_CHECKED);
    EXPECT_EQ(c.GetCheck(), BST_UNCHECKED);
}

TEST(Button, OwnerDrawnButtonIsAskedToDrawWithItsState) {
    Fixture f;
    DrawnButton b;
    f.Make(b, ButtonClass, u"", BS_OWNERDRAW, RECT{10, 10, 60, 40}, 9);
    f.app.UpdateAllWindows();
    ASSERT_FALSE(b.states.empty());
    EXPECT_EQ(b.states.back(), 0u);

    f.backend.MouseMove(f.Top(), f.At(b, POINT{5, 5}));
    f.backend.MouseDown(f.Top(), f.At(b, POINT{5, 5}));
    f.Pump();
    f.app.UpdateAllWindows();
    EXPECT_EQ(b.states.back(), ODS_SELECTED | ODS_FOCUS);
    f.backend.MouseUp(f.Top(), f.At(b, POINT{5, 5}));
    f.Pump();
    f.app.UpdateAllWindows();
    EXPECT_EQ(b.states.back(), ODS_FOCUS);
    EXPECT_EQ(f.host.log, (Log{"9:0"}));

    b.SetState(true);
    f.app.UpdateAllWindows();
    EXPECT_EQ(b.states.back(), ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(b.GetState(), BST_PUSHED | BST_FOCUS);
    b.SetState(false);
    f.host.SetFocus();
    b.EnableWindow(false);
    f.app.UpdateAllWindows();
    EXPECT_EQ(b.states.back(), ODS_DISABLED);
    // An owner-drawn button keeps no check state of its own.
    b.SetCheck(BST_CHECKED);
    EXPECT_EQ(b.GetCheck(), BST_UNCHECKED);
}

TEST(Button, SetStyleChangesTheTypeBitsOnly) {
    Fixture f;
    Button b;
    f.Make(b, ButtonClass, u"Go", BS_PUSHBUTTON | BS_MULTILINE, RECT{10, 10, 90, 40}, 7);
    b.SetButtonStyle(BS_DEFPUSHBUTTON);
    EXPECT_EQ(b.GetStyle() & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_NE(b.GetStyle() & BS_MULTILINE, 0u);
    EXPECT_EQ(b.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
}

// A dialog with an edit, the default OK button, another push button and Cancel.
constexpr DialogItemTemplate DefaultItems[] = {
    {10, EditClass, u"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 0, 10, 10, 100, 12},
    {IDOK, ButtonClass, u"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 10, 30, 40,
     14},
    {11, ButtonClass, u"Other", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 60, 30, 40,
     14},
    {IDCANCEL, ButtonClass, u"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 110,
     30, 40, 14},
};
constexpr DialogTemplate DefaultTemplate{
    WS_POPUP | WS_VISIBLE, 0, 10, 10, 160, 60, u"Dialog", u"", 0, DefaultItems};

class LoggingDialog : public Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    using Dialog::Dialog;
    Log log;
    void OnOK() override { log.push_back("ok"); }
    void OnCancel() override { log.push_back("cancel"); }
    void OnOther() { log.push_back("other"); }
};

const MessageMap LoggingDialog::messageMap{&Dialog::messageMap,
                                           {
                                               OnCommand<&LoggingDialog::OnOther>(BN_CLICKED, 11),
                                           }};

TEST(Button, DefaultButtonFollowsTheFocusAndEnterClicksIt) {
    backend::HeadlessBackend backend;
    Application app{backend};
    RegisterStandardControls(app);
    LoggingDialog dialog(app, &DefaultTemplate);
    ASSERT_TRUE(dialog.CreateModeless());
    app.PumpMessages();
    auto style = [&](int id) { return dialog.GetDlgItemWindow(id)->GetStyle() & BS_TYPEMASK; };
    ASSERT_EQ(app.GetFocus(), dialog.GetDlgItem(10));
    backend.Key(VK_RETURN);  // in the edit: the dialog's default button
    app.PumpMessages();
    EXPECT_EQ(dialog.log, (Log{"ok"}));

    dialog.GetDlgItemWindow(11)->SetFocus();  // a push button with the focus is the default
    EXPECT_EQ(style(11), BS_DEFPUSHBUTTON);
    EXPECT_EQ(style(IDOK), BS_PUSHBUTTON);
    backend.Key(VK_RETURN);
    app.PumpMessages();
    EXPECT_EQ(dialog.log, (Log{"ok", "other"}));

    dialog.GetDlgItemWindow(10)->SetFocus();  // back to the dialog's own default
    EXPECT_EQ(style(11), BS_PUSHBUTTON);
    EXPECT_EQ(style(IDOK), BS_DEFPUSHBUTTON);
    backend.Key(VK_ESCAPE);
    backend.Key(VK_RETURN);
    app.PumpMessages();
    EXPECT_EQ(dialog.log, (Log{"ok", "other", "cancel", "ok"}));
}

}  // namespace
