#include <gtest/gtest.h>

#include <map>

#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

constexpr UINT Change = CBN_SELCHANGE;

// The log without focus notifications.
Log Without(const Log& log, std::initializer_list<UINT> codes) {
    Log out;
    for (const std::string& e : log) {
        bool drop = false;
        for (const UINT c : codes)
            drop = drop || e.ends_with(":" + std::to_string(c));
        if (!drop) out.push_back(e);
    }
    return out;
}

std::string N(int id, UINT code) {
    return std::to_string(id) + ":" + std::to_string(code);
}

struct ComboScene : Fixture {
    ComboBox combo;
    ComboScene() {
        Make(combo, ComboBoxClass, u"", CBS_DROPDOWNLIST | WS_VSCROLL, RECT{20, 20, 220, 140}, 14);
        for (const char16_t* s : {u"All", u"Airport", u"Taxi", u"Train", u"Bus"})
            combo.InsertString(-1, s);
        combo.SetCurSel(0);
        Pump();
    }
    Log Notes() const { return Without(host.log, {CBN_SETFOCUS, CBN_KILLFOCUS}); }
    // The centre of entry i of the open list, in the host's coordinates.
    POINT Entry(int i) {
        RECT r;
        combo.SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        host.ScreenToClient(r);
        const int h = static_cast<int>(combo.SendMessage(CB_GETITEMHEIGHT));
        return POINT{r.left + 10, r.top + 1 + i * h + h / 2};
    }
    void ClickHost(POINT p) {
        backend.Click(Top(), p);
        Pump();
        backend.Advance(600);
    }
};

TEST(ComboBox, FaceKeepsOneEntryHighAndTheRestIsTheOpenList) {
    ComboScene s;
    RECT face;
    s.combo.GetWindowRect(face);
    const int h = static_cast<int>(s.combo.SendMessage(CB_GETITEMHEIGHT));
    EXPECT_EQ(face.Height(), h + 6);
    RECT drop;
    s.combo.SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&drop));
    EXPECT_EQ(drop.top, face.bottom);
    EXPECT_EQ(drop.Height(), 5 * h + 2);  // five entries fit into the 120 pixels asked for
    EXPECT_EQ(s.combo.GetWindowTextLength(), 3);
    EXPECT_EQ(s.combo.GetWindowText(), u"All");
}

TEST(ComboBox, PickWithTheMouseReportsInOrder) {
    ComboScene s;
    s.Click(s.combo, POINT{10, 5});
    EXPECT_TRUE(s.combo.GetDroppedState());
    EXPECT_EQ(s.Notes(), (Log{N(14, CBN_DROPDOWN)}));
    EXPECT_EQ(s.combo.GetFocus(), s.combo.GetSafeHwnd());
    // The pointer moving over the list does not change the selection yet.
    s.backend.MouseMove(s.Top(), s.Entry(3));
    s.Pump();
    EXPECT_EQ(s.combo.GetCurSel(), 0);
    s.ClickHost(s.Entry(2));
    EXPECT_FALSE(s.combo.GetDroppedState());
    EXPECT_EQ(s.combo.GetCurSel(), 2);
    EXPECT_EQ(s.Notes(),
              (Log{N(14, CBN_DROPDOWN), N(14, CBN_SELENDOK), N(14, CBN_CLOSEUP), N(14, Change)}));
    EXPECT_FALSE(s.combo.GetCapture());
}

