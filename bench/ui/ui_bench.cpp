// The window framework's hot paths on the headless backend: the update pass of a window the
// size of the main window with as many controls, one control's repaint, message dispatch
// through chained tables, and routing one pointer move.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/backend/headless/headlessbackend.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/brush.h"
#include "platform/ui/window.h"

namespace {

using namespace ui;

class Filled : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    gdi::Brush brush = gdi::CreateSolidBrush(gdi::RGB(30, 90, 160));
    LRESULT OnEraseBkgnd(WPARAM w, LPARAM) {
        RECT r;
        GetClientRect(r);
        gdi::FillRect(*DCFromWParam(w), r, brush);
        return 1;
    }
    LRESULT OnUser(WPARAM w, LPARAM) { return static_cast<LRESULT>(w + 1); }
};

const MessageMap Filled::messageMap{&Window::messageMap,
                                    {
                                        OnMessage<&Filled::OnEraseBkgnd>(WM_ERASEBKGND),
                                        OnMessage<&Filled::OnUser>(WM_USER),
                                    }};

class Derived : public Filled {
    UI_DECLARE_MESSAGE_MAP()
public:
    LRESULT OnOther(WPARAM, LPARAM) { return 0; }
};

const MessageMap Derived::messageMap{&Filled::messageMap,
                                     {
                                         OnMessage<&Derived::OnOther>(WM_USER + 1),
                                         OnMessage<&Derived::OnOther>(WM_USER + 2),
                                         OnMessage<&Derived::OnOther>(WM_USER + 3),
                                         OnMessage<&Derived::OnOther>(WM_USER + 4),
                                     }};

// A 684 × 559 window with 30 controls in a grid, like the main window.
struct Scene {
    backend::HeadlessBackend backend;
    Application app{backend};
    Filled top;
    std::vector<std::unique_ptr<Derived>> controls;
    Scene() {
        top.Create(app, u"Bench", u"", WS_POPUP | WS_VISIBLE, RECT{0, 0, 684, 559}, nullptr, 0);
        for (int i = 0; i < 30; ++i) {
            auto c = std::make_unique<Derived>();
            const int x = 20 + (i % 5) * 130;
            const int y = 20 + (i / 5) * 85;
            c->Create(app, u"Bench", u"", WS_CHILD | WS_VISIBLE, RECT{x, y, x + 120, y + 30},
                      top.GetSafeHwnd(), 1000 + i);
            controls.push_back(std::move(c));
        }
        app.PumpMessages();
    }
};

void BM_FullRepaint(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        s.top.Invalidate(true);
        s.app.UpdateAllWindows();
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_OneControlRepaint(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        s.controls[7]->Invalidate(true);
        s.app.UpdateAllWindows();
    }
}
BENCHMARK(BM_OneControlRepaint)->Unit(benchmark::kMicrosecond);

void BM_SendThroughChainedTables(benchmark::State& state) {
    Scene s;
    Derived& c = *s.controls[0];
    WPARAM w = 0;
    for (auto _ : state) {
        w = static_cast<WPARAM>(c.SendMessage(WM_USER, w));
        benchmark::DoNotOptimize(w);
    }
}
BENCHMARK(BM_SendThroughChainedTables);

void BM_PointerMove(benchmark::State& state) {
    Scene s;
    int x = 0;
    for (auto _ : state) {
        s.backend.MouseMove(s.top.GetSafeHwnd(), POINT{x, 300});
        s.app.PumpMessages();
        x = (x + 7) % 684;
    }
}
BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
