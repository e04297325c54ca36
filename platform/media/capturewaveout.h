// A recording output device for tests: it keeps a copy of every buffer written, in order,
// with the opens, resets, pauses, restarts and closes around them. Written buffers count as
// played to their end only when the test says so (PlayOut); their completions are reported
// from a thread of the device, as a real device does.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/media/waveoutdevice.h"

namespace media {

class CaptureWaveOutDevice;

class CaptureWaveOutDriver final : public WaveOutDriver {
public:
    enum class EventKind { Open, Write, Reset, Pause, Restart, Close };
    struct Event {
        EventKind kind;
        std::vector<std::uint8_t> data;  // Write: the bytes written
        WAVEFORMATEX format;             // Open: the format asked for
    };

    CaptureWaveOutDriver() = default;
    ~CaptureWaveOutDriver() override;  // every device it opened must be closed by then
    CaptureWaveOutDriver(const CaptureWaveOutDriver&) = delete;
    CaptureWaveOutDriver& operator=(const CaptureWaveOutDriver&) = delete;

    std::unique_ptr<WaveOutDevice> Open(const WAVEFORMATEX& format, WaveOutSink& sink) override;

    // With false, Open finds no device (as on a machine without sound).
    void SetAvailable(bool available);

    std::vector<Event> Events() const;
    std::vector<EventKind> Kinds() const;
    std::vector<std::vector<std::uint8_t>> Writes() const;
    void ClearEvents();
    int OpenDevices() const;

    // Plays every buffer written so far on each open, unpaused device to its end and returns
    // once their completions have been reported.
    void PlayOut();

private:
    friend class CaptureWaveOutDevice;
    void Record(Event event);
    void Forget(CaptureWaveOutDevice* device);

    mutable std::mutex mutex_;
    bool available_ = true;
    std::vector<Event> events_;
    std::vector<CaptureWaveOutDevice*> devices_;
};

}  // namespace media
