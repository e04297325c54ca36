// Resolving the selected list row to its phrase: its number through the phrase map, its clip
// from the audio archive, its pronunciation line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "catalogue/archive.h"
#include "catalogue/listrow.h"
#include "catalogue/phrasemap.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"

namespace catalogue {

// The row's text (at most 55 code units) and the number the map gives it: leading decimal
// digits of the value, 0 when the text is not in the map.
PhraseRecord ResolveRowText(std::u16string_view rowText, const PhraseMap& map);

// What the window shows and plays for the selected row.
struct SelectedPhrase {
    PhraseRecord currentPhrase;               // the row's text and its number (0: not found)
    PronunciationRecord pronunciationRecord;  // empty when not found
    std::u16string pronunciationText;         // the line shown; empty when not found
    ClipFetch clip;  // the phrase's clip, or why there is none (OutOfRange when not found)
};

// Resolves the selected row (call it only when the list has rows). Found: its clip read from
// the archive and its pronunciation from the open "Chinese.dat". Not found (a row text the map
// does not hold, or a number the archive does not index): no clip, so that nothing can speak
// another phrase than the one shown.
SelectedPhrase ResolveSelectedPhrase(std::u16string_view rowText, const PhraseMap& map,
                                     StdFile& pronunciations, const std::filesystem::path& dataFile,
                                     const std::filesystem::path& indexFile);

}  // namespace catalogue
