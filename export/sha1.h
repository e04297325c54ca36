// SHA-1 of a byte string (FIPS 180-4), for the checksum a flashcard collection keeps of each
// note's first field. Not for anything that needs to resist an attacker.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace exporting {

std::array<std::uint8_t, 20> Sha1(std::string_view bytes);

}  // namespace exporting
