#include "catalogue/records.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void WriteU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void WriteU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <typename Unit, std::size_t N>
std::basic_string<Unit> FieldText(const std::array<Unit, N>& field) {
    auto end = std::find(field.begin(), field.end(), Unit{0});
    return std::basic_string<Unit>(field.begin(), end);
}

template <typename Unit, std::size_t N>
void SetField(std::array<Unit, N>& field, std::basic_string_view<Unit> value) {
    field.fill(Unit{0});
    std::copy_n(value.begin(), std::min(value.size(), N - 1), field.begin());
}

template <std::size_t N>
void DecodeUnits(std::array<char16_t, N>& field, const std::uint8_t* bytes) {
    for (std::size_t i = 0; i < N; ++i)
        field[i] = static_cast<char16_t>(ReadU16(bytes + 2 * i));
}

template <std::size_t N>
void EncodeUnits(const std::array<char16_t, N>& field, std::uint8_t* bytes) {
    for (std::size_t i = 0; i < N; ++i)
        WriteU16(bytes + 2 * i, field[i]);
}

}  // namespace

std::u16string PhraseRecord::Text() const {
    return FieldText(text);
}
void PhraseRecord::SetText(std::u16string_view value) {
    SetField(text, value);
}

std::array<std::uint8_t, PhraseRecord::Size> PhraseRecord::Encode() const {
    std::array<std::uint8_t, Size> bytes{};
    EncodeUnits(text, bytes.data());
    WriteU32(bytes.data() + 2 * TextUnits, static_cast<std::uint32_t>(number));
    return bytes;
}

PhraseRecord PhraseRecord::Decode(const std::uint8_t* bytes) {
    PhraseRecord record;
    DecodeUnits(record.text, bytes);
    record.number = static_cast<std::int32_t>(ReadU32(bytes + 2 * TextUnits));
    return record;
}

std::u16string PronunciationRecord::Text() const {
    return FieldText(text);
}
void PronunciationRecord::SetText(std::u16string_view value) {
    SetField(text, value);
}

std::array<std::uint8_t, PronunciationRecord::Size> PronunciationRecord::Encode() const {
    std::array<std::uint8_t, Size> bytes{};
    EncodeUnits(text, bytes.data());
    return bytes;
}

PronunciationRecord PronunciationRecord::Decode(const std::uint8_t* bytes) {
    PronunciationRecord record;
    DecodeUnits(record.text, bytes);
    return record;
}

std::string SpecRecord::Text() const {
    return FieldText(text);
}
void SpecRecord::SetText(std::string_view value) {
    SetField(text, value);
}

std::array<std::uint8_t, SpecRecord::Size> SpecRecord::Encode() const {
    std::array<std::uint8_t, Size> bytes{};
    std::memcpy(bytes.data(), text.data(), TextBytes);
    WriteU16(bytes.data() + TextBytes, static_cast<std::uint16_t>(groupSize));
    return bytes;
}

SpecRecord SpecRecord::Decode(const std::uint8_t* bytes) {
    SpecRecord record;
    std::memcpy(record.text.data(), bytes, TextBytes);
    record.groupSize = static_cast<std::int16_t>(ReadU16(bytes + TextBytes));
    return record;
}

std::array<std::uint8_t, ClipIndexEntry::Size> ClipIndexEntry::Encode() const {
    std::array<std::uint8_t, Size> bytes{};
    WriteU32(bytes.data(), offset);
    WriteU32(bytes.data() + 4, length);
    return bytes;
}

ClipIndexEntry ClipIndexEntry::Decode(const std::uint8_t* bytes) {
    return ClipIndexEntry{ReadU32(bytes), ReadU32(bytes + 4)};
}

ArchiveHeader ArchiveHeader::Current() {
    ArchiveHeader header;
    std::copy(ArchiveMagic.begin(), ArchiveMagic.end(), header.magic.begin());
    header.version = ArchiveVersion;
    return header;
}

bool ArchiveHeader::IsValid() const {
    return version == ArchiveVersion &&
           std::equal(magic.begin(), magic.end(), ArchiveMagic.begin(), ArchiveMagic.end());
}

std::array<std::uint8_t, ArchiveHeader::Size> ArchiveHeader::Encode() const {
    std::array<std::uint8_t, Size> bytes{};
    std::memcpy(bytes.data(), magic.data(), magic.size());
    WriteU32(bytes.data() + 8, version);
    return bytes;
}

ArchiveHeader ArchiveHeader::Decode(const std::uint8_t* bytes) {
    ArchiveHeader header;
    std::memcpy(header.magic.data(), bytes, header.magic.size());
    header.version = ReadU32(bytes + 8);
    return header;
}
