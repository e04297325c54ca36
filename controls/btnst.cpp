#include "controls/btnst.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/blit.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/ui/application.h"
#include "platform/ui/controlsupport.h"

using namespace ui;

namespace {

constexpr gdi::COLORREF White = gdi::RGB(255, 255, 255);
constexpr gdi::COLORREF Black = gdi::RGB(0, 0, 0);
constexpr int MaxTipWidth = 400;
// The style bits the image button takes as its type and replaces by BS_OWNERDRAW: the static's
// type mask (0x1F), one bit wider than BS_TYPEMASK, as the button has always used.
constexpr Style TypeBits = SS_TYPEMASK;

int Channel(gdi::COLORREF c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

// A copy of image with every pixel other than `keep` mapped by f(r, g, b).
template <typename F>
gdi::Bitmap MapPixels(const gdi::Bitmap& image, gdi::COLORREF keep, F f) {
    if (!image || image.IsMonochrome()) return {};
    gdi::Bitmap copy = image.Clone();
    for (int y = 0; y < copy.Height(); ++y) {
        for (int x = 0; x < copy.Width(); ++x) {
            const gdi::COLORREF c = copy.GetPixel(x, y);
            if (c == keep) continue;
            copy.SetPixel(x, y, f(Channel(c, 0), Channel(c, 8), Channel(c, 16)));
        }
    }
    return copy;
}

}  // namespace

const MessageMap CBtnST::messageMap{&Button::messageMap,
                                    {
                                        OnMessage<&Button::OnReflectedDrawItem>(OCM_DRAWITEM),
                                        OnMessage<&CBtnST::OnGetDlgCode>(WM_GETDLGCODE),
                                        OnMessage<&CBtnST::OnSetStyle>(BM_SETSTYLE),
                                        OnMessage<&CBtnST::OnSetCheck>(BM_SETCHECK),
                                        OnMessage<&CBtnST::OnGetCheck>(BM_GETCHECK),
                                        OnMessage<&CBtnST::OnCtlColor>(OCM_CTLCOLORBTN),
                                        OnMessage<&CBtnST::OnCtlColor>(OCM_CTLCOLORSTATIC),
                                        OnMessage<&CBtnST::OnMouseMove>(WM_MOUSEMOVE),
                                        OnMessage<&CBtnST::OnEndHover>(WM_MOUSELEAVE),
                                        OnMessage<&CBtnST::OnEndHover>(WM_KILLFOCUS),
                                        OnMessage<&CBtnST::OnEndHover>(WM_CANCELMODE),
                                        OnMessage<&CBtnST::OnActivate>(WM_ACTIVATE),
                                        OnMessage<&CBtnST::OnEnable>(WM_ENABLE),
                                        OnMessage<&CBtnST::OnSetCursor>(WM_SETCURSOR),
                                        OnMessage<&CBtnST::OnSysColorChange>(WM_SYSCOLORCHANGE),
                                        OnReflectedCommand<&CBtnST::OnClicked>(BN_CLICKED),
                                    }};

CBtnST::CBtnST() {
    ResetColours(false);
}

CBtnST::~CBtnST() = default;

// Attach.

void CBtnST::PreSubclassWindow() {
    const Style style = GetStyle();
    typeStyle_ = style & TypeBits;
    if (typeStyle_ == BS_OWNERDRAW) {
        // A template may make the button owner-drawn already: it is the push button it shows.
        typeStyle_ = BS_PUSHBUTTON;
    } else if ((style & BS_CHECKBOX) != 0) {  // the check-box bit of every check-box type
        isCheckBox_ = true;
    }
    if (typeStyle_ == BS_DEFPUSHBUTTON) {
        isDefault_ = true;
        typeStyle_ = BS_PUSHBUTTON;
    }
    ModifyStyle(TypeBits, BS_OWNERDRAW, SWP_FRAMECHANGED);
    Button::PreSubclassWindow();
}

bool CBtnST::PreTranslateMessage(MSG& msg) {
    if (tip_ && tip_->IsWindow() && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
        tip_->RelayEvent(msg);
    if (msg.message == WM_LBUTTONDBLCLK) msg.message = WM_LBUTTONDOWN;
    return Button::PreTranslateMessage(msg);
}

// Messages.

LRESULT CBtnST::OnGetDlgCode() {
    const LRESULT code = Default() & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    return code | (isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT CBtnST::OnSetStyle(WPARAM style) {
    const UINT type = static_cast<UINT>(style) & TypeBits;
    if (type == BS_DEFPUSHBUTTON) {
        isDefault_ = true;
    } else if (type == BS_PUSHBUTTON) {
        isDefault_ = false;
    }
    // The standard handling sets the type it is given: the button stays owner-drawn, and the
    // redraw flag goes on as it came.
    const WPARAM ownerDrawn = (style & ~WPARAM{TypeBits}) | BS_OWNERDRAW;
    return Button::OnSetStyle(ownerDrawn, CurrentMessage()->lParam);
}

LRESULT CBtnST::OnSetCheck(WPARAM check) {
    if (!isCheckBox_) return Default();
    checkState_ = check == BST_CHECKED || check == BST_INDETERMINATE;
    Redraw(true);
    return 0;
}

LRESULT CBtnST::OnGetCheck() {
    if (!isCheckBox_) return Default();
    return checkState_ ? BST_CHECKED : BST_UNCHECKED;
}

const gdi::Brush* CBtnST::OnCtlColor(gdi::DC&, HWND) {
    return StockBrush(gdi::NULL_BRUSH);
}

void CBtnST::OnMouseMove(UINT, POINT point) {
    Default();
    if (!IsWindow()) return;
    Application& app = *App();
    const bool leftDown = (app.GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    if ((leftDown && !hover_) || !flat_) return;
    POINT screen = point;
    ClientToScreen(screen);
    const HWND under = app.WindowFromPoint(screen);
    const bool active = alwaysTrack_ || app.GetActiveWindow();
    if (under == GetSafeHwnd() && active) {
        if (!hover_) {
            hover_ = true;
            Redraw(true);
            PlayButtonSound(sounds_[0]);
            TRACKMOUSEEVENT tme;
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = GetSafeHwnd();
            ui::_TrackMouseEvent(&tme);
        }
    } else {
        CancelHover();
    }
}

LRESULT CBtnST::OnEndHover() {
    LRESULT result = 0;
    const UINT message = CurrentMessage()->message;
    if (message == WM_KILLFOCUS) result = Default();
    if (IsWindow()) CancelHover();
    return result;
}

LRESULT CBtnST::OnActivate(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) CancelHover();
    return Default();
}

LRESULT CBtnST::OnEnable(WPARAM enabled) {
    const LRESULT result = Default();
    if (enabled == 0) {
        // A disabled button gives the focus on to the next tab item (or to its parent).
        if (GetFocus() == GetSafeHwnd()) {
            if (Window* parent = GetParentWindow()) {
                const HWND next = parent->GetNextDlgTabItem(GetSafeHwnd());
                if (next && next != GetSafeHwnd()) {
                    if (Window* w = Window::FromHandle(next)) w->SetFocus();
                } else {
                    parent->SetFocus();
                }
            }
        }
        CancelHover();
    }
    Redraw(true);
    return result;
}

LRESULT CBtnST::OnSetCursor() {
    if (!cursor_) return Default();
    App()->SetCursor(*cursor_);
    return 1;
}

LRESULT CBtnST::OnSysColorChange() {
    backgroundBitmap_.Reset();
    ResetColours(true);
    return Default();
}

bool CBtnST::OnClicked() {
    const HWND self = GetSafeHwnd();
    SetFocus();
    PlayButtonSound(sounds_[1]);
    if (isCheckBox_) {
        checkState_ = !checkState_;
        Redraw(true);
    } else if (menu_ && menu_->GetSubMenu(0) != nullptr) {
        menuShown_ = true;
        Redraw(true);
        if (menuNotifyWindow_) {
            ui::SendMessage(menuNotifyWindow_, menuNotifyMessage_,
                            PointerToParam<WPARAM>(menu_.get()), menuNotifyLParam_);
        }
        if (!ui::IsWindow(self)) return false;
        RECT rect;
        GetWindowRect(rect);
        const int command = TrackPopupMenuEx(
            *menu_->GetSubMenu(0), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
            rect.left, rect.bottom, menuOwner_ ? menuOwner_ : self, nullptr);
        if (!ui::IsWindow(self)) return false;
        menuShown_ = false;
        Redraw(true);
        if (command != 0 && menuOwner_) {
            ui::PostMessage(menuOwner_, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(command), 0),
                            0);
        }
    } else if (!link_.empty()) {
        App()->GetShell().OpenPage(link_);
    }
    return false;  // the parent hears of the click as well
}

void CBtnST::CancelHover() {
    if (flat_ && hover_) {
        hover_ = false;
        Redraw(true);
    }
}

void CBtnST::Redraw(bool repaint) {
    if (repaint && IsWindow()) RepaintControl(*this, seeThrough_);
}

void CBtnST::PlayButtonSound(const Sound& sound) {
    if (sound.Empty() || App() == nullptr) return;
    media::SoundPlayer* player = soundPlayer_;
    if (player == nullptr) {
        if (!ownSoundPlayer_)
            ownSoundPlayer_ = std::make_unique<media::SoundPlayer>(App()->GetWaveOutDriver());
        player = ownSoundPlayer_.get();
    }
    const char16_t* name =
        sound.resourceId != 0 ? media::MAKEINTRESOURCE(sound.resourceId) : sound.name.c_str();
    player->PlaySound(name, App()->Resources(), sound.flags);
}

// Drawing.

void CBtnST::DrawItem(DRAWITEMSTRUCT& dis) {
    if (dis.hDC == nullptr) return;
    gdi::DC& dc = *dis.hDC;
    if (isCheckBox_) {
        pressed_ = (dis.itemState & ODS_SELECTED) != 0 || checkState_;
    } else {
        pressed_ = menuShown_;
    }
    focused_ = (dis.itemState & ODS_FOCUS) != 0;
    disabled_ = (dis.itemState & ODS_DISABLED) != 0;

    RECT item = dis.rcItem;
    dc.SetBkMode(gdi::TRANSPARENT);
    OnDrawBackground(dc, item);
    OnDrawBorder(dc, item);

    const std::u16string title = GetWindowText();
    RECT caption = dis.rcItem;
    const bool hasTitle = !title.empty();
    if (images_[0].icon) {
        DrawTheIcon(dc, hasTitle, dis.rcItem, caption, pressed_, disabled_);
    } else if (images_[0].bitmap) {
        DrawTheBitmap(dc, hasTitle, dis.rcItem, caption, pressed_, disabled_);
    }
    if (hasTitle) DrawTheText(dc, title, caption, pressed_, disabled_);

    if (focused_ && (!flat_ || focusOnFlat_)) {
        RECT focus = dis.rcItem;
        gdi::InflateRect(focus, -3, -3);
        gdi::DrawFocusRect(dc, focus);
    }
}

DWORD CBtnST::OnDrawBackground(gdi::DC& dc, RECT& rect) {
    if (seeThrough_) return 0;  // the parent has just painted what lies behind the button
    if (!flat_ && (focused_ || isDefault_)) {
        gdi::FrameRect(dc, rect, gdi::Brush::Solid(Black));
        gdi::InflateRect(rect, -1, -1);
    }
    gdi::COLORREF colour = colours_[BTNST_COLOR_BK_OUT];
    if (hover_ || pressed_) {
        colour = colours_[BTNST_COLOR_BK_IN];
    } else if (focused_) {
        colour = colours_[BTNST_COLOR_BK_FOCUS];
    }
    gdi::FillRect(dc, rect, gdi::Brush::Solid(colour));
    return 0;
}

namespace {

void Polyline3(gdi::DC& dc, gdi::COLORREF colour, POINT a, POINT b, POINT c) {
    const gdi::Pen old = dc.SelectObject(gdi::Pen(gdi::PS_SOLID, 1, colour));
    const POINT points[] = {a, b, c};
    gdi::Polyline(dc, points, 3);
    dc.SelectObject(old);
}

void Rect3D(gdi::DC& dc, const RECT& r, gdi::COLORREF topLeft, gdi::COLORREF bottomRight) {
    const int w = r.Width();
    const int h = r.Height();
    gdi::FillRect(dc, RECT{r.left, r.top, r.left + w - 1, r.top + 1}, gdi::Brush::Solid(topLeft));
    gdi::FillRect(dc, RECT{r.left, r.top, r.left + 1, r.top + h - 1}, gdi::Brush::Solid(topLeft));
    gdi::FillRect(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, gdi::Brush::Solid(bottomRight));
    gdi::FillRect(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom},
                  gdi::Brush::Solid(bottomRight));
}

}  // namespace

DWORD CBtnST::OnDrawBorder(gdi::DC& dc, RECT& rect) {
    const gdi::COLORREF shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    const gdi::COLORREF highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    if (pressed_) {
        if (flat_) {
            if (borderOnHover_) Rect3D(dc, rect, shadow, highlight);
        } else {
            gdi::FrameRect(dc, rect, gdi::Brush::Solid(shadow));
        }
        return 0;
    }
    const RECT r = rect;
    if (!flat_) {
        Polyline3(dc, highlight, {r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top});
        Polyline3(dc, gdi::GetSysColor(gdi::COLOR_3DLIGHT), {r.left + 1, r.bottom - 1},
                  {r.left + 1, r.top + 1}, {r.right, r.top + 1});
        Polyline3(dc, gdi::GetSysColor(gdi::COLOR_3DDKSHADOW), {r.left, r.bottom - 1},
                  {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1});
        Polyline3(dc, shadow, {r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2},
                  {r.right - 2, r.top});
    } else if (hover_ && borderOnHover_) {
        Rect3D(dc, rect, highlight, shadow);
    }
    return 0;
}

void CBtnST::PlaceImage(bool hasTitle, const RECT& item, RECT& title, bool pressed, int width,
                        int height, RECT& image) const {
    int x = item.left;
    int y = item.top;
    const int centreX = item.left + (item.Width() - width) / 2;
    const int centreY = item.top + (item.Height() - height) / 2;
    switch (imageAlign_) {
        case ST_ALIGN_HORIZ:
            if (hasTitle) {
                x = item.left + imageMarginX_;
                title.left = x + width + imageMarginX_;
            } else {
                x = centreX;
            }
            y = centreY;
            break;
        case ST_ALIGN_VERT:
            x = centreX;
            if (hasTitle) {
                y = item.top + imageMarginY_;
                title.top += height;
            } else {
                y = centreY;
            }
            break;
        case ST_ALIGN_HORIZ_RIGHT:
            if (hasTitle) {
                x = item.right - imageMarginX_ - width;
                y = centreY;
                title.left = item.left + imageMarginX_;
                title.right = x;
            } else {
                x = centreX;
            }
            break;
        default:  // overlapping the caption, at the top-left corner
            break;
    }
    if (pressed && !isCheckBox_) {
        x += pressedOffsetX_;
        y += pressedOffsetY_;
    }
    image = RECT{x, y, x + width, y + height};
}

static int CurrentImage(bool pressed, bool hover, bool isCheckBox, bool hasOut) {
    if (pressed || (hover && !isCheckBox) || !hasOut) return 0;
    return 1;
}

void CBtnST::DrawTheIcon(gdi::DC& dc, bool hasTitle, const RECT& item, RECT& title, bool pressed,
                         bool disabled) {
    const int index =
        CurrentImage(pressed, hover_, isCheckBox_, static_cast<bool>(images_[1].icon));
    const Image& image = images_[static_cast<std::size_t>(index)];
    RECT at;
    PlaceImage(hasTitle, item, title, pressed, image.width, image.height, at);
    gdi::DrawState(dc, image.icon, at.left, at.top, image.width, image.height,
                   disabled ? gdi::DSS_DISABLED : gdi::DSS_NORMAL);
}

void CBtnST::DrawTheBitmap(gdi::DC& dc, bool hasTitle, const RECT& item, RECT& title, bool pressed,
                           bool disabled) {
    const int index =
        CurrentImage(pressed, hover_, isCheckBox_, static_cast<bool>(images_[1].bitmap));
    const Image& image = images_[static_cast<std::size_t>(index)];
    RECT at;
    PlaceImage(hasTitle, item, title, pressed, image.width, image.height, at);
    if (disabled && embossDisabledBitmap_) {
        // Embossed from a copy whose see-through pixels are white, so they stay unmarked.
        gdi::Bitmap masked = image.bitmap.Clone();
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (image.mask.GetPixel(x, y) == White) masked.SetPixel(x, y, White);
        gdi::DrawState(dc, masked, at.left, at.top, image.width, image.height, gdi::DSS_DISABLED);
        return;
    }
    gdi::DC source = gdi::DC::Memory();
    const gdi::COLORREF oldBack = dc.SetBkColor(White);
    const gdi::COLORREF oldText = dc.SetTextColor(Black);
    source.SelectObject(image.mask);
    gdi::BitBlt(dc, at.left, at.top, image.width, image.height, &source, 0, 0, gdi::SRCAND);
    source.SelectObject(image.bitmap);
    gdi::BitBlt(dc, at.left, at.top, image.width, image.height, &source, 0, 0, gdi::SRCPAINT);
    dc.SetBkColor(oldBack);
    dc.SetTextColor(oldText);
}

void CBtnST::DrawTheText(gdi::DC& dc, std::u16string_view title, RECT& rect, bool pressed,
                         bool disabled) {
    if (pressed && !isCheckBox_) gdi::OffsetRect(rect, pressedOffsetX_, pressedOffsetY_);
    if (font_)
        dc.SelectObject(font_);
    else
        SelectControlFont(*this, dc);
    RECT measured = rect;
    gdi::DrawText(dc, title, measured, gdi::DT_WORDBREAK | gdi::DT_CENTER | gdi::DT_CALCRECT);
    RECT centred = rect;
    centred.top = rect.top + (rect.Height() - measured.Height()) / 2;
    centred.bottom = centred.top + measured.Height();
    const UINT format = gdi::DT_WORDBREAK | gdi::DT_CENTER;
    if (disabled) {
        RECT raised = centred;
        gdi::OffsetRect(raised, 1, 1);
        dc.SetTextColor(gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT));
        gdi::DrawText(dc, title, raised, format);
        dc.SetTextColor(gdi::GetSysColor(gdi::COLOR_BTNSHADOW));
        gdi::DrawText(dc, title, centred, format);
        return;
    }
    dc.SetTextColor(textColour_);
    gdi::DrawText(dc, title, centred, format);
}

// Images.

gdi::Bitmap CBtnST::GrayCopy(const gdi::Bitmap& image, gdi::COLORREF keep) {
    return MapPixels(image, keep, [](int r, int g, int b) {
        const auto grey = static_cast<gdi::COLORREF>(std::trunc(0.299 * r + 0.587 * g + 0.114 * b));
        return grey * 0x010101u;
    });
}

gdi::Bitmap CBtnST::DarkerCopy(const gdi::Bitmap& image, gdi::COLORREF keep) {
    return MapPixels(image, keep, [](int r, int g, int b) {
        auto darker = [](int c) { return static_cast<int>(std::trunc(c - 0.25 * c)); };
        return gdi::RGB(static_cast<std::uint8_t>(darker(r)), static_cast<std::uint8_t>(darker(g)),
                        static_cast<std::uint8_t>(darker(b)));
    });
}

gdi::Bitmap CBtnST::MakeMask(gdi::Bitmap& image, gdi::COLORREF transparent) {
    gdi::Bitmap mask = gdi::CreateBitmap(image.Width(), image.Height(), 1, 1);
    if (!mask) return {};
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const bool see = image.GetPixel(x, y) == transparent;
            mask.SetPixel(x, y, see ? White : Black);
            if (see) image.SetPixel(x, y, Black);  // mask, then image: the background stays
        }
    }
    return mask;
}

