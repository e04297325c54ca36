#include "platform/backend/sdl/sdlbackend.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/backend/sdl/shapealpha.h"
#include "platform/backend/sdl/x11desktop.h"
#include "platform/shell/codepage.h"
#include "platform/ui/messages.h"

namespace backend {

namespace {

ui::UINT VirtualKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return static_cast<ui::UINT>('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return static_cast<ui::UINT>('0' + (k - SDLK_0));
    if (k >= SDLK_F1 && k <= SDLK_F12) return ui::VK_F1 + static_cast<ui::UINT>(k - SDLK_F1);
    switch (k) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return ui::VK_RETURN;
        case SDLK_ESCAPE:
            return ui::VK_ESCAPE;
        case SDLK_BACKSPACE:
            return ui::VK_BACK;
        case SDLK_TAB:
            return ui::VK_TAB;
        case SDLK_SPACE:
            return ui::VK_SPACE;
        case SDLK_LEFT:
            return ui::VK_LEFT;
        case SDLK_RIGHT:
            return ui::VK_RIGHT;
        case SDLK_UP:
            return ui::VK_UP;
        case SDLK_DOWN:
            return ui::VK_DOWN;
        case SDLK_HOME:
            return ui::VK_HOME;
        case SDLK_END:
            return ui::VK_END;
        case SDLK_PAGEUP:
            return ui::VK_PRIOR;
        case SDLK_PAGEDOWN:
            return ui::VK_NEXT;
        case SDLK_INSERT:
            return ui::VK_INSERT;
        case SDLK_DELETE:
            return ui::VK_DELETE;
        case SDLK_KP_PLUS:
            return ui::VK_ADD;
        case SDLK_KP_MINUS:
            return ui::VK_SUBTRACT;
        case SDLK_PLUS:
        case SDLK_EQUALS:
            return ui::VK_OEM_PLUS;
        case SDLK_MINUS:
            return ui::VK_OEM_MINUS;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return ui::VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return ui::VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return ui::VK_MENU;
        default:
            return 0;
    }
}

SDL_SystemCursor SystemCursor(ui::StandardCursor c) {
    switch (c) {
        case ui::StandardCursor::Hand:
            return SDL_SYSTEM_CURSOR_HAND;
        case ui::StandardCursor::IBeam:
            return SDL_SYSTEM_CURSOR_IBEAM;
        case ui::StandardCursor::Wait:
            return SDL_SYSTEM_CURSOR_WAIT;
        case ui::StandardCursor::SizeAll:
            return SDL_SYSTEM_CURSOR_SIZEALL;
        case ui::StandardCursor::No:
            return SDL_SYSTEM_CURSOR_NO;
        case ui::StandardCursor::Cross:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        default:
            return SDL_SYSTEM_CURSOR_ARROW;
    }
}

// SDL wakes a waiting loop by sending an event to a window over a second connection; when
// that window was destroyed just before, the server answers BadWindow, and Xlib's default
// handler would end the program. Those answers are dropped; every other error goes on to
// the handler that was there before. (Xlib passes no context to its error handler, so the
// previous handler has to be kept here.)
using XErrorHandlerFn = int (*)(Display*, XErrorEvent*);
XErrorHandlerFn& PreviousXErrorHandler() {
    static XErrorHandlerFn previous = nullptr;
    return previous;
}

int IgnoreStaleWakeups(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    XErrorHandlerFn previous = PreviousXErrorHandler();
    return previous != nullptr ? previous(display, error) : 0;
}

// Whether SDL would use its Wayland driver: asked for by name, or chosen by default on a
// Wayland desktop that has no X display.
bool WaylandAsked() {
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (asked != nullptr && *asked != '\0') return std::strstr(asked, "wayland") != nullptr;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    return wayland != nullptr && *wayland != '\0' && (x11 == nullptr || *x11 == '\0');
}

}  // namespace

