#include <gtest/gtest.h>

#include <map>

#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

// A list whose rows own a counted object each, released through DeleteItem.
class OwningList : public ListBox {
public:
    std::map<std::uintptr_t, int>* released = nullptr;
    void DeleteItem(const DELETEITEMSTRUCT& dis) override { ++(*released)[dis.itemData]; }
    ~OwningList() override { ResetContent(); }
};

constexpr Style ListStyle = LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | LBS_DISABLENOSCROLL | WS_BORDER;

// The selection and double-click notifications of a log (focus notifications left out).
Log Selections(const Log& log) {
    Log out;
    for (const std::string& entry : log) {
        if (entry.ends_with(":1") || entry.ends_with(":2")) out.push_back(entry);
    }
    return out;
}

struct ListScene : Fixture {
    ListBox list;
    ListScene() {
        Make(list, ListBoxClass, u"", ListStyle, RECT{10, 10, 210, 130}, 1002);
        for (int i = 0; i < 30; ++i)
            list.AddString(u"Row " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
        Pump();
    }
    POINT RowPoint(int index) {
        RECT r;
        list.GetItemRect(index, r);
        return POINT{r.left + 5, r.top + r.Height() / 2};
    }
};

TEST(ListBox, SelectionChangesOnlyTellTheParentWhenTheUserMadeThem) {
    ListScene s;
    s.list.SetCurSel(2);
    EXPECT_EQ(s.list.GetCurSel(), 2);
    EXPECT_TRUE(s.host.log.empty());

    s.Click(s.list, s.RowPoint(4));
    EXPECT_EQ(s.list.GetCurSel(), 4);
    s.Click(s.list, s.RowPoint(4));  // the same row again: no change
    s.backend.Key(VK_DOWN);
    s.Pump();
    EXPECT_EQ(s.list.GetCurSel(), 5);
    EXPECT_EQ(Selections(s.host.log), (Log{"1002:1", "1002:1"}));

    // A double click selects, then reports the double click.
    s.host.log.clear();
    s.backend.Click(s.Top(), s.At(s.list, s.RowPoint(1)));
    s.backend.Click(s.Top(), s.At(s.list, s.RowPoint(1)));
    s.Pump();
    EXPECT_EQ(Selections(s.host.log), (Log{"1002:1", "1002:2"}));
}

// Counts presses and double clicks, then leaves them to the list box.
class CountingList : public ListBox {
    UI_DECLARE_MESSAGE_MAP()
public:
    int presses = 0;
    LRESULT OnPress(WPARAM, LPARAM) {
        ++presses;
        return Default();
    }
};

const MessageMap CountingList::messageMap{&ListBox::messageMap,
                                          {
                                              OnMessage<&CountingList::OnPress>(WM_LBUTTONDOWN),
                                              OnMessage<&CountingList::OnPress>(WM_LBUTTONDBLCLK),
                                          }};

TEST(ListBox, SubclassHandlerReturningDefaultStillSelects) {
    Fixture f;
    CountingList list;
    f.Make(list, ListBoxClass, u"", ListStyle, RECT{10, 10, 210, 130}, 1002);
    for (const char16_t* text : {u"One", u"Two", u"Three"})
        list.AddString(text);
    f.Pump();
    RECT r;
    list.GetItemRect(2, r);
    const POINT row{r.left + 5, r.top + r.Height() / 2};
    f.Click(list, row);
    EXPECT_EQ(list.GetCurSel(), 2);
    f.backend.Click(f.Top(), f.At(list, row));
    f.backend.Click(f.Top(), f.At(list, row));
    f.Pump();
    EXPECT_EQ(list.presses, 3);
    EXPECT_EQ(Selections(f.host.log), (Log{"1002:1", "1002:2"}));
}

TEST(ListBox, KeyboardMovesTheSelectionAndKeepsItInView) {
    ListScene s;
    s.list.SetFocus();
    s.backend.Key(VK_END);
    s.Pump();
    EXPECT_EQ(s.list.GetCurSel(), 29);
    EXPECT_GT(s.list.GetTopIndex(), 0);
    RECT r;
    s.list.GetItemRect(29, r);
    RECT client;
    s.list.GetClientRect(client);
    EXPECT_LE(r.bottom, client.bottom);
    s.backend.Key(VK_HOME);
    s.Pump();
    EXPECT_EQ(s.list.GetCurSel(), 0);
    EXPECT_EQ(s.list.GetTopIndex(), 0);
    s.backend.Key(VK_NEXT);
    s.Pump();
    EXPECT_GT(s.list.GetCurSel(), 1);
    const int afterPage = s.list.GetCurSel();
    s.backend.Key(VK_PRIOR);
    s.Pump();
    EXPECT_EQ(s.list.GetCurSel(), 0);
    EXPECT_GT(afterPage, 0);

    // Type-ahead: a letter finds the next row starting with it; typing on extends the prefix.
    s.backend.Text(u"row c");
    s.Pump();
    EXPECT_EQ(s.list.GetText(s.list.GetCurSel()), u"Row C");
    s.backend.Advance(2000);
    s.backend.Text(u"r");
    s.Pump();
    EXPECT_EQ(s.list.GetCurSel(), 3);  // the row after "Row C" that starts with r
}

TEST(ListBox, WheelAndScrollBarsScroll) {
    ListScene s;
    s.list.SetHorizontalExtent(400);
    s.backend.Wheel(s.Top(), s.At(s.list, POINT{50, 50}), -1);
    s.Pump();
    EXPECT_EQ(s.list.GetTopIndex(), 3);
    s.backend.Wheel(s.Top(), s.At(s.list, POINT{50, 50}), 5);
    s.Pump();
    EXPECT_EQ(s.list.GetTopIndex(), 0);

    // The lower arrow of the vertical bar, then the right arrow of the horizontal one.
    RECT client;
    s.list.GetClientRect(client);
    s.Click(s.list, POINT{client.right - 5, client.bottom - 17 - 5});
    EXPECT_EQ(s.list.GetTopIndex(), 1);
    s.Click(s.list, POINT{client.right - 17 - 5, client.bottom - 5});
    EXPECT_EQ(s.list.GetScrollPos(SB_HORZ), 10);
    EXPECT_EQ(s.list.GetScrollPos(SB_VERT), 1);
    // Item rectangles stay where the rows are; the text moves by the scroll position.
    RECT r;
    s.list.GetItemRect(1, r);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.left, 1);
    EXPECT_TRUE(Selections(s.host.log).empty());  // scrolling is not selecting
    // Dragging the vertical thumb to the bottom shows the last rows.
    const int visible = (client.Height() - 2 - 17) / s.list.GetItemHeight();
    const RECT thumb = Theme::Standard().ScrollThumb(
        RECT{client.right - 18, 1, client.right - 1, client.bottom - 18}, true,
        ScrollState{30, visible, s.list.GetTopIndex()});
    const int grab = thumb.top + 3;
    s.backend.MouseMove(s.Top(), s.At(s.list, POINT{client.right - 8, grab}));
    s.backend.MouseDown(s.Top(), s.At(s.list, POINT{client.right - 8, grab}));
    s.backend.MouseMove(s.Top(), s.At(s.list, POINT{client.right - 8, 500}));
    s.backend.MouseUp(s.Top(), s.At(s.list, POINT{client.right - 8, 500}));
    s.Pump();
    EXPECT_EQ(s.list.GetTopIndex(), 30 - visible);
}

