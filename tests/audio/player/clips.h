// Clips for the player tests, made at test time with sox and lame, and the decoder's own
// output for them, decoded frame by frame without the player.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace playertest {

// Encodes seconds of a tone: sox synthesises it at rate Hz with channels channels (synth
// arguments such as "sine 300-900"), lame encodes it with lameArgs ("-t --cbr ..." for the
// archive's kind of clip: constant bit rate, no tag frame). Empty when sox or lame is missing.
std::vector<std::uint8_t> MakeClip(int rate, int channels, double seconds, const std::string& synth,
                                   const std::string& lameArgs);

// The decoder's output for a stream of MPEG frames: every frame it accepts, in order, each
// with its position in the stream.
struct Reference {
    std::uint32_t pcmBytesPerFrame = 0;
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> lengths;  // bytes each frame took
    std::vector<std::vector<std::uint8_t>> frames;
};
Reference DecodeReference(const std::uint8_t* stream, std::uint32_t length);

// What the player is expected to write for frames [first, first + count) of the reference:
// each frame that lies wholly within the stream, the last one included, and silence for the
// others; then the first skip bytes dropped.
std::vector<std::uint8_t> ExpectedWrite(const Reference& reference, std::uint32_t streamLength,
                                        std::uint32_t first, std::uint32_t count,
                                        std::uint32_t skip = 0);

// A RIFF file of the given form ("WAVE" or "RMP3") whose payload starts at payloadOffset, with
// the marker text at markerOffset (e.g. "fact" at 50) and the clip after it.
std::vector<std::uint8_t> WrapInRiff(const std::vector<std::uint8_t>& clip, const char* form,
                                     std::uint32_t markerOffset, const char* marker,
                                     std::uint32_t payloadOffset);

}  // namespace playertest
