#include "app/largeprint.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/font.h"
#include "platform/gdi/text.h"
#include "platform/ui/application.h"

using namespace ui;

// clang-format off
const MessageMap CLargePrint::messageMap{&Window::messageMap, {
    OnMessage<&CLargePrint::OnPaint>(WM_PAINT),
    OnMessage<&CLargePrint::OnEraseBackground>(WM_ERASEBKGND),
    OnMessage<&CLargePrint::OnKeyDown>(WM_KEYDOWN),
    OnMessage<&CLargePrint::OnChar>(WM_CHAR),
    OnMessage<&CLargePrint::OnLButtonDown>(WM_LBUTTONDOWN),
}};
// clang-format on

namespace {

constexpr std::u16string_view Face = u"Arial";
constexpr UINT Wrapped = gdi::DT_CENTER | gdi::DT_WORDBREAK | gdi::DT_NOPREFIX;

// The text's extent at a character height, wrapped within `width`.
RECT Extent(gdi::DC& dc, std::u16string_view text, int height, int width, gdi::LONG weight) {
    const gdi::Font font = gdi::CreateFontSimple(-height, weight, Face);
    dc.SelectObject(font);
    RECT r{0, 0, width, 0};
    gdi::DrawText(dc, text, r, Wrapped | gdi::DT_CALCRECT);
    return r;
}

}  // namespace

CLargePrint::~CLargePrint() = default;

bool CLargePrint::Open(Window& owner, std::u16string german, std::u16string english,
                       std::function<void()> speak) {
    if (german.empty() || owner.App() == nullptr) return false;
    Application& app = *owner.App();
    if (IsWindow()) DestroyWindow();
    if (app.FindClass(ClassName) == nullptr)
        app.RegisterClass(WindowClass{std::u16string(ClassName), 0, nullptr});
    german_ = std::move(german);
    english_ = std::move(english);
    speak_ = std::move(speak);
    owner_ = owner.GetSafeHwnd();
    germanHeight_ = 0;
    if (!Create(app, ClassName, german_, WS_POPUP, app.MonitorRect(owner.GetSafeHwnd()),
                owner.GetSafeHwnd(), 0, WS_EX_TOPMOST))
        return false;
    ShowWindow(SW_SHOW);
    app.SetActiveWindow(GetSafeHwnd());
    SetFocus();
    return true;
}

void CLargePrint::Close() {
    if (!IsWindow()) return;
    Application& app = *App();
    DestroyWindow();
    if (app.IsWindow(owner_)) {
        app.SetActiveWindow(owner_);
        app.SetFocus(owner_);
    }
}

int CLargePrint::FittingHeight(gdi::DC& dc, std::u16string_view text, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    int low = 8, high = std::max(low, height);
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        const RECT r = Extent(dc, text, mid, width, gdi::FW_BOLD);
        if (r.right - r.left <= width && r.bottom - r.top <= height) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return low;
}

void CLargePrint::OnPaint() {
    PaintDC dc(*this);
    if (!dc) return;
    RECT client;
    GetClientRect(client);
    gdi::FillRect(dc, client, gdi::CreateSolidBrush(Paper));
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    const int margin = std::max(8, std::min(w, h) / 20);
    const int englishHeight = std::clamp(h / 28, 12, 40);
    // The German line in the upper part, centred; the English in a band at the foot.
    const RECT germanArea{margin, margin, w - margin, h - margin - 3 * englishHeight};
    dc.SetBkMode(gdi::TRANSPARENT);
    germanHeight_ = FittingHeight(dc, german_, germanArea);
    const RECT extent =
        Extent(dc, german_, germanHeight_, germanArea.right - germanArea.left, gdi::FW_BOLD);
    const int top = germanArea.top + (germanArea.bottom - germanArea.top - extent.bottom) / 2;
    RECT germanRect{germanArea.left, top, germanArea.right, top + extent.bottom};
    dc.SetTextColor(Ink);
    gdi::DrawText(dc, german_, germanRect, Wrapped);

    const gdi::Font small = gdi::CreateFontSimple(-englishHeight, gdi::FW_NORMAL, Face);
    dc.SelectObject(small);
    dc.SetTextColor(SmallInk);
    RECT englishRect{margin, h - margin - 2 * englishHeight, w - margin, h - margin};
    gdi::DrawText(dc, english_, englishRect, Wrapped);
}

LRESULT CLargePrint::OnKeyDown(WPARAM key) {
    switch (key) {
        case VK_SPACE:
            if (speak_) speak_();
            return 0;
        case VK_ESCAPE:
        case VK_F11:
        case VK_RETURN:
            Close();
            return 0;
        default:
            return 0;
    }
}

LRESULT CLargePrint::OnLButtonDown(UINT, POINT) {
    Close();
    return 0;
}
