// One row of the phrase list: a keyword-map group head with all its alternatives (raw),
// and the text the row shows (display), where every slot [a|b|...] reads [a].
#pragma once

#include <string>

class CItem {
public:
    explicit CItem(const std::u16string& text);
    virtual ~CItem() = default;

    std::u16string raw;
    std::u16string display;
};
