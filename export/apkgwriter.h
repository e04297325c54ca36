// The flashcard deck: an Anki package in the legacy layout that Anki 2.1 imports. A zip holding
// "collection.anki2" (an SQLite collection of schema 11 with one note type, "Tolkara German",
// fields English, German, IPA and Audio, and the cards "English → German" and
// "German audio → English"), the "media" map from member number to file name, and the clips as
// members "0", "1", ….
//
// Note ids, guids and card ids come from the phrase numbers, and the note type's and deck's ids
// are fixed, so importing a later export updates the notes of an earlier one instead of adding
// them again. A phrase without a clip gets only its English → German card.
#pragma once

#include <filesystem>
#include <span>

#include "export/exportphrase.h"
#include "export/writeresult.h"

namespace exporting {

// The fixed ids and the stable ids of a phrase's note and cards.
inline constexpr long long DeckNoteTypeId = 1720000000000;
inline constexpr long long DeckId = 1720000000001;
long long NoteIdOf(PhraseNo number);
long long CardIdOf(PhraseNo number, int templateOrdinal);
std::string GuidOf(PhraseNo number);

// Writes the package to file (created or truncated).
WriteResult WriteApkg(const std::filesystem::path& file, std::span<const ExportPhrase> phrases);

}  // namespace exporting
