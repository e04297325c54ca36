// Shared pieces of the window framework tests: an application on the headless backend and a
// window that records what reaches it.
#pragma once

#include <string>
#include <vector>

#include "platform/backend/headless/headlessbackend.h"
#include "platform/ui/application.h"
#include "platform/ui/window.h"

namespace uitest {

using namespace ui;

struct Fixture {
    backend::HeadlessBackend backend;
    Application app{backend};
};

// A log that several windows write to, in order.
using Log = std::vector<std::string>;

inline HWND MakeTop(Application& app, Window& w, RECT rect = {100, 100, 400, 300},
                    Style style = WS_POPUP | WS_VISIBLE) {
    w.Create(app, u"Test", u"top", style, rect, nullptr, 0);
    return w.GetSafeHwnd();
}

inline HWND MakeChild(Application& app, Window& w, Window& parent, RECT rect, int id,
                      Style style = WS_CHILD | WS_VISIBLE) {
    w.Create(app, u"Test", u"", style, rect, parent.GetSafeHwnd(), id);
    return w.GetSafeHwnd();
}

}  // namespace uitest
