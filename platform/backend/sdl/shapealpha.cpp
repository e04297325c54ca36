#include "platform/backend/sdl/shapealpha.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/region.h"

namespace backend {

namespace {

constexpr std::uint32_t Opaque = 0xFF000000u;

void CopyOpaque(int count, const std::uint32_t* source, std::uint32_t* target) {
    for (int i = 0; i < count; ++i)
        target[i] = source[i] | Opaque;
}

}  // namespace

void CopyRowThroughShape(const gdi::Region* shape, int y, int left, int right,
                         const std::uint32_t* source, std::uint32_t* target) {
    if (right <= left) return;
    if (shape == nullptr) {
        CopyOpaque(right - left, source, target);
        return;
    }
    std::memset(target, 0, static_cast<std::size_t>(right - left) * sizeof *target);
    // The region is banded: the rectangles of the band holding row y follow one another.
    const std::vector<gdi::RECT>& rects = shape->Rects();
    auto r = std::partition_point(rects.begin(), rects.end(),
                                  [y](const gdi::RECT& rect) { return rect.bottom <= y; });
    for (; r != rects.end() && r->top <= y && r->bottom > y; ++r) {
        const int from = std::max(r->left, left);
        const int to = std::min(r->right, right);
        if (from < to) CopyOpaque(to - from, source + (from - left), target + (from - left));
    }
}

}  // namespace backend
