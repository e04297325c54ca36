// A most-significant-bit-first reader over a byte range in memory. It never reads outside the
// range it was started on: bits beyond its end read as zero. The end mark is a separate,
// caller-chosen limit that PastEnd() compares with, so damaged data can be detected without
// risking memory outside the range.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mpeg {

class BitReader {
public:
    // Reads from data[0, length); everything past length reads as zero bits.
    void Start(const std::uint8_t* data, std::ptrdiff_t length) {
        data_ = data;
        length_ = length < 0 ? 0 : length;
        position_ = 0;
        endMark_ = length_;
        bits_ = 0;
        valid_ = 0;
    }

    // n in 0..24.
    std::uint32_t Read(int n) {
        if (n == 0) return 0;
        if (valid_ < n) Load();
        return Take(n);
    }
    std::uint32_t ReadWithMargin(int n) {
        if (valid_ < n + 2) Load();
        return Take(n);
    }
    void Ensure(int n) {
        if (valid_ < n) Load();
    }
    std::uint32_t ReadLoaded(int n) { return Take(n); }
    std::uint32_t ReadOneLoaded() { return Take(1); }
    std::uint32_t Peek(int n) {
        if (valid_ < n) Load();
        return PeekLoaded(n);
    }
    std::uint32_t PeekLoaded(int n) const {
        // Two shifts, so that n = 0 gives 0.
        return static_cast<std::uint32_t>((bits_ >> 1) >> (63 - n));
    }
    void DropLoaded(int n) {
        valid_ -= n;
        bits_ <<= n;
    }
    void Skip(int n) {
        if (n <= 0) return;
        if (n <= valid_) {
            DropLoaded(n);
            return;
        }
        n -= valid_;
        position_ += n / 8;
        bits_ = 0;
        valid_ = 0;
        LoadByte();
        DropLoaded(n % 8);
    }

    // Offsets in bytes from the start of the range.
    void SetEndMark(std::ptrdiff_t offset) { endMark_ = offset; }
    bool PastEnd() const { return position_ > endMark_; }
    std::int32_t BitsUsed() const { return static_cast<std::int32_t>(position_ * 8 - valid_); }
    int ValidBits() const { return valid_; }

private:
    std::uint32_t Take(int n) {
        std::uint32_t value = PeekLoaded(n);
        DropLoaded(n);
        return value;
    }
    void LoadByte() {
        // Unsigned comparison: a position before the data would read as zero too.
        std::uint32_t byte = static_cast<std::size_t>(position_) < static_cast<std::size_t>(length_)
                                 ? data_[position_]
                                 : 0u;
        ++position_;
        bits_ |= std::uint64_t{byte} << (56 - valid_);
        valid_ += 8;
    }
    // Tops the accumulator up to 25..32 valid bits.
    void Load() {
        if (valid_ > 24) return;
        if (position_ >= 0 && position_ + 4 <= length_) {
            // Whole bytes that fit: (32 - valid) / 8 of them, taken from one 32-bit read.
            int bytes = (32 - valid_) >> 3;
            const std::uint8_t* p = data_ + position_;
            std::uint32_t word = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                 (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
            // The bits of the word beyond the whole bytes are the stream's next bits: they sit
            // below the valid ones, and the next load puts the same bits there again.
            bits_ |= std::uint64_t{word} << (32 - valid_);
            valid_ += 8 * bytes;
            position_ += bytes;
        } else {
            while (valid_ <= 24)
                LoadByte();
        }
    }

    const std::uint8_t* data_ = nullptr;
    std::ptrdiff_t length_ = 0;
    std::ptrdiff_t position_ = 0;
    std::ptrdiff_t endMark_ = 0;
    // The valid bits at the top, the first of them in bit 63; bits below them are zero or the
    // stream's next bits.
    std::uint64_t bits_ = 0;
    int valid_ = 0;
};

}  // namespace mpeg
