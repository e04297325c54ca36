// Every bitmap the program loads: its number, language version, pixel size and role. The build
// embeds one 24-bit file per row; the tests and the preview tool check and show them by this table.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/shell/resources.h"
#include "res/controlids.h"

namespace res {

inline constexpr int MainSkinBitmap = 140;
inline constexpr int BackgroundPatternBitmap = 287;
inline constexpr int AboutSkinBitmap = 307;
inline constexpr int ProgramIcon = 128;

struct BitmapInfo {
    int id;
    std::uint16_t language;  // shell::LangNeutral for a bitmap with one version
    int width;
    int height;
    std::string_view role;
};

inline constexpr BitmapInfo Bitmaps[] = {
    {140, shell::LangNeutral, 725, 553, "main window skin"},
    {287, shell::LangNeutral, 63, 79, "background pattern"},
    {307, shell::LangNeutral, 496, 412, "about box skin"},
    {141, shell::LangGerman, 15, 15, "close, normal (German)"},
    {141, shell::LangEnglish, 18, 18, "close, normal (English)"},
    {275, shell::LangNeutral, 18, 18, "close, down"},
    {274, shell::LangNeutral, 18, 18, "close, over"},
    {273, shell::LangNeutral, 18, 18, "minimise, normal"},
    {272, shell::LangNeutral, 18, 18, "minimise, down"},
    {271, shell::LangNeutral, 18, 18, "minimise, over"},
    {147, shell::LangNeutral, 76, 30, "Help, normal"},
    {214, shell::LangNeutral, 76, 30, "Help, down"},
    {148, shell::LangNeutral, 76, 30, "Help, over"},
    {153, shell::LangNeutral, 81, 29, "Search view, normal"},
    {220, shell::LangNeutral, 81, 29, "Search view, down"},
    {154, shell::LangNeutral, 81, 29, "Search view, over"},
    {230, shell::LangNeutral, 90, 13, "Favourite, normal"},
    {229, shell::LangNeutral, 90, 13, "Favourite, down"},
    {228, shell::LangNeutral, 90, 13, "Favourite, over"},
    {233, shell::LangNeutral, 86, 13, "Relate, normal"},
    {232, shell::LangNeutral, 86, 13, "Relate, down"},
    {231, shell::LangNeutral, 86, 13, "Relate, over"},
    {161, shell::LangNeutral, 126, 34, "Basic, normal"},
    {235, shell::LangNeutral, 126, 34, "Basic, down"},
    {160, shell::LangNeutral, 126, 34, "Basic, over"},
    {164, shell::LangNeutral, 126, 34, "Travel, normal"},
    {238, shell::LangNeutral, 126, 34, "Travel, down"},
    {163, shell::LangNeutral, 126, 34, "Travel, over"},
    {171, shell::LangNeutral, 126, 35, "Lodging, normal"},
    {241, shell::LangNeutral, 126, 35, "Lodging, down"},
    {166, shell::LangNeutral, 126, 35, "Lodging, over"},
    {169, shell::LangNeutral, 126, 34, "Food, normal"},
    {244, shell::LangNeutral, 126, 34, "Food, down"},
    {170, shell::LangNeutral, 126, 34, "Food, over"},
    {167, shell::LangNeutral, 126, 36, "Business, normal"},
    {250, shell::LangNeutral, 126, 36, "Business, down"},
    {168, shell::LangNeutral, 126, 36, "Business, over"},
    {179, shell::LangNeutral, 126, 36, "Shoping, normal"},
    {257, shell::LangNeutral, 126, 36, "Shoping, down"},
    {180, shell::LangNeutral, 126, 36, "Shoping, over"},
    {177, shell::LangNeutral, 126, 36, "Question, normal"},
    {263, shell::LangNeutral, 126, 36, "Question, down"},
    {185, shell::LangNeutral, 126, 36, "Question, over"},
    {183, shell::LangNeutral, 126, 34, "Social, normal"},
    {247, shell::LangNeutral, 126, 34, "Social, down"},
    {184, shell::LangNeutral, 126, 34, "Social, over"},
    {181, shell::LangNeutral, 126, 35, "Sight, normal"},
    {254, shell::LangNeutral, 126, 35, "Sight, down"},
    {182, shell::LangNeutral, 126, 35, "Sight, over"},
    {175, shell::LangNeutral, 126, 36, "Emergency, normal"},
    {260, shell::LangNeutral, 126, 36, "Emergency, down"},
    {176, shell::LangNeutral, 126, 36, "Emergency, over"},
    {267, shell::LangNeutral, 44, 33, "search run, normal"},
    {266, shell::LangNeutral, 44, 33, "search run, down"},
    {265, shell::LangNeutral, 44, 33, "search run, over"},
    {270, shell::LangNeutral, 43, 33, "Add, normal"},
    {269, shell::LangNeutral, 43, 33, "Add, down"},
    {268, shell::LangNeutral, 43, 33, "Add, over"},
    {279, shell::LangNeutral, 30, 28, "Sound, normal"},
    {278, shell::LangNeutral, 30, 28, "Sound, down"},
    {277, shell::LangNeutral, 30, 28, "Sound, over"},
    {308, shell::LangNeutral, 30, 28, "Slower speech, normal"},
    {309, shell::LangNeutral, 30, 28, "Slower speech, down and on"},
    {310, shell::LangNeutral, 30, 28, "Slower speech, over"},
    {350, shell::LangNeutral, 44, 33, "Export, normal"},
    {351, shell::LangNeutral, 44, 33, "Export, down"},
    {352, shell::LangNeutral, 44, 33, "Export, over"},
    {311, shell::LangNeutral, 90, 13, "Practice, normal"},
    {312, shell::LangNeutral, 90, 13, "Practice, down"},
    {313, shell::LangNeutral, 90, 13, "Practice, over"},
    {330, shell::LangNeutral, 30, 28, "Microphone, normal"},
    {331, shell::LangNeutral, 30, 28, "Microphone, down and recording"},
    {332, shell::LangNeutral, 30, 28, "Microphone, over"},
    {333, shell::LangNeutral, 30, 28, "Microphone, disabled"},
    {306, shell::LangNeutral, 65, 15, "ABOUT, normal"},
    {296, shell::LangNeutral, 65, 15, "ABOUT, down"},
    {297, shell::LangNeutral, 65, 15, "ABOUT, over"},
    {305, shell::LangNeutral, 118, 13, "UPDATE, normal"},
    {304, shell::LangNeutral, 118, 13, "UPDATE, down"},
    {295, shell::LangNeutral, 118, 13, "UPDATE, over"},
    {299, shell::LangNeutral, 192, 13, "REP, normal"},
    {298, shell::LangNeutral, 192, 13, "REP, down"},
    {300, shell::LangNeutral, 192, 13, "REP, over"},
    {302, shell::LangNeutral, 162, 13, "TECH, normal"},
    {301, shell::LangNeutral, 162, 13, "TECH, down"},
    {303, shell::LangNeutral, 162, 13, "TECH, over"},
    {286, shell::LangNeutral, 127, 34, "about Cancel, normal"},
    {284, shell::LangNeutral, 127, 34, "about Cancel, down"},
    {285, shell::LangNeutral, 127, 34, "about Cancel, over"},
};

// The skin of one button: its control and its normal, down and over bitmaps (the disabled
// bitmap is the normal one).
struct ButtonSkin {
    int control;
    int normal;
    int down;
    int over;
};

// The buttons of the main window (template 102) in the order their skins are applied, then the
// about box's Cancel button (template 312, control 2).
inline constexpr ButtonSkin MainButtonSkins[] = {
    {ids::AboutButton, 306, 296, 297},      {ids::UpdateButton, 305, 304, 295},
    {ids::ReportButton, 299, 298, 300},     {ids::SupportButton, 302, 301, 303},
    {ids::SearchViewButton, 153, 220, 154}, {ids::HelpButton, 147, 214, 148},
    {ids::FavouritesButton, 230, 229, 228}, {ids::RelateButton, 233, 232, 231},
    {ids::BasicButton, 161, 235, 160},      {ids::TravelButton, 164, 238, 163},
    {ids::LodgingButton, 171, 241, 166},    {ids::FoodButton, 169, 244, 170},
    {ids::BusinessButton, 167, 250, 168},   {ids::ShopingButton, 179, 257, 180},
    {ids::QuestionButton, 177, 263, 185},   {ids::SocialButton, 183, 247, 184},
    {ids::SightButton, 181, 254, 182},      {ids::EmergencyButton, 175, 260, 176},
    {ids::RunSearchButton, 267, 266, 265},  {ids::AddButton, 270, 269, 268},
    {ids::MinimiseButton, 273, 272, 271},   {ids::CloseButton, 141, 275, 274},
    {ids::SoundButton, 279, 278, 277},      {ids::SlowSpeechButton, 308, 309, 310},
    {ids::ExportButton, 350, 351, 352},     {ids::PracticeButton, 311, 312, 313},
    {ids::MicrophoneButton, 330, 331, 332},
};

// The microphone button's look for a run without a capture device.
inline constexpr int MicrophoneDisabledBitmap = 333;

inline constexpr ButtonSkin AboutCancelSkin{ids::CloseButton, 286, 284, 285};

}  // namespace res
