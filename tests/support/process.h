// Child processes and an Xvfb display of their own, for the end-to-end tests.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Long enough for a loaded machine; every wait polls and ends as soon as it can.
inline constexpr auto Generous = 30s;

inline bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

template <typename F>
bool PollFor(F condition, std::chrono::milliseconds timeout = Generous) {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

// A child process started with its own environment changes and working directory; killed
// with SIGKILL when it goes (a process stuck inside SDL ignores SIGTERM). With capture, its
// standard output and error can be read.
class Child {
public:
    // env: variables to set; an empty value removes the variable.
    Child(std::vector<std::string> args, const std::map<std::string, std::string>& env,
          const std::filesystem::path& cwd = {}, bool capture = false) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> vars;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string var(*e);
            const std::string name = var.substr(0, var.find('='));
            if (env.count(name) == 0) vars.push_back(var);
        }
        for (const auto& [name, value] : env) {
            if (!value.empty()) vars.push_back(name + "=" + value);
        }
        std::vector<char*> envp;
        for (std::string& v : vars)
            envp.push_back(v.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int fds[2] = {-1, -1};
        if (capture && pipe(fds) == 0) {
            posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
            posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
            posix_spawn_file_actions_addclose(&actions, fds[0]);
            posix_spawn_file_actions_addclose(&actions, fds[1]);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        }
        if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (fds[1] >= 0) close(fds[1]);
        out_ = fds[0];
    }
    ~Child() {
        Kill();
        if (out_ >= 0) close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool Running() {
        if (pid_ <= 0) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return false;
        }
        return true;
    }
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    // Asks the process to end (SIGTERM), and kills it when it has not ended in time.
    void Terminate(std::chrono::milliseconds timeout = 5s) {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        if (!PollFor([&] { return !Running(); }, timeout)) Kill();
    }
    // The exit code (-1: killed by a signal) once the process ended within the timeout.
    std::optional<int> Wait(std::chrono::milliseconds timeout = Generous) {
        if (!PollFor([&] { return !Running(); }, timeout)) return std::nullopt;
        return exit_;
    }
    // The first line of output made only of digits, or nothing within the timeout.
    std::string ReadLineOfDigits(std::chrono::milliseconds timeout = Generous) {
        const auto end = Clock::now() + timeout;
        for (;;) {
            std::size_t start = 0;
            for (std::size_t nl; (nl = output_.find('\n', start)) != std::string::npos;
                 start = nl + 1) {
                const std::string line = output_.substr(start, nl - start);
                if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
                    return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0 || !ReadSome(left)) return {};
        }
    }
    // The next line of output not yet read by ReadLine, or nothing within the timeout.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = Generous) {
        const auto end = Clock::now() + timeout;
        for (;;) {
            const std::size_t nl = output_.find('\n', lineStart_);
            if (nl != std::string::npos) {
                std::string line = output_.substr(lineStart_, nl - lineStart_);
                lineStart_ = nl + 1;
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0 || !ReadSome(left)) return std::nullopt;
        }
    }
    // Reads lines until one equals expected; false when none does within the timeout.
    bool Expect(const std::string& expected, std::chrono::milliseconds timeout = Generous) {
        const auto end = Clock::now() + timeout;
        while (Clock::now() < end) {
            const auto line =
                ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()));
            if (!line) return false;
            if (*line == expected) return true;
        }
        return false;
    }
    // Everything the process wrote, until it closed its output or the timeout passed.
    std::string ReadAll(std::chrono::milliseconds timeout = Generous) {
        const auto end = Clock::now() + timeout;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0 || !ReadSome(left)) break;
        }
        return output_;
    }

private:
    // Appends what the process writes within the timeout; false at the end of its output.
    bool ReadSome(std::chrono::milliseconds timeout) {
        if (out_ < 0) return false;
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return true;
        char chunk[512];
        const ssize_t n = read(out_, chunk, sizeof chunk);
        if (n <= 0) return false;
        output_.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int exit_ = -1;
    int out_ = -1;
    std::string output_;
    std::size_t lineStart_ = 0;
};

// Runs a command on a display and answers its standard output.
inline std::string RunX(const std::string& display, const std::string& command) {
    std::string output;
    FILE* p = popen(("DISPLAY=" + display + " " + command + " 2>/dev/null").c_str(), "r");
    if (p == nullptr) return output;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, p) != nullptr)
        output += chunk;
    pclose(p);
    return output;
}

// Where a window lies on its display, as xwininfo reports it.
struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

inline std::optional<Geometry> WindowGeometry(const std::string& display, const std::string& id) {
    const std::string info = RunX(display, "xwininfo -id " + id);
    Geometry g;
    auto field = [&](const std::string& name, int& value) {
        const auto at = info.find(name);
        if (at == std::string::npos) return false;
        value = std::stoi(info.substr(at + name.size()));
        return true;
    };
    if (!field("Absolute upper-left X:", g.x) || !field("Absolute upper-left Y:", g.y) ||
        !field("Width:", g.w) || !field("Height:", g.h)) {
        return std::nullopt;
    }
    return g;
}

// An Xvfb server with a white root window on a display number it picks itself (so that tests
// running side by side never share one); `screen` is its size and depth.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::string& screen = "1024x768x24") {
        server_ = std::make_unique<Child>(
            std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-wr",
                                     "-noreset", "-nolisten", "tcp"},
            std::map<std::string, std::string>{}, std::filesystem::path{}, true);
        if (!server_->Started()) return;
        // The number comes on a line of its own once the server accepts connections.
        const std::string output = server_->ReadLineOfDigits(Generous);
        if (output.empty()) return;
        name_ = ":" + output;
        up_ = true;
    }

    ~VirtualDisplay() {
        // Xvfb removes its lock file and socket when it is asked to end.
        if (server_) server_->Terminate();
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Up() const { return up_; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::unique_ptr<Child> server_;
    bool up_ = false;
};

}  // namespace testing_support
