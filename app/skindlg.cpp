#include "app/skindlg.h"

#include "app/controlids.h"
#include "controls/skinregion.h"
#include "platform/gdi/bmp.h"
#include "platform/ui/dataexchange.h"
#include "res/bitmaptable.h"
#include "res/dialogs.h"

using namespace ui;

// The window's messages, in the order of its design.
// clang-format off
// The skin, the drag by the window's surface and the colour requests come from
// CSkinnedDialog.
const MessageMap CSkinDlg::messageMap{&CSkinnedDialog::messageMap, {
    OnMessage<&CSkinDlg::OnPaint>(WM_PAINT),
    OnMessage<&CSkinDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
    OnCommand<&CSkinDlg::OnMinimise>(BN_CLICKED, ids::MinimiseButton),
    OnCommand<&CSkinDlg::ResolveSelectedPhrase>(LBN_SELCHANGE, ids::PhraseList),
    OnCommand<&CSkinDlg::LoadSubcategory>(CBN_SELCHANGE, ids::SubcategoryCombo),
    OnCommandRange<&CSkinDlg::OnCategoryButton>(BN_CLICKED, ids::BasicButton, ids::QuestionButton),
    OnCommand<&CSkinDlg::ReplayPhrase>(STN_CLICKED, ids::PronunciationLine),
    OnCommand<&CSkinDlg::OnGermanLineDoubleClick>(STN_DBLCLK, ids::PronunciationLine),
    OnCommand<&CSkinDlg::OnSearchView>(BN_CLICKED, ids::SearchViewButton),
    OnCommand<&CSkinDlg::OnFavourites>(BN_CLICKED, ids::FavouritesButton),
    OnCommand<&CSkinDlg::OnRelate>(BN_CLICKED, ids::RelateButton),
    OnCommand<&CSkinDlg::ReplayPhrase>(BN_CLICKED, ids::ReplayButton),
    OnCommand<&CSkinDlg::OnAddOrRemove>(BN_CLICKED, ids::AddButton),
    OnCommand<&CSkinDlg::OnRunSearch>(BN_CLICKED, ids::RunSearchButton),
    OnCommand<&CSkinDlg::ShowHelp>(BN_CLICKED, ids::HelpButton),
    OnCommand<&CSkinDlg::OnSound>(BN_CLICKED, ids::SoundButton),
    OnCommand<&CSkinDlg::OnSlowSpeech>(BN_CLICKED, ids::SlowSpeechButton),
    OnCommand<&CSkinDlg::OnRecord>(BN_CLICKED, ids::MicrophoneButton),
    OnCommand<&CSkinDlg::OnPractice>(BN_CLICKED, ids::PracticeButton),
    OnMessage<&CSkinDlg::OnMouseWheel>(WM_MOUSEWHEEL),
    OnCommand<&CSkinDlg::ReplayPhrase>(LBN_DBLCLK, ids::PhraseList),
    OnMessage<&CSkinDlg::OnTimer>(WM_TIMER),
    OnCommand<&CSkinDlg::OnLink>(BN_CLICKED, ids::UpdateButton),
    OnCommand<&CSkinDlg::OnLink>(BN_CLICKED, ids::SupportButton),
    OnCommand<&CSkinDlg::OnLink>(BN_CLICKED, ids::ReportButton),
    OnCommand<&CSkinDlg::OnAbout>(BN_CLICKED, ids::AboutButton),
    OnCommand<&CSkinDlg::ExportFavourites>(BN_CLICKED, ids::ExportButton),
}};
// clang-format on

CSkinDlg::CSkinDlg(Application& app, Window* parent)
    : CSkinnedDialog(app, res::MainDialogId, res::MainSkinBitmap, SkinToleranceExact, parent),
      player(app.GetWaveOutDriver()),
      recorder(app.GetWaveInDriver()) {
    if (const shell::ResourceBundle* bundle = app.Resources()) {
        icon = gdi::LoadIcon(*bundle, res::ProgramIcon);
    }
    listBrush = gdi::CreateSolidBrush(ListColour);
}

CSkinDlg::~CSkinDlg() = default;

