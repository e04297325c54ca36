// What every clip of the bundled archive must be: MPEG-2 Layer III, 22.05 kHz, mono,
// 32 kbit/s constant bit rate, a frame header at its first byte and frames back to back to
// its last, with no tag frame and no ID3 tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace phrasebook {

struct ClipCheck {
    std::optional<std::string> problem;  // empty when the clip is sound
    std::size_t frames = 0;
};

ClipCheck CheckArchiveClip(std::span<const std::uint8_t> clip);

}  // namespace phrasebook
