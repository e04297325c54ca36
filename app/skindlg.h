// CSkinDlg: the program's one window, a modal dialog on template 102 without a standard frame.
// Its outline and background come from skin bitmap 140; a press anywhere on the bare skin
// drags it; the close button (2) and Escape end it, Enter never does. It owns everything that
// lives for the whole run: the skin, the brushes, the player, the catalogue's open files and
// tables, the control objects and the texts exchanged with the controls.
//
// One message table (skindlg.cpp); the handler bodies live in files by feature, each a thin
// layer over the catalogue's functions:
//   views.cpp        the four views, the category buttons and the subcategory chooser
//   phraseview.cpp   the selected phrase, its clip and pronunciation line, replay and Sound,
//                    the control colours
//   findviews.cpp    search, related phrases and the favourites
//   links.cpp        the web links, the about box, help and the update hand-off
//   keys.cpp         the window's keys (list keys, Space, Ctrl+C, Ctrl+F, F1)
//   skins.cpp        the looks of the controls, applied once at start-up
//   soundsettings.cpp  slower speech and the volume, and the settings file that keeps them
//   cataloguefiles.cpp  the catalogue's text and record files
//   pronunciation.cpp  the IPA under the German line, and recording the learner to compare
//   practice.cpp     practising the listed phrases on the practice card (CPracticeDlg)
// Everything the window asks of the desktop (message boxes, pages, programs, help) goes
// through the application's shell.
//
// Its state is its own: tests and users reach it through messages, the screen, the sound
// device and the files. The members are in the order the window's design gives them
// (construction order; destruction runs the other way).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/largeprint.h"
#include "app/skinneddialog.h"
#include "audio/audioplayer.h"
#include "audio/recorder.h"
#include "catalogue/archive.h"
#include "catalogue/ipatext.h"
#include "catalogue/listrow.h"
#include "catalogue/opencatalogue.h"
#include "catalogue/phrasemap.h"
#include "catalogue/records.h"
#include "catalogue/settings.h"
#include "controls/btnst.h"
#include "controls/mycombo.h"
#include "controls/mylistbox.h"
#include "controls/transparentstatic.h"
#include "controls/xskinbutton.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/icon.h"
#include "platform/ui/controls.h"

class CSkinDlg : public CSkinnedDialog, private CMyListBox::Owner {
    UI_DECLARE_MESSAGE_MAP()
public:
    // Timer that hands the update check over, once, a second after start-up.
    static constexpr std::uintptr_t UpdateCheckTimer = 100;
    static constexpr ui::UINT UpdateCheckPeriod = 1000;  // ms
    // Timer that ends the volume's display in the Sound button's tooltip.
    static constexpr std::uintptr_t VolumeTipTimer = 101;
    static constexpr ui::UINT VolumeTipPeriod = 1000;  // ms
    // Timer that collects the learner's take while the microphone records.
    static constexpr std::uintptr_t RecordTimer = 102;
    static constexpr ui::UINT RecordPeriod = 20;  // ms
    // The title the window carries (task bar, window switcher) and its message boxes' caption.
    static constexpr std::u16string_view Title = u"Tolkara_German";
    // The phrase list's background and text colours.
    static constexpr gdi::COLORREF ListColour = 0x587D37;      // RGB(55, 125, 88)
    static constexpr gdi::COLORREF ListTextColour = 0x3700FF;  // RGB(255, 0, 55)
    // The same in the readable colours (Ctrl+H): black on off-white, about 20 to 1.
    static constexpr gdi::COLORREF ReadableListColour = 0xF0FFFF;  // RGB(255, 255, 240)
    static constexpr gdi::COLORREF ReadableTextColour = 0x000000;
    static constexpr gdi::COLORREF ReadableSelectionColour = 0x8C3C00;  // RGB(0, 60, 140)
    static constexpr gdi::COLORREF ReadableSelectionTextColour = 0xFFFFFF;
    // Where the pronunciation line is drawn, repainted whenever it changes (client pixels).
    static constexpr ui::RECT PronunciationArea{180, 435, 550, 510};
    // Within it, under the German line: the IPA, or the envelopes of the clip (above) and of
    // the learner's take (below).
    static constexpr ui::RECT IpaArea{215, 481, 485, 497};
    static constexpr ui::RECT ModelEnvelopeArea{215, 479, 480, 489};
    static constexpr ui::RECT TakeEnvelopeArea{215, 491, 480, 501};
    static constexpr gdi::COLORREF ModelEnvelopeColour = gdi::RGB(42, 157, 143);
    static constexpr gdi::COLORREF TakeEnvelopeColour = gdi::RGB(200, 70, 50);
    static constexpr std::u16string_view NoMicrophone = u"No microphone found";
    static constexpr std::u16string_view NothingToPractise = u"No phrase to practise here!";
    static constexpr std::u16string_view PracticeSetAside =
        u"The practice progress could not be read: it is kept as practice.dat.bad and practice "
        u"starts afresh.";

