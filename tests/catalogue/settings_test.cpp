#include "catalogue/settings.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/support/tempdir.h"

namespace {

using catalogue::ReadSettings;
using catalogue::Settings;
using catalogue::WriteSettings;
using testing_support::TempDir;

void WriteText(const std::filesystem::path& path, const std::string& text) {
    testing_support::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::ptrdiff_t Entries(const std::filesystem::path& folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

TEST(Settings, RoundTripAndEveryDamageGivesTheDefaults) {
    TempDir dir;
    const auto file = dir / "settings.ini";
    const Settings defaults;
    EXPECT_EQ(ReadSettings(file), defaults);  // missing
    EXPECT_FALSE(defaults.slowSpeech);
    EXPECT_EQ(defaults.volume, Settings::VolumeSteps);

    const Settings changed{true, 3};
    ASSERT_TRUE(WriteSettings(changed, file));
    EXPECT_EQ(ReadSettings(file), changed);
    EXPECT_EQ(Entries(dir.path()), 1);  // no scratch file left
    // Written by hand, in another order, with spaces, CR LF and unknown keys.
    WriteText(file, "colour=blue\r\n volume = 7 \r\nslow=1\r\n");
    EXPECT_EQ(ReadSettings(file), (Settings{true, 7}));

    // Each damaged or out-of-range setting falls back alone; the other keeps its value.
    for (const char* volume : {"0", "11", "-3", "7x", "", "99999999999", "seven", "0x7"}) {
        WriteText(file, std::string("slow=1\nvolume=") + volume + "\n");
        EXPECT_EQ(ReadSettings(file), (Settings{true, Settings::VolumeSteps})) << volume;
    }
    for (const char* slow : {"2", "yes", "-1", " "}) {
        WriteText(file, std::string("slow=") + slow + "\nvolume=4\n");
        EXPECT_EQ(ReadSettings(file), (Settings{false, 4})) << slow;
    }
    // The written pronunciation: on unless "ipa=0"; kept beside the others.
    EXPECT_TRUE(defaults.showIpa);
    const Settings hidden{false, 5, false};
    ASSERT_TRUE(WriteSettings(hidden, file));
    EXPECT_EQ(ReadSettings(file), hidden);
    WriteText(file, "ipa=2\nvolume=5\n");
    EXPECT_EQ(ReadSettings(file), (Settings{false, 5, true}));

    // Binary noise, an empty file, an oversized file and a folder in its place.
    WriteText(file, std::string("\0\xff\xfe=\x01\n", 7));
    EXPECT_EQ(ReadSettings(file), defaults);
    WriteText(file, "");
    EXPECT_EQ(ReadSettings(file), defaults);
    WriteText(file, "volume=2\n" + std::string(5000, '#'));
    EXPECT_EQ(ReadSettings(file), defaults);
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_EQ(ReadSettings(file), defaults);

    // A file that cannot be replaced stays as it was, without a leftover temporary file.
    EXPECT_FALSE(WriteSettings(changed, file));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_EQ(Entries(dir.path()), 1);
}

}  // namespace
