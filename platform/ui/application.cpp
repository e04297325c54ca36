#include "platform/ui/application.h"

#include <algorithm>

#include "platform/ui/window.h"

namespace ui {

namespace {

bool SameClassName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - u'a' + u'A');
        if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - u'a' + u'A');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

Application::Application(Backend& backend)
    : backend_(backend), scale_(std::clamp(backend.Scale(), 1, 3)) {}

SIZE Application::ScreenSize() const {
    const SIZE device = backend_.ScreenSize();
    return SIZE{device.cx / scale_, device.cy / scale_};
}

RECT Application::MonitorRect(HWND hwnd) const {
    const RECT device = backend_.DisplayBounds(GetTopLevel(hwnd));
    return RECT{device.left / scale_, device.top / scale_, device.right / scale_,
                device.bottom / scale_};
}

RECT Application::ToDevice(const RECT& r) const {
    return RECT{r.left * scale_, r.top * scale_, r.right * scale_, r.bottom * scale_};
}

InputEvent Application::FromDevice(const InputEvent& e) const {
    InputEvent out = e;
    auto down = [this](int v) { return v >= 0 ? v / scale_ : -((-v + scale_ - 1) / scale_); };
    out.pt = POINT{down(e.pt.x), down(e.pt.y)};
    out.screen = POINT{down(e.screen.x), down(e.screen.y)};
    return out;
}

Application::~Application() {
    // Windows go first, top-level windows with their children, while their objects live.
    while (!topLevels_.empty())
        DestroyWindow(topLevels_.front());
    retired_.clear();
}

int Application::Run() {
    if (InitInstance()) {
        while (PumpOne(true) != Step::Quit) {
        }
    }
    return ExitInstance();
}

void Application::RegisterClass(WindowClass windowClass) {
    for (WindowClass& c : classes_) {
        if (SameClassName(c.name, windowClass.name)) {
            c = std::move(windowClass);
            return;
        }
    }
    classes_.push_back(std::move(windowClass));
}

const WindowClass* Application::FindClass(std::u16string_view name) const {
    for (const WindowClass& c : classes_) {
        if (SameClassName(c.name, name)) return &c;
    }
    return nullptr;
}

WindowNode* Application::Node(HWND hwnd) const {
    if (hwnd.app != this || hwnd.id == 0) return nullptr;
    const auto it = nodes_.find(hwnd.id);
    return it != nodes_.end() ? it->second.get() : nullptr;
}

Window* Application::FromHandle(HWND hwnd) const {
    const WindowNode* n = Node(hwnd);
    return n != nullptr ? n->object : nullptr;
}

HWND Application::GetTopLevel(HWND hwnd) const {
    const WindowNode* n = Node(hwnd);
    while (n != nullptr && n->IsChild())
        n = ParentNode(*n);
    return n != nullptr ? n->handle : HWND{};
}

WindowNode* Application::ParentNode(const WindowNode& n) const {
    return n.IsChild() ? Node(n.parent) : nullptr;
}

bool Application::IsWithin(HWND hwnd, HWND window) const {
    for (const WindowNode* n = Node(hwnd); n != nullptr; n = ParentNode(*n)) {
        if (n->handle == window) return true;
    }
    return false;
}

WindowNode* Application::TopNode(HWND hwnd) const {
    return Node(GetTopLevel(hwnd));
}

