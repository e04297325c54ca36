// The program's two dialog templates: the main window (102) and the about box (312).
#pragma once

#include "platform/ui/dialogtemplate.h"
#include "res/controlids.h"
#include "tolkara/version.h"

namespace res {

inline constexpr int MainDialogId = 102;
inline constexpr int AboutDialogId = 312;
inline constexpr int PracticeDialogId = 313;

namespace detail {

using namespace ui;

inline constexpr Style Child = WS_CHILD | WS_VISIBLE;
inline constexpr Style HiddenChild = WS_CHILD;
inline constexpr Style PushButton = BS_PUSHBUTTON | WS_TABSTOP;
inline constexpr Style Label = SS_LEFT | WS_GROUP;

inline constexpr DialogItemTemplate MainDialogItems[] = {
    {ids::BasicButton, ButtonClass, u"Basic", Child | PushButton, 0, 366, 73, 82, 20},
    {ids::TravelButton, ButtonClass, u"Travel", Child | PushButton, 0, 366, 98, 82, 20},
    {ids::LodgingButton, ButtonClass, u"Lodging", Child | PushButton, 0, 366, 121, 82, 20},
    {ids::FoodButton, ButtonClass, u"Food", Child | PushButton, 0, 366, 144, 82, 20},
    {ids::SocialButton, ButtonClass, u"Social", Child | PushButton, 0, 366, 167, 82, 20},
    {ids::BusinessButton, ButtonClass, u"Business", Child | PushButton, 0, 366, 191, 82, 20},
    {ids::SightButton, ButtonClass, u"Sight", Child | PushButton, 0, 366, 214, 82, 20},
    {ids::ShopingButton, ButtonClass, u"Shopping", Child | PushButton, 0, 366, 237, 82, 20},
    {ids::EmergencyButton, ButtonClass, u"Emergency", Child | PushButton, 0, 366, 261, 82, 20},
    {ids::QuestionButton, ButtonClass, u"Question", Child | PushButton, 0, 366, 284, 82, 20},
    {ids::HelpButton, ButtonClass, u"Help", HiddenChild | PushButton, 0, 25, 7, 27, 8},
    {ids::SearchViewButton, ButtonClass, u"Search", Child | PushButton, 0, 21, 45, 54, 16},
    {ids::FavouritesButton, ButtonClass, u"Favourite", Child | PushButton, 0, 137, 35, 60, 8},
    {ids::RelateButton, ButtonClass, u"Relate", Child | PushButton, 0, 200, 35, 56, 8},
    {ids::AddButton, ButtonClass, u"Add", Child | PushButton, 0, 299, 64, 27, 19},
    {ids::RunSearchButton, ButtonClass, u"Search", Child | PushButton, 0, 270, 64, 27, 19},
    {ids::ReplayButton, ButtonClass, u"asdfasdfasdf",
     HiddenChild | BS_OWNERDRAW | BS_FLAT | BS_MULTILINE | WS_TABSTOP, 0, 73, 145, 193, 41},
    {ids::PronunciationLine, StaticClass, u"Pro", Child | SS_CENTER | SS_NOTIFY | SS_CENTERIMAGE, 0,
     122, 272, 226, 41},
    {ids::SoundButton, ButtonClass, u"Sound", Child | PushButton, 0, 99, 273, 20, 17},
    {ids::SlowSpeechButton, ButtonClass, u"Slow", Child | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 99, 291,
     20, 17},
    {ids::MicrophoneButton, ButtonClass, u"Record", Child | PushButton, 0, 99, 255, 20, 17},
    {ids::PhraseList, ListBoxClass, u"",
     Child | LBS_NOTIFY | LBS_DISABLENOSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP, 0,
     126, 124, 193, 154},
    {ids::MinimiseButton, ButtonClass, u"", Child | PushButton, 0, 429, 17, 11, 10},
    {ids::CloseButton, ButtonClass, u"", Child | PushButton, 0, 442, 17, 11, 10},
    {ids::SubcategoryCombo, ComboBoxClass, u"",
     Child | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0, 126, 97, 193, 74},
    {ids::KeywordEdit, EditClass, u"",
     HiddenChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 126, 97, 193, 12},
    {ids::ExactMatchCheck, ButtonClass, u"Exact match only",
     HiddenChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 234, 113, 76, 9},
    {ids::UnusedCombo, ComboBoxClass, u"", HiddenChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
     0, 10, 201, 106, 63},
    {ids::SubcategoryLabel, StaticClass, u"Sub Category", Child | Label, 0, 126, 84, 54, 9},
    {ids::KeywordLabel, StaticClass, u"Input keyword or phrase", Child | Label, 0, 126, 84, 84, 9},
    {ids::YourPhraseLabel, StaticClass, u"Your phrase", Child | Label, 0, 126, 84, 52, 11},
    {ids::RelatedLabel, StaticClass, u"Relate Phrases", Child | Label, 0, 126, 113, 56, 10},
    {ids::AboutButton, ButtonClass, u"ABOUT", Child | PushButton, 0, 26, 19, 41, 8},
    {ids::UpdateButton, ButtonClass, u"UPDATE", Child | PushButton, 0, 34, 315, 72, 9},
    {ids::ReportButton, ButtonClass, u"REP", Child | PushButton, 0, 221, 315, 129, 9},
    {ids::SupportButton, ButtonClass, u"TECH", Child | PushButton, 0, 113, 315, 103, 9},
    {ids::VersionLabel, StaticClass, u"" TOLKARA_VERSION, Child | Label, 0, 289, 51, 24, 10},
    {ids::ExportButton, ButtonClass, u"Export", HiddenChild | PushButton, 0, 270, 64, 27, 19},
    {ids::PracticeButton, ButtonClass, u"Practice", Child | PushButton, 0, 137, 51, 60, 8},
};

inline constexpr DialogItemTemplate AboutDialogItems[] = {
    {ids::CloseButton, ButtonClass, u"Cancel", Child | PushButton, 0, 210, 189, 70, 19},
    {ids::AboutTitleLabel, StaticClass, u"Tolkara_German", Child | Label, 0, 67, 71, 231, 25},
    {ids::AboutVersionLabel, StaticClass, u"Version " TOLKARA_VERSION, Child | Label, 0, 67, 114,
     226, 16},
    {ids::AboutNoticeLabel, StaticClass, u"Copyright \u00A9 Tolkara. All rights reserved.",
     Child | Label, 0, 67, 138, 226, 16},
    {ids::AboutNoticeSecondLabel, StaticClass, u"Speech synthesised with eSpeak NG.", Child | Label,
     0, 67, 162, 226, 16},
};

inline constexpr Style Link = SS_LEFT | SS_NOTIFY;

inline constexpr DialogItemTemplate PracticeDialogItems[] = {
    {ids::PracticeStatusLabel, StaticClass, u"", Child | Label, 0, 27, 46, 160, 11},
    {ids::PracticeEnglishLabel, StaticClass, u"", Child | SS_LEFT, 0, 67, 74, 226, 36},
    {ids::PracticeGermanLabel, StaticClass, u"", Child | SS_LEFT, 0, 67, 114, 226, 30},
    {ids::PracticeHintLabel, StaticClass, u"", Child | Label, 0, 27, 155, 300, 10},
    {ids::PracticeShowLink, StaticClass, u"Show (Space)", Child | Link, 0, 27, 169, 60, 12},
    {ids::PracticeAgainLink, StaticClass, u"1 Again", Child | Link, 0, 100, 169, 45, 12},
    {ids::PracticeHardLink, StaticClass, u"2 Hard", Child | Link, 0, 150, 169, 45, 12},
    {ids::PracticeGoodLink, StaticClass, u"3 Good", Child | Link, 0, 200, 169, 45, 12},
    {ids::PracticeEasyLink, StaticClass, u"4 Easy", Child | Link, 0, 250, 169, 45, 12},
    {ids::CloseButton, ButtonClass, u"Cancel", Child | PushButton, 0, 210, 189, 70, 19},
};

}  // namespace detail

// Popup, visible, thin border, no caption and no system menu; shown in the task bar.
inline constexpr ui::DialogTemplate MainDialog{
    ui::DS_SETFONT | ui::WS_POPUP | ui::WS_VISIBLE | ui::WS_BORDER,
    ui::WS_EX_APPWINDOW,
    0,
    0,
    456,
    344,
    u"",
    u"MS Sans Serif",
    8,
    detail::MainDialogItems,
};

// Borderless popup without a title bar.
inline constexpr ui::DialogTemplate AboutDialog{
    ui::DS_SETFONT | ui::WS_POPUP, 0, 0, 0, 354, 257, u"", u"MS Sans Serif", 8,
    detail::AboutDialogItems,
};

// The practice card: the about box's skin, a card of its own.
inline constexpr ui::DialogTemplate PracticeDialog{
    ui::DS_SETFONT | ui::WS_POPUP, 0, 0, 0, 354, 257, u"", u"MS Sans Serif", 8,
    detail::PracticeDialogItems,
};

}  // namespace res
