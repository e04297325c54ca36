#include "tests/audio/mpeg/support.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>

#include <unistd.h>

#include "audio/mpeg/decoder.h"

namespace mpegtest {

std::optional<std::vector<std::uint8_t>> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

std::filesystem::path VectorDir() {
    std::filesystem::path dir = std::filesystem::path(PHRASEBOOK_SHARED_DIR) / "vectors" / "mpeg";
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

Decoded DecodeStream(const std::vector<std::uint8_t>& stream, Output output,
                     const mpeg::DecodeOptions& options, const std::int32_t* equalizer) {
    Decoded d;
    mpeg::DecoderInit();
    mpeg::DecodeOptions o = options;
    if (output == Output::Pcm8) o.conversion |= mpeg::Convert8Bit;
    mpeg::SetDecodeOptions(o);
    mpeg::SetEqualizer(equalizer);
    mpeg::SetFloatOutput(output == Output::Float);
    std::int32_t start = 0;
    mpeg::FindFrameSync(stream.data(), static_cast<std::int32_t>(stream.size()), start);
    const std::uint8_t* data = stream.data() + start;
    auto length = static_cast<std::int32_t>(stream.size()) - start;
    mpeg::FrameInfo info;
    if (!mpeg::ParseFrameInfo(data, length, info, 1) || !mpeg::DecoderStart(data, length)) {
        mpeg::SetFloatOutput(false);
        return d;
    }
    d.channels = info.outputChannels;
    d.sampleRate = info.sampleRate;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(info.pcmBytesPerFrame) + 64, 0xA5);
    std::int32_t offset = 0;
    while (offset < length) {
        mpeg::FrameJob job;
        job.input = data + offset;
        job.inputLength = length - offset;
        std::fill(frame.begin(), frame.end(), 0);
        job.output = frame.data();
        if (!mpeg::DecodeFrame(job)) break;
        ++d.frames;
        offset += job.inputLength;
        std::size_t bytes = static_cast<std::size_t>(job.outputLength);
        switch (output) {
            case Output::Float: {
                std::size_t n = bytes / 4;
                std::size_t at = d.samples.size();
                d.samples.resize(at + n);
                std::memcpy(d.samples.data() + at, frame.data(), bytes);
                d.frameSamples.push_back(static_cast<int>(n));
                break;
            }
            case Output::Pcm16: {
                std::size_t n = bytes / 2;
                std::size_t at = d.pcm16.size();
                d.pcm16.resize(at + n);
                std::memcpy(d.pcm16.data() + at, frame.data(), bytes);
                d.frameSamples.push_back(static_cast<int>(n));
                break;
            }
            case Output::Pcm8:
                d.pcm8.insert(d.pcm8.end(), frame.begin(),
                              frame.begin() + static_cast<long>(bytes));
                d.frameSamples.push_back(static_cast<int>(bytes));
                break;
        }
    }
    mpeg::SetFloatOutput(false);
    mpeg::SetEqualizer(nullptr);
    return d;
}

Difference Compare(const std::vector<float>& a, std::size_t aFrom, const std::vector<double>& b,
                   std::size_t bFrom, std::size_t count) {
    Difference diff;
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (aFrom + i >= a.size() || bFrom + i >= b.size()) break;
        double x = std::clamp(static_cast<double>(a[aFrom + i]), -1.0, 32767.0 / 32768.0);
        double e = x - b[bFrom + i];
        sum += e * e;
        diff.max = std::max(diff.max, std::fabs(e));
        ++diff.count;
    }
    diff.rms = diff.count ? std::sqrt(sum / static_cast<double>(diff.count)) : 0.0;
    return diff;
}

std::vector<double> ReadPcm16(const std::filesystem::path& path) {
    std::vector<double> out;
    auto bytes = ReadFile(path);
    if (!bytes) return out;
    out.reserve(bytes->size() / 2);
    for (std::size_t i = 0; i + 1 < bytes->size(); i += 2) {
        auto v = static_cast<std::int16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8));
        out.push_back(v / 32768.0);
    }
    return out;
}

