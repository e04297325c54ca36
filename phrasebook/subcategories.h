// The categories and subcategories the phrase list is browsed by, with the phrase range each
// subcategory lists. The phrasebook's source names its sections after these entries.
#pragma once

#include <span>
#include <string_view>

#include "catalogue/records.h"

namespace phrasebook {

struct Subcategory {
    int category;                   // 1..10
    int index;                      // position in the combo box; 0 is "All"
    std::string_view categoryName;  // the category button's caption
    std::string_view name;
    PhraseNo first;
    PhraseNo last;
};

// Every entry of categories 1 to 10, "All" entries included, in combo order.
std::span<const Subcategory> Subcategories();

// The entry named category / name (not "All"), or nullptr.
const Subcategory* FindSubcategory(std::string_view categoryName, std::string_view name);

}  // namespace phrasebook
