// Names for the values of an enum whose values run 0, 1, 2...: one array
// holds them in the order of the values, so adding a value means adding its
// name beside the others.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace scenario {

// The name of `valore` in `nomi`; empty for a value past the array.
template <typename E, std::size_t N>
constexpr std::string_view nome_di(E valore, const std::array<std::string_view, N>& nomi) {
  const auto n = static_cast<std::size_t>(valore);
  return n < N ? nomi[n] : std::string_view();
}

}  // namespace scenario