std::vector<double> ReadWav24(const std::filesystem::path& path, int& channels) {
    std::vector<double> out;
    channels = 0;
    auto bytes = ReadFile(path);
    if (!bytes || bytes->size() < 12) return out;
    const std::vector<std::uint8_t>& d = *bytes;
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) |
                                          (std::uint32_t{d[at + 3]} << 24));
    };
    std::size_t at = 12;
    while (at + 8 <= d.size()) {
        std::uint32_t size = u32(at + 4);
        if (std::memcmp(&d[at], "fmt ", 4) == 0) channels = d[at + 10] | (d[at + 11] << 8);
        if (std::memcmp(&d[at], "data", 4) == 0) {
            std::size_t end = std::min(d.size(), at + 8 + size);
            for (std::size_t i = at + 8; i + 2 < end; i += 3) {
                std::int32_t v = d[i] | (d[i + 1] << 8) | (d[i + 2] << 16);
                if (v & 0x800000) v -= 0x1000000;
                out.push_back(v / 8388608.0);
            }
            break;
        }
        at += 8 + size + (size & 1);
    }
    return out;
}

namespace {

void Fft(std::vector<std::complex<double>>& a, bool inverse) {
    std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        double angle = 2 * std::numbers::pi / static_cast<double>(len) * (inverse ? 1 : -1);
        std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                std::complex<double> u = a[i + k];
                std::complex<double> v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
    if (inverse) {
        for (auto& v : a)
            v /= static_cast<double>(n);
    }
}

}  // namespace

Split SplitSpectrum(const std::vector<double>& x, int channels, double fraction,
                    std::vector<double>* lowPassed) {
    Split split;
    std::size_t frames = x.size() / static_cast<std::size_t>(channels);
    std::size_t n = 1;
    while (n < frames)
        n <<= 1;
    if (lowPassed) lowPassed->assign(x.size(), 0.0);
    for (int ch = 0; ch < channels; ++ch) {
        std::vector<std::complex<double>> a(n);
        for (std::size_t i = 0; i < frames; ++i)
            a[i] = x[i * channels + ch];
        Fft(a, false);
        auto cut = static_cast<std::size_t>(fraction * static_cast<double>(n / 2));
        for (std::size_t k = 0; k < n; ++k) {
            std::size_t f = k <= n / 2 ? k : n - k;
            double e = std::norm(a[k]) / static_cast<double>(n);
            if (f < cut) {
                split.below += e;
            } else {
                split.above += e;
                a[k] = 0;
            }
        }
        if (lowPassed) {
            Fft(a, true);
            for (std::size_t i = 0; i < frames; ++i)
                (*lowPassed)[i * channels + ch] = a[i].real();
        }
    }
    split.below /= static_cast<double>(x.size());
    split.above /= static_cast<double>(x.size());
    return split;
}

std::filesystem::path TempDir(const std::string& name) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("mpegtest-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

std::filesystem::path MakeClip(const std::filesystem::path& dir, const std::string& name,
                               const std::string& soxCommand, const std::string& lameArgs) {
    std::filesystem::path wav = dir / (name + ".wav");
    std::filesystem::path mp3 = dir / (name + ".mp3");
    std::string command = soxCommand;
    std::size_t at = command.find("WAV");
    if (at == std::string::npos) return {};
    command.replace(at, 3, "'" + wav.string() + "'");
    if (std::system((command + " 2>/dev/null").c_str()) != 0) return {};
    std::string lame =
        "lame --quiet " + lameArgs + " '" + wav.string() + "' '" + mp3.string() + "' 2>/dev/null";
    if (std::system(lame.c_str()) != 0) return {};
    return mp3;
}

bool HaveProgram(const std::string& name) {
    std::string command = "command -v " + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace mpegtest
