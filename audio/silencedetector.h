// SilenceDetector decides when a spoken attempt is over. It hears 16-bit mono samples in
// order, in short windows: a window loud enough counts as speech, and once speech has been
// heard, 0.8 s of quiet ends the take. Six seconds end it whatever was heard.
#pragma once

#include <cstdint>
#include <span>

namespace audio {

class SilenceDetector {
public:
    // Quiet after speech that ends a take, and the longest take.
    static constexpr std::uint32_t TrailingSilenceMs = 800;
    static constexpr std::uint32_t LongestTakeMs = 6000;
    // A window of this length is either speech or quiet.
    static constexpr std::uint32_t WindowMs = 20;
    // Root-mean-square levels (of full scale 32768) that start speech and that count as quiet
    // after it; the gap keeps a fading word from ending the take at once.
    static constexpr std::int32_t SpeechLevel = 900;  // about -31 dBFS
    static constexpr std::int32_t QuietLevel = 450;   // about -37 dBFS

    explicit SilenceDetector(std::uint32_t sampleRate);

    // Hears the next samples; true once the take is over (and from then on).
    bool Hear(std::span<const std::int16_t> samples);
    bool Done() const { return done_; }
    bool HeardSpeech() const { return heardSpeech_; }
    // Samples heard up to the end of the take (all of them while it goes on).
    std::uint64_t TakeLength() const { return takeLength_; }

private:
    void EndWindow();

    std::uint32_t windowLength_;
    std::uint64_t longest_;
    std::uint32_t quietWindowsToEnd_;
    std::uint64_t heard_ = 0;
    std::uint64_t takeLength_ = 0;
    std::uint32_t inWindow_ = 0;
    std::uint64_t sumSquares_ = 0;
    std::uint32_t quietWindows_ = 0;
    bool heardSpeech_ = false;
    bool done_ = false;
};

}  // namespace audio
