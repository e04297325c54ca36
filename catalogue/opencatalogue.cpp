#include "catalogue/opencatalogue.h"

#include "catalogue/filenames.h"

namespace catalogue {

OpenReport OpenCatalogue(CatalogueFiles& files, const std::filesystem::path& dir) {
    OpenReport report;
    files.englishFile = StdFile::Open(dir / EnglishDataName, "rb");
    files.pronunciationFile = StdFile::Open(dir / PronunciationDataName, "rb");
    files.favourites = FavouritesStore(dir);
    files.favourites.EnsureFavouritesOpen();

    if (!files.englishFile) {
        report.englishConversion = ConvertEnglishText(dir / EnglishTextName, dir / EnglishDataName);
        report.englishRebuilt = report.englishConversion == ConvertResult::Written;
        report.englishOutOfMemory = report.englishConversion == ConvertResult::NoMemory;
        files.englishFile = StdFile::Open(dir / EnglishDataName, "rb");
    }
    if (!files.pronunciationFile) {
        report.pronunciationRebuilt =
            ConvertPronunciationText(dir / PronunciationTextName, dir / PronunciationDataName) ==
            ConvertResult::Written;
        files.pronunciationFile = StdFile::Open(dir / PronunciationDataName, "rb");
    }
    return report;
}

}  // namespace catalogue
