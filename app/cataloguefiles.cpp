// The main window's members over the catalogue's text and record files.
#include "app/skindlg.h"
#include "catalogue/filenames.h"
#include "catalogue/pronunciation.h"
#include "catalogue/textconvert.h"

namespace {

constexpr std::u16string_view NotEnoughMemory = u"Not enough memory";
constexpr std::u16string_view CannotReadFile = u"Can't read file";

}  // namespace

void CSkinDlg::OpenCatalogue() {
    // The files lie in the current directory and are opened by their bare names.
    const catalogue::OpenReport report = catalogue::OpenCatalogue(catalogueFiles, {});
    englishConverted = report.englishRebuilt;
    pronunciationConverted = report.pronunciationRebuilt;
    if (report.englishOutOfMemory) ShowMessage(NotEnoughMemory);
}

bool CSkinDlg::ConvertEnglishText() {
    const catalogue::ConvertResult result =
        catalogue::ConvertEnglishText(catalogue::EnglishTextName, catalogue::EnglishDataName);
    if (result == catalogue::ConvertResult::NoMemory) ShowMessage(NotEnoughMemory);
    return result == catalogue::ConvertResult::Written;
}

bool CSkinDlg::ConvertPronunciationText() {
    return catalogue::ConvertPronunciationText(catalogue::PronunciationTextName,
                                               catalogue::PronunciationDataName) ==
           catalogue::ConvertResult::Written;
}

PronunciationRecord CSkinDlg::ReadPronunciation() {
    return catalogue::ReadPronunciation(catalogueFiles.pronunciationFile, currentPhrase.number);
}

void CSkinDlg::LoadAllPhrases() {
    if (!catalogue::LoadAllPhrases(catalogue::EnglishDataName, phraseMap)) {
        ShowMessage(CannotReadFile);
    }
}
