// Global memory blocks with their Windows names: GlobalAlloc gives fixed memory (the handle is
// the address), zero-filled on request; GlobalFree releases it. GlobalMemory owns one block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace media {

using HGLOBAL = void*;

inline constexpr std::uint32_t GMEM_FIXED = 0x0000;
inline constexpr std::uint32_t GMEM_MOVEABLE = 0x0002;  // not offered: GlobalAlloc fails
inline constexpr std::uint32_t GMEM_ZEROINIT = 0x0040;
inline constexpr std::uint32_t GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// A block of bytes (at least one byte is reserved for 0), or null when memory runs out or
// flags ask for something other than fixed memory.
HGLOBAL GlobalAlloc(std::uint32_t flags, std::size_t bytes);
// Releases a block from GlobalAlloc (null is allowed). Returns null.
HGLOBAL GlobalFree(HGLOBAL block);

struct GlobalFreeDeleter {
    void operator()(std::uint8_t* block) const { GlobalFree(block); }
};
using GlobalMemory = std::unique_ptr<std::uint8_t[], GlobalFreeDeleter>;

}  // namespace media
