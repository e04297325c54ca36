#include "catalogue/lenientmatch.h"

#include <vector>

namespace catalogue {
namespace {

// Lower case for the letters of ASCII and Latin-1, and the capital sharp s.
char16_t Lower(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    if (c == 0x1E9E) return 0xDF;
    return c;
}

// How a lower-case umlaut or sharp s is written without it; empty for other letters.
std::u16string_view WrittenOut(char16_t c) {
    switch (c) {
        case 0xE4:
            return u"ae";
        case 0xF6:
            return u"oe";
        case 0xFC:
            return u"ue";
        case 0xDF:
            return u"ss";
        default:
            return {};
    }
}

}  // namespace

LenientKeyword::LenientKeyword(std::u16string_view keyword) {
    for (const char16_t unit : keyword) {
        const char16_t c = Lower(unit);
        const std::u16string_view out = WrittenOut(c);
        if (out.empty()) {
            key_.push_back(c);
        } else {
            key_.append(out);
        }
    }
}

bool LenientKeyword::FoundIn(std::u16string_view text) const {
    return Run(text, true);
}

bool LenientKeyword::Matches(std::u16string_view text) const {
    return Run(text, false);
}

// Walks the text once, keeping every length of keyword matched so far that can still go on
// (an umlaut takes one or two keyword letters), so the time stays text × keyword.
bool LenientKeyword::Run(std::u16string_view text, bool anywhere) const {
    const std::size_t n = key_.size();
    if (n == 0) return anywhere || text.empty();
    std::vector<char> now(n + 1, 0), next(n + 1, 0);
    now[0] = 1;
    for (const char16_t unit : text) {
        const char16_t c = Lower(unit);
        const std::u16string_view out = WrittenOut(c);
        std::fill(next.begin(), next.end(), 0);
        for (std::size_t k = 0; k < n; ++k) {
            if (!now[k]) continue;
            if (out.empty()) {
                if (key_[k] == c) next[k + 1] = 1;
                continue;
            }
            if (key_[k] == out[0]) {
                next[k + 1] = 1;
                if (k + 1 < n && key_[k + 1] == out[1]) next[k + 2] = 1;
            }
        }
        if (anywhere) {
            if (next[n]) return true;
            next[0] = 1;
        }
        now.swap(next);
    }
    return now[n] != 0;
}

}  // namespace catalogue
