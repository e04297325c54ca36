#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/gdi/bmp.h"
#include "platform/gdi/png.h"
#include "res/bitmaptable.h"
#include "res/dialogs.h"
#include "res/layout.h"
#include "res/preview.h"
#include "res/programresources.h"

namespace {

// The templates hold every control the tests name (the template tests check that).
const ui::DialogItemTemplate& Item(const ui::DialogTemplate& dialog, int id) {
    for (const ui::DialogItemTemplate& item : dialog.items)
        if (item.id == id) return item;
    return dialog.items.front();
}

TEST(ResourceLoading, EveryBitmapLoadsThroughTheGraphicsLayerAtItsSize) {
    for (const res::BitmapInfo& info : res::Bitmaps) {
        gdi::Bitmap bitmap = gdi::LoadBitmap(res::ProgramResources(), info.id, info.language);
        ASSERT_TRUE(bitmap) << info.id;
        EXPECT_EQ(bitmap.Width(), info.width) << info.id;
        EXPECT_EQ(bitmap.Height(), info.height) << info.id;
        EXPECT_FALSE(bitmap.IsMonochrome()) << info.id;
    }
    EXPECT_FALSE(gdi::LoadBitmap(res::ProgramResources(), 999, shell::LangEnglish));
}

// The pixels of `bitmap` that a control of rectangle r shows, compared with the composition.
void ExpectButtonShown(const gdi::Bitmap& composed, const gdi::Bitmap& bitmap,
                       const res::PixelRect& r, int id) {
    ASSERT_TRUE(bitmap) << id;
    int w = std::min(r.Width(), bitmap.Width());
    int h = std::min(r.Height(), bitmap.Height());
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (composed.GetPixel(r.left + x, r.top + y) != bitmap.GetPixel(x, y)) ++wrong;
    EXPECT_EQ(wrong, 0) << "control " << id;
}

TEST(Preview, MainWindowShowsEachVisibleButtonsNormalBitmapAtItsControl) {
    const shell::ResourceBundle& bundle = res::ProgramResources();
    gdi::Bitmap composed = res::ComposeMainWindow(bundle, shell::LangGerman);
    ASSERT_TRUE(composed);
    EXPECT_EQ(composed.Width(), 725);
    EXPECT_EQ(composed.Height(), 553);
    EXPECT_EQ(composed.GetPixel(0, 0), 0u);
    for (const res::ButtonSkin& skin : res::MainButtonSkins) {
        const ui::DialogItemTemplate& item = Item(res::MainDialog, skin.control);
        if (!(item.style & ui::WS_VISIBLE)) continue;
        ExpectButtonShown(composed, gdi::LoadBitmap(bundle, skin.normal, shell::LangGerman),
                          res::ItemPixels(item), skin.control);
    }
    // The German close bitmap is smaller than its control: the skin shows beside it.
    res::PixelRect close = res::ItemPixels(Item(res::MainDialog, 2));
    gdi::Bitmap skin = gdi::LoadBitmap(bundle, res::MainSkinBitmap);
    EXPECT_EQ(composed.GetPixel(close.left + 16, close.top + 15),
              skin.GetPixel(close.left + 16, close.top + 15));

    res::PixelRect list = res::ItemPixels(Item(res::MainDialog, 1002));
    res::PixelRect line = res::ItemPixels(Item(res::MainDialog, 1022));
    EXPECT_EQ(composed.GetPixel(list.left, list.top + 20), res::ListOutline);
    EXPECT_EQ(composed.GetPixel(list.right - 1, list.bottom - 30), res::ListOutline);
    EXPECT_EQ(composed.GetPixel(line.left + 40, line.bottom - 1), res::PronunciationOutline);
}

TEST(Preview, AboutBoxShowsTheCancelButton) {
    const shell::ResourceBundle& bundle = res::ProgramResources();
    gdi::Bitmap composed = res::ComposeAboutBox(bundle);
    ASSERT_TRUE(composed);
    EXPECT_EQ(composed.Width(), 496);
    EXPECT_EQ(composed.Height(), 412);
    ExpectButtonShown(composed, gdi::LoadBitmap(bundle, res::AboutCancelSkin.normal),
                      res::ItemPixels(Item(res::AboutDialog, 2)), 2);
}

TEST(Preview, MissingSkinGivesNoPicture) {
    const shell::Resource none[] = {
        {shell::ResourceType::Bitmap, 1, shell::LangNeutral, nullptr, 0}};
    shell::ResourceBundle empty(none);
    EXPECT_FALSE(res::ComposeMainWindow(empty, shell::LangEnglish));
    EXPECT_FALSE(res::ComposeAboutBox(empty));
}

TEST(Preview, ToolWritesThreePictures) {
    const char* bin = std::getenv("PHRASEBOOK_BIN_DIR");
    if (!bin || !std::filesystem::exists(std::filesystem::path(bin) / "respreview"))
        GTEST_SKIP() << "respreview not built";
    std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("respreview-test-" + std::to_string(getpid()));
    std::string command = std::string(bin) + "/respreview " + out.string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    gdi::Bitmap main = gdi::LoadPng((out / "main.png").string());
    gdi::Bitmap about = gdi::LoadPng((out / "about.png").string());
    gdi::Bitmap sheet = gdi::LoadPng((out / "sheet.png").string());
    EXPECT_TRUE(main && main.Width() == 725 && main.Height() == 553);
    EXPECT_TRUE(about && about.Width() == 496 && about.Height() == 412);
    EXPECT_TRUE(sheet && sheet.Width() > 725);
    std::filesystem::remove_all(out);

    EXPECT_NE(std::system((std::string(bin) + "/respreview 2> /dev/null").c_str()), 0)
        << "no folder given";
}

}  // namespace
