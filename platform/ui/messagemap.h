// Message tables. Each window class has one static table of entries (message, notification
// code, control ids, handler) and a link to its base class's table; the first entry that
// matches a message handles it, and a message no table handles goes to default processing.
// A handler that returns Default() hands the message on to the base classes' tables (the first
// entry there that matches), and to default processing when none does: a subclassed control
// keeps its class's behaviour.
//
//   const ui::MessageMap CSettingsDlg::messageMap{&ui::Dialog::messageMap, {
//       ui::OnMessage<&CSettingsDlg::OnEraseBkgnd>(ui::WM_ERASEBKGND),
//       ui::OnCommand<&CSettingsDlg::OnApply>(ui::BN_CLICKED, 1000),
//       ui::OnCommandRange<&CSettingsDlg::OnColour>(ui::BN_CLICKED, 1003, 1013),
//   }};
//
// Handler shapes. Messages (OnMessage): LRESULT (C::*)(WPARAM, LPARAM), or void (C::*)(), or
// the message's natural shape, the Windows message numbers unchanged:
//   (UINT flags, POINT point)          mouse messages (key flags, client point; WM_MOUSEWHEEL's
//                                      point is on the screen)
//   (DRAWITEMSTRUCT& dis)              WM_DRAWITEM, OCM_DRAWITEM (void answers "drawn")
//   (gdi::DC& dc, HWND control)        control colours, answering const gdi::Brush*
//   (gdi::DC& dc)                      WM_ERASEBKGND, WM_ICONERASEBKGND (the DC in wParam)
//                                      (both: a message without a DC is answered 0, unseen)
//   (WPARAM value)                     the message's wParam: WM_TIMER's timer id, a key's
//                                      virtual-key code, WM_ENABLE's flag, BM_SETCHECK's state
// with a result of LRESULT, bool (1 or 0), void (0) or const gdi::Brush*. Commands: void
// (C::*)() or void (C::*)(int id); reflected commands: bool (C::*)() (true: the parent does
// not see the notification). Every entry has one layout: message, notification code (or
// any), control id range, handler. A handler that hands the message on calls Default(), which
// passes the message's own parameters.
#pragma once

#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <vector>

#include "platform/ui/messages.h"

namespace ui {

class Window;

struct MessageEntry {
    UINT message;  // WM_... or OCM_...; WM_COMMAND or OCM_COMMAND for commands
    bool anyCode;  // false: only notification `code` (WM_COMMAND's high word of wParam)
    UINT code;
    int firstId;  // control ids (WM_COMMAND's low word of wParam), inclusive
    int lastId;
    LRESULT (*thunk)(Window& window, WPARAM wParam, LPARAM lParam);
};

struct MessageMap;

// An entry that handles a message and the table that holds it.
struct MessageMatch {
    const MessageEntry* entry = nullptr;
    const MessageMap* map = nullptr;
    explicit operator bool() const { return entry != nullptr; }
};

struct MessageMap {
    const MessageMap* base;
    std::vector<MessageEntry> entries;

    MessageMap(const MessageMap* baseMap, std::initializer_list<MessageEntry> list)
        : base(baseMap), entries(list) {}

