// Test helpers: whole-stream decoding through the decoder's public calls, and the reference
// file formats of the conformance vectors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/mpeg/decoder.h"

struct DecodedStream {
    bool started = false;
    int channels = 0;
    int sampleRate = 0;
    int frames = 0;
    std::vector<float> samples;           // float output, full scale 1.0 (when asked for)
    std::vector<std::int16_t> samples16;  // 16-bit output (when asked for)
};

// Decodes every frame of data from its start. With floatOutput the samples before the integer
// conversion are collected, otherwise the 16-bit PCM.
inline DecodedStream DecodeStream(const std::vector<std::uint8_t>& data, bool floatOutput,
                                  const mpeg::DecodeOptions& options = {}) {
    DecodedStream result;
    mpeg::DecoderInit();
    mpeg::SetDecodeOptions(options);
    mpeg::SetFloatOutput(floatOutput);
    const auto size = static_cast<std::int32_t>(data.size());
    mpeg::FrameInfo info;
    if (!mpeg::ParseFrameInfo(data.data(), size, info, 1)) return result;
    result.channels = info.outputChannels;
    result.sampleRate = info.sampleRate;
    result.started = mpeg::DecoderStart(data.data(), size) == 1;
    if (!result.started) return result;
    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(info.pcmBytesPerFrame) + 64);
    std::int32_t pos = 0;
    while (pos + 4 < size) {
        mpeg::FrameJob job;
        job.input = data.data() + pos;
        job.inputLength = size - pos;
        job.output = pcm.data();
        if (!mpeg::DecodeFrame(job)) break;
        ++result.frames;
        pos += job.inputLength;
        if (floatOutput) {
            const auto* f = reinterpret_cast<const float*>(pcm.data());
            result.samples.insert(result.samples.end(), f, f + job.outputLength / 4);
        } else {
            const auto* v = reinterpret_cast<const std::int16_t*>(pcm.data());
            result.samples16.insert(result.samples16.end(), v, v + job.outputLength / 2);
        }
    }
    mpeg::SetFloatOutput(false);
    return result;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 24-bit PCM WAVE file's samples as fractions of full scale.
inline std::vector<double> ReadWave24(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    std::vector<double> samples;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint32_t size = bytes[pos + 4] | bytes[pos + 5] << 8 | bytes[pos + 6] << 16 |
                                   static_cast<std::uint32_t>(bytes[pos + 7]) << 24;
        if (std::string(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                        bytes.begin() + static_cast<std::ptrdiff_t>(pos) + 4) == "data") {
            const std::size_t end = std::min<std::size_t>(bytes.size(), pos + 8 + size);
            for (std::size_t i = pos + 8; i + 3 <= end; i += 3) {
                std::int32_t v = bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16;
                if (v & 0x800000) v -= 0x1000000;
                samples.push_back(v / 8388608.0);
            }
            break;
        }
        pos += 8 + size + (size & 1);
    }
    return samples;
}

// Raw signed 16-bit little-endian samples.
inline std::vector<std::int16_t> ReadPcm16(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return samples;
}
