// The program as it starts, with one thing added: the moment its first frame reaches the
// display. It runs the same application object and SDL2 backend as tolkara-german, through a
// backend that forwards every call and, at the first present, prints
//   FIRST_PRESENT <CLOCK_MONOTONIC nanoseconds> RSS <resident kB>
// and closes the window. A message box would hold the start up: instead it is printed as
//   MESSAGE <text>
// and the probe ends with exit code 3. The start-up benchmark runs it as a fresh process each
// time.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app/phraseapp.h"
#include "platform/backend/sdl/sdlbackend.h"
#include "platform/shell/codepage.h"
#include "platform/shell/shell.h"
#include "platform/ui/window.h"

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

long long MonotonicNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

class ProbeBackend : public ui::Backend {
public:
    explicit ProbeBackend(ui::Backend& inner) : inner_(inner) {}
    void SetApplication(ui::Application* app) { app_ = app; }

    ui::BackendCaps Caps() const override { return inner_.Caps(); }
    int Scale() const override { return inner_.Scale(); }
    ui::SIZE ScreenSize() const override { return inner_.ScreenSize(); }
    std::uint64_t Now() const override { return inner_.Now(); }
    bool WaitEvent(ui::InputEvent& out, std::optional<std::uint64_t> deadline) override {
        return inner_.WaitEvent(out, deadline);
    }
    void RequestQuit() override { inner_.RequestQuit(); }
    bool OpenWindow(ui::HWND window, const ui::RECT& rect, std::u16string_view title,
                    bool tool) override {
        return inner_.OpenWindow(window, rect, title, tool);
    }
    void CloseWindow(ui::HWND window) override { inner_.CloseWindow(window); }
    void SetWindowTitle(ui::HWND window, std::u16string_view title) override {
        inner_.SetWindowTitle(window, title);
    }
    void MoveWindow(ui::HWND window, const ui::RECT& rect) override {
        inner_.MoveWindow(window, rect);
    }
    void ShowWindow(ui::HWND window, int command) override { inner_.ShowWindow(window, command); }
    void SetWindowShape(ui::HWND window, const gdi::Region* shape) override {
        inner_.SetWindowShape(window, shape);
    }
    void Present(ui::HWND window, const gdi::Bitmap& frame, const gdi::Region& dirty) override {
        inner_.Present(window, frame, dirty);
        if (presented_) return;
        presented_ = true;
        const long long at = MonotonicNanoseconds();
        std::printf("FIRST_PRESENT %lld RSS %ld\n", at, ResidentKilobytes());
        std::fflush(stdout);
        if (app_ != nullptr) app_->PostMessage(window, ui::WM_CLOSE);
    }
    void SetWindowIcon(ui::HWND window, const gdi::Icon& icon) override {
        inner_.SetWindowIcon(window, icon);
    }
    void FocusWindow(ui::HWND window) override { inner_.FocusWindow(window); }
    void SetCursor(ui::StandardCursor cursor) override { inner_.SetCursor(cursor); }
    bool SetClipboardText(std::u16string_view text) override {
        return inner_.SetClipboardText(text);
    }
    std::u16string GetClipboardText() override { return inner_.GetClipboardText(); }
    media::WaveOutDriver& WaveOutDriver() override { return inner_.WaveOutDriver(); }
    media::WaveInDriver& WaveInDriver() override { return inner_.WaveInDriver(); }

private:
    ui::Backend& inner_;
    ui::Application* app_ = nullptr;
    bool presented_ = false;
};

// Nothing of the desktop is asked for during a start; a message ends the probe.
class ProbeShell : public shell::Shell {
public:
    int MessageBox(ui::HWND, std::u16string_view text, std::u16string_view,
                   std::uint32_t) override {
        std::printf("MESSAGE %s\n", shell::Utf16ToUtf8(text).c_str());
        std::fflush(stdout);
        std::_Exit(3);
    }
    bool OpenPage(std::u16string_view) override { return false; }
    bool StartProgram(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    bool ShowHelp(ui::HWND, const std::string&) override { return false; }
};

}  // namespace

int main() {
    std::string error;
    std::unique_ptr<backend::SdlBackend> display = backend::SdlBackend::Create(error);
    if (!display) {
        std::fprintf(stderr, "startup_probe: cannot open a window: %s\n", error.c_str());
        return 1;
    }
    ProbeBackend probe(*display);
    CPhraseApp app(probe);
    ProbeShell shell;
    app.SetShell(&shell);
    probe.SetApplication(&app);
    return app.Run();
}
