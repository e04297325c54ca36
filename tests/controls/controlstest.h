// Shared pieces of the skinned control tests: the standard control fixture with the program's
// resources, the faces a control shows on the screen, and screenshots for a person to look at
// (build/screenshots/controls, never compared byte for byte).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/gdi/bmp.h"
#include "res/programresources.h"
#include "tests/platform/ui_controls/controltest.h"

namespace controlstest {

using namespace controltest;

struct SkinFixture : Fixture {
    explicit SkinFixture(RECT rect = {100, 100, 500, 400}) : Fixture(rect) {
        app.SetResources(&res::ProgramResources());
    }
    static gdi::Bitmap Art(int id) { return gdi::LoadBitmap(res::ProgramResources(), id); }

    // Whether the control's area on the screen, from its client point `at` on, holds exactly
    // the pixels of `picture` (or of its part from `from`, `size` pixels).
    bool Shows(const Window& control, const gdi::Bitmap& picture, POINT at = {0, 0},
               POINT from = {0, 0}, SIZE size = {-1, -1}) {
        app.UpdateAllWindows();
        const gdi::Bitmap shot = backend.Screenshot(Top());
        const int w = size.cx < 0 ? picture.Width() : size.cx;
        const int h = size.cy < 0 ? picture.Height() : size.cy;
        const POINT origin = At(control, at);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if ((shot.GetPixel(origin.x + x, origin.y + y) & 0xFFFFFF) !=
                    (picture.GetPixel(from.x + x, from.y + y) & 0xFFFFFF))
                    return false;
            }
        }
        return true;
    }
    // Whether every pixel of the control's client rectangle `r` is `colour`.
    bool Filled(const Window& control, RECT r, gdi::COLORREF colour) {
        app.UpdateAllWindows();
        const gdi::Bitmap shot = backend.Screenshot(Top());
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const POINT p = At(control, POINT{x, y});
                if ((shot.GetPixel(p.x, p.y) & 0xFFFFFF) != colour) return false;
            }
        }
        return true;
    }
    void Save(HWND window, const std::string& name) {
        app.UpdateAllWindows();
        const std::filesystem::path dir = PHRASEBOOK_SCREENSHOT_DIR;
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        EXPECT_TRUE(backend.SavePng(window, (dir / (name + ".png")).string())) << name;
    }
    void Save(const std::string& name) { Save(Top(), name); }
};

}  // namespace controlstest
