// Puts the program's windows on the desktop's accessibility bus (AT-SPI2), as toolkits that
// draw their own widgets do: ATK objects answer for each window and row (atktree.h), the
// application's root and toolkit name come from an AtkUtil of ours, and atk-bridge carries
// them to the bus. Each turn of the program's loop serves GLib's main context without waiting
// and reports what changed since the last turn: focus, selection, states, names, texts, windows
// opening and closing.
//
// Without a bus (no desktop session, a test machine) Start answers null, prints nothing, and
// the program runs as it would without it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/a11y/description.h"

namespace a11y {

class AtkTree;

class AtkBridge : public ui::Application::LoopCompanion {
public:
    // Registers the application `appName` on the accessibility bus and joins the loop of
    // `app`; null when no bus answers, or when NO_AT_BRIDGE=1 asks for none.
    static std::unique_ptr<AtkBridge> Start(ui::Application& app, std::u16string appName,
                                            Describer describer);
    ~AtkBridge() override;
    AtkBridge(const AtkBridge&) = delete;
    AtkBridge& operator=(const AtkBridge&) = delete;

    void Service() override;
    // A client in conversation gets its answers within a millisecond; an idle bus is looked
    // at every 10 ms.
    std::uint64_t Period() const override;

private:
    // What a client was last told of one window.
    struct Seen {
        Description described;
        std::vector<ui::HWND> children;
    };

    AtkBridge(ui::Application& app, std::unique_ptr<AtkTree> tree);
    void ReportChanges();
    void ReportWindow(std::uint32_t id, Seen& seen, const Description& now);
    void ReportFocus();
    void ReportTopLevels();

    ui::Application& app_;
    std::unique_ptr<AtkTree> tree_;
    std::map<std::uint32_t, Seen> seen_;
    std::vector<ui::HWND> tops_;
    ui::HWND focus_;
    ui::HWND active_;
    std::uint64_t lastAsked_ = 0;  // when the bus last had something for us (loop clock)
};

}  // namespace a11y
