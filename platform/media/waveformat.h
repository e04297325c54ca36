// The PCM format record of the wave-out functions, with its Windows field names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace media {

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    std::uint16_t wFormatTag = 0;       // WAVE_FORMAT_PCM
    std::uint16_t nChannels = 0;        // 1 or 2
    std::uint32_t nSamplesPerSec = 0;   // sample frames per second
    std::uint32_t nAvgBytesPerSec = 0;  // nSamplesPerSec * nBlockAlign
    std::uint16_t nBlockAlign = 0;      // bytes of one sample frame: nChannels * wBitsPerSample / 8
    std::uint16_t wBitsPerSample = 0;   // 8 (unsigned) or 16 (signed, little-endian)
    std::uint16_t cbSize = 0;           // extra bytes after the record; 0 for PCM
};

// True for a PCM format the devices can play: 1 or 2 channels of 8 or 16 bits, a rate of
// 1000 to 192000 Hz, and block align and byte rate that agree with them.
bool IsPlayablePcm(const WAVEFORMATEX& format);

// A volume as waveOutSetVolume takes it: the low word scales the left (or only) channel, the
// high word the right one, 0 silent to 0xFFFF as it is.
inline constexpr std::uint32_t FullVolume = 0xFFFFFFFFu;

// Scales the samples of the whole sample frames in length bytes at data (which start at a
// frame) by volume; a partial frame at the end stays as it is.
void ScaleSamples(const WAVEFORMATEX& format, std::uint32_t volume, std::uint8_t* data,
                  std::size_t length);

}  // namespace media
