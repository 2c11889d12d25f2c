// Large buffers: any size, large or small, is memory of that size that can
// be written whole and given back.
#include "base/memoria_grande.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace scenario {
namespace {

TEST(MemoriaGrande, EverySizeCanBeWrittenWholeAndGivenBack) {
  for (std::size_t byte : {std::size_t{1}, std::size_t{4096}, kMemoriaGrandeMinima - 1,
                           kMemoriaGrandeMinima, std::size_t{1'279'964}, std::size_t{5} << 20}) {
    auto* memoria = static_cast<uint8_t*>(prendi_memoria_grande(byte));
    ASSERT_NE(memoria, nullptr) << byte;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memoria) % alignof(std::max_align_t), 0U) << byte;
    std::memset(memoria, 0xA5, byte);
    EXPECT_EQ(memoria[byte - 1], 0xA5) << byte;
    rendi_memoria_grande(memoria, byte);
  }
}

}  // namespace
}  // namespace scenario
