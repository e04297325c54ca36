// Steps the standard controls share: telling the parent, asking it for colours, the font a
// control draws with, and repainting a control whose background is its parent's.
#pragma once

#include <string>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/ui/window.h"

namespace ui {

// Sends WM_COMMAND (id, code) with the control's handle to its parent; answers the result.
LRESULT NotifyParent(const Window& control, UINT code);

// Asks the control's parent for colours with a WM_CTLCOLOR... message; the DC comes back with
// the text colour, background colour and mode the parent chose. Answers the brush to fill the
// background with: the parent's, or the theme's `fallback` colour when the parent gives none.
gdi::Brush RequestColours(Window& control, gdi::DC& dc, UINT ctlColorMessage, int fallback);
// Same, sent to `to` on behalf of `control` (a drop-down list asks its combo box's parent).
gdi::Brush RequestColoursFrom(HWND to, HWND control, gdi::DC& dc, UINT ctlColorMessage,
                              int fallback);

// Selects the control's font (WM_GETFONT) into dc, if it has one.
void SelectControlFont(Window& control, gdi::DC& dc);
// The first step of a control's painting: its font into dc; answers its client rectangle.
RECT BeginControlPaint(Window& control, gdi::DC& dc);

// Has the control's parent draw one item of the control (WM_DRAWITEM) on dc, whose state is
// put back afterwards.
void DrawItemByParent(Window& control, UINT ctlType, UINT itemId, UINT itemState, gdi::DC& dc,
                      const RECT& rect, std::uintptr_t itemData = 0);

// Repaints the control; a control drawn over its parent's background (a hollow brush) has the
// parent repaint the area under it first.
void RepaintControl(Window& control, bool seeThrough);

// The text a message carries in its lParam (an empty text for null).
inline const char16_t* TextFromParam(LPARAM lParam) {
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    return text != nullptr ? text : u"";
}

// Pixel width of text in dc's font.
int TextWidth(const gdi::DC& dc, std::u16string_view text);
// Line height of dc's font.
int LineHeight(const gdi::DC& dc);

}  // namespace ui

namespace ui {

// Case folding for matching typed text against rows (ASCII and Latin-1 letters).
char16_t FoldCase(char16_t c);
// True when text starts with prefix, ignoring case.
bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix);
bool EqualFolded(std::u16string_view a, std::u16string_view b);
// Orders texts without regard to case (for sorted lists).
bool LessFolded(std::u16string_view a, std::u16string_view b);

}  // namespace ui
