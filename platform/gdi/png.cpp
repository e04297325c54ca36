#include "platform/gdi/png.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/gdi/surface.h"

namespace gdi {

bool SavePng(const Bitmap& bitmap, const std::string& path) {
    if (!bitmap) return false;
    const Surface& s = *bitmap.Get();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(s.width) * s.height * 3);
    for (int y = 0; y < s.height; ++y) {
        std::uint8_t* out = rgb.data() + static_cast<std::size_t>(y) * s.width * 3;
        for (int x = 0; x < s.width; ++x) {
            COLORREF c = bitmap.GetPixel(x, y);
            out[3 * x] = static_cast<std::uint8_t>(GetRValue(c));
            out[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(c));
            out[3 * x + 2] = static_cast<std::uint8_t>(GetBValue(c));
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(s.width);
    image.height = static_cast<png_uint_32>(s.height);
    image.format = PNG_FORMAT_RGB;
    int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return ok != 0;
}

Bitmap LoadPngFromBytes(std::span<const std::uint8_t> bytes, Bitmap* mask) {
    if (mask) mask->Reset();
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    image.format = PNG_FORMAT_BGRA;
    constexpr unsigned long long MaxPixels = 1ULL << 26;
    if (image.width == 0 || image.height == 0 || image.width > 32768 || image.height > 32768 ||
        static_cast<unsigned long long>(image.width) * image.height > MaxPixels) {
        png_image_free(&image);
        return {};
    }
    std::vector<std::uint8_t> bgra(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bgra.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    const int w = static_cast<int>(image.width);
    const int h = static_cast<int>(image.height);
    Bitmap bitmap = CreateDIBSection32(w, -h);
    Bitmap alpha = mask ? CreateBitmap(w, h, 1, 1) : Bitmap();
    if (!bitmap) return {};
    for (int y = 0; y < h; ++y) {
        std::uint32_t* out = bitmap.Row(y);
        const std::uint8_t* in = bgra.data() + static_cast<std::size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x) {
            out[x] = in[4 * x] | (in[4 * x + 1] << 8) | (in[4 * x + 2] << 16);
            if (alpha && in[4 * x + 3] < 128) alpha.Get()->MonoRow(y)[x] = 1;
        }
    }
    if (mask) *mask = alpha;
    return bitmap;
}

Bitmap LoadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    return LoadPngFromBytes(bytes);
}

}  // namespace gdi
