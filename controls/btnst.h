// An image button: an owner-drawn button that shows an icon or a bitmap (one image for "in",
// hovered or pressed, one for "out") beside or over its caption, with six state colours, a
// flat look that highlights on hover, and optional extras: check-box mode, a pop-up menu, a
// web link, hover and click sounds, a tooltip, a cursor of its own and a see-through
// background. It takes over any push button, check box or owner-drawn button it is bound to.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/font.h"
#include "platform/gdi/icon.h"
#include "platform/media/playsound.h"
#include "platform/ui/button.h"
#include "platform/ui/popupmenu.h"
#include "platform/ui/tooltip.h"

class CBtnST : public ui::Button {
    UI_DECLARE_MESSAGE_MAP()
public:
    // Results of the setters.
    enum Result {
        BTNST_OK = 0,
        BTNST_INVALIDRESOURCE = 1,
        BTNST_FAILEDMASK = 2,
        BTNST_INVALIDINDEX = 3,
        BTNST_INVALIDALIGN = 4,
        BTNST_BADPARAM = 5,
        BTNST_INVALIDPRESSEDSTYLE = 6,
    };
    // The out image given as one of these makes a copy of the in image.
    static constexpr int BTNST_AUTO_GRAY = -2;
    static constexpr int BTNST_AUTO_DARKER = -3;
    // The six state colours.
    enum ColourIndex {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN = 1,
        BTNST_COLOR_BK_OUT = 2,
        BTNST_COLOR_FG_OUT = 3,
        BTNST_COLOR_BK_FOCUS = 4,
        BTNST_COLOR_FG_FOCUS = 5,
        BTNST_MAX_COLORS = 6,
    };
    enum ImageAlign : std::uint8_t {
        ST_ALIGN_HORIZ = 0,
        ST_ALIGN_VERT = 1,
        ST_ALIGN_HORIZ_RIGHT = 2,
        ST_ALIGN_OVERLAP = 3,
    };
    enum PressedStyle { BTNST_PRESSED_LEFTRIGHT = 0, BTNST_PRESSED_TOPBOTTOM = 1 };
    static constexpr std::size_t LinkCapacity = 260;  // link and sound names, in code units

    CBtnST();
    ~CBtnST() override;

    // Images. inId/outId are icon or bitmap resources of the application's bundle; out 0 means
    // none, BTNST_AUTO_GRAY / BTNST_AUTO_DARKER a copy of the in image.
    Result SetIcons(gdi::Icon in, gdi::Icon out, bool repaint = true);
    Result SetIcons(gdi::Icon in, int outCopy, bool repaint = true);
    Result LoadIcons(int inId, int outId, bool repaint = true);
    Result SetBitmaps(gdi::Bitmap in, gdi::COLORREF inTransparent, gdi::Bitmap out,
                      gdi::COLORREF outTransparent, bool repaint = true);
    Result SetBitmaps(gdi::Bitmap in, gdi::COLORREF inTransparent, int outCopy,
                      bool repaint = true);
    Result LoadBitmaps(int inId, gdi::COLORREF inTransparent, int outId,
                       gdi::COLORREF outTransparent, bool repaint = true);

    // Look.
    Result SetFlatLook(bool flat, bool repaint = true);
    Result SetImageAlign(int align, bool repaint = true);
    Result SetPressedStyle(int style, bool repaint = true);
    Result SetCheckState(bool checked, bool repaint = true);
    bool GetCheckState() const { return checkState_; }
    Result ResetColours(bool repaint = true);
    Result SetStateColour(int index, gdi::COLORREF colour, bool repaint = true);
    Result GetStateColour(int index, gdi::COLORREF& colour) const;
    // Adds shade (-255 … 255) to the three channels of one colour, limited so that every
    // channel stays within 0 … 255 (each channel moves by the same amount).
    Result ShiftStateColour(int index, int shade, bool repaint = true);
    Result SetAlwaysTrack(bool always);
    Result SetBorderOnHover(bool border, bool repaint = true);
    Result SetFocusOnFlat(bool focus, bool repaint = true);
    Result UseParentBackground(bool repaint = true);
    Result SetButtonFont(int points, std::u16string_view face, bool repaint = true);
    void SetTextColour(gdi::COLORREF colour, bool repaint = true);
    // Margins 0 and the window sized to the icon (else the bitmap).
    Result FitToImage();

    // Extras.
    Result SetButtonCursor(ui::StandardCursor cursor);
    Result SetTipText(std::u16string_view text, bool activate = true);
    Result ActivateTip(bool active = true);
    Result UseBalloonTip(bool balloon);
    Result SetLinkTarget(std::u16string_view address);  // at most LinkCapacity code units
    // The menu's first sub-menu opens under the button on a click; its command goes to
    // `owner` as WM_COMMAND. Null removes the menu.
    Result SetMenu(std::unique_ptr<ui::Menu> menu, ui::HWND owner, bool repaint = true);
    // Sent to `window` (message, menu pointer as wParam, lParam) just before the menu opens.
    Result SetMenuNotify(ui::HWND window, ui::UINT message, ui::LPARAM lParam);
    // Hover (playOnClick false) or click sound: a file name, or a resource of the application's
    // bundle (media::MAKEINTRESOURCE); null clears it. Names are kept to LinkCapacity units.
    Result SetButtonSound(const char16_t* name, bool playOnClick, bool async = true);
    Result SetButtonSound(int resourceId, bool playOnClick, bool async = true);
    // Sounds play through this player; without one set, through a player of the button's own
    // on the application's wave-out driver, made at the first sound.
    void SetSoundPlayer(media::SoundPlayer* player) { soundPlayer_ = player; }

