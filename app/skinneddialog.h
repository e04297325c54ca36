// CSkinnedDialog: a modal dialog without a standard frame whose outline and background come
// from a skin bitmap of the program's resources. The skin's black pixels (within a tolerance)
// lie outside the window; the rest is painted as the window's background; a press anywhere on
// the window's own surface drags it. A skinned dialog is its template, its skin and its
// controls: everything else is done here once.
#pragma once

#include <optional>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/ui/dialog.h"

class CSkinnedDialog : public ui::Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    // Loads skin bitmap `skinId` and makes the region from it (pixels whose every channel is
    // at most the tolerance's lie outside); without the bitmap the window stays rectangular.
    CSkinnedDialog(ui::Application& app, int templateId, int skinId, gdi::COLORREF tolerance,
                   ui::Window* parent = nullptr);
    ~CSkinnedDialog() override;

protected:
    // Hands the region to the window (it belongs to the window from then on).
    bool OnInitDialog() override;
    // The colour requests of the controls. By default each control keeps what the standard
    // handling gives it, and static controls are drawn with a transparent background over the
    // skin.
    virtual ui::LRESULT OnControlColour(gdi::DC& dc, ui::HWND control);

    const gdi::Bitmap& Skin() const { return skin_; }
    // Draws what lies on the skin itself, under the controls, after the skin is painted.
    virtual void PaintOverSkin(gdi::DC&) {}

private:
    bool OnEraseBackground(gdi::DC& dc);
    ui::LRESULT OnHitTest();
    ui::LRESULT OnColourRequest(gdi::DC& dc, ui::HWND control);

    gdi::Bitmap skin_;
    std::optional<gdi::Region> region_;
};
