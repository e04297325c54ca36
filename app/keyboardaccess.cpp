// The keyboard everywhere: Ctrl+1 … Ctrl+0 choose the ten categories, Enter presses
// the focused skinned button, Tab brings out the focus rings, and the current category's button
// stays drawn pressed while its category is shown. Ctrl+H switches the phrase list to readable
// colours. F11 shows the selected phrase's German line in large print.
#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "app/accessibility.h"
#include "app/controlids.h"
#include "app/skindlg.h"
#include "platform/ui/application.h"
#include "res/bitmaptable.h"

using namespace ui;

namespace {

// The category buttons in category order (category n is CategoryButtons[n - 1]).
constexpr std::array<int, 10> CategoryButtons{
    ids::BasicButton,     ids::TravelButton,  ids::FoodButton,   ids::LodgingButton,
    ids::BusinessButton,  ids::SightButton,   ids::SocialButton, ids::ShopingButton,
    ids::EmergencyButton, ids::QuestionButton};

// The category of Ctrl+digit: 1 … 9, and 0 for the tenth; 0 for any other key.
int CategoryOfDigit(WPARAM key) {
    if (key >= '1' && key <= '9') return static_cast<int>(key - '0');
    if (key == '0') return 10;
    return 0;
}

}  // namespace

void CSkinDlg::LatchCategoryButton(int n) {
    for (std::size_t i = 0; i < CategoryButtons.size(); ++i) {
        if (auto* button = dynamic_cast<CXSkinButton*>(GetDlgItemWindow(CategoryButtons[i]))) {
            button->SetLatched(static_cast<int>(i) + 1 == n);
        }
    }
}

bool CSkinDlg::HandleAccessKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    const Application& app = GetApplication();
    if (app.GetTopLevel(msg.hwnd) != GetSafeHwnd()) return false;
    const bool control = app.GetKeyState(VK_CONTROL) < 0;
    const bool shift = app.GetKeyState(VK_SHIFT) < 0;
    const WPARAM key = msg.wParam;

    if (key == VK_F11 && !control && !shift) {
        ShowLargePrint();
        return true;
    }
    if (control && !shift && key == 'H') {
        ToggleReadableColours();
        return true;
    }
    if (control && !shift) {
        const int n = CategoryOfDigit(key);
        if (n == 0) return false;
        SelectCategory(n);
        return true;
    }
    if (key == VK_TAB && !control) {
        // From the first Tab on, the focused skinned button shows a dotted ring two pixels in,
        // as a desktop shows focus cues once the keyboard is in use.
        ShowFocusRings();
        return MoveFocusInReadingOrder(shift);
    }
    if (key == VK_RETURN && !control) {
        // A focused skinned push button is pressed as a click would press it.
        auto* button = dynamic_cast<CXSkinButton*>(app.FromHandle(msg.hwnd));
        if (button == nullptr || button->GetParent() != GetSafeHwnd()) return false;
        if (button->Kind() != CXSkinButton::ButtonKind::Push) return false;
        if (!button->IsWindowEnabled()) return true;
        PostMessage(WM_COMMAND,
                    MAKEWPARAM(static_cast<unsigned>(button->GetDlgCtrlID()), BN_CLICKED),
                    HandleToParam(button->GetSafeHwnd()));
        return true;
    }
    return false;
}

bool CSkinDlg::MoveFocusInReadingOrder(bool backwards) {
    Application& app = GetApplication();
    std::vector<HWND> stops;
    for (const HWND control : a11y::ReadingOrder(app, GetSafeHwnd(), DescribeProgramWindow)) {
        const a11y::Description d = a11y::Describe(app, control, DescribeProgramWindow, false);
        if (d.focusable && d.enabled && d.showing) stops.push_back(control);
    }
    if (stops.empty()) return false;
    HWND focus = app.GetFocus();
    while (focus && ui::GetParent(focus) && ui::GetParent(focus) != GetSafeHwnd())
        focus = ui::GetParent(focus);  // a part of a control (a chooser's edit or list)
    const auto at = std::find(stops.begin(), stops.end(), focus);
    std::size_t next = 0;
    if (at == stops.end()) {
        next = backwards ? stops.size() - 1 : 0;
    } else {
        const auto i = static_cast<std::size_t>(at - stops.begin());
        next = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
    }
    app.SetFocus(stops[next]);
    return true;
}

void CSkinDlg::ShowFocusRings() {
    constexpr std::int16_t FocusRingMargin = 2;
    for (const res::ButtonSkin& skin : res::MainButtonSkins) {
        if (auto* button = dynamic_cast<CXSkinButton*>(GetDlgItemWindow(skin.control))) {
            button->SetFocusMargin(FocusRingMargin);
        }
    }
}

void CSkinDlg::ToggleReadableColours() {
    settings.readableColours = !settings.readableColours;
    catalogue::WriteSettings(settings);  // a folder that cannot be written keeps it for this run
    ApplyListColours();
}

void CSkinDlg::ApplyListColours() {
    listBrush = gdi::CreateSolidBrush(settings.readableColours ? ReadableListColour : ListColour);
    // The selected row: white on a dark blue, about 10 to 1 (the desktop's highlight gives
    // 4.5 to 1 only just not).
    if (phraseList.IsWindow()) {
        phraseList.SetSelectionColours(
            settings.readableColours
                ? std::optional{std::pair{ReadableSelectionColour, ReadableSelectionTextColour}}
                : std::nullopt);
    }
    if (phraseList.IsWindow()) phraseList.Invalidate();
}

void CSkinDlg::ShowLargePrint() {
    const std::u16string german = pronunciationLine.GetWindowText();
    const int selected = phraseList.GetCurSel();
    if (german.empty() || selected < 0) return;
    largePrint.Open(*this, german, phraseList.GetText(selected), [this] { OnSound(); });
}

void CSkinDlg::OnGermanLineDoubleClick() {
    if (GetApplication().GetKeyState(VK_CONTROL) < 0) ShowLargePrint();
}
