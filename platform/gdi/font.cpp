#include "platform/gdi/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/gdi/fontface.h"
#include "platform/shell/codepage.h"

namespace gdi {

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Families to ask fontconfig for, best first. The Windows dialog faces become the sans face
// with Arial's metrics, then any sans face.
std::vector<std::string> FamiliesFor(const std::string& face) {
    std::string f = Lower(face);
    if (f.empty() || f == "ms sans serif" || f == "ms shell dlg" || f == "ms shell dlg 2" ||
        f == "microsoft sans serif" || f == "system" || f == "tahoma" || f == "segoe ui") {
        return {"Liberation Sans", "Arimo", "Arial", "sans-serif"};
    }
    return {face};
}

struct FcPatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

struct Match {
    std::string file;
    std::string family;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

std::optional<Match> MatchFont(const std::vector<std::string>& families, int weight, bool italic) {
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    for (const std::string& family : families) {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.c_str()));
    }
    FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                        FcWeightFromOpenType(weight <= 0 ? FW_NORMAL : std::min(weight, 1000)));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return std::nullopt;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) return std::nullopt;
    Match m;
    FcChar8* value = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &value) != FcResultMatch) return std::nullopt;
    m.file = reinterpret_cast<const char*>(value);
    if (FcPatternGetString(match.get(), FC_FAMILY, 0, &value) == FcResultMatch) {
        m.family = reinterpret_cast<const char*>(value);
    }
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &m.index);
    FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &m.weight);
    FcPatternGetInteger(match.get(), FC_SLANT, 0, &m.slant);
    return m;
}

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

}  // namespace

void SetFaceName(LOGFONT& lf, std::u16string_view face) {
    std::size_t n = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), u'\0');
    std::copy_n(face.begin(), n, lf.lfFaceName);
}

std::u16string FaceName(const LOGFONT& lf) {
    std::size_t n = 0;
    while (n < LF_FACESIZE && lf.lfFaceName[n])
        ++n;
    return std::u16string(lf.lfFaceName, n);
}

LOGFONT DefaultGuiLogFont() {
    LOGFONT lf;
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    SetFaceName(lf, u"MS Shell Dlg");
    return lf;
}

const LOGFONT& Font::Description() const {
    static const LOGFONT none{};
    return face_ ? face_->Description() : none;
}

const std::string& Font::File() const {
    static const std::string none;
    return face_ ? face_->File() : none;
}

Font CreateFontIndirect(const LOGFONT& lf) {
    return Font(FontFace::Open(lf));
}

bool GetObject(const Font& font, LOGFONT& out) {
    if (!font) return false;
    out = font.Description();
    return true;
}

Font GetStockFont(int object) {
    return object == DEFAULT_GUI_FONT ? CreateFontIndirect(DefaultGuiLogFont()) : Font();
}

Font CreateFontSimple(LONG height, LONG weight, std::u16string_view face, bool italic,
                      bool underline, bool strikeOut) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfPitchAndFamily = FF_SWISS;
    SetFaceName(lf, face);
    return CreateFontIndirect(lf);
}

int AddFontResource(std::u16string_view file) {
    std::string path = shell::Utf16ToUtf8(file);
    if (path.empty()) return 0;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        return FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str())) ? 1
                                                                                               : 0;
    }
    // A Windows font file name: succeed when its family, or a font made with its metrics,
    // is installed.
    std::string stem = Lower(std::filesystem::path(path).stem().string());
    struct Known {
        const char* stem;
        const char* family;
        std::vector<std::string> compatible;
    };
    static const Known known[] = {
        {"arial", "Arial", {"Arial", "Liberation Sans", "Arimo"}},
        {"arialbd", "Arial", {"Arial", "Liberation Sans", "Arimo"}},
        {"times", "Times New Roman", {"Times New Roman", "Liberation Serif", "Tinos"}},
        {"cour", "Courier New", {"Courier New", "Liberation Mono", "Cousine"}},
    };
    for (const Known& k : known) {
        if (stem != k.stem) continue;
        std::optional<Match> m = MatchFont({k.family}, FW_NORMAL, false);
        if (!m) return 0;
        return std::find(k.compatible.begin(), k.compatible.end(), m->family) != k.compatible.end()
                   ? 1
                   : 0;
    }
    return 0;
}

// FontFace

std::shared_ptr<FontFace> FontFace::Open(const LOGFONT& lf) {
    std::string face = shell::Utf16ToUtf8(FaceName(lf));
    int weight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
    std::optional<Match> m = MatchFont(FamiliesFor(face), weight, lf.lfItalic != 0);
    if (!m) return nullptr;
    std::shared_ptr<FontFace> f(new FontFace());
    f->lf_ = lf;
    bool synthBold = weight >= 600 && m->weight < FC_WEIGHT_DEMIBOLD;
    bool synthItalic = lf.lfItalic && m->slant == FC_SLANT_ROMAN;
    if (!f->Load(m->file, m->index, synthBold, synthItalic)) return nullptr;
    return f;
}

