#include "phrasebook/build.h"

#include <chrono>
#include <fstream>
#include <system_error>

#include "catalogue/archive.h"
#include "catalogue/filenames.h"
#include "catalogue/textconvert.h"
#include "phrasebook/checker.h"
#include "phrasebook/speech.h"
#include "phrasebook/writers.h"

namespace phrasebook {
namespace {

using Say = std::function<void(const std::string&)>;

// Parses and checks; the source when it is sound.
std::optional<Source> LoadChecked(const std::filesystem::path& path, const Say& say) {
    auto text = ReadWholeFile(path);
    if (!text) {
        say(path.string() + ": cannot read the phrasebook source");
        return std::nullopt;
    }
    ParseResult parsed = ParseSource(*text);
    std::vector<Diagnostic> findings = parsed.errors;
    if (findings.empty()) findings = CheckSource(parsed.source);
    for (const auto& finding : findings)
        say(FormatDiagnostic(path, finding));
    if (!findings.empty()) return std::nullopt;
    return std::move(parsed.source);
}

// Moves fresh over target unless both hold the same bytes. True when target changed.
bool ReplaceIfChanged(const std::filesystem::path& fresh, const std::filesystem::path& target,
                      std::error_code& error) {
    auto before = ReadBytes(target);
    auto after = ReadBytes(fresh);
    if (before && after && *before == *after) {
        std::filesystem::remove(fresh, error);
        return false;
    }
    std::filesystem::rename(fresh, target, error);
    return true;
}

// Writes one output through a ".new" file; removes derived (the record file the program
// builds from this one) when the content changed.
bool WriteOutput(const std::filesystem::path& target, const char* derived,
                 const std::function<bool(const std::filesystem::path&)>& write, const Say& say) {
    auto fresh = target;
    fresh += ".new";
    std::error_code error;
    if (!write(fresh)) {
        std::filesystem::remove(fresh, error);
        say("cannot write " + target.string());
        return false;
    }
    bool changed = ReplaceIfChanged(fresh, target, error);
    if (error) {
        say("cannot replace " + target.string() + ": " + error.message());
        return false;
    }
    if (changed && derived) std::filesystem::remove(target.parent_path() / derived, error);
    return true;
}

bool WriteArchiveFiles(const BuildOptions& options, const Source& source, const ClipCache& cache) {
    std::vector<std::vector<std::uint8_t>> clips;
    clips.reserve(source.phrases.size());
    for (const auto& phrase : source.phrases) {
        auto bytes = ReadBytes(cache.ClipPath(phrase.german));
        if (!bytes) {
            options.say(FormatDiagnostic(options.source, {phrase.line, "its clip is missing"}));
            return false;
        }
        clips.push_back(std::move(*bytes));
    }
    auto data = options.output / catalogue::ClipDataName;
    auto index = options.output / catalogue::ClipIndexName;
    auto freshData = data, freshIndex = index;
    freshData += ".new";
    freshIndex += ".new";
    std::error_code error;
    if (!catalogue::WriteArchive(freshData, freshIndex, clips)) {
        std::filesystem::remove(freshData, error);
        std::filesystem::remove(freshIndex, error);
        options.say("cannot write the audio archive in " + options.output.string());
        return false;
    }
    ReplaceIfChanged(freshData, data, error);
    if (!error) ReplaceIfChanged(freshIndex, index, error);
    if (error) {
        options.say("cannot replace the audio archive: " + error.message());
        return false;
    }
    return true;
}

// Writes the IPA of every German line (as speak-ipa beside the speaker gives it, cached per
// line under CACHE/../ipa) to the run folder's IPA text, after checking it.
bool WriteIpaFile(const BuildOptions& options, const Source& source) {
    const auto transcriber = options.speaker.parent_path() / "speak-ipa";
    auto script = ReadBytes(transcriber);
    auto speaker = ReadBytes(options.speaker);
    if (!script || !speaker) {
        options.say("cannot read the IPA script " + transcriber.string());
        return false;
    }
    // The IPA follows the speaker's voice options, so a change to either script redoes it.
    std::string recipe(script->begin(), script->end());
    recipe.append(speaker->begin(), speaker->end());
    ClipCache cache(options.cache.parent_path() / "ipa", recipe, ".txt");
    std::vector<SpeechLine> lines;
    for (const auto& phrase : source.phrases)
        lines.push_back({phrase.german, phrase.line});
    auto check = [](const std::vector<std::uint8_t>& bytes) -> std::optional<std::string> {
        std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (CheckIpaText(text, 1).empty()) return std::nullopt;
        return "not one line of IPA: \"" + std::string(text) + "\"";
    };
    SpeechReport report = SpeakMissingClips(cache, lines, transcriber, options.parallel, {}, check);
    for (const auto& failure : report.failures)
        options.say(FormatDiagnostic(options.source, failure));
    if (!report.failures.empty()) return false;
    cache.Prune(GermanLines(source));

    std::string text;
    for (const auto& phrase : source.phrases) {
        auto bytes = ReadBytes(cache.ClipPath(phrase.german));
        if (!bytes) {
            options.say(FormatDiagnostic(options.source, {phrase.line, "its IPA is missing"}));
            return false;
        }
        text.append(bytes->begin(), bytes->end());
        text += '\n';
    }
    auto findings = CheckIpaText(text, source.phrases.size());
    for (const auto& finding : findings)
        options.say(std::string(catalogue::IpaTextName) + ":" + std::to_string(finding.line) +
                    ": " + finding.message);
    if (!findings.empty()) return false;
    return WriteOutput(
        options.output / catalogue::IpaTextName, nullptr,
        [&](const auto& path) {
            std::ofstream out(path, std::ios::binary);
            out << text;
            out.flush();
            return static_cast<bool>(out);
        },
        options.say);
}

}  // namespace

bool CheckSourceFile(const std::filesystem::path& source, const Say& say) {
    return LoadChecked(source, say).has_value();
}

bool BuildCatalogue(const BuildOptions& options) {
    const Say& say = options.say;
    auto source = LoadChecked(options.source, say);
    if (!source) return false;

    std::error_code error;
    std::filesystem::create_directories(options.output, error);
    if (error) {
        say("cannot create " + options.output.string());
        return false;
    }
    bool ok = WriteOutput(
        options.output / catalogue::EnglishTextName, catalogue::EnglishDataName,
        [&](const auto& path) { return catalogue::WriteTextFile(path, EnglishLines(*source)); },
        say);
    ok = ok &&
         WriteOutput(
             options.output / catalogue::PronunciationTextName, catalogue::PronunciationDataName,
             [&](const auto& path) { return catalogue::WriteTextFile(path, GermanLines(*source)); },
             say);
    ok =
        ok && WriteOutput(
                  options.output / catalogue::SpecDataName, nullptr,
                  [&](const auto& path) { return WriteSpecFile(path, SpecRecords(*source)); }, say);
    if (!ok || !options.speech) return ok;

    auto recipe = ReadBytes(options.speaker);
    if (!recipe) {
        say("cannot read the speaker script " + options.speaker.string());
        return false;
    }
    ClipCache cache(options.cache, std::string(recipe->begin(), recipe->end()));
    std::vector<SpeechLine> lines;
    for (const auto& phrase : source->phrases)
        lines.push_back({phrase.german, phrase.line});

    auto start = std::chrono::steady_clock::now();
    SpeechReport report = SpeakMissingClips(
        cache, lines, options.speaker, options.parallel, [&](std::size_t done, std::size_t total) {
            if (done % 100 == 0 || done == total)
                say("spoken " + std::to_string(done) + " of " + std::to_string(total) + " clips");
        });
    for (const auto& failure : report.failures)
        say(FormatDiagnostic(options.source, failure));
    if (!report.failures.empty()) return false;
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (report.spoken > 0) {
        char text[96];
        std::snprintf(text, sizeof text, "%zu clips spoken in %.1f s, %zu reused", report.spoken,
                      seconds, report.reused);
        say(text);
    }
    cache.Prune(GermanLines(*source));
    if (!WriteArchiveFiles(options, *source, cache)) return false;
    if (!WriteIpaFile(options, *source)) return false;
    say(options.output.string() + ": " + std::to_string(source->phrases.size()) + " phrases, " +
        std::to_string(report.spoken + report.reused) + " clips (" + std::to_string(report.spoken) +
        " spoken now)");
    return true;
}

}  // namespace phrasebook
