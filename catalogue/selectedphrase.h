// Resolving the selected list row to its phrase: its number through the phrase map, its clip
// into the player, its pronunciation line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "audio/audioplayer.h"
#include "catalogue/listrow.h"
#include "catalogue/phrasemap.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"

namespace catalogue {

// The row's text (at most 55 code units) and the number the map gives it: leading decimal
// digits of the value, 0 when the text is not in the map.
PhraseRecord ResolveRowText(std::u16string_view rowText, const PhraseMap& map);

// What the window shows for the selected row.
struct SelectedPhrase {
    PhraseRecord currentPhrase;               // the row's text and its number (0: not found)
    PronunciationRecord pronunciationRecord;  // empty when not found
    std::u16string pronunciationText;         // the line shown; empty when not found
};

// Resolves the selected row (call it only when the list has rows). Found: FetchClip with its
// number into the player (messages through show) and its pronunciation from the open
// "Chinese.dat". Not found: number 0, empty line, and the player closed, so that neither Add
// nor Sound can act on another phrase than the one shown.
SelectedPhrase ResolveSelectedPhrase(std::u16string_view rowText, const PhraseMap& map,
                                     StdFile& pronunciations, const std::filesystem::path& dataFile,
                                     const std::filesystem::path& indexFile, CAudioPlayer& player,
                                     const MessageSink& show);

}  // namespace catalogue
