#include "catalogue/favouritesstore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "catalogue/filenames.h"
#include "catalogue/safewrite.h"

namespace catalogue {
namespace {

PhraseRecord RecordAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
    return PhraseRecord::Decode(bytes.data() + index * PhraseRecord::Size);
}

}  // namespace

std::u16string CleanFavouriteText(const PhraseRecord& record) {
    std::u16string text = record.Text();
    std::erase_if(text, [](char16_t c) {
        return c == u'\t' || c == u'\n' || c == u'\r' || c == u'[' || c == u']';
    });
    return text;
}

FavouritesStore::FavouritesStore(std::filesystem::path dir) : dir_(std::move(dir)) {}

FavouritesStore::~FavouritesStore() {
    Close();
}

FavouritesStore::FavouritesStore(FavouritesStore&& other) noexcept
    : dir_(std::move(other.dir_)), fd_(other.fd_), writable_(other.writable_) {
    other.fd_ = -1;
}

FavouritesStore& FavouritesStore::operator=(FavouritesStore&& other) noexcept {
    if (this != &other) {
        Close();
        dir_ = std::move(other.dir_);
        fd_ = other.fd_;
        writable_ = other.writable_;
        other.fd_ = -1;
    }
    return *this;
}

std::filesystem::path FavouritesStore::FavouritesPath() const {
    return dir_ / FavouritesName;
}

void FavouritesStore::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool FavouritesStore::EnsureFavouritesOpen() {
    if (fd_ >= 0) return true;
    // Append-and-read: every write goes to the end, reads may go anywhere.
    fd_ = ::open(FavouritesPath().c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    writable_ = fd_ >= 0;
    // A file the user may only read still lists; a change to it then fails. (A folder opens
    // for reading too, but is no file of favourites.)
    if (fd_ < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        fd_ = ::open(FavouritesPath().c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) Close();
    }
    return fd_ >= 0;
}

std::optional<std::vector<std::uint8_t>> FavouritesStore::ReadWholeRecords() {
    if (!EnsureFavouritesOpen()) return std::nullopt;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return std::nullopt;
    std::size_t size =
        static_cast<std::size_t>(st.st_size) / PhraseRecord::Size * PhraseRecord::Size;
    std::vector<std::uint8_t> bytes(size);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd_, bytes.data() + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the file shrank under us: keep the whole records read
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done / PhraseRecord::Size * PhraseRecord::Size);
    return bytes;
}

std::optional<std::vector<PhraseRecord>> FavouritesStore::ReadAll() {
    auto bytes = ReadWholeRecords();
    if (!bytes) return std::nullopt;
    std::vector<PhraseRecord> records;
    for (std::size_t i = 0; i < bytes->size() / PhraseRecord::Size; ++i)
        records.push_back(RecordAt(*bytes, i));
    return records;
}

bool FavouritesStore::HasFavourites() {
    if (!EnsureFavouritesOpen()) return false;
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && st.st_size > 1;
}

bool FavouritesStore::LoadFavourites(PhraseMap& map, ListRows& rows) {
    map.clear();
    rows.clear();
    auto bytes = ReadWholeRecords();
    if (!bytes) return false;
    for (std::size_t i = 0; i < bytes->size() / PhraseRecord::Size; ++i) {
        PhraseRecord record = RecordAt(*bytes, i);
        std::u16string text = CleanFavouriteText(record);
        map[text] = DecimalText(record.number);
        rows.push_back(ListRow{std::move(text), nullptr});
    }
    return true;
}

FavouritesStore::Result FavouritesStore::AddFavourite(const PhraseRecord& current) {
    // Opened for reading only when last asked: the file may have become writable since.
    if (!writable_) Close();
    auto bytes = ReadWholeRecords();
    if (!bytes) {
        Close();
        return Result::Failed;
    }
    const std::u16string text = current.Text();
    bool present = text.empty();
    for (std::size_t i = 0; !present && i < bytes->size() / PhraseRecord::Size; ++i)
        present = RecordAt(*bytes, i).Text() == text;
    Result result = Result::AlreadyPresent;
    if (!present && !writable_) {
        result = Result::Failed;
    } else if (!present) {
        // A partial record left at the end by an earlier failure is cut off first, so the new
        // record starts where the last whole one ends.
        auto record = current.Encode();
        const auto whole = static_cast<off_t>(bytes->size());
        struct stat st {};
        bool written = ::fstat(fd_, &st) == 0 &&
                       (st.st_size == whole || ::ftruncate(fd_, whole) == 0) &&
                       WriteFully(fd_, record.data(), record.size()) && ::fdatasync(fd_) == 0;
        if (!written) {
            // Whatever reached the file beyond the old records goes again.
            if (::ftruncate(fd_, whole) == 0) ::fdatasync(fd_);
        }
        result = written ? Result::Done : Result::Failed;
    }
    Close();
    return result;
}

FavouritesStore::Result FavouritesStore::RemoveFavourite(const PhraseRecord& current) {
    auto bytes = ReadWholeRecords();
    if (!bytes) {
        Close();
        return Result::Failed;
    }
    const std::u16string text = current.Text();
    std::vector<std::uint8_t> kept;
    kept.reserve(bytes->size());
    bool removed = false;
    for (std::size_t i = 0; i < bytes->size() / PhraseRecord::Size; ++i) {
        const std::uint8_t* record = bytes->data() + i * PhraseRecord::Size;
        if (!removed && CleanFavouriteText(RecordAt(*bytes, i)) == text) {
            removed = true;
            continue;
        }
        kept.insert(kept.end(), record, record + PhraseRecord::Size);
    }
    Close();

    return ReplaceFile(FavouritesPath(), FavouritesTempName, std::as_bytes(std::span(kept)))
               ? Result::Done
               : Result::Failed;
}

}  // namespace catalogue
