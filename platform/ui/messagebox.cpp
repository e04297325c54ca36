#include "platform/ui/messagebox.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/shell/codepage.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialog.h"
#include "platform/ui/theme.h"

namespace ui {

namespace {

constexpr int TextId = 0xFFFF;
constexpr int CaptionHeight = 26;
constexpr int Margin = 18;
constexpr int MaxTextWidth = 420;
constexpr int MinWidth = 220;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 26;

// The box: a dialog from a small template, laid out in pixels once its font is known.
class MessageBoxDialog : public Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    MessageBoxDialog(Application& app, Window* owner, std::u16string text, std::u16string caption)
        : Dialog(app, &template_, owner),
          text_(std::move(text)),
          caption_(std::move(caption)),
          items_{{
              {TextId, StaticClass, text_, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0,
               10, 10},
              {IDOK, ButtonClass, u"OK",
               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 0, 0, 40, 14},
          }},
          template_{WS_POPUP | DS_SETFONT | DS_MODALFRAME,
                    WS_EX_DLGMODALFRAME,
                    0,
                    0,
                    160,
                    60,
                    caption_,
                    u"Sans",
                    9,
                    items_} {}

    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        Layout();
        return true;
    }
    void OnCancel() override { EndDialog(IDOK); }

private:
    LRESULT OnPaint(WPARAM, LPARAM) {
        PaintDC dc(*this);
        if (!dc) return 0;
        const Theme& theme = Theme::Standard();
        RECT client;
        GetClientRect(client);
        const RECT bar{client.left, client.top, client.right, client.top + CaptionHeight};
        gdi::FillRect(dc, bar, theme.Brush(gdi::COLOR_HIGHLIGHT));
        const gdi::Font font = GetFont();
        gdi::Font bold;
        if (font) {
            gdi::LOGFONT lf = font.Description();
            lf.lfWeight = gdi::FW_BOLD;
            bold = gdi::CreateFontIndirect(lf);
        }
        if (bold) dc.SelectObject(bold);
        dc.SetBkMode(gdi::TRANSPARENT);
        dc.SetTextColor(theme.Colour(gdi::COLOR_HIGHLIGHTTEXT));
        RECT title = bar;
        gdi::InflateRect(title, -10, 0);
        gdi::DrawText(
            dc, caption_, title,
            gdi::DT_SINGLELINE | gdi::DT_VCENTER | gdi::DT_NOPREFIX | gdi::DT_END_ELLIPSIS);
        theme.DrawFieldFrame(dc, client, false, false);
        return 0;
    }

    LRESULT OnNcHitTest(WPARAM, LPARAM lParam) {
        POINT p = PointFromLParam(lParam);
        ScreenToClient(p);
        return p.y >= 0 && p.y < CaptionHeight ? HTCAPTION : HTCLIENT;
    }

    void Layout() {
        gdi::DC dc = gdi::DC::Memory();
        const gdi::Font font = GetFont();
        if (font) dc.SelectObject(font);
        // As wide as the longest line, at most MaxTextWidth (then the text wraps).
        int longest = 0;
        std::size_t start = 0;
        while (start <= text_.size()) {
            const std::size_t end = std::min(text_.find(u'\n', start), text_.size());
            longest = std::max(
                longest, TextWidth(dc, std::u16string_view(text_).substr(start, end - start)));
            start = end + 1;
        }
        RECT textRect{0, 0, std::clamp(longest + 1, 1, MaxTextWidth), 0};
        gdi::DrawText(dc, text_, textRect,
                      gdi::DT_CALCRECT | gdi::DT_WORDBREAK | gdi::DT_NOPREFIX | gdi::DT_EXPANDTABS);
        const int captionWidth = TextWidth(dc, caption_) + 40;
        const int width = std::max(
            {textRect.Width() + 2 * Margin, ButtonWidth + 2 * Margin, captionWidth, MinWidth});
        const int textTop = CaptionHeight + Margin;
        const int buttonTop = textTop + textRect.Height() + Margin;
        const int height = buttonTop + ButtonHeight + Margin - 4;
        if (Window* text = GetDlgItemWindow(TextId)) {
            text->MoveWindow(Margin, textTop, width - 2 * Margin, textRect.Height() + 2, false);
        }
        if (Window* ok = GetDlgItemWindow(IDOK)) {
            ok->MoveWindow((width - ButtonWidth) / 2, buttonTop, ButtonWidth, ButtonHeight, false);
        }
        // Centred on the owner (or the screen), kept on the screen.
        const SIZE screen = GetApplication().ScreenSize();
        RECT area{0, 0, screen.cx, screen.cy};
        const HWND owner = GetApplication().GetTopLevel(ui::GetParent(GetSafeHwnd()));
        if (owner) area = GetApplication().GetWindowRect(owner);
        int x = area.left + (area.Width() - width) / 2;
        int y = area.top + (area.Height() - height) / 2;
        x = std::clamp(x, 0, std::max(0, static_cast<int>(screen.cx) - width));
        y = std::clamp(y, 0, std::max(0, static_cast<int>(screen.cy) - height));
        SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    std::u16string text_;
    std::u16string caption_;
    std::array<DialogItemTemplate, 2> items_;
    DialogTemplate template_;
};

const MessageMap MessageBoxDialog::messageMap{
    &Dialog::messageMap,
    {
        OnMessage<&MessageBoxDialog::OnPaint>(WM_PAINT),
        OnMessage<&MessageBoxDialog::OnNcHitTest>(WM_NCHITTEST),
    }};

}  // namespace

std::u16string ExecutableBaseName() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return u"";
    const std::string name = exe.stem().string();
    return shell::Utf8ToUtf16(name);
}

int MessageBox(Application& app, HWND owner, std::u16string_view text, std::u16string_view caption,
               UINT) {
    HWND ownerTop = owner ? app.GetTopLevel(owner) : app.GetActiveWindow();
    if (!ownerTop && app.GetMainWindow() != nullptr) ownerTop = app.GetMainWindow()->GetSafeHwnd();
    Window* ownerWindow = Window::FromHandle(ownerTop);
    std::u16string title(caption);
    if (title.empty()) title = app.AppName();
    if (title.empty()) title = ExecutableBaseName();
    MessageBoxDialog box(app, ownerWindow, std::u16string(text), title);
    const int result = box.DoModal();
    return result == IDOK ? IDOK : 0;
}

int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT type) {
    if (owner.app == nullptr) return 0;
    return MessageBox(*owner.app, owner, text, caption, type);
}

}  // namespace ui
