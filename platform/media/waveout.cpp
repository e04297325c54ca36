#include "platform/media/waveout.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace media {

// An open device: its buffers in queue order and the caller's callback. The device's thread
// reports finished buffers through BufferDone; everything else runs on the caller's thread.
class WaveOut final : public WaveOutSink {
public:
    WaveOut(const WAVEFORMATEX& format, WaveOutProc callback, std::uintptr_t instance)
        : format(format), callback_(callback), instance_(instance) {}

    void BufferDone(const void* buffer) override {
        WAVEHDR* done = nullptr;
        {
            std::lock_guard lock(mutex);
            auto it = std::find(queue.begin(), queue.end(), buffer);
            if (it == queue.end()) return;  // already cut off by a reset
            done = *it;
            queue.erase(it);
            MarkDone(*done);
        }
        Notify(WOM_DONE, done);
    }

    void Notify(std::uint32_t message, WAVEHDR* header) {
        if (callback_ != nullptr) {
            callback_(this, message, instance_, reinterpret_cast<std::uintptr_t>(header), 0);
        }
    }

    static void MarkDone(WAVEHDR& header) {
        header.dwFlags = (header.dwFlags | WHDR_DONE) & ~WHDR_INQUEUE;
    }

    const WAVEFORMATEX format;
    std::unique_ptr<WaveOutDevice> device;
    std::mutex mutex;             // guards queue, volume and the flags of the headers in queue
    std::vector<WAVEHDR*> queue;  // written, not yet done
    std::uint32_t volume = FullVolume;

private:
    WaveOutProc callback_;
    std::uintptr_t instance_;
};

MMRESULT waveOutOpen(WaveOutDriver& driver, HWAVEOUT* device, std::uint32_t deviceId,
                     const WAVEFORMATEX* format, WaveOutProc callback, std::uintptr_t instance,
                     std::uint32_t flags) {
    if (device == nullptr) return MMSYSERR_INVALPARAM;
    *device = nullptr;
    if (deviceId != WAVE_MAPPER && deviceId != 0) return MMSYSERR_BADDEVICEID;
    if (flags != CALLBACK_NULL && flags != CALLBACK_FUNCTION) return MMSYSERR_INVALFLAG;
    if (flags == CALLBACK_FUNCTION && callback == nullptr) return MMSYSERR_INVALPARAM;
    if (format == nullptr) return MMSYSERR_INVALPARAM;
    if (!IsPlayablePcm(*format)) return WAVERR_BADFORMAT;

    auto open = std::make_unique<WaveOut>(*format, flags == CALLBACK_FUNCTION ? callback : nullptr,
                                          instance);
    open->device = driver.Open(*format, *open);
    if (!open->device) return MMSYSERR_NODRIVER;
    open->Notify(WOM_OPEN, nullptr);
    *device = open.release();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, std::uint32_t headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || headerSize < sizeof(WAVEHDR) || header->lpData == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(device->mutex);
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, std::uint32_t headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || headerSize < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(device->mutex);
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, std::uint32_t headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || headerSize < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    const auto* data = reinterpret_cast<const std::uint8_t*>(header->lpData);
    {
        std::lock_guard lock(device->mutex);
        if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        device->queue.push_back(header);
    }
    // Outside the lock: the device's thread takes the lock when it reports a finished buffer.
    device->device->Play(data, header->dwBufferLength, header);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    device->device->Reset();
    std::vector<WAVEHDR*> cut;
    {
        std::lock_guard lock(device->mutex);
        cut.swap(device->queue);
        for (WAVEHDR* header : cut)
            WaveOut::MarkDone(*header);
    }
    for (WAVEHDR* header : cut)
        device->Notify(WOM_DONE, header);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPause(HWAVEOUT device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    device->device->Pause();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutRestart(HWAVEOUT device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    device->device->Restart();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, std::uint32_t volume) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(device->mutex);
        device->volume = volume;
    }
    device->device->SetVolume(volume);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(HWAVEOUT device, std::uint32_t* volume) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (volume == nullptr) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(device->mutex);
    *volume = device->volume;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(device->mutex);
        if (!device->queue.empty()) return WAVERR_STILLPLAYING;
    }
    device->device.reset();
    device->Notify(WOM_CLOSE, nullptr);
    delete device;
    return MMSYSERR_NOERROR;
}

void WaveOutHandle::Close() {
    if (device_ == nullptr) return;
    waveOutReset(device_);
    waveOutClose(device_);
    device_ = nullptr;
}

}  // namespace media
