// The wave-out functions with their Windows names and meanings: a device opened at one PCM
// format, buffers described by WAVEHDR records that are prepared, written (each played to its
// end), cut off by a reset, paused and restarted, a volume, and a completion callback.
//
// The device comes from a driver (SDL audio in the program, a recording device in tests).
// WOM_DONE for a buffer that played to its end arrives on the device's thread; for buffers
// cut off by waveOutReset it arrives inside waveOutReset. WOM_OPEN and WOM_CLOSE arrive inside
// waveOutOpen and waveOutClose. The callback must not call the wave-out functions.
#pragma once

#include <cstdint>

#include "platform/media/waveformat.h"
#include "platform/media/waveoutdevice.h"

namespace media {

using MMRESULT = std::uint32_t;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_STILLPLAYING = 33;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;

inline constexpr std::uint32_t WAVE_MAPPER = 0xFFFFFFFFu;

// Flags of waveOutOpen.
inline constexpr std::uint32_t CALLBACK_NULL = 0x00000;
inline constexpr std::uint32_t CALLBACK_FUNCTION = 0x30000;

// Callback messages.
inline constexpr std::uint32_t WOM_OPEN = 0x3BB;
inline constexpr std::uint32_t WOM_CLOSE = 0x3BC;
inline constexpr std::uint32_t WOM_DONE = 0x3BD;  // param1: the WAVEHDR*

// WAVEHDR::dwFlags.
inline constexpr std::uint32_t WHDR_DONE = 0x01;
inline constexpr std::uint32_t WHDR_PREPARED = 0x02;
inline constexpr std::uint32_t WHDR_INQUEUE = 0x10;

// One buffer of PCM bytes. The device owns its flags while it is queued (WHDR_INQUEUE).
struct WAVEHDR {
    char* lpData = nullptr;
    std::uint32_t dwBufferLength = 0;
    std::uint32_t dwBytesRecorded = 0;
    std::uintptr_t dwUser = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwLoops = 0;
    WAVEHDR* lpNext = nullptr;
    std::uintptr_t reserved = 0;
};

class WaveOut;  // an open device
using HWAVEOUT = WaveOut*;

using WaveOutProc = void (*)(HWAVEOUT device, std::uint32_t message, std::uintptr_t instance,
                             std::uintptr_t param1, std::uintptr_t param2);

// Opens a device of driver (deviceId WAVE_MAPPER or 0) at format. flags: CALLBACK_NULL, or
// CALLBACK_FUNCTION with callback. *device is null unless the result is MMSYSERR_NOERROR;
// MMSYSERR_NODRIVER when the driver has no device to give.
MMRESULT waveOutOpen(WaveOutDriver& driver, HWAVEOUT* device, std::uint32_t deviceId,
                     const WAVEFORMATEX* format, WaveOutProc callback, std::uintptr_t instance,
                     std::uint32_t flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, std::uint32_t headerSize);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, std::uint32_t headerSize);
// Queues a prepared buffer; playback starts at once unless the device is paused.
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, std::uint32_t headerSize);
// Cuts every queued buffer off at once (each marked done) and leaves the paused state.
MMRESULT waveOutReset(HWAVEOUT device);
MMRESULT waveOutPause(HWAVEOUT device);
MMRESULT waveOutRestart(HWAVEOUT device);
// WAVERR_STILLPLAYING (device left open) while buffers are queued.
MMRESULT waveOutClose(HWAVEOUT device);

// The device's volume: the low word is the left channel's level, the high word the right's,
// each 0 (silent) to 0xFFFF (full, the samples unchanged); a mono device takes the low word
// only. It scales what sounds from then on, the rest of a buffer already playing too (the
// caller's bytes stay as they are); a new device starts at full volume. MMSYSERR_INVALPARAM
// for a null volume.
MMRESULT waveOutSetVolume(HWAVEOUT device, std::uint32_t volume);
MMRESULT waveOutGetVolume(HWAVEOUT device, std::uint32_t* volume);

// Owns an open device: resets and closes it when destroyed or closed.
class WaveOutHandle {
public:
    WaveOutHandle() = default;
    ~WaveOutHandle() { Close(); }
    WaveOutHandle(const WaveOutHandle&) = delete;
    WaveOutHandle& operator=(const WaveOutHandle&) = delete;

    HWAVEOUT get() const { return device_; }
    // Where waveOutOpen stores the new device; closes the one held first.
    HWAVEOUT* Receive() {
        Close();
        return &device_;
    }
    // waveOutReset, then waveOutClose; the handle is empty afterwards.
    void Close();

private:
    HWAVEOUT device_ = nullptr;
};

}  // namespace media