TEST(ComboBox, EscapeAndAClickOutsideCancel) {
    ComboScene s;
    s.combo.ShowDropDown(true);
    s.backend.MouseMove(s.Top(), s.Entry(3));
    s.backend.Key(VK_ESCAPE);
    s.Pump();
    EXPECT_FALSE(s.combo.GetDroppedState());
    EXPECT_EQ(s.combo.GetCurSel(), 0);
    EXPECT_EQ(s.Notes(), (Log{N(14, CBN_DROPDOWN), N(14, CBN_SELENDCANCEL), N(14, CBN_CLOSEUP)}));

    s.host.log.clear();
    s.Click(s.combo, POINT{10, 5});
    s.ClickHost(POINT{380, 280});  // far from the combo box and its list
    EXPECT_FALSE(s.combo.GetDroppedState());
    EXPECT_EQ(s.combo.GetCurSel(), 0);
    EXPECT_EQ(s.Notes(), (Log{N(14, CBN_DROPDOWN), N(14, CBN_SELENDCANCEL), N(14, CBN_CLOSEUP)}));

    // Losing the focus closes it too, before the focus notification.
    s.host.log.clear();
    s.combo.ShowDropDown(true);
    s.host.SetFocus();
    EXPECT_FALSE(s.combo.GetDroppedState());
    EXPECT_EQ(s.host.log, (Log{N(14, CBN_DROPDOWN), N(14, CBN_SELENDCANCEL), N(14, CBN_CLOSEUP),
                               N(14, CBN_KILLFOCUS)}));
}

TEST(ComboBox, KeyboardChangesTheSelectionAtOnce) {
    ComboScene s;
    s.combo.SetFocus();
    s.host.log.clear();
    s.combo.SetCurSel(1);  // the program's change: no notification
    s.backend.Key(VK_DOWN);
    s.Pump();
    EXPECT_EQ(s.combo.GetCurSel(), 2);
    s.backend.Key(VK_END);
    s.backend.Key(VK_DOWN);  // already last: nothing changes
    s.Pump();
    EXPECT_EQ(s.Notes(), (Log{N(14, Change), N(14, Change)}));

    // Open with F4, move, take with Enter.
    s.host.log.clear();
    s.backend.Key(VK_F4);
    s.backend.Key(VK_UP);
    s.backend.Key(VK_RETURN);
    s.Pump();
    EXPECT_FALSE(s.combo.GetDroppedState());
    EXPECT_EQ(s.combo.GetCurSel(), 3);
    EXPECT_EQ(s.Notes(),
              (Log{N(14, CBN_DROPDOWN), N(14, Change), N(14, CBN_SELENDOK), N(14, CBN_CLOSEUP)}));
    // Typing picks by the first letters.
    s.backend.Text(u"ta");
    s.Pump();
    EXPECT_EQ(s.combo.GetCurSel(), 2);
}

TEST(ComboBox, EntriesInsertResetAndDisable) {
    ComboScene s;
    EXPECT_EQ(s.combo.InsertString(1, u"First"), 1);
    EXPECT_EQ(s.combo.GetLBText(1), u"First");
    EXPECT_EQ(s.combo.GetCount(), 6);
    EXPECT_EQ(s.combo.SetCurSel(9), CB_ERR);
    EXPECT_EQ(s.combo.GetCurSel(), -1);
    s.combo.ResetContent();
    EXPECT_EQ(s.combo.GetCount(), 0);
    EXPECT_EQ(s.combo.GetWindowText(), u"");
    s.combo.AddString(u"All");
    s.combo.SetCurSel(0);
    s.combo.EnableWindow(false);
    s.Click(s.combo, POINT{10, 5});
    EXPECT_FALSE(s.combo.GetDroppedState());
    s.combo.ShowDropDown(true);
    EXPECT_FALSE(s.combo.GetDroppedState());
    EXPECT_TRUE(s.Notes().empty());
    // A disabled combo box asks for the colours of a static.
    s.host.colourRequests.clear();
    s.combo.Invalidate();
    s.app.UpdateAllWindows();
    ASSERT_FALSE(s.host.colourRequests.empty());
    EXPECT_EQ(s.host.colourRequests.back(), WM_CTLCOLORSTATIC);
}

