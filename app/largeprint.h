// CLargePrint: a phrase shown to someone else. The German line fills the screen (monitor) that
// shows its owner in the largest type that fits, wrapped at words, black on off-white, with the
// English small beneath. It speaks nothing by itself: Space asks the owner to speak, as it does in
// the main window; Escape, F11 or a click anywhere closes it and the owner takes the keyboard back.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/gdi/types.h"
#include "platform/ui/window.h"

class CLargePrint : public ui::Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    static constexpr std::u16string_view ClassName = u"TolkaraLargePrint";
    static constexpr gdi::COLORREF Paper = 0xF0FFFF;     // RGB(255, 255, 240)
    static constexpr gdi::COLORREF Ink = 0x000000;       // the German line
    static constexpr gdi::COLORREF SmallInk = 0x404040;  // the English, RGB(64, 64, 64)

    CLargePrint() = default;
    ~CLargePrint() override;

    // Opens over the whole screen with the keyboard, above `owner`; false when the window
    // cannot be made or the German line is empty. `speak` runs for Space.
    bool Open(ui::Window& owner, std::u16string german, std::u16string english,
              std::function<void()> speak);
    bool IsOpen() const { return IsWindow(); }
    void Close();
    // The German line's character height in pixels as last drawn (0 before).
    int GermanHeight() const { return germanHeight_; }

private:
    void OnPaint();
    ui::LRESULT OnEraseBackground(ui::WPARAM, ui::LPARAM) { return 1; }
    ui::LRESULT OnKeyDown(ui::WPARAM key);
    ui::LRESULT OnChar(ui::WPARAM, ui::LPARAM) { return 0; }
    ui::LRESULT OnLButtonDown(ui::UINT keys, ui::POINT point);
    // The largest character height at which `text` wrapped at words fits `area`.
    static int FittingHeight(gdi::DC& dc, std::u16string_view text, const ui::RECT& area);

    std::u16string german_;
    std::u16string english_;
    std::function<void()> speak_;
    ui::HWND owner_;
    int germanHeight_ = 0;
};
