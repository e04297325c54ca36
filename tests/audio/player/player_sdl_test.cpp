#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/audioplayer.h"
#include "platform/media/sdlwaveout.h"
#include "tests/audio/player/clips.h"

namespace {

// The program's player on the system's audio output: with no sound device it stays silent
// and every operation still works.
void PlayThroughTheSystem() {
    std::vector<std::uint8_t> clip =
        playertest::MakeClip(22050, 1, 0.5, "sine 440", "-t --cbr -b 32 --resample 22.05 -m m");
    if (clip.empty()) GTEST_SKIP() << "sox or lame is missing";
    media::SdlWaveOutDriver driver;
    CAudioPlayer player(driver);
    for (int round = 0; round < 2; ++round) {
        player.Close();
        ASSERT_EQ(player.Open(std::vector<std::uint8_t>(clip)), CAudioPlayer::Done);
        EXPECT_EQ(player.GetState(), CAudioPlayer::Ready);
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
        player.Stop();
        player.Play();
        EXPECT_EQ(player.Pause(), CAudioPlayer::Done);
        EXPECT_EQ(player.Resume(), CAudioPlayer::Done);
        player.Stop();
        player.Play();
    }
    EXPECT_EQ(player.Close(), CAudioPlayer::Done);
}

TEST(PlayerOnTheSystemOutput, NoSoundDeviceStaysSilent) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    PlayThroughTheSystem();
    unsetenv("SDL_AUDIODRIVER");
}

TEST(PlayerOnTheSystemOutput, WhateverThisMachineHas) {
    PlayThroughTheSystem();
}

}  // namespace
