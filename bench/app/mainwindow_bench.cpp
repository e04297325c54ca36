// The main window's interactive paths on the headless backend with the bundled phrasebook
// (build/run/, prepared by "make data"): a row click to the repainted pronunciation line with
// the clip cued, a double click to the buffer handed to the device, a category switch and the
// switch to the search view, Tab, and what a screen reader costs a turn of the loop. Each
// measures from the input event to the presented frame (or the device write), through the
// real message loop.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/accessibility.h"
#include "app/phraseapp.h"
#include "app/skindlg.h"
#include "platform/backend/headless/headlessbackend.h"
#include "platform/media/sdlwaveout.h"
#include "res/controlids.h"
#include "tests/support/recordingshell.h"
#include "tests/support/runfolder.h"

namespace {

using Clock = std::chrono::steady_clock;

// A fresh run folder with the bundled files linked in, made the current directory while the
// object lives.
class BundleCopy {
public:
    explicit BundleCopy(const std::filesystem::path& bundled)
        : previous_(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tolkara-bench-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        for (const char* name :
             {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat"})
            std::filesystem::create_symlink(bundled / name, path_ / name);
        std::filesystem::current_path(path_);
    }
    ~BundleCopy() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    BundleCopy(const BundleCopy&) = delete;
    BundleCopy& operator=(const BundleCopy&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Runs body inside the main window's modal loop, once the window has started, then closes it.
// False (and the benchmark skipped) when the bundled phrasebook is absent.
bool InMainWindow(
    benchmark::State& state,
    const std::function<void(backend::HeadlessBackend&, ui::Application&, CSkinDlg&)>& body) {
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) {
        state.SkipWithError("the bundled phrasebook is not prepared: run `make data` first");
        return false;
    }
    BundleCopy folder(bundled);
    backend::HeadlessBackend backend;
    ui::Application app(backend);
    testing_support::RecordingShell shell;
    CPhraseApp::Prepare(app);
    app.SetShell(&shell);
    CSkinDlg dlg(app);
    backend.WhenIdle([&] {
        body(backend, app, dlg);
        backend.Key(ui::VK_ESCAPE);
    });
    dlg.DoModal();
    return true;
}

// The phrase list, as any window sees it.
ui::Window& List(const CSkinDlg& dlg) {
    return *dlg.GetDlgItemWindow(ids::PhraseList);
}

ui::POINT RowCentre(const CSkinDlg& dlg, int row) {
    const int h = static_cast<int>(List(dlg).SendMessage(ui::LB_GETITEMHEIGHT));
    return {120, 1 + row * h + h / 2};
}

ui::POINT ControlCentre(const CSkinDlg& dlg, int id) {
    ui::RECT r;
    dlg.GetDlgItemWindow(id)->GetClientRect(r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A click on row 1, 2, 1, … of Basic: the phrase resolved, its clip fetched and cued, the
// pronunciation line repainted and presented.
void BM_RowSelectionToRepaintedLine(benchmark::State& state) {
    InMainWindow(state, [&](backend::HeadlessBackend& backend, ui::Application& app,
                            CSkinDlg& dlg) {
        const ui::HWND list = List(dlg).GetSafeHwnd();
        int row = 1;
        for (auto _ : state) {
            backend.Advance(1000);  // never a double click
            backend.Audio().ClearEvents();
            const auto start = Clock::now();
            backend.Click(list, RowCentre(dlg, row));
            app.PumpMessages();
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
            if (List(dlg).SendMessage(ui::LB_GETCURSEL) != row || backend.Audio().Events().empty())
                state.SkipWithError("the row was not selected and cued");
            row = 3 - row;
        }
    });
}
BENCHMARK(BM_RowSelectionToRepaintedLine)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A double click on row 1, 2, 1, … of Basic until the device holds the decoded clip: the
// selection, the cue and the play. SDL's output then takes the sound with its next chunk, up to
// one device buffer later (media::DeviceBufferFrames); `to_first_sample_ms` adds that buffer to
// the median. Target: click to first sample under 25 ms.
void BM_DoubleClickToDeviceWrite(benchmark::State& state) {
    double deviceBufferMs = 0;
    std::vector<double> times;
    InMainWindow(
        state, [&](backend::HeadlessBackend& backend, ui::Application& app, CSkinDlg& dlg) {
            const ui::HWND list = List(dlg).GetSafeHwnd();
            // The rate the device was opened at, by the start-up's cue.
            std::uint32_t openedRate = 0;
            for (const auto& e : backend.Audio().Events())
                if (e.kind == media::CaptureWaveOutDriver::EventKind::Open)
                    openedRate = e.format.nSamplesPerSec;
            int row = 1;
            for (auto _ : state) {
                backend.Advance(1000);
                backend.Audio().ClearEvents();
                const auto start = Clock::now();
                backend.Click(list, RowCentre(dlg, row));
                backend.Click(list, RowCentre(dlg, row));
                app.PumpMessages();
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                state.SetIterationTime(seconds);
                times.push_back(seconds * 1000);
                if (backend.Audio().Writes().size() != 1) state.SkipWithError("no single write");
                row = 3 - row;
            }
            const auto rate = openedRate;
            if (rate > 0) deviceBufferMs = media::DeviceBufferFrames(rate) * 1000.0 / rate;
        });
    std::sort(times.begin(), times.end());
    const double median = times.empty() ? 0 : times[times.size() / 2];
    state.counters["device_buffer_ms"] = deviceBufferMs;
    state.counters["to_first_sample_ms"] = median + deviceBufferMs;
}
BENCHMARK(BM_DoubleClickToDeviceWrite)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Travel, Basic, Travel, …: the view, the combo's entries, the category's list, its first
// phrase cued and the window repainted.
void BM_CategorySwitch(benchmark::State& state) {
    InMainWindow(
        state, [&](backend::HeadlessBackend& backend, ui::Application& app, CSkinDlg& dlg) {
            bool travel = true;
            for (auto _ : state) {
                backend.Advance(1000);
                const int id = travel ? ids::TravelButton : ids::BasicButton;
                const auto start = Clock::now();
                backend.Click(dlg.GetDlgItem(id), ControlCentre(dlg, id));
                app.PumpMessages();
                state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
                if (List(dlg).SendMessage(ui::LB_GETCOUNT) != (travel ? 119 : 96))
                    state.SkipWithError("no switch");
                travel = !travel;
            }
        });
}
BENCHMARK(BM_CategorySwitch)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// From the Basic list to the empty search view (timed), then back to Basic (not timed).
void BM_SearchViewSwitch(benchmark::State& state) {
    InMainWindow(state, [&](backend::HeadlessBackend& backend, ui::Application& app,
                            CSkinDlg& dlg) {
        for (auto _ : state) {
            backend.Advance(1000);
            const auto start = Clock::now();
            backend.Click(dlg.GetDlgItem(ids::SearchViewButton),
                          ControlCentre(dlg, ids::SearchViewButton));
            app.PumpMessages();
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
            if (List(dlg).SendMessage(ui::LB_GETCOUNT) != 0) state.SkipWithError("no search view");
            backend.Advance(1000);
            backend.Click(dlg.GetDlgItem(ids::BasicButton), ControlCentre(dlg, ids::BasicButton));
            app.PumpMessages();
        }
    });
}
BENCHMARK(BM_SearchViewSwitch)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

// What the accessibility bridge reads at each turn of the loop while a screen reader is
// attached: every control of the main window described, the list's rows included, in reading
// order. The loop turns at most 100 times a second when idle. Target: under 0.5 ms a turn
// (5 % of one core).
void BM_AccessibilityTurn(benchmark::State& state) {
    InMainWindow(state, [&](backend::HeadlessBackend&, ui::Application& app, CSkinDlg& dlg) {
        std::size_t rows = 0;
        for (auto _ : state) {
            rows = 0;
            for (const ui::HWND control :
                 a11y::ReadingOrder(app, dlg.GetSafeHwnd(), DescribeProgramWindow)) {
                const a11y::Description d = a11y::Describe(app, control, DescribeProgramWindow);
                rows += d.rows.size();
                benchmark::DoNotOptimize(d);
            }
        }
        state.counters["rows"] = static_cast<double>(rows);
    });
}
BENCHMARK(BM_AccessibilityTurn)->Unit(benchmark::kMicrosecond);

// Tab from one control to the next in reading order, to the focus moved.
void BM_TabToNextControl(benchmark::State& state) {
    InMainWindow(state, [&](backend::HeadlessBackend& backend, ui::Application& app, CSkinDlg&) {
        for (auto _ : state) {
            const ui::HWND before = app.GetFocus();
            backend.Key(ui::VK_TAB);
            app.PumpMessages();
            if (app.GetFocus() == before) state.SkipWithError("Tab did not move the focus");
        }
    });
}
BENCHMARK(BM_TabToNextControl)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
