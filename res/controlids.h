// The control ids of the program's dialog templates: the main window (102) and the about box
// (312). The templates, the skins and the windows' code name controls by these.
#pragma once

namespace ids {

inline constexpr int BasicButton = 1003;
inline constexpr int TravelButton = 1004;
inline constexpr int FoodButton = 1005;
inline constexpr int LodgingButton = 1007;
inline constexpr int BusinessButton = 1008;
inline constexpr int SightButton = 1009;
inline constexpr int SocialButton = 1010;
inline constexpr int ShopingButton = 1011;
inline constexpr int EmergencyButton = 1012;
inline constexpr int QuestionButton = 1013;
inline constexpr int HelpButton = 1019;
inline constexpr int SearchViewButton = 1015;
inline constexpr int FavouritesButton = 1016;
inline constexpr int RelateButton = 1017;
inline constexpr int AddButton = 1038;
inline constexpr int RunSearchButton = 1037;
inline constexpr int ReplayButton = 1001;
inline constexpr int PronunciationLine = 1022;
inline constexpr int SoundButton = 1039;
inline constexpr int SlowSpeechButton = 1040;
inline constexpr int MicrophoneButton = 1060;
inline constexpr int PhraseList = 1002;
inline constexpr int MinimiseButton = 1000;
inline constexpr int CloseButton = 2;
inline constexpr int SubcategoryCombo = 1014;
inline constexpr int KeywordEdit = 1020;
inline constexpr int ExactMatchCheck = 1021;
inline constexpr int UnusedCombo = 101;
inline constexpr int SubcategoryLabel = 1034;
inline constexpr int KeywordLabel = 1026;
inline constexpr int YourPhraseLabel = 1035;
inline constexpr int RelatedLabel = 1036;
inline constexpr int AboutButton = 1041;
inline constexpr int UpdateButton = 1042;
inline constexpr int ReportButton = 1043;
inline constexpr int SupportButton = 1044;
inline constexpr int VersionLabel = 1048;
// Shown in the favourites view only, where the search-run button is hidden.
inline constexpr int ExportButton = 1070;
inline constexpr int PracticeButton = 1050;

// The practice card (313); its Cancel button is CloseButton.
inline constexpr int PracticeStatusLabel = 1051;
inline constexpr int PracticeEnglishLabel = 1052;
inline constexpr int PracticeGermanLabel = 1053;
inline constexpr int PracticeHintLabel = 1054;
inline constexpr int PracticeShowLink = 1055;
inline constexpr int PracticeAgainLink = 1056;
inline constexpr int PracticeHardLink = 1057;
inline constexpr int PracticeGoodLink = 1058;
inline constexpr int PracticeEasyLink = 1059;

// The about box (312); its Cancel button is CloseButton.
inline constexpr int AboutTitleLabel = 1044;
inline constexpr int AboutVersionLabel = 1045;
inline constexpr int AboutNoticeLabel = 1046;
inline constexpr int AboutNoticeSecondLabel = 1047;

}  // namespace ids
