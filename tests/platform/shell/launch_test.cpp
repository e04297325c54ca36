#include "platform/shell/launch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/tempdir.h"

namespace {

using testing_support::TempDir;

void WriteScript(const std::filesystem::path& path, const std::string& body, bool executable) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), executable ? 0755 : 0644);
}

bool WaitForFile(const std::filesystem::path& path) {
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(path) && std::filesystem::file_size(path) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Launch, FindsOnlyExecutableFilesInPathOrder) {
    TempDir first, second;
    WriteScript(first / "viewer", "true", false);  // not executable: passed over
    WriteScript(second / "viewer", "true", true);
    std::filesystem::create_directory(first / "dir");
    const std::string path = first.path().string() + ":" + second.path().string();

    EXPECT_EQ(shell::FindOnPath("viewer", path), second / "viewer");
    EXPECT_FALSE(shell::FindOnPath("dir", first.path().string()));
    EXPECT_FALSE(shell::FindOnPath("missing", path));
    EXPECT_FALSE(shell::FindOnPath("", path));
    EXPECT_EQ(shell::FindOnPath((second / "viewer").string(), ""), second / "viewer");
}

TEST(Launch, StartsWithArgumentsAsTheyAreAndWithoutWaiting) {
    TempDir dir;
    const auto out = dir / "out.txt";
    // The program outlives the call: it writes only after a pause.
    WriteScript(dir / "prog", "sleep 0.2; printf '%s|' \"$@\" > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"",
                true);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(shell::StartProgram({(dir / "prog").string(), out.string(), "a b", "$HOME;x"}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    ASSERT_TRUE(WaitForFile(out));
    std::string text;
    std::getline(std::ifstream(out), text);
    EXPECT_EQ(text, out.string() + "|a b|$HOME;x|");
}

TEST(Launch, ReportsWhatCannotStart) {
    TempDir dir;
    WriteScript(dir / "plain", "true", false);
    EXPECT_FALSE(shell::StartProgram({}));
    EXPECT_FALSE(shell::StartProgram({(dir / "plain").string()}));
    EXPECT_FALSE(shell::StartProgram({(dir / "missing").string()}));
    EXPECT_FALSE(shell::StartProgram({dir.path().string()}));
}

}  // namespace
