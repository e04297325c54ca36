// CTransparentStatic: a static text that paints only its letters, in an Arial font of its own
// height and weight and in its own colour, so that whatever its parent painted shows around
// them. Texts longer than 30 characters drop to a 12-pixel font to fit. The owner writes the
// three settings before the control is first painted. Changing the text does not remove the
// old letters by itself: the parent repaints the area behind the control.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/gdi/font.h"
#include "platform/ui/static.h"

class CTransparentStatic : public ui::Static {
    UI_DECLARE_MESSAGE_MAP()
public:
    // Font height in the logical-font convention (negative: character height in pixels).
    std::int32_t fontHeight = -15;
    std::int32_t fontWeight = gdi::FW_NORMAL;
    gdi::COLORREF textColour = 0;

    // Texts longer than this use LongTextHeight instead of fontHeight.
    static constexpr std::size_t ShortTextLimit = 30;
    static constexpr std::int32_t LongTextHeight = -12;

    CTransparentStatic() = default;
    ~CTransparentStatic() override;

    // The draw-text flags for a static style: alignment, one vertically centred line,
    // no prefixes, ellipses; word breaks when none of those ask otherwise.
    static ui::UINT TextFlags(ui::Style style);
    // The font height a text of this length is drawn with.
    std::int32_t HeightFor(std::size_t length) const {
        return length > ShortTextLimit ? LongTextHeight : fontHeight;
    }

private:
    void OnPaint();
    // The Arial font of this height and weight, made once and kept while they stay the same
    // (one for short texts, one for long ones, so lines of both lengths in turn make no new
    // fonts); null when "arial.ttf" is not known to the font system.
    gdi::Font ArialFont(std::int32_t height);

    std::optional<bool> arialKnown_;  // the font file was offered once
    gdi::Font fonts_[2];              // the short texts' height, the long texts' height
};
