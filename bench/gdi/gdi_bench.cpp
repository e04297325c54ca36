// Speed of the graphics layer where the window meets it: the window region from the
// 725 × 553 skin (target: under 2 ms), a full-skin SRCCOPY blit (under 0.5 ms) and one
// 40-character line of 15-pixel text with its glyphs cached (under 0.2 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "controls/skinregion.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"

namespace {

constexpr int SkinWidth = 725;
constexpr int SkinHeight = 553;

// A skin like the main window's: a black outside around a rounded, wavy outline, a textured
// inside that never is pure black, and a few holes.
gdi::Bitmap MakeSkin() {
    gdi::Bitmap skin = gdi::CreateDIBSection32(SkinWidth, SkinHeight);
    std::mt19937 rng(5);
    for (int y = 0; y < SkinHeight; ++y) {
        const double wave = 12 * std::sin(y / 23.0);
        const int inset = 20 + static_cast<int>(wave);
        for (int x = 0; x < SkinWidth; ++x) {
            double dx = std::max(0.0, std::abs(x - SkinWidth / 2.0) - (SkinWidth / 2.0 - 60));
            double dy = std::max(0.0, std::abs(y - SkinHeight / 2.0) - (SkinHeight / 2.0 - 60));
            bool outside = x < inset || x >= SkinWidth - inset || std::hypot(dx, dy) > 50;
            bool hole =
                std::hypot(x - 600.0, y - 80.0) < 15 || (y > 300 && y < 310 && x > 40 && x < 45);
            gdi::COLORREF c =
                outside || hole ? 0 : gdi::RGB(1 + rng() % 250, rng() % 256, rng() % 256);
            skin.SetPixel(x, y, c);
        }
    }
    return skin;
}

void RegionFromSkin(benchmark::State& state) {
    gdi::Bitmap skin = MakeSkin();
    std::size_t rects = 0;
    for (auto _ : state) {
        auto region = RegionFromBitmap(skin, 0, false, SkinToleranceExact);
        rects = region ? region->Rects().size() : 0;
        benchmark::DoNotOptimize(region);
    }
    state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(RegionFromSkin)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void FullSkinBlit(benchmark::State& state) {
    gdi::Bitmap skin = MakeSkin();
    gdi::Bitmap frame = gdi::CreateDIBSection32(SkinWidth, -SkinHeight);
    gdi::DC target = gdi::DC::ForSurface(frame, gdi::POINT{});
    gdi::DC memory = gdi::CreateCompatibleDC(&target);
    memory.SelectObject(skin);
    for (auto _ : state) {
        gdi::BitBlt(target, 0, 0, SkinWidth, SkinHeight, &memory, 0, 0, gdi::SRCCOPY);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FullSkinBlit)->Unit(benchmark::kMicrosecond);

void TextLine(benchmark::State& state) {
    gdi::Bitmap frame = gdi::CreateDIBSection32(600, -40);
    gdi::DC target = gdi::DC::ForSurface(frame, gdi::POINT{});
    gdi::Font font = gdi::CreateFontSimple(-15, gdi::FW_BOLD, u"Arial");
    target.SelectObject(font);
    target.SetBkMode(gdi::TRANSPARENT);
    const std::u16string line = u"Entschuldigung, wo ist der Bahnhof bitte";  // 40 characters
    gdi::TextOut(target, 0, 0, line);  // fills the glyph cache
    for (auto _ : state) {
        gdi::TextOut(target, 2, 10, line);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TextLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
