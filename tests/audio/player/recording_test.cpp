// The learner's take: when the silence detector ends it, and the recorder over a capture
// device that is fed what a microphone would hear, unplugged, or missing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/audioplayer.h"
#include "audio/comparison.h"
#include "audio/recorder.h"
#include "audio/silencedetector.h"
#include "catalogue/archive.h"
#include "platform/media/capturewaveout.h"
#include "platform/media/fedwavein.h"
#include "tests/support/runfolder.h"

namespace {

using Samples = std::vector<std::int16_t>;
constexpr std::uint32_t Rate = audio::CRecorder::SampleRate;

// seconds of a 200 Hz tone of the given peak (0: silence).
Samples Tone(double seconds, int peak) {
    Samples out(static_cast<std::size_t>(seconds * Rate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::int16_t>(peak * std::sin(2 * M_PI * 200.0 * i / Rate));
    return out;
}

Samples Join(std::initializer_list<Samples> parts) {
    Samples out;
    for (const Samples& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::uint64_t Ms(double seconds) {
    return static_cast<std::uint64_t>(seconds * Rate);
}

TEST(SilenceDetector, EndsATakeAfterTheQuietThatFollowsSpeechOrAfterSixSeconds) {
    constexpr int Speech = 3000, Murmur = 800;  // levels above the speech and quiet thresholds
    struct Case {
        const char* what;
        Samples heard;
        double endsAt;  // seconds
        bool speech;
    };
    const Case cases[] = {
        {"silence only", Tone(8, 0), 6.0, false},
        {"speech without end", Tone(7, Speech), 6.0, true},
        {"two words with a short pause",
         Join({Tone(1, Speech), Tone(0.7, 0), Tone(0.5, Speech), Tone(2, 0)}), 3.0, true},
        {"a murmur after speech is not quiet", Join({Tone(1, Speech), Tone(2, Murmur), Tone(2, 0)}),
         3.8, true},
        {"quiet before speech does not end it", Join({Tone(1.5, 0), Tone(0.5, Speech), Tone(2, 0)}),
         2.8, true},
    };
    for (const Case& c : cases) {
        audio::SilenceDetector detector(Rate);
        // Heard in the uneven pieces a device hands over.
        for (std::size_t at = 0; at < c.heard.size(); at += 333)
            detector.Hear(
                std::span(c.heard).subspan(at, std::min<std::size_t>(333, c.heard.size() - at)));
        EXPECT_TRUE(detector.Done()) << c.what;
        EXPECT_EQ(detector.HeardSpeech(), c.speech) << c.what;
        EXPECT_NEAR(static_cast<double>(detector.TakeLength()), static_cast<double>(Ms(c.endsAt)),
                    Rate * 0.021)
            << c.what;
    }
}

TEST(SilenceDetector, ARecordedSentenceWithPausesEndsOnlyAfterItsLastWord) {
    const auto run = testing_support::BundledRunFolder();
    if (run.empty()) GTEST_SKIP() << "no bundled archive (make data BUILD=build)";
    // Two recorded German lines (their word gaps are pauses), half a second apart, then quiet:
    // decoded by the player and brought to the recorder's format.
    Samples said;
    for (PhraseNo n : {12, 40}) {
        catalogue::ClipFetch fetch = catalogue::ReadClip(run / "data.dat", run / "data.idx", n);
        ASSERT_EQ(fetch.outcome, catalogue::ClipFetch::Outcome::Clip);
        media::CaptureWaveOutDriver device;
        CAudioPlayer player(device);
        ASSERT_EQ(player.Open(std::move(fetch.clip)), CAudioPlayer::Done);
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
        player.Play();
        const std::vector<std::uint8_t> pcm = device.Writes().at(0);
        const std::vector<std::int16_t> decoded(
            reinterpret_cast<const std::int16_t*>(pcm.data()),
            reinterpret_cast<const std::int16_t*>(pcm.data()) + pcm.size() / 2);
        media::WAVEFORMATEX to = audio::CRecorder::Format();
        const std::vector<std::uint8_t> bytes =
            audio::TakeAfterPause(decoded, player.WaveFormat().nSamplesPerSec, to, 500);
        const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.data());
        said.insert(said.end(), samples, samples + bytes.size() / 2);
    }
    // The sentence's last loud sample.
    std::size_t lastLoud = 0;
    for (std::size_t i = 0; i < said.size(); ++i)
        if (std::abs(said[i]) > 2000) lastLoud = i;
    const Samples heard = Join({said, Tone(2, 0)});

    audio::SilenceDetector detector(Rate);
    detector.Hear(heard);
    ASSERT_TRUE(detector.Done());
    EXPECT_GT(detector.TakeLength(), lastLoud + Ms(0.75));
    EXPECT_LT(detector.TakeLength(), lastLoud + Ms(0.85));
}

// Feeds the samples 20 ms at a time, polling between, as the window's timer does.
void Say(audio::CRecorder& recorder, media::FedWaveInDriver& microphone, const Samples& samples) {
    const std::size_t piece = Rate / 50;
    for (std::size_t at = 0; at < samples.size(); at += piece) {
        microphone.Feed(Samples(
            samples.begin() + static_cast<std::ptrdiff_t>(at),
            samples.begin() + static_cast<std::ptrdiff_t>(std::min(samples.size(), at + piece))));
        recorder.Poll();
    }
}

TEST(Recorder, KeepsWhatWasSaidUntilQuietStopOrAMicrophoneThatGoesAway) {
    media::FedWaveInDriver microphone;
    audio::CRecorder recorder(microphone);
    const Samples word = Tone(0.5, 4000);

    // The detector ends it: the word and the 0.8 s of quiet after it, nothing more.
    ASSERT_EQ(recorder.Begin(), audio::CRecorder::Start::Recording);
    Say(recorder, microphone, Join({word, Tone(1.5, 0)}));
    EXPECT_EQ(recorder.GetState(), audio::CRecorder::State::Finished);
    EXPECT_EQ(microphone.OpenDevices(), 0);
    ASSERT_NEAR(static_cast<double>(recorder.Samples().size()), Ms(1.3), Rate * 0.021);
    EXPECT_TRUE(std::equal(word.begin(), word.end(), recorder.Samples().begin()));

    // Stopped by the learner: what was heard so far, the buffer being filled included.
    ASSERT_EQ(recorder.Begin(), audio::CRecorder::Start::Recording);
    EXPECT_TRUE(recorder.Samples().empty());
    Say(recorder, microphone, Tone(0.31, 4000));
    EXPECT_EQ(recorder.End(), audio::CRecorder::State::Finished);
    EXPECT_EQ(recorder.Samples().size(), Ms(0.31));

    // The microphone is unplugged mid-word: the take ends cleanly with what came before.
    ASSERT_EQ(recorder.Begin(), audio::CRecorder::Start::Recording);
    Say(recorder, microphone, Tone(0.2, 4000));
    microphone.Unplug();
    EXPECT_EQ(recorder.Poll(), audio::CRecorder::State::Finished);
    EXPECT_TRUE(recorder.DeviceLost());
    EXPECT_EQ(recorder.Samples().size(), Ms(0.2));

    // No microphone at all.
    recorder.Cancel();
    microphone.SetAvailable(false);
    EXPECT_EQ(recorder.Begin(), audio::CRecorder::Start::NoMicrophone);
    EXPECT_EQ(recorder.GetState(), audio::CRecorder::State::Idle);
}

}  // namespace
