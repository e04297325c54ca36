// The real capture device: SDL's default recording device, at the caller's PCM format (SDL
// converts from what the hardware gives). With no capture device, opening fails quietly (null
// device). SDL reports a vanished device by no longer calling; the device notices that on
// its own watch thread and tells the sink Lost.
#pragma once

#include <memory>

#include "platform/media/waveindevice.h"

namespace media {

// Holds SDL's audio subsystem for its lifetime; outlives its devices.
class SdlWaveInDriver final : public WaveInDriver {
public:
    SdlWaveInDriver();
    ~SdlWaveInDriver() override;
    SdlWaveInDriver(const SdlWaveInDriver&) = delete;
    SdlWaveInDriver& operator=(const SdlWaveInDriver&) = delete;

    std::unique_ptr<WaveInDevice> Open(const WAVEFORMATEX& format, WaveInSink& sink) override;

private:
    bool initialised_ = false;
};

}  // namespace media
