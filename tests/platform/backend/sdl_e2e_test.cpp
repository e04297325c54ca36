// End to end: a real SDL window on its own Xvfb display, driven by xdotool. Skips when Xvfb,
// xdotool or ImageMagick's import are not installed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/png.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A child process; killed (SIGKILL: a process stuck in SDL ignores SIGTERM) when it goes.
class Child {
public:
    Child(std::vector<std::string> args, const std::string& display, bool captureOutput) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::string(*e).rfind("DISPLAY=", 0) != 0) env.emplace_back(*e);
        }
        env.push_back("DISPLAY=" + display);
        env.push_back("SDL_AUDIODRIVER=dummy");
        // Under the leak checker: what SDL's D-Bus use keeps until exit is not ours to free.
        const std::filesystem::path suppressions =
            std::filesystem::temp_directory_path() / "uidemo-lsan-suppressions.txt";
        if (FILE* f = std::fopen(suppressions.c_str(), "w")) {
            std::fputs("leak:libdbus-1.so\n", f);
            std::fclose(f);
            env.push_back("LSAN_OPTIONS=suppressions=" + suppressions.string());
        }
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int fds[2] = {-1, -1};
        if (captureOutput && pipe(fds) == 0) {
            posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
            posix_spawn_file_actions_addclose(&actions, fds[0]);
            posix_spawn_file_actions_addclose(&actions, fds[1]);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
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
    // True once the process has ended (it is then reaped).
    bool Exited() {
        if (pid_ <= 0) return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
        pid_ = -1;
        return true;
    }
    // SIGTERM, then SIGKILL when it has not ended within the timeout. For X servers and window
    // managers, which clean up (lock file, socket) on SIGTERM.
    void Stop(std::chrono::milliseconds timeout) {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        if (!Wait(timeout)) Kill();
    }
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    // The exit status once the process ended within the timeout.
    std::optional<int> Wait(std::chrono::milliseconds timeout) {
        const auto end = Clock::now() + timeout;
        while (pid_ > 0) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (Clock::now() > end) return std::nullopt;
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }
    // The next line of output, or nothing within the timeout.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
        const auto end = Clock::now() + timeout;
        for (;;) {
            const auto nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0 || out_ < 0) return std::nullopt;
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[256];
            const ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0) return std::nullopt;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    // Reads lines until one equals `expected`.
    bool Expect(const std::string& expected, std::chrono::milliseconds timeout) {
        const auto end = Clock::now() + timeout;
        while (Clock::now() < end) {
            const auto line =
                ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()));
            if (!line) return false;
            if (*line == expected) return true;
        }
        return false;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

std::string RunX(const std::string& display, const std::string& command) {
    std::string output;
    FILE* p = popen(("DISPLAY=" + display + " " + command + " 2>/dev/null").c_str(), "r");
    if (p == nullptr) return output;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, p) != nullptr)
        output += chunk;
    pclose(p);
    return output;
}

template <typename F>
bool PollFor(F condition, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

// The process id an X server wrote into its lock file, or 0.
pid_t LockOwner(const std::string& lock) {
    FILE* f = std::fopen(lock.c_str(), "r");
    if (f == nullptr) return 0;
    long pid = 0;
    if (std::fscanf(f, "%ld", &pid) != 1) pid = 0;
    std::fclose(f);
    return static_cast<pid_t>(pid);
}

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

std::optional<Geometry> WindowGeometry(const std::string& display, const std::string& id) {
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

constexpr auto Generous = 30s;

// A display of our own with the demo program on it.
class SdlEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("Xvfb") || !OnPath("xdotool") || !OnPath("xwininfo") || !OnPath("import") ||
            !OnPath("xdpyinfo")) {
            GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
        }
        // A display number of our own: the server's lock file must name our Xvfb (another test
        // may start one on the same number at the same moment; one of them gives up).
        int number = 90 + static_cast<int>(getpid() % 50);
        for (int attempt = 0; attempt < 20 && display.empty(); ++attempt, ++number) {
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            // A lock of a server that is gone is stale: Xvfb takes such a number over.
            const pid_t owner = LockOwner(lock);
            if (std::filesystem::exists(lock) && (owner <= 0 || kill(owner, 0) == 0)) continue;
            const std::string candidate = ":" + std::to_string(number);
            auto server = std::make_unique<Child>(
                std::vector<std::string>{"Xvfb", candidate, "-screen", "0", "800x600x24",
                                         "-noreset", "-wr", "-nolisten", "tcp"},
                candidate, false);
            if (!server->Started()) continue;
            const bool ours = PollFor(
                [&] {
                    if (server->Exited()) return true;
                    return LockOwner(lock) == server->Pid() && !RunX(candidate, "xdpyinfo").empty();
                },
                Generous);
            if (ours && !server->Exited()) {
                display = candidate;
                xvfb = std::move(server);
            }
        }
        ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    }
    void TearDown() override {
        demo.reset();
        if (windowManager) windowManager->Stop(5s);
        if (xvfb) xvfb->Stop(10s);
    }

    void StartDemo() {
        const std::string title = "uidemo-e2e-" + std::to_string(getpid());
        demo = std::make_unique<Child>(std::vector<std::string>{UIDEMO_PATH, title}, display, true);
        ASSERT_TRUE(demo->Started());
        ASSERT_TRUE(demo->Expect("READY", Generous)) << "the demo window did not come up";
        ASSERT_TRUE(PollFor(
            [&] {
                std::istringstream ids(RunX(display, "xdotool search --name " + title));
                return static_cast<bool>(ids >> id);
            },
            Generous));
        std::optional<Geometry> g;
        ASSERT_TRUE(
            PollFor([&] { return (g = WindowGeometry(display, id)) && g->w == 300 && g->h == 260; },
                    Generous));
        geometry = *g;
    }

    std::string display;
    std::unique_ptr<Child> xvfb;
    std::unique_ptr<Child> windowManager;
    std::unique_ptr<Child> demo;
    std::string id;
    Geometry geometry;
};

