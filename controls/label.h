// CLabel: a static text whose look its owner sets: text colour, font (face, height, weight,
// italic, underline), background colour, sunken edge or thin border. The standard static
// control paints it; the label answers the control's colour request with its font, colour and
// brush. It can also take the mouse with a cursor of its own, blink its text or background,
// show a tooltip, tell its parent of a right click (message 0x464 with its id) and, when given
// an address, open it in the user's browser when clicked. Every setter but SetLabelTip returns
// the label, so that calls chain. The label owns its font, brushes and tooltip.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/ui/static.h"
#include "platform/ui/tooltip.h"

class CLabel : public ui::Static {
    UI_DECLARE_MESSAGE_MAP()
public:
    // Posted to the parent on a right click: wParam 0, lParam the label's control id.
    static constexpr ui::UINT RightClickMessage = ui::WM_USER + 100;
    static constexpr std::uintptr_t BlinkTimer = 1;
    static constexpr ui::UINT BlinkPeriod = 500;  // ms
    // Longest link address kept, in UTF-16 code units.
    static constexpr std::size_t MaxLinkLength = 260;

    CLabel();
    ~CLabel() override;

    CLabel& SetTextColour(gdi::COLORREF colour);
    CLabel& SetBold(bool bold);
    // Characters n pixels high.
    CLabel& SetTextHeight(int n);
    CLabel& SetUnderline(bool underline);
    CLabel& SetItalic(bool italic);
    // At most 31 characters are kept.
    CLabel& SetFaceName(std::u16string_view face);
    CLabel& SetBackColour(gdi::COLORREF colour);
    CLabel& SetLabelText(std::u16string_view text);
    CLabel& SetSunkenEdge(bool on);
    CLabel& SetThinBorder(bool on);
    // Whether the label takes the mouse (SS_NOTIFY); without it the mouse goes through.
    CLabel& SetNotify(bool on);
    // The cursor over the label; nothing: the standard one.
    CLabel& SetHoverCursor(std::optional<ui::StandardCursor> cursor);
    // A click opens this address (at most MaxLinkLength code units kept) through the
    // application's shell; an empty address opens nothing. A link makes the label take the mouse.
    CLabel& SetLink(std::u16string_view address);
    // Start (true) or stop (false) blinking the text or the background every BlinkPeriod.
    CLabel& StartTextBlink(bool on);
    CLabel& StartBackBlink(bool on);
    // Creates the tooltip on the first call, else replaces its text; a non-zero maxWidth
    // sets the tip's widest line in pixels.
    void SetLabelTip(std::u16string_view text, int maxWidth = 0);

    gdi::COLORREF TextColour() const { return textColour; }
    const gdi::LOGFONT& LogFont() const { return logFont; }
    const gdi::Font& LabelFont() const { return font; }
    const std::u16string& Link() const { return link; }
    const ui::ToolTip* Tip() const { return tip.IsWindow() ? &tip : nullptr; }

private:
    const gdi::Brush* OnCtlColor(gdi::DC& dc, ui::HWND control);
    ui::LRESULT OnTimer(ui::WPARAM id);
    ui::LRESULT OnLButtonDown(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnLButtonUp(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnMouseMove(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnSetCursor();
    ui::LRESULT OnRButtonDown();

    void RebuildFont();
    void Redraw();
    void RelayToTip(ui::UINT message, ui::UINT keys, ui::POINT point);

    gdi::COLORREF textColour;
    gdi::Brush backBrush;
    gdi::Brush plainBrush;
    gdi::LOGFONT logFont;
    gdi::Font font;
    std::u16string savedText;
    bool blinkPhase = false;
    bool blinking = false;
    bool notify = true;
    int blinkKind = 0;  // 0 none, 1 text, 2 background
    std::optional<ui::StandardCursor> hoverCursor;
    std::u16string link;
    ui::ToolTip tip;
};
