// The standard static text control: its text placed by its style (left, centred, right,
// one line centred vertically, no "&" prefixes, ellipses), over the brush and in the colours
// its parent answers to WM_CTLCOLORSTATIC. With SS_NOTIFY it takes the mouse and tells its
// parent of clicks (STN_CLICKED) and double clicks (STN_DBLCLK); without it, the mouse goes
// through to whatever lies below.
#pragma once

#include "platform/ui/window.h"

namespace ui {

class Static : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    static void Register(Application& app);

    // The DrawText flags that the control's style asks for.
    static UINT DrawTextFlags(Style style);

protected:
    // The standard handling of each message, for derived classes that add to it.
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnRedrawAfterDefault(WPARAM, LPARAM);
};

}  // namespace ui
