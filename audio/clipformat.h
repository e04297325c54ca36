// What the player reads from a clip before decoding: where the MPEG audio (the payload) lies
// inside the container, and the stream values it takes from the first frame header with its
// own small table (Layer III bit rates, MPEG-1 and MPEG-2 rates).
#pragma once

#include <cstdint>

namespace audio {

struct PayloadPlace {
    bool found = false;
    std::uint32_t offset = 0;  // from the clip's first byte
    std::uint32_t length = 0;  // bytes of MPEG audio, a trailing tag removed
};

// The payload of a clip: the whole clip when it is not a RIFF file; after the header of a RIFF
// WAVE file ("fact" at byte 50 or 52, or "data" at 50) or a RIFF RMP3 file ("data" at 12); in
// each case without a trailing 128-byte block that begins with "TAG". Not found for a RIFF file
// of any other layout or one too short for its header.
PayloadPlace LocatePayload(const std::uint8_t* clip, std::uint32_t length);

// The values of a first frame header by the player's table. A bit-rate index of 0 or 15 or a
// sample-rate index of 3 gives 0 for that value and for the nominal frame length.
struct PlayerHeader {
    std::uint16_t versionRow = 0;          // 0 MPEG-1, 1 otherwise
    std::uint16_t bitRateKbps = 0;         // kbit/s
    std::uint16_t sampleRate = 0;          // Hz
    std::uint16_t channels = 0;            // 1 or 2
    std::uint16_t nominalFrameLength = 0;  // bit rate * 144000 / sample rate
    std::uint8_t sampleRateIndex = 0;      // 0..3
};

// header points at the frame's four header bytes.
PlayerHeader ReadPlayerHeader(const std::uint8_t* header);

// Milliseconds of one Layer III frame at the MPEG-1 and MPEG-2 rates of a sample-rate index
// (0..2): 1152 samples at 44100, 48000, 32000 Hz, the same as 576 at half those rates.
float FrameDurationMs(int sampleRateIndex);

}  // namespace audio
