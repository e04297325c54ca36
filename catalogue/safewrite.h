// Writes that are whole or not at all: every byte across short writes and interruptions, and
// a file replaced in one step.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>

namespace catalogue {

// Writes all size bytes to fd; false on the first failed write.
bool WriteFully(int fd, const void* bytes, std::size_t size);

// Replaces the file at path by bytes: written whole to temp, synced, then renamed over path.
// False when a step failed; path is then as it was and temp is gone.
bool ReplaceFile(const std::filesystem::path& path, const std::filesystem::path& temp,
                 std::span<const std::byte> bytes);

}  // namespace catalogue
