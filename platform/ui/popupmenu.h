// Pop-up menus: a tree of items (commands, separators, sub-menus) built with the usual calls,
// and TrackPopupMenu / TrackPopupMenuEx, which show one as a tool window over the desktop and
// run a modal loop until the user picks a command or dismisses it with a click outside it. The
// menu never takes the keyboard focus; while it is open it holds the mouse.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/messages.h"

namespace ui {

// AppendMenu flags.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// TrackPopupMenu(Ex) flags.
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// A menu: items in order. Owns its sub-menus.
class Menu {
public:
    struct Item {
        UINT flags = MF_STRING;
        UINT id = 0;
        std::u16string text;
        std::unique_ptr<Menu> subMenu;  // MF_POPUP
    };

    // Appends a command (or a separator with MF_SEPARATOR); false for MF_POPUP.
    bool Append(UINT flags, UINT id, std::u16string_view text);
    // Appends a sub-menu, which this menu owns from then on.
    bool AppendPopup(std::unique_ptr<Menu> subMenu, std::u16string_view text, UINT flags = 0);
    int GetItemCount() const { return static_cast<int>(items_.size()); }
    const Item* GetItem(int position) const;
    // The sub-menu at a position; null when the item there has none.
    Menu* GetSubMenu(int position) const;
    UINT GetMenuItemID(int position) const;  // 0xFFFFFFFF for a sub-menu or a wrong position

private:
    std::vector<Item> items_;
};

std::unique_ptr<Menu> CreatePopupMenu();
bool AppendMenu(Menu& menu, UINT flags, UINT id, std::u16string_view text);
Menu* GetSubMenu(const Menu& menu, int position);

// TPMPARAMS: a screen rectangle the menu should not cover.
struct TPMPARAMS {
    UINT cbSize = sizeof(TPMPARAMS);
    RECT rcExclude{};
};

// Shows the menu with its corner at the screen point (x, y) (the corner chosen by the align
// flags; the menu moves to stay on the screen) and waits for the user. With TPM_RETURNCMD it
// answers the command picked (0 for none) and sends nothing; otherwise it posts WM_COMMAND with
// the command to `owner` and answers nonzero when one was picked. TPM_NONOTIFY: no
// WM_INITMENUPOPUP and the like to the owner (this framework sends none in any case).
// TPM_RIGHTBUTTON: the right button picks as well as the left.
int TrackPopupMenuEx(const Menu& menu, UINT flags, int x, int y, HWND owner,
                     const TPMPARAMS* params);
int TrackPopupMenu(const Menu& menu, UINT flags, int x, int y, int reserved, HWND owner,
                   const RECT* ignored);

}  // namespace ui