void CBtnST::FreeImages() {
    images_ = {};
}

CBtnST::Result CBtnST::SetIcons(gdi::Icon in, gdi::Icon out, bool repaint) {
    FreeImages();
    if (!in) {
        Redraw(repaint);
        return BTNST_INVALIDRESOURCE;
    }
    images_[0].icon = std::move(in);
    images_[0].width = images_[0].icon.Width();
    images_[0].height = images_[0].icon.Height();
    if (out) {
        images_[1].icon = std::move(out);
        images_[1].width = images_[1].icon.Width();
        images_[1].height = images_[1].icon.Height();
    }
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetIcons(gdi::Icon in, int outCopy, bool repaint) {
    if (!in) return SetIcons(gdi::Icon{}, gdi::Icon{}, repaint);
    gdi::Icon out;
    if (outCopy == BTNST_AUTO_GRAY || outCopy == BTNST_AUTO_DARKER) {
        gdi::Bitmap colour = outCopy == BTNST_AUTO_GRAY ? GrayCopy(in.Colour(), Black)
                                                        : DarkerCopy(in.Colour(), Black);
        if (!colour) {
            FreeImages();
            Redraw(repaint);
            return BTNST_INVALIDRESOURCE;
        }
        out = gdi::Icon(std::move(colour), in.Mask().Clone());
    }
    return SetIcons(std::move(in), std::move(out), repaint);
}

CBtnST::Result CBtnST::LoadIcons(int inId, int outId, bool repaint) {
    const shell::ResourceBundle* bundle = App() != nullptr ? App()->Resources() : nullptr;
    if (bundle == nullptr) return SetIcons(gdi::Icon{}, gdi::Icon{}, repaint);
    gdi::Icon in = gdi::LoadIcon(*bundle, inId);
    if (outId == BTNST_AUTO_GRAY || outId == BTNST_AUTO_DARKER)
        return SetIcons(std::move(in), outId, repaint);
    gdi::Icon out;
    if (outId != 0) {
        out = gdi::LoadIcon(*bundle, outId);
        if (!out) {  // a failed out image leaves no image at all
            FreeImages();
            Redraw(repaint);
            return BTNST_INVALIDRESOURCE;
        }
    }
    return SetIcons(std::move(in), std::move(out), repaint);
}

CBtnST::Result CBtnST::SetBitmaps(gdi::Bitmap in, gdi::COLORREF inTransparent, gdi::Bitmap out,
                                  gdi::COLORREF outTransparent, bool repaint) {
    FreeImages();
    if (!in || in.IsMonochrome()) {
        Redraw(repaint);
        return BTNST_INVALIDRESOURCE;
    }
    Image loaded[2];
    gdi::Bitmap sources[2] = {in.Clone(), out ? out.Clone() : gdi::Bitmap{}};
    const gdi::COLORREF keys[2] = {inTransparent, outTransparent};
    for (int i = 0; i < 2; ++i) {
        if (!sources[i]) continue;
        Image& image = loaded[i];
        image.bitmap = sources[i];
        image.transparent = keys[i];
        image.width = image.bitmap.Width();
        image.height = image.bitmap.Height();
        image.mask = MakeMask(image.bitmap, keys[i]);
        if (!image.mask) {
            Redraw(repaint);
            return BTNST_FAILEDMASK;
        }
    }
    images_[0] = std::move(loaded[0]);
    images_[1] = std::move(loaded[1]);
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetBitmaps(gdi::Bitmap in, gdi::COLORREF inTransparent, int outCopy,
                                  bool repaint) {
    gdi::Bitmap out;
    if (outCopy == BTNST_AUTO_GRAY) out = GrayCopy(in, inTransparent);
    if (outCopy == BTNST_AUTO_DARKER) out = DarkerCopy(in, inTransparent);
    return SetBitmaps(std::move(in), inTransparent, std::move(out), inTransparent, repaint);
}

CBtnST::Result CBtnST::LoadBitmaps(int inId, gdi::COLORREF inTransparent, int outId,
                                   gdi::COLORREF outTransparent, bool repaint) {
    const shell::ResourceBundle* bundle = App() != nullptr ? App()->Resources() : nullptr;
    if (bundle == nullptr) return SetBitmaps(gdi::Bitmap{}, 0, gdi::Bitmap{}, 0, repaint);
    gdi::Bitmap in = gdi::LoadBitmap(*bundle, inId);
    if (outId == BTNST_AUTO_GRAY || outId == BTNST_AUTO_DARKER)
        return SetBitmaps(std::move(in), inTransparent, outId, repaint);
    gdi::Bitmap out;
    if (outId != 0) {
        out = gdi::LoadBitmap(*bundle, outId);
        if (!out) {
            FreeImages();
            Redraw(repaint);
            return BTNST_INVALIDRESOURCE;
        }
    }
    return SetBitmaps(std::move(in), inTransparent, std::move(out), outTransparent, repaint);
}

// Setters.

CBtnST::Result CBtnST::SetFlatLook(bool flat, bool repaint) {
    flat_ = flat;
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetImageAlign(int align, bool repaint) {
    if (align < ST_ALIGN_HORIZ || align > ST_ALIGN_OVERLAP) return BTNST_INVALIDALIGN;
    imageAlign_ = static_cast<std::uint8_t>(align);
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetPressedStyle(int style, bool repaint) {
    if (style == BTNST_PRESSED_LEFTRIGHT) {
        pressedOffsetX_ = 1;
        pressedOffsetY_ = 1;
    } else if (style == BTNST_PRESSED_TOPBOTTOM) {
        pressedOffsetX_ = 0;
        pressedOffsetY_ = 2;
    } else {
        return BTNST_INVALIDPRESSEDSTYLE;
    }
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetCheckState(bool checked, bool repaint) {
    if (isCheckBox_) {
        checkState_ = checked;
        Redraw(repaint);
    }
    return BTNST_OK;
}

CBtnST::Result CBtnST::ResetColours(bool repaint) {
    const gdi::COLORREF face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    const gdi::COLORREF text = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    colours_ = {face, text, face, text, face, text};
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetStateColour(int index, gdi::COLORREF colour, bool repaint) {
    if (index < 0 || index >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
    colours_[static_cast<std::size_t>(index)] = colour;
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::GetStateColour(int index, gdi::COLORREF& colour) const {
    if (index < 0 || index >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
    colour = colours_[static_cast<std::size_t>(index)];
    return BTNST_OK;
}

CBtnST::Result CBtnST::ShiftStateColour(int index, int shade, bool repaint) {
    if (index < 0 || index >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
    if (shade < -255 || shade > 255) return BTNST_BADPARAM;
    gdi::COLORREF& colour = colours_[static_cast<std::size_t>(index)];
    const int r = Channel(colour, 0);
    const int g = Channel(colour, 8);
    const int b = Channel(colour, 16);
    if (shade > 0) shade = std::min(shade, 255 - std::max({r, g, b}));
    if (shade < 0) shade = std::max(shade, -std::min({r, g, b}));
    colour = gdi::RGB(static_cast<std::uint8_t>(r + shade), static_cast<std::uint8_t>(g + shade),
                      static_cast<std::uint8_t>(b + shade));
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetAlwaysTrack(bool always) {
    alwaysTrack_ = always;
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetBorderOnHover(bool border, bool repaint) {
    borderOnHover_ = border;
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetFocusOnFlat(bool focus, bool repaint) {
    focusOnFlat_ = focus;
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::UseParentBackground(bool repaint) {
    seeThrough_ = true;
    backgroundBitmap_.Reset();
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetButtonFont(int points, std::u16string_view face, bool repaint) {
    gdi::LOGFONT lf;
    {
        ClientDC dc(*this);
        const int perInch = dc ? gdi::GetDeviceCaps(dc, gdi::LOGPIXELSY) : 96;
        lf.lfHeight = -gdi::MulDiv(points, perInch, 72);
    }
    lf.lfWeight = gdi::FW_NORMAL;
    gdi::SetFaceName(lf, face);
    gdi::Font font = gdi::CreateFontIndirect(lf);
    if (!font) return BTNST_INVALIDRESOURCE;
    font_ = std::move(font);
    SetFont(font_, false);
    Redraw(repaint);
    return BTNST_OK;
}

void CBtnST::SetTextColour(gdi::COLORREF colour, bool repaint) {
    textColour_ = colour;
    Redraw(repaint);
}

CBtnST::Result CBtnST::FitToImage() {
    imageMarginX_ = 0;
    imageMarginY_ = 0;
    const Image& image = images_[0];
    if (!image.icon && !image.bitmap) return BTNST_OK;
    SetWindowPos(nullptr, 0, 0, image.width, image.height, SWP_NOMOVE | SWP_NOZORDER);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetButtonCursor(StandardCursor cursor) {
    cursor_ = cursor;
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetTipText(std::u16string_view text, bool activate) {
    if (!IsWindow()) return BTNST_BADPARAM;
    if (!tip_) {
        auto tip = std::make_unique<ToolTip>();
        if (!tip->Create(*this, tipStyle_)) return BTNST_INVALIDRESOURCE;
        tip->SetMaxTipWidth(MaxTipWidth);
        tip_ = std::move(tip);
    }
    RECT client;
    GetClientRect(client);
    if (tip_->GetToolCount() == 0) {
        tip_->AddTool(*this, text, &client, 1);
    } else {
        tip_->UpdateTipText(text, *this, 1);
    }
    tip_->Activate(activate);
    return BTNST_OK;
}

CBtnST::Result CBtnST::ActivateTip(bool active) {
    if (tip_) tip_->Activate(active);
    return BTNST_OK;
}

CBtnST::Result CBtnST::UseBalloonTip(bool balloon) {
    tipStyle_ = balloon ? (tipStyle_ | TTS_BALLOON) : (tipStyle_ & ~TTS_BALLOON);
    if (tip_) tip_->ModifyStyle(balloon ? 0 : TTS_BALLOON, balloon ? TTS_BALLOON : 0);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetLinkTarget(std::u16string_view address) {
    link_ = std::u16string(address.substr(0, LinkCapacity));
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetMenu(std::unique_ptr<Menu> menu, HWND owner, bool repaint) {
    menu_ = std::move(menu);
    menuOwner_ = owner;
    Redraw(repaint);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetMenuNotify(HWND window, UINT message, LPARAM lParam) {
    menuNotifyWindow_ = window;
    menuNotifyMessage_ = message;
    menuNotifyLParam_ = lParam;
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetButtonSound(const char16_t* name, bool playOnClick, bool async) {
    Sound& sound = sounds_[playOnClick ? 1 : 0];
    sound = Sound{};
    if (name == nullptr) return BTNST_OK;
    std::u16string_view text(name);
    sound.name = std::u16string(text.substr(0, LinkCapacity));
    sound.flags = media::SND_NODEFAULT | media::SND_NOWAIT | media::SND_FILENAME |
                  (async ? media::SND_ASYNC : 0);
    return BTNST_OK;
}

CBtnST::Result CBtnST::SetButtonSound(int resourceId, bool playOnClick, bool async) {
    Sound& sound = sounds_[playOnClick ? 1 : 0];
    sound = Sound{};
    if (resourceId == 0) return BTNST_OK;
    sound.resourceId = resourceId;
    sound.flags = media::SND_NODEFAULT | media::SND_NOWAIT | media::SND_RESOURCE |
                  (async ? media::SND_ASYNC : 0);
    return BTNST_OK;
}
