// Which phrases an export takes, and gathering them from a folder holding the catalogue's
// files (the program's data folder): texts, IPA, headings and clips.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "export/exportphrase.h"

namespace exporting {

// The favourites (in the order they were added), one category (1-10, in phrase order) or
// every phrase.
struct ExportScope {
    enum class Kind { Favourites, Category, All };
    Kind kind = Kind::Favourites;
    unsigned category = 0;

    static ExportScope Favourites() { return {}; }
    static ExportScope Category(unsigned n) { return {Kind::Category, n}; }
    static ExportScope All() { return {Kind::All, 0}; }
};

// The phrases found. problem is empty when there is something to export; otherwise it says
// why there is not (no favourites, an unreadable catalogue or archive). skipped counts
// favourites whose record names no phrase (number outside 1-782) or repeats one already taken.
struct PhraseSet {
    std::vector<ExportPhrase> phrases;
    int skipped = 0;
    std::u16string problem;
};

inline constexpr std::u16string_view NothingToExport = u"No favourite phrase to export!";

PhraseSet CollectPhrases(const std::filesystem::path& dataDir, ExportScope scope);

// "Category: Subcategory" of a phrase number (the first subcategory holding it); empty
// outside 1-782.
std::u16string HeadingOf(PhraseNo number);

}  // namespace exporting
