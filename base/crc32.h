// CRC-32 (the polynomial 0xEDB88320, reflected, starting from and ending with
// all bits flipped): the checksum of a scenario joined to its program and of
// each entry of a zip archive.
#pragma once

#include <cstdint>
#include <string_view>

namespace scenario {

// The CRC-32 of `byte`; `precedente` continues the checksum of the bytes
// before them (0 to begin).
uint32_t crc32(std::string_view byte, uint32_t precedente = 0);

}  // namespace scenario