std::unique_ptr<SdlBackend> SdlBackend::Create(std::string& error) {
    // Without this the first window surface re-creates the X window and its shape is lost.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The first click on a window that is not yet active still counts.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A closed about box must not end the program: its windows say when they are done.
    SDL_SetHint("SDL_QUIT_ON_LAST_WINDOW_CLOSE", "0");
    // The stop signals are the program's to answer (ui::QuitSignals), through RequestQuit.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Before SDL starts: SDL chains to this handler while it runs and puts it back when it
    // ends, which is when a stale wakeup is most often reported.
    if (PreviousXErrorHandler() == nullptr)
        PreviousXErrorHandler() = XSetErrorHandler(IgnoreStaleWakeups);
    // SDL's Wayland driver can neither shape nor place a window, nor give it a surface to draw
    // into without a renderer: on a Wayland desktop the windows go through XWayland.
    if (WaylandAsked()) {
        const char* x11 = std::getenv("DISPLAY");
        if (x11 == nullptr || *x11 == '\0') {
            error =
                "this Wayland desktop runs no XWayland to show the window on (DISPLAY is not set)";
            return nullptr;
        }
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_OVERRIDE);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("SDL: ") + SDL_GetError();
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
        std::strcmp(driver, "dummy") == 0) {
        error = "no display to show the window on (is DISPLAY set?)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    std::unique_ptr<SdlBackend> backend(new SdlBackend());
    backend->x11_ = std::strcmp(driver, "x11") == 0;
    if (backend->x11_) {
        const X11Desktop desktop = ProbeX11Desktop();
        if (desktop.composited) backend->argbVisual_ = desktop.argbVisual;
    }
    SDL_StartTextInput();
    return backend;
}

SdlBackend::~SdlBackend() {
    audio_.reset();
    for (auto& [id, native] : windows_)
        SDL_DestroyWindow(native.window);
    for (auto& [id, cursor] : cursors_)
        SDL_FreeCursor(cursor);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

media::WaveOutDriver& SdlBackend::WaveOutDriver() {
    if (!audio_) audio_ = std::make_unique<media::SdlWaveOutDriver>();
    return *audio_;
}

media::WaveInDriver& SdlBackend::WaveInDriver() {
    if (!capture_) capture_ = std::make_unique<media::SdlWaveInDriver>();
    return *capture_;
}

float SdlBackend::DisplayDpi() const {
    float diagonal = 0;
    float horizontal = 0;
    float vertical = 0;
    if (SDL_GetDisplayDPI(0, &diagonal, &horizontal, &vertical) != 0) return 0;
    return horizontal;
}

bool SdlBackend::SetScale(int scale) {
    if (scale < 1 || scale > 3 || opened_ != 0) return false;
    scale_ = scale;
    return true;
}

ui::BackendCaps SdlBackend::Caps() const {
    return {true, x11_, true};
}  // shapes: X11 shape extension

ui::SIZE SdlBackend::ScreenSize() const {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(0, &r) != 0) return {1024, 768};
    return {r.w, r.h};
}

