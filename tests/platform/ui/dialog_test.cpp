#include <gtest/gtest.h>

#include <array>

#include "platform/ui/dataexchange.h"
#include "platform/ui/dialog.h"
#include "tests/platform/ui/uitest.h"

namespace {

using namespace uitest;

// Enough of a push button / check box for dialogs to host: clicks become BN_CLICKED.
class TestButton : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    UINT check = 0;
    LRESULT OnDown(WPARAM, LPARAM) {
        SetFocus();
        SetCapture();
        return 0;
    }
    LRESULT OnUp(WPARAM, LPARAM l) {
        if (GetCapture() != GetSafeHwnd()) return 0;
        ReleaseCapture();
        RECT client;
        GetClientRect(client);
        if (gdi::PtInRect(client, PointFromLParam(l))) Click();
        return 0;
    }
    LRESULT OnClick(WPARAM, LPARAM) {
        Click();
        return 0;
    }
    void Click() {
        ui::SendMessage(GetParent(), WM_COMMAND,
                        MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), BN_CLICKED),
                        HandleToParam(GetSafeHwnd()));
    }
    LRESULT OnGetCheck(WPARAM, LPARAM) { return check; }
    LRESULT OnSetCheck(WPARAM w, LPARAM) {
        check = static_cast<UINT>(w);
        return 0;
    }
    LRESULT OnGetDlgCode(WPARAM, LPARAM) {
        return DLGC_BUTTON |
               ((GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON ? DLGC_RADIOBUTTON : 0);
    }
};

const MessageMap TestButton::messageMap{&Window::messageMap,
                                        {
                                            OnMessage<&TestButton::OnDown>(WM_LBUTTONDOWN),
                                            OnMessage<&TestButton::OnUp>(WM_LBUTTONUP),
                                            OnMessage<&TestButton::OnClick>(BM_CLICK),
                                            OnMessage<&TestButton::OnGetCheck>(BM_GETCHECK),
                                            OnMessage<&TestButton::OnSetCheck>(BM_SETCHECK),
                                            OnMessage<&TestButton::OnGetDlgCode>(WM_GETDLGCODE),
                                        }};

constexpr Style Child = WS_CHILD | WS_VISIBLE;
const std::array<DialogItemTemplate, 8> Items{{
    {1003, u"Button", u"Basic", Child | WS_TABSTOP | WS_GROUP, 0, 366, 73, 82, 20},
    {1004, u"Button", u"Travel", Child | WS_TABSTOP, 0, 366, 98, 82, 20},
    {1019, u"Button", u"Help", WS_CHILD | WS_TABSTOP, 0, 25, 7, 27, 8},  // hidden
    {1021, u"Button", u"Exact match only", Child | BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, 234,
     113, 76, 9},
    {1020, u"Edit", u"", Child | WS_TABSTOP | WS_BORDER, 0, 126, 97, 193, 12},
    {1034, u"Static", u"Sub Category", Child, 0, 126, 84, 54, 9},
    {2, u"Button", u"", Child | WS_GROUP, 0, 442, 17, 11, 10},
    {1000, u"Button", u"", Child, 0, 429, 17, 11, 10},
}};
const DialogTemplate Main{WS_POPUP | WS_VISIBLE | WS_BORDER | DS_SETFONT,
                          0,
                          0,
                          0,
                          456,
                          344,
                          u"",
                          u"MS Sans Serif",
                          8,
                          Items};

struct DialogFixture : Fixture {
    DialogFixture() {
        app.RegisterClass(
            WindowClass{u"Button", CS_DBLCLKS, [] { return std::make_unique<TestButton>(); }});
    }
};

class MainDialog : public Dialog {
public:
    using Dialog::Dialog;
    Log log;
    bool closeOnOK = false;
    std::u16string keyword = u"Bahnhof";
    int exactMatch = 1;
    int number = 0;
    bool exchangeNumber = false;
    void OnOK() override {
        log.push_back("OnOK");
        if (closeOnOK) Dialog::OnOK();
    }
    void OnCancel() override {
        log.push_back("OnCancel");
        Dialog::OnCancel();
    }
    void DoDataExchange(DataExchange& dx) override {
        DDX_Text(dx, 1020, keyword);
        DDX_Check(dx, 1021, exactMatch);
        if (exchangeNumber) DDX_Text(dx, 1034, number);
    }
};

