// Every clip of the bundled archive, as the main window hands it to the player.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/audioplayer.h"
#include "catalogue/archive.h"
#include "platform/media/capturewaveout.h"
#include "tests/audio/player/clips.h"
#include "tests/support/runfolder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The whole-stream decode of a clip, every frame in order, then silence up to count frames.
Bytes WholeStream(const Bytes& clip, std::uint32_t count) {
    playertest::Reference ref =
        playertest::DecodeReference(clip.data(), static_cast<std::uint32_t>(clip.size()));
    Bytes out;
    for (const Bytes& frame : ref.frames)
        out.insert(out.end(), frame.begin(), frame.end());
    out.resize(std::size_t{ref.pcmBytesPerFrame} * count, 0);
    return out;
}

TEST(ArchiveClips, EveryClipIsHeardWholeToItsLastFrame) {
    const auto run = testing_support::BundledRunFolder();
    if (run.empty()) GTEST_SKIP() << "no bundled archive (make data BUILD=build)";
    media::CaptureWaveOutDriver driver;
    CAudioPlayer player(driver);
    int lastFramesHeard = 0;
    for (PhraseNo n = 1; n <= PhraseCount; ++n) {
        catalogue::ClipFetch fetch = catalogue::ReadClip(run / "data.dat", run / "data.idx", n);
        ASSERT_EQ(fetch.outcome, catalogue::ClipFetch::Outcome::Clip) << "phrase " << n;
        const Bytes clip = fetch.clip;
        player.Close();
        driver.ClearEvents();
        ASSERT_EQ(player.Open(std::move(fetch.clip)), CAudioPlayer::Done) << "phrase " << n;
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
        player.Play();
        const auto writes = driver.Writes();
        ASSERT_FALSE(writes.empty());
        const Bytes expected = WholeStream(clip, player.FramesInBuffer());
        ASSERT_EQ(writes.back().size(), expected.size()) << "phrase " << n;
        ASSERT_TRUE(writes.back() == expected) << "phrase " << n;

        // The clip's last frame is among what is heard, and usually carries speech.
        playertest::Reference ref =
            playertest::DecodeReference(clip.data(), static_cast<std::uint32_t>(clip.size()));
        ASSERT_LE(ref.frames.size(), player.FramesInBuffer()) << "phrase " << n;
        const Bytes& last = ref.frames.back();
        if (std::any_of(last.begin(), last.end(), [](std::uint8_t b) { return b != 0; }))
            ++lastFramesHeard;
    }
    // Most phrases end inside their last frame: that frame is not silence.
    EXPECT_GT(lastFramesHeard, 400);
}

}  // namespace
