// CAboutDlg: the modal about box on template 312, skinned with bitmap 307 (near-black pixels,
// every channel at most 16, lie outside). It shows the product name, version and two notice
// lines in blue on the skin, closes with its Cancel skin button or Escape, and drags by any
// point of its surface, labels included.
#pragma once

#include "app/skinneddialog.h"
#include "controls/label.h"
#include "controls/xskinbutton.h"

class CAboutDlg : public CSkinnedDialog {
public:
    static constexpr gdi::COLORREF ProductColour = 0xC08000;  // RGB(0, 128, 192)
    static constexpr gdi::COLORREF LineColour = 0xFB7D00;     // RGB(0, 125, 251)

    explicit CAboutDlg(ui::Application& app, ui::Window* parent = nullptr);
    ~CAboutDlg() override;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    CXSkinButton cancelButton_;
    CLabel noticeLine2_;
    CLabel noticeLine1_;
    CLabel versionLabel_;
    CLabel productLabel_;
};
