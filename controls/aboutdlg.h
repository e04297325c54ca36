// CAboutDlg: the modal about box on template 312. Its outline and background come from skin
// bitmap 307 (near-black pixels, every channel at most 16, lie outside); it shows the product
// name, version and two notice lines in blue on the skin, closes with its Cancel skin button
// or Escape, and drags by any point of its surface, labels included.
#pragma once

#include <optional>

#include "controls/label.h"
#include "controls/xskinbutton.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/ui/dialog.h"

class CAboutDlg : public ui::Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    static constexpr int TemplateId = 312;
    static constexpr int SkinBitmapId = 307;
    // The Cancel button's bitmaps: normal (also disabled), down, over.
    static constexpr int CancelNormal = 286;
    static constexpr int CancelDown = 284;
    static constexpr int CancelOver = 285;
    // Label controls.
    static constexpr int ProductLabel = 1044;
    static constexpr int VersionLabel = 1045;
    static constexpr int NoticeLabel1 = 1046;
    static constexpr int NoticeLabel2 = 1047;
    static constexpr gdi::COLORREF ProductColour = 0xC08000;  // RGB(0, 128, 192)
    static constexpr gdi::COLORREF LineColour = 0xFB7D00;     // RGB(0, 125, 251)

    // Loads the skin from the application's resources and makes the box's region from it.
    explicit CAboutDlg(ui::Application& app, ui::Window* parent = nullptr);
    ~CAboutDlg() override;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

    gdi::Bitmap skinBitmap;
    // Handed to the window at initialisation; the window owns it from then on.
    std::optional<gdi::Region> windowRegion;
    CXSkinButton cancelButton;  // 2
    CLabel noticeLine2;         // 1047
    CLabel noticeLine1;         // 1046
    CLabel versionLabel;        // 1045
    CLabel productLabel;        // 1044

private:
    ui::LRESULT OnEraseBkgnd(ui::WPARAM, ui::LPARAM);
    ui::LRESULT OnNcHitTest(ui::WPARAM, ui::LPARAM);
    ui::LRESULT OnCtlColor(ui::WPARAM, ui::LPARAM);
};
