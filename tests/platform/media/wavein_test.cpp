#include "platform/media/wavein.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "platform/media/fedwavein.h"

namespace {

using namespace media;

WAVEFORMATEX Mono16(std::uint32_t rate) {
    return {WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
}

// What the callback heard: messages and handed-back buffers, in order.
struct Heard {
    std::mutex mutex;
    std::vector<std::uint32_t> messages;
    std::vector<WAVEHDR*> data;

    static void Callback(HWAVEIN, std::uint32_t message, std::uintptr_t instance,
                         std::uintptr_t param1, std::uintptr_t) {
        auto* self = reinterpret_cast<Heard*>(instance);
        std::lock_guard lock(self->mutex);
        self->messages.push_back(message);
        if (message == WIM_DATA) self->data.push_back(reinterpret_cast<WAVEHDR*>(param1));
    }
};

// The wave-in functions over the fed device: buffers fill and come back in the order they
// were added, with what was heard in order; a stop hands back the partial buffer, a reset
// every queued one; close refuses while buffers are queued; an unplugged device hands
// everything back and refuses to start; no device: MMSYSERR_NODRIVER.
TEST(WaveIn, BuffersInOrderResetReturnsAllCloseRefusesAndUnplug) {
    FedWaveInDriver driver;
    Heard heard;
    const WAVEFORMATEX format = Mono16(22050);
    WaveInHandle handle;
    ASSERT_EQ(waveInOpen(driver, handle.Receive(), WAVE_MAPPER, &format, &Heard::Callback,
                         reinterpret_cast<std::uintptr_t>(&heard), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    const HWAVEIN in = handle.get();
    std::vector<std::vector<char>> memory(4, std::vector<char>(100));
    std::vector<WAVEHDR> headers(4);
    for (std::size_t i = 0; i < 4; ++i) {
        headers[i].lpData = memory[i].data();
        headers[i].dwBufferLength = 100;
        EXPECT_EQ(waveInAddBuffer(in, &headers[i], sizeof(WAVEHDR)), WAVERR_UNPREPARED);
        ASSERT_EQ(waveInPrepareHeader(in, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(in, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    std::vector<std::uint8_t> ramp(250);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(driver.Feed(ramp, 30), 0);  // not started: nothing heard
    ASSERT_EQ(waveInStart(in), MMSYSERR_NOERROR);
    EXPECT_EQ(driver.Feed(ramp, 30), 1);
    {
        std::lock_guard lock(heard.mutex);
        ASSERT_EQ(heard.data, (std::vector<WAVEHDR*>{&headers[0], &headers[1]}));
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(headers[i].dwBytesRecorded, 100u);
        EXPECT_TRUE(headers[i].dwFlags & WHDR_DONE);
        EXPECT_FALSE(headers[i].dwFlags & WHDR_INQUEUE);
        EXPECT_EQ(static_cast<std::uint8_t>(memory[i][99]), 99 + 100 * i);
    }
    EXPECT_EQ(headers[2].dwBytesRecorded, 50u);
    EXPECT_EQ(waveInClose(in), WAVERR_STILLPLAYING);  // two still queued
    EXPECT_EQ(waveInStop(in), MMSYSERR_NOERROR);      // the partial one comes back
    EXPECT_EQ(heard.data.size(), 3u);
    EXPECT_EQ(heard.data.back(), &headers[2]);
    EXPECT_EQ(headers[2].dwBytesRecorded, 50u);
    // Re-added buffers go behind; a reset hands back all of them, in order.
    ASSERT_EQ(waveInAddBuffer(in, &headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInReset(in), MMSYSERR_NOERROR);
    EXPECT_EQ(heard.data, (std::vector<WAVEHDR*>{&headers[0], &headers[1], &headers[2], &headers[3],
                                                 &headers[0]}));
    EXPECT_EQ(headers[0].dwBytesRecorded, 0u);
    // An unplugged device hands back what is queued and starts no more.
    ASSERT_EQ(waveInAddBuffer(in, &headers[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(in), MMSYSERR_NOERROR);
    driver.Unplug();
    EXPECT_EQ(heard.data.back(), &headers[1]);
    EXPECT_EQ(waveInStart(in), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInAddBuffer(in, &headers[2], sizeof(WAVEHDR)), MMSYSERR_NODRIVER);
    handle.Close();
    EXPECT_EQ(heard.messages.front(), WIM_OPEN);
    EXPECT_EQ(heard.messages.back(), WIM_CLOSE);
    EXPECT_EQ(driver.OpenDevices(), 0);

    driver.SetAvailable(false);
    HWAVEIN none = nullptr;
    EXPECT_EQ(waveInOpen(driver, &none, 0, &format, nullptr, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(none, nullptr);
}

}  // namespace
