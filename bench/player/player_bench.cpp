// What the main window does when a phrase is chosen (Close, Open, Cue 0..400000 ms) and when it
// is first heard (Play), on a typical phrase clip: German speech of about two seconds, 22.05 kHz
// mono at 40 kbit/s. Targets: under 1 ms and under 2 ms, medians. FirstPlay/1 plays it with
// slower speech (stretched to 70 % speed at SoundTouch's full seek, kept for its quality over
// the quick seek that halves the time; target under 5 ms). The volume costs the player nothing:
// the device scales what it plays.
//
//   build/bin/player_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/audioplayer.h"
#include "audio/mpeg/decoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Takes every buffer and drops it: the device's cost is not the player's.
class NullDriver final : public media::WaveOutDriver {
    class Device final : public media::WaveOutDevice {
        void Play(const std::uint8_t*, std::size_t, const void*) override {}
        void Reset() override {}
        void Pause() override {}
        void Restart() override {}
        void SetVolume(std::uint32_t) override {}
    };

public:
    std::unique_ptr<media::WaveOutDevice> Open(const media::WAVEFORMATEX&,
                                               media::WaveOutSink&) override {
        return std::make_unique<Device>();
    }
};

// Speech from espeak-ng when it is installed, else a gliding tone, encoded as the archive's
// clips are.
Bytes MakePhraseClip() {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "player_bench";
    std::filesystem::create_directories(dir);
    std::string wav = (dir / "phrase.wav").string();
    std::string mp3 = (dir / "phrase.mp3").string();
    std::string speak =
        "espeak-ng -v de -s 150 -w '" + wav + "' 'Wo ist der Bahnhof, bitte?' 2>/dev/null";
    std::string tone = "sox -n -r 22050 -c 1 -b 16 '" + wav + "' synth 2 sine 200-900 vol 0.5";
    if (std::system(speak.c_str()) != 0 && std::system(tone.c_str()) != 0) return {};
    std::string lame = "lame --quiet -t --cbr -b 40 --resample 22.05 -m m --noreplaygain '" + wav +
                       "' '" + mp3 + "'";
    if (std::system(lame.c_str()) != 0) return {};
    std::ifstream in(mp3, std::ios::binary);
    Bytes clip{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove_all(dir);
    return clip;
}

const Bytes& PhraseClip() {
    static const Bytes clip = MakePhraseClip();
    return clip;
}

void CloseOpenCue(benchmark::State& state) {
    if (PhraseClip().empty()) {
        state.SkipWithError("lame (and espeak-ng or sox) are needed to make the clip");
        return;
    }
    NullDriver driver;
    CAudioPlayer player(driver);
    player.SetSlowSpeech(state.range(0) == 1);
    for (auto _ : state) {
        player.Close();
        player.Open(Bytes(PhraseClip()));
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    }
    state.counters["frames"] = player.FramesInBuffer();
    state.counters["clip_bytes"] = static_cast<double>(PhraseClip().size());
}

void FirstPlay(benchmark::State& state) {
    if (PhraseClip().empty()) {
        state.SkipWithError("lame (and espeak-ng or sox) are needed to make the clip");
        return;
    }
    NullDriver driver;
    CAudioPlayer player(driver);
    player.SetSlowSpeech(state.range(0) == 1);
    for (auto _ : state) {
        player.Close();
        player.Open(Bytes(PhraseClip()));
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
        player.Stop();
        auto start = std::chrono::steady_clock::now();
        player.Play();
        auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

void Replay(benchmark::State& state) {
    if (PhraseClip().empty()) {
        state.SkipWithError("lame (and espeak-ng or sox) are needed to make the clip");
        return;
    }
    NullDriver driver;
    CAudioPlayer player(driver);
    player.Open(Bytes(PhraseClip()));
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    for (auto _ : state) {
        player.Stop();
        player.Play();
    }
}

// The decoder's set-up, which Open runs for every clip: its share of CloseOpenCue.
void DecoderInit(benchmark::State& state) {
    for (auto _ : state)
        mpeg::DecoderInit();
}

BENCHMARK(CloseOpenCue)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(FirstPlay)
    ->DenseRange(0, 1)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(Replay)->Unit(benchmark::kMicrosecond);
BENCHMARK(DecoderInit)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
