#include "app/practicedlg.h"

#include <string>

#include "controls/skinregion.h"
#include "platform/shell/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/dataexchange.h"
#include "platform/ui/messagebox.h"
#include "res/bitmaptable.h"
#include "res/controlids.h"
#include "res/dialogs.h"

using namespace ui;

namespace {

constexpr std::u16string_view ShownHint =
    u"Space: hear it again \u00b7 1\u20134: how well you knew it";
constexpr std::u16string_view HiddenHint =
    u"Say it in German, then Space \u00b7 L: listening first";
constexpr std::u16string_view ListeningHint =
    u"What does it mean? Space shows it \u00b7 L: reading first";
constexpr std::u16string_view CantSave = u"Can't save the practice progress!";

std::u16string Decimal(long long n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

// The grade of a key: 1 … 4; none for others.
std::optional<catalogue::Grade> GradeOfKey(WPARAM key) {
    if (key >= '1' && key <= '4') return static_cast<catalogue::Grade>(key - '0');
    return std::nullopt;
}

std::vector<catalogue::PracticeRow> RowsOf(const std::vector<CPracticeDlg::Phrase>& phrases) {
    std::vector<catalogue::PracticeRow> rows;
    rows.reserve(phrases.size());
    for (const CPracticeDlg::Phrase& p : phrases)
        rows.push_back({p.number, shell::Utf16ToUtf8(p.english)});
    return rows;
}

}  // namespace

// clang-format off
const MessageMap CPracticeDlg::messageMap{&CSkinnedDialog::messageMap, {
    OnCommand<&CPracticeDlg::OnShow>(STN_CLICKED, ids::PracticeShowLink),
    OnCommandRange<&CPracticeDlg::OnGrade>(STN_CLICKED, ids::PracticeAgainLink,
                                           ids::PracticeEasyLink),
}};
// clang-format on

CPracticeDlg::CPracticeDlg(Application& app, Window* parent, std::vector<Phrase> phrases,
                           std::vector<catalogue::PracticeCard> deck, catalogue::Day today,
                           Speaker speak)
    : CSkinnedDialog(app, res::PracticeDialogId, res::AboutSkinBitmap, SkinToleranceAbout, parent),
      phrases_(std::move(phrases)),
      session_(std::move(deck), RowsOf(phrases_), today),
      speak_(std::move(speak)) {}

CPracticeDlg::~CPracticeDlg() = default;

void CPracticeDlg::DoDataExchange(DataExchange& dx) {
    CSkinnedDialog::DoDataExchange(dx);
    DDX_Control(dx, ids::CloseButton, cancelButton_);
    DDX_Control(dx, ids::PracticeStatusLabel, statusLabel_);
    DDX_Control(dx, ids::PracticeEnglishLabel, englishLabel_);
    DDX_Control(dx, ids::PracticeGermanLabel, germanLabel_);
    DDX_Control(dx, ids::PracticeHintLabel, hintLabel_);
    DDX_Control(dx, ids::PracticeShowLink, showLink_);
    for (int i = 0; i < 4; ++i)
        DDX_Control(dx, ids::PracticeAgainLink + i, gradeLinks_[i]);
}

bool CPracticeDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(u"Practice");
    const res::ButtonSkin& skin = res::AboutCancelSkin;
    cancelButton_.ApplySkin(skin.normal, skin.down, skin.over, skin.normal, 0, 0,
                            CXSkinButton::Copy, 0, 0);
    statusLabel_.SetTextColour(MutedColour).SetBold(true).SetTextHeight(13);
    englishLabel_.SetTextColour(EnglishColour).SetBold(true).SetTextHeight(24);
    germanLabel_.SetTextColour(GermanColour).SetBold(true).SetTextHeight(20);
    hintLabel_.SetTextColour(MutedColour).SetTextHeight(12);
    for (CLabel* link :
         {&showLink_, &gradeLinks_[0], &gradeLinks_[1], &gradeLinks_[2], &gradeLinks_[3]}) {
        link->SetTextColour(LinkColour).SetBold(true).SetTextHeight(15).SetUnderline(true);
        link->SetNotify(true).SetHoverCursor(StandardCursor::Hand);
    }
    ShowCard();
    return true;
}

