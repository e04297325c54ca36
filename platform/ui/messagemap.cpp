#include "platform/ui/messagemap.h"

namespace ui {

const MessageEntry* MessageMap::Find(UINT message, WPARAM wParam) const {
    const UINT code = HIWORD(wParam);
    const int id = LOWORD(wParam);
    for (const MessageMap* map = this; map != nullptr; map = map->base) {
        for (const MessageEntry& e : map->entries) {
            switch (e.kind) {
                case MessageEntry::Kind::Message:
                    if (e.message == message) return &e;
                    break;
                case MessageEntry::Kind::Command:
                    if (message == WM_COMMAND && e.code == code && id >= e.firstId &&
                        id <= e.lastId)
                        return &e;
                    break;
                case MessageEntry::Kind::ReflectedCommand:
                    if (message == OCM_COMMAND && e.code == code) return &e;
                    break;
            }
        }
    }
    return nullptr;
}

}  // namespace ui
