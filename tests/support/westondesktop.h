// A Wayland desktop for the end-to-end tests: weston on its headless backend (drawn with
// pixman) with XWayland, a plain background of a known colour and no panel, on a socket and
// runtime folder of its own. X11 programs reach it through the XWayland display it names;
// Screenshot() is weston's own picture of its output, as a user would see it.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/png.h"
#include "platform/gdi/types.h"
#include "tests/support/process.h"
#include "tests/support/tempdir.h"

namespace testing_support {

class WestonDesktop {
public:
    static constexpr gdi::COLORREF Background = gdi::RGB(42, 111, 78);

    explicit WestonDesktop(int width = 1024, int height = 768) {
        for (const char* tool : {"weston", "Xwayland", "weston-screenshooter"}) {
            if (!OnPath(tool)) {
                failure_ = std::string(tool) + " is not installed (Debian: weston, xwayland)";
                return;
            }
        }
        if (runtime_.path().empty()) {
            failure_ = "no temporary folder for weston";
            return;
        }
        std::ofstream(runtime_ / "weston.ini") << "[core]\nidle-time=0\n"
                                               << "[shell]\nbackground-color=0xff2a6f4e\n"
                                               << "panel-position=none\nlocking=false\n";
        socket_ = "tolkara-" + std::to_string(getpid());
        server_ = std::make_unique<Child>(
            std::vector<std::string>{"weston", "--config=" + (runtime_ / "weston.ini").string(),
                                     "--backend=headless-backend.so", "--use-pixman", "--xwayland",
                                     "--debug", "--socket=" + socket_,
                                     "--width=" + std::to_string(width),
                                     "--height=" + std::to_string(height),
                                     "--log=" + (runtime_ / "weston.log").string()},
            Environment());
        if (!server_->Started()) {
            failure_ = "weston did not start";
            return;
        }
        // Its XWayland server is started on the first connection to the display it names.
        const std::string marker = "xserver listening on display ";
        PollFor([&] {
            const std::string log = Log();
            const auto at = log.find(marker);
            if (at != std::string::npos) {
                std::istringstream(log.substr(at + marker.size())) >> display_;
                return true;
            }
            return !server_->Running();
        });
        if (display_.empty()) failure_ = "weston did not come up with XWayland:\n" + Log();
    }
    ~WestonDesktop() {
        if (server_) server_->Terminate();
    }
    WestonDesktop(const WestonDesktop&) = delete;
    WestonDesktop& operator=(const WestonDesktop&) = delete;

    // Empty when the desktop is up; otherwise why it is not.
    const std::string& Failure() const { return failure_; }
    // The XWayland display, ":N".
    const std::string& Display() const { return display_; }

    // The output as weston draws it, saved as `path` (PNG); an empty bitmap on failure.
    gdi::Bitmap Screenshot(const std::filesystem::path& path) {
        const std::filesystem::path folder = runtime_ / "shot";
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        std::filesystem::create_directories(folder, error);
        Child shooter({"weston-screenshooter"}, Environment(), folder);
        if (!shooter.Started() || shooter.Wait(10s) != 0) return {};
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            std::filesystem::copy_file(entry.path(), path,
                                       std::filesystem::copy_options::overwrite_existing, error);
            return gdi::LoadPng(path.string());
        }
        return {};
    }

    // What a Wayland client needs to reach this desktop (no X display).
    std::map<std::string, std::string> Environment() const {
        return {{"XDG_RUNTIME_DIR", runtime_.path().string()},
                {"WAYLAND_DISPLAY", socket_},
                {"DISPLAY", ""}};
    }

private:
    std::string Log() const {
        std::ifstream in(runtime_ / "weston.log");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TempDir runtime_;
    std::string socket_;
    std::unique_ptr<Child> server_;
    std::string display_;
    std::string failure_;
};

}  // namespace testing_support
