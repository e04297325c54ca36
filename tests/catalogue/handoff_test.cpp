// What the catalogue hands to others: clips to the player, the request to the update program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalogue/archive.h"
#include "catalogue/updatehandoff.h"
#include "tests/catalogue/catalogue_fixture.h"
#include "tests/support/recordingshell.h"
#include "tests/support/runfolder.h"
#include "tests/support/tempdir.h"
#include "tolkara/version.h"

namespace {

using namespace catalogue;
using namespace cataloguetest;
using testing_support::ReadBytes;
using testing_support::TempDir;

TEST(ReadClip, GivesTheIndexedBytesOrSaysWhyThereAreNone) {
    const auto run = testing_support::BundledRunFolder();
    if (run.empty()) GTEST_SKIP() << "no bundled archive (make data BUILD=build)";
    TempDir dir;
    using Outcome = ClipFetch::Outcome;
    const auto outcome = [](const std::filesystem::path& data, const std::filesystem::path& index,
                            PhraseNo n) { return ReadClip(data, index, n).outcome; };

    EXPECT_EQ(outcome(run / "data.dat", run / "data.idx", 1), Outcome::Clip);
    EXPECT_FALSE(ReadClip(run / "data.dat", run / "data.idx", 1).clip.empty());
    EXPECT_EQ(outcome(run / "data.dat", run / "data.idx", 0), Outcome::OutOfRange);
    EXPECT_EQ(outcome(run / "data.dat", run / "data.idx", 783), Outcome::OutOfRange);
    // Either file missing is the archive missing, said in the same words.
    const ClipFetch noData = ReadClip(dir / "none.dat", run / "data.idx", 2);
    const ClipFetch noIndex = ReadClip(run / "data.dat", dir / "none.idx", 2);
    EXPECT_TRUE(noData.ArchiveMissing());
    EXPECT_TRUE(noIndex.ArchiveMissing());
    EXPECT_EQ(std::u16string(noIndex.Message()), u"Can't find data file!");
    EXPECT_EQ(std::u16string(noData.Message()), std::u16string(noIndex.Message()));
    // A short index holds fewer phrases: the later ones have no clip, and nothing is said.
    auto index = ReadBytes(run / "data.idx");
    index.resize(8 * 10 + 3);
    testing_support::WriteBytes(dir / "short.idx", index);
    EXPECT_EQ(outcome(run / "data.dat", dir / "short.idx", 10), Outcome::Clip);
    EXPECT_EQ(ReadClip(run / "data.dat", dir / "short.idx", 11).Message(), nullptr);
    auto data = ReadBytes(run / "data.dat");
    data[8] = 0x35;  // version 2101
    testing_support::WriteBytes(dir / "old.dat", data);
    EXPECT_EQ(outcome(dir / "old.dat", run / "data.idx", 2), Outcome::BadFormat);
    EXPECT_EQ(std::u16string(ReadClip(dir / "old.dat", run / "data.idx", 2).Message()),
              u"This file is not in right format!");
    // An index entry past the archive's end.
    data[8] = 0x36;
    data.resize(100);
    testing_support::WriteBytes(dir / "cut.dat", data);
    EXPECT_EQ(outcome(dir / "cut.dat", run / "data.idx", 2), Outcome::ShortRead);
}

TEST(UpdateHandOff, TheRequestFileHoldsExactlyThreeLines) {
    TempDir dir;
    auto request = WriteUpdateRequest(dir.path());
    ASSERT_TRUE(request);
    EXPECT_EQ(request->parent_path(), dir.path());
    EXPECT_EQ(request->filename().string().rfind("CUAD", 0), 0u);
    const std::string expected = TOLKARA_VERSION
        "\r\nversion.dat\r\nhttps://www.tolkara.example/SoftwareDownload/Tolkara_German";
    const auto bytes = ReadBytes(*request);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    struct stat st {};
    ASSERT_EQ(stat(request->c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Each request is a file of its own.
    auto second = WriteUpdateRequest(dir.path());
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *request);
    EXPECT_FALSE(WriteUpdateRequest(dir / "no-such-folder"));
}

TEST(UpdateHandOff, TheUpdaterStartsOnlyWhenItIsBesideTheProgramAndExecutable) {
    TempDir program;
    TempDir temp;
    testing_support::RecordingShell shell;
    // Not there: the request stays in the temporary folder, nothing is started.
    EXPECT_FALSE(LaunchUpdater(shell, program.path(), temp.path()));
    EXPECT_TRUE(shell.started.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1);
    // There but not executable.
    testing_support::WriteBytes(program / "AutoUpdate.exe", {'#', '!'});
    EXPECT_FALSE(LaunchUpdater(shell, program.path(), temp.path()));
    EXPECT_TRUE(shell.started.empty());
    // Executable: started with the request's path as its one argument.
    std::filesystem::permissions(program / "AutoUpdate.exe", std::filesystem::perms::owner_all);
    EXPECT_TRUE(LaunchUpdater(shell, program.path(), temp.path()));
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0].program, (program / "AutoUpdate.exe").string());
    ASSERT_EQ(shell.started[0].args.size(), 1u);
    const std::filesystem::path request = shell.started[0].args[0];
    EXPECT_EQ(request.parent_path(), temp.path());
    EXPECT_EQ(ReadBytes(request).size(), UpdateRequestText().size());
}

}  // namespace
