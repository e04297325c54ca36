// Cold start of the program: from starting a fresh process to its first frame on the display,
// with the bundled phrasebook (build/run/, prepared by "make data") and "English.dat" and
// "Chinese.dat" already present, and its resident memory at that moment. Targets: median under
// 50 ms, memory under 60 MB. Runs startup_probe (the program with a timestamp at its first
// present, ending there) in a run folder of its own, on the user's display or, where there is
// none, on an Xvfb display of its own. Prints the figures and their ratios to the targets;
// exits 1 when a target is missed, 2 (with the reason) when a start shows a message, presents
// no frame within 10 s or does not end within 10 s of it.
//
//   startup_bench [runs]        (default 21)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/runfolder.h"

extern char** environ;

namespace {

constexpr double TargetMilliseconds = 50.0;
// How long a start may take to present its frame, and then to end, before it counts as failed.
constexpr auto StartLimit = std::chrono::seconds(10);
constexpr double TargetMegabytes = 60.0;

long long MonotonicNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

// Starts argv with DISPLAY set, in cwd; its standard output comes through *out. The audio
// output is the system's, as the program finds it.
pid_t Spawn(const std::vector<std::string>& args, const std::string& display,
            const std::filesystem::path& cwd, int* out) {
    std::vector<std::string> vars;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string v(*e);
        if (v.rfind("DISPLAY=", 0) != 0) vars.push_back(v);
    }
    vars.push_back("DISPLAY=" + display);
    std::vector<char*> envp;
    for (std::string& v : vars)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (std::string& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int fds[2] = {-1, -1};
    if (out != nullptr && pipe(fds) == 0) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (fds[1] >= 0) close(fds[1]);
    if (out != nullptr) *out = fds[0];
    return pid;
}

// Waits for the process to end; false (and the process killed with SIGKILL) after the
// timeout.
bool Reap(pid_t pid, std::chrono::seconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
}

struct Sample {
    double milliseconds = 0;
    double megabytes = 0;
    std::string failure;  // why the start did not count; empty when it did
};

// One cold start of the probe.
Sample Measure(const std::filesystem::path& probe, const std::string& display,
               const std::filesystem::path& runFolder) {
    int out = -1;
    const long long start = MonotonicNanoseconds();
    const pid_t pid = Spawn({probe.string()}, display, runFolder, &out);
    if (pid <= 0) return {0, 0, "the probe could not be started"};
    std::string text;
    const auto end = std::chrono::steady_clock::now() + StartLimit;
    while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
        pollfd p{out, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char chunk[256];
        const ssize_t n = read(out, chunk, sizeof chunk);
        if (n <= 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    close(out);
    const bool presented = text.rfind("FIRST_PRESENT ", 0) == 0;
    const bool ended = Reap(pid, presented ? StartLimit : std::chrono::seconds(0));
    long long at = 0;
    long rss = 0;
    if (text.rfind("MESSAGE ", 0) == 0)
        return {0, 0, "the program showed a message: " + text.substr(8, text.find('\n') - 8)};
    if (!presented || std::sscanf(text.c_str(), "FIRST_PRESENT %lld RSS %ld", &at, &rss) != 2)
        return {0, 0, "the program presented no frame within 10 s"};
    if (!ended) return {0, 0, "the program did not end within 10 s of its first frame"};
    return {static_cast<double>(at - start) / 1e6, static_cast<double>(rss) / 1024.0, {}};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::filesystem::path probe =
        std::filesystem::canonical("/proc/self/exe").parent_path() / "startup_probe";
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) {
        std::fprintf(stderr,
                     "startup_bench: the bundled phrasebook is not prepared: run `make data`\n");
        return 2;
    }

    // The display: the user's, or an Xvfb of our own.
    std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    pid_t xvfb = -1;
    if (display.empty()) {
        // Xvfb picks a free display number and writes it once it accepts connections.
        int out = -1;
        xvfb = Spawn({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-noreset",
                      "-nolisten", "tcp"},
                     "", {}, &out);
        std::string number;
        for (int i = 0; i < 300 && xvfb > 0 && number.find('\n') == std::string::npos; ++i) {
            pollfd p{out, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char chunk[64];
            const ssize_t n = read(out, chunk, sizeof chunk);
            if (n <= 0) break;
            number.append(chunk, static_cast<std::size_t>(n));
        }
        if (out >= 0) close(out);
        if (xvfb <= 0 || number.find('\n') == std::string::npos) {
            std::fprintf(stderr, "startup_bench: no display and Xvfb did not start\n");
            return 2;
        }
        display = ":" + number.substr(0, number.find('\n'));
        std::printf("display: Xvfb %s (no display here)\n", display.c_str());
    }

    // A run folder with the bundled files, whose record files the first start builds.
    char pattern[] = "/tmp/tolkara-startup-XXXXXX";
    const std::filesystem::path folder = mkdtemp(pattern);
    for (const char* name :
         {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat", "Help.chm"})
        std::filesystem::create_symlink(bundled / name, folder / name);
    Sample first = Measure(probe, display, folder);
    if (first.failure.empty() && (!std::filesystem::exists(folder / "English.dat") ||
                                  !std::filesystem::exists(folder / "Chinese.dat")))
        first.failure = "the first start built no English.dat and Chinese.dat";

    std::vector<double> times;
    std::vector<double> memory;
    std::string failure = first.failure;
    for (int i = 0; failure.empty() && i < runs; ++i) {
        const Sample s = Measure(probe, display, folder);
        failure = s.failure;
        times.push_back(s.milliseconds);
        memory.push_back(s.megabytes);
    }
    std::filesystem::remove_all(folder);
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        Reap(xvfb, std::chrono::seconds(10));
    }
    if (!failure.empty()) {
        std::fprintf(stderr, "startup_bench: start %zu: %s\n", times.size() + 1, failure.c_str());
        return 2;
    }

    const double ms = Median(times);
    const double mb = Median(memory);
    std::printf(
        "cold start to the first frame: median %.1f ms over %zu runs (min %.1f, max %.1f); "
        "target %.0f ms, ratio %.2f\n",
        ms, times.size(), *std::min_element(times.begin(), times.end()),
        *std::max_element(times.begin(), times.end()), TargetMilliseconds, ms / TargetMilliseconds);
    std::printf(
        "resident memory after start-up: median %.1f MB (max %.1f); target %.0f MB, "
        "ratio %.2f\n",
        mb, *std::max_element(memory.begin(), memory.end()), TargetMegabytes, mb / TargetMegabytes);
    return ms < TargetMilliseconds && mb < TargetMegabytes ? 0 : 1;
}