TEST_F(SdlEndToEnd, ShapedWindowClickAndEscape) {
    StartDemo();
    const Geometry g = geometry;
    // The window's shape: the skin's black corners are outside it (the white root shows
    // there), its body is inside.
    const std::filesystem::path shotPath =
        std::filesystem::temp_directory_path() / ("uidemo-" + std::to_string(getpid()) + ".png");
    gdi::Bitmap shot;
    const gdi::COLORREF skin = gdi::RGB(40, 120, 200);
    ASSERT_TRUE(PollFor(
        [&] {
            RunX(display, "import -window root " + shotPath.string());
            shot = gdi::LoadPng(shotPath.string());
            return shot && shot.GetPixel(g.x + 150, g.y + 10) == skin;
        },
        Generous))
        << "no screenshot with the skin in it";
    std::filesystem::remove(shotPath);
    EXPECT_EQ(shot.GetPixel(g.x + 2, g.y + 2), gdi::RGB(255, 255, 255));
    EXPECT_EQ(shot.GetPixel(g.x + 297, g.y + 257), gdi::RGB(255, 255, 255));
    EXPECT_EQ(shot.GetPixel(g.x + 20, g.y + 130), skin);
    EXPECT_EQ(shot.GetPixel(g.x + 150, g.y + 130), gdi::RGB(250, 200, 30));  // the button

    // A click on the button reaches it (its middle: dialog units 100, 75 → 150, 122 px).
    RunX(display, "xdotool mousemove --window " + id + " 150 122 click 1");
    EXPECT_TRUE(demo->Expect("CLICK 1001", Generous));

    // Typed text reaches the focused control as characters, also letters without a key of
    // their own; the wheel reaches the window under the pointer.
    RunX(display, "xdotool type --delay 50 \"aü\"");
    EXPECT_TRUE(demo->Expect("CHAR 97", Generous));
    EXPECT_TRUE(demo->Expect("CHAR 252", Generous));
    RunX(display, "xdotool mousemove --window " + id + " 30 130 click 5");
    EXPECT_TRUE(demo->Expect("WHEEL -120", Generous));

    // Enter does nothing here; Escape closes the window.
    RunX(display, "xdotool key Return");
    EXPECT_TRUE(demo->Expect("OK", Generous));
    RunX(display, "xdotool key Escape");
    EXPECT_TRUE(demo->Expect("CANCEL", Generous));
    EXPECT_TRUE(demo->Expect("END 2", Generous));
    EXPECT_EQ(demo->Wait(Generous), 0);
}

TEST_F(SdlEndToEnd, PressOnTheSkinDragsTheWindow) {
    StartDemo();
    const Geometry g = geometry;
    RunX(display, "xdotool mousemove --window " + id + " 30 130 mousedown 1");
    RunX(display, "xdotool mousemove_relative -- 40 30");
    RunX(display, "xdotool mouseup 1");
    std::optional<Geometry> now;
    EXPECT_TRUE(PollFor(
        [&] {
            return (now = WindowGeometry(display, id)) && now->x == g.x + 40 && now->y == g.y + 30;
        },
        Generous))
        << "the window is at " << (now ? now->x : -1) << ", " << (now ? now->y : -1)
        << " after starting at " << g.x << ", " << g.y;
    // Still responsive where it went.
    RunX(display, "xdotool mousemove --window " + id + " 150 122 click 1");
    EXPECT_TRUE(demo->Expect("CLICK 1001", Generous));
}

TEST_F(SdlEndToEnd, MinimiseButtonIconifiesUnderAWindowManager) {
    if (!OnPath("openbox") || !OnPath("xprop")) GTEST_SKIP() << "openbox or xprop is not installed";
    windowManager = std::make_unique<Child>(std::vector<std::string>{"openbox"}, display, false);
    ASSERT_TRUE(PollFor(
        [&] {
            return RunX(display, "xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") !=
                   std::string::npos;
        },
        Generous))
        << "openbox did not start";
    StartDemo();
    // The minimise button: dialog units 150, 20, 12 × 10 → its middle at 234, 41 px.
    RunX(display, "xdotool mousemove --window " + id + " 234 41 click 1");
    EXPECT_TRUE(demo->Expect("MINIMIZE", Generous));
    EXPECT_TRUE(PollFor(
        [&] { return RunX(display, "xwininfo -id " + id).find("IsUnMapped") != std::string::npos; },
        Generous));
}

}  // namespace
