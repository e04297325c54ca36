#include "catalogue/opencatalogue.h"

#include <cstdint>

#include "catalogue/filenames.h"
#include "catalogue/records.h"

namespace catalogue {
namespace {

// The record file at path when it holds what its converter writes, PhraseCount whole
// records; closed otherwise. A file of another size was cut short by a stop while it was
// written (or damaged since) and is built again.
StdFile OpenRecordFile(const std::filesystem::path& path, std::size_t recordSize) {
    StdFile file = StdFile::Open(path, "rb");
    const auto size = static_cast<std::int64_t>(static_cast<std::size_t>(PhraseCount) * recordSize);
    if (file && file.Size() != size) file.Close();
    return file;
}

}  // namespace

OpenReport OpenCatalogue(CatalogueFiles& files, const std::filesystem::path& dir) {
    OpenReport report;
    files.englishFile = OpenRecordFile(dir / EnglishDataName, PhraseRecord::Size);
    files.pronunciationFile =
        OpenRecordFile(dir / PronunciationDataName, PronunciationRecord::Size);
    files.favourites = FavouritesStore(dir);
    files.favourites.EnsureFavouritesOpen();

    // A file that cannot be built again is still read as it is.
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
