// One phrase as the export writers take it: its texts, the heading it is filed under and its
// clip's MP3 bytes exactly as the audio archive stores them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/records.h"

namespace exporting {

struct ExportPhrase {
    PhraseNo number = 0;
    std::u16string english;          // the listed variant, as a row shows it
    std::u16string german;           // the German line spoken in the clip
    std::u16string ipa;              // empty when there is none
    std::u16string heading;          // "Category: Subcategory"
    std::vector<std::uint8_t> clip;  // empty when the phrase has no clip
};

// The name a phrase's MP3 carries in a deck's media and in a CSV file's folder; the same for
// a phrase in every export, so that re-imports meet the same file.
std::string ClipFileName(PhraseNo number);

}  // namespace exporting
