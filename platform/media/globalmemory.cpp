#include "platform/media/globalmemory.h"

#include <cstdlib>

namespace media {

HGLOBAL GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    if ((flags & ~GMEM_ZEROINIT) != GMEM_FIXED) return nullptr;
    std::size_t size = bytes == 0 ? 1 : bytes;
    return (flags & GMEM_ZEROINIT) ? std::calloc(size, 1) : std::malloc(size);
}

HGLOBAL GlobalFree(HGLOBAL block) {
    std::free(block);
    return nullptr;
}

}  // namespace media
