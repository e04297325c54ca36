#include "platform/ui/rowcontrol.h"

#include "platform/ui/window.h"

namespace ui {

void SendDeleteItem(HWND control, const DELETEITEMSTRUCT& dis) {
    if (const HWND parent = GetParent(control)) {
        DELETEITEMSTRUCT copy = dis;
        SendMessage(parent, WM_DELETEITEM, static_cast<WPARAM>(dis.CtlID),
                    reinterpret_cast<LPARAM>(&copy));
    }
}

}  // namespace ui