TEST(Dialog, TemplateBuildsControlsInDialogUnits) {
    DialogFixture f;
    MainDialog dlg(f.app, &Main);
    ASSERT_TRUE(dlg.CreateModeless());
    RECT r;
    dlg.GetWindowRect(r);
    EXPECT_EQ(r.Width(), 684);
    EXPECT_EQ(r.Height(), 559);
    EXPECT_EQ(r.left, (1280 - 684) / 2);  // no position in the template: centred
    Window* basic = dlg.GetDlgItemWindow(1003);
    ASSERT_NE(basic, nullptr);
    basic->GetWindowRect(r);
    dlg.ScreenToClient(r);
    EXPECT_EQ(r, (RECT{549, 119, 672, 151}));
    EXPECT_EQ(basic->GetWindowText(), u"Basic");
    EXPECT_TRUE(basic->IsWindowVisible());
    EXPECT_FALSE(dlg.GetDlgItemWindow(1019)->IsWindowVisible());
    EXPECT_EQ(dlg.GetDlgItemWindow(1034)->GetWindowText(), u"Sub Category");
    EXPECT_NE(dynamic_cast<TestButton*>(basic), nullptr);  // the class's object runs it
    // The first data exchange ran, and the focus went to the first tab stop.
    EXPECT_EQ(dlg.GetDlgItemText(1020), u"Bahnhof");
    EXPECT_EQ(dlg.IsDlgButtonChecked(1021), 1u);
    EXPECT_EQ(f.app.GetFocus(), basic->GetSafeHwnd());
}

