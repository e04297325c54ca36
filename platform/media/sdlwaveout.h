// The real output device: SDL audio, used on its own (no window needed) at the buffer's PCM
// format. With no sound server or audio hardware, opening fails quietly (null device).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/media/waveoutdevice.h"

namespace media {

class SdlAudioStream;

// The sample frames SDL's audio thread takes at a time for a rate: the largest power of two
// within 24 ms (512 at 22.05 kHz, 1024 at 44.1 and 48 kHz), at least 64. A sound handed over
// reaches the device with the next chunk, so this bounds how long a click waits to be heard;
// half of it let the audio thread fall behind now and then on a busy machine
// (bench/player/device_bench).
std::uint16_t DeviceBufferFrames(std::uint32_t rate);

// Holds SDL's audio subsystem (reference-counted by SDL) for its lifetime, and keeps the
// output of the last closed device open, paused, for the next device of the same format:
// closing an SDL output waits for its audio thread (about a tenth of a second), too long for
// every clip. Completions are reported on SDL's audio thread. Outlives its devices.
class SdlWaveOutDriver final : public WaveOutDriver {
public:
    SdlWaveOutDriver();
    ~SdlWaveOutDriver() override;
    SdlWaveOutDriver(const SdlWaveOutDriver&) = delete;
    SdlWaveOutDriver& operator=(const SdlWaveOutDriver&) = delete;

    std::unique_ptr<WaveOutDevice> Open(const WAVEFORMATEX& format, WaveOutSink& sink) override;

    // Takes back the output of a closed device (silent, its queue empty).
    void Keep(std::unique_ptr<SdlAudioStream> stream);

private:
    bool initialised_ = false;
    std::mutex mutex_;
    std::unique_ptr<SdlAudioStream> idle_;  // paused, waiting for a device of its format
};

}  // namespace media
