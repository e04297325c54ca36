#include "platform/ui/popupmenu.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/ui/application.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/theme.h"
#include "platform/ui/window.h"

namespace ui {

// Menu.

bool Menu::Append(UINT flags, UINT id, std::u16string_view text) {
    if ((flags & MF_POPUP) != 0) return false;
    Item item;
    item.flags = flags;
    item.id = (flags & MF_SEPARATOR) != 0 ? 0 : id;
    item.text = std::u16string(text);
    items_.push_back(std::move(item));
    return true;
}

bool Menu::AppendPopup(std::unique_ptr<Menu> subMenu, std::u16string_view text, UINT flags) {
    if (!subMenu) return false;
    Item item;
    item.flags = (flags & ~MF_SEPARATOR) | MF_POPUP;
    item.text = std::u16string(text);
    item.subMenu = std::move(subMenu);
    items_.push_back(std::move(item));
    return true;
}

const Menu::Item* Menu::GetItem(int position) const {
    if (position < 0 || position >= GetItemCount()) return nullptr;
    return &items_[static_cast<std::size_t>(position)];
}

Menu* Menu::GetSubMenu(int position) const {
    const Item* item = GetItem(position);
    return item != nullptr ? item->subMenu.get() : nullptr;
}

UINT Menu::GetMenuItemID(int position) const {
    const Item* item = GetItem(position);
    return item != nullptr && !item->subMenu ? item->id : 0xFFFFFFFFu;
}

std::unique_ptr<Menu> CreatePopupMenu() {
    return std::make_unique<Menu>();
}

bool AppendMenu(Menu& menu, UINT flags, UINT id, std::u16string_view text) {
    return menu.Append(flags, id, text);
}

Menu* GetSubMenu(const Menu& menu, int position) {
    return menu.GetSubMenu(position);
}

// The menu's window.

namespace {

constexpr int Border = 3;  // frame and padding around the items
constexpr int SeparatorHeight = 8;
constexpr int TextIndent = 20;  // room for a check mark on the left
constexpr int TextTrail = 20;

class PopupMenuWindow : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    PopupMenuWindow(const Menu& menu, bool rightButtonPicks)
        : menu_(menu),
          rightButtonPicks_(rightButtonPicks),
          font_(gdi::GetStockFont(gdi::DEFAULT_GUI_FONT)) {}

    // The window's size for its items.
    SIZE Measure() {
        gdi::DC dc = gdi::DC::Memory();
        if (font_) dc.SelectObject(font_);
        itemHeight_ = std::max(LineHeight(dc) + 6, 18);
        int width = 0;
        int height = 0;
        for (int i = 0; i < menu_.GetItemCount(); ++i) {
            const Menu::Item& item = *menu_.GetItem(i);
            if ((item.flags & MF_SEPARATOR) != 0) {
                height += SeparatorHeight;
            } else {
                height += itemHeight_;
                width = std::max(width, TextWidth(dc, item.text));
            }
        }
        return SIZE{width + TextIndent + TextTrail + 2 * Border, height + 2 * Border};
    }

    // The item under a client point, or -1.
    int ItemAt(POINT p) const {
        RECT client;
        GetClientRect(client);
        if (p.x < client.left || p.x >= client.right) return -1;
        int top = Border;
        for (int i = 0; i < menu_.GetItemCount(); ++i) {
            const int h =
                (menu_.GetItem(i)->flags & MF_SEPARATOR) != 0 ? SeparatorHeight : itemHeight_;
            if (p.y >= top && p.y < top + h) return i;
            top += h;
        }
        return -1;
    }

