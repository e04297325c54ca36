#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/media/sdlwaveout.h"
#include "platform/media/waveout.h"

namespace {

using namespace media;

struct Done {
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
    std::thread::id thread;
};

void OnDone(HWAVEOUT, std::uint32_t message, std::uintptr_t instance, std::uintptr_t,
            std::uintptr_t) {
    if (message != WOM_DONE) return;
    auto* done = reinterpret_cast<Done*>(instance);
    std::lock_guard lock(done->mutex);
    ++done->count;
    done->thread = std::this_thread::get_id();
    done->changed.notify_all();
}

WAVEFORMATEX Mono16(std::uint32_t rate) {
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = rate * 2;
    return f;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) { setenv(name, value, 1); }
    ~ScopedEnv() { unsetenv(name_); }

private:
    const char* name_;
};

// A sound waits at most one of SDL's chunks to reach the device: a power of two of sample
// frames within 24 ms at every rate the clips use, so a click is heard within 25 ms.
TEST(SdlWaveOut, TheDeviceChunkStaysWithin24MsAtEveryRate) {
    const std::pair<std::uint32_t, std::uint16_t> table[] = {
        {8000, 128},  {11025, 256}, {12000, 256},  {16000, 256}, {22050, 512},
        {24000, 512}, {32000, 512}, {44100, 1024}, {48000, 1024}};
    for (const auto& [rate, frames] : table) {
        const std::uint16_t chunk = DeviceBufferFrames(rate);
        EXPECT_EQ(chunk, frames) << rate;
        EXPECT_LE(chunk * 1000.0 / rate, 24.0) << rate;
    }
}

TEST(SdlWaveOut, NoAudioDriverFailsQuietly) {
    ScopedEnv env("SDL_AUDIODRIVER", "no-such-driver");
    WAVEFORMATEX format = Mono16(22050);
    HWAVEOUT device = nullptr;
    SdlWaveOutDriver driver;
    EXPECT_EQ(waveOutOpen(driver, &device, WAVE_MAPPER, &format, nullptr, 0, CALLBACK_NULL),
              MMSYSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
}

// SDL's dummy output consumes samples in real time without hardware.
TEST(SdlWaveOut, PlaysToTheEndOnSdlsThreadAndResetCutsOff) {
    ScopedEnv env("SDL_AUDIODRIVER", "dummy");
    Done done;
    WAVEFORMATEX format = Mono16(22050);
    SdlWaveOutDriver driver;
    WaveOutHandle handle;
    if (waveOutOpen(driver, handle.Receive(), WAVE_MAPPER, &format, &OnDone,
                    reinterpret_cast<std::uintptr_t>(&done),
                    CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        GTEST_SKIP() << "SDL has no dummy audio driver";
    }
    std::vector<char> shortSound(2205 * 2, 0);  // 0.1 s
    WAVEHDR h;
    h.lpData = shortSound.data();
    h.dwBufferLength = static_cast<std::uint32_t>(shortSound.size());
    waveOutPrepareHeader(handle.get(), &h, sizeof h);
    ASSERT_EQ(waveOutWrite(handle.get(), &h, sizeof h), MMSYSERR_NOERROR);
    {
        std::unique_lock lock(done.mutex);
        ASSERT_TRUE(
            done.changed.wait_for(lock, std::chrono::seconds(10), [&] { return done.count == 1; }));
        EXPECT_NE(done.thread, std::this_thread::get_id());
    }
    EXPECT_EQ(h.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    waveOutUnprepareHeader(handle.get(), &h, sizeof h);

    // Ten seconds, paused, restarted and cut off at once.
    std::vector<char> longSound(22050 * 2 * 10, 0);
    h = WAVEHDR{};
    h.lpData = longSound.data();
    h.dwBufferLength = static_cast<std::uint32_t>(longSound.size());
    waveOutPrepareHeader(handle.get(), &h, sizeof h);
    waveOutWrite(handle.get(), &h, sizeof h);
    EXPECT_EQ(waveOutPause(handle.get()), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutRestart(handle.get()), MMSYSERR_NOERROR);
    auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(waveOutReset(handle.get()), MMSYSERR_NOERROR);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_EQ(h.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(waveOutUnprepareHeader(handle.get(), &h, sizeof h), MMSYSERR_NOERROR);
    std::lock_guard lock(done.mutex);
    EXPECT_EQ(done.count, 2);
}

// Plays one short sound on a fresh device of driver and waits for its completion.
void PlayShortSound(SdlWaveOutDriver& driver, const WAVEFORMATEX& format, Done& done) {
    WaveOutHandle handle;
    ASSERT_EQ(waveOutOpen(driver, handle.Receive(), WAVE_MAPPER, &format, &OnDone,
                          reinterpret_cast<std::uintptr_t>(&done), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    std::vector<char> sound(format.nAvgBytesPerSec / 20, 0);  // 50 ms
    WAVEHDR h;
    h.lpData = sound.data();
    h.dwBufferLength = static_cast<std::uint32_t>(sound.size());
    waveOutPrepareHeader(handle.get(), &h, sizeof h);
    waveOutWrite(handle.get(), &h, sizeof h);
    std::unique_lock lock(done.mutex);
    int before = done.count;
    EXPECT_TRUE(done.changed.wait_for(lock, std::chrono::seconds(10),
                                      [&] { return done.count == before + 1; }));
}

// The driver keeps a closed device's output for the next device of that format: each device
// still reports to its own callback, and other formats get an output of their own.
TEST(SdlWaveOut, ReopenedDevicesReportToTheirOwnCallbacks) {
    ScopedEnv env("SDL_AUDIODRIVER", "dummy");
    SdlWaveOutDriver driver;
    WAVEFORMATEX mono = Mono16(22050);
    {
        WaveOutHandle probe;
        if (waveOutOpen(driver, probe.Receive(), WAVE_MAPPER, &mono, nullptr, 0, CALLBACK_NULL) !=
            MMSYSERR_NOERROR) {
            GTEST_SKIP() << "SDL has no dummy audio driver";
        }
    }
    Done first;
    Done second;
    PlayShortSound(driver, mono, first);
    PlayShortSound(driver, mono, second);
    WAVEFORMATEX stereo = Mono16(44100);
    stereo.nChannels = 2;
    stereo.nBlockAlign = 4;
    stereo.nAvgBytesPerSec = 44100 * 4;
    PlayShortSound(driver, stereo, second);
    PlayShortSound(driver, mono, first);
    EXPECT_EQ(first.count, 2);
    EXPECT_EQ(second.count, 2);
}

}  // namespace
