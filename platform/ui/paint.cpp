// Painting: update regions, the update pass (erase then paint, parent before children), the
// visible region of each window in its top-level framebuffer, and presenting what changed.
#include <algorithm>

#include "platform/gdi/brush.h"
#include "platform/ui/application.h"
#include "platform/ui/window.h"

namespace ui {

namespace {

gdi::Region Intersect(const gdi::Region& a, const gdi::Region& b) {
    gdi::Region out;
    gdi::CombineRgn(out, a, b, gdi::RGN_AND);
    return out;
}

void Add(gdi::Region& into, const gdi::Region& more) {
    gdi::CombineRgn(into, into, more, gdi::RGN_OR);
}

void Subtract(gdi::Region& from, const gdi::Region& less) {
    gdi::CombineRgn(from, from, less, gdi::RGN_DIFF);
}

}  // namespace

const gdi::Brush* StockBrush(int object) {
    static const gdi::Brush brushes[] = {
        gdi::GetStockBrush(gdi::WHITE_BRUSH), gdi::GetStockBrush(gdi::LTGRAY_BRUSH),
        gdi::GetStockBrush(gdi::GRAY_BRUSH),  gdi::GetStockBrush(gdi::DKGRAY_BRUSH),
        gdi::GetStockBrush(gdi::BLACK_BRUSH), gdi::GetStockBrush(gdi::NULL_BRUSH),
    };
    if (object < 0 || object > gdi::NULL_BRUSH) return nullptr;
    return &brushes[object];
}

const gdi::Brush* SysColorBrush(int index) {
    static const auto brushes = [] {
        std::vector<gdi::Brush> all;
        for (int i = 0; i <= gdi::COLOR_INFOBK; ++i)
            all.push_back(gdi::GetSysColorBrush(i));
        return all;
    }();
    if (index < 0 || index >= static_cast<int>(brushes.size())) return nullptr;
    return &brushes[static_cast<std::size_t>(index)];
}

void Application::EnsureFrame(WindowNode& top) {
    const int w = std::max(top.Width(), 1);
    const int h = std::max(top.Height(), 1);
    if (top.frame && top.frame.Width() == w * scale_ && top.frame.Height() == h * scale_) return;
    top.frame =
        scale_ > 1 ? gdi::CreateScaledDIBSection32(w, h, scale_) : gdi::CreateDIBSection32(w, -h);
    top.dirty = gdi::Region(RECT{0, 0, w, h});
}

gdi::Region Application::VisibleRegion(HWND hwnd) const {
    const WindowNode* n = Node(hwnd);
    if (n == nullptr || !IsWindowVisible(hwnd)) return {};
    const POINT origin = OriginInTopLevel(hwnd);
    auto shapeOf = [&](const WindowNode& w, POINT at) {
        gdi::Region r(RECT{at.x, at.y, at.x + w.Width(), at.y + w.Height()});
        if (w.windowRegion) {
            gdi::Region shape = *w.windowRegion;
            shape.Offset(at.x, at.y);
            r = Intersect(r, shape);
        }
        return r;
    };
    gdi::Region visible = shapeOf(*n, origin);
    if ((n->style & WS_CLIPCHILDREN) != 0) {
        for (const HWND c : n->children) {
            const WindowNode* cn = Node(c);
            if (cn == nullptr || (cn->style & WS_VISIBLE) == 0) continue;
            Subtract(visible,
                     shapeOf(*cn, POINT{origin.x + cn->rect.left, origin.y + cn->rect.top}));
        }
    }
    // Each ancestor cuts the window to itself; siblings above cut it with WS_CLIPSIBLINGS.
    POINT at = origin;
    for (const WindowNode* w = n; w->IsChild();) {
        const WindowNode* p = Node(w->parent);
        if (p == nullptr) break;
        if ((w->style & WS_CLIPSIBLINGS) != 0) {
            for (const HWND s : p->children) {
                if (s == w->handle) break;
                const WindowNode* sn = Node(s);
                if (sn == nullptr || (sn->style & WS_VISIBLE) == 0) continue;
                Subtract(visible, shapeOf(*sn, POINT{at.x - w->rect.left + sn->rect.left,
                                                     at.y - w->rect.top + sn->rect.top}));
            }
        }
        at = POINT{at.x - w->rect.left, at.y - w->rect.top};
        visible = Intersect(visible, shapeOf(*p, at));
        w = p;
    }
    return visible;
}

void Application::AddUpdate(WindowNode& node, const gdi::Region& area, bool erase, bool children) {
    if (!IsWindowVisible(node.handle)) return;
    gdi::Region a = Intersect(area, gdi::Region(RECT{0, 0, node.Width(), node.Height()}));
    if (node.windowRegion) a = Intersect(a, *node.windowRegion);
    if (a.IsEmpty()) return;
    Add(node.update, a);
    node.erasePending = node.erasePending || erase;
    if (!children) return;
    for (const HWND c : node.children) {
        WindowNode* cn = Node(c);
        if (cn == nullptr || (cn->style & WS_VISIBLE) == 0) continue;
        gdi::Region part = a;
        part.Offset(-cn->rect.left, -cn->rect.top);
        AddUpdate(*cn, part, erase, (cn->style & WS_CLIPCHILDREN) == 0);
    }
}

void Application::InvalidateBehind(WindowNode& node) {
    WindowNode* p = Node(node.parent);
    if (p == nullptr) return;
    gdi::Region area(node.rect);
    if (node.windowRegion) {
        gdi::Region shape = *node.windowRegion;
        shape.Offset(node.rect.left, node.rect.top);
        area = Intersect(area, shape);
    }
    AddUpdate(*p, area, true, true);
}

void Application::InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return;
    const gdi::Region area(rect != nullptr ? *rect : GetClientRect(hwnd));
    AddUpdate(*n, area, erase, (n->style & WS_CLIPCHILDREN) == 0);
}

