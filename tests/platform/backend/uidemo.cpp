// A small program for the end-to-end test of the SDL backend: one shaped dialog (a skin whose
// black corners lie outside the window), a button that reports its clicks, a minimise button,
// and the caption drag over the rest of the skin. It reports on standard output:
//   READY                 the window is shown and painted
//   CLICK <id>            a button was clicked
//   CHAR <code>           a typed character reached the focused button
//   WHEEL <delta>         the wheel turned over the window
//   MINIMIZE              the minimise button was clicked
//   CANCEL / OK           the cancel (Escape) or OK (Enter) command arrived
//   END <result>          the dialog ended with that result
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/backend/sdl/sdlbackend.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/brush.h"
#include "platform/ui/dialog.h"

namespace {

using namespace ui;

constexpr gdi::COLORREF SkinColour = gdi::RGB(40, 120, 200);
constexpr gdi::COLORREF ButtonColour = gdi::RGB(250, 200, 30);

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// A filled rectangle that reports clicks to its parent.
class DemoButton : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    LRESULT OnEraseBkgnd(WPARAM w, LPARAM) {
        RECT r;
        GetClientRect(r);
        gdi::FillRect(*DCFromWParam(w), r, gdi::CreateSolidBrush(ButtonColour));
        return 1;
    }
    LRESULT OnDown(WPARAM, LPARAM) {
        SetCapture();
        return 0;
    }
    LRESULT OnChar(WPARAM w, LPARAM) {
        Say("CHAR " + std::to_string(w));
        return 0;
    }
    LRESULT OnUp(WPARAM, LPARAM l) {
        if (GetCapture() != GetSafeHwnd()) return 0;
        ReleaseCapture();
        RECT r;
        GetClientRect(r);
        if (gdi::PtInRect(r, PointFromLParam(l))) {
            ui::SendMessage(GetParent(), WM_COMMAND,
                            MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), BN_CLICKED),
                            HandleToParam(GetSafeHwnd()));
        }
        return 0;
    }
};

// clang-format off
const MessageMap DemoButton::messageMap{&Window::messageMap, {
    OnMessage<&DemoButton::OnEraseBkgnd>(WM_ERASEBKGND),
    OnMessage<&DemoButton::OnDown>(WM_LBUTTONDOWN),
    OnMessage<&DemoButton::OnUp>(WM_LBUTTONUP),
    OnMessage<&DemoButton::OnChar>(WM_CHAR),
}};
// clang-format on

constexpr Style Child = WS_CHILD | WS_VISIBLE;
const std::array<DialogItemTemplate, 2> Items{{
    {1001, u"DemoButton", u"Click", Child | WS_TABSTOP, 0, 60, 60, 80, 30},
    {1000, u"DemoButton", u"", Child, 0, 150, 20, 12, 10},
}};
const DialogTemplate Demo{WS_POPUP | WS_VISIBLE, 0, 40, 30, 200, 160, u"", u"", 0, Items};

// The skin: SkinColour inside an ellipse, black (the key colour) outside it.
gdi::Bitmap MakeSkin(int w, int h) {
    gdi::Bitmap skin = gdi::CreateDIBSection32(w, -h);
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5 - cx) / cx;
            const double dy = (y + 0.5 - cy) / cy;
            skin.SetPixel(x, y, dx * dx + dy * dy <= 1.0 ? SkinColour : gdi::RGB(0, 0, 0));
        }
    }
    return skin;
}

// Every pixel of the skin that is not the key colour.
gdi::Region RegionOfSkin(const gdi::Bitmap& skin) {
    std::vector<RECT> rects;
    for (int y = 0; y < skin.Height(); ++y) {
        int x = 0;
        while (x < skin.Width()) {
            while (x < skin.Width() && skin.GetPixel(x, y) == 0)
                ++x;
            const int first = x;
            while (x < skin.Width() && skin.GetPixel(x, y) != 0)
                ++x;
            if (x > first) rects.push_back(RECT{first, y, x, y + 1});
        }
    }
    return gdi::Region::FromRects(rects.data(), rects.size());
}

class DemoDialog : public Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    DemoDialog(Application& app, std::u16string title)
        : Dialog(app, &Demo), title_(std::move(title)) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        SetWindowText(title_);
        RECT r;
        GetClientRect(r);
        skin_ = MakeSkin(r.Width(), r.Height());
        SetWindowRgn(RegionOfSkin(skin_), true);
        PostMessage(WM_APP);
        return true;
    }
    void OnOK() override { Say("OK"); }
    void OnCancel() override {
        Say("CANCEL");
        Dialog::OnCancel();
    }
    LRESULT OnEraseBkgnd(WPARAM w, LPARAM) {
        gdi::DC* dc = DCFromWParam(w);
        gdi::DC memory = gdi::CreateCompatibleDC(dc);
        memory.SelectObject(skin_);
        gdi::BitBlt(*dc, 0, 0, skin_.Width(), skin_.Height(), &memory, 0, 0, gdi::SRCCOPY);
        return 1;
    }
    LRESULT OnHitTest(WPARAM, LPARAM) { return HTCAPTION; }
    LRESULT OnReady(WPARAM, LPARAM) {
        UpdateWindow();
        Say("READY");
        return 0;
    }
    LRESULT OnWheel(WPARAM w, LPARAM) {
        Say("WHEEL " + std::to_string(GET_WHEEL_DELTA_WPARAM(w)));
        return 0;
    }
    void OnButton() { Say("CLICK 1001"); }
    void OnMinimise() {
        Say("MINIMIZE");
        ShowWindow(SW_MINIMIZE);
    }

private:
    std::u16string title_;
    gdi::Bitmap skin_;
};

// clang-format off
const MessageMap DemoDialog::messageMap{&Dialog::messageMap, {
    OnMessage<&DemoDialog::OnEraseBkgnd>(WM_ERASEBKGND),
    OnMessage<&DemoDialog::OnHitTest>(WM_NCHITTEST),
    OnMessage<&DemoDialog::OnReady>(WM_APP),
    OnMessage<&DemoDialog::OnWheel>(WM_MOUSEWHEEL),
    OnCommand<&DemoDialog::OnButton>(BN_CLICKED, 1001),
    OnCommand<&DemoDialog::OnMinimise>(BN_CLICKED, 1000),
}};
// clang-format on

class DemoApp : public Application {
public:
    DemoApp(Backend& backend, std::u16string title)
        : Application(backend), title_(std::move(title)) {}
    bool InitInstance() override {
        RegisterClass(
            WindowClass{u"DemoButton", CS_DBLCLKS, [] { return std::make_unique<DemoButton>(); }});
        DemoDialog dlg(*this, title_);
        SetMainWindow(&dlg);
        const int result = dlg.DoModal();
        Say("END " + std::to_string(result));
        return false;
    }

private:
    std::u16string title_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::unique_ptr<backend::SdlBackend> sdl = backend::SdlBackend::Create(error);
    if (!sdl) {
        std::fprintf(stderr, "uidemo: %s\n", error.c_str());
        return 2;
    }
    const std::string title = argc > 1 ? argv[1] : "uidemo";
    DemoApp app(*sdl, std::u16string(title.begin(), title.end()));
    return app.Run();
}
