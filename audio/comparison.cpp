#include "audio/comparison.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace audio {

std::vector<std::uint8_t> TakeAfterPause(std::span<const std::int16_t> take, std::uint32_t takeRate,
                                         const media::WAVEFORMATEX& format, std::uint32_t pauseMs) {
    if (format.wBitsPerSample != 16 || format.nChannels == 0 || format.nSamplesPerSec == 0 ||
        takeRate == 0) {
        return {};
    }
    const std::uint32_t channels = format.nChannels;
    const std::uint64_t rate = format.nSamplesPerSec;
    const std::uint64_t pauseFrames = rate * pauseMs / 1000;
    const std::uint64_t takeFrames = take.empty() ? 0 : take.size() * rate / takeRate;
    std::vector<std::int16_t> out((pauseFrames + takeFrames) * channels, 0);
    for (std::uint64_t i = 0; i < takeFrames; ++i) {
        // Linear interpolation between the take's two nearest samples.
        const std::uint64_t position = i * takeRate;  // in units of 1/rate take samples
        const std::size_t left = static_cast<std::size_t>(position / rate);
        const std::size_t right = std::min(left + 1, take.size() - 1);
        const std::int64_t fraction = static_cast<std::int64_t>(position % rate);
        const std::int64_t value =
            (take[left] * (static_cast<std::int64_t>(rate) - fraction) + take[right] * fraction) /
            static_cast<std::int64_t>(rate);
        for (std::uint32_t c = 0; c < channels; ++c)
            out[(pauseFrames + i) * channels + c] = static_cast<std::int16_t>(value);
    }
    std::vector<std::uint8_t> bytes(out.size() * 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto sample = static_cast<std::uint16_t>(out[i]);
        bytes[2 * i] = static_cast<std::uint8_t>(sample & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(sample >> 8);
    }
    return bytes;
}

std::vector<std::uint8_t> Envelope(std::span<const std::int16_t> samples, std::uint32_t channels,
                                   std::uint32_t columns) {
    std::vector<std::uint8_t> peaks(columns, 0);
    if (channels == 0 || columns == 0) return peaks;
    const std::size_t frames = samples.size() / channels;
    if (frames == 0) return peaks;
    for (std::uint32_t column = 0; column < columns; ++column) {
        const std::size_t first = frames * column / columns;
        const std::size_t end = std::max(first + 1, frames * (column + 1) / columns);
        int loudest = 0;
        for (std::size_t i = first * channels; i < std::min(end, frames) * channels; ++i)
            loudest = std::max(loudest, std::abs(static_cast<int>(samples[i])));
        peaks[column] = static_cast<std::uint8_t>(std::min(255, loudest * 255 / 32767));
    }
    return peaks;
}

std::vector<std::uint8_t> Envelope(std::span<const std::uint8_t> pcm, std::uint32_t channels,
                                   std::uint32_t columns) {
    std::vector<std::int16_t> samples(pcm.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
    return Envelope(samples, channels, columns);
}

}  // namespace audio
