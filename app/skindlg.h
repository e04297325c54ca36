// CSkinDlg: the program's one window, a modal dialog on template 102 without a standard frame.
// Its outline and background come from skin bitmap 140; a press anywhere on the bare skin
// drags it; the close button (2) and Escape end it, Enter never does. It owns everything that
// lives for the whole run: the skin, the brushes, the catalogue's open files and tables, the
// control objects and the texts exchanged with the controls.
//
// The members are public and in the order the window's design gives them (construction order;
// destruction runs the other way): the handlers of the later features work on them directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "audio/audioplayer.h"
#include "catalogue/opencatalogue.h"
#include "catalogue/phrasemap.h"
#include "catalogue/records.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/region.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

class CSkinDlg : public ui::Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    // Timer that hands the update check over, once, a second after start-up.
    static constexpr std::uintptr_t UpdateCheckTimer = 100;
    static constexpr ui::UINT UpdateCheckPeriod = 1000;  // ms
    // The title the window carries (task bar, window switcher).
    static constexpr std::u16string_view Title = u"Tolkara_German";

    // Loads the skin and the icon from the application's resources and makes the window's
    // region from the skin; the window itself is made by DoModal.
    explicit CSkinDlg(ui::Application& app, ui::Window* parent = nullptr);
    ~CSkinDlg() override;

    // Dialog
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Catalogue text files: the record files built from the authored text files, the phrase
    // map and the pronunciation of the current phrase. Failures show their message and leave
    // the window running.
    void OpenCatalogue();
    bool ConvertEnglishText();
    bool ConvertPronunciationText();
    PronunciationRecord ReadPronunciation();
    void LoadAllPhrases();

    // The update hand-off that timer 100 runs once per run.
    virtual void LaunchUpdater();

    // A message box with one OK button over the window; without a caption it carries the
    // program's name.
    virtual void ShowMessage(std::u16string_view text, std::u16string_view caption = {});

    // Window handlers.
    ui::LRESULT OnEraseBkgnd(ui::WPARAM wParam, ui::LPARAM lParam);
    ui::LRESULT OnPaint(ui::WPARAM wParam, ui::LPARAM lParam);
    ui::LRESULT OnQueryDragIcon(ui::WPARAM wParam, ui::LPARAM lParam);
    void OnMinimise();
    ui::LRESULT OnNcHitTest(ui::WPARAM wParam, ui::LPARAM lParam);
    ui::LRESULT OnTimer(ui::WPARAM wParam, ui::LPARAM lParam);

    // --- State of the window (declaration order is construction order). ---

    // Repainted whenever the pronunciation line changes (client pixels).
    ui::RECT pronunciationArea{};
    // Gate of the Sound button.
    bool soundArmed = false;
    // Background of the controls' colour requests: a pattern of bitmap 287.
    gdi::Brush backgroundBrush;
    // The last category button pressed, 1 to 10.
    int category = 0;
    // Skin of the whole window (bitmap 140) and the region made from it. The region is handed
    // to the window at start-up and belongs to the window from then on.
    gdi::Bitmap skinBitmap;
    std::optional<gdi::Region> windowRegion;
    // The catalogue's streams: "English.dat", "Chinese.dat" and "favorite.dat".
    catalogue::CatalogueFiles catalogueFiles;
    // True: the Add button adds the selected phrase to the favourites; false: it removes it.
    bool addMode = true;
    // The selected row's text and phrase number, and its pronunciation record.
    PhraseRecord currentPhrase;
    PronunciationRecord pronunciationRecord;
    // Whether this start built "English.dat" and "Chinese.dat" from their text files.
    bool englishConverted = false;
    bool pronunciationConverted = false;
    // Plays the selected phrase's clip through the application's wave-out driver.
    CAudioPlayer player;

    // The control objects, bound to their controls by data exchange. Controls whose skinned
    // class is still to come run through the framework's standard class.
    ui::Static versionLabel;        // 1048
    ui::Static pronunciationLine;   // 1022
    ui::ComboBox unusedCombo;       // 101
    ui::Button updateButton;        // 1042
    ui::Button reportButton;        // 1043
    ui::Button supportButton;       // 1044
    ui::Button aboutButton;         // 1041
    ui::Button soundButton;         // 1039
    ui::Button addButton;           // 1038
    ui::Button runSearchButton;     // 1037
    ui::Edit keywordEdit;           // 1020
    ui::Button replayButton;        // 1001
    ui::Button emergencyButton;     // 1012
    ui::Button socialButton;        // 1010
    ui::Button sightButton;         // 1009
    ui::Button shopingButton;       // 1011
    ui::Button questionButton;      // 1013
    ui::Button businessButton;      // 1008
    ui::Button lodgingButton;       // 1007
    ui::Button foodButton;          // 1005
    ui::Button travelButton;        // 1004
    ui::Button basicButton;         // 1003
    ui::Button relateButton;        // 1017
    ui::Button favouritesButton;    // 1016
    ui::Button helpButton;          // 1019
    ui::Button searchViewButton;    // 1015
    ui::ComboBox subcategoryCombo;  // 1014
    ui::ListBox phraseList;         // 1002
    ui::Button closeButton;         // 2
    ui::Button minimiseButton;      // 1000

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
};
