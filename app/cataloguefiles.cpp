// The main window's members over the catalogue's text and record files.
#include "app/skindlg.h"
#include "catalogue/filenames.h"

namespace {

constexpr std::u16string_view NotEnoughMemory = u"Not enough memory";
constexpr std::u16string_view CannotReadFile = u"Can't read file";

}  // namespace

void CSkinDlg::OpenCatalogue() {
    // The files lie in the current directory and are opened by their bare names.
    const catalogue::OpenReport report = catalogue::OpenCatalogue(catalogueFiles, {});
    if (report.englishOutOfMemory) ShowMessage(NotEnoughMemory);
}

void CSkinDlg::LoadAllPhrases() {
    if (!catalogue::LoadAllPhrases(catalogue::EnglishDataName, phraseMap)) {
        ShowMessage(CannotReadFile);
    }
}