    bool Pickable(int index) const {
        const Menu::Item* item = menu_.GetItem(index);
        return item != nullptr && (item->flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) == 0 &&
               !item->subMenu;
    }

private:
    LRESULT OnPaint(WPARAM, LPARAM) {
        PaintDC dc(*this);
        if (!dc) return 0;
        const Theme& theme = Theme::Standard();
        RECT client;
        GetClientRect(client);
        gdi::FillRect(dc, client, theme.Brush(gdi::COLOR_BTNFACE));
        RECT frame = client;
        gdi::DrawEdge(dc, frame, gdi::EDGE_RAISED, gdi::BF_RECT);
        if (font_) dc.SelectObject(font_);
        dc.SetBkMode(gdi::TRANSPARENT);
        int top = Border;
        for (int i = 0; i < menu_.GetItemCount(); ++i) {
            const Menu::Item& item = *menu_.GetItem(i);
            if ((item.flags & MF_SEPARATOR) != 0) {
                RECT line{Border + 1, top + SeparatorHeight / 2 - 1, client.right - Border - 1,
                          top + SeparatorHeight / 2 + 1};
                gdi::DrawEdge(dc, line, gdi::EDGE_ETCHED, gdi::BF_TOP);
                top += SeparatorHeight;
                continue;
            }
            const RECT row{Border, top, client.right - Border, top + itemHeight_};
            const bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
            const bool hot = i == hot_ && !grayed;
            if (hot) gdi::FillRect(dc, row, theme.Brush(gdi::COLOR_HIGHLIGHT));
            dc.SetTextColor(theme.Colour(hot      ? gdi::COLOR_HIGHLIGHTTEXT
                                         : grayed ? gdi::COLOR_GRAYTEXT
                                                  : gdi::COLOR_BTNTEXT));
            RECT text{row.left + TextIndent, row.top, row.right - TextTrail / 2, row.bottom};
            gdi::DrawText(dc, item.text, text, gdi::DT_SINGLELINE | gdi::DT_VCENTER);
            if ((item.flags & MF_CHECKED) != 0) {
                RECT mark{row.left + 4, row.top, row.left + TextIndent, row.bottom};
                gdi::DrawText(dc, u"\u2713", mark, gdi::DT_SINGLELINE | gdi::DT_VCENTER);
            }
            if (item.subMenu) {
                RECT arrow{row.right - TextTrail, row.top, row.right - 4, row.bottom};
                gdi::DrawText(dc, u"\u25B8", arrow,
                              gdi::DT_SINGLELINE | gdi::DT_VCENTER | gdi::DT_RIGHT);
            }
            top += itemHeight_;
        }
        return 0;
    }
    LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return 1; }
    LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
    LRESULT OnMouseMove(WPARAM, LPARAM lParam) {
        const int hot = ItemAt(PointFromLParam(lParam));
        if (hot != hot_) {
            hot_ = hot;
            Invalidate(true);
        }
        return 0;
    }
    LRESULT OnButtonDown(WPARAM, LPARAM lParam) {
        // A press outside the menu dismisses it; inside, the release decides.
        RECT client;
        GetClientRect(client);
        if (!gdi::PtInRect(client, PointFromLParam(lParam))) App()->EndModalLoop(GetSafeHwnd(), 0);
        return 0;
    }
    LRESULT OnButtonUp(WPARAM, LPARAM lParam) {
        const UINT message = CurrentMessage()->message;
        if (message == WM_RBUTTONUP && !rightButtonPicks_) return 0;
        const int index = ItemAt(PointFromLParam(lParam));
        if (Pickable(index))
            App()->EndModalLoop(GetSafeHwnd(), static_cast<int>(menu_.GetItem(index)->id));
        return 0;
    }
    // The menu has the keyboard while it is open: Escape closes it without a pick, the arrow
    // keys move through the pickable items and Enter picks the one lit.
    LRESULT OnKeyDown(WPARAM wParam, LPARAM) {
        const int count = menu_.GetItemCount();
        switch (wParam) {
            case VK_ESCAPE:
                App()->EndModalLoop(GetSafeHwnd(), 0);
                break;
            case VK_RETURN:
                if (Pickable(hot_))
                    App()->EndModalLoop(GetSafeHwnd(), static_cast<int>(menu_.GetItem(hot_)->id));
                break;
            case VK_UP:
            case VK_DOWN: {
                const int step = wParam == VK_DOWN ? 1 : count - 1;
                int next = hot_ < 0 ? (wParam == VK_DOWN ? count - 1 : 0) : hot_;
                for (int i = 0; i < count; ++i) {
                    next = (next + step) % count;
                    if (Pickable(next)) break;
                }
                if (Pickable(next) && next != hot_) {
                    hot_ = next;
                    Invalidate(true);
                }
                break;
            }
            default:
                break;
        }
        return 0;
    }
    LRESULT OnCaptureChanged(WPARAM, LPARAM) {
        App()->EndModalLoop(GetSafeHwnd(), 0);
        return 0;
    }

