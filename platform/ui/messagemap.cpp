#include "platform/ui/messagemap.h"

namespace ui {

namespace {

bool Handles(const MessageEntry& e, UINT message, UINT code, int id) {
    switch (e.kind) {
        case MessageEntry::Kind::Message:
            return e.message == message;
        case MessageEntry::Kind::Command:
            return message == WM_COMMAND && e.code == code && id >= e.firstId && id <= e.lastId;
        case MessageEntry::Kind::ReflectedCommand:
            return message == OCM_COMMAND && e.code == code;
    }
    return false;
}

}  // namespace

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
