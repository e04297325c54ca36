// Fixed-size records of the catalogue files, with their exact little-endian layout.
//
// Each record is a plain value; Encode/Decode move it to and from its on-disk bytes
// independently of the host's struct padding or byte order. Decoding never reads past
// the record's size, and a text field with no NUL inside it is bounded by the field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using PhraseNo = std::int32_t;

inline constexpr PhraseNo PhraseCount = 782;
inline constexpr std::uint32_t ArchiveVersion = 2102;
inline constexpr std::string_view ArchiveMagic = "quorvani";

// One English phrase: 56 UTF-16 code units, NUL-terminated, and its phrase number.
// The record of "English.dat" and "favorite.dat".
struct PhraseRecord {
    static constexpr std::size_t TextUnits = 56;
    static constexpr std::size_t Size = 116;

    std::array<char16_t, TextUnits> text{};
    std::int32_t number = 0;

    // The text up to its NUL, or the whole field when it has none.
    std::u16string Text() const;
    // Stores at most TextUnits - 1 code units and always leaves the record NUL-terminated.
    void SetText(std::u16string_view value);

    std::array<std::uint8_t, Size> Encode() const;
    static PhraseRecord Decode(const std::uint8_t* bytes);
};

// One pronunciation line of "Chinese.dat": 70 UTF-16 code units, NUL-terminated.
struct PronunciationRecord {
    static constexpr std::size_t TextUnits = 70;
    static constexpr std::size_t Size = 140;

    std::array<char16_t, TextUnits> text{};

    std::u16string Text() const;
    void SetText(std::u16string_view value);

    std::array<std::uint8_t, Size> Encode() const;
    static PronunciationRecord Decode(const std::uint8_t* bytes);
};

// One keyword-map record of "MapEngSpec.data": 8-bit Windows-1252 text and the size of
// the group it heads (1 or less for a single phrase).
struct SpecRecord {
    static constexpr std::size_t TextBytes = 176;
    static constexpr std::size_t Size = 178;

    std::array<char, TextBytes> text{};
    std::int16_t groupSize = 1;

    std::string Text() const;
    void SetText(std::string_view value);

    std::array<std::uint8_t, Size> Encode() const;
    static SpecRecord Decode(const std::uint8_t* bytes);
};

// Where one clip lies in "data.dat": offset counted from the end of the header, and length.
struct ClipIndexEntry {
    static constexpr std::size_t Size = 8;

    std::uint32_t offset = 0;
    std::uint32_t length = 0;

    std::array<std::uint8_t, Size> Encode() const;
    static ClipIndexEntry Decode(const std::uint8_t* bytes);
};

// The 12-byte header of "data.dat".
struct ArchiveHeader {
    static constexpr std::size_t Size = 12;

    std::array<char, 8> magic{};
    std::uint32_t version = 0;

    // A header with the right magic and version.
    static ArchiveHeader Current();
    bool IsValid() const;

    std::array<std::uint8_t, Size> Encode() const;
    static ArchiveHeader Decode(const std::uint8_t* bytes);
};
