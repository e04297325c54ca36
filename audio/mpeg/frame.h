// The decoder's shared records: the frame header fields, the parsed frame information, the
// per-frame decode request and the decoder options.
#pragma once

#include <cstdint>

namespace mpeg {

// The twelve fields of a frame header, in header order. FrameInfo and FrameJob both start with
// them so that they can be copied as one block.
struct FrameHeader {
    std::int32_t version = 0;          // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5
    std::int32_t layer = 0;            // 1, 2 or 3
    std::int32_t crcPresent = 0;       // 1 when a 16-bit CRC follows the header
    std::int32_t bitRateIndex = 0;     // 1..14
    std::int32_t sampleRateIndex = 0;  // 0..2
    std::int32_t padding = 0;
    std::int32_t privateBit = 0;
    std::int32_t mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    std::int32_t modeExtension = 0;
    std::int32_t copyright = 0;  // the rights-reserved bit
    std::int32_t original = 0;   // the first-generation bit
    std::int32_t emphasis = 0;
};

// Channel modes of the header.
inline constexpr std::int32_t ModeStereo = 0;
inline constexpr std::int32_t ModeJointStereo = 1;
inline constexpr std::int32_t ModeDualChannel = 2;
inline constexpr std::int32_t ModeSingleChannel = 3;

// One parsed frame header with the stream values derived from it.
struct FrameInfo {
    FrameHeader header;
    std::int32_t outputChannels = 0;    // 1 or 2
    std::int32_t outputBits = 0;        // 8 or 16 (32 with the float output of tools and tests)
    std::int32_t sampleRate = 0;        // Hz, after the rate reduction
    std::int32_t bitRate = 0;           // bit/s; 0 when a VBR tag was found
    std::int32_t tagFrameCount = 0;     // from a VBR tag, else 0
    std::int32_t firstFrameLength = 0;  // bytes of this frame when a VBR tag was found, else 0
    std::int32_t tagByteCount = 0;      // from a VBR tag, else 0
    std::int32_t unpaddedLength = 0;    // frame length without the padding slot
    std::int32_t paddedLength = 0;      // frame length with the padding slot
    std::int32_t pcmBytesPerFrame = 0;  // PCM bytes one decoded frame produces
};

// A request to decode one frame from memory into PCM memory.
struct FrameJob {
    FrameHeader header;                   // filled by DecodeFrame from the frame's header
    std::int32_t bitRate = 0;             // bit/s
    const std::uint8_t* input = nullptr;  // the frame's first byte
    std::int32_t inputLength = 0;         // bytes available; on return the frame's length
    std::uint8_t* output = nullptr;       // PCM memory
    std::int32_t outputLength = 0;        // on return the PCM bytes produced
};

// Conversion flags of DecodeOptions.
inline constexpr std::int32_t ConvertNone = 0;
inline constexpr std::int32_t ConvertMix = 1;
inline constexpr std::int32_t ConvertFirst = 2;
inline constexpr std::int32_t ConvertSecond = 3;
inline constexpr std::int32_t ConvertChannelMask = 3;
inline constexpr std::int32_t Convert8Bit = 8;

struct DecodeOptions {
    std::int32_t reduction = 0;           // 0 full, 1 half, 2 quarter rate
    std::int32_t conversion = 0;          // channel conversion in bits 0..1; Convert8Bit for 8-bit
    std::int32_t frequencyLimit = 24000;  // highest frequency the subband decoders rebuild (Hz)
};

// Last-error codes.
inline constexpr std::int32_t ErrorNoSync = 3;
inline constexpr std::int32_t ErrorBadHeader = 4;
inline constexpr std::int32_t ErrorTooLittleData = 5;

}  // namespace mpeg
