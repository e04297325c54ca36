// Browsing by category: the fixed subcategory tables, the combo's entries for a category, and
// the list of one range of phrases (their English texts into the phrase map, their keyword-map
// group heads as rows).
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/listrow.h"
#include "catalogue/phrasemap.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"

namespace catalogue {

// The favourites view's single subcategory entry.
inline constexpr unsigned FavouritesCategory = 11;

// The key of a combo entry: category × 100 + the entry's index in the combo.
constexpr int SubcategoryKey(unsigned category, int index) {
    return static_cast<int>(category) * 100 + index;
}

struct SubcategoryName {
    int key;
    std::u16string_view name;
};
struct PhraseRange {
    PhraseNo first;
    PhraseNo last;
};
struct SubcategoryRange {
    int key;
    PhraseRange range;
};

// Every combo entry's name, in table order (categories 1–10, then the favourites view's "All").
extern const std::array<SubcategoryName, 60> SubcategoryNames;
// Every loadable entry's range of phrase numbers, both ends included. The data as given: in
// Travel, "Signs" (205) covers 252–277 and "Train/Bus" (206) 247–251; phrase 774 belongs to
// both 1003 and 1004.
extern const std::array<SubcategoryRange, 59> SubcategoryRanges;

// The range of a key; nothing for a key not in the table (which loads nothing).
std::optional<PhraseRange> FindSubcategoryRange(int key);

// What the subcategory combo holds for a category: the names in table order (entry 0, "All",
// is then selected), whether the combo is enabled, and the Add button's mode (true: add).
// The favourites view (11) gives "All" alone, disabled, remove mode; a category outside 1–11
// gives no entries, enabled, add mode.
struct SubcategoryChoice {
    std::vector<std::u16string> names;
    bool enabled = true;
    bool addMode = true;
};
SubcategoryChoice FillSubcategories(unsigned category);

// Loads phrases first..last: the map is emptied and refilled with their English records (from
// the open "English.dat") and those of every variant of a listed group, so that any word a row
// offers resolves; rows are replaced by the range's group heads (ListSpecRange).
// 0 when "English.dat" is not open: "Can't read map file" is shown and rows and map keep their
// content. 1 otherwise.
int LoadPhraseRange(StdFile& english, const std::filesystem::path& specFile, PhraseNo first,
                    PhraseNo last, PhraseMap& map, ListRows& rows, const MessageSink& show);

// Replaces rows by one row per keyword-map group head of phrases first..last; a group whose
// head lies in the range is listed whole even when it reaches past last, and its variants are
// never listed. A group size of 0 or less counts as 1; the listing ends at the end of the
// file. When "MapEngSpec.data" cannot be opened: "Can't read MapEngSpec file", rows unchanged,
// false. listedEnd, when given, receives the last phrase of the last group listed.
bool ListSpecRange(const std::filesystem::path& specFile, PhraseNo first, PhraseNo last,
                   ListRows& rows, const MessageSink& show, PhraseNo* listedEnd = nullptr);

}  // namespace catalogue
