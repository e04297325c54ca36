// The search, related-phrases and favourites views, and the Add button that adds a phrase to
// the favourites or removes it from them.
#include "app/controlids.h"
#include "app/skindlg.h"
#include "catalogue/filenames.h"
#include "catalogue/search.h"
#include "catalogue/subcategories.h"

using namespace ui;

namespace {

constexpr std::u16string_view SearchTip = u"Search (Enter)";

}  // namespace

void CSkinDlg::OnSearchView() {
    runSearchButton.SetTip(SearchTip);
    keywordEdit.EnableWindow(true);
    runSearchButton.ShowWindow(SW_SHOWNORMAL);
    ShowRows({});
    SetViewMode(ViewMode::Search);
    ResolveSelectedPhrase();
    pronunciationLine.SetWindowText(u"");
    keywordEdit.SetWindowText(u"");
    InvalidateRect(&PronunciationArea, true);
    // The keyword box takes what the user types next.
    keywordEdit.SetFocus();
}

void CSkinDlg::OnRunSearch() {
    subcategoryCombo.EnableWindow(false);
    ShowRows({});
    LoadAllPhrases();
    SearchPhrases();
    RemoveDuplicateRows();
    if (SelectFirstRow()) ResolveSelectedPhrase();
    UpdateData(false);
    // Writing the keyword back put the caret before it; the user goes on typing after it.
    const auto end = static_cast<WPARAM>(keywordEdit.GetWindowTextLength());
    keywordEdit.SendMessage(EM_SETSEL, end, static_cast<LPARAM>(end));
}

void CSkinDlg::OnRelate() {
    if (!LoadRelated()) {
        ShowMessage(catalogue::NoRelatedPhrases);
        return;
    }
    keywordEdit.EnableWindow(false);
    SetViewMode(ViewMode::Relate);
    keyword = currentPhrase.Text();
    UpdateData(false);
    if (SelectFirstRow()) ResolveSelectedPhrase();
    keywordEdit.SetWindowText(u"");
}

void CSkinDlg::OnFavourites() {
    // Opens the file when needed; false also when it holds no more than one byte.
    if (!catalogueFiles.favourites.HasFavourites()) {
        ShowMessage(catalogue::NoFavourites);
        return;
    }
    SetViewMode(ViewMode::Favourites);
    FillSubcategories(catalogue::FavouritesCategory);
    LoadFavourites();
    SelectFirstRow();
    ResolveSelectedPhrase();
}

void CSkinDlg::OnAddOrRemove() {
    if (phraseList.GetCount() <= 0) return;
    if (addMode) {
        // Only a phrase the catalogue knows is kept: a row that resolved to nothing adds none.
        if (currentPhrase.number < 1 || currentPhrase.number > PhraseCount) return;
        switch (catalogueFiles.favourites.AddFavourite(currentPhrase)) {
            case catalogue::FavouritesStore::Result::Done:
                ShowMessage(catalogue::FavouriteAdded, Title);
                break;
            case catalogue::FavouritesStore::Result::AlreadyPresent:
                ShowMessage(catalogue::FavouriteExists, Title);
                break;
            default:
                ShowMessage(catalogue::CantSaveFavourite, Title);
                break;
        }
        return;
    }
    if (catalogueFiles.favourites.RemoveFavourite(currentPhrase) ==
        catalogue::FavouritesStore::Result::Failed) {
        ShowMessage(catalogue::CantSaveFavourite, Title);
        return;
    }
    ShowMessage(catalogue::FavouriteRemoved, Title);
    LoadFavourites();
    SelectFirstRow();
    ResolveSelectedPhrase();
}

void CSkinDlg::SearchPhrases() {
    // Only the keyword and the exact-match switch are taken from the controls: the
    // pronunciation line keeps the last phrase's text for the final exchange.
    keyword = GetDlgItemText(ids::KeywordEdit);
    exactMatch = SendDlgItemMessage(ids::ExactMatchCheck, BM_GETCHECK) == BST_CHECKED ? 1 : 0;
    catalogue::ListRows rows;
    catalogue::SearchPhrases(catalogue::SpecDataName, catalogueFiles.pronunciationFile, keyword,
                             exactMatch != 0, rows, Messages());
    ShowRows(std::move(rows));
}

void CSkinDlg::RemoveDuplicateRows() {
    // The rows are taken back from the list, thinned and listed again.
    catalogue::ListRows rows = TakeRows();
    catalogue::RemoveDuplicateRows(rows);
    ShowRows(std::move(rows));
}

bool CSkinDlg::LoadRelated() {
    catalogue::ListRows rows;
    if (!catalogue::LoadRelated(currentPhrase.number, catalogueFiles.englishFile,
                                catalogue::SpecDataName, phraseMap, rows, Messages())) {
        return false;
    }
    ShowRows(std::move(rows));
    UpdateData(false);
    return true;
}

bool CSkinDlg::LoadFavourites() {
    pronunciationText.clear();
    UpdateData(false);
    catalogue::ListRows rows;
    const bool loaded = catalogueFiles.favourites.LoadFavourites(phraseMap, rows);
    ShowRows(std::move(rows));
    return loaded;
}
