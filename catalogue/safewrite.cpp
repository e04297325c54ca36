#include "catalogue/safewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>

namespace catalogue {
namespace {

// An open descriptor, closed when it goes out of scope unless Close took it first.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now; false when the close reports an error (a write that did not land).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// As many links as the system follows in one path before it gives up.
constexpr int MostLinks = 40;

// Creates a file that did not exist, named tempName, a dot and six random letters, in folder;
// `temp` names it. Another copy of the program writing beside us picks another name.
Descriptor CreateTemp(const std::filesystem::path& folder, std::string_view tempName, mode_t mode,
                      std::filesystem::path& temp) {
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Unpredictable enough to keep copies apart; O_EXCL keeps the name ours whatever comes.
    std::seed_seq seed{
        static_cast<unsigned>(::getpid()),
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> letter(0, sizeof Letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(tempName);
        name += '.';
        for (int i = 0; i < 6; ++i)
            name += Letters[letter(random)];
        temp = folder / name;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return Descriptor(fd);
    }
    return Descriptor(-1);
}

}  // namespace

bool WriteFully(int fd, const void* bytes, std::size_t size) {
    const auto* at = static_cast<const std::uint8_t*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::filesystem::path LinkTarget(const std::filesystem::path& path) {
    std::filesystem::path at = path;
    for (int links = 0; links < MostLinks; ++links) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(at, error))) break;
        const std::filesystem::path next = std::filesystem::read_symlink(at, error);
        if (error) break;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at;
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view tempName,
                 std::span<const std::byte> bytes) {
    const std::filesystem::path target = LinkTarget(path);
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    // A loop of links, a folder, or a file the user has made read-only stays as it is.
    if (exists &&
        (!S_ISREG(old.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)) {
        return false;
    }
    const mode_t mode = exists ? (old.st_mode & 07777) : 0644;
    std::filesystem::path temp;
    Descriptor file = CreateTemp(target.parent_path(), tempName, mode, temp);
    if (file.Get() < 0) return false;
    struct stat made {};
    if (exists && ::fstat(file.Get(), &made) == 0) {
        // The new file is the old one's in all but content: its owner where we may hand it
        // over (only a privileged user may give a file away; otherwise it stays ours), then
        // its mode, which the umask may have cut and a change of owner may have cleared.
        if (made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
            (void)!::fchown(file.Get(), old.st_uid, old.st_gid);
            made.st_mode = 0;
        }
        if ((made.st_mode & 07777) != mode && ::fchmod(file.Get(), mode) != 0) {
            ::unlink(temp.c_str());
            return false;
        }
    }
    bool written =
        WriteFully(file.Get(), bytes.data(), bytes.size()) && ::fdatasync(file.Get()) == 0;
    written = file.Close() && written;
    if (!written || std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace catalogue
