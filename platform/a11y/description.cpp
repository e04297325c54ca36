#include "platform/a11y/description.h"

#include <algorithm>
#include <climits>

#include "platform/ui/button.h"
#include "platform/ui/combobox.h"
#include "platform/ui/dialog.h"
#include "platform/ui/edit.h"
#include "platform/ui/listbox.h"
#include "platform/ui/messages.h"
#include "platform/ui/static.h"
#include "platform/ui/window.h"

namespace a11y {

namespace {

using ui::Style;

void ReadRows(const ui::ListBox& list, Description& d) {
    const int count = std::max(list.GetCount(), 0);
    d.rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        d.rows.push_back(list.GetText(i));
    d.selectedRow = list.GetCurSel();
}

void ReadRows(const ui::ComboBox& combo, Description& d) {
    const int count = std::max(combo.GetCount(), 0);
    d.rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        d.rows.push_back(combo.GetLBText(i));
    d.selectedRow = combo.GetCurSel();
}

void DescribeButton(const ui::Button& button, Description& d) {
    const Style type = button.GetStyle() & ui::BS_TYPEMASK;
    switch (type) {
        case ui::BS_CHECKBOX:
        case ui::BS_AUTOCHECKBOX:
        case ui::BS_3STATE:
        case ui::BS_AUTO3STATE:
            d.role = Role::CheckBox;
            d.checkable = true;
            d.checked = button.GetCheck() == ui::BST_CHECKED;
            break;
        case ui::BS_GROUPBOX:
            d.role = Role::Label;
            return;
        default:
            d.role = Role::PushButton;
            break;
    }
    d.focusable = true;
}

}  // namespace

Description DescribeWindow(const ui::Application& app, ui::HWND hwnd, bool withRows) {
    Description d;
    const ui::WindowNode* node = app.Node(hwnd);
    ui::Window* window = app.FromHandle(hwnd);
    if (node == nullptr || window == nullptr) return d;
    d.name = node->text;
    d.text = node->text;
    d.showing = app.IsWindowVisible(hwnd);
    d.enabled = app.IsWindowEnabled(hwnd);
    d.focused = app.GetFocus() == hwnd;
    if (!node->IsChild()) {
        if ((node->exStyle & ui::WS_EX_TOOLWINDOW) != 0) return d;
        d.role = dynamic_cast<ui::Dialog*>(window) != nullptr && node->owner ? Role::Dialog
                                                                             : Role::Frame;
        d.focused = app.GetActiveWindow() == hwnd;
        return d;
    }
    if (const auto* button = dynamic_cast<const ui::Button*>(window)) {
        DescribeButton(*button, d);
    } else if (const auto* list = dynamic_cast<const ui::ListBox*>(window)) {
        d.role = Role::List;
        d.focusable = true;
        if (withRows) ReadRows(*list, d);
    } else if (const auto* combo = dynamic_cast<const ui::ComboBox*>(window)) {
        d.role = Role::ComboBox;
        d.focusable = true;
        ReadRows(*combo, d);  // its name is the chosen row
        if (d.selectedRow >= 0 && d.selectedRow < static_cast<int>(d.rows.size()))
            d.name = d.rows[static_cast<std::size_t>(d.selectedRow)];
    } else if (const auto* edit = dynamic_cast<const ui::Edit*>(window)) {
        d.role = Role::Entry;
        d.focusable = true;
        int start = 0, end = 0;
        edit->GetSel(start, end);
        d.caret = end;
    } else if (dynamic_cast<const ui::Static*>(window) != nullptr) {
        d.role = Role::Label;
    }
    return d;
}

Description Describe(const ui::Application& app, ui::HWND hwnd, const Describer& describer,
                     bool withRows) {
    Description d = DescribeWindow(app, hwnd, withRows);
    if (describer) describer(app, hwnd, d);
    return d;
}

std::u16string_view RoleName(Role role) {
    switch (role) {
        case Role::Hidden:
            return u"";
        case Role::Frame:
            return u"frame";
        case Role::Dialog:
            return u"dialog";
        case Role::PushButton:
            return u"push button";
        case Role::ToggleButton:
            return u"toggle button";
        case Role::CheckBox:
            return u"check box";
        case Role::List:
            return u"list";
        case Role::ListItem:
            return u"list item";
        case Role::ComboBox:
            return u"combo box";
        case Role::PopupList:
            return u"popup menu";
        case Role::Entry:
            return u"text";
        case Role::Label:
            return u"label";
        case Role::Text:
            return u"text";
    }
    return u"";
}

bool Press(ui::Application& app, ui::HWND hwnd, const Description& described) {
    if (!app.IsWindow(hwnd) || !app.IsWindowVisible(hwnd) || !app.IsWindowEnabled(hwnd))
        return false;
    const ui::WindowNode* node = app.Node(hwnd);
    if (node == nullptr || !node->IsChild()) return false;
    if (described.checkable) {
        app.SendMessage(hwnd, ui::BM_SETCHECK,
                        described.checked ? ui::BST_UNCHECKED : ui::BST_CHECKED);
    }
    return app.PostMessage(node->parent, ui::WM_COMMAND,
                           ui::MAKEWPARAM(static_cast<unsigned>(node->id), ui::BN_CLICKED),
                           ui::HandleToParam(hwnd));
}

bool SelectRow(ui::Application& app, ui::HWND hwnd, int row) {
    if (!app.IsWindowVisible(hwnd) || !app.IsWindowEnabled(hwnd)) return false;
    ui::Window* window = app.FromHandle(hwnd);
    const ui::WindowNode* node = app.Node(hwnd);
    if (window == nullptr || node == nullptr || !node->IsChild()) return false;
    ui::UINT notify = 0;
    if (auto* list = dynamic_cast<ui::ListBox*>(window)) {
        if (row < 0 || row >= list->GetCount() || list->SetCurSel(row) < 0) return false;
        notify = ui::LBN_SELCHANGE;
    } else if (auto* combo = dynamic_cast<ui::ComboBox*>(window)) {
        if (row < 0 || row >= combo->GetCount() || combo->SetCurSel(row) < 0) return false;
        notify = ui::CBN_SELCHANGE;
    } else {
        return false;
    }
    return app.PostMessage(node->parent, ui::WM_COMMAND,
                           ui::MAKEWPARAM(static_cast<unsigned>(node->id), notify),
                           ui::HandleToParam(hwnd));
}

std::vector<ui::HWND> ReadingOrder(const ui::Application& app, ui::HWND window,
                                   const Describer& describer) {
    struct Placed {
        ui::HWND hwnd;
        ui::RECT rect;
        int order;
    };
    std::vector<Placed> placed;
    const ui::WindowNode* node = app.Node(window);
    if (node == nullptr) return {};
    for (ui::HWND child : node->children) {
        if (!app.IsWindowVisible(child)) continue;
        const Description d = Describe(app, child, describer, false);
        if (d.role == Role::Hidden) continue;
        placed.push_back({child, app.GetWindowRect(child), d.order > 0 ? d.order : INT_MAX});
    }
    // Rows of 8 pixels: controls whose tops lie that close read as one line, left to right.
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        if (a.order != b.order) return a.order < b.order;
        const int rowA = a.rect.top / 8, rowB = b.rect.top / 8;
        if (rowA != rowB) return rowA < rowB;
        return a.rect.left < b.rect.left;
    });
    std::vector<ui::HWND> order;
    order.reserve(placed.size());
    for (const Placed& p : placed)
        order.push_back(p.hwnd);
    return order;
}

}  // namespace a11y