HWND Application::CreateWindowEx(Style exStyle, std::u16string_view className,
                                 std::u16string_view text, Style style, const RECT& rect,
                                 HWND parent, int id, Window* object) {
    WindowNode* parentNode = Node(parent);
    if ((style & WS_CHILD) != 0 && parentNode == nullptr) return nullptr;

    auto node = std::make_unique<WindowNode>();
    const HWND hwnd{this, nextId_++};
    node->handle = hwnd;
    const WindowClass* cls = FindClass(className);
    node->className = cls != nullptr ? cls->name : std::u16string(className);
    node->classStyle = cls != nullptr ? cls->style : 0;
    if (object == nullptr) {
        node->owned = cls != nullptr && cls->factory ? cls->factory() : std::make_unique<Window>();
        object = node->owned.get();
    }
    node->object = object;
    object->hwnd_ = hwnd;
    node->text = std::u16string(text);
    node->style = style & ~WS_VISIBLE;
    node->exStyle = exStyle;
    node->id = id;
    node->rect = rect;
    WindowNode& n = *node;
    nodes_.emplace(hwnd.id, std::move(node));

    if ((style & WS_CHILD) != 0) {
        n.parent = parent;
        parentNode->children.push_back(hwnd);  // later siblings lie below earlier ones
    } else {
        n.owner = parent ? GetTopLevel(parent) : HWND{};
        topLevels_.insert(topLevels_.begin(), hwnd);
        const bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
        n.native = backend_.OpenWindow(hwnd, ToDevice(rect), n.text, tool);
        // A main or dialog window the window system refused would run unseen: fail instead.
        // Tool windows (tooltips, drop-down lists) may do without.
        if (!n.native && !tool) {
            std::erase(topLevels_, hwnd);
            object->hwnd_ = HWND{};
            nodes_.erase(hwnd.id);
            return nullptr;
        }
    }

    if (SendMessage(hwnd, WM_CREATE) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    if ((style & WS_VISIBLE) != 0) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

bool Application::Attach(HWND hwnd, Window& object) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return false;
    if (n->object != nullptr && n->object != n->owned.get()) return false;
    Window* previous = n->owned.get();
    if (n->owned) retired_.push_back(std::move(n->owned));
    n->object = &object;
    object.hwnd_ = hwnd;
    if (previous != nullptr) object.InheritControlState(*previous);
    object.PreSubclassWindow();
    return true;
}

void Application::Detach(HWND hwnd, Window& object) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr || n->object != &object) return;
    const WindowClass* cls = FindClass(n->className);
    n->owned = cls != nullptr && cls->factory ? cls->factory() : std::make_unique<Window>();
    n->owned->hwnd_ = hwnd;
    n->object = n->owned.get();
}

void Application::Unlink(WindowNode& node) {
    if (node.IsChild()) {
        if (WindowNode* p = Node(node.parent)) {
            std::erase(p->children, node.handle);
        }
    } else {
        std::erase(topLevels_, node.handle);
    }
}

bool Application::DestroyWindow(HWND hwnd) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr || n->destroying) return false;
    if (n->IsChild() && (n->style & WS_VISIBLE) != 0) InvalidateBehind(*n);
    if (!n->IsChild()) {
        // Windows that belong to this one go with it.
        std::vector<HWND> owned;
        for (const HWND top : topLevels_) {
            const WindowNode* t = Node(top);
            if (t != nullptr && t->owner == hwnd) owned.push_back(top);
        }
        for (const HWND o : owned)
            DestroyWindow(o);
    }
    DestroyTree(hwnd);
    return true;
}

void Application::DestroyTree(HWND hwnd) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return;
    n->destroying = true;
    SendMessage(hwnd, WM_DESTROY);
    const std::vector<HWND> children = n->children;
    for (const HWND c : children)
        DestroyTree(c);

    if (IsWithin(focus_, hwnd)) focus_ = nullptr;
    if (IsWithin(capture_, hwnd)) capture_ = nullptr;
    if (IsWithin(tracked_, hwnd)) tracked_ = nullptr;
    if (IsWithin(under_, hwnd)) under_ = nullptr;
    if (dragWindow_ == hwnd) dragWindow_ = nullptr;
    if (active_ == hwnd) active_ = nullptr;
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });

    SendMessage(hwnd, WM_NCDESTROY);
    n = Node(hwnd);
    Unlink(*n);
    if (n->native) backend_.CloseWindow(hwnd);
    Window* object = n->object;
    std::unique_ptr<Window> owned = std::move(n->owned);
    nodes_.erase(hwnd.id);
    if (object != nullptr) {
        object->hwnd_ = nullptr;
        object->PostNcDestroy();
    }
    if (owned) retired_.push_back(std::move(owned));
    if (mainWindow_ == object && object != nullptr && !object->IsWindow()) {
        // The program's main window is gone: the main loop ends.
        mainWindow_ = nullptr;
        if (modal_.empty()) PostQuitMessage(0);
    }
}

LRESULT Application::SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr || n->object == nullptr) return 0;
    ++depth_;
    const LRESULT result = n->object->Dispatch(message, wParam, lParam);
    --depth_;
    return result;
}

bool Application::PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd && Node(hwnd) == nullptr) return false;
    queue_.push_back(MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(Now()), cursorScreen_});
    return true;
}

void Application::PostQuitMessage(int exitCode) {
    quitPending_ = true;
    exitCode_ = exitCode;
}

bool Application::PreTranslate(MSG& msg) {
    // From the window the message is for up to its top-level window.
    for (const WindowNode* n = Node(msg.hwnd); n != nullptr; n = ParentNode(*n)) {
        if (n->object != nullptr && n->object->PreTranslateMessage(msg)) return true;
    }
    return false;
}

