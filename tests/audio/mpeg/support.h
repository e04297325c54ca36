// Helpers for the decoder tests: files, whole-stream decoding and error measures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "audio/mpeg/frame.h"

namespace mpegtest {

std::optional<std::vector<std::uint8_t>> ReadFile(const std::filesystem::path& path);

// The conformance vector folder, or empty when the shared data is absent.
std::filesystem::path VectorDir();

struct Decoded {
    int channels = 0;
    int sampleRate = 0;
    int frames = 0;                   // frames DecodeFrame accepted
    std::vector<float> samples;       // interleaved; float output scaled to +-1
    std::vector<std::int16_t> pcm16;  // 16-bit output (when decoded as 16-bit)
    std::vector<std::uint8_t> pcm8;   // 8-bit output
    std::vector<int> frameSamples;    // samples (all channels) written per frame
};

enum class Output { Float, Pcm16, Pcm8 };

// Decodes a whole elementary stream the way a player would: init, options, parse the first
// frame, start, then every frame in order.
Decoded DecodeStream(const std::vector<std::uint8_t>& stream, Output output,
                     const mpeg::DecodeOptions& options = {},
                     const std::int32_t* equalizer = nullptr);

struct Difference {
    double rms = 0;
    double max = 0;
    std::size_t count = 0;
};

// Difference of a against b over their common length from the given offsets; a is clipped to
// [-1, 32767/32768] first, as the references are.
Difference Compare(const std::vector<float>& a, std::size_t aFrom, const std::vector<double>& b,
                   std::size_t bFrom, std::size_t count);

// A 16-bit little-endian reference as fractions of full scale.
std::vector<double> ReadPcm16(const std::filesystem::path& path);

// Samples of a 24-bit WAV reference as fractions of full scale (channels returned).
std::vector<double> ReadWav24(const std::filesystem::path& path, int& channels);

// Splits x (interleaved, channels) at fraction of the Nyquist frequency: returns the energy
// (sum of squares per sample) below and above, and in lowPassed the part below (same layout).
struct Split {
    double below = 0;
    double above = 0;
};
Split SplitSpectrum(const std::vector<double>& x, int channels, double fraction,
                    std::vector<double>* lowPassed = nullptr);

// Makes an MP3 clip in dir: soxCommand is a sox command line whose output file is written
// as WAV, then lame encodes it with lameArgs. Empty path when a tool is missing or fails.
std::filesystem::path MakeClip(const std::filesystem::path& dir, const std::string& name,
                               const std::string& soxCommand, const std::string& lameArgs);

// Whether a program can be run (found on the search path).
bool HaveProgram(const std::string& name);

// A fresh temporary folder for one test.
std::filesystem::path TempDir(const std::string& name);

}  // namespace mpegtest
