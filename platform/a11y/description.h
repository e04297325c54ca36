// What assistive technology (a screen reader, a magnifier, a test driving the desktop's
// accessibility bus) is told about one window: its role, name, states and rows. The framework
// derives a description from a window's class, style and text; a program refines it per
// control through a Describer (names of buttons that show pictures, which one is current).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/types.h"

namespace a11y {

enum class Role {
    Hidden,  // not exposed (decoration, helper windows)
    Frame,
    Dialog,
    PushButton,
    ToggleButton,
    CheckBox,
    List,
    ListItem,
    ComboBox,
    PopupList,  // a chooser that pops up over another control
    Entry,
    Label,
    Text,  // read-only text that matters (announced when it changes)
};

struct Description {
    Role role = Role::Hidden;
    std::u16string name;
    std::u16string description;  // a longer hint (a tooltip beside a caption)
    std::u16string text;         // what a label shows or an edit holds
    int caret = -1;              // an edit's caret, in UTF-16 units of text (-1: none)
    bool showing = false;
    bool enabled = false;
    bool focusable = false;
    bool focused = false;
    bool checkable = false;
    bool checked = false;
    bool selected = false;  // the current one of a set (a category, a list row)
    bool live = false;      // its changes are announced without focus
    int order = 0;          // its place in its window's reading order (0: by position)
    // List-like controls: the rows' texts and the selected row (-1: none).
    std::vector<std::u16string> rows;
    int selectedRow = -1;
};

// A program's refinement of the framework's description of one of its windows.
using Describer = std::function<void(const ui::Application&, ui::HWND, Description&)>;

// The framework's description of a window: buttons, statics, edits, list and combo boxes by
// class and style, names from the window text, states from the window and its messages; tool
// windows (tooltips, drop-downs) are hidden. withRows: also the rows of list-like controls.
Description DescribeWindow(const ui::Application& app, ui::HWND hwnd, bool withRows = true);

// DescribeWindow, then the program's describer when there is one.
Description Describe(const ui::Application& app, ui::HWND hwnd, const Describer& describer,
                     bool withRows = true);

// Roles whose children are rows (a list, a combo box, a pop-up list).
inline bool HasRows(Role role) {
    return role == Role::List || role == Role::ComboBox || role == Role::PopupList;
}

// The role's name as desktop accessibility calls it ("push button", "list item", ...).
std::u16string_view RoleName(Role role);

// Presses a button as a click would: a check box (as described) toggles, then its parent is
// told. Selecting a row of a list or combo box sets it and tells the parent, as a click would.
// False when the window cannot do it (hidden, disabled, not that kind).
bool Press(ui::Application& app, ui::HWND hwnd, const Description& described);
bool SelectRow(ui::Application& app, ui::HWND hwnd, int row);

// The windows a user meets, in reading order: the visible, described children of `window`;
// those with an order first, by it, then the rest top to bottom and left to right (rows of 8
// pixels).
std::vector<ui::HWND> ReadingOrder(const ui::Application& app, ui::HWND window,
                                   const Describer& describer);

}  // namespace a11y
