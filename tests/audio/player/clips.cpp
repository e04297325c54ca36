#include "tests/audio/player/clips.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/mpeg/decoder.h"
#include "tests/support/tempdir.h"

namespace playertest {

std::vector<std::uint8_t> MakeClip(int rate, int channels, double seconds, const std::string& synth,
                                   const std::string& lameArgs) {
    testing_support::TempDir dir;
    std::string wav = (dir / "in.wav").string();
    std::string mp3 = (dir / "out.mp3").string();
    std::string sox = "sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                      " -b 16 '" + wav + "' synth " + std::to_string(seconds) + " " + synth +
                      " vol 0.5 2>/dev/null";
    std::string lame = "lame --quiet --noreplaygain " + lameArgs + " '" + wav + "' '" + mp3 + "'";
    if (std::system(sox.c_str()) != 0 || std::system(lame.c_str()) != 0) return {};
    return testing_support::ReadBytes(mp3);
}

Reference DecodeReference(const std::uint8_t* stream, std::uint32_t length) {
    Reference r;
    auto available = static_cast<std::int32_t>(length);
    mpeg::DecoderInit();
    mpeg::FrameInfo info;
    if (!mpeg::ParseFrameInfo(stream, available, info, 1) ||
        !mpeg::DecoderStart(stream, available)) {
        return r;
    }
    r.pcmBytesPerFrame = static_cast<std::uint32_t>(info.pcmBytesPerFrame);
    std::uint32_t offset = 0;
    while (offset < length) {
        std::vector<std::uint8_t> pcm(r.pcmBytesPerFrame);
        mpeg::FrameJob job;
        job.input = stream + offset;
        job.inputLength = static_cast<std::int32_t>(length - offset);
        job.output = pcm.data();
        if (!mpeg::DecodeFrame(job)) break;
        r.offsets.push_back(offset);
        r.lengths.push_back(static_cast<std::uint32_t>(job.inputLength));
        r.frames.push_back(std::move(pcm));
        offset += static_cast<std::uint32_t>(job.inputLength);
    }
    return r;
}

std::vector<std::uint8_t> ExpectedWrite(const Reference& reference, std::uint32_t streamLength,
                                        std::uint32_t first, std::uint32_t count,
                                        std::uint32_t skip) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t i = first; i < first + count; ++i) {
        bool heard = i < reference.frames.size() &&
                     reference.offsets[i] + reference.lengths[i] <= streamLength;
        if (heard) {
            out.insert(out.end(), reference.frames[i].begin(), reference.frames[i].end());
        } else {
            out.insert(out.end(), reference.pcmBytesPerFrame, 0);
        }
    }
    out.erase(out.begin(), out.begin() + std::min<std::size_t>(skip, out.size()));
    return out;
}

std::vector<std::uint8_t> WrapInRiff(const std::vector<std::uint8_t>& clip, const char* form,
                                     std::uint32_t markerOffset, const char* marker,
                                     std::uint32_t payloadOffset) {
    std::vector<std::uint8_t> file(payloadOffset, 0);
    auto put = [&file](std::uint32_t at, const char* text) {
        std::memcpy(file.data() + at, text, std::strlen(text));
    };
    auto put32 = [&file](std::uint32_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(0, "RIFF");
    put32(4, static_cast<std::uint32_t>(payloadOffset + clip.size() - 8));
    put(8, form);
    if (std::strcmp(form, "WAVE") == 0) {
        put(12, "fmt ");
        put32(16, 30);  // an MPEG Layer III format record
    }
    put(markerOffset, marker);
    put(payloadOffset - 8, "data");
    put32(payloadOffset - 4, static_cast<std::uint32_t>(clip.size()));
    file.insert(file.end(), clip.begin(), clip.end());
    return file;
}

}  // namespace playertest
