// Practising the phrases the window lists: the favourites in the favourites view, the
// subcategory in a category view, the results of a search.
#include "app/controlids.h"
#include "app/practicedlg.h"
#include "app/skindlg.h"
#include "catalogue/filenames.h"
#include "catalogue/pronunciation.h"
#include "catalogue/selectedphrase.h"

void CSkinDlg::OnPractice() {
    std::vector<CPracticeDlg::Phrase> phrases;
    const int count = phraseList.GetCount();
    for (int i = 0; i < count; ++i) {
        // Each row as it shows (a bracketed phrase as its shown variant); a row that names no
        // phrase of the catalogue is left out.
        std::u16string text = phraseList.GetText(i);
        const PhraseNo n = catalogue::ResolveRowText(text, phraseMap).number;
        if (n < 1 || n > PhraseCount) continue;
        std::u16string german = catalogue::PronunciationDisplayText(
            catalogue::ReadPronunciation(catalogueFiles.pronunciationFile, n), n);
        // The card and practice.dat show the text without the file's byte-order mark and
        // line end, which phrase 1's row still carries.
        std::erase_if(text, [](char16_t c) { return c == u'\uFEFF' || c == u'\r' || c == u'\n'; });
        phrases.push_back({static_cast<std::uint32_t>(n), std::move(text), std::move(german)});
    }
    if (phrases.empty()) {
        ShowMessage(NothingToPractise, Title);
        return;
    }
    catalogue::PracticeDeck deck = catalogue::LoadPracticeDeck(".", [](std::uint32_t n) {
        return n >= 1 && n <= static_cast<std::uint32_t>(PhraseCount);
    });
    // A damaged file is moved aside as it is found, so this is said once.
    if (deck.setAside) ShowMessage(PracticeSetAside, Title);
    player.Stop();
    DropTake();
    CPracticeDlg practice(GetApplication(), this, std::move(phrases), std::move(deck.cards),
                          catalogue::LocalToday(), [this](std::uint32_t n) { SpeakPhrase(n); });
    practice.DoModal();
    // The player holds the selected row's clip again.
    ResolveSelectedPhrase();
}

void CSkinDlg::SpeakPhrase(std::uint32_t n) {
    CueClip(catalogue::ReadClip(catalogue::ClipDataName, catalogue::ClipIndexName,
                                static_cast<PhraseNo>(n)));
    if (soundArmed) player.Play();
}
