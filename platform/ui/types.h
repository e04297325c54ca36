// The message vocabulary of the window framework: window handles, message parameters and the
// message record, with the shapes the Windows interface gives them so that control code reads
// as it would there.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/types.h"

namespace ui {

class Application;

using gdi::POINT;
using gdi::RECT;
using gdi::SIZE;
using UINT = std::uint32_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window: the application that holds it and its number there. Numbers are never reused, so
// a handle to a destroyed window stays harmless (IsWindow answers false). Null compares equal
// to nullptr.
struct HWND {
    Application* app = nullptr;
    std::uint32_t id = 0;

    constexpr HWND() = default;
    constexpr HWND(std::nullptr_t) {}
    constexpr HWND(Application* application, std::uint32_t number) : app(application), id(number) {}

    explicit constexpr operator bool() const { return id != 0; }
    friend constexpr bool operator==(const HWND& a, const HWND& b) {
        return a.id == b.id && (a.id == 0 || a.app == b.app);
    }
};

// One queued or sent message.
struct MSG {
    HWND hwnd;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt{};
};

constexpr WORD LOWORD(std::uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
    return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}
constexpr LPARAM MAKELPARAM(unsigned low, unsigned high) {
    return static_cast<LPARAM>(static_cast<std::int32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
// Signed coordinates packed in an lParam (negative values survive the round trip).
constexpr int GET_X_LPARAM(LPARAM l) {
    return static_cast<std::int16_t>(l & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM l) {
    return static_cast<std::int16_t>((l >> 16) & 0xFFFF);
}
constexpr LPARAM PointToLParam(POINT p) {
    return MAKELPARAM(static_cast<unsigned>(p.x), static_cast<unsigned>(p.y));
}
constexpr POINT PointFromLParam(LPARAM l) {
    return POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
}
// A window handle in a message parameter (WM_COMMAND's lParam, WM_SETFOCUS's wParam, the
// colour requests' lParam, ...) travels as its number; the receiver's application completes it.
constexpr LPARAM HandleToParam(HWND h) {
    return static_cast<LPARAM>(h.id);
}
constexpr HWND HandleFromParam(Application* app, std::uintptr_t value) {
    return value == 0 ? HWND{} : HWND{app, static_cast<std::uint32_t>(value)};
}

constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM w) {
    return static_cast<short>(HIWORD(w));
}
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM w) {
    return LOWORD(w);
}

}  // namespace ui