// A list box that, like the phrase list, makes a picker combo box of its own at run time and
// hears its notifications and colour requests.
class PickerList : public ListBox {
    UI_DECLARE_MESSAGE_MAP()
public:
    ComboBox picker;
    Log log;
    bool Open(const RECT& slot) {
        if (!picker.IsWindow()) {
            RECT r = slot;
            r.bottom += 200;
            if (!picker.Create(*App(), ComboBoxClass, u"", 0x50200403, r, GetSafeHwnd(), 101))
                return false;
        }
        picker.ResetContent();
        for (const char16_t* s : {u"one", u"two", u"three"})
            picker.AddString(s);
        RECT r = slot;
        r.bottom += 200;
        picker.MoveWindow(r);
        picker.ShowWindow(SW_SHOW);
        picker.SetCurSel(0);
        picker.ShowDropDown(true);
        return true;
    }
    void OnPick() {
        log.push_back("pick " + std::to_string(picker.GetCurSel()));
        picker.ShowWindow(SW_HIDE);
    }
    void OnCancel() {
        log.push_back("cancel");
        picker.ShowWindow(SW_HIDE);
    }
    void OnPickerFocusLost() { log.push_back("killfocus"); }
    LRESULT OnChildColour(WPARAM wParam, LPARAM lParam) {
        const LRESULT standard = Default();
        DCFromWParam(wParam)->SetTextColor(gdi::RGB(89, 89, 0));
        (void)lParam;
        log.push_back("colour");
        return standard;
    }
};

const MessageMap PickerList::messageMap{
    &ListBox::messageMap,
    {
        OnCommand<&PickerList::OnPick>(CBN_SELCHANGE, 101),
        OnCommand<&PickerList::OnCancel>(CBN_SELENDCANCEL, 101),
        OnCommand<&PickerList::OnPickerFocusLost>(CBN_KILLFOCUS, 101),
        OnMessage<&PickerList::OnChildColour>(WM_CTLCOLORLISTBOX),
        OnMessage<&PickerList::OnChildColour>(WM_CTLCOLOREDIT),
    }};

TEST(ComboBox, PickerMadeInsideAListBoxOpensOverEverythingAndReportsToTheList) {
    Fixture f;
    PickerList list;
    f.Make(list, ListBoxClass, u"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER, RECT{20, 20, 260, 60},
           1002);
    list.AddString(u"I need [one] ticket");
    RECT row;
    list.GetItemRect(0, row);
    const RECT slot{row.left + 40, row.top, row.left + 80, row.bottom};
    ASSERT_TRUE(list.Open(slot));
    EXPECT_EQ(::ui::GetParent(list.picker.GetSafeHwnd()), list.GetSafeHwnd());
    EXPECT_TRUE(list.picker.GetDroppedState());
    // The open list reaches below the list box: it lies in the top-level window, on top.
    RECT drop;
    list.picker.SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&drop));
    RECT listRect;
    list.GetWindowRect(listRect);
    EXPECT_GT(drop.bottom, listRect.bottom);
    POINT inDrop{drop.left + 5, drop.bottom - 3};
    EXPECT_NE(f.app.WindowFromPoint(inDrop), list.GetSafeHwnd());
    EXPECT_NE(f.app.WindowFromPoint(inDrop), f.Top());

    // Its colours come from the list box; the pick reaches the list box.
    f.app.UpdateAllWindows();
    EXPECT_NE(std::find(list.log.begin(), list.log.end(), "colour"), list.log.end());
    list.log.clear();
    const int h = static_cast<int>(list.picker.SendMessage(CB_GETITEMHEIGHT));
    POINT third{drop.left + 5, drop.top + 1 + 2 * h + h / 2};
    f.host.ScreenToClient(third);
    f.backend.Click(f.Top(), third);
    f.Pump();
    EXPECT_EQ(Without(list.log, {}), (Log{"pick 2"}));
    EXPECT_FALSE(list.picker.IsWindowVisible());
    EXPECT_TRUE(f.host.log.empty());  // nothing of the picker reaches the list's parent

    // Reopened and cancelled by a click elsewhere, then the focus leaves it.
    list.log.clear();
    f.backend.Advance(600);
    ASSERT_TRUE(list.Open(slot));
    f.backend.Click(f.Top(), POINT{390, 290});
    f.Pump();
    EXPECT_FALSE(list.picker.GetDroppedState());
    EXPECT_EQ(list.log.front(), "cancel");
}

}  // namespace

