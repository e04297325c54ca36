#include "platform/media/waveformat.h"

#include <cstring>

namespace media {

namespace {

std::int32_t Scale(std::int32_t sample, std::uint32_t level) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(sample) * level / 0xFFFF);
}

}  // namespace

bool IsPlayablePcm(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 1000 &&
           f.nSamplesPerSec <= 192000 && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
           f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

void ScaleSamples(const WAVEFORMATEX& format, std::uint32_t volume, std::uint8_t* data,
                  std::size_t length) {
    if (volume == FullVolume || format.nBlockAlign == 0) return;
    const std::uint32_t levels[2] = {volume & 0xFFFF,
                                     format.nChannels == 2 ? volume >> 16 : volume & 0xFFFF};
    const std::size_t bytes = format.wBitsPerSample / 8;
    const std::size_t samples = length / format.nBlockAlign * format.nChannels;
    for (std::size_t i = 0; i < samples; ++i) {
        const std::uint32_t level = levels[i % format.nChannels];
        std::uint8_t* at = data + i * bytes;
        if (bytes == 1) {
            *at = static_cast<std::uint8_t>(Scale(*at - 128, level) + 128);
        } else {
            std::int16_t sample;
            std::memcpy(&sample, at, sizeof sample);
            sample = static_cast<std::int16_t>(Scale(sample, level));
            std::memcpy(at, &sample, sizeof sample);
        }
    }
}

}  // namespace media
