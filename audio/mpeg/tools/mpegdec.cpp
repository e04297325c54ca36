// mpegdec IN OUT.wav [--f32]: decodes a raw MPEG audio file with the phrasebook's decoder into
// a WAV file (16-bit PCM, or 32-bit float samples taken before the integer conversion).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "audio/mpeg/decoder.h"

namespace {

bool ReadFile(const char* path, std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    bytes.clear();
    std::uint8_t chunk[65536];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::vector<std::uint8_t> WavHeader(int channels, int rate, int bits, bool isFloat,
                                    std::uint32_t dataBytes) {
    std::vector<std::uint8_t> h;
    auto tag = [&](const char* s) { h.insert(h.end(), s, s + 4); };
    tag("RIFF");
    Put32(h, 36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    Put32(h, 16);
    Put16(h, isFloat ? 3 : 1);
    Put16(h, static_cast<std::uint32_t>(channels));
    Put32(h, static_cast<std::uint32_t>(rate));
    Put32(h, static_cast<std::uint32_t>(rate * channels * bits / 8));
    Put16(h, static_cast<std::uint32_t>(channels * bits / 8));
    Put16(h, static_cast<std::uint32_t>(bits));
    tag("data");
    Put32(h, dataBytes);
    return h;
}

// Bytes of an ID3 version 2 tag at the start of the file, or 0.
std::size_t Id3v2Length(const std::vector<std::uint8_t>& d) {
    if (d.size() < 10 || std::memcmp(d.data(), "ID3", 3) != 0) return 0;
    std::size_t size = (std::size_t{d[6]} & 0x7F) << 21 | (std::size_t{d[7]} & 0x7F) << 14 |
                       (std::size_t{d[8]} & 0x7F) << 7 | (std::size_t{d[9]} & 0x7F);
    std::size_t total = 10 + size + ((d[5] & 0x10) ? 10 : 0);
    return total <= d.size() ? total : d.size();
}

struct FreeMemory {
    void operator()(std::uint8_t* p) const { std::free(p); }
};
using PcmMemory = std::unique_ptr<std::uint8_t, FreeMemory>;

// Grows pcm (capacity bytes, the first size of them used) to hold at least bytes. New memory
// comes zeroed from calloc, so that a frame producing no output leaves silence without a clear
// frame by frame. False when memory is short.
bool Reserve(PcmMemory& pcm, std::size_t& capacity, std::size_t size, std::size_t bytes) {
    if (bytes <= capacity) return true;
    std::size_t grown = std::max(bytes, 2 * capacity);
    PcmMemory fresh(static_cast<std::uint8_t*>(std::calloc(grown, 1)));
    if (fresh == nullptr) return false;
    if (size > 0) std::memcpy(fresh.get(), pcm.get(), size);
    pcm = std::move(fresh);
    capacity = grown;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool asFloat = false;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--f32") == 0) {
            asFloat = true;
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.size() != 2) {
        std::fprintf(stderr, "usage: mpegdec [--f32] IN OUT.wav\n");
        return 2;
    }
    std::vector<std::uint8_t> data;
    if (!ReadFile(paths[0], data)) {
        std::fprintf(stderr, "mpegdec: cannot read %s\n", paths[0]);
        return 1;
    }
    std::size_t skip = Id3v2Length(data);
    // A trailing ID3 version 1 tag is not audio.
    std::size_t end = data.size();
    if (end - skip >= 128 && std::memcmp(data.data() + end - 128, "TAG", 3) == 0) end -= 128;
    const std::uint8_t* audio = data.data() + skip;
    auto length = static_cast<std::int32_t>(end - skip);

    mpeg::DecoderInit();
    mpeg::SetFloatOutput(asFloat);
    std::int32_t offset = 0;
    mpeg::FrameInfo info;
    bool started = false;
    // The first position where a header parses and the stream starts.
    while (offset < length) {
        std::int32_t found = 0;
        if (!mpeg::FindFrameSync(audio + offset, length - offset, found)) break;
        offset += found;
        if (mpeg::ParseFrameInfo(audio + offset, length - offset, info, 1) &&
            mpeg::DecoderStart(audio + offset, length - offset)) {
            started = true;
            break;
        }
        ++offset;
    }
    if (!started) {
        std::fprintf(stderr, "mpegdec: %s holds no MPEG audio stream this decoder can play\n",
                     paths[0]);
        return 1;
    }

    // Frames decode straight into the PCM memory, sized for the whole stream up front.
    const auto frameBytes = static_cast<std::size_t>(info.pcmBytesPerFrame);
    PcmMemory pcm;
    std::size_t capacity = 0;
    std::size_t size = 0;
    std::size_t estimate =
        info.unpaddedLength > 0
            ? (static_cast<std::size_t>(length) / info.unpaddedLength + 2) * frameBytes
            : frameBytes;
    long frames = 0;
    bool memoryShort = !Reserve(pcm, capacity, size, estimate);
    while (offset < length && !memoryShort) {
        if (!Reserve(pcm, capacity, size, size + frameBytes)) {
            memoryShort = true;
            break;
        }
        mpeg::FrameJob job;
        job.input = audio + offset;
        job.inputLength = length - offset;
        job.output = pcm.get() + size;
        if (mpeg::DecodeFrame(job)) {
            size += frameBytes;
            offset += job.inputLength;
            ++frames;
            continue;
        }
        // The next frame's region is silent again.
        std::memset(pcm.get() + size, 0, frameBytes);
        if (mpeg::DecoderLastError() == mpeg::ErrorTooLittleData) break;
        std::int32_t found = 0;
        if (!mpeg::FindFrameSync(audio + offset + 1, length - offset - 1, found)) break;
        offset += 1 + found;
    }

    if (memoryShort) {
        std::fprintf(stderr, "mpegdec: not enough memory for the decoded audio\n");
        return 1;
    }
    std::FILE* out = std::fopen(paths[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "mpegdec: cannot write %s\n", paths[1]);
        return 1;
    }
    std::vector<std::uint8_t> header =
        WavHeader(info.outputChannels, info.sampleRate, info.outputBits, asFloat,
                  static_cast<std::uint32_t>(size));
    bool ok = std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
              std::fwrite(pcm.get(), 1, size, out) == size;
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "mpegdec: cannot write %s\n", paths[1]);
        return 1;
    }
    std::fprintf(stderr, "mpegdec: %ld frames, %d Hz, %d channel(s)\n", frames, info.sampleRate,
                 info.outputChannels);
    return 0;
}