TEST(Dialog, EscapeClosesAndEnterDoesNotWhenOnOKDoesNothing) {
    DialogFixture f;
    MainDialog dlg(f.app, &Main);
    f.backend.WhenIdle([&] { f.backend.Key(VK_RETURN); });
    f.backend.WhenIdle([&] {
        EXPECT_TRUE(dlg.IsWindowVisible());  // Enter left it open
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.log, (Log{"OnOK", "OnCancel"}));
    EXPECT_FALSE(dlg.IsWindow());
}

TEST(Dialog, EnterEndsWithIdOkAfterTheDataExchange) {
    DialogFixture f;
    MainDialog dlg(f.app, &Main);
    dlg.closeOnOK = true;
    f.backend.WhenIdle([&] {
        dlg.SetDlgItemText(1020, u"Zug");
        dlg.CheckDlgButton(1021, 0);
        f.backend.Key(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.keyword, u"Zug");
    EXPECT_EQ(dlg.exactMatch, 0);
}

TEST(Dialog, CloseButtonAndWindowCloseReachOnCancel) {
    DialogFixture f;
    MainDialog a(f.app, &Main);
    f.backend.WhenIdle([&] { f.backend.Click(a.GetDlgItem(IDCANCEL), POINT{3, 3}); });
    EXPECT_EQ(a.DoModal(), IDCANCEL);
    MainDialog b(f.app, &Main);
    f.backend.WhenIdle([&] { f.backend.CloseRequest(b.GetSafeHwnd()); });
    EXPECT_EQ(b.DoModal(), IDCANCEL);
    EXPECT_EQ(a.log, (Log{"OnCancel"}));
    EXPECT_EQ(b.log, (Log{"OnCancel"}));
}

TEST(Dialog, AWindowTheWindowSystemRefusesIsNotCreated) {
    DialogFixture f;
    f.backend.RefuseWindows(true);
    MainDialog dlg(f.app, &Main);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(dlg.log.empty());
    EXPECT_FALSE(dlg.IsWindow());

    // Tool windows (tooltips, drop-down lists) may live without a native window.
    HWND tool = f.app.CreateWindowEx(WS_EX_TOOLWINDOW, u"", u"tip", WS_POPUP, RECT{0, 0, 10, 10},
                                     HWND{}, 0, nullptr);
    EXPECT_TRUE(f.app.IsWindow(tool));
    f.app.DestroyWindow(tool);

    f.backend.RefuseWindows(false);
    MainDialog again(f.app, &Main);
    f.backend.WhenIdle([&] { f.backend.Key(VK_ESCAPE); });
    EXPECT_EQ(again.DoModal(), IDCANCEL);
}

TEST(Dialog, FailedExchangeKeepsTheDialogOpen) {
    DialogFixture f;
    MainDialog dlg(f.app, &Main);
    dlg.closeOnOK = true;
    dlg.exchangeNumber = true;
    dlg.number = 12;
    f.backend.WhenIdle([&] {
        EXPECT_EQ(dlg.GetDlgItemText(1034), u"12");
        dlg.SetDlgItemText(1034, u"12a");
        f.backend.Key(VK_RETURN);
    });
    f.backend.WhenIdle([&] {
        EXPECT_TRUE(dlg.IsWindow());
        EXPECT_EQ(f.app.GetFocus(), dlg.GetDlgItem(1034));
        dlg.SetDlgItemText(1034, u" -7 ");
        f.backend.Key(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.number, -7);
}

TEST(Dialog, TabAndArrowsMoveTheFocus) {
    DialogFixture f;
    MainDialog dlg(f.app, &Main);
    ASSERT_TRUE(dlg.CreateModeless());
    auto focusId = [&] { return f.app.Node(f.app.GetFocus())->id; };
    EXPECT_EQ(focusId(), 1003);
    f.backend.Key(VK_TAB);
    f.app.PumpMessages();
    EXPECT_EQ(focusId(), 1004);
    f.backend.Key(VK_TAB);  // the hidden help button is skipped
    f.app.PumpMessages();
    EXPECT_EQ(focusId(), 1021);
    f.backend.Key(VK_TAB);
    f.backend.Key(VK_TAB);  // wraps round past the controls without a tab stop
    f.app.PumpMessages();
    EXPECT_EQ(focusId(), 1003);
    f.backend.KeyDown(VK_SHIFT);
    f.backend.Key(VK_TAB);
    f.backend.KeyUp(VK_SHIFT);
    f.app.PumpMessages();
    EXPECT_EQ(focusId(), 1020);
    // Arrows stay inside the group 1003, 1004 (1019 is hidden).
    dlg.GetDlgItemWindow(1003)->SetFocus();
    f.backend.Key(VK_DOWN);
    f.app.PumpMessages();
    EXPECT_EQ(focusId(), 1004);
    f.backend.Key(VK_DOWN);
    f.app.PumpMessages();
    EXPECT_EQ(focusId(), 1003);
    f.backend.Key(VK_UP);
    f.app.PumpMessages();
    EXPECT_EQ(focusId(), 1004);
    // The group walk itself, as a radio button uses it.
    const HWND d = dlg.GetSafeHwnd();
    EXPECT_EQ(GetNextDlgGroupItem(d, dlg.GetDlgItem(1021), false), dlg.GetDlgItem(1020));
    EXPECT_EQ(GetNextDlgGroupItem(d, dlg.GetDlgItem(1034), false), dlg.GetDlgItem(1021));
    EXPECT_EQ(GetNextDlgGroupItem(d, dlg.GetDlgItem(1021), true), dlg.GetDlgItem(1034));
    EXPECT_EQ(GetNextDlgGroupItem(d, dlg.GetDlgItem(2), false), dlg.GetDlgItem(1000));
    EXPECT_EQ(GetNextDlgGroupItem(d, dlg.GetDlgItem(1000), false), dlg.GetDlgItem(2));
}

// A control class bound by data exchange: it changes its style when attached and answers
// reflected requests.
class Bound : public TestButton {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log* log = nullptr;
    bool consumeClick = false;
    gdi::Brush brush = gdi::CreateSolidBrush(gdi::RGB(1, 2, 3));
    void PreSubclassWindow() override {
        log->push_back("attach style " + std::to_string(GetStyle() & BS_TYPEMASK));
        ModifyStyle(0, BS_OWNERDRAW);
    }
    LRESULT OnDrawItem(WPARAM, LPARAM l) {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        log->push_back("control drawitem " + std::to_string(dis->CtlID));
        return 1;
    }
    LRESULT OnCtlColor(WPARAM w, LPARAM) {
        log->push_back("control ctlcolor");
        DCFromWParam(w)->SetTextColor(gdi::RGB(9, 9, 9));
        return BrushResult(&brush);
    }
    bool OnClicked() {
        log->push_back("control clicked");
        return consumeClick;
    }
    LRESULT OnRButtonDown(WPARAM, LPARAM) {
        log->push_back("control rbuttondown");
        return 0;
    }
};

const MessageMap Bound::messageMap{&TestButton::messageMap,
                                   {
                                       OnMessage<&Bound::OnDrawItem>(OCM_DRAWITEM),
                                       OnMessage<&Bound::OnCtlColor>(OCM_CTLCOLORSTATIC),
                                       OnReflectedCommand<&Bound::OnClicked>(BN_CLICKED),
                                       OnMessage<&Bound::OnRButtonDown>(WM_RBUTTONDOWN),
                                   }};

class BindingDialog : public Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    using Dialog::Dialog;
    Log log;
    Bound basic;
    bool parentDraws = false;
    void DoDataExchange(DataExchange& dx) override {
        Dialog::DoDataExchange(dx);
        DDX_Control(dx, 1003, basic);
    }
    bool OnInitDialog() override {
        basic.log = &log;
        return Dialog::OnInitDialog();
    }
    void OnBasic() { log.push_back("parent clicked"); }
    LRESULT OnDrawItem(WPARAM, LPARAM) {
        log.push_back("parent drawitem");
        return 1;
    }
    LRESULT OnCtlColor(WPARAM, LPARAM) {
        // The standard handling gives the control's answer; the parent may keep it.
        const LRESULT standard = Default();
        log.push_back(standard == BrushResult(&basic.brush) ? "parent sees control brush"
                                                            : "parent default");
        return standard;
    }
};

const MessageMap BindingDialog::messageMap{
    &Dialog::messageMap,
    {
        OnCommand<&BindingDialog::OnBasic>(BN_CLICKED, 1003),
        OnMessage<&BindingDialog::OnDrawItem>(WM_DRAWITEM),
        OnMessage<&BindingDialog::OnCtlColor>(WM_CTLCOLORSTATIC),
    }};

TEST(Dialog, BindingAttachesTheObjectAndItsTableRunsTheControl) {
    DialogFixture f;
    BindingDialog dlg(f.app, &Main);
    ASSERT_TRUE(dlg.CreateModeless());
    EXPECT_EQ(dlg.basic.GetSafeHwnd(), dlg.GetDlgItem(1003));
    EXPECT_EQ(f.app.FromHandle(dlg.GetDlgItem(1003)), &dlg.basic);
    EXPECT_EQ(dlg.basic.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    f.backend.MouseDown(dlg.basic.GetSafeHwnd(), POINT{5, 5}, 3);
    f.app.PumpMessages();
    EXPECT_EQ(dlg.log, (Log{"attach style 0", "control rbuttondown"}));
    // A second exchange does not bind again.
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.log.size(), 2u);
}

TEST(Dialog, ReflectionReachesTheControlBeforeTheParent) {
    DialogFixture f;
    BindingDialog dlg(f.app, &Main);
    ASSERT_TRUE(dlg.CreateModeless());
    dlg.log.clear();
    const HWND basic = dlg.basic.GetSafeHwnd();

    // Draw requests: the control draws; the parent's handler is not needed.
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 1003;
    dis.hwndItem = basic;
    dlg.SendMessage(WM_DRAWITEM, 1003, reinterpret_cast<LPARAM>(&dis));
    // Colour requests: the control answers first, then the parent sees that answer.
    gdi::DC dc = dlg.basic.GetDC();
    const LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, DCToWParam(&dc), HandleToParam(basic));
    EXPECT_EQ(brush, BrushResult(&dlg.basic.brush));
    EXPECT_EQ(dc.GetTextColor(), gdi::RGB(9, 9, 9));
    // A request for a control without a reflected handler gets the parent's default.
    const LRESULT other = dlg.SendMessage(WM_CTLCOLORSTATIC, DCToWParam(&dc),
                                          static_cast<LPARAM>(dlg.GetDlgItem(1034).id));
    EXPECT_EQ(other, BrushResult(SysColorBrush(gdi::COLOR_BTNFACE)));
    // Clicks: the control hears of its own click first, the parent after it...
    f.backend.Click(basic, POINT{5, 5});
    f.app.PumpMessages();
    // ...unless the control keeps the notification to itself.
    dlg.basic.consumeClick = true;
    f.backend.Advance(1000);  // not a double click
    f.backend.Click(basic, POINT{5, 5});
    f.app.PumpMessages();
    EXPECT_EQ(dlg.log,
              (Log{"control drawitem 1003", "control ctlcolor", "parent sees control brush",
                   "parent default", "control clicked", "parent clicked", "control clicked"}));

    // A draw request for a control that does not draw itself goes to the parent.
    dlg.log.clear();
    dis.CtlID = 1004;
    dis.hwndItem = dlg.GetDlgItem(1004);
    dlg.SendMessage(WM_DRAWITEM, 1004, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(dlg.log, (Log{"parent drawitem"}));
}

// Runs a second dialog from its own handler and ends with what that one returned plus one.
class Outer : public MainDialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    using MainDialog::MainDialog;
    int innerResult = 0;
    bool OnInitDialog() override {
        PostMessage(WM_APP);
        return MainDialog::OnInitDialog();
    }
    LRESULT OnApp(WPARAM, LPARAM) {
        MainDialog inner(GetApplication(), &Main, this);
        innerResult = inner.DoModal();
        EXPECT_TRUE(IsWindowEnabled());
        EndDialog(innerResult + 1);
        return 0;
    }
};

const MessageMap Outer::messageMap{&Dialog::messageMap, {OnMessage<&Outer::OnApp>(WM_APP)}};

TEST(Dialog, NestedModalDialogsReturnTheirResults) {
    DialogFixture f;
    Outer outer(f.app, &Main);
    f.backend.WhenIdle([&] {
        EXPECT_FALSE(outer.IsWindowEnabled());  // the owner is disabled while the inner box runs
        EXPECT_EQ(f.app.TopLevelWindows().size(), 2u);
        f.backend.Key(VK_ESCAPE);  // ends the inner box
    });
    EXPECT_EQ(outer.DoModal(), IDCANCEL + 1);
    EXPECT_EQ(outer.innerResult, IDCANCEL);
    EXPECT_EQ(f.app.TopLevelWindows().size(), 0u);
}

TEST(Dialog, EndDialogDuringInitialisationEndsItUnshown) {
    DialogFixture f;
    class Quick : public MainDialog {
    public:
        using MainDialog::MainDialog;
        bool OnInitDialog() override {
            EndDialog(77);
            return MainDialog::OnInitDialog();
        }
    };
    Quick dlg(f.app, &Main);
    EXPECT_EQ(dlg.DoModal(), 77);
    EXPECT_FALSE(dlg.IsWindow());
}

TEST(Dialog, DefaultBackgroundIsTheDialogColour) {
    DialogFixture f;
    MainDialog dlg(f.app, &Main);
    ASSERT_TRUE(dlg.CreateModeless());
    f.app.PumpMessages();
    const gdi::Bitmap shot = f.backend.Screenshot(dlg.GetSafeHwnd());
    EXPECT_EQ(shot.GetPixel(300, 300), gdi::GetSysColor(gdi::COLOR_BTNFACE));
}

TEST(Dialog, MissingTemplateOrControlFailsCleanly) {
    DialogFixture f;
    MainDialog none(f.app, 999);  // no resources at all
    EXPECT_EQ(none.DoModal(), -1);
    class Missing : public Dialog {
    public:
        using Dialog::Dialog;
        Window control;
        void DoDataExchange(DataExchange& dx) override { DDX_Control(dx, 4242, control); }
    };
    Missing m(f.app, &Main);
    ASSERT_TRUE(m.CreateModeless());
    EXPECT_FALSE(m.UpdateData(false));
    EXPECT_FALSE(m.control.IsWindow());
}

}  // namespace
