#include "catalogue/ipatext.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/runfolder.h"
#include "tests/support/tempdir.h"

namespace {

using catalogue::IpaText;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bundled file: one IPA line per phrase of "Pro3.txt"; then damaged copies of it, each
// read without a crash, giving IPA only where it is sound.
TEST(IpaText, BundledFileAndDamagedCopies) {
    const auto run = testing_support::BundledRunFolder();
    if (run.empty() || !std::filesystem::exists(run / catalogue::IpaTextName))
        GTEST_SKIP() << "make data has not run";
    const std::string bytes = ReadAll(run / catalogue::IpaTextName);
    const IpaText bundled = IpaText::Load(run / catalogue::IpaTextName);
    ASSERT_EQ(bundled.Lines(), 782u);
    for (PhraseNo n = 1; n <= 782; ++n)
        EXPECT_FALSE(bundled.Of(n).empty()) << n;
    EXPECT_TRUE(bundled.Of(0).empty());
    EXPECT_TRUE(bundled.Of(783).empty());

    testing_support::TempDir dir;
    const auto copy = dir / "Ipa.txt";
    auto write = [&](const std::string& text) {
        std::ofstream(copy, std::ios::binary) << text;
        return IpaText::Load(copy);
    };
    EXPECT_EQ(IpaText::Load(dir / "missing.txt").Lines(), 0u);
    EXPECT_EQ(write("").Lines(), 0u);
    EXPECT_EQ(write(bytes.substr(0, bytes.size() / 2) + "\xff\xfe").Lines(), 0u);  // not UTF-8
    EXPECT_EQ(write(std::string(2 << 20, 'a')).Lines(), 0u);                       // oversized
    // Cut short in a line: the lines before it stand, the rest give nothing.
    const std::size_t half = bytes.find('\n', bytes.size() / 2) + 1;
    const IpaText cut = write(bytes.substr(0, half) + "hˈa");
    EXPECT_EQ(cut.Of(1), bundled.Of(1));
    EXPECT_TRUE(cut.Of(782).empty());
    // One line of German spelling, one of spaces, CR LF endings: only the bad lines drop.
    std::string edited =
        "Wo ist der Bahnhof?\n  \n" + bytes.substr(bytes.find('\n', bytes.find('\n') + 1) + 1);
    const IpaText mixed = write(edited);
    EXPECT_TRUE(mixed.Of(1).empty());
    EXPECT_TRUE(mixed.Of(2).empty());
    EXPECT_EQ(mixed.Of(3), bundled.Of(3));
    EXPECT_EQ(write("vˈoː ɪst\r\n").Of(1), u"vˈoː ɪst");
    EXPECT_TRUE(catalogue::IsIpaLine(u"bˈɑːnhoːf"));
    for (const char16_t* bad : {u"", u" a", u"a ", u"a  b", u"a/b", u"A", u"ä"})
        EXPECT_FALSE(catalogue::IsIpaLine(bad));
}

}  // namespace
