#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "res/dialogs.h"
#include "res/layout.h"
#include "tolkara/version.h"

namespace {

using namespace ui;

const DialogItemTemplate* FindItem(const DialogTemplate& dialog, int id) {
    auto it = std::find_if(dialog.items.begin(), dialog.items.end(),
                           [id](const DialogItemTemplate& item) { return item.id == id; });
    return it == dialog.items.end() ? nullptr : &*it;
}

TEST(MainDialogTemplate, WindowStylesSizeAndFont) {
    const DialogTemplate& d = res::MainDialog;
    EXPECT_EQ(d.style & WS_POPUP, WS_POPUP);
    EXPECT_EQ(d.style & WS_VISIBLE, WS_VISIBLE);
    EXPECT_EQ(d.style & WS_CAPTION, WS_BORDER) << "thin border and no caption";
    EXPECT_EQ(d.style & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
    EXPECT_EQ(d.exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    EXPECT_EQ(d.style & DS_SETFONT, DS_SETFONT);
    EXPECT_EQ(d.fontFace, u"MS Sans Serif");
    EXPECT_EQ(d.fontPointSize, 8);
    EXPECT_EQ(d.cx, 456);
    EXPECT_EQ(d.cy, 344);
    res::PixelRect pixels = res::DialogPixels(d);
    EXPECT_EQ(pixels.Width(), 684);
    EXPECT_EQ(pixels.Height(), 559);
}

TEST(MainDialogTemplate, ControlsIdsClassesAndVisibility) {
    const DialogTemplate& d = res::MainDialog;
    std::set<int> ids;
    std::set<int> hidden;
    for (const DialogItemTemplate& item : d.items) {
        EXPECT_TRUE(ids.insert(item.id).second) << "duplicate id " << item.id;
        EXPECT_EQ(item.style & WS_CHILD, WS_CHILD) << item.id;
        if (!(item.style & WS_VISIBLE)) hidden.insert(item.id);
    }
    EXPECT_EQ(ids.size(), 39u);
    // 1070, Export, shows in the favourites view only.
    EXPECT_EQ(hidden, (std::set<int>{1019, 1001, 1020, 1021, 101, 1070}));

    for (int id : {1003, 1004, 1005, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1015, 1016, 1017,
                   1019, 1037, 1038, 1039, 1041, 1042, 1043, 1044, 1050, 1060, 1070, 1000, 2}) {
        const DialogItemTemplate* item = FindItem(d, id);
        ASSERT_NE(item, nullptr) << id;
        EXPECT_EQ(item->className, ButtonClass) << id;
        EXPECT_EQ(item->style & BS_TYPEMASK, BS_PUSHBUTTON) << id;
    }
    EXPECT_EQ(FindItem(d, 1001)->style & (BS_TYPEMASK | BS_FLAT | BS_MULTILINE),
              BS_OWNERDRAW | BS_FLAT | BS_MULTILINE);
    EXPECT_EQ(FindItem(d, 1021)->style & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(FindItem(d, 1021)->caption, u"Exact match only");

    const DialogItemTemplate* line = FindItem(d, 1022);
    EXPECT_EQ(line->className, StaticClass);
    EXPECT_EQ(line->style & (SS_TYPEMASK | SS_NOTIFY | SS_CENTERIMAGE),
              SS_CENTER | SS_NOTIFY | SS_CENTERIMAGE);

    const DialogItemTemplate* list = FindItem(d, 1002);
    EXPECT_EQ(list->className, ListBoxClass);
    Style listBits = LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | LBS_DISABLENOSCROLL | WS_BORDER;
    EXPECT_EQ(list->style & listBits, listBits);
    EXPECT_EQ(list->style & (LBS_SORT | LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE), 0u);

    const DialogItemTemplate* combo = FindItem(d, 1014);
    EXPECT_EQ(combo->className, ComboBoxClass);
    EXPECT_EQ(combo->style & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(combo->style & (CBS_SORT | WS_VSCROLL), CBS_SORT | WS_VSCROLL);
    EXPECT_EQ(FindItem(d, 101)->style & (3 | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE),
              CBS_DROPDOWNLIST);

    EXPECT_EQ(FindItem(d, 1020)->className, EditClass);
    EXPECT_EQ(FindItem(d, 1020)->style & WS_BORDER, WS_BORDER);
}

TEST(MainDialogTemplate, ControlsThatShareAPlace) {
    auto place = [](int id) {
        const DialogItemTemplate* item = FindItem(res::MainDialog, id);
        return std::pair{item->x, item->y};
    };
    // The subcategory combo and the keyword edit, and the three labels above them, swap by view.
    EXPECT_EQ(place(1014), place(1020));
    EXPECT_EQ(place(1034), place(1026));
    EXPECT_EQ(place(1034), place(1035));
    EXPECT_EQ(FindItem(res::MainDialog, 1014)->cx, FindItem(res::MainDialog, 1020)->cx);
    // The category column, top to bottom.
    const int column[] = {1003, 1004, 1007, 1005, 1010, 1008, 1009, 1011, 1012, 1013};
    for (std::size_t i = 1; i < std::size(column); ++i)
        EXPECT_LT(FindItem(res::MainDialog, column[i - 1])->y,
                  FindItem(res::MainDialog, column[i])->y);
}

TEST(AboutDialogTemplate, BorderlessWithCancelAndFourTexts) {
    const DialogTemplate& d = res::AboutDialog;
    EXPECT_EQ(d.style & WS_POPUP, WS_POPUP);
    EXPECT_EQ(d.style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME), 0u);
    EXPECT_EQ(d.cx, 354);
    EXPECT_EQ(d.cy, 257);
    EXPECT_EQ(d.fontFace, u"MS Sans Serif");
    EXPECT_EQ(d.fontPointSize, 8);
    ASSERT_EQ(d.items.size(), 5u);
    const DialogItemTemplate* cancel = FindItem(d, 2);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->className, ButtonClass);
    EXPECT_EQ(cancel->caption, u"Cancel");
    EXPECT_EQ(cancel->x, 210);
    EXPECT_EQ(cancel->y, 189);
    EXPECT_EQ(cancel->cx, 70);
    EXPECT_EQ(cancel->cy, 19);
    EXPECT_EQ(FindItem(d, 1044)->caption, u"Tolkara_German");
    EXPECT_EQ(FindItem(d, 1045)->caption, u"Version " TOLKARA_VERSION);
    for (int id : {1044, 1045, 1046, 1047}) {
        const DialogItemTemplate* label = FindItem(d, id);
        ASSERT_NE(label, nullptr) << id;
        EXPECT_EQ(label->className, StaticClass);
        EXPECT_EQ(label->x, 67);
        EXPECT_FALSE(label->caption.empty());
    }
    EXPECT_EQ(FindItem(d, 1047)->y, 162);
    EXPECT_EQ(FindItem(d, 1047)->cx, 226);
}

TEST(DialogLayout, UnitsToPixelsRoundToNearest) {
    EXPECT_EQ(res::DialogXToPixels(366), 549);
    EXPECT_EQ(res::DialogYToPixels(73), 119);  // 118.625
    EXPECT_EQ(res::DialogYToPixels(17), 28);   // 27.625
    EXPECT_EQ(res::DialogYToPixels(4), 7);     // 6.5 rounds up
    res::PixelRect close = res::ItemPixels(*FindItem(res::MainDialog, 2));
    EXPECT_EQ(close.left, 663);
    EXPECT_EQ(close.right, 680);
    EXPECT_EQ(close.top, 28);
    EXPECT_EQ(close.bottom, 44);
}

}  // namespace