ui::RECT SdlBackend::DisplayBounds(ui::HWND window) {
    const Native* n = Find(window);
    const int index =
        n != nullptr && n->window != nullptr ? SDL_GetWindowDisplayIndex(n->window) : 0;
    SDL_Rect r;
    if (SDL_GetDisplayBounds(std::max(index, 0), &r) != 0) {
        const ui::SIZE s = ScreenSize();
        return {0, 0, s.cx, s.cy};
    }
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

std::uint64_t SdlBackend::Now() const {
    return SDL_GetTicks64();
}

SdlBackend::Native* SdlBackend::Find(ui::HWND window) {
    const auto it = windows_.find(window.id);
    return it != windows_.end() ? &it->second : nullptr;
}

SdlBackend::Native* SdlBackend::FindSdl(std::uint32_t sdlWindowId) {
    SDL_Window* w = SDL_GetWindowFromID(sdlWindowId);
    for (auto& [id, native] : windows_) {
        if (native.window == w) return &native;
    }
    return nullptr;
}

bool SdlBackend::WaitEvent(ui::InputEvent& out, std::optional<std::uint64_t> deadline) {
    for (;;) {
        SDL_Event e;
        int got = 0;
        if (!deadline) {
            got = SDL_WaitEvent(&e);
        } else {
            const std::uint64_t now = Now();
            if (*deadline <= now) {
                got = SDL_PollEvent(&e);
                if (got == 0) return false;
            } else {
                const auto wait =
                    static_cast<int>(std::min<std::uint64_t>(*deadline - now, INT_MAX));
                got = SDL_WaitEventTimeout(&e, wait);
                if (got == 0) {
                    if (Now() >= *deadline) return false;
                    continue;
                }
            }
        }
        if (got != 0 && Translate(e, out)) return true;
    }
}

void SdlBackend::RequestQuit() {
    // SDL's queue may be filled from any thread, and a waiting SDL_WaitEvent wakes for it.
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

bool SdlBackend::Translate(const SDL_Event& e, ui::InputEvent& out) {
    using Type = ui::InputEvent::Type;
    out = ui::InputEvent{};
    out.time = Now();
    const SDL_Keymod mods = SDL_GetModState();
    out.shift = (mods & KMOD_SHIFT) != 0;
    out.control = (mods & KMOD_CTRL) != 0;
    Native* n = nullptr;
    switch (e.type) {
        case SDL_QUIT:
            // A request to end the program (a signal, the session ends): every loop ends,
            // whichever windows are open.
            out.type = Type::Quit;
            return true;
        case SDL_WINDOWEVENT:
            if ((n = FindSdl(e.window.windowID)) == nullptr) return false;
            out.window = n->hwnd;
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    out.type = Type::Close;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    out.type = Type::Activate;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    out.type = Type::Deactivate;
                    return true;
                case SDL_WINDOWEVENT_LEAVE:
                    out.type = Type::MouseLeave;
                    return true;
                case SDL_WINDOWEVENT_EXPOSED:
                    out.type = Type::Exposed;
                    return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    n->minimized = true;
                    out.type = Type::Minimized;
                    return true;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_SHOWN:
                    if (!n->minimized) return false;
                    n->minimized = false;
                    out.type = Type::Restored;
                    return true;
                case SDL_WINDOWEVENT_MOVED:
                    n->rect =
                        ui::RECT{e.window.data1, e.window.data2, e.window.data1 + n->rect.Width(),
                                 e.window.data2 + n->rect.Height()};
                    out.type = Type::Moved;
                    out.screen = ui::POINT{e.window.data1, e.window.data2};
                    return true;
                default:
                    return false;
            }
        case SDL_MOUSEMOTION:
            if ((n = FindSdl(e.motion.windowID)) == nullptr) return false;
            out.type = Type::MouseMove;
            out.window = n->hwnd;
            out.pt = ui::POINT{e.motion.x, e.motion.y};
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if ((n = FindSdl(e.button.windowID)) == nullptr) return false;
            switch (e.button.button) {
                case SDL_BUTTON_LEFT:
                    out.button = 1;
                    break;
                case SDL_BUTTON_MIDDLE:
                    out.button = 2;
                    break;
                case SDL_BUTTON_RIGHT:
                    out.button = 3;
                    break;
                default:
                    return false;
            }
            out.type = e.type == SDL_MOUSEBUTTONDOWN ? Type::MouseDown : Type::MouseUp;
            out.window = n->hwnd;
            out.pt = ui::POINT{e.button.x, e.button.y};
            return true;
        case SDL_MOUSEWHEEL:
            if ((n = FindSdl(e.wheel.windowID)) == nullptr || e.wheel.y == 0) return false;
            out.type = Type::MouseWheel;
            out.window = n->hwnd;
            out.pt = ui::POINT{e.wheel.mouseX, e.wheel.mouseY};
            out.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out.vk = VirtualKey(e.key.keysym.sym);
            if (out.vk == 0) return false;
            out.type = e.type == SDL_KEYDOWN ? Type::KeyDown : Type::KeyUp;
            if ((n = FindSdl(e.key.windowID)) != nullptr) out.window = n->hwnd;
            return true;
        case SDL_TEXTINPUT:
            out.type = Type::Text;
            out.text = shell::Utf8ToUtf16(e.text.text);
            if ((n = FindSdl(e.text.windowID)) != nullptr) out.window = n->hwnd;
            return !out.text.empty();
        default:
            return false;
    }
}

bool SdlBackend::OpenWindow(ui::HWND window, const ui::RECT& r, std::u16string_view title,
                            bool tool) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (tool) flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
    const std::string utf8 = shell::Utf16ToUtf8(title);
    auto create = [&] {
        return SDL_CreateWindow(utf8.c_str(), r.left, r.top, std::max(r.Width(), 1),
                                std::max(r.Height(), 1), flags);
    };
    SDL_Window* w = nullptr;
    if (!argbVisual_.empty()) {
        // SDL reads the visual for each window it makes; the windows it makes for itself
        // (clipboard, wakeups) keep the default one.
        SDL_SetHintWithPriority(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, argbVisual_.c_str(),
                                SDL_HINT_OVERRIDE);
        w = create();
        SDL_ResetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
    }
    if (w == nullptr) w = create();
    if (w == nullptr) return false;
    Native& n = windows_[window.id];
    n.tool = tool;
    n.window = w;
    n.hwnd = window;
    n.rect = r;
    n.order = opened_++;
    n.argb = !argbVisual_.empty() && HasArgbVisual(w);
    return true;
}

