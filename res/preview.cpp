#include "res/preview.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/dc.h"
#include "res/bitmaptable.h"
#include "res/dialogs.h"
#include "res/layout.h"

namespace res {
namespace {

const ui::DialogItemTemplate* FindItem(const ui::DialogTemplate& dialog, int id) {
    for (const ui::DialogItemTemplate& item : dialog.items)
        if (item.id == id) return &item;
    return nullptr;
}

// A memory DC drawing into a fresh 32-bit canvas filled with one colour.
struct Canvas {
    gdi::Bitmap bitmap;
    gdi::DC dc;

    Canvas(int width, int height, gdi::COLORREF fill)
        : bitmap(gdi::CreateDIBSection32(width, -height)), dc(gdi::DC::Memory()) {
        dc.SelectObject(bitmap);
        gdi::FillRect(dc, {0, 0, width, height}, gdi::CreateSolidBrush(fill));
    }

    // Copies the top-left width × height pixels of a bitmap (less where it is smaller).
    void Draw(const gdi::Bitmap& source, int x, int y, int width, int height) {
        if (!source) return;
        gdi::DC from = gdi::DC::Memory();
        from.SelectObject(source);
        gdi::BitBlt(dc, x, y, std::min(width, source.Width()), std::min(height, source.Height()),
                    &from, 0, 0, gdi::SRCCOPY);
    }
    void Draw(const gdi::Bitmap& source, int x, int y) {
        if (source) Draw(source, x, y, source.Width(), source.Height());
    }

    // Every second pixel of a bitmap: half its size.
    void DrawHalf(const gdi::Bitmap& source, int x, int y) {
        if (!source) return;
        gdi::DC from = gdi::DC::Memory();
        from.SelectObject(source);
        gdi::StretchBlt(dc, x, y, source.Width() / 2, source.Height() / 2, &from, 0, 0,
                        source.Width(), source.Height(), gdi::SRCCOPY);
    }

    void Outline(const PixelRect& r, gdi::COLORREF colour) {
        gdi::Brush brush = gdi::CreateSolidBrush(colour);
        gdi::FillRect(dc, {r.left, r.top, r.right, r.top + 1}, brush);
        gdi::FillRect(dc, {r.left, r.bottom - 1, r.right, r.bottom}, brush);
        gdi::FillRect(dc, {r.left, r.top, r.left + 1, r.bottom}, brush);
        gdi::FillRect(dc, {r.right - 1, r.top, r.right, r.bottom}, brush);
    }
};

void DrawButton(Canvas& canvas, const shell::ResourceBundle& bundle,
                const ui::DialogTemplate& dialog, int control, int bitmap, std::uint16_t language) {
    const ui::DialogItemTemplate* item = FindItem(dialog, control);
    if (!item || !(item->style & ui::WS_VISIBLE)) return;
    PixelRect r = ItemPixels(*item);
    canvas.Draw(gdi::LoadBitmap(bundle, bitmap, language), r.left, r.top, r.Width(), r.Height());
}

}  // namespace

gdi::Bitmap ComposeMainWindow(const shell::ResourceBundle& bundle, std::uint16_t language) {
    gdi::Bitmap skin = gdi::LoadBitmap(bundle, MainSkinBitmap, language);
    if (!skin) return {};
    Canvas canvas(skin.Width(), skin.Height(), 0);
    canvas.Draw(skin, 0, 0);
    for (const ButtonSkin& button : MainButtonSkins)
        DrawButton(canvas, bundle, MainDialog, button.control, button.normal, language);
    canvas.Outline(ItemPixels(*FindItem(MainDialog, 1002)), ListOutline);
    canvas.Outline(ItemPixels(*FindItem(MainDialog, 1022)), PronunciationOutline);
    return canvas.bitmap;
}

gdi::Bitmap ComposeAboutBox(const shell::ResourceBundle& bundle) {
    gdi::Bitmap skin = gdi::LoadBitmap(bundle, AboutSkinBitmap);
    if (!skin) return {};
    Canvas canvas(skin.Width(), skin.Height(), 0);
    canvas.Draw(skin, 0, 0);
    DrawButton(canvas, bundle, AboutDialog, AboutCancelSkin.control, AboutCancelSkin.normal,
               shell::LangNeutral);
    for (int label : {1044, 1045, 1046, 1047})
        canvas.Outline(ItemPixels(*FindItem(AboutDialog, label)), LabelOutline);
    return canvas.bitmap;
}

gdi::Bitmap ComposeContactSheet(const shell::ResourceBundle& bundle) {
    constexpr int Gap = 8;
    constexpr gdi::COLORREF Background = gdi::RGB(96, 104, 112);
    std::vector<ButtonSkin> rows(std::begin(MainButtonSkins), std::end(MainButtonSkins));
    rows.push_back(AboutCancelSkin);

    // Two columns of buttons, each with its three states side by side.
    auto sizeOf = [](int id) {
        for (const BitmapInfo& info : Bitmaps)
            if (info.id == id) return std::pair{info.width, info.height};
        return std::pair{0, 0};
    };
    const std::size_t perColumn = (rows.size() + 1) / 2;
    int columnWidth = 0;
    std::vector<int> columnHeight(2, Gap);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto [w, h] = sizeOf(rows[i].normal);
        columnWidth = std::max(columnWidth, 3 * w + 2 * Gap);
        columnHeight[i / perColumn] += h + Gap;
    }
    int buttonsWidth = Gap + 2 * (columnWidth + 3 * Gap);
    int buttonsHeight = std::max(columnHeight[0], columnHeight[1]);

    gdi::Bitmap main = gdi::LoadBitmap(bundle, MainSkinBitmap);
    gdi::Bitmap about = gdi::LoadBitmap(bundle, AboutSkinBitmap);
    int skinsHeight = std::max(main ? main.Height() / 2 : 0, about ? about.Height() / 2 : 0);
    int width = std::max(buttonsWidth, Gap + 725 / 2 + Gap + 496 / 2 + Gap + 4 * 63 + Gap + 40);
    Canvas canvas(width, buttonsHeight + skinsHeight + 2 * Gap, Background);

    int y[2] = {Gap, Gap};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::size_t column = i / perColumn;
        int x = Gap + static_cast<int>(column) * (columnWidth + 3 * Gap);
        int step = sizeOf(rows[i].normal).first + Gap;
        std::uint16_t language = rows[i].normal == 141 ? shell::LangEnglish : shell::LangNeutral;
        canvas.Draw(gdi::LoadBitmap(bundle, rows[i].normal, language), x, y[column]);
        canvas.Draw(gdi::LoadBitmap(bundle, rows[i].over), x + step, y[column]);
        canvas.Draw(gdi::LoadBitmap(bundle, rows[i].down), x + 2 * step, y[column]);
        y[column] += sizeOf(rows[i].normal).second + Gap;
    }

    int x = Gap;
    int top = buttonsHeight + Gap;
    canvas.DrawHalf(main, x, top);
    x += 725 / 2 + Gap;
    canvas.DrawHalf(about, x, top);
    x += 496 / 2 + Gap;
    gdi::Bitmap pattern = gdi::LoadBitmap(bundle, BackgroundPatternBitmap);
    for (int ty = 0; ty < 2; ++ty)
        for (int tx = 0; tx < 4; ++tx)
            canvas.Draw(pattern, x + tx * 63, top + ty * 79);
    x += 4 * 63 + Gap;
    canvas.Draw(gdi::LoadBitmap(bundle, 141, shell::LangGerman), x, top);
    return canvas.bitmap;
}

}  // namespace res