    // Loads the skin and the icon from the application's resources and makes the window's
    // region from the skin; the window itself is made by DoModal.
    explicit CSkinDlg(ui::Application& app, ui::Window* parent = nullptr);
    ~CSkinDlg() override;

    // The IPA shown under the German line (empty: none), for a screen reader to read with it.
    const std::u16string& IpaLine() const { return ipaLine; }

protected:
    // Dialog
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool PreTranslateMessage(ui::MSG& msg) override;
    ui::LRESULT OnControlColour(gdi::DC& dc, ui::HWND control) override;
    void PaintOverSkin(gdi::DC& dc) override;

private:
    // The views, as SetViewMode takes them.
    enum class ViewMode { Favourites = 11, Category = 102, Search = 103, Relate = 104 };

    // CMyListBox::Owner: word choices are offered while the Add button adds.
    bool AddMode() const override { return addMode; }

    // --- Views and categories (views.cpp) ---
    void SetViewMode(ViewMode mode);
    void RepaintModeArea();
    void OnCategoryButton(int id);
    void SelectCategory(int n);
    void FillSubcategories(unsigned n);
    void LoadSubcategory();
    bool LoadPhraseRange(PhraseNo first, PhraseNo last);

    // --- The selected phrase and speaking (phraseview.cpp) ---
    void ResolveSelectedPhrase();
    // Hands the selected phrase's clip to the player (closing the previous one in every case)
    // and cues it; says why when there is none.
    void CueClip(catalogue::ClipFetch fetch);
    void ReplayPhrase();
    void OnSound();

    // --- Search, related phrases and favourites (findviews.cpp) ---
    void OnSearchView();
    void OnRunSearch();
    void OnRelate();
    void OnFavourites();
    void OnAddOrRemove();
    void SearchPhrases();
    void RemoveDuplicateRows();
    bool LoadRelated();
    bool LoadFavourites();

    // --- Links, about, help and the update hand-off (links.cpp) ---
    void OnLink(int id);
    void OnAbout();
    void ShowHelp();
    void LaunchUpdater();

    // --- Keys of the whole window (keys.cpp; the volume keys in soundsettings.cpp) ---
    // A key message of the window's that keys.cpp handles (true: used up).
    bool HandleWindowKey(const ui::MSG& msg);
    // The focus is in a subcategory or word chooser.
    bool InChooser(ui::HWND focus) const;
    // The focused control types the space or uses it itself.
    bool TypesSpace(ui::HWND focus) const;
    // Ctrl+F: the search view with the keyword box focused (its text selected when the
    // view is open already).
    void OpenSearchFromKeys();
    // Ctrl+C: "English — German" of the selected row on the clipboard (the English alone
    // without a German line; nothing without a selection).
    void CopySelectedPhrase();

