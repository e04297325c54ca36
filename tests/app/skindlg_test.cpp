// The main window on the headless backend: start-up, closing, the update-check timer,
// dragging, the shape, minimising and the catalogue text-file members.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "app/controlids.h"
#include "app/phraseapp.h"
#include "app/skindlg.h"
#include "controls/skinregion.h"
#include "controls/xskinbutton.h"
#include "platform/backend/headless/headlessbackend.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/icon.h"
#include "platform/ui/messagebox.h"
#include "res/bitmaptable.h"
#include "res/dialogs.h"
#include "res/programresources.h"
#include "runfolder.h"
#include "tests/support/recordingshell.h"

namespace {

using namespace ui;

// The main window with the icon-background erase of the minimised painting recorded.
class TestDlg : public CSkinDlg {
    UI_DECLARE_MESSAGE_MAP()
public:
    using CSkinDlg::CSkinDlg;
    LRESULT OnIconEraseBkgnd(WPARAM wParam, LPARAM) {
        ++iconErases;
        paintTarget = DCFromWParam(wParam)->CurrentBitmap();
        return 1;
    }

    int iconErases = 0;
    gdi::Bitmap paintTarget;  // the window's framebuffer, as the paint DC draws into it
};

const MessageMap TestDlg::messageMap{&CSkinDlg::messageMap,
                                     {OnMessage<&TestDlg::OnIconEraseBkgnd>(WM_ICONERASEBKGND)}};

// The message boxes are recorded by the shell, unless a test hands the real one back.
struct Fixture {
    apptest::RunFolder folder;
    backend::HeadlessBackend backend;
    Application app{backend};
    testing_support::RecordingShell shell;
    Fixture() {
        CPhraseApp::Prepare(app);
        app.SetShell(&shell);
    }
    std::vector<std::u16string> Messages() const {
        std::vector<std::u16string> texts;
        for (const auto& message : shell.messages)
            texts.push_back(message.text);
        return texts;
    }
};

std::vector<char> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

gdi::Bitmap Skin() {
    return gdi::LoadBitmap(res::ProgramResources(), res::MainSkinBitmap);
}

// A client point of the bare skin: inside the window's shape and under no control.
POINT BareSkinPoint(const CSkinDlg& dlg) {
    gdi::Region shape;
    dlg.GetWindowRgn(shape);
    for (int y = 100; y < 500; y += 7) {
        for (int x = 100; x < 600; x += 7) {
            if (shape.Contains(x, y) && dlg.ChildWindowFromPoint(POINT{x, y}) == dlg.GetSafeHwnd())
                return POINT{x, y};
        }
    }
    return POINT{-1, -1};
}

TEST(MainWindow, StartUpShapesTheWindowOpensTheCatalogueAndRebuildsOnlyMissingFiles) {
    Fixture f;
    f.folder.WriteTextFiles();
    // A pronunciation file of our own: present files are kept as they are.
    {
        std::ofstream out(f.folder.Path() / "Chinese.dat", std::ios::binary);
        const std::string record(140, 'x');
        for (int i = 0; i < 782; ++i)
            out << record;
    }
    const std::vector<char> ownPronunciations = FileBytes(f.folder.Path() / "Chinese.dat");

    TestDlg dlg(f.app);
    f.backend.WhenIdle([&] {
        const HWND hwnd = dlg.GetSafeHwnd();
        EXPECT_EQ(dlg.GetWindowText(), u"Tolkara_German");
        EXPECT_EQ(f.backend.State(hwnd)->title, u"Tolkara_German");
        EXPECT_TRUE(f.backend.State(hwnd)->visible);

        // The region is the skin's, handed to the window (and on to the window system).
        gdi::Region shape;
        EXPECT_NE(dlg.GetWindowRgn(shape), gdi::RGN_ERROR);
        EXPECT_EQ(shape, *RegionFromBitmap(Skin(), 0, false, SkinToleranceExact));
        ASSERT_TRUE(f.backend.State(hwnd)->shape);
        EXPECT_EQ(*f.backend.State(hwnd)->shape, shape);

        // The catalogue: "English.dat" rebuilt from its text file, "Chinese.dat" kept.
        EXPECT_EQ(std::filesystem::file_size(f.folder.Path() / "English.dat"), 782u * 116u);
        EXPECT_EQ(FileBytes(f.folder.Path() / "Chinese.dat"), ownPronunciations);
        EXPECT_TRUE(std::filesystem::exists(f.folder.Path() / "favorite.dat"));
        EXPECT_TRUE(f.Messages().empty());

        // The rest of the start-up state.
        Window& list = *dlg.GetDlgItemWindow(ids::PhraseList);
        EXPECT_EQ(list.SendMessage(LB_GETHORIZONTALEXTENT), 400);
        // Row 0's clip is cued: the device is open, nothing written.
        ASSERT_FALSE(f.backend.Audio().Events().empty());
        EXPECT_EQ(f.backend.Audio().Events().front().kind,
                  media::CaptureWaveOutDriver::EventKind::Open);
        EXPECT_TRUE(f.backend.Audio().Writes().empty());
        EXPECT_TRUE(dlg.GetIcon(true));
        EXPECT_TRUE(dlg.GetIcon(false));
        EXPECT_TRUE(f.backend.State(hwnd)->icon);
        // Basic / "All" with row 0 selected and its pronunciation line shown.
        EXPECT_EQ(dlg.GetDlgItemWindow(ids::SubcategoryCombo)->SendMessage(CB_GETCURSEL), 0);
        EXPECT_EQ(list.SendMessage(LB_GETCURSEL), 0);
        EXPECT_EQ(list.SendMessage(LB_GETCOUNT), 155);
        // Phrase 1's line is read from the kept file: its record without the first unit (a
        // byte-order mark) and the last.
        EXPECT_EQ(dlg.GetDlgItemText(ids::PronunciationLine), std::u16string(68, u'\x7878'));
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// The category buttons as a user (or a screen reader) names them: caption and tooltip.
TEST(MainWindow, EachCategoryButtonCarriesItsCaptionAndTooltip) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    const std::array<std::tuple<int, std::u16string_view, std::u16string_view>, 10> buttons{{
        {ids::BasicButton, u"Basic", u"General"},
        {ids::TravelButton, u"Travel", u"Transportation"},
        {ids::FoodButton, u"Food", u"Restaurant"},
        {ids::LodgingButton, u"Lodging", u"Hotel"},
        {ids::BusinessButton, u"Business", u"Business"},
        {ids::SightButton, u"Sight", u"Specialty"},
        {ids::SocialButton, u"Social", u"Event"},
        {ids::ShopingButton, u"Shopping", u"Shopping"},
        {ids::EmergencyButton, u"Emergency", u"Urgent"},
        {ids::QuestionButton, u"Question", u"FAQ"},
    }};
    f.backend.WhenIdle([&] {
        for (const auto& [id, caption, tip] : buttons) {
            auto* button = dynamic_cast<CXSkinButton*>(dlg.GetDlgItemWindow(id));
            ASSERT_NE(button, nullptr) << id;
            EXPECT_EQ(button->GetWindowText(), caption);
            ASSERT_NE(button->Tip(), nullptr) << std::string(caption.begin(), caption.end());
            EXPECT_EQ(button->Tip()->GetText(*button), tip);
        }
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, EnterLeavesTheWindowOpenEscapeAndCloseRequestsEndIt) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    f.backend.WhenIdle([&] { f.backend.Key(VK_RETURN); });
    f.backend.WhenIdle([&] {
        EXPECT_TRUE(dlg.IsWindow());
        EXPECT_TRUE(dlg.IsWindowVisible());
        // Enter on a focused control does not close it either.
        dlg.GetDlgItemWindow(ids::PhraseList)->SetFocus();
        f.backend.Key(VK_RETURN);
    });
    f.backend.WhenIdle([&] {
        EXPECT_TRUE(dlg.IsWindowVisible());
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.IsWindow());

    TestDlg again(f.app);
    f.backend.WhenIdle([&] { f.backend.CloseRequest(again.GetSafeHwnd()); });
    EXPECT_EQ(again.DoModal(), IDCANCEL);
}

TEST(MainWindow, TimerHundredRunsTheHandOffOnceAfterOneSecond) {
    Fixture f;
    f.folder.WriteTextFiles();
    // The hand-off writes its request into the temporary folder: one of the test's own.
    const std::filesystem::path temp = f.folder.Path() / "tmp";
    std::filesystem::create_directory(temp);
    const std::string oldTemp = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", temp.c_str(), 1);
    const auto handOffs = [&] {
        int requests = 0;
        for (const auto& entry : std::filesystem::directory_iterator(temp))
            requests += entry.path().filename().string().starts_with("CUAD") ? 1 : 0;
        return requests;
    };
    TestDlg dlg(f.app);
    f.backend.WhenIdle([&] { f.backend.Advance(999); });
    f.backend.WhenIdle([&] {
        EXPECT_EQ(handOffs(), 0);
        f.backend.Advance(1);
    });
    f.backend.WhenIdle([&] {
        EXPECT_EQ(handOffs(), 1);
        f.backend.Advance(5000);  // the timer is stopped: no more ticks
    });
    f.backend.WhenIdle([&] {
        EXPECT_EQ(handOffs(), 1);
        // A late tick of 100 and ticks of other timers do not run it again.
        dlg.SendMessage(WM_TIMER, CSkinDlg::UpdateCheckTimer);
        dlg.SendMessage(WM_TIMER, 7);
        EXPECT_EQ(handOffs(), 1);
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    if (oldTemp.empty()) {
        unsetenv("TMPDIR");
    } else {
        setenv("TMPDIR", oldTemp.c_str(), 1);
    }
}

TEST(MainWindow, APressOnBareSkinDragsTheWindow) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    RECT before{};
    POINT grab{};
    f.backend.WhenIdle([&] {
        dlg.GetWindowRect(before);
        grab = BareSkinPoint(dlg);
        ASSERT_NE(grab.x, -1);
        EXPECT_EQ(dlg.SendMessage(WM_NCHITTEST, 0, PointToLParam(grab)), HTCAPTION);
        f.backend.MouseMove(dlg.GetSafeHwnd(), grab);
        f.backend.MouseDown(dlg.GetSafeHwnd(), grab);
        f.backend.MouseMove(dlg.GetSafeHwnd(), POINT{grab.x + 40, grab.y + 25});
        f.backend.MouseUp(dlg.GetSafeHwnd(), POINT{grab.x + 40, grab.y + 25});
    });
    f.backend.WhenIdle([&] {
        RECT after;
        dlg.GetWindowRect(after);
        EXPECT_EQ(after.left, before.left + 40);
        EXPECT_EQ(after.top, before.top + 25);
        EXPECT_EQ(after.Width(), before.Width());
        EXPECT_EQ(f.backend.State(dlg.GetSafeHwnd())->rect, after);
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, PureBlackSkinPixelsLieOutsideTheWindow) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    const gdi::Bitmap skin = Skin();
    ASSERT_TRUE(skin);
    f.backend.WhenIdle([&] {
        gdi::Region shape;
        ASSERT_NE(dlg.GetWindowRgn(shape), gdi::RGN_ERROR);
        RECT client;
        dlg.GetClientRect(client);
        const gdi::Bitmap shot = f.backend.Screenshot(dlg.GetSafeHwnd());
        ASSERT_TRUE(shot);
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < client.Height(); ++y) {
            for (int x = 0; x < client.Width(); ++x) {
                const gdi::COLORREF pixel = skin.GetPixel(x, y);
                const bool black = pixel == 0 || pixel == gdi::CLR_INVALID;
                ASSERT_EQ(shape.Contains(x, y), !black) << x << "," << y;
                (black ? outside : inside) += 1;
                // Where no control lies, the window shows the skin itself, and black outside.
                if (dlg.ChildWindowFromPoint(POINT{x, y}) == dlg.GetSafeHwnd() || black) {
                    ASSERT_EQ(shot.GetPixel(x, y), black ? 0 : pixel) << x << "," << y;
                }
            }
        }
        EXPECT_GT(inside, 0);
        EXPECT_GT(outside, 0);
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, MinimiseButtonMinimisesAndTheIconStandsForTheWindow) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    f.backend.WhenIdle([&] {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ids::MinimiseButton, BN_CLICKED),
                        static_cast<LPARAM>(dlg.GetDlgItem(ids::MinimiseButton).id));
    });
    f.backend.WhenIdle([&] {
        EXPECT_TRUE(dlg.IsIconic());
        EXPECT_TRUE(f.backend.State(dlg.GetSafeHwnd())->minimized);
        // The icon dragged for it is icon 128.
        const auto* dragged = reinterpret_cast<const gdi::Icon*>(dlg.SendMessage(WM_QUERYDRAGICON));
        ASSERT_NE(dragged, nullptr);
        EXPECT_EQ(
            dragged->Colour().GetPixel(16, 16),
            gdi::LoadIcon(res::ProgramResources(), res::ProgramIcon).Colour().GetPixel(16, 16));
        // Painted while minimised: the icon's background erased, then icon 128, centred.
        dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        dlg.SendMessage(WM_PAINT);
        EXPECT_EQ(dlg.iconErases, 1);
        const gdi::Bitmap shot = dlg.paintTarget;
        ASSERT_TRUE(shot);
        RECT client;
        dlg.GetClientRect(client);
        const int x = (client.Width() - 32 + 1) / 2;
        const int y = (client.Height() - 32 + 1) / 2;
        const gdi::Icon icon = gdi::LoadIcon(res::ProgramResources(), res::ProgramIcon);
        int same = 0;
        int opaque = 0;
        for (int iy = 0; iy < 32; ++iy) {
            for (int ix = 0; ix < 32; ++ix) {
                if (icon.Mask().GetPixel(ix, iy) != 0) continue;  // transparent there
                ++opaque;
                if (shot.GetPixel(x + ix, y + iy) == icon.Colour().GetPixel(ix, iy)) ++same;
            }
        }
        EXPECT_GT(opaque, 0);
        EXPECT_EQ(same, opaque);
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, WithoutTheSkinBitmapTheWindowStaysRectangularAndStillRuns) {
    Fixture f;
    f.folder.WriteTextFiles();
    // Resources with the template only.
    const std::array<shell::Resource, 1> onlyTemplate{{
        {shell::ResourceType::Dialog, res::MainDialogId, shell::LangNeutral, &res::MainDialog,
         sizeof res::MainDialog},
    }};
    const shell::ResourceBundle bundle(onlyTemplate);
    f.app.SetResources(&bundle);
    TestDlg dlg(f.app);
    f.backend.WhenIdle([&] {
        gdi::Region shape;
        EXPECT_EQ(dlg.GetWindowRgn(shape), gdi::RGN_ERROR);
        EXPECT_FALSE(f.backend.State(dlg.GetSafeHwnd())->shape);
        // The phrases are listed all the same.
        EXPECT_EQ(dlg.GetDlgItemWindow(ids::PhraseList)->SendMessage(LB_GETCOUNT), 155);
        // The default erase painted the client area with the dialog colour.
        const gdi::Bitmap shot = f.backend.Screenshot(dlg.GetSafeHwnd());
        ASSERT_TRUE(shot);
        const POINT bare = POINT{200, 30};
        ASSERT_EQ(dlg.ChildWindowFromPoint(bare), dlg.GetSafeHwnd());
        EXPECT_NE(shot.GetPixel(bare.x, bare.y), 0u);
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, MissingFilesLeaveTheWindowRunningAfterOneMessage) {
    Fixture f;  // an empty run folder
    TestDlg dlg(f.app);
    f.backend.WhenIdle([&] {
        EXPECT_FALSE(std::filesystem::exists(f.folder.Path() / "English.dat"));
        EXPECT_FALSE(std::filesystem::exists(f.folder.Path() / "Chinese.dat"));
        EXPECT_TRUE(std::filesystem::exists(f.folder.Path() / "favorite.dat"));
        EXPECT_EQ(f.Messages(), (std::vector<std::u16string>{u"Can't read map file"}));
        EXPECT_EQ(dlg.GetDlgItemWindow(ids::PhraseList)->SendMessage(LB_GETCOUNT), 0);
        EXPECT_EQ(dlg.GetDlgItemText(ids::PronunciationLine), u"");
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, ASearchWithoutTheEnglishRecordsSaysSoAndSpeaksNothing) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    const auto command = [&](int id) {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), HandleToParam(dlg.GetDlgItem(id)));
    };
    f.backend.WhenIdle([&] {
        std::filesystem::remove(f.folder.Path() / "English.dat");
        f.backend.Audio().ClearEvents();
        command(ids::SearchViewButton);
        dlg.GetDlgItemWindow(ids::KeywordEdit)->SetWindowText(u"Phrase 7");
        command(ids::RunSearchButton);
        // The keyword map still lists the rows; none of them resolves to a phrase.
        EXPECT_GT(dlg.GetDlgItemWindow(ids::PhraseList)->SendMessage(LB_GETCOUNT), 0);
        EXPECT_EQ(dlg.GetDlgItemText(ids::PronunciationLine), u"");
        command(ids::SoundButton);
        EXPECT_TRUE(f.backend.Audio().Writes().empty());
        EXPECT_EQ(f.Messages(), (std::vector<std::u16string>{u"Can't read file"}));
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, TheCloseButtonEndsTheWindowAndTheMinimiseButtonMinimisesIt) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    auto middle = [&](int id) {
        RECT r;
        dlg.GetDlgItemWindow(id)->GetClientRect(r);
        return POINT{r.Width() / 2, r.Height() / 2};
    };
    f.backend.WhenIdle([&] {
        const HWND minimise = dlg.GetDlgItem(ids::MinimiseButton);
        f.backend.Click(minimise, middle(ids::MinimiseButton));
    });
    f.backend.WhenIdle([&] {
        EXPECT_TRUE(dlg.IsIconic());
        f.backend.Event([&] {
            InputEvent e;
            e.type = InputEvent::Type::Restored;
            e.window = dlg.GetSafeHwnd();
            return e;
        }());
    });
    f.backend.WhenIdle([&] {
        EXPECT_FALSE(dlg.IsIconic());
        const HWND close = dlg.GetDlgItem(ids::CloseButton);
        f.backend.Click(close, middle(ids::CloseButton));
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MainWindow, MessagesAppearInAMessageBoxCaptionedWithTheProgramsName) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    f.app.SetShell(nullptr);  // the real message boxes
    std::u16string caption;
    std::u16string text;
    bool ownerDisabled = false;
    f.backend.WhenIdle([&] {
        std::filesystem::remove(f.folder.Path() / "English.dat");
        // The box runs its own loop; the next step finds it there.
        f.backend.WhenIdle([&] {
            Window* box = Window::FromHandle(f.app.GetActiveWindow());
            ASSERT_NE(box, nullptr);
            ASSERT_NE(box, &dlg);
            caption = box->GetWindowText();
            text = box->GetDlgItemText(0xFFFF);
            ownerDisabled = !dlg.IsWindowEnabled();
            f.backend.Key(VK_RETURN);
        });
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ids::SearchViewButton, BN_CLICKED),
                        HandleToParam(dlg.GetDlgItem(ids::SearchViewButton)));
        dlg.GetDlgItemWindow(ids::KeywordEdit)->SetWindowText(u"Phrase");
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ids::RunSearchButton, BN_CLICKED),
                        HandleToParam(dlg.GetDlgItem(ids::RunSearchButton)));
        EXPECT_TRUE(dlg.IsWindowEnabled());
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(caption, ExecutableBaseName());
    EXPECT_EQ(text, u"Can't read file");
    EXPECT_TRUE(ownerDisabled);
}

TEST(MainWindow, PlaysThroughTheBackendAndNeverStartsSdl) {
    Fixture f;
    f.folder.WriteTextFiles();
    TestDlg dlg(f.app);
    f.backend.WhenIdle([&] { f.backend.Key(VK_SPACE); });
    f.backend.WhenIdle([&] { f.backend.Key(VK_ESCAPE); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // Row 0's clip, spoken in one write to the backend's device.
    const std::vector<std::vector<std::uint8_t>> writes = f.backend.Audio().Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_GT(writes[0].size(), 0u);
    EXPECT_EQ(f.backend.Audio().Events().front().format.nSamplesPerSec, 44100u);
    EXPECT_EQ(SDL_WasInit(0), 0u);
}

TEST(PhraseApp, RunsTheMainWindowAndEndsWithExitCodeZeroOnEscape) {
    apptest::RunFolder folder;
    folder.WriteTextFiles();
    backend::HeadlessBackend backend;
    CPhraseApp app(backend);
    EXPECT_TRUE(app.AppName().empty());  // message boxes carry the executable's name
    bool seen = false;
    backend.WhenIdle([&] {
        Window* main = app.GetMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_NE(dynamic_cast<CSkinDlg*>(main), nullptr);
        EXPECT_EQ(main->GetWindowText(), u"Tolkara_German");
        seen = true;
        backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(seen);
    EXPECT_EQ(app.GetMainWindow(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "English.dat"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Chinese.dat"));
}

}  // namespace
