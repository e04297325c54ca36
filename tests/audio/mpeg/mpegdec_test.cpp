// The mpegdec tool: a WAV file from a clip, and a clear failure for input it cannot use.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "tests/audio/mpeg/support.h"

namespace {

using namespace mpegtest;

std::filesystem::path Tool() {
    const char* bin = std::getenv("PHRASEBOOK_BIN_DIR");
    return std::filesystem::path(bin ? bin : "build/bin") / "mpegdec";
}

int RunTool(const std::string& arguments, const std::filesystem::path& errors) {
    std::string command = "'" + Tool().string() + "' " + arguments + " 2>'" + errors.string() + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::filesystem::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

TEST(Mpegdec, RefusesUnreadableOrUnplayableInput) {
    if (!std::filesystem::exists(Tool())) GTEST_SKIP() << "mpegdec not built";
    std::filesystem::path dir = TempDir("mpegdec-bad");
    std::filesystem::path errors = dir / "errors.txt";
    EXPECT_NE(
        RunTool("'" + (dir / "missing.mp3").string() + "' '" + (dir / "out.wav").string() + "'",
                errors),
        0);
    EXPECT_NE(Text(errors).find("cannot read"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));

    std::ofstream(dir / "text.mp3") << "This is not audio at all.";
    EXPECT_NE(RunTool("'" + (dir / "text.mp3").string() + "' '" + (dir / "out.wav").string() + "'",
                      errors),
              0);
    EXPECT_NE(Text(errors).find("no MPEG audio"), std::string::npos);
    EXPECT_NE(RunTool("", errors), 0);
    std::filesystem::remove_all(dir);
}

// Streams that start but give nothing, free-format streams with sync patterns in their frame
// data, and large inputs: each refused with its own message, nothing written, the input streamed.
TEST(Mpegdec, ReportsStreamsItCannotDecodeAndStreamsLargeInputs) {
    if (!std::filesystem::exists(Tool())) GTEST_SKIP() << "mpegdec not built";
    std::filesystem::path dir = TempDir("mpegdec-faults");
    std::filesystem::path errors = dir / "errors.txt";
    const std::string out = " '" + (dir / "out.wav").string() + "'";
    auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return "'" + (dir / name).string() + "'";
    };

    // A Layer III header (128 kbit/s, 44.1 kHz: 417-byte frames) cut short after 300 bytes.
    std::vector<std::uint8_t> cut = {0xFF, 0xFB, 0x90, 0x64};
    cut.resize(300);
    EXPECT_EQ(RunTool(write("cut.mp3", cut) + out, errors), 1);
    EXPECT_NE(Text(errors).find("no frame"), std::string::npos) << Text(errors);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));

    // A free-format header, then frame data holding fixed-rate headers one frame apart.
    std::vector<std::uint8_t> free = {0xFF, 0xFB, 0x04, 0x64};
    free.resize(3000, 0x55);
    for (std::size_t at = 500; at + 4 < free.size(); at += 417)
        std::memcpy(free.data() + at, cut.data(), 4);
    EXPECT_EQ(RunTool(write("free.mp3", free) + out, errors), 1);
    EXPECT_NE(Text(errors).find("free-format"), std::string::npos) << Text(errors);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));

    // 160 MB of nothing, read through a small window rather than whole.
    {
        std::ofstream(dir / "large.mp3").close();
        std::filesystem::resize_file(dir / "large.mp3", 160'000'000u);
    }
    EXPECT_EQ(RunTool("'" + (dir / "large.mp3").string() + "'" + out, errors), 1);
    EXPECT_NE(Text(errors).find("no MPEG audio"), std::string::npos) << Text(errors);
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 100'000) << "kB at most in any child so far";
    std::filesystem::remove_all(dir);
}

TEST(Mpegdec, WritesWaveFiles) {
    if (!std::filesystem::exists(Tool())) GTEST_SKIP() << "mpegdec not built";
    if (!HaveProgram("sox") || !HaveProgram("lame")) GTEST_SKIP() << "sox or lame missing";
    std::filesystem::path dir = TempDir("mpegdec");
    auto mp3 = MakeClip(dir, "clip", "sox -R -n -r 22050 -c 1 -b 16 WAV synth 1 sine 500 vol 0.5",
                        "-b 32");
    ASSERT_FALSE(mp3.empty());
    std::filesystem::path errors = dir / "errors.txt";
    ASSERT_EQ(RunTool("'" + mp3.string() + "' '" + (dir / "a.wav").string() + "'", errors), 0);
    ASSERT_EQ(RunTool("--f32 '" + mp3.string() + "' '" + (dir / "b.wav").string() + "'", errors),
              0);
    auto a = ReadFile(dir / "a.wav");
    auto b = ReadFile(dir / "b.wav");
    ASSERT_TRUE(a && b);
    ASSERT_GT(a->size(), 44u);
    EXPECT_EQ(std::memcmp(a->data(), "RIFF", 4), 0);
    EXPECT_EQ(a->at(20) | (a->at(21) << 8), 1);  // PCM
    EXPECT_EQ(b->at(20) | (b->at(21) << 8), 3);  // IEEE float
    EXPECT_EQ(a->at(22), 1);                     // one channel
    EXPECT_EQ(U32(*a, 24), 22050u);
    EXPECT_EQ(a->at(34), 16);
    EXPECT_EQ(b->at(34), 32);
    EXPECT_EQ(U32(*a, 40), a->size() - 44);
    EXPECT_EQ(U32(*b, 40), 2 * U32(*a, 40));
    // The 16-bit samples are the float samples, truncated.
    for (std::size_t i = 0; i < U32(*a, 40) / 2; i += 97) {
        auto s = static_cast<std::int16_t>(a->at(44 + 2 * i) | (a->at(45 + 2 * i) << 8));
        float f;
        std::memcpy(&f, b->data() + 44 + 4 * i, 4);
        EXPECT_EQ(s, static_cast<std::int16_t>(f * 32768.0f)) << i;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
