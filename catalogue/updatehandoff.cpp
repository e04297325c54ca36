#include "catalogue/updatehandoff.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/shell/launch.h"

namespace catalogue {

std::string UpdateRequestText() {
    std::string text;
    text.append(ProgramVersion).append("\r\n");
    text.append(VersionFileName).append("\r\n");
    text.append(MakerSite).append(DownloadPath);
    return text;
}

std::optional<std::filesystem::path> WriteUpdateRequest(const std::filesystem::path& tempDir) {
    // mkstemp creates the file exclusively, readable and writable by the user only.
    std::string name = (tempDir / (std::string(RequestPrefix) + "XXXXXX")).string();
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const std::string text = UpdateRequestText();
    const char* p = text.data();
    std::size_t left = text.size();
    bool ok = true;
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(name.c_str());
        return std::nullopt;
    }
    return std::filesystem::path(name);
}

bool LaunchUpdater(shell::Shell& shell, const std::filesystem::path& programDir,
                   const std::filesystem::path& tempDir) {
    auto request = WriteUpdateRequest(tempDir);
    if (!request || programDir.empty()) return false;
    const std::filesystem::path updater = programDir / UpdaterName;
    if (!shell::IsExecutableFile(updater)) return false;
    return shell.StartProgram(updater.string(), {request->string()});
}

bool LaunchUpdater(shell::Shell& shell) {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (temp.empty()) temp = "/tmp";
    return LaunchUpdater(shell, program.parent_path(), temp);
}

}  // namespace catalogue
