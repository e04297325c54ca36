// The program's two dialog templates: the main window (102) and the about box (312).
#pragma once

#include "platform/ui/dialogtemplate.h"

namespace res {

inline constexpr int MainDialogId = 102;
inline constexpr int AboutDialogId = 312;

namespace detail {

using namespace ui;

inline constexpr Style Child = WS_CHILD | WS_VISIBLE;
inline constexpr Style HiddenChild = WS_CHILD;
inline constexpr Style PushButton = BS_PUSHBUTTON | WS_TABSTOP;
inline constexpr Style Label = SS_LEFT | WS_GROUP;

inline constexpr DialogItemTemplate MainDialogItems[] = {
    {1003, ButtonClass, u"Basic", Child | PushButton, 0, 366, 73, 82, 20},
    {1004, ButtonClass, u"Travel", Child | PushButton, 0, 366, 98, 82, 20},
    {1007, ButtonClass, u"Lodging", Child | PushButton, 0, 366, 121, 82, 20},
    {1005, ButtonClass, u"Food", Child | PushButton, 0, 366, 144, 82, 20},
    {1010, ButtonClass, u"Social", Child | PushButton, 0, 366, 167, 82, 20},
    {1008, ButtonClass, u"Business", Child | PushButton, 0, 366, 191, 82, 20},
    {1009, ButtonClass, u"Sight", Child | PushButton, 0, 366, 214, 82, 20},
    {1011, ButtonClass, u"Shoping", Child | PushButton, 0, 366, 237, 82, 20},
    {1012, ButtonClass, u"Emergency", Child | PushButton, 0, 366, 261, 82, 20},
    {1013, ButtonClass, u"Question", Child | PushButton, 0, 366, 284, 82, 20},
    {1019, ButtonClass, u"Help", HiddenChild | PushButton, 0, 25, 7, 27, 8},
    {1015, ButtonClass, u"Search", Child | PushButton, 0, 21, 45, 54, 16},
    {1016, ButtonClass, u"Favourite", Child | PushButton, 0, 137, 35, 60, 8},
    {1017, ButtonClass, u"Relate", Child | PushButton, 0, 200, 35, 56, 8},
    {1038, ButtonClass, u"Add", Child | PushButton, 0, 299, 64, 27, 19},
    {1037, ButtonClass, u"Search", Child | PushButton, 0, 270, 64, 27, 19},
    {1001, ButtonClass, u"asdfasdfasdf",
     HiddenChild | BS_OWNERDRAW | BS_FLAT | BS_MULTILINE | WS_TABSTOP, 0, 73, 145, 193, 41},
    {1022, StaticClass, u"Pro", Child | SS_CENTER | SS_NOTIFY | SS_CENTERIMAGE, 0, 122, 272, 226,
     41},
    {1039, ButtonClass, u"Sound", Child | PushButton, 0, 99, 273, 20, 17},
    {1002, ListBoxClass, u"",
     Child | LBS_NOTIFY | LBS_DISABLENOSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP, 0,
     126, 124, 193, 154},
    {1000, ButtonClass, u"", Child | PushButton, 0, 429, 17, 11, 10},
    {2, ButtonClass, u"", Child | PushButton, 0, 442, 17, 11, 10},
    {1014, ComboBoxClass, u"", Child | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0,
     126, 97, 193, 74},
    {1020, EditClass, u"", HiddenChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 126,
     97, 193, 12},
    {1021, ButtonClass, u"Exact match only", HiddenChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 234,
     113, 76, 9},
    {101, ComboBoxClass, u"", HiddenChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 10, 201,
     106, 63},
    {1034, StaticClass, u"Sub Category", Child | Label, 0, 126, 84, 54, 9},
    {1026, StaticClass, u"Input keyword or phrase", Child | Label, 0, 126, 84, 84, 9},
    {1035, StaticClass, u"Your phrase", Child | Label, 0, 126, 84, 52, 11},
    {1036, StaticClass, u"Relate Phrases", Child | Label, 0, 126, 113, 56, 10},
    {1041, ButtonClass, u"ABOUT", Child | PushButton, 0, 26, 19, 41, 8},
    {1042, ButtonClass, u"UPDATE", Child | PushButton, 0, 34, 315, 72, 9},
    {1043, ButtonClass, u"REP", Child | PushButton, 0, 221, 315, 129, 9},
    {1044, ButtonClass, u"TECH", Child | PushButton, 0, 113, 315, 103, 9},
    {1048, StaticClass, u"1.5.2", Child | Label, 0, 289, 51, 24, 10},
};

inline constexpr DialogItemTemplate AboutDialogItems[] = {
    {2, ButtonClass, u"Cancel", Child | PushButton, 0, 210, 189, 70, 19},
    {1044, StaticClass, u"Tolkara_German", Child | Label, 0, 67, 71, 231, 25},
    {1045, StaticClass, u"Version 1.5.2", Child | Label, 0, 67, 114, 226, 16},
    {1046, StaticClass, u"Copyright \u00A9 Tolkara. All rights reserved.", Child | Label, 0, 67,
     138, 226, 16},
    {1047, StaticClass, u"Speech synthesised with eSpeak NG.", Child | Label, 0, 67, 162, 226, 16},
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

}  // namespace res