    // --- The keyboard everywhere (keyboardaccess.cpp) ---
    // Ctrl+1 … Ctrl+0, Ctrl+H, Tab and Enter on a focused skinned button (true: used up).
    bool HandleAccessKey(const ui::MSG& msg);
    // Draws the button of category n (1 … 10) pressed and the others not; 0: none.
    void LatchCategoryButton(int n);
    // Gives the skinned buttons their keyboard focus ring.
    void ShowFocusRings();
    // Tab and Shift+Tab: the focus to the next (previous) control in reading order.
    bool MoveFocusInReadingOrder(bool backwards);
    // F11: the selected phrase's German line full screen, to show someone (nothing without
    // a German line).
    void ShowLargePrint();
    // A double click on the German line with Ctrl held shows it in large print.
    void OnGermanLineDoubleClick();
    // Ctrl+H: switches the readable colours on or off, remembered in the settings file.
    void ToggleReadableColours();
    // Makes the phrase list's brush for the colours the settings ask for and repaints it.
    void ApplyListColours();

    // --- Written pronunciation and the learner's take (pronunciation.cpp) ---
    // Shows the selected phrase's IPA under its German line (when on and known), or the
    // envelopes of a take; the German line moves up to make room for either.
    void ShowUnderGermanLine();
    // I: the IPA on or off, remembered in the settings file.
    void ToggleIpa();
    // R and the microphone button: starts a take of the selected phrase, or ends the one
    // running.
    void OnRecord();
    // The take is over: the clip, a pause and the take are played, their envelopes shown.
    void FinishTake();
    // Forgets the take and its envelopes (the selection changed).
    void DropTake();
    // I and R outside the controls that type letters (true: used up).
    bool HandlePronunciationKey(const ui::MSG& msg);

    // --- Practice (practice.cpp) ---
    // The Practice button and Ctrl+P: the listed phrases on the practice card; the selected
    // row's clip is cued again afterwards.
    void OnPractice();
    // Speaks phrase n through the window's player (the practice card's voice).
    void SpeakPhrase(std::uint32_t n);

    // --- Slower speech, the volume and the settings file (soundsettings.cpp) ---
    // Reads the settings file and hands its settings to the player and the toggle.
    void ApplySettings();
    void OnSlowSpeech();
    // Changes the volume by steps (clamped to 1 … 10) and shows it in the Sound button's
    // tooltip for a second.
    void StepVolume(int steps);
    // The volume keys (+ and -, on the keypad too, = as +) outside the keyword edit: true when
    // msg is one of them and has been used.
    bool HandleVolumeKey(const ui::MSG& msg);
    void EndVolumeTip();
    ui::LRESULT OnMouseWheel(ui::UINT keys, ui::POINT screen);

    // --- Control looks (skins.cpp) ---
    void ApplyControlSkins();

    // --- Catalogue files (cataloguefiles.cpp) ---
    void OpenCatalogue();
    void LoadAllPhrases();

    // --- Export (exportfavourites.cpp) ---
    // Ctrl+E and the favourites view's Export button: the favourites as a flashcard deck and a
    // phrase sheet in the documents folder, then a message naming both files.
    void ExportFavourites();

    // --- The window itself (skindlg.cpp) ---
    // A message box with one OK button over the window; without a caption it carries the
    // program's name.
    void ShowMessage(std::u16string_view text, std::u16string_view caption = {});
    // Where the catalogue's operations show their messages: ShowMessage, without a caption.
    catalogue::MessageSink Messages();
    // Replaces the phrase list's rows (and their items) with these.
    void ShowRows(catalogue::ListRows rows);
    // Takes the phrase list's rows back (with their items), leaving the list empty.
    catalogue::ListRows TakeRows();
    // Selects the first row when there is one.
    bool SelectFirstRow();
    ui::LRESULT OnPaint();
    const gdi::Icon* OnQueryDragIcon();
    void OnMinimise();
    ui::LRESULT OnTimer(ui::WPARAM id);

    // --- State of the window (declaration order is construction order). ---

