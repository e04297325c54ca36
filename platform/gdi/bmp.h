// Reading BMP images (1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed) into 32-bit
// device-independent sections, from bytes or from a program's resources by number.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/bitmap.h"
#include "platform/shell/resources.h"

namespace gdi {

// A .bmp file's bytes, or a packed DIB (info header, colour table, pixels). The section keeps
// the file's row order. Null for anything malformed, truncated or compressed.
Bitmap LoadBitmapFromBytes(std::span<const std::uint8_t> bytes);

// Bitmap resource `id` of the bundle, in the user's language (or the given one); null when
// the bundle has no such bitmap or it cannot be read.
Bitmap LoadBitmap(const shell::ResourceBundle& bundle, int id);
Bitmap LoadBitmap(const shell::ResourceBundle& bundle, int id, std::uint16_t language);

}  // namespace gdi
