// Little-endian fixed-width values, the one encoding of the compiled files:
// every writer and reader of those files puts and gets its numbers through
// these two functions, whatever the host's byte order.
#pragma once

#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace scenario {

// The unsigned integer of the same width: the bits that go to the file.
template <typename T>
using bit_di =
    std::conditional_t<sizeof(T) == 1, uint8_t,
                       std::conditional_t<sizeof(T) == 2, uint16_t,
                                          std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>>;

template <typename T>
concept valore_fisso = std::integral<T> || std::same_as<T, double>;

// Puts `v` at `dove`, least significant byte first; sizeof(T) bytes.
template <valore_fisso T>
inline void metti_le(uint8_t* dove, T v) {
  const auto bit = std::bit_cast<bit_di<T>>(v);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(dove, &bit, sizeof(T));
  } else {
    for (std::size_t b = 0; b < sizeof(T); ++b) {
      dove[b] = static_cast<uint8_t>((static_cast<uint64_t>(bit) >> (8 * b)) & 0xFFU);
    }
  }
}

// The value of sizeof(T) bytes at `da`, least significant byte first.
template <valore_fisso T>
inline T prendi_le(const uint8_t* da) {
  bit_di<T> bit = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&bit, da, sizeof(T));
  } else {
    for (std::size_t b = 0; b < sizeof(T); ++b) {
      bit = static_cast<bit_di<T>>(bit | (static_cast<bit_di<T>>(da[b]) << (8 * b)));
    }
  }
  return std::bit_cast<T>(bit);
}

}  // namespace scenario