    // Gate of the Sound button: armed while the player holds a clip.
    bool soundArmed = false;
    // Slower speech and the volume, as the settings file keeps them.
    catalogue::Settings settings;
    // The Sound button's own tooltip text while the volume is shown in its place.
    std::optional<std::u16string> soundTip;
    // Background of the controls' colour requests: a pattern of bitmap 287.
    gdi::Brush backgroundBrush;
    // The last category button pressed, 1 to 10.
    int category = 0;
    // The catalogue's streams: "English.dat", "Chinese.dat" and the favourites.
    catalogue::CatalogueFiles catalogueFiles;
    // True: the Add button adds the selected phrase to the favourites; false: it removes it.
    bool addMode = true;
    // The selected row's text and phrase number.
    PhraseRecord currentPhrase;
    // Plays the selected phrase's clip.
    CAudioPlayer player;
    // Records the learner; "No microphone found" has been said and the button disabled.
    audio::CRecorder recorder;
    bool microphoneMissing = false;
    // The last take of the selected phrase, as it follows the clip (a pause, then the take in
    // the clip's format), and the envelopes drawn of both; empty without a take.
    std::vector<std::uint8_t> takeAfterClip;
    std::vector<std::uint8_t> modelEnvelope;
    std::vector<std::uint8_t> takeEnvelope;
    // "Ipa.txt", read once at start-up, and the IPA shown under the German line.
    catalogue::IpaText ipaText;
    std::u16string ipaLine;
    // The IPA's type: 12, 11 and 10 pixels, the largest that fits the line.
    gdi::Font ipaFonts[3];
    // Where the German line sits alone (its template position, parent pixels).
    std::optional<ui::RECT> germanLineHome;

    // The control objects, bound to their controls by data exchange.
    CTransparentStatic versionLabel;       // 1048
    CTransparentStatic pronunciationLine;  // 1022
    CMyCombo unusedCombo;                  // 101
    CXSkinButton updateButton;             // 1042
    CXSkinButton reportButton;             // 1043
    CXSkinButton supportButton;            // 1044
    CXSkinButton aboutButton;              // 1041
    CXSkinButton soundButton;              // 1039
    CXSkinButton slowSpeechButton;         // 1040
    CXSkinButton microphoneButton;         // 1060
    CXSkinButton practiceButton;           // 1050
    CXSkinButton addButton;                // 1038
    CXSkinButton runSearchButton;          // 1037
    ui::Edit keywordEdit;                  // 1020
    CBtnST replayButton;                   // 1001
    CXSkinButton emergencyButton;          // 1012
    CXSkinButton socialButton;             // 1010
    CXSkinButton sightButton;              // 1009
    CXSkinButton shopingButton;            // 1011
    CXSkinButton questionButton;           // 1013
    CXSkinButton businessButton;           // 1008
    CXSkinButton lodgingButton;            // 1007
    CXSkinButton foodButton;               // 1005
    CXSkinButton travelButton;             // 1004
    CXSkinButton basicButton;              // 1003
    CXSkinButton relateButton;             // 1017
    CXSkinButton favouritesButton;         // 1016
    CXSkinButton helpButton;               // 1019
    CXSkinButton searchViewButton;         // 1015
    ui::ComboBox subcategoryCombo;         // 1014
    CMyListBox phraseList;                 // 1002
    CXSkinButton closeButton;              // 2
    CXSkinButton minimiseButton;           // 1000
    CXSkinButton exportButton;             // 1070

    // Exchanged with the keyword edit (1020), the exact-match check box (1021) and the
    // pronunciation line (1022).
    std::u16string keyword;
    int exactMatch = 0;
    std::u16string pronunciationText;
    // Cleaned English text of each listed phrase → its phrase number in decimal.
    catalogue::PhraseMap phraseMap;
    // Icon 128: the window's big and small icon, drawn when minimised.
    gdi::Icon icon;
    // The update hand-off has run.
    bool updateChecked = false;
    // Background of the phrase list.
    gdi::Brush listBrush;
    // The brush of static-type colour requests: none, the skin shows through.
    gdi::Brush hollowBrush_ = gdi::GetStockBrush(gdi::HOLLOW_BRUSH);
    // "Can't find data file!" has been said this run.
    bool archiveMissingSaid_ = false;
    // The German line shown full screen (F11), while it is open.
    CLargePrint largePrint;
};
