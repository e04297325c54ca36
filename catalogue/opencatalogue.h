// Opening the catalogue at start-up: the record files, built from their text files when
// they are missing or not whole, and the favourites file.
#pragma once

#include <filesystem>

#include "catalogue/favouritesstore.h"
#include "catalogue/stdfile.h"
#include "catalogue/textconvert.h"

namespace catalogue {

// The catalogue's streams, open for the main window's whole life.
struct CatalogueFiles {
    StdFile englishFile;         // "English.dat", read-only
    StdFile pronunciationFile;   // "Chinese.dat", read-only
    FavouritesStore favourites;  // "favorite.dat"
};

// What opening did beyond opening.
struct OpenReport {
    bool englishRebuilt = false;
    bool pronunciationRebuilt = false;
    ConvertResult englishConversion = ConvertResult::Written;  // meaningful when rebuilt was tried
    bool englishOutOfMemory = false;  // the caller shows "Not enough memory"
};

// Opens the files in dir; an "English.dat" or "Chinese.dat" that is missing or does not hold
// PhraseCount whole records is rebuilt from its text file first (and read as it is when that
// fails). Streams that still cannot be opened stay closed.
OpenReport OpenCatalogue(CatalogueFiles& files, const std::filesystem::path& dir);

}  // namespace catalogue