    // The first entry of this table or of a base table that handles the message.
    const MessageEntry* Find(UINT message, WPARAM wParam) const;
    // The same, with the table it was found in (Default continues in that table's base).
    MessageMatch Match(UINT message, WPARAM wParam) const;
};

// A pointer carried in a message parameter (a menu, a structure to fill in), and back.
template <typename Param, typename T>
Param PointerToParam(T* pointer) {
    return reinterpret_cast<Param>(pointer);
}
template <typename T, typename Param>
T* PointerFromParam(Param param) {
    return reinterpret_cast<T*>(param);
}

namespace detail {

template <typename T>
struct MemberOf;
template <typename C, typename R, typename... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Args = std::tuple<A...>;
};

// The object of a handler's class: the window itself, or a part it is made of that is not a
// window (a row-keeping mix-in of a control).
template <typename C>
C& HandlerObject(Window& window) {
    if constexpr (std::is_base_of_v<Window, C>) {
        return static_cast<C&>(window);
    } else {
        return dynamic_cast<C&>(window);
    }
}

// The control a colour request is about (its lParam).
HWND ControlFromParam(const Window& window, LPARAM lParam);

template <typename>
inline constexpr bool UnknownShape = false;

// Runs call and turns what it answers into the message's result; a void handler answers
// `handled`.
template <typename R, typename F>
LRESULT Answer(F&& call, LRESULT handled = 0) {
    if constexpr (std::is_void_v<R>) {
        call();
        return handled;
    } else if constexpr (std::is_same_v<R, bool>) {
        return call() ? 1 : 0;
    } else if constexpr (std::is_pointer_v<R>) {
        return reinterpret_cast<LRESULT>(call());
    } else {
        return static_cast<LRESULT>(call());
    }
}

template <auto Handler>
LRESULT MessageThunk(Window& window, WPARAM wParam, LPARAM lParam) {
    using M = MemberOf<decltype(Handler)>;
    using R = typename M::Result;
    using Args = typename M::Args;
    auto& self = HandlerObject<typename M::Class>(window);
    if constexpr (std::is_same_v<Args, std::tuple<UINT, POINT>>) {
        return Answer<R>(
            [&] { return (self.*Handler)(static_cast<UINT>(wParam), PointFromLParam(lParam)); });
    } else if constexpr (std::is_invocable_v<decltype(Handler), decltype(self), WPARAM, LPARAM>) {
        return Answer<R>([&] { return (self.*Handler)(wParam, lParam); });
    } else if constexpr (std::is_same_v<Args, std::tuple<>>) {
        return Answer<R>([&] { return (self.*Handler)(); });
    } else if constexpr (std::is_same_v<Args, std::tuple<DRAWITEMSTRUCT&>>) {
        auto* dis = PointerFromParam<DRAWITEMSTRUCT>(lParam);
        if (dis == nullptr) return 0;
        return Answer<R>([&] { return (self.*Handler)(*dis); }, 1);
    } else if constexpr (std::is_same_v<Args, std::tuple<gdi::DC&, HWND>>) {
        gdi::DC* dc = DCFromWParam(wParam);
        if (dc == nullptr) return 0;
        return Answer<R>([&] { return (self.*Handler)(*dc, ControlFromParam(window, lParam)); });
    } else if constexpr (std::is_same_v<Args, std::tuple<gdi::DC&>>) {
        gdi::DC* dc = DCFromWParam(wParam);
        if (dc == nullptr) return 0;
        return Answer<R>([&] { return (self.*Handler)(*dc); });
    } else if constexpr (std::is_same_v<Args, std::tuple<WPARAM>>) {
        return Answer<R>([&] { return (self.*Handler)(wParam); });
    } else {
        static_assert(UnknownShape<decltype(Handler)>, "no message handler of this shape");
        return 0;
    }
}

template <auto Handler>
LRESULT CommandThunk(Window& window, WPARAM wParam, LPARAM) {
    using C = typename MemberOf<decltype(Handler)>::Class;
    auto& self = HandlerObject<C>(window);
    if constexpr (std::is_invocable_v<decltype(Handler), C&, int>) {
        (self.*Handler)(static_cast<int>(LOWORD(wParam)));
    } else {
        (self.*Handler)();
    }
    return 1;
}

template <auto Handler>
LRESULT ReflectedCommandThunk(Window& window, WPARAM, LPARAM) {
    using C = typename MemberOf<decltype(Handler)>::Class;
    auto& self = HandlerObject<C>(window);
    return (self.*Handler)() ? 1 : 0;
}

inline constexpr int AllIds = 0xFFFF;

}  // namespace detail

// A message (WM_... or a reflected OCM_...), whatever its parameters.
template <auto Handler>
MessageEntry OnMessage(UINT message) {
    return {message, true, 0, 0, detail::AllIds, &detail::MessageThunk<Handler>};
}

// A command from control `id` with notification `code` (WM_COMMAND).
template <auto Handler>
MessageEntry OnCommand(UINT code, int id) {
    return {WM_COMMAND, false, code, id, id, &detail::CommandThunk<Handler>};
}

// A command from any control id in [firstId, lastId]; the handler may take the id.
template <auto Handler>
MessageEntry OnCommandRange(UINT code, int firstId, int lastId) {
    return {WM_COMMAND, false, code, firstId, lastId, &detail::CommandThunk<Handler>};
}

// A notification of this control to its parent, reflected back to the control first.
template <auto Handler>
MessageEntry OnReflectedCommand(UINT code) {
    return {OCM_COMMAND, false, code, 0, detail::AllIds, &detail::ReflectedCommandThunk<Handler>};
}

// Declares the table of a window class.
#define UI_DECLARE_MESSAGE_MAP()                             \
public:                                                      \
    static const ::ui::MessageMap messageMap;                \
    const ::ui::MessageMap* GetMessageMap() const override { \
        return &messageMap;                                  \
    }

}  // namespace ui
