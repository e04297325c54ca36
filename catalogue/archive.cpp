#include "catalogue/archive.h"

#include <map>

#include "catalogue/stdfile.h"

namespace catalogue {

const char16_t* ClipFetch::Message() const {
    switch (outcome) {
        case Outcome::NoDataFile:
        case Outcome::NoIndexFile:
            return u"Can't find data file!";
        case Outcome::BadFormat:
            return u"This file is not in right format!";
        default:
            return nullptr;
    }
}

ClipFetch ReadClip(const std::filesystem::path& dataFile, const std::filesystem::path& indexFile,
                   PhraseNo phrase) {
    using Outcome = ClipFetch::Outcome;
    ClipFetch result;
    StdFile data = StdFile::Open(dataFile, "rb");
    if (!data) return result;
    StdFile index = StdFile::Open(indexFile, "rb");
    result.outcome = Outcome::NoIndexFile;
    if (!index) return result;

    result.outcome = Outcome::NoIndex;
    auto indexSize = index.Size();
    if (!indexSize) return result;
    std::int64_t entries = *indexSize / static_cast<std::int64_t>(ClipIndexEntry::Size);
    result.outcome = Outcome::OutOfRange;
    if (phrase < 1 || phrase > entries) return result;

    auto header = data.ReadRecord<ArchiveHeader>();
    result.outcome = Outcome::BadFormat;
    if (!header || !header->IsValid()) return result;

    result.outcome = Outcome::NoIndex;
    if (!index.Seek(static_cast<std::int64_t>(phrase - 1) * ClipIndexEntry::Size)) return result;
    auto entry = index.ReadRecord<ClipIndexEntry>();
    if (!entry) return result;

    // Never allocate or read more than the archive holds.
    result.outcome = Outcome::ShortRead;
    auto dataSize = data.Size();
    std::int64_t start =
        std::int64_t{entry->offset} + static_cast<std::int64_t>(ArchiveHeader::Size);
    if (!dataSize || start + entry->length > *dataSize) return result;
    std::vector<std::uint8_t> clip(entry->length);
    if (!data.Seek(start) || !data.ReadExact(clip.data(), clip.size())) return result;

    result.outcome = Outcome::Clip;
    result.clip = std::move(clip);
    return result;
}

bool WriteArchive(const std::filesystem::path& dataFile, const std::filesystem::path& indexFile,
                  const std::vector<std::vector<std::uint8_t>>& clips) {
    StdFile data = StdFile::Open(dataFile, "wb");
    StdFile index = StdFile::Open(indexFile, "wb");
    if (!data || !index || !data.WriteRecord(ArchiveHeader::Current())) return false;

    std::map<std::vector<std::uint8_t>, std::uint32_t> stored;  // clip bytes → offset
    std::uint64_t next = 0;
    for (const auto& clip : clips) {
        auto [it, inserted] = stored.try_emplace(clip, static_cast<std::uint32_t>(next));
        if (inserted) {
            if (next + clip.size() > UINT32_MAX) return false;
            if (!data.WriteAll(clip.data(), clip.size())) return false;
            next += clip.size();
        }
        ClipIndexEntry entry{it->second, static_cast<std::uint32_t>(clip.size())};
        if (!index.WriteRecord(entry)) return false;
    }
    return std::fflush(data.get()) == 0 && std::fflush(index.get()) == 0;
}

}  // namespace catalogue
