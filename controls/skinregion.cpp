#include "controls/skinregion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "platform/gdi/blit.h"

namespace {

using gdi::RECT;
using gdi::RGNDATAHEADER;

// The rectangle buffer: a region-data block whose capacity grows by RectGrowStep, zero-filled,
// and is turned into a region piece whenever it holds RectBatchLimit rectangles.
class RectBuffer {
public:
    RectBuffer() : bytes_(Size(RectGrowStep)), capacity_(RectGrowStep) { Reset(); }

    void Append(const RECT& r, std::optional<gdi::Region>& accumulated) {
        RGNDATAHEADER h = Header();
        if (h.nCount >= capacity_) {
            capacity_ += RectGrowStep;
            bytes_.resize(Size(capacity_), std::byte{0});
        }
        std::memcpy(bytes_.data() + sizeof(RGNDATAHEADER) + h.nCount * sizeof(RECT), &r, sizeof r);
        h.rcBound.left = std::min(h.rcBound.left, r.left);
        h.rcBound.top = std::min(h.rcBound.top, r.top);
        h.rcBound.right = std::max(h.rcBound.right, r.right);
        h.rcBound.bottom = std::max(h.rcBound.bottom, r.bottom);
        ++h.nCount;
        SetHeader(h);
        if (h.nCount == static_cast<gdi::DWORD>(RectBatchLimit)) Flush(accumulated);
    }

