#include "catalogue/item.h"

// Each slot keeps its first alternative in its brackets. A slot with no "|" before its "]"
// shows as written, and a "[" with no "]" after it is left alone, so that broken data keeps
// every character outside the broken slot and construction always ends.
CItem::CItem(const std::u16string& text) : raw(text), display(text) {
    std::u16string& work = display;
    std::size_t p = 0;
    while (true) {
        std::size_t open = work.find(u'[', p);
        if (open == std::u16string::npos) break;
        std::size_t close = work.find(u']', open);
        if (close == std::u16string::npos) {
            p = open + 1;
            continue;
        }
        std::size_t bar = work.find(u'|', open);
        if (bar == std::u16string::npos || bar > close) {
            p = close + 1;
            continue;
        }
        work.erase(bar, close - bar);
        p = bar;
    }
}
