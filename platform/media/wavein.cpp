#include "platform/media/wavein.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace media {

// An open capture device: its buffers in queue order and the caller's callback. The device's
// thread fills buffers through Captured; everything else runs on the caller's thread.
class WaveIn final : public WaveInSink {
public:
    WaveIn(const WAVEFORMATEX& format, WaveInProc callback, std::uintptr_t instance)
        : format(format), callback_(callback), instance_(instance) {}

    void Captured(const std::uint8_t* data, std::size_t length) override {
        std::vector<WAVEHDR*> filled;
        {
            std::lock_guard lock(mutex);
            while (length > 0 && !queue.empty()) {
                WAVEHDR& front = *queue.front();
                const std::size_t room = front.dwBufferLength - front.dwBytesRecorded;
                const std::size_t n = std::min(room, length);
                std::memcpy(front.lpData + front.dwBytesRecorded, data, n);
                front.dwBytesRecorded += static_cast<std::uint32_t>(n);
                data += n;
                length -= n;
                if (front.dwBytesRecorded == front.dwBufferLength) {
                    MarkDone(front);
                    filled.push_back(&front);
                    queue.pop_front();
                }
            }
        }
        for (WAVEHDR* header : filled)
            Notify(WIM_DATA, header);
    }

    void Lost() override {
        std::deque<WAVEHDR*> back;
        {
            std::lock_guard lock(mutex);
            lost = true;
            back.swap(queue);
            for (WAVEHDR* header : back)
                MarkDone(*header);
        }
        for (WAVEHDR* header : back)
            Notify(WIM_DATA, header);
    }

    void Notify(std::uint32_t message, WAVEHDR* header) {
        if (callback_ != nullptr) {
            callback_(this, message, instance_, reinterpret_cast<std::uintptr_t>(header), 0);
        }
    }

    static void MarkDone(WAVEHDR& header) {
        header.dwFlags = (header.dwFlags | WHDR_DONE) & ~WHDR_INQUEUE;
    }

    // Hands back the buffer being filled (or all of them) after the device has stopped.
    void HandBack(bool all) {
        std::vector<WAVEHDR*> back;
        {
            std::lock_guard lock(mutex);
            while (!queue.empty() && (all || queue.front()->dwBytesRecorded > 0)) {
                MarkDone(*queue.front());
                back.push_back(queue.front());
                queue.pop_front();
                if (!all) break;
            }
        }
        for (WAVEHDR* header : back)
            Notify(WIM_DATA, header);
    }

    bool IsLost() const {
        std::lock_guard lock(mutex);
        return lost;
    }

    const WAVEFORMATEX format;
    std::unique_ptr<WaveInDevice> device;
    mutable std::mutex mutex;    // guards queue, lost and the headers in queue
    std::deque<WAVEHDR*> queue;  // added, not yet handed back
    bool lost = false;

private:
    WaveInProc callback_;
    std::uintptr_t instance_;
};

MMRESULT waveInOpen(WaveInDriver& driver, HWAVEIN* device, std::uint32_t deviceId,
                    const WAVEFORMATEX* format, WaveInProc callback, std::uintptr_t instance,
                    std::uint32_t flags) {
    if (device == nullptr) return MMSYSERR_INVALPARAM;
    *device = nullptr;
    if (deviceId != WAVE_MAPPER && deviceId != 0) return MMSYSERR_BADDEVICEID;
    if (flags != CALLBACK_NULL && flags != CALLBACK_FUNCTION) return MMSYSERR_INVALFLAG;
    if (flags == CALLBACK_FUNCTION && callback == nullptr) return MMSYSERR_INVALPARAM;
    if (format == nullptr) return MMSYSERR_INVALPARAM;
    if (!IsPlayablePcm(*format)) return WAVERR_BADFORMAT;

    auto open = std::make_unique<WaveIn>(*format, flags == CALLBACK_FUNCTION ? callback : nullptr,
                                         instance);
    open->device = driver.Open(*format, *open);
    if (!open->device) return MMSYSERR_NODRIVER;
    open->Notify(WIM_OPEN, nullptr);
    *device = open.release();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || headerSize < sizeof(WAVEHDR) || header->lpData == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(device->mutex);
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInUnprepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || headerSize < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(device->mutex);
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInAddBuffer(HWAVEIN device, WAVEHDR* header, std::uint32_t headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || headerSize < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(device->mutex);
    if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    if (device->lost) return MMSYSERR_NODRIVER;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    header->dwBytesRecorded = 0;
    device->queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInStart(HWAVEIN device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (device->IsLost()) return MMSYSERR_NODRIVER;
    device->device->Start();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInStop(HWAVEIN device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    device->device->Stop();
    device->HandBack(false);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInReset(HWAVEIN device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    device->device->Stop();
    device->HandBack(true);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWAVEIN device) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(device->mutex);
        if (!device->queue.empty()) return WAVERR_STILLPLAYING;
    }
    device->device.reset();
    device->Notify(WIM_CLOSE, nullptr);
    delete device;
    return MMSYSERR_NOERROR;
}

void WaveInHandle::Close() {
    if (device_ == nullptr) return;
    waveInReset(device_);
    waveInClose(device_);
    device_ = nullptr;
}

}  // namespace media