TEST(ListBox, RowsInsertDeleteResetAndItemData) {
    Fixture f;
    ListBox list;
    f.Make(list, ListBoxClass, u"", LBS_NOTIFY, RECT{10, 10, 200, 100}, 5);
    EXPECT_EQ(list.AddString(u"b"), 0);
    EXPECT_EQ(list.InsertString(0, u"a"), 0);
    EXPECT_EQ(list.InsertString(-1, u"c"), 2);
    EXPECT_EQ(list.InsertString(9, u"x"), LB_ERR);
    list.SetItemData(1, 42);
    list.SetCurSel(2);
    EXPECT_EQ(list.DeleteString(0), 2);
    EXPECT_EQ(list.GetCurSel(), 1);  // the selection moves with its row
    EXPECT_EQ(list.GetText(0), u"b");
    EXPECT_EQ(list.GetItemData(0), 42u);
    EXPECT_EQ(list.DeleteString(1), 1);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(list.DeleteString(5), LB_ERR);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    RECT r;
    EXPECT_EQ(list.GetItemRect(0, r), LB_ERR);
    EXPECT_TRUE(f.host.log.empty());
}

TEST(ListBox, SortedListsPlaceAddedRowsInOrder) {
    Fixture f;
    ListBox list;
    f.Make(list, ListBoxClass, u"", LBS_SORT, RECT{10, 10, 200, 100}, 5);
    list.AddString(u"pear");
    list.AddString(u"Apple");
    list.AddString(u"fig");
    EXPECT_EQ(list.GetText(0), u"Apple");
    EXPECT_EQ(list.GetText(2), u"pear");
    EXPECT_EQ(list.FindString(-1, u"FI"), 1);
    EXPECT_EQ(list.SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(u"fi")),
              LB_ERR);
}