    const Menu& menu_;
    bool rightButtonPicks_;
    gdi::Font font_;
    int itemHeight_ = 18;
    int hot_ = -1;
};

const MessageMap PopupMenuWindow::messageMap{
    &Window::messageMap,
    {
        OnMessage<&PopupMenuWindow::OnPaint>(WM_PAINT),
        OnMessage<&PopupMenuWindow::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&PopupMenuWindow::OnMouseActivate>(WM_MOUSEACTIVATE),
        OnMessage<&PopupMenuWindow::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&PopupMenuWindow::OnButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&PopupMenuWindow::OnButtonDown>(WM_RBUTTONDOWN),
        OnMessage<&PopupMenuWindow::OnButtonUp>(WM_LBUTTONUP),
        OnMessage<&PopupMenuWindow::OnButtonUp>(WM_RBUTTONUP),
        OnMessage<&PopupMenuWindow::OnCaptureChanged>(WM_CAPTURECHANGED),
        OnMessage<&PopupMenuWindow::OnKeyDown>(WM_KEYDOWN),
    }};

}  // namespace

int TrackPopupMenuEx(const Menu& menu, UINT flags, int x, int y, HWND owner,
                     const TPMPARAMS* params) {
    Application* app = owner.app;
    if (app == nullptr || !app->IsWindow(owner) || menu.GetItemCount() == 0) return 0;

    PopupMenuWindow window(menu, (flags & TPM_RIGHTBUTTON) != 0);
    const SIZE size = window.Measure();
    int left = x;
    int top = y;
    if ((flags & TPM_RIGHTALIGN) != 0) {
        left -= size.cx;
    } else if ((flags & TPM_CENTERALIGN) != 0) {
        left -= size.cx / 2;
    }
    if ((flags & TPM_BOTTOMALIGN) != 0) {
        top -= size.cy;
    } else if ((flags & TPM_VCENTERALIGN) != 0) {
        top -= size.cy / 2;
    }
    // Stay on the screen; where the menu would cover the excluded rectangle from below the
    // screen's edge, open it above that rectangle instead.
    const SIZE screen = app->ScreenSize();
    if (top + size.cy > screen.cy) {
        top = params != nullptr ? params->rcExclude.top - size.cy : screen.cy - size.cy;
    }
    left = std::clamp(left, 0, std::max(0, static_cast<int>(screen.cx) - size.cx));
    top = std::max(top, 0);

    const RECT rect{left, top, left + size.cx, top + size.cy};
    if (!window.Create(*app, u"#32768", u"", WS_POPUP, rect, owner, 0,
                       WS_EX_TOOLWINDOW | WS_EX_TOPMOST))
        return 0;
    window.ShowWindow(SW_SHOWNA);
    window.SetCapture();
    const HWND self = window.GetSafeHwnd();
    int command = app->RunModalLoopWithKeys(self);
    if (command < 0) command = 0;  // the program is quitting
    if (window.GetCapture() == self) window.ReleaseCapture();
    window.DestroyWindow();

    if (command != 0 && (flags & TPM_RETURNCMD) == 0) {
        app->PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(command), 0), 0);
        return 1;
    }
    return command;
}

int TrackPopupMenu(const Menu& menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

}  // namespace ui
