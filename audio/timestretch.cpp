#include "audio/timestretch.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace audio {

namespace {

// Sequence, seek window and overlap for speech (SoundTouch's defaults suit music).
constexpr int SequenceMs = 40;
constexpr int SeekWindowMs = 15;
constexpr int OverlapMs = 8;
constexpr std::size_t ChunkFrames = 4096;

}  // namespace

TimeStretch::TimeStretch(std::uint32_t sampleRate, std::uint16_t channels, double tempo)
    : channels_(channels), tempo_(tempo) {
    if ((channels != 1 && channels != 2) || sampleRate < 1000 || !(tempo > 0)) return;
    stretcher_ = std::make_unique<soundtouch::SoundTouch>();
    stretcher_->setSampleRate(sampleRate);
    stretcher_->setChannels(channels);
    stretcher_->setTempo(tempo);
    stretcher_->setSetting(SETTING_SEQUENCE_MS, SequenceMs);
    stretcher_->setSetting(SETTING_SEEKWINDOW_MS, SeekWindowMs);
    stretcher_->setSetting(SETTING_OVERLAP_MS, OverlapMs);
}

TimeStretch::~TimeStretch() = default;

std::vector<std::uint8_t> TimeStretch::Stretch(std::span<const std::uint8_t> pcm) {
    if (!stretcher_) return {pcm.begin(), pcm.end()};
    const std::size_t frameBytes = std::size_t{2} * channels_;
    const std::size_t frames = pcm.size() / frameBytes;
    const auto wanted =
        static_cast<std::size_t>(std::llround(static_cast<double>(frames) / tempo_));
    std::vector<float> out;
    out.reserve(wanted * channels_);
    std::vector<float> chunk(ChunkFrames * channels_);

    auto drain = [&] {
        for (;;) {
            const unsigned got = stretcher_->receiveSamples(chunk.data(), ChunkFrames);
            if (got == 0) break;
            out.insert(out.end(), chunk.begin(), chunk.begin() + got * channels_);
        }
    };

    stretcher_->clear();
    for (std::size_t first = 0; first < frames; first += ChunkFrames) {
        const std::size_t count = std::min(ChunkFrames, frames - first);
        for (std::size_t i = 0; i < count * channels_; ++i) {
            std::int16_t sample;
            std::memcpy(&sample, pcm.data() + first * frameBytes + i * 2, sizeof sample);
            chunk[i] = static_cast<float>(sample) / 32768.0f;
        }
        stretcher_->putSamples(chunk.data(), static_cast<unsigned>(count));
        drain();
    }
    // The stretcher holds the end of the sound back until it is flushed; flushing pads with
    // silence, so the output is cut (or, rarely, padded) to the length the tempo gives.
    stretcher_->flush();
    drain();
    stretcher_->clear();
    out.resize(wanted * channels_, 0.0f);

    std::vector<std::uint8_t> bytes(out.size() * 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float scaled = std::clamp(out[i] * 32768.0f, -32768.0f, 32767.0f);
        const auto sample = static_cast<std::int16_t>(std::lrint(scaled));
        std::memcpy(bytes.data() + i * 2, &sample, sizeof sample);
    }
    return bytes;
}

}  // namespace audio
