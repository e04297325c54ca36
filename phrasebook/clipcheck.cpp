#include "phrasebook/clipcheck.h"

#include <cstring>

namespace phrasebook {
namespace {

constexpr int SampleRate = 22050;
// Header bytes 1-3 that never change within an archive: sync, MPEG-2, Layer III, no CRC;
// bit-rate index 4 (32 kbit/s, the first archives) or 5 (40 kbit/s, today's); sample-rate index
// 0 (22.05 kHz); single-channel mode. Every frame of a clip has the first frame's bit rate.
constexpr std::uint8_t Byte1 = 0xF3;
constexpr std::uint8_t Byte2At32 = 0x40;  // bits 7-2 of byte 2
constexpr std::uint8_t Byte2At40 = 0x50;
constexpr std::uint8_t ModeMono = 0xC0;   // bits 7-6 of byte 3
constexpr std::size_t SideInfoBytes = 9;  // MPEG-2, one channel

std::string At(std::size_t offset) {
    return " at byte " + std::to_string(offset);
}

}  // namespace

ClipCheck CheckArchiveClip(std::span<const std::uint8_t> clip) {
    ClipCheck result;
    if (clip.size() < 4) {
        result.problem = "the clip is too short to hold a frame";
        return result;
    }
    std::size_t pos = 0;
    const std::uint8_t byte2 = clip[2] & 0xFC;
    const int bitRate = byte2 == Byte2At40 ? 40000 : 32000;
    while (pos < clip.size()) {
        if (clip.size() - pos < 4) {
            result.problem = "a partial frame header" + At(pos);
            return result;
        }
        const std::uint8_t* h = clip.data() + pos;
        if (h[0] != 0xFF || h[1] != Byte1) {
            result.problem = (h[0] == 0xFF && (h[1] & 0xE0) == 0xE0)
                                 ? "a frame that is not MPEG-2 Layer III without CRC" + At(pos)
                                 : "no frame sync" + At(pos);
            return result;
        }
        if ((h[2] & 0xFC) != byte2 || (byte2 != Byte2At32 && byte2 != Byte2At40)) {
            result.problem =
                "a frame that is not at 22.05 kHz and the clip's bit rate (32 or 40 "
                "kbit/s)" +
                At(pos);
            return result;
        }
        if ((h[3] & 0xC0) != ModeMono) {
            result.problem = "a frame that is not mono" + At(pos);
            return result;
        }
        std::size_t padding = (h[2] >> 1) & 1;
        std::size_t length = 72 * bitRate / SampleRate + padding;
        if (pos == 0 && clip.size() >= 4 + SideInfoBytes + 4) {
            const char* tag = reinterpret_cast<const char*>(h + 4 + SideInfoBytes);
            if (std::memcmp(tag, "Xing", 4) == 0 || std::memcmp(tag, "Info", 4) == 0) {
                result.problem = "the first frame is a tag frame";
                return result;
            }
        }
        if (clip.size() - pos < length) {
            result.problem = "the last frame is cut short" + At(pos);
            return result;
        }
        pos += length;
        ++result.frames;
    }
    return result;
}

}  // namespace phrasebook
