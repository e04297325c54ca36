#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "res/bitmaptable.h"
#include "res/dialogs.h"
#include "res/programresources.h"
#include "tests/res/bmpimage.h"

namespace {

using shell::ResourceType;

std::span<const std::uint8_t> Bytes(const shell::Resource& r) {
    return {static_cast<const std::uint8_t*>(r.data), r.size};
}

// Sets the locale variables for one test and puts the old values back.
class LocaleGuard {
public:
    LocaleGuard(const char* lcAll, const char* lcMessages, const char* lang) {
        for (int i = 0; i < 3; ++i) {
            const char* old = std::getenv(names_[i]);
            saved_[i] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        Set(0, lcAll);
        Set(1, lcMessages);
        Set(2, lang);
    }
    ~LocaleGuard() {
        for (int i = 0; i < 3; ++i)
            Set(i, saved_[i] ? saved_[i]->c_str() : nullptr);
    }

private:
    void Set(int i, const char* value) {
        if (value)
            setenv(names_[i], value, 1);
        else
            unsetenv(names_[i]);
    }
    const char* names_[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved_[3];
};

TEST(ProgramResources, HoldsBothDialogTemplates) {
    const shell::ResourceBundle& bundle = res::ProgramResources();
    const shell::Resource* main = bundle.Find(ResourceType::Dialog, res::MainDialogId);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->data, &res::MainDialog);
    EXPECT_EQ(main->size, sizeof(ui::DialogTemplate));
    const shell::Resource* about = bundle.Find(ResourceType::Dialog, res::AboutDialogId);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(static_cast<const ui::DialogTemplate*>(about->data)->cx, 354);
    EXPECT_EQ(bundle.Find(ResourceType::Dialog, 103), nullptr);
}

TEST(ProgramResources, EveryTableBitmapIsEmbeddedAsA24BitBottomUpBmpOfItsSize) {
    const shell::ResourceBundle& bundle = res::ProgramResources();
    std::set<std::pair<int, int>> listed;
    for (const res::BitmapInfo& info : res::Bitmaps) {
        SCOPED_TRACE(std::to_string(info.id) + " " + std::string(info.role));
        EXPECT_TRUE(listed.insert({info.id, info.language}).second) << "listed twice";
        const shell::Resource* r = bundle.Find(ResourceType::Bitmap, info.id, info.language);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->language, info.language);
        std::optional<restest::BmpImage> image = restest::ReadBmp24(Bytes(*r));
        ASSERT_TRUE(image.has_value()) << "not an uncompressed 24-bit BMP";
        EXPECT_EQ(image->infoHeaderSize, 40u);
        EXPECT_EQ(image->width, info.width);
        EXPECT_EQ(image->height, info.height) << "bottom-up rows, exact height";
    }
    // Nothing embedded that the table does not know.
    for (const shell::Resource& r : bundle.All()) {
        if (r.type == ResourceType::Bitmap) {
            EXPECT_TRUE(listed.count({r.id, r.language})) << "unlisted bitmap " << r.id;
        }
    }
}

TEST(ProgramResources, EmbeddedBytesAreTheCommittedFiles) {
    std::filesystem::path source = PHRASEBOOK_SOURCE_DIR;
    int compared = 0;
    for (const shell::Resource& r : res::ProgramResources().All()) {
        if (r.type == ResourceType::Dialog) continue;
        std::string name = std::to_string(r.id);
        if (r.language != shell::LangNeutral) name += "-" + std::to_string(r.language);
        std::filesystem::path file = r.type == ResourceType::Icon
                                         ? source / "res/icons" / (name + ".ico")
                                         : source / "res/bitmaps" / (name + ".bmp");
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(bytes.size(), r.size) << file;
        EXPECT_EQ(bytes.compare(0, bytes.size(), static_cast<const char*>(r.data), r.size), 0)
            << file;
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(std::size(res::Bitmaps)) + 1);
}

TEST(ProgramResources, CloseBitmapFollowsTheUsersLanguage) {
    const shell::ResourceBundle& bundle = res::ProgramResources();
    auto width = [&](const shell::Resource* r) {
        return r ? restest::ReadBmp24(Bytes(*r)).value().width : 0;
    };
    EXPECT_EQ(width(bundle.Find(ResourceType::Bitmap, 141, shell::LangGerman)), 15);
    EXPECT_EQ(width(bundle.Find(ResourceType::Bitmap, 141, shell::LangEnglish)), 18);
    EXPECT_EQ(width(bundle.Find(ResourceType::Bitmap, 141, 1036)), 18) << "French: English";
    {
        LocaleGuard locale(nullptr, nullptr, "de_DE.UTF-8");
        EXPECT_EQ(width(bundle.Find(ResourceType::Bitmap, 141)), 15);
    }
    {
        LocaleGuard locale("en_GB.UTF-8", nullptr, "de_DE.UTF-8");
        EXPECT_EQ(width(bundle.Find(ResourceType::Bitmap, 141)), 18);
    }
    {
        LocaleGuard locale(nullptr, nullptr, nullptr);
        EXPECT_EQ(width(bundle.Find(ResourceType::Bitmap, 141)), 18);
    }
    // Bitmaps with one version are found in any language.
    EXPECT_NE(bundle.Find(ResourceType::Bitmap, 140, shell::LangGerman), nullptr);
}

TEST(ProgramResources, IconHasFourSizes) {
    const shell::Resource* icon =
        res::ProgramResources().Find(ResourceType::Icon, res::ProgramIcon);
    ASSERT_NE(icon, nullptr);
    std::span<const std::uint8_t> b = Bytes(*icon);
    ASSERT_GE(b.size(), 6u);
    EXPECT_EQ(b[0] | b[1] << 8, 0);  // reserved
    EXPECT_EQ(b[2] | b[3] << 8, 1);  // icon
    int count = b[4] | b[5] << 8;
    ASSERT_GE(b.size(), 6u + 16u * count);
    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* entry = b.data() + 6 + 16 * i;
        int w = entry[0] ? entry[0] : 256;
        int h = entry[1] ? entry[1] : 256;
        EXPECT_EQ(w, h);
        std::uint32_t size = entry[8] | entry[9] << 8 | entry[10] << 16 | entry[11] << 24;
        std::uint32_t offset = entry[12] | entry[13] << 8 | entry[14] << 16 | entry[15] << 24;
        EXPECT_LE(static_cast<std::size_t>(offset) + size, b.size());
        sizes.insert(w);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
}

}  // namespace
