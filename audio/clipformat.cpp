#include "audio/clipformat.h"

#include <cstring>

namespace audio {
namespace {

constexpr std::uint32_t TagLength = 128;

// Layer III bit rates in kbit/s by version row and bit-rate index.
constexpr std::uint16_t BitRates[2][16] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};
constexpr std::uint16_t SampleRates[2][4] = {
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
};
constexpr float FrameDurations[3] = {26.122449f, 24.0f, 36.0f};

bool BytesAre(const std::uint8_t* clip, std::uint32_t length, std::uint32_t at, const char* text) {
    std::size_t n = std::strlen(text);
    return at + n <= length && std::memcmp(clip + at, text, n) == 0;
}

}  // namespace

PayloadPlace LocatePayload(const std::uint8_t* clip, std::uint32_t length) {
    PayloadPlace place;
    if (!BytesAre(clip, length, 0, "RIFF")) {
        place.found = true;
    } else {
        if (BytesAre(clip, length, 8, "WAVEfmt")) {
            if (BytesAre(clip, length, 50, "fact")) place = {true, 70, 0};
            if (BytesAre(clip, length, 52, "fact")) place = {true, 72, 0};
            if (BytesAre(clip, length, 50, "data")) place = {true, 58, 0};
        }
        if (BytesAre(clip, length, 8, "RMP3") && BytesAre(clip, length, 12, "data")) {
            place = {true, 20, 0};
        }
        if (place.offset > length) place.found = false;
    }
    if (!place.found) return {};
    place.length = length - place.offset;
    const std::uint8_t* payload = clip + place.offset;
    if (place.length >= TagLength &&
        BytesAre(payload, place.length, place.length - TagLength, "TAG")) {
        place.length -= TagLength;
    }
    return place;
}

PlayerHeader ReadPlayerHeader(const std::uint8_t* header) {
    PlayerHeader h;
    h.versionRow = (header[1] & 0x08) ? 0 : 1;
    h.bitRateKbps = BitRates[h.versionRow][header[2] >> 4];
    h.sampleRateIndex = static_cast<std::uint8_t>((header[2] >> 2) & 3);
    h.sampleRate = SampleRates[h.versionRow][h.sampleRateIndex];
    h.channels = (header[3] >> 6) == 3 ? 1 : 2;
    if (h.bitRateKbps != 0 && h.sampleRate != 0) {
        h.nominalFrameLength =
            static_cast<std::uint16_t>(std::uint32_t{h.bitRateKbps} * 144000 / h.sampleRate);
    }
    return h;
}

float FrameDurationMs(int sampleRateIndex) {
    return sampleRateIndex >= 0 && sampleRateIndex < 3 ? FrameDurations[sampleRateIndex] : 0.0f;
}

}  // namespace audio