FontFace::~FontFace() {
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool FontFace::Load(const std::string& file, int index, bool synthBold, bool synthItalic) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) return false;
    library_ = library;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face)) return false;
    face_ = face;
    file_ = file;
    index_ = index;
    synthBold_ = synthBold;
    synthItalic_ = synthItalic;

    const double upem = face->units_per_EM ? face->units_per_EM : 2048;
    double winAscent = face->ascender;
    double winDescent = -face->descender;
    double avgWidth = 0;
    double strikePos = face->ascender * 0.3;
    double strikeSize = face->underline_thickness;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
        avgWidth = os2->xAvgCharWidth;
        if (os2->yStrikeoutSize > 0) {
            strikePos = os2->yStrikeoutPosition;
            strikeSize = os2->yStrikeoutSize;
        }
    }
    // A negative height is the em height; a positive one the cell height.
    // Heights beyond MaxPixelHeight are drawn at that size.
    constexpr long long MaxPixelHeight = 2048;
    const long long requested = std::min<long long>(MaxPixelHeight, std::llabs(lf_.lfHeight));
    int ppem;
    if (lf_.lfHeight < 0) {
        ppem = static_cast<int>(requested);
    } else if (lf_.lfHeight > 0) {
        ppem = std::max(1, Round(static_cast<double>(requested) * upem / (winAscent + winDescent)));
    } else {
        ppem = 12;
    }
    ppem *= scale_;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem))) return false;
    const double scale = ppem / upem;

    TEXTMETRIC& tm = metrics_;
    tm.tmAscent = Round(winAscent * scale);
    tm.tmDescent = Round(winDescent * scale);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - ppem);
    tm.tmExternalLeading = std::max(0, Round((face->height - (winAscent + winDescent)) * scale));
    tm.tmAveCharWidth = std::max(1, Round(avgWidth * scale));
    tm.tmMaxCharWidth = Round((face->bbox.xMax - face->bbox.xMin) * scale);
    tm.tmWeight = lf_.lfWeight <= 0 ? FW_NORMAL : lf_.lfWeight;
    tm.tmItalic = lf_.lfItalic ? 1 : 0;
    tm.tmUnderlined = lf_.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf_.lfStrikeOut ? 1 : 0;
    tm.tmPitchAndFamily = lf_.lfPitchAndFamily;
    tm.tmCharSet = lf_.lfCharSet;
    if (avgWidth <= 0) tm.tmAveCharWidth = std::max(1, Advance(U'x'));

    underlineThickness_ = std::max(1, Round(face->underline_thickness * scale));
    underlineOffset_ = std::max(1, Round(-face->underline_position * scale));
    if (underlineOffset_ + underlineThickness_ > tm.tmDescent) {
        underlineOffset_ = std::max(0, tm.tmDescent - underlineThickness_);
    }
    strikeThickness_ = std::max(1, Round(strikeSize * scale));
    strikeOffset_ = -Round(strikePos * scale);
    return true;
}

FontFace::Glyph FontFace::Render(char32_t codePoint) {
    Glyph g;
    auto face = static_cast<FT_Face>(face_);
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL)) return g;
    FT_GlyphSlot slot = face->glyph;
    if (synthBold_) FT_GlyphSlot_Embolden(slot);
    if (synthItalic_) FT_GlyphSlot_Oblique(slot);
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) return g;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        std::copy_n(row, g.width, g.coverage.data() + static_cast<std::size_t>(y) * g.width);
    }
    return g;
}

FontFace& FontFace::AtScale(int scale) {
    if (scale < 2 || scale > 3 || scale_ != 1) return *this;
    const auto slot = static_cast<std::size_t>(scale - 2);
    if (!scaled_[slot] && !scaledFailed_[slot]) {
        std::unique_ptr<FontFace> f(new FontFace());
        f->lf_ = lf_;
        f->scale_ = scale;
        if (f->Load(file_, index_, synthBold_, synthItalic_)) {
            scaled_[slot] = std::move(f);
        } else {
            scaledFailed_[slot] = true;
        }
    }
    return scaled_[slot] ? *scaled_[slot] : *this;
}

const FontFace::Glyph& FontFace::GetGlyph(char32_t codePoint) {
    if (codePoint < latin_.size()) {
        auto& slot = latin_[codePoint];
        if (!slot) slot = std::make_unique<Glyph>(Render(codePoint));
        return *slot;
    }
    auto it = others_.find(codePoint);
    if (it == others_.end()) it = others_.emplace(codePoint, Render(codePoint)).first;
    return it->second;
}

}  // namespace gdi

// fontconfig keeps its configuration until the process ends (it is released only by FcFini,
// which a library must not call behind other users' backs); the leak checker of sanitizer
// builds is told so.
#if defined(__SANITIZE_ADDRESS__)
#define PHRASEBOOK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PHRASEBOOK_ASAN 1
#endif
#endif
#ifdef PHRASEBOOK_ASAN
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
