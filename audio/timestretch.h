// TimeStretch plays 16-bit PCM at another tempo with its pitch kept, through SoundTouch's
// time-domain stretcher tuned for speech. It owns one stretcher for one format; each Stretch
// call takes a whole sound and gives the whole of it back, nothing held over between calls.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

namespace audio {

class TimeStretch {
public:
    // Mono or stereo at a sample rate of at least 1000 Hz; tempo above 0 (0.7: 70 % speed).
    // Any other format is left as it is by Stretch.
    TimeStretch(std::uint32_t sampleRate, std::uint16_t channels, double tempo);
    ~TimeStretch();
    TimeStretch(const TimeStretch&) = delete;
    TimeStretch& operator=(const TimeStretch&) = delete;

    // pcm (interleaved 16-bit sample frames in the machine's byte order; a partial frame at
    // the end is dropped) at the tempo: round(frames / tempo) sample frames.
    std::vector<std::uint8_t> Stretch(std::span<const std::uint8_t> pcm);

private:
    std::uint16_t channels_;
    double tempo_;
    std::unique_ptr<soundtouch::SoundTouch> stretcher_;  // null for a format it cannot take
};

}  // namespace audio
