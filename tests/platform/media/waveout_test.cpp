#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/media/capturewaveout.h"
#include "platform/media/waveout.h"

namespace {

using namespace media;
using Kind = CaptureWaveOutDriver::EventKind;

// What the callback saw, from whichever thread it ran on.
struct Calls {
    struct Call {
        std::uint32_t message;
        std::uintptr_t header;
        std::thread::id thread;
    };
    std::mutex mutex;
    std::vector<Call> calls;

    std::vector<Call> Snapshot() {
        std::lock_guard lock(mutex);
        return calls;
    }
    int Count(std::uint32_t message, const WAVEHDR* header) {
        int n = 0;
        for (const Call& c : Snapshot()) {
            n += c.message == message && c.header == reinterpret_cast<std::uintptr_t>(header);
        }
        return n;
    }
};

void Record(HWAVEOUT, std::uint32_t message, std::uintptr_t instance, std::uintptr_t header,
            std::uintptr_t) {
    auto* calls = reinterpret_cast<Calls*>(instance);
    std::lock_guard lock(calls->mutex);
    calls->calls.push_back({message, header, std::this_thread::get_id()});
}

WAVEFORMATEX Pcm(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits = 16) {
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

class WaveOutTest : public ::testing::Test {
protected:
    HWAVEOUT Open() {
        WAVEFORMATEX format = Pcm(1, 22050);
        HWAVEOUT device = nullptr;
        EXPECT_EQ(waveOutOpen(driver_, &device, WAVE_MAPPER, &format, &Record,
                              reinterpret_cast<std::uintptr_t>(&calls_), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        return device;
    }

    WAVEHDR Header(std::vector<char>& data) {
        WAVEHDR h;
        h.lpData = data.data();
        h.dwBufferLength = static_cast<std::uint32_t>(data.size());
        return h;
    }

    CaptureWaveOutDriver driver_;
    Calls calls_;
    std::vector<char> data_ = std::vector<char>(4000, 7);
};

TEST_F(WaveOutTest, RefusesBadArgumentsAndOpensNothing) {
    HWAVEOUT device = reinterpret_cast<HWAVEOUT>(&calls_);
    WAVEFORMATEX good = Pcm(2, 44100);
    auto open = [&](const WAVEFORMATEX* f, std::uint32_t id = WAVE_MAPPER,
                    std::uint32_t flags = CALLBACK_NULL) {
        return waveOutOpen(driver_, &device, id, f, nullptr, 0, flags);
    };
    WAVEFORMATEX threeChannels = Pcm(3, 44100);
    WAVEFORMATEX bits24 = Pcm(2, 44100, 24);
    WAVEFORMATEX badAlign = good;
    badAlign.nBlockAlign = 2;
    WAVEFORMATEX badRate = good;
    badRate.nAvgBytesPerSec = 44100;
    WAVEFORMATEX notPcm = good;
    notPcm.wFormatTag = 0x55;
    WAVEFORMATEX noRate = Pcm(1, 0);
    for (const WAVEFORMATEX* f : {&threeChannels, &bits24, &badAlign, &badRate, &notPcm, &noRate}) {
        EXPECT_EQ(open(f), WAVERR_BADFORMAT);
        EXPECT_EQ(device, nullptr);
    }
    EXPECT_EQ(open(nullptr), MMSYSERR_INVALPARAM);
    EXPECT_EQ(open(&good, 3), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(open(&good, WAVE_MAPPER, 0x10000), MMSYSERR_INVALFLAG);  // a window callback
    EXPECT_EQ(open(&good, WAVE_MAPPER, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutOpen(driver_, nullptr, WAVE_MAPPER, &good, nullptr, 0, 0),
              MMSYSERR_INVALPARAM);
    EXPECT_TRUE(driver_.Events().empty());

    // No device at all: the open fails and every call on the empty handle is refused.
    driver_.SetAvailable(false);
    EXPECT_EQ(open(&good), MMSYSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    WAVEHDR h = Header(data_);
    EXPECT_EQ(waveOutPrepareHeader(nullptr, &h, sizeof h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite(nullptr, &h, sizeof h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutPause(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutRestart(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutUnprepareHeader(nullptr, &h, sizeof h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(h.dwFlags, 0u);
}

TEST_F(WaveOutTest, PlaysOnePreparedBufferToItsEndAndReportsFromAnotherThread) {
    HWAVEOUT device = Open();
    ASSERT_NE(device, nullptr);
    WAVEHDR h = Header(data_);
    EXPECT_EQ(waveOutWrite(device, &h, sizeof h), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutPrepareHeader(device, &h, sizeof h - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutPrepareHeader(device, &h, sizeof h), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED);
    EXPECT_EQ(waveOutWrite(device, &h, sizeof h), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    // While it sounds, it cannot be written again, unprepared or closed under it.
    EXPECT_EQ(waveOutWrite(device, &h, sizeof h), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(device, &h, sizeof h), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
    EXPECT_EQ(calls_.Count(WOM_DONE, &h), 0);

    driver_.PlayOut();
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED | WHDR_DONE);
    auto calls = calls_.Snapshot();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, WOM_OPEN);
    EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(calls[1].message, WOM_DONE);
    EXPECT_EQ(calls[1].header, reinterpret_cast<std::uintptr_t>(&h));
    EXPECT_NE(calls[1].thread, std::this_thread::get_id());

    EXPECT_EQ(waveOutUnprepareHeader(device, &h, sizeof h), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_DONE);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    EXPECT_EQ(calls_.Snapshot().back().message, WOM_CLOSE);
    EXPECT_EQ(driver_.Kinds(), (std::vector{Kind::Open, Kind::Write, Kind::Close}));
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], std::vector<std::uint8_t>(4000, 7));
    EXPECT_EQ(driver_.OpenDevices(), 0);
}

TEST_F(WaveOutTest, ResetCutsTheBufferOffAtOnce) {
    HWAVEOUT device = Open();
    WAVEHDR h = Header(data_);
    waveOutPrepareHeader(device, &h, sizeof h);
    waveOutWrite(device, &h, sizeof h);
    EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED | WHDR_DONE);
    EXPECT_EQ(calls_.Count(WOM_DONE, &h), 1);
    // Nothing is left to finish.
    driver_.PlayOut();
    EXPECT_EQ(calls_.Count(WOM_DONE, &h), 1);
    EXPECT_EQ(waveOutUnprepareHeader(device, &h, sizeof h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    EXPECT_EQ(driver_.Kinds(), (std::vector{Kind::Open, Kind::Write, Kind::Reset, Kind::Close}));
}

TEST_F(WaveOutTest, PauseHoldsTheBufferUntilRestartAndResetUnpauses) {
    HWAVEOUT device = Open();
    WAVEHDR h = Header(data_);
    waveOutPrepareHeader(device, &h, sizeof h);
    // Paused before the write: nothing plays until the restart.
    EXPECT_EQ(waveOutPause(device), MMSYSERR_NOERROR);
    waveOutWrite(device, &h, sizeof h);
    driver_.PlayOut();
    EXPECT_EQ(h.dwFlags & WHDR_DONE, 0u);
    EXPECT_EQ(waveOutRestart(device), MMSYSERR_NOERROR);
    driver_.PlayOut();
    EXPECT_EQ(h.dwFlags & WHDR_DONE, WHDR_DONE);

    // A reset ends the pause: the next write plays.
    waveOutPause(device);
    waveOutReset(device);
    waveOutWrite(device, &h, sizeof h);
    EXPECT_EQ(h.dwFlags & WHDR_DONE, 0u);
    driver_.PlayOut();
    EXPECT_EQ(h.dwFlags & WHDR_DONE, WHDR_DONE);
    EXPECT_EQ(calls_.Count(WOM_DONE, &h), 2);
    waveOutClose(device);
    EXPECT_EQ(driver_.Kinds(), (std::vector{Kind::Open, Kind::Pause, Kind::Write, Kind::Restart,
                                            Kind::Pause, Kind::Reset, Kind::Write, Kind::Close}));
}

TEST_F(WaveOutTest, HandleResetsAndClosesTheDevice) {
    WAVEHDR h = Header(data_);
    {
        WaveOutHandle handle;
        WAVEFORMATEX format = Pcm(2, 48000);
        ASSERT_EQ(
            waveOutOpen(driver_, handle.Receive(), WAVE_MAPPER, &format, nullptr, 0, CALLBACK_NULL),
            MMSYSERR_NOERROR);
        waveOutPrepareHeader(handle.get(), &h, sizeof h);
        waveOutWrite(handle.get(), &h, sizeof h);
        EXPECT_EQ(driver_.OpenDevices(), 1);
    }
    EXPECT_EQ(driver_.OpenDevices(), 0);
    EXPECT_EQ(h.dwFlags & WHDR_DONE, WHDR_DONE);
    EXPECT_EQ(driver_.Kinds(), (std::vector{Kind::Open, Kind::Write, Kind::Reset, Kind::Close}));
    EXPECT_EQ(driver_.Events()[0].format.nSamplesPerSec, 48000u);
}

// A buffer finishing on the device's thread while the caller resets: it is reported done
// exactly once, and never after waveOutReset has returned.
TEST_F(WaveOutTest, CompletionRacingAResetIsReportedOnce) {
    HWAVEOUT device = Open();
    WAVEHDR h = Header(data_);
    for (int round = 0; round < 300; ++round) {
        waveOutPrepareHeader(device, &h, sizeof h);
        waveOutWrite(device, &h, sizeof h);
        std::thread player([this] { driver_.PlayOut(); });
        if (round % 2) std::this_thread::yield();
        waveOutReset(device);
        int afterReset = calls_.Count(WOM_DONE, &h);
        player.join();
        ASSERT_EQ(calls_.Count(WOM_DONE, &h), round + 1);
        ASSERT_EQ(afterReset, round + 1);
        ASSERT_EQ(h.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
        ASSERT_EQ(waveOutUnprepareHeader(device, &h, sizeof h), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST_F(WaveOutTest, VolumeScalesEachChannelOfTheBuffersWrittenAfterIt) {
    auto bytesOf = [](std::vector<std::int16_t> samples) {
        std::vector<char> bytes(samples.size() * 2);
        std::memcpy(bytes.data(), samples.data(), bytes.size());
        return bytes;
    };
    WAVEFORMATEX stereo = Pcm(2, 44100);
    HWAVEOUT device = nullptr;
    ASSERT_EQ(waveOutOpen(driver_, &device, WAVE_MAPPER, &stereo, nullptr, 0, CALLBACK_NULL),
              MMSYSERR_NOERROR);
    std::uint32_t volume = 0;
    EXPECT_EQ(waveOutGetVolume(device, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFFFFFFu);
    EXPECT_EQ(waveOutGetVolume(device, nullptr), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutSetVolume(nullptr, 0), MMSYSERR_INVALHANDLE);

    // Left (low word) full, right a quarter; a trailing partial frame passes unchanged.
    std::vector<char> data = bytesOf({1000, 1000, 32767, -32768, -7, 4000});
    data.push_back(9);
    const std::vector<char> original = data;
    WAVEHDR h = Header(data);
    ASSERT_EQ(waveOutSetVolume(device, 0x4000FFFF), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutGetVolume(device, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x4000FFFFu);
    waveOutPrepareHeader(device, &h, sizeof h);
    ASSERT_EQ(waveOutWrite(device, &h, sizeof h), MMSYSERR_NOERROR);
    // Raised again after that buffer was recorded: only the next buffer is louder.
    waveOutSetVolume(device, 0xFFFFFFFF);
    driver_.PlayOut();
    EXPECT_EQ(h.dwFlags & WHDR_DONE, WHDR_DONE);
    ASSERT_EQ(waveOutWrite(device, &h, sizeof h), MMSYSERR_NOERROR);
    EXPECT_EQ(data, original);  // the caller's buffer is never touched
    std::vector<char> expected = bytesOf({1000, 250, 32767, -8192, -7, 1000});
    expected.push_back(9);
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0], std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(writes[1], std::vector<std::uint8_t>(original.begin(), original.end()));
    waveOutReset(device);
    waveOutClose(device);

    // A mono 8-bit device takes the low word and scales around its midpoint.
    WAVEFORMATEX mono8 = Pcm(1, 8000, 8);
    ASSERT_EQ(waveOutOpen(driver_, &device, WAVE_MAPPER, &mono8, nullptr, 0, CALLBACK_NULL),
              MMSYSERR_NOERROR);
    waveOutSetVolume(device, 0x00008000);
    std::vector<char> bytes8 = {static_cast<char>(228), static_cast<char>(28),
                                static_cast<char>(128)};
    WAVEHDR h8 = Header(bytes8);
    waveOutPrepareHeader(device, &h8, sizeof h8);
    waveOutWrite(device, &h8, sizeof h8);
    EXPECT_EQ(driver_.Writes().back(), (std::vector<std::uint8_t>{178, 78, 128}));
    waveOutReset(device);
    waveOutClose(device);
}

}  // namespace
