#pragma once

#include <cstdint>

namespace scenario {

// The smaller of two values: `y` when `x` > `y`, else `x` (so `x` on a tie).
inline int16_t minimo(int16_t x, int16_t y) { return x > y ? y : x; }

}  // namespace scenario
