// The FreeType face behind a Font, with its metrics and its cache of rendered glyphs
// (private to the graphics layer).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/font.h"

namespace gdi {

class FontFace {
public:
    struct Glyph {
        int advance = 0;  // pixels to the next pen position
        int left = 0;     // bitmap offset from the pen position
        int top = 0;      // rows above the baseline
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> coverage;  // width × height, 0-255
    };

    // Null when no font file can be found or opened.
    static std::shared_ptr<FontFace> Open(const LOGFONT& lf);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const LOGFONT& Description() const { return lf_; }
    const std::string& File() const { return file_; }
    const TEXTMETRIC& Metrics() const { return metrics_; }
    // Underline and strike-out strokes: offset of the top row below the baseline (negative:
    // above) and thickness, in pixels.
    int UnderlineOffset() const { return underlineOffset_; }
    int UnderlineThickness() const { return underlineThickness_; }
    int StrikeOffset() const { return strikeOffset_; }
    int StrikeThickness() const { return strikeThickness_; }

    const Glyph& GetGlyph(char32_t codePoint);
    int Advance(char32_t codePoint) { return GetGlyph(codePoint).advance; }
    // The same face rendered at `scale` (2 or 3) times its pixel size, for drawing on a scaled
    // target; this face itself for scale 1 or when that size cannot be made.
    FontFace& AtScale(int scale);

private:
    FontFace() = default;
    bool Load(const std::string& file, int index, bool synthBold, bool synthItalic);
    Glyph Render(char32_t codePoint);

    LOGFONT lf_{};
    std::string file_;
    TEXTMETRIC metrics_{};
    int underlineOffset_ = 0;
    int underlineThickness_ = 1;
    int strikeOffset_ = 0;
    int strikeThickness_ = 1;
    bool synthBold_ = false;
    bool synthItalic_ = false;
    int index_ = 0;                                    // of the face in its file
    int scale_ = 1;                                    // pixel size multiplier
    std::array<std::unique_ptr<FontFace>, 2> scaled_;  // at scales 2 and 3, made when needed
    std::array<bool, 2> scaledFailed_{};
    void* library_ = nullptr;  // FT_Library
    void* face_ = nullptr;     // FT_Face
    std::array<std::unique_ptr<Glyph>, 256> latin_;
    std::unordered_map<char32_t, Glyph> others_;
};

}  // namespace gdi