namespace {

// A control bound to a window made from a template (run until then by the object its class
// made) takes over what that object kept.
TEST(ComboBox, BindingKeepsWhatTheClassObjectKept) {
    Fixture f;
    auto make = [&](std::u16string_view cls, Style style, RECT r, int id) {
        return f.app.CreateWindowEx(0, cls, u"", WS_CHILD | WS_VISIBLE | style, r, f.Top(), id,
                                    nullptr);
    };
    const HWND combo = make(ComboBoxClass, CBS_DROPDOWNLIST, RECT{20, 20, 220, 140}, 1014);
    const HWND check = make(ButtonClass, BS_AUTOCHECKBOX, RECT{20, 200, 150, 220}, 1021);
    const HWND list = make(ListBoxClass, 0, RECT{240, 20, 380, 120}, 1002);
    for (const char16_t* e : {u"All", u"Airport", u"Taxi"})
        ui::SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e));
    ui::SendMessage(combo, CB_SETCURSEL, 1);
    RECT before;
    ui::SendMessage(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&before));
    ui::SendMessage(check, BM_SETCHECK, BST_CHECKED);
    ui::SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"row"));
    ui::SendMessage(list, LB_SETITEMDATA, 0, 42);

    ComboBox boundCombo;
    Button boundCheck;
    ListBox boundList;
    ASSERT_TRUE(boundCombo.SubclassWindow(combo));
    ASSERT_TRUE(boundCheck.SubclassWindow(check));
    ASSERT_TRUE(boundList.SubclassWindow(list));
    f.Pump();  // the replaced objects go
    EXPECT_EQ(boundCombo.GetCount(), 3);
    EXPECT_EQ(boundCombo.GetCurSel(), 1);
    RECT after;
    boundCombo.SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(boundCheck.GetCheck(), BST_CHECKED);
    EXPECT_EQ(boundList.GetCount(), 1);
    EXPECT_EQ(boundList.GetItemData(0), 42u);
}

}  // namespace

namespace {

// Records what an owner-drawn combo box is asked to draw.
class DrawnCombo : public ComboBox {
    UI_DECLARE_MESSAGE_MAP()
public:
    std::vector<std::pair<int, UINT>> drawn;  // item and state
    void DrawItem(DRAWITEMSTRUCT& dis) override {
        drawn.emplace_back(static_cast<int>(dis.itemID), dis.itemState);
    }
};

const MessageMap DrawnCombo::messageMap{&ComboBox::messageMap,
                                        {
                                            OnMessage<&ComboBox::OnReflectedDrawItem>(OCM_DRAWITEM),
                                        }};

TEST(ComboBox, OwnerDrawnFaceAndRowsAreDrawnByTheControlObject) {
    Fixture f;
    DrawnCombo combo;
    f.Make(combo, ComboBoxClass, u"", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
           RECT{20, 20, 220, 140}, 101);
    combo.AddString(u"one");
    combo.AddString(u"two");
    combo.SetCurSel(1);
    f.app.UpdateAllWindows();
    ASSERT_FALSE(combo.drawn.empty());
    EXPECT_EQ(combo.drawn.back().first, 1);
    EXPECT_NE(combo.drawn.back().second & ODS_COMBOBOXEDIT, 0u);
    combo.drawn.clear();
    combo.ShowDropDown(true);
    f.app.UpdateAllWindows();
    // Both rows of the open list, the selected one marked.
    std::vector<std::pair<int, UINT>> rows;
    for (const auto& d : combo.drawn) {
        if ((d.second & ODS_COMBOBOXEDIT) == 0) rows.push_back(d);
    }
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].first, 0);
    EXPECT_EQ(rows[0].second & ODS_SELECTED, 0u);
    EXPECT_EQ(rows[1].first, 1);
    EXPECT_NE(rows[1].second & ODS_SELECTED, 0u);
    EXPECT_TRUE(f.host.log.size() >= 1);  // the parent heard of the opening
}

}  // namespace

