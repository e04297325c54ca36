// How soon the learner is heard: from pressing R (the recorder's Begin) to the first captured
// samples reaching the window's side (the recorder's Poll), over SDL's capture device on the
// "disk" driver, which reads a file at the pace of a real microphone. Target: median under
// 100 ms. Prints the figures; exits 1 when the target is missed, 2 when no capture device
// opens.
//
//   build/bin/record_bench [takes]   (default 20)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/recorder.h"
#include "platform/media/sdlwavein.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double TargetFirstSampleMs = 100.0;

}  // namespace

int main(int argc, char** argv) {
    const int takes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // Ten seconds of a quiet hum for the microphone to hear.
    const std::filesystem::path heard =
        std::filesystem::temp_directory_path() / ("record_bench_" + std::to_string(getpid()));
    {
        std::ofstream file(heard, std::ios::binary);
        std::vector<std::int16_t> hum(audio::CRecorder::SampleRate * 10);
        for (std::size_t i = 0; i < hum.size(); ++i)
            hum[i] = static_cast<std::int16_t>((i % 64) * 8);
        file.write(reinterpret_cast<const char*>(hum.data()),
                   static_cast<std::streamsize>(hum.size() * 2));
    }
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILEIN", heard.c_str(), 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);

    std::vector<double> waits;
    {
        media::SdlWaveInDriver driver;
        audio::CRecorder recorder(driver);
        for (int take = 0; take < takes; ++take) {
            const auto pressed = Clock::now();
            if (recorder.Begin() != audio::CRecorder::Start::Recording) {
                std::printf("record_bench: no capture device opens\n");
                std::filesystem::remove(heard);
                return 2;
            }
            while (recorder.Poll() == audio::CRecorder::State::Recording &&
                   recorder.Samples().empty() && Clock::now() - pressed < std::chrono::seconds(2))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            waits.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - pressed).count());
            recorder.Cancel();
        }
    }
    std::filesystem::remove(heard);
    std::sort(waits.begin(), waits.end());
    const double median = waits[waits.size() / 2];
    std::printf(
        "R to first captured samples over %d takes (16 kHz mono, %u ms buffers): "
        "median %.1f ms, best %.1f ms, worst %.1f ms; target under %.0f ms: %s\n",
        takes, audio::CRecorder::BufferMs, median, waits.front(), waits.back(), TargetFirstSampleMs,
        median < TargetFirstSampleMs ? "met" : "MISSED");
    return median < TargetFirstSampleMs ? 0 : 1;
}
