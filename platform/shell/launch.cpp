#include "platform/shell/launch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace shell {

bool IsExecutableFile(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::filesystem::path> FindOnPath(std::string_view name,
                                                std::string_view searchPath) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string_view::npos) {
        std::filesystem::path path{std::string(name)};
        if (IsExecutableFile(path)) return path;
        return std::nullopt;
    }
    while (true) {
        const std::size_t colon = searchPath.find(':');
        std::string_view folder = searchPath.substr(0, colon);
        // An empty entry means the current directory, as the shell reads it.
        std::filesystem::path candidate = folder.empty()
                                              ? std::filesystem::path(".")
                                              : std::filesystem::path(std::string(folder));
        candidate /= std::string(name);
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) return std::nullopt;
        searchPath.remove_prefix(colon + 1);
    }
}

std::optional<std::filesystem::path> FindOnPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    return FindOnPath(name, path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
}

bool StartProgram(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    const std::optional<std::filesystem::path> program = FindOnPath(argv[0]);
    if (!program) return false;

    // Everything the children need is prepared before fork: after it only async-signal-safe
    // calls are made.
    const std::string file = program->string();
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    // The program starts with no signal blocked, whatever this one blocks.
    sigset_t none;
    sigemptyset(&none);

    // A pipe tells the parent whether exec worked: it is closed on exec, written on failure.
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return false;

    const pid_t middle = ::fork();
    if (middle < 0) {
        ::close(status[0]);
        ::close(status[1]);
        return false;
    }
    if (middle == 0) {
        // The middle child starts the program in a session of its own and leaves at once,
        // so the program is adopted by init and never becomes our zombie.
        ::close(status[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            const char failed = 1;
            (void)!::write(status[1], &failed, 1);
            ::_exit(1);
        }
        if (grandchild == 0) {
            const int devnull = ::open("/dev/null", O_RDONLY);
            if (devnull >= 0) {
                ::dup2(devnull, STDIN_FILENO);
                if (devnull != STDIN_FILENO) ::close(devnull);
            }
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::execv(file.c_str(), args.data());
            const char failed = 1;
            (void)!::write(status[1], &failed, 1);
            ::_exit(127);
        }
        ::_exit(0);
    }
    ::close(status[1]);
    int waited = 0;
    while (::waitpid(middle, &waited, 0) < 0 && errno == EINTR) {
    }
    char failed = 0;
    ssize_t got;
    do {
        got = ::read(status[0], &failed, 1);
    } while (got < 0 && errno == EINTR);
    ::close(status[0]);
    return got == 0 && WIFEXITED(waited) && WEXITSTATUS(waited) == 0;
}

}  // namespace shell
