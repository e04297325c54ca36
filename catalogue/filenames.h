// The bare names of the catalogue's files, opened relative to the current directory.
#pragma once

namespace catalogue {

inline constexpr const char* EnglishTextName = "English.txt";
inline constexpr const char* PronunciationTextName = "Pro3.txt";
inline constexpr const char* EnglishDataName = "English.dat";
inline constexpr const char* PronunciationDataName = "Chinese.dat";
inline constexpr const char* SpecDataName = "MapEngSpec.data";
inline constexpr const char* ClipIndexName = "data.idx";
inline constexpr const char* ClipDataName = "data.dat";
inline constexpr const char* FavouritesName = "favorite.dat";
// The favourites' new content goes to a scratch file of this name and a random suffix, which
// then replaces FavouritesName in one step.
inline constexpr const char* FavouritesTempName = "temp.dat";
inline constexpr const char* HelpFileName = "Help.chm";
// The written pronunciation (IPA) of each phrase.
inline constexpr const char* IpaTextName = "Ipa.txt";
// Slower speech and the volume.
inline constexpr const char* SettingsName = "settings.ini";
// Named in the update request: the file of the update program's own version check.
inline constexpr const char* VersionFileName = "version.dat";

}  // namespace catalogue
