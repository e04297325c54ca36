// SDL's output as the program uses it (SdlWaveOutDriver), on the two SDL drivers that need no
// sound hardware: "dummy", which takes its chunks in real time, and "disk", which writes them
// to a file at the same pace. For a typical clip format (22.05 kHz mono) it measures
//  - hand-over to first sample: from Play to the audio thread taking the sound's first chunk
//    (what a click waits before its sound reaches the device); target: median under 23 ms,
//    what the main window's click path (mainwindow_bench) leaves of 25 ms to the first sample;
//  - underruns: the given seconds of chunk-sized buffers queued at once, then the gaps between the
//    chunks taken. A gap over two chunk times is an underrun: a device holding two chunks (as
//    SDL keeps them) would have run dry. Target: none.
// Prints the figures per driver; exits 1 when a target is missed, 2 when no driver opens.
//
//   build/bin/device_bench [seconds]   (default 10 seconds of chunks per driver)
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/media/sdlwaveout.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double TargetFirstSampleMs = 23.0;

// Writes down when each buffer was taken (its last chunk handed to the device).
class StampSink final : public media::WaveOutSink {
public:
    explicit StampSink(std::size_t buffers) : ids_(buffers), stamps_(buffers) {}

    const void* Id(std::size_t i) const { return &ids_[i]; }

    void BufferDone(const void* buffer) override {
        const auto at = Clock::now();
        std::lock_guard lock(mutex_);
        stamps_[static_cast<std::size_t>(static_cast<const char*>(buffer) -
                                         reinterpret_cast<const char*>(ids_.data()))] = at;
        ++done_;
        changed_.notify_all();
    }

    // Waits until `count` buffers in all are done; false after the timeout.
    bool WaitFor(std::size_t count, std::chrono::seconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return done_ >= count; });
    }

    Clock::time_point Stamp(std::size_t i) {
        std::lock_guard lock(mutex_);
        return stamps_[i];
    }

private:
    std::vector<char> ids_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Clock::time_point> stamps_;
    std::size_t done_ = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Figures {
    bool opened = false;
    double firstSampleMedian = 0;
    double firstSampleMax = 0;
    double gapMedian = 0;
    double gapMax = 0;
    int underruns = 0;
    std::size_t chunks = 0;
};

Figures Measure(const char* driverName, int seconds) {
    setenv("SDL_AUDIODRIVER", driverName, 1);
    const media::WAVEFORMATEX format{media::WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    const std::size_t frames = media::DeviceBufferFrames(format.nSamplesPerSec);
    const double chunkMs = 1000.0 * static_cast<double>(frames) / format.nSamplesPerSec;
    const std::size_t trials = 40;
    const std::size_t chunks = static_cast<std::size_t>(seconds) * format.nSamplesPerSec / frames;
    std::vector<std::uint8_t> chunk(frames * format.nBlockAlign, 0);

    Figures figures;
    media::SdlWaveOutDriver driver;
    StampSink sink(trials + chunks);
    std::unique_ptr<media::WaveOutDevice> device = driver.Open(format, sink);
    if (!device) return figures;
    figures.opened = true;

    // Hand-over to first sample, at random moments of the audio thread's cycle.
    std::mt19937 random(7);
    std::vector<double> firstSample;
    for (std::size_t i = 0; i < trials; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        const auto start = Clock::now();
        device->Play(chunk.data(), chunk.size(), sink.Id(i));
        if (!sink.WaitFor(i + 1, std::chrono::seconds(5))) return figures;
        firstSample.push_back(Ms(sink.Stamp(i) - start));
    }
    figures.firstSampleMedian = Median(firstSample);
    figures.firstSampleMax = *std::max_element(firstSample.begin(), firstSample.end());

    // A long sound in chunk-sized buffers: each is taken by a callback of its own.
    for (std::size_t i = 0; i < chunks; ++i)
        device->Play(chunk.data(), chunk.size(), sink.Id(trials + i));
    if (!sink.WaitFor(trials + chunks, std::chrono::seconds(seconds * 3 + 5))) return figures;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < chunks; ++i) {
        const double gap = Ms(sink.Stamp(trials + i) - sink.Stamp(trials + i - 1));
        gaps.push_back(gap);
        if (gap > 2 * chunkMs) ++figures.underruns;
    }
    figures.chunks = chunks;
    figures.gapMedian = Median(gaps);
    figures.gapMax = gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end());
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::size_t frames = media::DeviceBufferFrames(22050);
    std::printf("device chunk at 22050 Hz: %zu frames, %.1f ms\n", frames,
                1000.0 * static_cast<double>(frames) / 22050);

    const std::filesystem::path diskFile =
        std::filesystem::temp_directory_path() /
        ("tolkara-device-bench-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_DISKAUDIOFILE", diskFile.c_str(), 1);

    bool anyOpened = false;
    bool met = true;
    for (const char* name : {"dummy", "disk"}) {
        const Figures f = Measure(name, seconds);
        if (!f.opened) {
            std::printf("%s: SDL cannot open this driver\n", name);
            continue;
        }
        anyOpened = true;
        if (f.chunks == 0) {
            std::printf("%s: the audio thread stopped taking chunks\n", name);
            met = false;
            continue;
        }
        std::printf(
            "%s: hand-over to first sample median %.1f ms (max %.1f); target %.0f ms, ratio "
            "%.2f\n",
            name, f.firstSampleMedian, f.firstSampleMax, TargetFirstSampleMs,
            f.firstSampleMedian / TargetFirstSampleMs);
        std::printf("%s: %zu chunks, gap median %.2f ms, max %.2f ms; underruns %d\n", name,
                    f.chunks, f.gapMedian, f.gapMax, f.underruns);
        met = met && f.firstSampleMedian < TargetFirstSampleMs && f.underruns == 0;
    }
    std::error_code ignored;
    std::filesystem::remove(diskFile, ignored);
    if (!anyOpened) {
        std::fprintf(stderr, "device_bench: SDL opens neither its dummy nor its disk driver\n");
        return 2;
    }
    return met ? 0 : 1;
}
