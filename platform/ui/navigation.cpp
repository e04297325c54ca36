// Dialog navigation: the next tab stop and the next control of a group.
#include <algorithm>

#include "platform/ui/application.h"

namespace ui {

namespace {

bool CanTakeFocus(const WindowNode* c) {
    return c != nullptr && (c->style & WS_VISIBLE) != 0 && (c->style & WS_DISABLED) == 0;
}

}  // namespace

HWND Application::GetNextDlgTabItem(HWND dialog, HWND control, bool previous) const {
    const WindowNode* d = Node(dialog);
    if (d == nullptr || d->children.empty()) return nullptr;
    const std::vector<HWND>& kids = d->children;
    // A control inside a control counts as its ancestor among the dialog's children.
    HWND start = control;
    for (const WindowNode* c = Node(control); c != nullptr && c->IsChild(); c = ParentNode(*c)) {
        if (c->parent == dialog) {
            start = c->handle;
            break;
        }
    }
    const auto n = static_cast<std::ptrdiff_t>(kids.size());
    auto at = std::find(kids.begin(), kids.end(), start);
    std::ptrdiff_t index = at == kids.end() ? (previous ? 0 : n - 1) : at - kids.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = ((index + (previous ? -step : step)) % n + n) % n;
        const WindowNode* c = Node(kids[static_cast<std::size_t>(i)]);
        if (CanTakeFocus(c) && (c->style & WS_TABSTOP) != 0) return c->handle;
    }
    return control;
}

HWND Application::GetNextDlgGroupItem(HWND dialog, HWND control, bool previous) const {
    const WindowNode* d = Node(dialog);
    if (d == nullptr) return nullptr;
    const std::vector<HWND>& kids = d->children;
    const auto at = std::find(kids.begin(), kids.end(), control);
    if (at == kids.end()) {
        for (const HWND k : kids) {
            if (CanTakeFocus(Node(k))) return k;
        }
        return nullptr;
    }
    const std::size_t index = static_cast<std::size_t>(at - kids.begin());
    // The group runs from the nearest WS_GROUP control at or before this one up to the next
    // WS_GROUP control.
    std::size_t first = index;
    while (first > 0 && (Node(kids[first])->style & WS_GROUP) == 0)
        --first;
    std::size_t last = index + 1;
    while (last < kids.size() && (Node(kids[last])->style & WS_GROUP) == 0)
        ++last;
    const auto size = static_cast<std::ptrdiff_t>(last - first);
    const auto pos = static_cast<std::ptrdiff_t>(index - first);
    for (std::ptrdiff_t step = 1; step < size; ++step) {
        const std::ptrdiff_t i = ((pos + (previous ? -step : step)) % size + size) % size;
        const HWND h = kids[first + static_cast<std::size_t>(i)];
        if (CanTakeFocus(Node(h))) return h;
    }
    return control;
}

}  // namespace ui
