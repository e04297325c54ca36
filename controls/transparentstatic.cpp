#include "controls/transparentstatic.h"

#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"

using namespace ui;

// clang-format off
const MessageMap CTransparentStatic::messageMap{&Static::messageMap, {
    OnMessage<&CTransparentStatic::OnPaint>(WM_PAINT),
}};
// clang-format on

CTransparentStatic::~CTransparentStatic() = default;

UINT CTransparentStatic::TextFlags(Style style) {
    UINT flags = 0;
    if ((style & SS_RIGHT) != 0) flags |= gdi::DT_RIGHT;
    if ((style & SS_CENTER) != 0) flags |= gdi::DT_CENTER;
    if ((style & SS_CENTERIMAGE) != 0) flags |= gdi::DT_VCENTER | gdi::DT_SINGLELINE;
    if ((style & SS_NOPREFIX) != 0) flags |= gdi::DT_NOPREFIX;
    // Bit by bit: SS_WORDELLIPSIS, both bits, adds the end and path ellipsis flags too.
    if ((style & SS_ELLIPSISMASK) != 0) {
        flags |= gdi::DT_WORD_ELLIPSIS;
        if ((style & SS_ENDELLIPSIS) != 0) flags |= gdi::DT_END_ELLIPSIS;
        if ((style & SS_PATHELLIPSIS) != 0) flags |= gdi::DT_PATH_ELLIPSIS;
    }
    if ((style & (SS_ELLIPSISMASK | SS_CENTERIMAGE | SS_LEFTNOWORDWRAP)) == 0) {
        flags |= gdi::DT_WORDBREAK;
    }
    return flags;
}

gdi::Font CTransparentStatic::ArialFont(std::int32_t height) {
    // The font file is offered to the font system once per control, not at every paint.
    if (!arialKnown_) arialKnown_ = gdi::AddFontResource(u"arial.ttf") > 0;
    if (!*arialKnown_) return {};
    gdi::Font& font = fonts_[height == fontHeight ? 0 : 1];
    if (font) {
        const gdi::LOGFONT& made = font.Description();
        if (made.lfHeight == height && made.lfWeight == fontWeight) return font;
    }
    gdi::LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = fontWeight;
    lf.lfCharSet = gdi::DEFAULT_CHARSET;
    lf.lfPitchAndFamily = gdi::FF_SWISS | gdi::DEFAULT_PITCH;
    gdi::SetFaceName(lf, u"Arial");
    font = gdi::CreateFontIndirect(lf);
    return font;
}

void CTransparentStatic::OnPaint() {
    PaintDC dc(*this);
    if (!dc) return;
    RECT client;
    GetClientRect(client);
    const std::u16string text = GetWindowText();
    const gdi::Font arial = ArialFont(HeightFor(text.size()));
    if (arial) {
        dc.SelectObject(arial);
    } else {
        SelectControlFont(*this, dc);
    }
    dc.SetBkMode(gdi::TRANSPARENT);
    dc.SetTextColor(textColour);
    gdi::DrawText(dc, text, client, TextFlags(GetStyle()));
}
