#include "export/pdfwriter.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/shell/codepage.h"

namespace exporting {
namespace {

// A4 in points, and the sheet's margins and columns.
constexpr double PageWidth = 595.276;
constexpr double PageHeight = 841.890;
constexpr double Margin = 42.0;
constexpr double TopMargin = 48.0;
constexpr double BottomMargin = 56.0;
constexpr double ColumnGap = 24.0;
constexpr double ColumnWidth = (PageWidth - 2 * Margin - ColumnGap) / 2;
constexpr double PhraseGap = 7.0;
constexpr double HeadingGap = 6.0;

enum class Style { Title, Heading, English, German, Ipa, Footer };

struct Look {
    const char* family;
    cairo_font_weight_t weight;
    double size;
    double grey;
};

Look LookOf(Style style) {
    switch (style) {
        case Style::Title:
            return {"Liberation Sans", CAIRO_FONT_WEIGHT_BOLD, 16, 0};
        case Style::Heading:
            return {"Liberation Sans", CAIRO_FONT_WEIGHT_BOLD, 12, 0.25};
        case Style::English:
            return {"Liberation Sans", CAIRO_FONT_WEIGHT_NORMAL, 10, 0};
        case Style::German:
            return {"Liberation Sans", CAIRO_FONT_WEIGHT_BOLD, 10.5, 0};
        case Style::Ipa:
            return {"DejaVu Sans", CAIRO_FONT_WEIGHT_NORMAL, 8.5, 0.35};
        case Style::Footer:
            break;
    }
    return {"Liberation Sans", CAIRO_FONT_WEIGHT_NORMAL, 8, 0.3};
}

double Advance(Style style) {
    return LookOf(style).size * 1.3;
}

void Select(cairo_t* cr, Style style) {
    const Look look = LookOf(style);
    cairo_select_font_face(cr, look.family, CAIRO_FONT_SLANT_NORMAL, look.weight);
    cairo_set_font_size(cr, look.size);
    cairo_set_source_rgb(cr, look.grey, look.grey, look.grey);
}

double TextWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

// text cut at spaces into lines no wider than width (a single longer word stays whole).
std::vector<std::string> Wrap(cairo_t* cr, Style style, const std::string& text, double width) {
    Select(cr, style);
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const std::string joined = line.empty() ? word : line + ' ' + word;
        if (!line.empty() && TextWidth(cr, joined) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = joined;
        }
        start = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

struct Line {
    Style style;
    std::string text;
    double offset;  // baseline below the block's top
};

// What is placed as one piece: a phrase, with its heading when it opens a category.
struct Block {
    std::vector<Line> lines;
    double height = 0;

    void Add(cairo_t* cr, Style style, const std::u16string& text, double indent = 0) {
        for (std::string& piece : Wrap(cr, style, shell::Utf16ToUtf8(text), ColumnWidth - indent)) {
            height += Advance(style);
            lines.push_back({style, std::move(piece), height - Advance(style) * 0.28});
        }
    }
};

struct Placed {
    const Line* line;
    double x;
    double baseline;
};
using Page = std::vector<Placed>;

std::vector<Page> Lay(const std::vector<Block>& blocks, double firstTop) {
    std::vector<Page> pages(1);
    int column = 0;
    double y = firstTop;
    const double bottom = PageHeight - BottomMargin;
    double top = firstTop;
    for (const Block& block : blocks) {
        if (y + block.height > bottom && y > top) {
            if (column == 0) {
                column = 1;
            } else {
                pages.emplace_back();
                column = 0;
                top = TopMargin;
            }
            y = top;
        }
        const double x = Margin + column * (ColumnWidth + ColumnGap);
        for (const Line& line : block.lines)
            pages.back().push_back({&line, line.style == Style::Ipa ? x + 6 : x, y + line.offset});
        y += block.height + PhraseGap;
    }
    return pages;
}

struct SurfaceCloser {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextCloser {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

}  // namespace

WriteResult WritePdf(const std::filesystem::path& file, std::span<const ExportPhrase> phrases) {
    const std::u16string cantWrite = u"Can't write " + shell::Utf8ToUtf16(file.string());
    std::unique_ptr<cairo_surface_t, SurfaceCloser> surface(
        cairo_pdf_surface_create(file.c_str(), PageWidth, PageHeight));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return WriteResult::Failed(cantWrite);
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE,
                                   "Tolkara German phrase sheet");
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Tolkara German");
    std::unique_ptr<cairo_t, ContextCloser> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();

    std::vector<const ExportPhrase*> ordered;
    for (const ExportPhrase& phrase : phrases)
        ordered.push_back(&phrase);
    std::stable_sort(
        ordered.begin(), ordered.end(),
        [](const ExportPhrase* a, const ExportPhrase* b) { return a->number < b->number; });

    std::vector<Block> blocks;
    const std::u16string* lastHeading = nullptr;
    for (const ExportPhrase* phrase : ordered) {
        Block block;
        if (lastHeading == nullptr || *lastHeading != phrase->heading) {
            block.Add(cr, Style::Heading, phrase->heading);
            block.height += HeadingGap;
            lastHeading = &phrase->heading;
        }
        block.Add(cr, Style::English, phrase->english);
        block.Add(cr, Style::German, phrase->german);
        if (!phrase->ipa.empty()) block.Add(cr, Style::Ipa, phrase->ipa, 6);
        blocks.push_back(std::move(block));
    }

    const double titleBaseline = TopMargin + LookOf(Style::Title).size;
    const std::vector<Page> pages = Lay(blocks, titleBaseline + 18);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p == 0) {
            Select(cr, Style::Title);
            cairo_move_to(cr, Margin, titleBaseline);
            cairo_show_text(cr, "Tolkara German: English → German phrases");
        }
        Style current = Style::Footer;
        for (const Placed& placed : pages[p]) {
            if (placed.line->style != current) {
                current = placed.line->style;
                Select(cr, current);
            }
            cairo_move_to(cr, placed.x, placed.baseline);
            cairo_show_text(cr, placed.line->text.c_str());
        }
        Select(cr, Style::Footer);
        const std::string footer =
            "Page " + std::to_string(p + 1) + " of " + std::to_string(pages.size());
        cairo_move_to(cr, (PageWidth - TextWidth(cr, footer)) / 2, PageHeight - BottomMargin / 2);
        cairo_show_text(cr, footer.c_str());
        cairo_show_page(cr);
    }
    context.reset();
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return WriteResult::Failed(cantWrite);
    return WriteResult::Done();
}

}  // namespace exporting
