// The written pronunciation of the bundled phrases: "Ipa.txt", UTF-8, one line per phrase
// number in the numbering of "Pro3.txt" (line 1 is phrase 1; a variant has its own line),
// each line the phrase's German in IPA letters, stress and length marks and spaces.
//
// IpaText::Load never fails: a missing, unreadable or oversized file, or one that is not
// UTF-8, gives a text with no lines; a line that is empty or holds anything but IPA gives
// no IPA for its phrase only. Of gives the IPA of a phrase number, empty when there is none.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/filenames.h"
#include "catalogue/records.h"

namespace catalogue {

// True when text is one line of IPA: not empty, neither starting nor ending with a space, and
// made only of IPA letters (Latin small letters included), stress, length and tone marks,
// combining diacritics and single spaces.
bool IsIpaLine(std::u16string_view text);

class IpaText {
public:
    IpaText() = default;

    static IpaText Load(const std::filesystem::path& path = IpaTextName);
    // The same from the file's bytes.
    static IpaText Parse(std::string_view bytes);

    // The IPA of phrase (1-based), without slashes; empty when there is none.
    std::u16string Of(PhraseNo phrase) const;
    // The number of lines read (a line that is not IPA counts, as an empty line).
    std::size_t Lines() const { return lines_.size(); }

private:
    std::vector<std::u16string> lines_;
};

}  // namespace catalogue
