// The contract between the wave-in functions and a capture device (the real one over SDL, or
// the fed one of the tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/media/waveformat.h"

namespace media {

// Told by a capture device of what it heard, on the device's own thread, never inside Start.
class WaveInSink {
public:
    // length bytes of PCM in the device's format, in the order they were captured.
    virtual void Captured(const std::uint8_t* data, std::size_t length) = 0;
    // The device went away (unplugged, its server gone): nothing more will come.
    virtual void Lost() = 0;

protected:
    ~WaveInSink() = default;
};

// One open capture device at one PCM format; silent until started.
class WaveInDevice {
public:
    // Stops at once; no call to the sink runs once the destructor has returned.
    virtual ~WaveInDevice() = default;

    virtual void Start() = 0;
    // Stops capturing; when it returns no call to the sink is running.
    virtual void Stop() = 0;
};

// Opens capture devices.
class WaveInDriver {
public:
    virtual ~WaveInDriver() = default;

    // A device capturing at format (a playable PCM format) that reports to sink, or null when
    // there is no capture device. sink outlives the device.
    virtual std::unique_ptr<WaveInDevice> Open(const WAVEFORMATEX& format, WaveInSink& sink) = 0;
};

}  // namespace media
