// CXSkinButton: a button drawn entirely from bitmaps, one per look (normal, pressed, hovered,
// disabled, focused), with an optional mask bitmap that gives it a non-rectangular outline.
// It attaches to a button of a dialog template, makes it owner-drawn and never draws its
// caption. Push buttons click; automatic check boxes and radio buttons keep a check state of
// their own (a radio button clears the rest of its dialog group). A press that is dragged off
// shows the normal face and does not click on release; dragging back shows the pressed face.
// Hovering shows the over bitmap and, after SetTip, a tooltip. The button owns its bitmaps and
// its tooltip window.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/ui/button.h"
#include "platform/ui/tooltip.h"

class CXSkinButton : public ui::Button {
    UI_DECLARE_MESSAGE_MAP()
public:
    enum class ButtonKind : std::int32_t { Push = 0, Check = 2, Radio = 4 };
    enum DrawMode : std::int16_t { Copy = 0, Stretch = 1, Tile = 2 };
    // Posted to the other buttons of a radio button's group when it is set: clear your check.
    static constexpr ui::UINT UncheckGroupMessage = 0x500;

    CXSkinButton() = default;
    ~CXSkinButton() override;

    // Replaces every skin bitmap and setting. Ids are bitmap resources of the application (0:
    // none); a disabled id of 0 takes the normal bitmap. A negative draw mode is Copy, 2 or
    // more Tile; a negative focus margin is 0. A mask (white = outside) shapes the window and,
    // in Copy mode, sizes it to the mask. An id that cannot be loaded leaves that look
    // without a bitmap: the face is then filled with the button-face colour.
    void ApplySkin(int normal, int down, int over, int disabled, int focus, int mask,
                   std::int16_t drawMode = Copy, std::int16_t border = 0,
                   std::int16_t focusMargin = 0);
    // Creates the tooltip on the first call (for the whole button), else replaces its text.
    void SetTip(std::u16string_view text);

    ButtonKind Kind() const { return kind; }
    DrawMode GetDrawMode() const { return drawMode; }
    std::int16_t FocusMargin() const { return focusMargin; }
    bool IsChecked() const { return checkState; }
    // A latched button is drawn pressed until unlatched (the current one of a set of choices);
    // it still clicks as before.
    void SetLatched(bool on);
    bool IsLatched() const { return latched; }
    // Sets how far inside the face the focus ring is drawn (0 or less: no ring).
    void SetFocusMargin(std::int16_t margin);
    // The tooltip window, once SetTip made it.
    const ui::ToolTip* Tip() const { return tooltip.IsWindow() ? &tooltip : nullptr; }
    ui::ToolTip* Tip() { return tooltip.IsWindow() ? &tooltip : nullptr; }

    void PreSubclassWindow() override;
    void DrawItem(ui::DRAWITEMSTRUCT& dis) override;

private:
    bool OnEraseBkgnd();
    ui::LRESULT OnLButtonDown(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnLButtonUp(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnLButtonDblClk(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnMouseMove(ui::UINT keys, ui::POINT point);
    void OnMouseLeave();
    ui::LRESULT OnKillFocus();
    ui::LRESULT OnKeyDown(ui::WPARAM key);
    ui::UINT OnGetCheck();
    void OnSetCheck(ui::WPARAM check);
    void OnUncheckGroup();

    void PaintSkin(ui::DRAWITEMSTRUCT& dis, const gdi::Bitmap& skin);
    void FillFace(ui::DRAWITEMSTRUCT& dis);
    void ForwardToTip(ui::UINT message, ui::UINT keys, ui::POINT point);
    bool PointerOnThis() const;
    void UncheckRestOfGroup();
    gdi::Bitmap Load(int id) const;

    bool checkState = false;
    bool latched = false;
    ButtonKind kind = ButtonKind::Push;
    bool tracking = false;
    bool buttonDown = false;
    ui::ToolTip tooltip;
    gdi::Bitmap normal, down, disabled, mask, over, focus;
    std::int16_t focusMargin = 0;
    bool border = false;
    DrawMode drawMode = Stretch;
};

// The outline of a mask bitmap: every pixel whose colour is not `transparent`, in bitmap
// coordinates. Nothing for a null bitmap.
std::optional<gdi::Region> MaskRegion(const gdi::Bitmap& mask, gdi::COLORREF transparent);