namespace {

// Entries with item data are released as list box rows are: once each, whichever way they go.
class OwningCombo : public ComboBox {
public:
    std::map<std::uintptr_t, int>* released = nullptr;
    void DeleteItem(const DELETEITEMSTRUCT& dis) override {
        EXPECT_EQ(dis.CtlType, ODT_COMBOBOX);
        ++(*released)[dis.itemData];
    }
    ~OwningCombo() override { ResetContent(); }
};

TEST(ComboBox, DeletedEntriesReleaseTheirItemDataExactlyOnce) {
    std::map<std::uintptr_t, int> released;
    {
        Fixture f;
        OwningCombo combo;
        combo.released = &released;
        f.Make(combo, ComboBoxClass, u"", CBS_DROPDOWNLIST, RECT{20, 20, 220, 140}, 14);
        for (std::uintptr_t i = 1; i <= 4; ++i) {
            combo.AddString(u"entry");
            combo.SetItemData(static_cast<int>(i - 1), i * 100);
        }
        combo.AddString(u"no data");
        combo.SetCurSel(2);
        EXPECT_EQ(combo.DeleteString(0), 4);  // 100
        EXPECT_EQ(combo.GetCurSel(), 1);      // the selection stays on its entry
        EXPECT_EQ(combo.DeleteString(9), CB_ERR);
        EXPECT_EQ(released, (std::map<std::uintptr_t, int>{{100, 1}}));
        combo.ResetContent();  // 200, 300, 400
        EXPECT_EQ(released.size(), 4u);
        combo.AddString(u"again");
        combo.SetItemData(0, 500);
        combo.DestroyWindow();  // 500

        OwningCombo second;
        second.released = &released;
        f.Make(second, ComboBoxClass, u"", CBS_DROPDOWNLIST, RECT{20, 20, 220, 140}, 15);
        second.AddString(u"kept until the object goes");
        second.SetItemData(0, 600);
    }
    EXPECT_EQ(released.size(), 6u);
    for (const auto& [data, count] : released)
        EXPECT_EQ(count, 1) << data;
}

TEST(ComboBox, DestroyedWhileOpenLeavesNoCaptureAndNoList) {
    ComboScene s;
    s.combo.ShowDropDown(true);
    ASSERT_TRUE(s.combo.GetCapture());
    const std::size_t childrenOpen = s.app.Node(s.Top())->children.size();
    s.combo.DestroyWindow();
    s.Pump();
    EXPECT_FALSE(s.app.GetCapture());
    EXPECT_EQ(s.app.Node(s.Top())->children.size(), childrenOpen - 2);
    // The pointer and keys go on working in the host.
    s.backend.Click(s.Top(), POINT{300, 250});
    s.backend.Key(VK_DOWN);
    s.Pump();

    // A picker inside a list box that goes with its list box.
    auto list = std::make_unique<ListBox>();
    s.Make(*list, ListBoxClass, u"", 0, RECT{20, 20, 200, 60}, 1002);
    ComboBox picker;
    ASSERT_TRUE(picker.Create(s.app, ComboBoxClass, u"", 0x50200403, RECT{5, 0, 60, 220},
                              list->GetSafeHwnd(), 101));
    picker.AddString(u"one");
    picker.ShowDropDown(true);
    list.reset();
    s.Pump();
    EXPECT_FALSE(picker.IsWindow());
    EXPECT_FALSE(s.app.GetCapture());
}

}  // namespace
