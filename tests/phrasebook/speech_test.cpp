#include "phrasebook/speech.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "catalogue/archive.h"
#include "phrasebook/clipcheck.h"
#include "tests/phrasebook/test_util.h"

namespace phrasebook {
namespace {

using phrasebook_test::ScratchDir;
using phrasebook_test::WriteFile;

// A stand-in speaker: copies a valid clip to its output and logs the line it was asked for.
class FakeSpeaker {
public:
    explicit FakeSpeaker(const ScratchDir& dir, const std::string& body = "")
        : script_(dir.path() / "speaker"), log_(dir.path() / "spoken.log") {
        auto clip = phrasebook_test::MakeClip({false, true, false});
        WriteFile(dir.path() / "clip.mp3", std::string(clip.begin(), clip.end()));
        WriteFile(
            script_,
            "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log_.string() + "'\n" +
                (body.empty() ? "cp '" + (dir.path() / "clip.mp3").string() + "' \"$2\"\n" : body));
        std::filesystem::permissions(script_, std::filesystem::perms::owner_all);
    }
    const std::filesystem::path& Script() const { return script_; }
    int Calls() const {
        std::ifstream in(log_);
        int lines = 0;
        for (std::string line; std::getline(in, line);)
            ++lines;
        return lines;
    }

private:
    std::filesystem::path script_, log_;
};

TEST(Speech, SpeaksOnlyMissingLinesAndSharesEqualOnes) {
    ScratchDir dir;
    FakeSpeaker speaker(dir);
    ClipCache cache(dir.path() / "clips", "recipe 1");
    std::vector<SpeechLine> lines = {{u"Hallo.", 1}, {u"Danke.", 2}, {u"Hallo.", 3}};

    SpeechReport first = SpeakMissingClips(cache, lines, speaker.Script(), 2);
    EXPECT_TRUE(first.failures.empty());
    EXPECT_EQ(first.spoken, 2u);
    EXPECT_EQ(speaker.Calls(), 2);

    SpeechReport again = SpeakMissingClips(cache, lines, speaker.Script(), 2);
    EXPECT_EQ(again.spoken, 0u);
    EXPECT_EQ(again.reused, 2u);

    lines[1].german = u"Vielen Dank.";
    SpeechReport changed = SpeakMissingClips(cache, lines, speaker.Script(), 2);
    EXPECT_EQ(changed.spoken, 1u);
    EXPECT_EQ(speaker.Calls(), 3);

    // A clip no line uses any more goes away.
    cache.Prune({u"Hallo.", u"Vielen Dank."});
    EXPECT_FALSE(std::filesystem::exists(cache.ClipPath(u"Danke.")));
    EXPECT_TRUE(std::filesystem::exists(cache.ClipPath(u"Hallo.")));

    // Partial clips of an ended run go; those of a running build stay.
    auto abandoned = cache.Folder() / "0123456789abcdef.mp3.999999999.part";
    auto running = cache.Folder() / ("0123456789abcdef.mp3." + std::to_string(getpid()) + ".part");
    WriteFile(abandoned, "x");
    WriteFile(running, "x");
    cache.Prune({u"Hallo."});
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_TRUE(std::filesystem::exists(running));
}

TEST(Speech, ClipNamesDependOnLineAndRecipe) {
    ClipCache a("c", "recipe 1"), b("c", "recipe 2");
    EXPECT_NE(a.ClipPath(u"Hallo."), a.ClipPath(u"Hallo!"));
    EXPECT_NE(a.ClipPath(u"Hallo."), b.ClipPath(u"Hallo."));
    EXPECT_EQ(a.ClipPath(u"Hallo."), ClipCache("c", "recipe 1").ClipPath(u"Hallo."));
}

TEST(Speech, FailuresNameTheLineAndCacheNothing) {
    struct Case {
        const char* body;
        const char* failure;
    };
    for (const Case& c : {Case{"exit 3\n", "the speaker failed"},
                          Case{"printf 'ID3' > \"$2\"\n", "the clip is unfit"},
                          Case{"exit 0\n", "the speaker wrote no clip"}}) {
        ScratchDir dir;
        FakeSpeaker speaker(dir, c.body);
        ClipCache cache(dir.path() / "clips", "recipe");
        SpeechReport report =
            SpeakMissingClips(cache, {{u"Guten Tag.", 17}, {u"Hallo.", 18}}, speaker.Script(), 1);
        ASSERT_FALSE(report.failures.empty()) << c.body;
        EXPECT_EQ(report.failures.front().line, 17);
        EXPECT_NE(report.failures.front().message.find(c.failure), std::string::npos)
            << report.failures.front().message;
        EXPECT_NE(report.failures.front().message.find("Guten Tag."), std::string::npos);
        // The first failure stops the run, and nothing is left in the cache.
        EXPECT_EQ(speaker.Calls(), 1);
        EXPECT_TRUE(std::filesystem::is_empty(cache.Folder()));
    }
}

// What the speaker hands to the voice for text: words the voice misreads are respelled.
std::string SpokenForm(const std::string& text) {
    auto speaker = std::filesystem::path(PHRASEBOOK_SOURCE_DIR) / "phrasebook" / "speak-clip";
    ScratchDir dir;
    WriteFile(dir.path() / "text", text);
    std::string command = "'" + speaker.string() + "' --spoken \"$(cat '" +
                          (dir.path() / "text").string() + "')\" > '" +
                          (dir.path() / "out").string() + "'";
    if (std::system(command.c_str()) != 0) return "<failed>";
    auto bytes = ReadBytes(dir.path() / "out").value_or(std::vector<std::uint8_t>{});
    std::string out(bytes.begin(), bytes.end());
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

TEST(Speech, TheSpeakerRespellsWholeWordsOnly) {
    if (std::system("command -v perl >/dev/null") != 0) GTEST_SKIP() << "perl is not installed";
    EXPECT_EQ(SpokenForm("Ich möchte einchecken."), "Ich möchte eintschecken.");
    EXPECT_EQ(SpokenForm("Wo sind die Toiletten?"), "Wo sind die [[to:a'lEt@n]]?");
    EXPECT_EQ(SpokenForm("Wo ist die Toilette?"), "Wo ist die [[to:a'lEt@]]?");
    // Parts of longer words, and words joined by a hyphen, stay as they are.
    EXPECT_EQ(SpokenForm("Rathausplatz, Alt-Rathaus"), "Rathausplatz, Alt-Rathaus");
    // Text reaches the voice as it is, quotes and dollars included.
    EXPECT_EQ(SpokenForm("Er sagt: 'Das kostet $HOME'"), "Er sagt: 'Das kostet $HOME'");
}

bool HaveSpeechTools() {
    return std::system(
               "command -v espeak-ng >/dev/null && command -v sox >/dev/null && "
               "command -v lame >/dev/null") == 0;
}

TEST(Speech, TheRealSpeakerMakesArchiveClipsDeterministically) {
    if (!HaveSpeechTools()) GTEST_SKIP() << "espeak-ng, sox or lame is not installed";
    ScratchDir dir;
    auto speaker = std::filesystem::path(PHRASEBOOK_SOURCE_DIR) / "phrasebook" / "speak-clip";
    auto recipe = ReadBytes(speaker).value();
    ClipCache cache(dir.path() / "a", std::string(recipe.begin(), recipe.end()));
    ClipCache again(dir.path() / "b", std::string(recipe.begin(), recipe.end()));
    std::vector<SpeechLine> lines = {
        {u"Wo ist der Bahnhof?", 1}, {u"Könnten Sie das bitte aufschreiben?", 2}, {u"Ja.", 3}};
    SpeechReport report = SpeakMissingClips(cache, lines, speaker, 2);
    ASSERT_TRUE(report.failures.empty()) << report.failures.front().message;
    ASSERT_TRUE(SpeakMissingClips(again, {lines[0]}, speaker, 1).failures.empty());

    std::vector<std::vector<std::uint8_t>> clips;
    for (const auto& line : lines)
        clips.push_back(ReadBytes(cache.ClipPath(line.german)).value());
    EXPECT_EQ(clips[0], ReadBytes(again.ClipPath(lines[0].german)).value());
    // A longer line makes a longer clip; a short word still makes a few frames.
    EXPECT_GT(clips[1].size(), clips[2].size());
    EXPECT_GT(clips[2].size(), 3u * 104);

    // Through the archive and back, every clip parses from its first byte.
    ASSERT_TRUE(catalogue::WriteArchive(dir.path() / "data.dat", dir.path() / "data.idx", clips));
    for (PhraseNo n = 1; n <= 3; ++n) {
        auto fetched = catalogue::ReadClip(dir.path() / "data.dat", dir.path() / "data.idx", n);
        ASSERT_EQ(fetched.outcome, catalogue::ClipFetch::Outcome::Clip);
        ClipCheck check = CheckArchiveClip(fetched.clip);
        EXPECT_FALSE(check.problem) << *check.problem;
    }
}

// The archive that "make data" put into the run folder, when there is one.
TEST(Speech, EveryClipOfTheBuiltArchiveParses) {
    const char* bin = std::getenv("PHRASEBOOK_BIN_DIR");
    auto run = std::filesystem::path(bin ? bin : "") / ".." / "run";
    if (!bin || !std::filesystem::exists(run / "data.dat"))
        GTEST_SKIP() << "no archive in " << run << " (run make data first)";
    auto index = ReadBytes(run / "data.idx").value();
    ASSERT_EQ(index.size(), 782u * 8);
    for (PhraseNo n = 1; n <= 782; ++n) {
        auto fetched = catalogue::ReadClip(run / "data.dat", run / "data.idx", n);
        ASSERT_EQ(fetched.outcome, catalogue::ClipFetch::Outcome::Clip) << "phrase " << n;
        ClipCheck check = CheckArchiveClip(fetched.clip);
        EXPECT_FALSE(check.problem) << "phrase " << n << ": " << *check.problem;
    }
}

}  // namespace
}  // namespace phrasebook
