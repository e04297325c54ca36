// The learner's take beside the model: the take made ready to follow the clip in the clip's
// own PCM format, and the envelopes the window draws of both.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/media/waveformat.h"

namespace audio {

// The quiet between the clip and the take.
inline constexpr std::uint32_t ComparisonPauseMs = 400;

// pauseMs of silence, then the take (16-bit mono at takeRate) resampled to format (16-bit
// PCM, any rate and channel count: the take is heard in every channel). Empty for another
// sample size.
std::vector<std::uint8_t> TakeAfterPause(std::span<const std::int16_t> take, std::uint32_t takeRate,
                                         const media::WAVEFORMATEX& format,
                                         std::uint32_t pauseMs = ComparisonPauseMs);

// The loudest sample of each of `columns` equal stretches of 16-bit PCM (channels
// interleaved), scaled to 0 … 255 of full scale; all 0 for no samples.
std::vector<std::uint8_t> Envelope(std::span<const std::int16_t> samples, std::uint32_t channels,
                                   std::uint32_t columns);

// The same for PCM bytes (little-endian 16-bit).
std::vector<std::uint8_t> Envelope(std::span<const std::uint8_t> pcm, std::uint32_t channels,
                                   std::uint32_t columns);

}  // namespace audio
