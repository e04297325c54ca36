// A search keyword that forgives how German is typed: letter case aside, ä, ö and ü in a
// text are found by "a", "o", "u" as by "ae", "oe", "ue", and ß by "s" as by "ss"; a keyword
// that itself holds these letters finds them both ways too. So "gepack" and "gepaeck" find
// "Gepäck", "munchen" and "muenchen" find "München". Every text the plain case-blind keyword
// finds, this one finds as well.
#pragma once

#include <string>
#include <string_view>

namespace catalogue {

class LenientKeyword {
public:
    explicit LenientKeyword(std::u16string_view keyword);

    bool Empty() const { return key_.empty(); }
    // The keyword occurs somewhere in text.
    bool FoundIn(std::u16string_view text) const;
    // The keyword is the whole of text.
    bool Matches(std::u16string_view text) const;

private:
    bool Run(std::u16string_view text, bool anywhere) const;

    // Lower case, with ä, ö, ü and ß written out as ae, oe, ue and ss.
    std::u16string key_;
};

}  // namespace catalogue