void SdlBackend::CloseWindow(ui::HWND window) {
    Native* n = Find(window);
    if (n == nullptr) return;
    const bool tool = n->tool;
    SDL_DestroyWindow(n->window);
    windows_.erase(window.id);
    if (focused_ == window) focused_ = nullptr;
    if (tool) RefocusAfterTool();
    if (!windows_.empty()) {
        // Keys and clicks meant for the closed window must not reach the one below.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    }
}

void SdlBackend::SetWindowTitle(ui::HWND window, std::u16string_view title) {
    if (Native* n = Find(window)) SDL_SetWindowTitle(n->window, shell::Utf16ToUtf8(title).c_str());
}

void SdlBackend::MoveWindow(ui::HWND window, const ui::RECT& r) {
    Native* n = Find(window);
    if (n == nullptr) return;
    if (r.Width() != n->rect.Width() || r.Height() != n->rect.Height()) {
        SDL_SetWindowSize(n->window, std::max(r.Width(), 1), std::max(r.Height(), 1));
    }
    if (r.left != n->rect.left || r.top != n->rect.top)
        SDL_SetWindowPosition(n->window, r.left, r.top);
    n->rect = r;
}

void SdlBackend::ShowWindow(ui::HWND window, int command) {
    Native* n = Find(window);
    if (n == nullptr) return;
    switch (command) {
        case ui::SW_HIDE:
            SDL_HideWindow(n->window);
            break;
        case ui::SW_MINIMIZE:
            SDL_MinimizeWindow(n->window);
            break;
        case ui::SW_RESTORE:
            SDL_RestoreWindow(n->window);
            break;
        default:
            SDL_ShowWindow(n->window);
            // Shown windows are placed where asked, also where the window system had other plans.
            SDL_SetWindowPosition(n->window, n->rect.left, n->rect.top);
            if (n->tool) RefocusAfterTool();
            break;
    }
    if (n->tool && command == ui::SW_HIDE) RefocusAfterTool();
}

// Without a window manager a tooltip window takes the keyboard focus when it appears or goes:
// it goes back to the window that had it.
void SdlBackend::RefocusAfterTool() {
    if (Native* f = Find(focused_)) SDL_SetWindowInputFocus(f->window);
}

void SdlBackend::SetWindowShape(ui::HWND window, const gdi::Region* shape) {
    Native* n = Find(window);
    if (n == nullptr || !x11_) return;
    if (!n->argb) {
        SetX11Shape(n->window, ShapeUse::Bounding, shape);
        return;
    }
    // Under a compositor the shape takes the clicks, and the pixels outside it turn transparent
    // now; those that come inside show when the window next presents them.
    SetX11Shape(n->window, ShapeUse::Input, shape);
    n->shape = shape != nullptr ? std::optional<gdi::Region>(*shape) : std::nullopt;
    SDL_Surface* surface = SDL_GetWindowSurface(n->window);
    if (surface == nullptr || surface->format->format != SDL_PIXELFORMAT_ARGB8888) return;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(surface->w));
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        auto* pixels = reinterpret_cast<std::uint32_t*>(
            static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch);
        std::copy(pixels, pixels + surface->w, row.begin());
        CopyRowThroughShape(shape, y, 0, surface->w, row.data(), pixels);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(n->window);
}

