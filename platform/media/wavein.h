// The wave-in functions with their Windows names and meanings: a capture device opened at one
// PCM format, buffers described by WAVEHDR records that are prepared and added to the
// device's queue, filled in the order they were added, each handed back (WHDR_DONE, its
// dwBytesRecorded set) with WIM_DATA once it is full; a stop hands back the buffer being
// filled, a reset every queued buffer; a device with buffers queued does not close.
//
// The device comes from a driver (SDL capture in the program, a fed device in tests). WIM_DATA
// for a filled buffer arrives on the device's thread; for buffers handed back by waveInStop or
// waveInReset it arrives inside those calls. WIM_OPEN and WIM_CLOSE arrive inside waveInOpen
// and waveInClose. When the device goes away every queued buffer comes back at once (on the
// device's thread), and from then on the functions that need the device answer
// MMSYSERR_NODRIVER. The callback must not call the wave-in functions.
#pragma once

#include <cstdint>

#include "platform/media/waveindevice.h"
#include "platform/media/waveout.h"

namespace media {

inline constexpr MMRESULT MMSYSERR_NOTENABLED = 3;

// Callback messages.
inline constexpr std::uint32_t WIM_OPEN = 0x3BE;
inline constexpr std::uint32_t WIM_CLOSE = 0x3BF;
inline constexpr std::uint32_t WIM_DATA = 0x3C0;  // param1: the WAVEHDR*
// The same as window messages.
inline constexpr std::uint32_t MM_WIM_OPEN = WIM_OPEN;
inline constexpr std::uint32_t MM_WIM_CLOSE = WIM_CLOSE;
inline constexpr std::uint32_t MM_WIM_DATA = WIM_DATA;

class WaveIn;  // an open capture device
using HWAVEIN = WaveIn*;

using WaveInProc = void (*)(HWAVEIN device, std::uint32_t message, std::uintptr_t instance,
                            std::uintptr_t param1, std::uintptr_t param2);

// Opens a capture device of driver (deviceId WAVE_MAPPER or 0) at format. flags:
// CALLBACK_NULL, or CALLBACK_FUNCTION with callback. *device is null unless the result is
// MMSYSERR_NOERROR; MMSYSERR_NODRIVER when the driver has no capture device.
MMRESULT waveInOpen(WaveInDriver& driver, HWAVEIN* device, std::uint32_t deviceId,
                    const WAVEFORMATEX* format, WaveInProc callback, std::uintptr_t instance,
                    std::uint32_t flags);
MMRESULT waveInPrepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t headerSize);
MMRESULT waveInUnprepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t headerSize);
// Queues a prepared, empty buffer (dwBytesRecorded is set to 0) behind the others.
MMRESULT waveInAddBuffer(HWAVEIN device, WAVEHDR* header, std::uint32_t headerSize);
MMRESULT waveInStart(HWAVEIN device);
// Stops capturing; the buffer being filled comes back with what it holds, empty ones stay.
MMRESULT waveInStop(HWAVEIN device);
// Stops capturing and hands every queued buffer back, in order.
MMRESULT waveInReset(HWAVEIN device);
// WAVERR_STILLPLAYING (device left open) while buffers are queued.
MMRESULT waveInClose(HWAVEIN device);

// Owns an open capture device: resets and closes it when destroyed or closed.
class WaveInHandle {
public:
    WaveInHandle() = default;
    ~WaveInHandle() { Close(); }
    WaveInHandle(const WaveInHandle&) = delete;
    WaveInHandle& operator=(const WaveInHandle&) = delete;

    HWAVEIN get() const { return device_; }
    HWAVEIN* Receive() {
        Close();
        return &device_;
    }
    void Close();

private:
    HWAVEIN device_ = nullptr;
};

}  // namespace media
