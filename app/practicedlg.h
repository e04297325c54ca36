// CPracticeDlg: the practice card, a modal skinned dialog over the main window. It shows one
// phrase of a practice session at a time, the English large; Space (or "Show") reveals the
// German line and speaks it, Space again replays; 1-4 (or the four grades) grade it and the
// next card follows; L turns listening first on or off (the German clip plays before any
// text shows). Every grade is saved in "practice.dat" at once; Escape or Cancel leaves, and
// at the end a summary says how many cards were reviewed and how many are due tomorrow.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/skinneddialog.h"
#include "catalogue/practicesession.h"
#include "controls/label.h"
#include "controls/xskinbutton.h"

class CPracticeDlg : public CSkinnedDialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    // A phrase the view listed, as it showed it, with its German line.
    struct Phrase {
        std::uint32_t number = 0;
        std::u16string english;
        std::u16string german;
    };
    // Plays the clip of a phrase.
    using Speaker = std::function<void(std::uint32_t number)>;

    static constexpr gdi::COLORREF EnglishColour = gdi::RGB(30, 43, 56);
    static constexpr gdi::COLORREF GermanColour = gdi::RGB(0, 96, 170);
    static constexpr gdi::COLORREF LinkColour = gdi::RGB(176, 40, 40);
    static constexpr gdi::COLORREF MutedColour = gdi::RGB(110, 110, 100);

    // deck: the saved practice cards; today: the day the session counts in.
    CPracticeDlg(ui::Application& app, ui::Window* parent, std::vector<Phrase> phrases,
                 std::vector<catalogue::PracticeCard> deck, catalogue::Day today, Speaker speak);
    ~CPracticeDlg() override;

    // The deck's file could not be written (said once).
    bool SaveFailed() const { return saveFailed_; }

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool PreTranslateMessage(ui::MSG& msg) override;

private:
    // Shows the current card (hidden German) or the summary.
    void ShowCard();
    // Space and "Show": reveals and speaks, or speaks again.
    void OnShow();
    void OnGrade(int id);
    void Grade(catalogue::Grade grade);
    void ToggleListening();
    const Phrase* CurrentPhrase() const;

    std::vector<Phrase> phrases_;
    catalogue::PracticeSession session_;
    Speaker speak_;
    bool revealed_ = false;
    bool listening_ = false;
    bool saveFailed_ = false;

    CXSkinButton cancelButton_;
    CLabel statusLabel_;
    CLabel englishLabel_;
    CLabel germanLabel_;
    CLabel hintLabel_;
    CLabel showLink_;
    CLabel gradeLinks_[4];
};
