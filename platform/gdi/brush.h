// Brushes and pens: small values that say how areas are filled and lines drawn.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/types.h"

namespace gdi {

// A solid colour, a pattern (a bitmap tiled from the device context's brush origin; a
// monochrome pattern takes the text and background colours) or hollow (paints nothing).
// A default-constructed Brush is null: filling with it fails.
class Brush {
public:
    enum class Style { Null, Solid, Pattern, Hollow };

    Brush() = default;
    static Brush Solid(COLORREF colour);
    static Brush Pattern(const Bitmap& pattern);
    static Brush Hollow();

    explicit operator bool() const { return style_ != Style::Null; }
    Style GetStyle() const { return style_; }
    COLORREF Colour() const { return colour_; }
    const Bitmap& PatternBitmap() const { return pattern_; }

    friend bool operator==(const Brush&, const Brush&) = default;

private:
    Style style_ = Style::Null;
    COLORREF colour_ = 0;
    Bitmap pattern_;
};

// PS_SOLID lines of the given width (0 counts as 1), or PS_NULL (draws nothing).
class Pen {
public:
    Pen() = default;  // null
    Pen(int style, int width, COLORREF colour) : style_(style), width_(width), colour_(colour) {}

    explicit operator bool() const { return style_ >= 0; }
    int Style() const { return style_; }
    int Width() const { return width_ < 1 ? 1 : width_; }
    COLORREF Colour() const { return colour_; }

    friend bool operator==(const Pen&, const Pen&) = default;

private:
    int style_ = -1;
    int width_ = 0;
    COLORREF colour_ = 0;
};

Brush CreateSolidBrush(COLORREF colour);
// The brush keeps its own copy of the pattern's pixels; null for a null bitmap.
Brush CreatePatternBrush(const Bitmap& pattern);
Brush GetSysColorBrush(int index);
// WHITE_BRUSH … NULL_BRUSH (HOLLOW_BRUSH); a null brush for other numbers.
Brush GetStockBrush(int object);
Pen CreatePen(int style, int width, COLORREF colour);
// WHITE_PEN, BLACK_PEN, NULL_PEN; a null pen for other numbers.
Pen GetStockPen(int object);

}  // namespace gdi