const CPracticeDlg::Phrase* CPracticeDlg::CurrentPhrase() const {
    if (session_.Done()) return nullptr;
    const catalogue::PracticeCard& card = session_.Current();
    for (const Phrase& p : phrases_)
        if (p.number == card.number && shell::Utf16ToUtf8(p.english) == card.english) return &p;
    return nullptr;
}

void CPracticeDlg::ShowCard() {
    revealed_ = false;
    const Phrase* phrase = CurrentPhrase();
    if (phrase == nullptr) {
        // The end of today's practice.
        statusLabel_.SetWindowText(u"Practice \u00b7 done for today");
        englishLabel_.SetWindowText(u"Well done!");
        germanLabel_.SetWindowText(u"Cards reviewed: " + Decimal(session_.Reviewed()) +
                                   u"\nDue tomorrow: " + Decimal(session_.DueTomorrow()));
        hintLabel_.SetWindowText(u"Escape: back to the phrases");
        showLink_.ShowWindow(SW_HIDE);
        for (CLabel& link : gradeLinks_)
            link.ShowWindow(SW_HIDE);
        Invalidate();
        return;
    }
    statusLabel_.SetWindowText(u"Practice \u00b7 " +
                               Decimal(static_cast<long long>(session_.Left())) + u" to go" +
                               (session_.CurrentIsNew() ? u" \u00b7 new" : u"") +
                               (listening_ ? u" \u00b7 listening" : u""));
    englishLabel_.SetWindowText(listening_ ? u"\u266a \u2026" : phrase->english);
    germanLabel_.SetWindowText(u"");
    hintLabel_.SetWindowText(listening_ ? ListeningHint : HiddenHint);
    showLink_.ShowWindow(SW_SHOW);
    for (CLabel& link : gradeLinks_)
        link.ShowWindow(SW_HIDE);
    Invalidate();
    if (listening_) speak_(phrase->number);
}

void CPracticeDlg::OnShow() {
    const Phrase* phrase = CurrentPhrase();
    if (phrase == nullptr) return;
    if (!revealed_) {
        revealed_ = true;
        englishLabel_.SetWindowText(phrase->english);
        germanLabel_.SetWindowText(phrase->german);
        hintLabel_.SetWindowText(ShownHint);
        showLink_.ShowWindow(SW_HIDE);
        for (CLabel& link : gradeLinks_)
            link.ShowWindow(SW_SHOW);
        Invalidate();
    }
    speak_(phrase->number);
}

void CPracticeDlg::OnGrade(int id) {
    Grade(static_cast<catalogue::Grade>(id - ids::PracticeAgainLink + 1));
}

void CPracticeDlg::Grade(catalogue::Grade grade) {
    if (!revealed_ || session_.Done()) return;
    session_.Grade(grade);
    if (!catalogue::SavePracticeDeck(".", session_.Deck()) && !saveFailed_) {
        saveFailed_ = true;
        GetApplication().GetShell().MessageBox(GetSafeHwnd(), CantSave, {}, MB_OK);
    }
    ShowCard();
}

void CPracticeDlg::ToggleListening() {
    listening_ = !listening_;
    if (!revealed_) ShowCard();
}

bool CPracticeDlg::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_CHAR) {
        // The characters of the practice keys go with them.
        const WPARAM c = msg.wParam;
        if (c == u' ' || (c >= u'1' && c <= u'4') || c == u'l' || c == u'L') return true;
    }
    if (msg.message == WM_KEYDOWN && GetApplication().GetKeyState(VK_CONTROL) >= 0) {
        if (msg.wParam == VK_SPACE) {
            OnShow();
            return true;
        }
        if (const auto grade = GradeOfKey(msg.wParam)) {
            Grade(*grade);
            return true;
        }
        if (msg.wParam == 'L') {
            ToggleListening();
            return true;
        }
    }
    return CSkinnedDialog::PreTranslateMessage(msg);
}
