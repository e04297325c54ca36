// The look of the standard controls: one palette of system colours and the drawing steps the
// controls share (faces, frames, check marks, scroll bars, arrows). Controls ask the theme for
// every colour and shape; none draws a colour of its own. One plain, flat look.
#pragma once

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/types.h"
#include "platform/ui/types.h"

namespace ui {

// What a scroll bar shows: a range, the part of it in view and where that part starts.
struct ScrollState {
    int range = 0;  // total extent (rows or pixels)
    int page = 0;   // extent in view
    int pos = 0;    // first unit in view
    bool Scrollable() const { return range > page; }
};

// The parts of a scroll bar, for hit testing.
enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

class Theme {
public:
    // The one theme of the program (immutable).
    static const Theme& Standard();

    gdi::COLORREF Colour(int sysColour) const;
    gdi::Brush Brush(int sysColour) const { return gdi::Brush::Solid(Colour(sysColour)); }

    // Thickness of scroll bars and the width of a combo box's arrow button.
    int ScrollBarSize() const { return 17; }
    // Width of a check box or radio mark and the gap to its label.
    int MarkSize() const { return 13; }
    int MarkGap() const { return 5; }

    struct ButtonLook {
        bool pressed = false;
        bool hot = false;
        bool focused = false;
        bool isDefault = false;
        bool disabled = false;
    };
    // A push button's face and frame (no caption).
    void DrawButtonFace(gdi::DC& dc, const RECT& rect, const ButtonLook& look) const;
    // The square of a check box, checked or not.
    void DrawCheckMark(gdi::DC& dc, const RECT& box, bool checked, bool pressed,
                       bool disabled) const;
    // The circle of a radio button, selected or not.
    void DrawRadioMark(gdi::DC& dc, const RECT& box, bool checked, bool pressed,
                       bool disabled) const;
    // The one-pixel frame of an edit, list or combo box (highlighted while focused); answers
    // the area inside it.
    RECT DrawFieldFrame(gdi::DC& dc, const RECT& rect, bool focused, bool disabled) const;
    // A downward arrow centred in rect.
    void DrawDownArrow(gdi::DC& dc, const RECT& rect, bool disabled) const;
    // A scroll bar in rect; a bar that cannot scroll is drawn empty and grey.
    void DrawScrollBar(gdi::DC& dc, const RECT& rect, bool vertical, const ScrollState& state,
                       bool enabled) const;
    // Where the thumb of a scroll bar lies (empty when it cannot scroll).
    RECT ScrollThumb(const RECT& rect, bool vertical, const ScrollState& state) const;
    ScrollPart HitScrollBar(const RECT& rect, bool vertical, const ScrollState& state,
                            POINT p) const;
    // The little square where two scroll bars meet.
    void DrawScrollCorner(gdi::DC& dc, const RECT& rect) const;
    // A focus rectangle.
    void DrawFocus(gdi::DC& dc, const RECT& rect) const;

private:
    Theme() = default;
    void Fill(gdi::DC& dc, const RECT& rect, int sysColour) const;
    void Frame(gdi::DC& dc, const RECT& rect, int sysColour) const;
    void Arrow(gdi::DC& dc, const RECT& rect, int direction, bool disabled) const;
};

}  // namespace ui
