// The views of the main window and the category buttons: which controls each view shows,
// the subcategory chooser and loading its phrases into the list.
#include "app/controlids.h"
#include "app/skindlg.h"
#include "catalogue/filenames.h"
#include "catalogue/subcategories.h"

using namespace ui;

namespace {

// The controls a view switch shows or hides, and in which views they show.
struct ViewControl {
    int id;
    bool category, favourites, search, relate;
};

// clang-format off
constexpr ViewControl ViewControls[] = {
    //  control                    category favourites search relate
    {ids::SubcategoryCombo,        true,    true,      false,  false},
    {ids::SubcategoryLabel,        true,    true,      false,  false},
    {ids::KeywordLabel,            false,   false,     true,   false},
    {ids::KeywordEdit,             false,   false,     true,   true},
    {ids::ExactMatchCheck,         false,   false,     true,   false},
    {ids::YourPhraseLabel,         false,   false,     false,  true},
    {ids::RelatedLabel,            false,   false,     false,  true},
    {ids::RunSearchButton,         false,   false,     true,   false},
    {ids::ExportButton,            false,   true,      false,  false},
};
// clang-format on

constexpr std::u16string_view AddTip = u"Add To Favourite";
constexpr std::u16string_view RemoveTip = u"Remove From Favourite";

// The category number of each category button.
int CategoryOfButton(int id) {
    switch (id) {
        case ids::BasicButton:
            return 1;
        case ids::TravelButton:
            return 2;
        case ids::FoodButton:
            return 3;
        case ids::LodgingButton:
            return 4;
        case ids::BusinessButton:
            return 5;
        case ids::SightButton:
            return 6;
        case ids::SocialButton:
            return 7;
        case ids::ShopingButton:
            return 8;
        case ids::EmergencyButton:
            return 9;
        case ids::QuestionButton:
            return 10;
        default:
            return 0;
    }
}

}  // namespace

void CSkinDlg::SetViewMode(ViewMode mode) {
    for (const ViewControl& control : ViewControls) {
        const bool shown = mode == ViewMode::Category     ? control.category
                           : mode == ViewMode::Favourites ? control.favourites
                           : mode == ViewMode::Search     ? control.search
                                                          : control.relate;
        if (Window* window = GetDlgItemWindow(control.id)) {
            window->ShowWindow(shown ? SW_SHOWNORMAL : SW_HIDE);
        }
    }
    if (mode != ViewMode::Category) LatchCategoryButton(0);
    addMode = mode != ViewMode::Favourites;
    addButton.SetTip(addMode ? AddTip : RemoveTip);
    if (mode == ViewMode::Search) keywordEdit.SetReadOnly(false);
    RepaintModeArea();
}

void CSkinDlg::RepaintModeArea() {
    const RECT area{120, 80, 500, 210};
    InvalidateRect(&area, true);
}

void CSkinDlg::OnCategoryButton(int id) {
    const int n = CategoryOfButton(id);
    if (n != 0) SelectCategory(n);
}

void CSkinDlg::SelectCategory(int n) {
    SetViewMode(ViewMode::Category);
    category = n;
    LatchCategoryButton(n);
    FillSubcategories(static_cast<unsigned>(n));
    LoadSubcategory();
}

void CSkinDlg::FillSubcategories(unsigned n) {
    const catalogue::SubcategoryChoice choice = catalogue::FillSubcategories(n);
    subcategoryCombo.ResetContent();
    for (std::size_t i = 0; i < choice.names.size(); ++i) {
        subcategoryCombo.InsertString(static_cast<int>(i), choice.names[i]);
    }
    subcategoryCombo.EnableWindow(choice.enabled);
    addMode = choice.addMode;
    subcategoryCombo.SetCurSel(0);
}

void CSkinDlg::LoadSubcategory() {
    const int key =
        catalogue::SubcategoryKey(static_cast<unsigned>(category), subcategoryCombo.GetCurSel());
    if (const auto range = catalogue::FindSubcategoryRange(key)) {
        LoadPhraseRange(range->first, range->last);
    }
    if (phraseList.GetCount() > 0) {
        phraseList.SetFocus();
        phraseList.SetCurSel(0);
        ResolveSelectedPhrase();
    }
}

bool CSkinDlg::LoadPhraseRange(PhraseNo first, PhraseNo last) {
    catalogue::ListRows rows;
    if (catalogue::LoadPhraseRange(catalogueFiles.englishFile, catalogue::SpecDataName, first, last,
                                   phraseMap, rows, Messages()) == 0)
        return false;
    ShowRows(std::move(rows));
    UpdateData(false);
    return true;
}
