#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
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

TEST(SdlWaveOut, NoAudioDriverFailsQuietly) {
    ScopedEnv env("SDL_AUDIODRIVER", "no-such-driver");
    WAVEFORMATEX format = Mono16(22050);
    HWAVEOUT device = nullptr;
    EXPECT_EQ(waveOutOpen(SystemWaveOutDriver(), &device, WAVE_MAPPER, &format, nullptr, 0,
                          CALLBACK_NULL),
              MMSYSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
}

// SDL's dummy output consumes samples in real time without hardware.
TEST(SdlWaveOut, PlaysToTheEndOnSdlsThreadAndResetCutsOff) {
    ScopedEnv env("SDL_AUDIODRIVER", "dummy");
    Done done;
    WAVEFORMATEX format = Mono16(22050);
    WaveOutHandle handle;
    if (waveOutOpen(SystemWaveOutDriver(), handle.Receive(), WAVE_MAPPER, &format, &OnDone,
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

}  // namespace