void Application::DeliverMessage(MSG& msg) {
    if (!msg.hwnd || Node(msg.hwnd) == nullptr) return;  // thread messages and lost windows
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) &&
        !modal_.empty() && modal_.back().takesKeys && !modal_.back().ended &&
        Node(modal_.back().hwnd) != nullptr) {
        msg.hwnd = modal_.back().hwnd;
    }
    if (PreTranslate(msg)) return;
    if (msg.message == WM_KEYDOWN && !control_) {
        // The characters of the keys that type one without a text event.
        char16_t c = 0;
        switch (msg.wParam) {
            case VK_RETURN:
                c = u'\r';
                break;
            case VK_ESCAPE:
                c = 0x1B;
                break;
            case VK_BACK:
                c = u'\b';
                break;
            case VK_TAB:
                c = u'\t';
                break;
            default:
                break;
        }
        if (c != 0) PostMessage(msg.hwnd, WM_CHAR, c, 1);
    }
    SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

bool Application::NeedsPaint() const {
    for (const auto& [id, node] : nodes_) {
        if (!node->update.IsEmpty() && IsWindowVisible(node->handle)) return true;
    }
    for (const HWND top : topLevels_) {
        const WindowNode* t = Node(top);
        if (t != nullptr && !t->dirty.IsEmpty() && t->shown) return true;
    }
    return false;
}

Application::Timer* Application::DueTimer() {
    const std::uint64_t now = Now();
    Timer* due = nullptr;
    for (Timer& t : timers_) {
        if (t.due <= now && (due == nullptr || t.due < due->due)) due = &t;
    }
    return due;
}

std::optional<std::uint64_t> Application::NextTimerDue() const {
    std::optional<std::uint64_t> next;
    for (const Timer& t : timers_) {
        if (!next || t.due < *next) next = t.due;
    }
    return next;
}

Application::Step Application::PumpOne(bool wait) {
    if (depth_ == 0) retired_.clear();
    if (queueHead_ < queue_.size()) {
        MSG msg = queue_[queueHead_++];
        if (queueHead_ == queue_.size()) {
            queue_.clear();
            queueHead_ = 0;
        }
        DeliverMessage(msg);
        return Step::Handled;
    }
    InputEvent event;
    if (backend_.WaitEvent(event, Now())) {
        DispatchInput(event);
        return Step::Handled;
    }
    if (quitPending_) return Step::Quit;
    if (NeedsPaint()) {
        UpdateAllWindows();
        return Step::Handled;
    }
    if (Timer* t = DueTimer()) {
        t->due = Now() + std::max<UINT>(t->elapse, 1);
        MSG msg{t->hwnd, WM_TIMER, t->id, 0, static_cast<DWORD>(Now()), cursorScreen_};
        DeliverMessage(msg);
        return Step::Handled;
    }
    std::optional<std::uint64_t> deadline = NextTimerDue();
    if (companion_ != nullptr) {
        companion_->Service();
        // What the companion did may have queued messages or asked for painting.
        if (queueHead_ < queue_.size() || NeedsPaint()) return Step::Handled;
        const std::uint64_t turn = Now() + companion_->Period();
        deadline = deadline ? std::min(*deadline, turn) : turn;
    }
    if (!wait) return Step::Nothing;
    if (backend_.WaitEvent(event, deadline)) DispatchInput(event);
    return Step::Handled;
}

bool Application::PumpMessages() {
    for (;;) {
        const Step step = PumpOne(false);
        if (step == Step::Quit) return false;
        if (step == Step::Nothing) return true;
    }
}

int Application::RunModalLoop(HWND hwnd) {
    return RunModal(ModalState{hwnd});
}

int Application::RunModalLoopWithKeys(HWND hwnd) {
    return RunModal(ModalState{hwnd, false, 0, true});
}

int Application::RunModal(ModalState state) {
    const HWND hwnd = state.hwnd;
    modal_.push_back(state);
    const std::size_t level = modal_.size() - 1;
    int result = -1;
    for (;;) {
        if (modal_[level].ended) {
            result = modal_[level].result;
            break;
        }
        if (!IsWindow(hwnd)) break;
        if (PumpOne(true) == Step::Quit) break;
    }
    modal_.erase(modal_.begin() + static_cast<std::ptrdiff_t>(level));
    return result;
}

