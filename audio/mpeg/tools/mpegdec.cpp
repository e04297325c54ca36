// mpegdec IN OUT.wav [--f32]: decodes a raw MPEG audio file with the phrasebook's decoder into
// a WAV file (16-bit PCM, or 32-bit float samples taken before the integer conversion).
//
// The input is read as a stream through a small window, so files of any size take little
// memory. Exit status 0 only when every frame found was written; 1 with a message on stderr
// when the input cannot be read, holds no stream this decoder plays (a free-format stream
// among them), no frame decodes, or the output would pass the 4 GiB limit of a WAV file.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio/mpeg/decoder.h"

namespace {

// The input file seen through a window of its next bytes.
class Input {
public:
    // Every frame this decoder plays is shorter than this, and its parser wants at most this
    // many bytes at once; the window is refilled before it holds fewer.
    static constexpr std::size_t Lookahead = 64 * 1024;

    explicit Input(std::FILE* file) : file_(file), buffer_(16 * Lookahead) {}

    // Makes at least Lookahead bytes available unless the input ends first.
    bool Fill() {
        if (eof_ || end_ - pos_ >= Lookahead) return !error_;
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
        while (end_ < buffer_.size() && !eof_) {
            std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
            end_ += got;
            if (got == 0) {
                eof_ = true;
                error_ = std::ferror(file_) != 0;
            }
        }
        return !error_;
    }
    const std::uint8_t* Data() const { return buffer_.data() + pos_; }
    std::int32_t Available() const { return static_cast<std::int32_t>(end_ - pos_); }
    void Consume(std::size_t n) { pos_ += n < end_ - pos_ ? n : end_ - pos_; }
    // At the end of the input, n bytes at its very end are dropped (a trailing tag).
    void DropTail(std::size_t n) { end_ -= n < end_ - pos_ ? n : end_ - pos_; }
    bool AtEnd() const { return eof_; }
    bool Failed() const { return error_; }

private:
    std::FILE* file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool error_ = false;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

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

// The data chunk of a WAV file holds at most this many bytes (its sizes are 32-bit).
constexpr std::uint64_t WavDataLimit = 0xFFFFFFFFu - 36;

// Skips an ID3 version 2 tag at the start of the input. False on a read error.
bool SkipId3v2(Input& in) {
    if (!in.Fill()) return false;
    const std::uint8_t* d = in.Data();
    if (in.Available() < 10 || std::memcmp(d, "ID3", 3) != 0) return true;
    std::uint64_t size = (std::uint64_t{d[6]} & 0x7F) << 21 | (std::uint64_t{d[7]} & 0x7F) << 14 |
                         (std::uint64_t{d[8]} & 0x7F) << 7 | (std::uint64_t{d[9]} & 0x7F);
    std::uint64_t left = 10 + size + ((d[5] & 0x10) ? 10 : 0);
    while (left > 0 && in.Available() > 0) {
        std::uint64_t n = std::min<std::uint64_t>(left, static_cast<std::uint64_t>(in.Available()));
        in.Consume(n);
        left -= n;
        if (!in.Fill()) return false;
    }
    return true;
}

// What the four bytes at p hold as a frame header.
enum class HeaderKind { None, FreeFormat, Fixed };

HeaderKind KindOf(const std::uint8_t* p, std::int32_t available) {
    if (available < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return HeaderKind::None;
    const int version = (p[1] >> 3) & 3, layer = (p[1] >> 1) & 3;
    const int bitRate = p[2] >> 4, sampleRate = (p[2] >> 2) & 3;
    if (version == 1 || layer == 0 || bitRate == 15 || sampleRate == 3) return HeaderKind::None;
    return bitRate == 0 ? HeaderKind::FreeFormat : HeaderKind::Fixed;
}

// True when the fixed-rate header at p is followed by two more frames of the same stream (or
// by the end of the input), so that a sync pattern inside other data is not taken for a stream.
bool Confirmed(const std::uint8_t* p, std::int32_t available, bool atEnd) {
    std::int32_t at = 0;
    for (int frames = 0; frames < 3; ++frames) {
        if (at == available && atEnd && frames > 0) return true;
        if (KindOf(p + at, available - at) != HeaderKind::Fixed) return false;
        if (frames > 0 && (std::memcmp(p, p + at, 2) != 0 || ((p[2] ^ p[at + 2]) & 0x0C) != 0))
            return false;  // another version, layer or sample rate
        mpeg::FrameInfo info;
        if (!mpeg::ParseFrameInfo(p + at, available - at, info, 0)) {
            // Too few bytes left for the parser: a short last frame at the end of the input.
            return atEnd && frames > 0 && mpeg::DecoderLastError() == mpeg::ErrorTooLittleData;
        }
        at += (p[at + 2] & 0x02) ? info.paddedLength : info.unpaddedLength;
        if (at > available) return atEnd;
    }
    return true;
}

enum class StartResult { Started, NoStream, NoStreamFreeFormatSeen, FreeFormat, ReadError };

// Moves the input to the first confirmed frame and starts the decoder there.
StartResult StartStream(Input& in, mpeg::FrameInfo& info) {
    bool first = true;
    bool sawFreeFormat = false;
    auto none = [&] {
        return sawFreeFormat ? StartResult::NoStreamFreeFormatSeen : StartResult::NoStream;
    };
    for (;;) {
        if (!in.Fill()) return StartResult::ReadError;
        if (in.Available() == 0) return none();
        std::int32_t found = 0;
        if (!mpeg::FindFrameSync(in.Data(), in.Available(), found)) {
            // Keep the last three bytes: a sync may straddle the window's end.
            if (in.AtEnd()) return none();
            in.Consume(static_cast<std::size_t>(std::max(in.Available() - 3, 1)));
            first = false;
            continue;
        }
        if (found > 0) first = false;
        in.Consume(static_cast<std::size_t>(found));
        if (!in.Fill()) return StartResult::ReadError;
        const HeaderKind kind = KindOf(in.Data(), in.Available());
        // A free-format stream (no bit rate in its headers) is not played, and its frame data
        // must not be searched for a stream either: what syncs there is noise.
        if (first && kind == HeaderKind::FreeFormat) return StartResult::FreeFormat;
        sawFreeFormat = sawFreeFormat || kind == HeaderKind::FreeFormat;
        if (kind == HeaderKind::Fixed && Confirmed(in.Data(), in.Available(), in.AtEnd()) &&
            mpeg::ParseFrameInfo(in.Data(), in.Available(), info, 1) &&
            mpeg::DecoderStart(in.Data(), in.Available()))
            return StartResult::Started;
        in.Consume(1);
        first = false;
    }
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
    const char* inPath = paths[0];
    const char* outPath = paths[1];
    File inFile(std::fopen(inPath, "rb"));
    Input in(inFile.get());
    if (!inFile || !SkipId3v2(in)) {
        std::fprintf(stderr, "mpegdec: cannot read %s\n", inPath);
        return 1;
    }

    mpeg::DecoderInit();
    mpeg::SetFloatOutput(asFloat);
    mpeg::FrameInfo info;
    const StartResult result = StartStream(in, info);
    switch (result) {
        case StartResult::Started:
            break;
        case StartResult::ReadError:
            std::fprintf(stderr, "mpegdec: cannot read %s\n", inPath);
            return 1;
        case StartResult::FreeFormat:
            std::fprintf(stderr,
                         "mpegdec: %s is a free-format stream (no bit rate in its headers), which "
                         "this decoder does not play\n",
                         inPath);
            return 1;
        case StartResult::NoStream:
        case StartResult::NoStreamFreeFormatSeen:
            std::fprintf(stderr, "mpegdec: %s holds no MPEG audio stream this decoder can play%s\n",
                         inPath,
                         result == StartResult::NoStream
                             ? ""
                             : " (only free-format headers, which it does not play)");
            return 1;
    }

    File out(std::fopen(outPath, "wb"));
    auto fail = [&](const char* message) {
        std::fprintf(stderr, "mpegdec: %s\n", message);
        out.reset();
        std::remove(outPath);
        return 1;
    };
    if (!out) {
        std::fprintf(stderr, "mpegdec: cannot write %s\n", outPath);
        return 1;
    }
    // A placeholder header, completed once the data size is known.
    std::vector<std::uint8_t> header =
        WavHeader(info.outputChannels, info.sampleRate, info.outputBits, asFloat, 0);
    if (std::fwrite(header.data(), 1, header.size(), out.get()) != header.size())
        return fail("cannot write the output file");

    std::vector<std::uint8_t> frame(static_cast<std::size_t>(info.pcmBytesPerFrame));
    std::uint64_t dataBytes = 0;
    long frames = 0;
    bool full = false;
    bool tailChecked = false;
    for (;;) {
        if (!in.Fill()) return fail("cannot read the input file");
        // A trailing ID3 version 1 tag is not audio.
        if (in.AtEnd() && !tailChecked) {
            tailChecked = true;
            if (in.Available() >= 128 &&
                std::memcmp(in.Data() + in.Available() - 128, "TAG", 3) == 0)
                in.DropTail(128);
        }
        if (in.Available() == 0) break;
        mpeg::FrameJob job;
        job.input = in.Data();
        job.inputLength = in.Available();
        std::fill(frame.begin(), frame.end(), 0);
        job.output = frame.data();
        if (mpeg::DecodeFrame(job)) {
            const auto bytes = static_cast<std::size_t>(job.outputLength);
            if (dataBytes + bytes > WavDataLimit) {
                full = true;
                break;
            }
            if (bytes > 0 && std::fwrite(frame.data(), 1, bytes, out.get()) != bytes)
                return fail("cannot write the output file");
            dataBytes += bytes;
            in.Consume(static_cast<std::size_t>(job.inputLength));
            ++frames;
            continue;
        }
        if (mpeg::DecoderLastError() == mpeg::ErrorTooLittleData && in.AtEnd()) break;
        std::int32_t found = 0;
        if (!mpeg::FindFrameSync(in.Data() + 1, in.Available() - 1, found)) {
            in.Consume(static_cast<std::size_t>(std::max(in.Available() - 3, 1)));
            continue;
        }
        in.Consume(1 + static_cast<std::size_t>(found));
    }
    if (frames == 0) {
        std::fprintf(stderr, "mpegdec: no frame of %s could be decoded; nothing written\n", inPath);
        out.reset();
        std::remove(outPath);
        return 1;
    }
    header = WavHeader(info.outputChannels, info.sampleRate, info.outputBits, asFloat,
                       static_cast<std::uint32_t>(dataBytes));
    bool ok = std::fseek(out.get(), 0, SEEK_SET) == 0 &&
              std::fwrite(header.data(), 1, header.size(), out.get()) == header.size();
    ok = std::fclose(out.release()) == 0 && ok;
    if (!ok) return fail("cannot write the output file");
    std::fprintf(stderr, "mpegdec: %ld frames, %d Hz, %d channel(s)\n", frames, info.sampleRate,
                 info.outputChannels);
    if (full) {
        std::fprintf(stderr,
                     "mpegdec: %s stops at the 4 GiB limit of a WAV file; the rest of %s was "
                     "not decoded\n",
                     outPath, inPath);
        return 1;
    }
    return 0;
}