    bool IsDefaultButton() const { return isDefault_; }
    bool IsHovered() const { return hover_; }
    bool IsMenuShown() const { return menuShown_; }
    const ui::ToolTip* Tip() const { return tip_.get(); }

    // Image copies of this button's rules: gray g = trunc(0.299 R + 0.587 G + 0.114 B), or
    // each channel less a quarter, for every pixel that is not `keep` (the transparent colour).
    static gdi::Bitmap GrayCopy(const gdi::Bitmap& image, gdi::COLORREF keep);
    static gdi::Bitmap DarkerCopy(const gdi::Bitmap& image, gdi::COLORREF keep);

    void DrawItem(ui::DRAWITEMSTRUCT& dis) override;
    void PreSubclassWindow() override;
    bool PreTranslateMessage(ui::MSG& msg) override;

protected:
    // The drawing steps, in order; a derived class may replace any of them. The background and
    // border steps answer 0 for success.
    virtual ui::DWORD OnDrawBackground(gdi::DC& dc, ui::RECT& rect);
    virtual ui::DWORD OnDrawBorder(gdi::DC& dc, ui::RECT& rect);
    virtual void DrawTheIcon(gdi::DC& dc, bool hasTitle, const ui::RECT& item, ui::RECT& title,
                             bool pressed, bool disabled);
    virtual void DrawTheBitmap(gdi::DC& dc, bool hasTitle, const ui::RECT& item, ui::RECT& title,
                               bool pressed, bool disabled);
    virtual void DrawTheText(gdi::DC& dc, std::u16string_view title, ui::RECT& rect, bool pressed,
                             bool disabled);

private:
    struct Image {
        gdi::Icon icon;
        gdi::Bitmap bitmap;
        gdi::Bitmap mask;
        gdi::COLORREF transparent = 0;
        int width = 0;
        int height = 0;
    };
    struct Sound {
        std::u16string name;  // the file name, empty for none or a resource
        int resourceId = 0;
        ui::DWORD flags = 0;
        bool Empty() const { return name.empty() && resourceId == 0; }
    };

    ui::LRESULT OnGetDlgCode();
    ui::LRESULT OnSetStyle(ui::WPARAM style);
    ui::LRESULT OnSetCheck(ui::WPARAM check);
    ui::LRESULT OnGetCheck();
    const gdi::Brush* OnCtlColor(gdi::DC& dc, ui::HWND control);
    void OnMouseMove(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnEndHover();
    ui::LRESULT OnEnable(ui::WPARAM enabled);
    ui::LRESULT OnActivate(ui::WPARAM state);
    ui::LRESULT OnSetCursor();
    ui::LRESULT OnSysColorChange();
    bool OnClicked();

    void CancelHover();
    void Redraw(bool repaint);
    void PlayButtonSound(const Sound& sound);
    void PlaceImage(bool hasTitle, const ui::RECT& item, ui::RECT& title, bool pressed, int width,
                    int height, ui::RECT& image) const;
    void PrepareBackground(gdi::DC& dc, const ui::RECT& rect);
    static gdi::Bitmap MakeMask(gdi::Bitmap& image, gdi::COLORREF transparent);
    void FreeImages();

    gdi::COLORREF textColour_ = 0;
    bool embossDisabledBitmap_ = true;
    int imageMarginX_ = 3;
    int imageMarginY_ = 3;
    int pressedOffsetX_ = 1;
    int pressedOffsetY_ = 1;
    bool flat_ = true;
    bool hover_ = false;
    bool seeThrough_ = false;
    bool pressed_ = false;
    bool focused_ = false;
    bool disabled_ = false;
    bool isDefault_ = false;
    bool isCheckBox_ = false;
    std::uint8_t imageAlign_ = ST_ALIGN_HORIZ;
    bool borderOnHover_ = false;
    bool focusOnFlat_ = false;
    std::array<gdi::COLORREF, BTNST_MAX_COLORS> colours_{};
    ui::HWND menuOwner_;
    bool menuShown_ = false;
    std::unique_ptr<ui::Menu> menu_;
    std::optional<ui::StandardCursor> cursor_;
    std::unique_ptr<ui::ToolTip> tip_;
    gdi::Bitmap backgroundBitmap_;
    bool alwaysTrack_ = true;
    bool checkState_ = false;
    ui::DWORD typeStyle_ = 0;
    ui::DWORD tipStyle_ = 0;
    std::u16string link_;
    std::array<Image, 2> images_;  // 0: in, 1: out
    ui::HWND menuNotifyWindow_;
    ui::UINT menuNotifyMessage_ = 0;
    ui::LPARAM menuNotifyLParam_ = 0;
    std::array<Sound, 2> sounds_;  // 0: hover, 1: click
    media::SoundPlayer* soundPlayer_ = nullptr;
    std::unique_ptr<media::SoundPlayer> ownSoundPlayer_;
    gdi::Font font_;
};
