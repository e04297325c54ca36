// Other ways to fill the phrase list: keyword search over the keyword map, and the phrases
// related to the selected one by a fixed table.
#pragma once

#include <array>
#include <filesystem>
#include <string_view>

#include "catalogue/listrow.h"
#include "catalogue/phrasemap.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"

namespace catalogue {

// At most this many code units of the keyword take part in a search.
inline constexpr std::size_t KeywordLimit = 511;

// Replaces rows by one row per keyword-map group head whose text (slots and all, up to its NUL
// or first LF) contains the keyword as a LenientKeyword finds it, or with exactMatch equals it
// letter case aside. A row found only through the words of one of its group's variants shows
// that variant's words in its slots. An empty keyword searches nothing and leaves rows alone. When
// "MapEngSpec.data" cannot be opened: "Can't read MapEngSpec file", rows unchanged. The caller
// fills the map first (LoadAllPhrases).
void SearchPhrases(const std::filesystem::path& specFile, std::u16string_view keyword,
                   bool exactMatch, ListRows& rows, const MessageSink& show);

// As above; when the English texts give no row, the German lines (from the open "Chinese.dat")
// are searched instead (SearchGermanLines).
void SearchPhrases(const std::filesystem::path& specFile, StdFile& pronunciations,
                   std::u16string_view keyword, bool exactMatch, ListRows& rows,
                   const MessageSink& show);

// Appends a row for each phrase whose German line (as shown, without its CR) contains the
// keyword as a LenientKeyword finds it, or is it with exactMatch; in phrase order. The row is
// the one the English search gives its group: the head's item, showing the phrase's own words
// when the phrase is a variant of the group. Nothing when a file cannot be read.
void SearchGermanLines(const std::filesystem::path& specFile, StdFile& pronunciations,
                       std::u16string_view keyword, bool exactMatch, ListRows& rows);

// Keeps the first row of each text (compared without regard to letter case), in order; the
// items of the removed rows are released.
void RemoveDuplicateRows(ListRows& rows);

// A phrase and up to 11 related phrase numbers (0: empty slot).
struct RelatedRow {
    PhraseNo phrase;
    std::array<PhraseNo, 11> related;
};
// 138 rows, in table order; the first row of a phrase counts (270 has two).
extern const std::array<RelatedRow, 138> RelatedTable;

// The first row of RelatedTable for phrase, or nullptr.
const RelatedRow* FindRelatedRow(PhraseNo phrase);

// Lists the phrases related to current: map and rows are emptied once and each related phrase
// is added in slot order (AddRelatedPhrase). False when the phrase has no row (map and rows
// unchanged; the caller then shows "No related phrase(s) found!").
bool LoadRelated(PhraseNo current, StdFile& english, const std::filesystem::path& specFile,
                 PhraseMap& map, ListRows& rows, const MessageSink& show);

// Adds phrase n: its English record into the map (with its variants' records when it heads a
// group, so that every word its row offers resolves) and its own keyword-map record as a row
// (even when that record is not a group head). 0 with "Can't read map file" when "English.dat"
// is not open or holds no record n; a keyword-map file that cannot be opened or holds no record
// n shows "Can't read MapEngSpec file" and adds no row, yet answers 1.
int AddRelatedPhrase(PhraseNo n, StdFile& english, const std::filesystem::path& specFile,
                     PhraseMap& map, ListRows& rows, const MessageSink& show);

}  // namespace catalogue