void CSkinDlg::DoDataExchange(DataExchange& dx) {
    CSkinnedDialog::DoDataExchange(dx);
    DDX_Text(dx, ids::KeywordEdit, keyword);
    DDX_Check(dx, ids::ExactMatchCheck, exactMatch);
    DDX_Text(dx, ids::PronunciationLine, pronunciationText);
    DDX_Control(dx, ids::VersionLabel, versionLabel);
    DDX_Control(dx, ids::PronunciationLine, pronunciationLine);
    DDX_Control(dx, ids::UnusedCombo, unusedCombo);
    DDX_Control(dx, ids::UpdateButton, updateButton);
    DDX_Control(dx, ids::ReportButton, reportButton);
    DDX_Control(dx, ids::SupportButton, supportButton);
    DDX_Control(dx, ids::AboutButton, aboutButton);
    DDX_Control(dx, ids::SoundButton, soundButton);
    DDX_Control(dx, ids::SlowSpeechButton, slowSpeechButton);
    DDX_Control(dx, ids::MicrophoneButton, microphoneButton);
    DDX_Control(dx, ids::PracticeButton, practiceButton);
    DDX_Control(dx, ids::AddButton, addButton);
    DDX_Control(dx, ids::RunSearchButton, runSearchButton);
    DDX_Control(dx, ids::KeywordEdit, keywordEdit);
    DDX_Control(dx, ids::ReplayButton, replayButton);
    DDX_Control(dx, ids::EmergencyButton, emergencyButton);
    DDX_Control(dx, ids::SocialButton, socialButton);
    DDX_Control(dx, ids::SightButton, sightButton);
    DDX_Control(dx, ids::ShopingButton, shopingButton);
    DDX_Control(dx, ids::QuestionButton, questionButton);
    DDX_Control(dx, ids::BusinessButton, businessButton);
    DDX_Control(dx, ids::LodgingButton, lodgingButton);
    DDX_Control(dx, ids::FoodButton, foodButton);
    DDX_Control(dx, ids::TravelButton, travelButton);
    DDX_Control(dx, ids::BasicButton, basicButton);
    DDX_Control(dx, ids::RelateButton, relateButton);
    DDX_Control(dx, ids::FavouritesButton, favouritesButton);
    DDX_Control(dx, ids::HelpButton, helpButton);
    DDX_Control(dx, ids::SearchViewButton, searchViewButton);
    DDX_Control(dx, ids::SubcategoryCombo, subcategoryCombo);
    DDX_Control(dx, ids::PhraseList, phraseList);
    DDX_Control(dx, ids::CloseButton, closeButton);
    DDX_Control(dx, ids::MinimiseButton, minimiseButton);
    DDX_Control(dx, ids::ExportButton, exportButton);
}

bool CSkinDlg::OnInitDialog() {
    // The pattern brush keeps its own copy of the pixels; the bitmap goes with this scope.
    if (const shell::ResourceBundle* bundle = GetApplication().Resources()) {
        const gdi::Bitmap pattern = gdi::LoadBitmap(*bundle, res::BackgroundPatternBitmap);
        if (pattern) backgroundBrush = gdi::CreatePatternBrush(pattern);
    }
    CSkinnedDialog::OnInitDialog();
    SetWindowText(Title);
    phraseList.SetHorizontalExtent(400);
    category = 1;
    SetIcon(icon, true);
    SetIcon(icon, false);
    ApplyControlSkins();
    ApplySettings();
    OpenCatalogue();
    ipaText = catalogue::IpaText::Load();
    SelectCategory(1);
    // Loading the category selected and resolved row 0 already; only a list left without a
    // selection needs it here.
    if (phraseList.GetCurSel() != 0 && SelectFirstRow()) ResolveSelectedPhrase();
    soundArmed = player.GetState() != CAudioPlayer::Closed;
    updateChecked = false;
    SetTimer(UpdateCheckTimer, UpdateCheckPeriod);
    return true;
}

void CSkinDlg::OnOK() {
    // Enter never closes the window.
}

void CSkinDlg::ShowMessage(std::u16string_view text, std::u16string_view caption) {
    GetApplication().GetShell().MessageBox(GetSafeHwnd(), text, caption, MB_OK);
}

catalogue::MessageSink CSkinDlg::Messages() {
    return [this](std::u16string_view text) { ShowMessage(text); };
}

void CSkinDlg::ShowRows(catalogue::ListRows rows) {
    phraseList.ResetContent();
    for (catalogue::ListRow& row : rows) {
        if (row.item) {
            phraseList.AddEntry(std::move(row.item));
        } else {
            phraseList.AddString(row.text);
        }
    }
}

catalogue::ListRows CSkinDlg::TakeRows() {
    catalogue::ListRows rows;
    const int count = phraseList.GetCount();
    for (int i = 0; i < count; ++i) {
        catalogue::ListRow row{phraseList.GetText(i), nullptr};
        if (CItem* item = phraseList.ItemAt(i)) {
            // The row lets go of its item before the rows are deleted below.
            phraseList.SetItemData(i, 0);
            row.item.reset(item);
        }
        rows.push_back(std::move(row));
    }
    phraseList.ResetContent();
    return rows;
}

bool CSkinDlg::SelectFirstRow() {
    if (phraseList.GetCount() <= 0) return false;
    phraseList.SetCurSel(0);
    return true;
}

LRESULT CSkinDlg::OnPaint() {
    if (!IsIconic()) return Default();
    PaintDC dc(*this);
    SendMessage(WM_ICONERASEBKGND, DCToWParam(&dc), 0);
    RECT client;
    GetClientRect(client);
    const int x = (client.Width() - gdi::GetSystemMetrics(gdi::SM_CXICON) + 1) / 2;
    const int y = (client.Height() - gdi::GetSystemMetrics(gdi::SM_CYICON) + 1) / 2;
    gdi::DrawIcon(dc, x, y, icon);
    return 0;
}

const gdi::Icon* CSkinDlg::OnQueryDragIcon() {
    return icon ? &icon : nullptr;
}

void CSkinDlg::OnMinimise() {
    ShowWindow(SW_MINIMIZE);
}

LRESULT CSkinDlg::OnTimer(WPARAM id) {
    if (id == UpdateCheckTimer) {
        KillTimer(UpdateCheckTimer);
        if (!updateChecked) {
            updateChecked = true;
            LaunchUpdater();
        }
    }
    if (id == VolumeTipTimer) EndVolumeTip();
    if (id == RecordTimer && recorder.Poll() == audio::CRecorder::State::Finished) FinishTake();
    return Default();
}