void Application::EndModalLoop(HWND hwnd, int result) {
    for (ModalState& m : modal_) {
        if (m.hwnd == hwnd && !m.ended) {
            m.ended = true;
            m.result = result;
        }
    }
}

bool Application::InModalLoop(HWND hwnd) const {
    return std::any_of(modal_.begin(), modal_.end(),
                       [&](const ModalState& m) { return m.hwnd == hwnd && !m.ended; });
}

std::uintptr_t Application::SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse) {
    if (Node(hwnd) == nullptr) return 0;
    const std::uint64_t due = Now() + std::max<UINT>(elapse, 1);
    for (Timer& t : timers_) {
        if (t.hwnd == hwnd && t.id == id) {
            t.elapse = elapse;
            t.due = due;
            return id;
        }
    }
    timers_.push_back(Timer{hwnd, id, elapse, due});
    return id;
}

bool Application::KillTimer(HWND hwnd, std::uintptr_t id) {
    return std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

HWND Application::SetFocus(HWND hwnd) {
    if (hwnd == focus_) return focus_;
    if (hwnd && Node(hwnd) == nullptr) return nullptr;
    const HWND old = focus_;
    if (hwnd) {
        const HWND top = GetTopLevel(hwnd);
        if (top != active_) SetActiveWindow(top);
        if (focus_ == hwnd) return old;
    }
    const HWND previous = focus_;
    focus_ = hwnd;
    if (previous && Node(previous) != nullptr) {
        SendMessage(previous, WM_KILLFOCUS, static_cast<WPARAM>(hwnd.id), 0);
    }
    if (hwnd && focus_ == hwnd) SendMessage(hwnd, WM_SETFOCUS, previous.id, 0);
    return old;
}

HWND Application::SetActiveWindow(HWND hwnd) {
    return Activate(hwnd, true);
}

HWND Application::Activate(HWND hwnd, bool tellWindowSystem) {
    if (hwnd == active_) return active_;
    const HWND old = active_;
    active_ = hwnd;
    if (old && Node(old) != nullptr) {
        SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), HandleToParam(hwnd));
    }
    if (WindowNode* n = Node(hwnd)) {
        if (tellWindowSystem && n->native && n->shown) backend_.FocusWindow(hwnd);
        SendMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, n->minimized ? 1 : 0),
                    HandleToParam(old));
    }
    return old;
}

HWND Application::SetCapture(HWND hwnd) {
    const HWND old = capture_;
    if (Node(hwnd) == nullptr) return old;
    capture_ = hwnd;
    if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, HandleToParam(hwnd));
    return old;
}

bool Application::ReleaseCapture() {
    const HWND old = capture_;
    capture_ = nullptr;
    if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return true;
}

bool Application::TrackMouseEvent(TRACKMOUSEEVENT& tme) {
    if (tme.cbSize != sizeof(TRACKMOUSEEVENT)) return false;
    if ((tme.dwFlags & TME_QUERY) != 0) {
        tme.dwFlags = tracked_ ? TME_LEAVE : 0;
        tme.hwndTrack = tracked_;
        return true;
    }
    if (Node(tme.hwndTrack) == nullptr) return false;
    if ((tme.dwFlags & TME_CANCEL) != 0) {
        if ((tme.dwFlags & TME_LEAVE) != 0 && tracked_ == tme.hwndTrack) tracked_ = nullptr;
        return true;
    }
    if ((tme.dwFlags & TME_LEAVE) != 0) {
        if (under_ != tme.hwndTrack) {
            // The pointer is not over the window: it has left already.
            PostMessage(tme.hwndTrack, WM_MOUSELEAVE);
            if (tracked_ == tme.hwndTrack) tracked_ = nullptr;
        } else {
            if (tracked_ && tracked_ != tme.hwndTrack) PostMessage(tracked_, WM_MOUSELEAVE);
            tracked_ = tme.hwndTrack;
        }
    }
    return true;
}

void Application::SetCursor(StandardCursor cursor) {
    backend_.SetCursor(cursor);
}

short Application::GetKeyState(UINT vk) const {
    bool down = false;
    switch (vk) {
        case VK_LBUTTON:
            down = buttons_[1];
            break;
        case VK_MBUTTON:
            down = buttons_[2];
            break;
        case VK_RBUTTON:
            down = buttons_[3];
            break;
        case VK_SHIFT:
            down = shift_;
            break;
        case VK_CONTROL:
            down = control_;
            break;
        default:
            break;
    }
    return down ? static_cast<short>(-32768) : 0;
}

}  // namespace ui
