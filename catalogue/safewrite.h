// Writes that are whole or not at all: every byte across short writes and interruptions, and
// a file replaced in one step.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string_view>

namespace catalogue {

// Writes all size bytes to fd; false on the first failed write.
bool WriteFully(int fd, const void* bytes, std::size_t size);

// The file that a write to path reaches: path itself, or the end of the chain of symbolic
// links at path (whose last link may point at a file not made yet).
std::filesystem::path LinkTarget(const std::filesystem::path& path);

// Replaces the file at path by bytes in one step: they are written whole to a temporary file
// of a name no one else uses (tempName plus a random suffix, beside the file), synced, and
// renamed over it. A symbolic link at path stays and its target is replaced; the new file
// keeps the old one's permissions (and owner, where allowed). A file we may not write is not
// replaced. False when a step failed; path is then as it was and the temporary file is gone.
bool ReplaceFile(const std::filesystem::path& path, std::string_view tempName,
                 std::span<const std::byte> bytes);

}  // namespace catalogue
