// Text on a device context with its selected font: measuring, single runs (TextOut) and
// formatted text in a rectangle (DrawText). Text is UTF-16; it is drawn anti-aliased in the
// DC's text colour, over the background colour when the background mode is OPAQUE.
#pragma once

#include <string_view>

#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"

namespace gdi {

bool GetTextMetrics(const DC& dc, TEXTMETRIC& out);
// Width of the run (sum of advances) and the font's cell height.
bool GetTextExtentPoint32(const DC& dc, std::u16string_view text, SIZE& out);
// (x, y) is the top-left corner of the run's cell.
bool TextOut(DC& dc, int x, int y, std::u16string_view text);
inline constexpr UINT ETO_OPAQUE = 0x2;
inline constexpr UINT ETO_CLIPPED = 0x4;
// TextOut that can first fill `rect` with the background colour (ETO_OPAQUE) and keep the
// text inside it (ETO_CLIPPED).
bool ExtTextOut(DC& dc, int x, int y, UINT options, const RECT* rect, std::u16string_view text);
// Lays out and draws text in the rectangle as the DT_ flags say: alignment (DT_LEFT,
// DT_CENTER, DT_RIGHT; DT_VCENTER and DT_BOTTOM with DT_SINGLELINE), DT_WORDBREAK,
// DT_EXPANDTABS, "&" prefixes unless DT_NOPREFIX, DT_END_ELLIPSIS / DT_WORD_ELLIPSIS /
// DT_PATH_ELLIPSIS for lines wider than the rectangle, clipping unless DT_NOCLIP. With
// DT_CALCRECT nothing is drawn and the rectangle is set to the text's extent. Answers the
// text's height (with DT_VCENTER or DT_BOTTOM: from the rectangle's top to the text's
// bottom), 0 on failure.
int DrawText(DC& dc, std::u16string_view text, RECT& rect, UINT format);

}  // namespace gdi
