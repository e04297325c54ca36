#include "phrasebook/speech.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <system_error>

#include "phrasebook/clipcheck.h"
#include "platform/shell/codepage.h"

extern char** environ;

namespace phrasebook {
namespace {

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ull) {
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// A clip being made: "<clip>.<pid>.part", so that two builds sharing a cache never write
// the same file.
std::filesystem::path PartPath(const std::filesystem::path& clip) {
    auto part = clip;
    part += "." + std::to_string(getpid()) + ".part";
    return part;
}

// True for a ".part" file whose maker is gone (an interrupted run).
bool IsAbandonedPart(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    if (!name.ends_with(".part")) return false;
    name.resize(name.size() - 5);
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return true;
    long pid = std::strtol(name.c_str() + dot + 1, nullptr, 10);
    return pid <= 0 || (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

// One running speaker process; waited for when it goes away so no child is left behind.
class SpeakerProcess {
public:
    SpeakerProcess() = default;
    SpeakerProcess(const SpeakerProcess&) = delete;
    SpeakerProcess& operator=(const SpeakerProcess&) = delete;
    ~SpeakerProcess() {
        if (pid_ > 0) Wait();
    }

    bool Start(const std::filesystem::path& speaker, const std::string& text,
               const std::filesystem::path& output) {
        std::string program = speaker.string();
        std::string out = output.string();
        std::vector<char*> argv = {program.data(), const_cast<char*>(text.c_str()), out.data(),
                                   nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            return false;
        pid_ = pid;
        return true;
    }

    // True when the process ran and exited with status 0.
    bool Wait() {
        int status = 0;
        pid_t pid = pid_;
        pid_ = -1;
        while (waitpid(pid, &status, 0) < 0)
            if (errno != EINTR) return false;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace

ClipCache::ClipCache(std::filesystem::path folder, std::string recipe, std::string extension)
    : folder_(std::move(folder)), recipe_(std::move(recipe)), extension_(std::move(extension)) {}

std::filesystem::path ClipCache::ClipPath(const std::u16string& german) const {
    std::uint64_t hash = Fnv1a(recipe_);
    hash = Fnv1a(std::string_view("\0", 1), hash);
    hash = Fnv1a(shell::Utf16ToUtf8(german), hash);
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return folder_ / (name + extension_);
}

void ClipCache::Prune(const std::vector<std::u16string>& keep) const {
    std::set<std::filesystem::path> wanted;
    for (const auto& german : keep)
        wanted.insert(ClipPath(german).filename());
    std::error_code error;
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        auto name = entry.path().filename();
        bool part = name.extension() == ".part";
        if (part ? IsAbandonedPart(entry.path()) : !wanted.contains(name))
            stale.push_back(entry.path());
    }
    for (const auto& path : stale)
        std::filesystem::remove(path, error);
}

std::optional<std::vector<std::uint8_t>> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

SpeechReport SpeakMissingClips(const ClipCache& cache, const std::vector<SpeechLine>& lines,
                               const std::filesystem::path& speaker, int parallel,
                               const std::function<void(std::size_t, std::size_t)>& progress,
                               const ProductCheck& check) {
    SpeechReport report;
    std::error_code error;
    std::filesystem::create_directories(cache.Folder(), error);
    if (error) {
        report.failures.push_back({0, "cannot create the clip folder " + cache.Folder().string()});
        return report;
    }

    // One job per distinct missing line; lines that share their German share the clip.
    std::vector<const SpeechLine*> todo;
    std::set<std::filesystem::path> planned;
    for (const auto& line : lines) {
        auto path = cache.ClipPath(line.german);
        if (planned.contains(path)) continue;
        planned.insert(path);
        if (std::filesystem::is_regular_file(path, error))
            ++report.reused;
        else
            todo.push_back(&line);
    }

    if (parallel < 1) parallel = 1;
    struct Running {
        const SpeechLine* line;
        std::filesystem::path part;
        std::unique_ptr<SpeakerProcess> process;
    };
    std::vector<Running> running;
    std::size_t next = 0;

    auto finish = [&](Running& job) {
        bool ok = job.process->Wait();
        auto final = cache.ClipPath(job.line->german);
        std::string problem;
        if (!ok) {
            problem = "the speaker failed";
        } else if (auto bytes = ReadBytes(job.part); !bytes) {
            problem = "the speaker wrote no clip";
        } else if (auto unfit = check ? check(*bytes) : CheckArchiveClip(*bytes).problem) {
            problem = "the clip is unfit: " + *unfit;
        } else {
            std::filesystem::rename(job.part, final, error);
            if (error) problem = "cannot store the clip " + final.string();
        }
        if (!problem.empty()) {
            std::filesystem::remove(job.part, error);
            report.failures.push_back(
                {job.line->line,
                 problem + " for \"" + shell::Utf16ToUtf8(job.line->german) + "\""});
        } else {
            ++report.spoken;
            if (progress) progress(report.spoken, todo.size());
        }
    };

    while (next < todo.size() || !running.empty()) {
        // Start while there is room and nothing has failed.
        while (next < todo.size() && static_cast<int>(running.size()) < parallel &&
               report.failures.empty()) {
            const SpeechLine* line = todo[next++];
            Running job{line, PartPath(cache.ClipPath(line->german)),
                        std::make_unique<SpeakerProcess>()};
            if (!job.process->Start(speaker, shell::Utf16ToUtf8(line->german), job.part)) {
                report.failures.push_back({line->line, "cannot start " + speaker.string()});
                break;
            }
            running.push_back(std::move(job));
        }
        if (running.empty()) break;
        // The oldest job first: the speakers take about the same time per line.
        finish(running.front());
        running.erase(running.begin());
    }
    return report;
}

}  // namespace phrasebook