    // Turns the buffer into a piece and folds it into the accumulated region with RGN_OR.
    // A piece that cannot be made is left out.
    void Flush(std::optional<gdi::Region>& accumulated) {
        std::optional<gdi::Region> piece =
            gdi::ExtCreateRegion(nullptr, static_cast<gdi::DWORD>(bytes_.size()), bytes_.data());
        if (piece) {
            if (accumulated) {
                gdi::CombineRgn(*accumulated, *accumulated, *piece, gdi::RGN_OR);
            } else {
                accumulated = std::move(piece);
            }
        }
        Reset();
    }

private:
    static std::size_t Size(int capacity) {
        return sizeof(RGNDATAHEADER) + sizeof(RECT) * static_cast<std::size_t>(capacity);
    }
    RGNDATAHEADER Header() const {
        RGNDATAHEADER h;
        std::memcpy(&h, bytes_.data(), sizeof h);
        return h;
    }
    void SetHeader(const RGNDATAHEADER& h) { std::memcpy(bytes_.data(), &h, sizeof h); }
    void Reset() {
        RGNDATAHEADER h;
        h.dwSize = sizeof(RGNDATAHEADER);
        h.iType = gdi::RDH_RECTANGLES;
        h.nCount = 0;
        h.nRgnSize = 0;
        h.rcBound = RECT{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
        SetHeader(h);
    }

    std::vector<std::byte> bytes_;
    gdi::DWORD capacity_;
};

struct Range {
    std::uint32_t lo;
    std::uint32_t hi;
};

#if defined(__GNUC__) && !defined(__clang__)
#define VECTORISE __attribute__((optimize("tree-vectorize")))
#else
#define VECTORISE
#endif

// mark[x] := 1 when pixel x belongs to the collected class: a key pixel (all three bytes in
// their ranges) xor flip. Branch-free so that it vectorises; one pass over the row.
VECTORISE void MarkRow(const std::uint32_t* row, std::uint8_t* mark, int width, const Range* range,
                       std::uint8_t flip) {
    const std::uint32_t lo0 = range[0].lo, span0 = range[0].hi - range[0].lo;
    const std::uint32_t lo1 = range[1].lo, span1 = range[1].hi - range[1].lo;
    const std::uint32_t lo2 = range[2].lo, span2 = range[2].hi - range[2].lo;
    for (int x = 0; x < width; ++x) {
        const std::uint32_t p = row[x];
        const std::uint32_t key = (((p & 0xFF) - lo0) <= span0) &
                                  ((((p >> 8) & 0xFF) - lo1) <= span1) &
                                  ((((p >> 16) & 0xFF) - lo2) <= span2);
        mark[x] = static_cast<std::uint8_t>(key ^ flip);
    }
}

std::optional<gdi::Region> Scan(const gdi::Bitmap& bitmap, gdi::COLORREF key, bool collectOpaque,
                                gdi::COLORREF tolerance) {
    gdi::DC first = gdi::CreateCompatibleDC(nullptr);
    if (!first) return std::nullopt;
    gdi::BITMAP info;
    if (!gdi::GetObject(bitmap, info)) return std::nullopt;
    const int width = info.bmWidth;
    const int height = info.bmHeight;

    gdi::BITMAPINFOHEADER header;
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = gdi::BI_RGB;
    void* bits = nullptr;
    gdi::Bitmap dib = gdi::CreateDIBSection(header, gdi::DIB_RGB_COLORS, &bits);
    if (!dib || !bits) return std::nullopt;
    first.SelectObject(dib);
    gdi::DC second = gdi::CreateCompatibleDC(&first);
    if (!second) return std::nullopt;

    gdi::BITMAP dibInfo;
    gdi::GetObject(dib, dibInfo);
    const std::ptrdiff_t stride = ((dibInfo.bmWidthBytes + 3) / 4) * 4;
    const auto* pixels = static_cast<const std::uint8_t*>(dibInfo.bmBits);

    second.SelectObject(bitmap);
    gdi::BitBlt(first, 0, 0, width, height, &second, 0, 0, gdi::SRCCOPY);

    RectBuffer buffer;

    // Per channel k (byte k of a pixel in memory), the values that count as the key.
    Range range[3];
    for (int k = 0; k < 3; ++k) {
        std::uint32_t kc = (key >> (8 * k)) & 0xFF;
        std::uint32_t t = (tolerance >> (8 * k)) & 0xFF;
        if ((key & 0xFFFFFF) == 0x000000) {
            range[k] = {0, std::min<std::uint32_t>(255, t)};
        } else if ((key & 0xFFFFFF) == 0xFFFFFF) {
            range[k] = {255 - t, 255};
        } else {
            range[k] = {kc > 17 ? kc - 17 : 0, std::min<std::uint32_t>(255, kc + 17)};
        }
    }
    const std::uint8_t flip = collectOpaque ? 1 : 0;

    std::optional<gdi::Region> accumulated;
    // Per row, first mark which pixels belong to the collected class, then walk the marks.
    std::vector<std::uint8_t> collected(static_cast<std::size_t>(width) + 1);
    // The first row scanned (the image's top) is the last row in memory.
    const std::uint8_t* rowBytes = pixels + (height - 1) * stride;
    for (int y = 0; y < height; ++y, rowBytes -= stride) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rowBytes);
        std::uint8_t* mark = collected.data();
        MarkRow(row, mark, width, range, flip);
        mark[width] = 0;  // stops every run at the row's end
        // Each maximal run of marked pixels is one rectangle; a run reaching the right edge
        // ends at x = width.
        const std::uint8_t* end = mark + width;
        const std::uint8_t* from = mark;
        while (from < end) {
            const auto* start = static_cast<const std::uint8_t*>(std::memchr(from, 1, end - from));
            if (!start) break;
            const auto* stop =
                static_cast<const std::uint8_t*>(std::memchr(start, 0, end + 1 - start));
            buffer.Append(
                RECT{static_cast<int>(start - mark), y, static_cast<int>(stop - mark), y + 1},
                accumulated);
            from = stop + 1;
        }
    }
    buffer.Flush(accumulated);

    if (!collectOpaque) {
        // The region now covers the key pixels: turn it inside out within the bitmap.
        if (!accumulated) return std::nullopt;
        gdi::Region whole = gdi::CreateRectRgn(0, 0, width, height);
        gdi::CombineRgn(*accumulated, *accumulated, whole, gdi::RGN_XOR);
    }
    return accumulated;
}

}  // namespace

std::optional<gdi::Region> RegionFromBitmap(const gdi::Bitmap& bitmap, gdi::COLORREF key,
                                            bool collectOpaque, gdi::COLORREF tolerance) {
    if (!bitmap) return std::nullopt;
    // Running out of memory for the rectangle buffer or the regions ends the call like any
    // other failure: no region, and the RAII owners release what was made.
    try {
        return Scan(bitmap, key, collectOpaque, tolerance);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool PaintSkinBackground(gdi::DC& target, const gdi::Bitmap& skin) {
    if (!skin) return false;
    gdi::BITMAP info;
    if (!gdi::GetObject(skin, info)) return false;
    gdi::DC memory = gdi::CreateCompatibleDC(&target);
    if (!memory) return false;
    gdi::Bitmap previous = memory.SelectObject(skin);
    if (!previous) return false;
    gdi::BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, &memory, 0, 0, gdi::SRCCOPY);
    memory.SelectObject(previous);
    return true;
}