void SdlBackend::Present(ui::HWND window, const gdi::Bitmap& frame, const gdi::Region& dirty) {
    Native* n = Find(window);
    if (n == nullptr || !frame) return;
    SDL_Surface* surface = SDL_GetWindowSurface(n->window);
    if (surface == nullptr) return;
    const int w = std::min(frame.Width(), surface->w);
    const int h = std::min(frame.Height(), surface->h);
    const bool translucent = n->argb && surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    const bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888 ||
                        surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    const gdi::Region* shape = n->shape ? &*n->shape : nullptr;
    std::vector<SDL_Rect> rects;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    for (const ui::RECT& r : dirty.Rects()) {
        const int left = std::clamp(r.left, 0, w);
        const int right = std::clamp(r.right, 0, w);
        const int top = std::clamp(r.top, 0, h);
        const int bottom = std::clamp(r.bottom, 0, h);
        if (left >= right || top >= bottom) continue;
        for (int y = top; y < bottom; ++y) {
            auto* target = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch +
                           left * surface->format->BytesPerPixel;
            const std::uint32_t* source = frame.Row(y) + left;
            if (translucent) {
                CopyRowThroughShape(shape, y, left, right, source,
                                    reinterpret_cast<std::uint32_t*>(target));
            } else if (direct) {
                std::memcpy(target, source, static_cast<std::size_t>(right - left) * 4);
            } else {
                SDL_ConvertPixels(right - left, 1, SDL_PIXELFORMAT_RGB888, source,
                                  (right - left) * 4, surface->format->format, target,
                                  surface->pitch);
            }
        }
        rects.push_back(SDL_Rect{left, top, right - left, bottom - top});
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (rects.empty()) return;
    if (rects.size() > 64) {
        const ui::RECT b = dirty.Bounds();
        rects.assign(1, SDL_Rect{b.left, b.top, b.Width(), b.Height()});
    }
    SDL_UpdateWindowSurfaceRects(n->window, rects.data(), static_cast<int>(rects.size()));
}

void SdlBackend::SetWindowIcon(ui::HWND window, const gdi::Icon& icon) {
    Native* n = Find(window);
    if (n == nullptr || !icon) return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, icon.Width(), icon.Height(), 32,
                                                    SDL_PIXELFORMAT_ARGB8888);
    if (s == nullptr) return;
    for (int y = 0; y < icon.Height(); ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < icon.Width(); ++x) {
            const bool transparent = icon.Mask().GetPixel(x, y) != 0;
            row[x] = transparent ? 0 : (0xFF000000u | (icon.Colour().Row(y)[x] & 0xFFFFFFu));
        }
    }
    SDL_SetWindowIcon(n->window, s);
    SDL_FreeSurface(s);
}

void SdlBackend::FocusWindow(ui::HWND window) {
    Native* n = Find(window);
    if (n == nullptr || n->tool) return;
    focused_ = window;
    SDL_RaiseWindow(n->window);
    SDL_SetWindowInputFocus(n->window);
}

void SdlBackend::SetCursor(ui::StandardCursor cursor) {
    const int key = static_cast<int>(cursor);
    if (key == currentCursor_) return;
    SDL_Cursor*& c = cursors_[key];
    if (c == nullptr) c = SDL_CreateSystemCursor(SystemCursor(cursor));
    if (c != nullptr) SDL_SetCursor(c);
    currentCursor_ = key;
}

bool SdlBackend::SetClipboardText(std::u16string_view text) {
    return SDL_SetClipboardText(shell::Utf16ToUtf8(text).c_str()) == 0;
}

std::u16string SdlBackend::GetClipboardText() {
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return {};
    std::u16string result = shell::Utf8ToUtf16(text);
    SDL_free(text);
    return result;
}

}  // namespace backend
