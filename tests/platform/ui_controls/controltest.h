// Shared pieces of the standard control tests: an application on the headless backend and a
// host window that records the notifications its controls send and can answer their colour
// requests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/backend/headless/headlessbackend.h"
#include "platform/gdi/blit.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/window.h"

namespace controltest {

using namespace ui;
using Log = std::vector<std::string>;

// Records "id:code" for every WM_COMMAND; answers colour requests with `brush` when set.
class Host : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log log;
    std::optional<gdi::Brush> brush;
    gdi::COLORREF textColour = 0;
    std::vector<UINT> colourRequests;

    LRESULT OnCommandMessage(WPARAM wParam, LPARAM) {
        log.push_back(std::to_string(LOWORD(wParam)) + ":" + std::to_string(HIWORD(wParam)));
        return 0;
    }
    LRESULT OnColour(WPARAM wParam, LPARAM lParam) {
        const UINT message = CurrentMessage()->message;
        colourRequests.push_back(message);
        if (!brush) return Default();
        if (gdi::DC* dc = DCFromWParam(wParam)) {
            dc->SetTextColor(textColour);
            dc->SetBkMode(gdi::TRANSPARENT);
        }
        (void)lParam;
        return BrushResult(&*brush);
    }
    LRESULT OnErase(WPARAM wParam, LPARAM) {
        gdi::DC* dc = DCFromWParam(wParam);
        if (dc == nullptr) return 0;
        RECT r;
        GetClientRect(r);
        gdi::FillRect(*dc, r, gdi::Brush::Solid(gdi::RGB(240, 240, 240)));
        return 1;
    }
};

inline const MessageMap Host::messageMap{&Window::messageMap,
                                         {
                                             OnMessage<&Host::OnCommandMessage>(WM_COMMAND),
                                             OnMessage<&Host::OnColour>(WM_CTLCOLOREDIT),
                                             OnMessage<&Host::OnColour>(WM_CTLCOLORLISTBOX),
                                             OnMessage<&Host::OnColour>(WM_CTLCOLORBTN),
                                             OnMessage<&Host::OnColour>(WM_CTLCOLORSTATIC),
                                             OnMessage<&Host::OnErase>(WM_ERASEBKGND),
                                         }};

struct Fixture {
    backend::HeadlessBackend backend;
    Application app{backend};
    Host host;

    explicit Fixture(RECT rect = {100, 100, 500, 400}) {
        RegisterStandardControls(app);
        host.Create(app, u"Host", u"host", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
        app.PumpMessages();
    }
    HWND Top() const { return host.GetSafeHwnd(); }
    // Makes a control of a standard class as a child of the host.
    template <typename T>
    bool Make(T& control, std::u16string_view className, std::u16string_view text, Style style,
              RECT rect, int id) {
        return control.Create(app, className, text, WS_CHILD | WS_VISIBLE | style, rect,
                              host.GetSafeHwnd(), id);
    }
    // Pointer input at a point of a control, in the control's client coordinates.
    POINT At(const Window& control, POINT p) const {
        POINT s = p;
        control.ClientToScreen(s);
        host.ScreenToClient(s);
        return s;
    }
    void Click(const Window& control, POINT p) {
        backend.Click(Top(), At(control, p));
        app.PumpMessages();
        backend.Advance(600);  // the next click is not a double click
    }
    void Pump() { app.PumpMessages(); }
    gdi::COLORREF PixelAt(const Window& control, POINT p) {
        app.UpdateAllWindows();
        const gdi::Bitmap shot = backend.Screenshot(Top());
        const POINT at = At(control, p);
        gdi::DC dc = gdi::DC::Memory();
        dc.SelectObject(shot);
        return gdi::GetPixel(dc, at.x, at.y);
    }
};

}  // namespace controltest
