// The program's settings between runs: one small text file in the working folder of
// "key=value" lines, "slow=0" or "slow=1" (slower speech), "volume=1" … "volume=10"
// (tenths of full volume), "ipa=0" or "ipa=1" (the written pronunciation shown) and "readable=0"
// or "readable=1" (readable colours). Reading never fails: a missing or unreadable file, or a
// setting whose line is missing, damaged or out of range, gives that setting's default. Writing
// replaces the whole file in one step (a temporary file renamed over it), so a failure leaves the
// previous file as it was; a link at its name stays a link, the file keeps its permissions, and a
// file made read-only is left alone.
#pragma once

#include <filesystem>

#include "catalogue/filenames.h"

namespace catalogue {

struct Settings {
    static constexpr int VolumeSteps = 10;

    bool slowSpeech = false;
    int volume = VolumeSteps;  // 1 … VolumeSteps
    bool showIpa = true;
    // "readable=1": the phrase list in dark on light colours instead of the skin's.
    bool readableColours = false;

    bool operator==(const Settings&) const = default;
};

Settings ReadSettings(const std::filesystem::path& path = SettingsName);
// False when the file could not be written; the previous one is then unchanged.
bool WriteSettings(const Settings& settings, const std::filesystem::path& path = SettingsName);

}  // namespace catalogue
