// The bitmaps and the icon that the build embeds from res/bitmaps and res/icons (a generated
// source file defines this).
#pragma once

#include <span>

#include "platform/shell/resources.h"

namespace res {

std::span<const shell::Resource> EmbeddedFiles();

}  // namespace res
