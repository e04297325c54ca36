// The contract between the wave-out functions and an output device (the real one over SDL,
// or the recording one of the tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/media/waveformat.h"

namespace media {

// Told by a device that a buffer has played to its end. Called on the device's own thread,
// never inside the call that handed the buffer over.
class WaveOutSink {
public:
    virtual void BufferDone(const void* buffer) = 0;

protected:
    ~WaveOutSink() = default;
};

// One open output device at one PCM format. Buffers handed to Play sound in order, each to
// its end; their bytes must stay valid until they are done or the device is reset.
class WaveOutDevice {
public:
    // Stops at once; no BufferDone runs once the destructor has returned.
    virtual ~WaveOutDevice() = default;

    // Queues length bytes at data; buffer identifies them to BufferDone.
    virtual void Play(const std::uint8_t* data, std::size_t length, const void* buffer) = 0;
    // Drops every queued buffer at once (without BufferDone) and leaves the paused state.
    // When it returns, no BufferDone is running or will come for the dropped buffers.
    virtual void Reset() = 0;
    // Holds playback where it is / carries on from there.
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Scales what sounds from now on, the rest of a buffer already sounding too, by volume
    // (FullVolume: as written); the caller's bytes are never changed.
    virtual void SetVolume(std::uint32_t volume) = 0;
};

// Opens output devices.
class WaveOutDriver {
public:
    virtual ~WaveOutDriver() = default;

    // A device playing format (a playable PCM format) that reports to sink, or null when no
    // device can be opened. sink outlives the device.
    virtual std::unique_ptr<WaveOutDevice> Open(const WAVEFORMATEX& format, WaveOutSink& sink) = 0;
};

}  // namespace media