void Application::InvalidateRgn(HWND hwnd, const gdi::Region* region, bool erase) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return;
    AddUpdate(*n, region != nullptr ? *region : gdi::Region(GetClientRect(hwnd)), erase,
              (n->style & WS_CLIPCHILDREN) == 0);
}

void Application::ValidateRect(HWND hwnd, const RECT* rect) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return;
    if (rect == nullptr) {
        n->update = {};
        n->erasePending = false;
    } else {
        Subtract(n->update, gdi::Region(*rect));
        if (n->update.IsEmpty()) n->erasePending = false;
    }
}

bool Application::GetUpdateRect(HWND hwnd, RECT* rect) const {
    const WindowNode* n = Node(hwnd);
    if (n == nullptr) return false;
    if (rect != nullptr) *rect = n->update.Bounds();
    return !n->update.IsEmpty();
}

bool Application::RedrawWindow(HWND hwnd, const RECT* rect, const gdi::Region* region, UINT flags) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return false;
    const gdi::Region area = region != nullptr ? *region
                             : rect != nullptr ? gdi::Region(*rect)
                                               : gdi::Region(GetClientRect(hwnd));
    const bool children = (flags & RDW_ALLCHILDREN) != 0 ||
                          ((flags & RDW_NOCHILDREN) == 0 && (n->style & WS_CLIPCHILDREN) == 0);
    if ((flags & RDW_INVALIDATE) != 0) AddUpdate(*n, area, (flags & RDW_ERASE) != 0, children);
    if ((flags & RDW_VALIDATE) != 0) {
        Subtract(n->update, area);
        if ((flags & RDW_NOERASE) != 0 || n->update.IsEmpty()) n->erasePending = false;
    }
    if ((flags & RDW_UPDATENOW) != 0) UpdateWindow(hwnd);
    return true;
}

void Application::PaintTree(HWND hwnd) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr || !IsWindowVisible(hwnd)) return;
    if (!n->update.IsEmpty()) {
        SendMessage(hwnd, WM_PAINT);
        n = Node(hwnd);
        if (n == nullptr) return;
        // A handler that did not begin painting must not bring the same request back forever.
        n->update = {};
        n->erasePending = false;
    }
    const std::vector<HWND> children = n->children;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        PaintTree(*it);
}

void Application::Present(WindowNode& top) {
    if (top.dirty.IsEmpty()) return;
    if (top.native && top.shown && !top.minimized) {
        if (scale_ > 1) {
            gdi::Region dirty = top.dirty;
            dirty.Scale(scale_);
            backend_.Present(top.handle, top.frame, dirty);
        } else {
            backend_.Present(top.handle, top.frame, top.dirty);
        }
    }
    top.dirty = {};
}

void Application::UpdateWindow(HWND hwnd) {
    if (Node(hwnd) == nullptr) return;
    PaintTree(hwnd);
    if (WindowNode* top = TopNode(hwnd)) Present(*top);
}

void Application::UpdateAllWindows() {
    const std::vector<HWND> tops = topLevels_;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        PaintTree(*it);
        if (WindowNode* top = Node(*it)) Present(*top);
    }
}

gdi::DC Application::BeginPaint(HWND hwnd, PAINTSTRUCT& ps) {
    ps = PAINTSTRUCT{};
    WindowNode* n = Node(hwnd);
    WindowNode* top = TopNode(hwnd);
    if (n == nullptr || top == nullptr) return {};
    EnsureFrame(*top);
    const POINT origin = OriginInTopLevel(hwnd);
    gdi::Region area = n->update;
    area.Offset(origin.x, origin.y);
    const gdi::Region visible = Intersect(VisibleRegion(hwnd), area);
    const bool erase = n->erasePending;
    n->update = {};
    n->erasePending = false;
    Add(top->dirty, visible);

    gdi::DC dc = gdi::DC::ForSurface(top->frame, origin, visible);
    RECT bounds = visible.Bounds();
    gdi::OffsetRect(bounds, -origin.x, -origin.y);
    ps.rcPaint = visible.IsEmpty() ? RECT{} : bounds;
    if (erase) ps.fErase = SendMessage(hwnd, WM_ERASEBKGND, DCToWParam(&dc), 0) == 0;
    return dc;
}

void Application::EndPaint(HWND, const PAINTSTRUCT&) {}

gdi::DC Application::GetDC(HWND hwnd) {
    WindowNode* top = TopNode(hwnd);
    if (Node(hwnd) == nullptr || top == nullptr) return {};
    EnsureFrame(*top);
    const gdi::Region visible = VisibleRegion(hwnd);
    Add(top->dirty, visible);
    return gdi::DC::ForSurface(top->frame, OriginInTopLevel(hwnd), visible);
}

}  // namespace ui
