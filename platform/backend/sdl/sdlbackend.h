// The SDL2 backend: real borderless windows on the desktop, shaped by their window regions
// (X11 shape extension; under a compositor, transparent outside the region and clickable only
// inside it), their framebuffers presented through SDL's window surfaces, and
// mouse, wheel, keyboard, typed text, clipboard, cursors, icons, minimising and the system's
// audio output (opened on first use).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/media/sdlwavein.h"
#include "platform/media/sdlwaveout.h"
#include "platform/ui/backend.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace backend {

class SdlBackend : public ui::Backend {
public:
    // Null, with the reason in `error`, when SDL has no display to show windows on.
    static std::unique_ptr<SdlBackend> Create(std::string& error);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    // The density of the display in dots per inch (horizontal); 0 when unknown.
    float DisplayDpi() const;
    // Sets Scale(); only before the first window opens (false then, and for scales outside
    // 1 to 3).
    bool SetScale(int scale);

    ui::BackendCaps Caps() const override;
    int Scale() const override { return scale_; }
    ui::SIZE ScreenSize() const override;
    ui::RECT DisplayBounds(ui::HWND window) override;
    std::uint64_t Now() const override;
    bool WaitEvent(ui::InputEvent& out, std::optional<std::uint64_t> deadline) override;
    void RequestQuit() override;
    bool OpenWindow(ui::HWND window, const ui::RECT& screenRect, std::u16string_view title,
                    bool tool) override;
    void CloseWindow(ui::HWND window) override;
    void SetWindowTitle(ui::HWND window, std::u16string_view title) override;
    void MoveWindow(ui::HWND window, const ui::RECT& screenRect) override;
    void ShowWindow(ui::HWND window, int command) override;
    void SetWindowShape(ui::HWND window, const gdi::Region* shape) override;
    void Present(ui::HWND window, const gdi::Bitmap& frame, const gdi::Region& dirty) override;
    void SetWindowIcon(ui::HWND window, const gdi::Icon& icon) override;
    void FocusWindow(ui::HWND window) override;
    void SetCursor(ui::StandardCursor cursor) override;
    bool SetClipboardText(std::u16string_view text) override;
    std::u16string GetClipboardText() override;
    media::WaveOutDriver& WaveOutDriver() override;
    media::WaveInDriver& WaveInDriver() override;

private:
    struct Native {
        SDL_Window* window = nullptr;
        ui::HWND hwnd;
        ui::RECT rect{};
        bool minimized = false;
        bool tool = false;
        bool argb = false;                 // a 32-bit visual: transparent outside its shape
        std::optional<gdi::Region> shape;  // of an ARGB window; none: the whole window
        std::uint32_t order = 0;           // opening order: the first is the program's main window
    };

    SdlBackend() = default;
    Native* Find(ui::HWND window);
    Native* FindSdl(std::uint32_t sdlWindowId);
    bool Translate(const SDL_Event& event, ui::InputEvent& out);

    std::map<std::uint32_t, Native> windows_;          // by window number
    std::unique_ptr<media::SdlWaveOutDriver> audio_;   // made by the first WaveOutDriver()
    std::unique_ptr<media::SdlWaveInDriver> capture_;  // made by the first WaveInDriver()
    std::uint32_t opened_ = 0;
    int scale_ = 1;
    ui::HWND focused_;  // the last window (not a tool window) given the keyboard focus
    void RefocusAfterTool();
    bool x11_ = false;
    std::string argbVisual_;  // under a compositor: the visual of new windows
    std::map<int, SDL_Cursor*> cursors_;
    int currentCursor_ = -1;
};

}  // namespace backend
