// Builds Layer I and Layer II frames bit by bit for tests that need exact allocations.
#pragma once

#include <cstdint>
#include <vector>

class FrameWriter {
public:
    // Starts a frame with its 4 header bytes (no CRC). layer 1 or 2; version 1 (MPEG-1) or 2.
    FrameWriter(int version, int layer, int bitRateIndex, int sampleRateIndex, int mode,
                int modeExtension) {
        bytes_.push_back(0xFF);
        bytes_.push_back(static_cast<std::uint8_t>(0xE0 | (version == 1 ? 0x18 : 0x10) |
                                                   ((4 - layer) << 1) | 1));
        bytes_.push_back(static_cast<std::uint8_t>(bitRateIndex << 4 | sampleRateIndex << 2));
        bytes_.push_back(static_cast<std::uint8_t>(mode << 6 | modeExtension << 4));
    }

    void Put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) & 7;
        }
    }

    // The frame padded with zero bytes to `length`.
    std::vector<std::uint8_t> Finish(std::size_t length) const {
        std::vector<std::uint8_t> frame = bytes_;
        frame.resize(length, 0);
        return frame;
    }

    std::size_t BitsWritten() const { return (bytes_.size() - 4) * 8 - ((8 - used_) & 7); }

private:
    std::vector<std::uint8_t> bytes_;
    int used_ = 0;
};
