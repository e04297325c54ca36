// Text encodings at the program's edges: the 8-bit "ANSI" code page (Windows-1252) of the
// keyword map and the update request, and UTF-8 for the libraries that want it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shell {

// Every byte has a code point (the five bytes Windows-1252 leaves unassigned map to the
// C1 control of the same value, as Windows does).
std::u16string AnsiToUtf16(std::string_view bytes);
// Nothing when some code unit has no Windows-1252 byte.
std::optional<std::string> Utf16ToAnsi(std::u16string_view text);

// Unpaired surrogates become U+FFFD; invalid UTF-8 bytes likewise.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace shell
