// Message tables. Each window class has one static table of entries (message, notification
// code, control ids, handler) and a link to its base class's table; the first entry that
// matches a message handles it, and a message no table handles goes to default processing.
// A handler that returns Default() hands the message on to the base classes' tables (the first
// entry there that matches), and to default processing when none does: a subclassed control
// keeps its class's behaviour.
//
//   const ui::MessageMap CSkinDlg::messageMap{&ui::Dialog::messageMap, {
//       ui::OnMessage<&CSkinDlg::OnEraseBkgnd>(ui::WM_ERASEBKGND),
//       ui::OnCommand<&CSkinDlg::OnMinimise>(ui::BN_CLICKED, 1000),
//       ui::OnCommandRange<&CSkinDlg::SelectCategory>(ui::BN_CLICKED, 1003, 1013),
//   }};
//
// Handler shapes: LRESULT (C::*)(WPARAM, LPARAM) for messages; void (C::*)() or
// void (C::*)(int id) for commands; bool (C::*)() for reflected commands (true: the parent
// does not see the notification).
#pragma once

#include <initializer_list>
#include <type_traits>
#include <vector>

#include "platform/ui/messages.h"

namespace ui {

class Window;

struct MessageEntry {
    enum class Kind { Message, Command, ReflectedCommand };
    Kind kind;
    UINT message;  // WM_... or OCM_...; WM_COMMAND for commands
    UINT code;     // notification code of commands
    int firstId;   // control ids of commands, inclusive
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

namespace detail {

template <typename T>
struct MemberOf;
template <typename C, typename R, typename... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
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

template <auto Handler>
LRESULT MessageThunk(Window& window, WPARAM wParam, LPARAM lParam) {
    using C = typename MemberOf<decltype(Handler)>::Class;
    auto& self = HandlerObject<C>(window);
    if constexpr (std::is_invocable_v<decltype(Handler), C&, WPARAM, LPARAM>) {
        return (self.*Handler)(wParam, lParam);
    } else {
        (self.*Handler)();
        return 0;
    }
}

template <auto Handler>
LRESULT CommandThunk(Window& window, WPARAM wParam, LPARAM) {
    using C = typename MemberOf<decltype(Handler)>::Class;
    auto& self = static_cast<C&>(window);
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
    auto& self = static_cast<C&>(window);
    return (self.*Handler)() ? 1 : 0;
}

}  // namespace detail

// A message (WM_... or a reflected OCM_...).
template <auto Handler>
MessageEntry OnMessage(UINT message) {
    return {MessageEntry::Kind::Message, message, 0, 0, 0, &detail::MessageThunk<Handler>};
}

// A command from control `id` with notification `code` (WM_COMMAND).
template <auto Handler>
MessageEntry OnCommand(UINT code, int id) {
    return {MessageEntry::Kind::Command, WM_COMMAND, code, id, id, &detail::CommandThunk<Handler>};
}

// A command from any control id in [firstId, lastId]; the handler may take the id.
template <auto Handler>
MessageEntry OnCommandRange(UINT code, int firstId, int lastId) {
    return {MessageEntry::Kind::Command,   WM_COMMAND, code, firstId, lastId,
            &detail::CommandThunk<Handler>};
}

// A notification of this control to its parent, reflected back to the control first.
template <auto Handler>
MessageEntry OnReflectedCommand(UINT code) {
    return {MessageEntry::Kind::ReflectedCommand,   WM_COMMAND, code, 0, 0,
            &detail::ReflectedCommandThunk<Handler>};
}

// Declares the table of a window class.
#define UI_DECLARE_MESSAGE_MAP()                             \
public:                                                      \
    static const ::ui::MessageMap messageMap;                \
    const ::ui::MessageMap* GetMessageMap() const override { \
        return &messageMap;                                  \
    }

}  // namespace ui
