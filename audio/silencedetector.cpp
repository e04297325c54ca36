#include "audio/silencedetector.h"

#include <algorithm>

namespace audio {

SilenceDetector::SilenceDetector(std::uint32_t sampleRate)
    : windowLength_(std::max<std::uint32_t>(1, sampleRate * WindowMs / 1000)),
      longest_(std::uint64_t{sampleRate} * LongestTakeMs / 1000),
      quietWindowsToEnd_(TrailingSilenceMs / WindowMs) {}

bool SilenceDetector::Hear(std::span<const std::int16_t> samples) {
    for (const std::int16_t sample : samples) {
        if (done_) break;
        sumSquares_ += static_cast<std::uint64_t>(std::int64_t{sample} * sample);
        ++heard_;
        takeLength_ = heard_;
        if (++inWindow_ == windowLength_) EndWindow();
        if (!done_ && heard_ >= longest_) done_ = true;
    }
    return done_;
}

void SilenceDetector::EndWindow() {
    // Compared squared, so no root is taken.
    const std::uint64_t mean = sumSquares_ / inWindow_;
    inWindow_ = 0;
    sumSquares_ = 0;
    const auto squared = [](std::int32_t level) {
        return static_cast<std::uint64_t>(std::int64_t{level} * level);
    };
    if (mean >= squared(SpeechLevel)) {
        heardSpeech_ = true;
        quietWindows_ = 0;
    } else if (heardSpeech_ && mean < squared(QuietLevel)) {
        if (++quietWindows_ >= quietWindowsToEnd_) done_ = true;
    } else {
        // Between the levels after speech: neither speech nor the quiet that ends the take.
        quietWindows_ = 0;
    }
}

}  // namespace audio
