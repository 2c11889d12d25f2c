#include "base/crc32.h"

#include <array>

namespace scenario {
namespace {

constexpr std::array<uint32_t, 256> tabella_crc32() {
  std::array<uint32_t, 256> tabella{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
    tabella[n] = c;
  }
  return tabella;
}

constexpr std::array<uint32_t, 256> kTabella = tabella_crc32();

}  // namespace

uint32_t crc32(std::string_view byte, uint32_t precedente) {
  uint32_t c = ~precedente;
  for (const char b : byte) c = kTabella[(c ^ static_cast<uint8_t>(b)) & 0xFFU] ^ (c >> 8);
  return ~c;
}

}  // namespace scenario
