// Fonts: a logical font description resolved through fontconfig to a font file and drawn with
// FreeType. A Font is a handle; copies share the face and its glyph cache, which belong to
// the font (no process-wide font state of ours).
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/types.h"

namespace gdi {

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr int LF_FACESIZE = 32;

struct LOGFONT {
    LONG lfHeight = 0;  // < 0: character (em) height in pixels; > 0: cell height; 0: default
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = FW_DONTCARE;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char16_t lfFaceName[LF_FACESIZE] = {};
};

// Copies at most 31 code units of face into lf.lfFaceName, always terminated.
void SetFaceName(LOGFONT& lf, std::u16string_view face);
std::u16string FaceName(const LOGFONT& lf);

// The description of the system's default GUI font: 8 points (−11 pixels), "MS Shell Dlg".
LOGFONT DefaultGuiLogFont();

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};

class FontFace;

class Font {
public:
    Font() = default;  // null
    explicit Font(std::shared_ptr<FontFace> face) : face_(std::move(face)) {}

    explicit operator bool() const { return face_ != nullptr; }
    friend bool operator==(const Font& a, const Font& b) { return a.face_ == b.face_; }

    const LOGFONT& Description() const;
    // The font file fontconfig chose.
    const std::string& File() const;
    FontFace* Face() const { return face_.get(); }

private:
    std::shared_ptr<FontFace> face_;
};

// Null when no font file can be found or opened.
Font CreateFontIndirect(const LOGFONT& lf);
// The description a font was made from; false for a null font.
bool GetObject(const Font& font, LOGFONT& out);
inline constexpr int DEFAULT_GUI_FONT = 17;
// DEFAULT_GUI_FONT; a null font for other numbers.
Font GetStockFont(int object);
// The usual shorthand: height, weight, italic, underline, strike-out and face.
Font CreateFontSimple(LONG height, LONG weight, std::u16string_view face, bool italic = false,
                      bool underline = false, bool strikeOut = false);

// Makes a font file known to the font system. A path to a file that exists is added
// (fontconfig's application fonts). A bare Windows font file name ("arial.ttf") succeeds when
// a font with that family's metrics is installed. Answers the number of fonts added (0 on
// failure).
int AddFontResource(std::u16string_view file);

}  // namespace gdi
