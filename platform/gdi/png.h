// Saving bitmaps as PNG images (for tests, previews and screenshots) and reading them back.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/gdi/bitmap.h"

namespace gdi {

// Writes the bitmap as an 8-bit RGB PNG; false when it is null or the file cannot be written.
bool SavePng(const Bitmap& bitmap, const std::string& path);
// A PNG image as a 32-bit top-down section; null when it cannot be decoded. Transparent
// pixels (alpha below half) are reported through `mask` when given: a monochrome bitmap,
// white where the image is transparent.
Bitmap LoadPngFromBytes(std::span<const std::uint8_t> bytes, Bitmap* mask = nullptr);
Bitmap LoadPng(const std::string& path);

}  // namespace gdi