TEST(ListBox, DeletedRowsReleaseTheirItemDataExactlyOnce) {
    std::map<std::uintptr_t, int> released;
    {
        Fixture f;
        OwningList list;
        list.released = &released;
        f.Make(list, ListBoxClass, u"", 0, RECT{10, 10, 200, 100}, 5);
        for (std::uintptr_t i = 1; i <= 6; ++i) {
            list.AddString(u"row");
            list.SetItemData(static_cast<int>(i - 1), i * 100);
        }
        list.AddString(u"no data");  // item data 0: nothing to release
        list.DeleteString(0);        // 100
        EXPECT_EQ(released, (std::map<std::uintptr_t, int>{{100, 1}}));
        // The picker's replacement: the new row takes the item, the old row lets go of it.
        list.InsertString(0, u"changed");
        list.SetItemData(0, list.GetItemData(1));
        list.SetItemData(1, 0);
        list.DeleteString(1);
        EXPECT_EQ(released.count(200), 0u);
        list.ResetContent();  // 200 (now row 0), 300, 400, 500, 600
        EXPECT_EQ(released.size(), 6u);

        list.AddString(u"again");
        list.SetItemData(0, 700);
        list.DestroyWindow();  // the window goes first, as when its dialog closes
        EXPECT_EQ(released[700], 1);

        OwningList second;
        second.released = &released;
        f.Make(second, ListBoxClass, u"", 0, RECT{10, 10, 200, 100}, 6);
        second.AddString(u"kept until the object goes");
        second.SetItemData(0, 800);
    }
    for (const auto& [data, count] : released)
        EXPECT_EQ(count, 1) << data;
    EXPECT_EQ(released.size(), 8u);
}

TEST(ListBox, ColourRequestDecidesBrushAndTextColour) {
    Fixture f;
    ListBox list;
    f.Make(list, ListBoxClass, u"", 0, RECT{10, 10, 200, 100}, 5);
    list.AddString(u"MMMMMMMMMMMMMMMMMMMMMMMMM");
    f.host.brush = gdi::Brush::Solid(gdi::RGB(55, 125, 88));
    f.host.textColour = gdi::RGB(255, 0, 55);
    list.Invalidate();
    const gdi::COLORREF back = f.PixelAt(list, POINT{150, 80});
    EXPECT_EQ(back, gdi::RGB(55, 125, 88));
    ASSERT_FALSE(f.host.colourRequests.empty());
    EXPECT_EQ(f.host.colourRequests.back(), WM_CTLCOLORLISTBOX);
    // Somewhere in the first row the letters are drawn in the text colour.
    f.app.UpdateAllWindows();
    const gdi::Bitmap shot = f.backend.Screenshot(f.Top());
    gdi::DC dc = gdi::DC::Memory();
    dc.SelectObject(shot);
    bool found = false;
    RECT r;
    list.GetItemRect(0, r);
    for (int x = r.left; x < r.right && !found; ++x) {
        for (int y = r.top; y < r.bottom && !found; ++y) {
            const POINT p = f.At(list, POINT{x, y});
            found = gdi::GetPixel(dc, p.x, p.y) == gdi::RGB(255, 0, 55);
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
