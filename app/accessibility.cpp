#include "app/accessibility.h"

#include <iterator>

#include "app/aboutdlg.h"
#include "app/controlids.h"
#include "app/practicedlg.h"
#include "app/skindlg.h"

namespace {

// Buttons whose captions are abbreviations or empty: their tooltips name them.
bool NamedByTip(int id) {
    switch (id) {
        case ids::AboutButton:
        case ids::UpdateButton:
        case ids::ReportButton:
        case ids::SupportButton:
        case ids::MinimiseButton:
        case ids::CloseButton:
        case ids::SlowSpeechButton:
        case ids::AddButton:
            return true;
        default:
            return false;
    }
}

// A tooltip without its key hint: "Close (Esc)" names "Close".
std::u16string WithoutKeyHint(std::u16string tip) {
    if (const auto open = tip.find(u" ("); open != std::u16string::npos && tip.ends_with(u')'))
        tip.erase(open);
    return tip;
}

void DescribeSkinButton(CXSkinButton& button, int id, a11y::Description& d) {
    const ui::ToolTip* tip = button.Tip();
    const std::u16string tipText = tip != nullptr ? tip->GetText(button) : std::u16string{};
    if (NamedByTip(id) && !tipText.empty()) {
        d.name = WithoutKeyHint(tipText);
        if (d.name != tipText) d.description = tipText;
    } else if (!tipText.empty() && tipText != d.name) {
        d.description = tipText;
    }
    if (button.Kind() == CXSkinButton::ButtonKind::Check) {
        d.role = a11y::Role::ToggleButton;
        d.checkable = true;
        d.checked = button.IsChecked();
    }
    d.selected = button.IsLatched();
}

// The main window's reading order (and Tab's): the title bar, the views, the chooser or the
// keyword, the phrases and their German line, the categories, the links at the foot.
constexpr int ReadingOrder[] = {
    ids::AboutButton,      ids::HelpButton,       ids::MinimiseButton,   ids::CloseButton,
    ids::SearchViewButton, ids::FavouritesButton, ids::RelateButton,     ids::VersionLabel,
    ids::SubcategoryLabel, ids::KeywordLabel,     ids::YourPhraseLabel,  ids::RelatedLabel,
    ids::SubcategoryCombo, ids::KeywordEdit,      ids::ExactMatchCheck,  ids::RunSearchButton,
    ids::AddButton,        ids::ExportButton,     ids::PhraseList,       ids::PronunciationLine,
    ids::MicrophoneButton, ids::SoundButton,      ids::SlowSpeechButton, ids::BasicButton,
    ids::TravelButton,     ids::FoodButton,       ids::LodgingButton,    ids::BusinessButton,
    ids::SightButton,      ids::SocialButton,     ids::ShopingButton,    ids::EmergencyButton,
    ids::QuestionButton,   ids::UpdateButton,     ids::SupportButton,    ids::ReportButton};

int PlaceInReadingOrder(int id) {
    for (std::size_t i = 0; i < std::size(ReadingOrder); ++i) {
        if (ReadingOrder[i] == id) return static_cast<int>(i) + 1;
    }
    return 0;
}

void DescribeMainControl(const CSkinDlg& dlg, ui::Window* window, int id, a11y::Description& d) {
    d.order = PlaceInReadingOrder(id);
    if (auto* button = dynamic_cast<CXSkinButton*>(window)) {
        DescribeSkinButton(*button, id, d);
        return;
    }
    switch (id) {
        case ids::PronunciationLine:
            // The German line of the selected phrase: read out whenever it changes.
            d.role = a11y::Role::Text;
            d.live = true;
            d.description = dlg.IpaLine();
            break;
        case ids::PhraseList:
            d.name = u"Phrases";
            break;
        case ids::SubcategoryCombo:
            d.name = u"Sub Category";
            break;
        case ids::KeywordEdit:
            d.name = u"Input keyword or phrase";
            break;
        case ids::VersionLabel:
            d.name = u"Version " + d.text;
            break;
        default:
            break;
    }
}

}  // namespace

void DescribeProgramWindow(const ui::Application& app, ui::HWND hwnd, a11y::Description& d) {
    const ui::WindowNode* node = app.Node(hwnd);
    ui::Window* window = app.FromHandle(hwnd);
    if (node == nullptr || window == nullptr) return;
    if (!node->IsChild()) {
        if (dynamic_cast<CSkinDlg*>(window) != nullptr) {
            d.role = a11y::Role::Frame;
            d.name = std::u16string(AccessibleAppName);
        } else if (dynamic_cast<CAboutDlg*>(window) != nullptr) {
            d.role = a11y::Role::Dialog;
            d.name = u"About";
        } else if (dynamic_cast<CPracticeDlg*>(window) != nullptr) {
            d.role = a11y::Role::Dialog;
            d.name = u"Practice";
        }
        return;
    }
    ui::Window* parent = app.FromHandle(node->parent);
    if (auto* list = dynamic_cast<CMyListBox*>(parent); list && list->ChoiceCombo() == window) {
        d.role = a11y::Role::PopupList;
        d.name = u"Word choices";
        return;
    }
    if (dynamic_cast<CPracticeDlg*>(parent) != nullptr) {
        // The card's phrase and its German line are read out as they change; "Show" and the
        // grades are buttons a reader can press.
        d.live = node->id == ids::PracticeEnglishLabel || node->id == ids::PracticeGermanLabel;
        if (node->id >= ids::PracticeShowLink && node->id <= ids::PracticeEasyLink) {
            d.role = a11y::Role::PushButton;
            if (d.name.empty()) d.name = d.text;
        }
        return;
    }
    if (const auto* dlg = dynamic_cast<CSkinDlg*>(parent)) {
        DescribeMainControl(*dlg, window, node->id, d);
    } else if (auto* button = dynamic_cast<CXSkinButton*>(window)) {
        DescribeSkinButton(*button, node->id, d);
    }
}
