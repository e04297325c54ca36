// The looks of the main window's controls: the skin bitmaps and tooltips of its buttons, the
// colours and weights of its two transparent texts and the phrase list's font. Applied once,
// at start-up.
#include "app/controlids.h"
#include "app/skindlg.h"
#include "res/bitmaptable.h"

namespace {

// The tooltip of each skinned button, by control; the search-run button gets its tooltip
// only when the search view is entered.
std::u16string_view TipOf(int id) {
    switch (id) {
        case ids::AboutButton:
            return u"About";
        case ids::UpdateButton:
            return u"Update Version";
        case ids::ReportButton:
            return u"Report Bug or Comments";
        case ids::SupportButton:
            return u"Technical Support";
        case ids::SearchViewButton:
            return u"Search (Ctrl+F)";
        case ids::HelpButton:
            return u"Help (F1)";
        case ids::FavouritesButton:
            return u"favourite";
        case ids::RelateButton:
            return u"Relate";
        case ids::BasicButton:
            return u"General";
        case ids::TravelButton:
            return u"Transportation";
        case ids::LodgingButton:
            return u"Hotel";
        case ids::FoodButton:
            return u"Restaurant";
        case ids::BusinessButton:
            return u"Business";
        case ids::ShopingButton:
            return u"Shopping";
        case ids::QuestionButton:
            return u"FAQ";
        case ids::SocialButton:
            return u"Event";
        case ids::SightButton:
            return u"Specialty";
        case ids::EmergencyButton:
            return u"Urgent";
        case ids::AddButton:
            return u"Add to Favourite";
        case ids::MinimiseButton:
            return u"Minimize";
        case ids::CloseButton:
            return u"Close (Esc)";
        case ids::SoundButton:
            return u"Speaking (Space); volume: wheel or +/-";
        case ids::SlowSpeechButton:
            return u"Slower speech";
        case ids::ExportButton:
            return u"Export favourites (Ctrl+E)";
        case ids::PracticeButton:
            return u"Practise these phrases (Ctrl+P)";
        case ids::MicrophoneButton:
            return u"Record yourself and compare (R)";
        default:
            return {};
    }
}

}  // namespace

void CSkinDlg::ApplyControlSkins() {
    versionLabel.textColour = gdi::RGB(255, 255, 255);
    pronunciationLine.fontWeight = gdi::FW_BOLD;
    pronunciationLine.textColour = gdi::RGB(0, 0, 0);

    for (const res::ButtonSkin& skin : res::MainButtonSkins) {
        auto* button = dynamic_cast<CXSkinButton*>(GetDlgItemWindow(skin.control));
        if (button == nullptr) continue;
        const int disabled =
            skin.control == ids::MicrophoneButton ? res::MicrophoneDisabledBitmap : skin.normal;
        button->ApplySkin(skin.normal, skin.down, skin.over, disabled, 0, 0);
        if (skin.control != ids::RunSearchButton) button->SetTip(TipOf(skin.control));
    }

    phraseList.SetListFont(13, u"Arial");
}
