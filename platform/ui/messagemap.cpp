#include "platform/ui/messagemap.h"

#include "platform/ui/window.h"

namespace ui {

namespace {

bool Handles(const MessageEntry& e, UINT message, UINT code, int id) {
    return e.message == message && (e.anyCode || e.code == code) && id >= e.firstId &&
           id <= e.lastId;
}

}  // namespace

namespace detail {

HWND ControlFromParam(const Window& window, LPARAM lParam) {
    return HandleFromParam(window.App(), static_cast<std::uintptr_t>(lParam));
}

}  // namespace detail

MessageMatch MessageMap::Match(UINT message, WPARAM wParam) const {
    const UINT code = HIWORD(wParam);
    const int id = LOWORD(wParam);
    for (const MessageMap* map = this; map != nullptr; map = map->base) {
        for (const MessageEntry& e : map->entries) {
            if (Handles(e, message, code, id)) return {&e, map};
        }
    }
    return {};
}

const MessageEntry* MessageMap::Find(UINT message, WPARAM wParam) const {
    return Match(message, wParam).entry;
}

}  // namespace ui
