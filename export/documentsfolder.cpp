#include "export/documentsfolder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/shell/launch.h"

extern char** environ;

namespace exporting {
namespace {

// The first line `xdg-user-dir DOCUMENTS` prints; empty when it cannot be run.
std::string AskXdgUserDir() {
    const auto program = shell::FindOnPath("xdg-user-dir");
    if (!program) return {};
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::string path = program->string();
    std::string which = "DOCUMENTS";
    char* argv[] = {path.data(), which.data(), nullptr};
    pid_t child = -1;
    const bool started = posix_spawn(&child, path.c_str(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string output;
    char buffer[512];
    ssize_t got = 0;
    while (started && (got = ::read(fds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(got));
    ::close(fds[0]);
    if (!started) return {};
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return output.substr(0, output.find('\n'));
}

bool IsFolder(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace

std::filesystem::path DocumentsFolder() {
    if (const std::filesystem::path documents = AskXdgUserDir(); IsFolder(documents))
        return documents;
    if (const char* home = std::getenv("HOME"); home != nullptr && IsFolder(home)) return home;
    return ".";
}

}  // namespace exporting
