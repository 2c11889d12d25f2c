// Large buffers on Windows: ordinary memory (large pages there need a
// privilege that a user's account does not have).
#include <new>

#include "base/memoria_grande.h"

namespace scenario {

void* prendi_memoria_grande(std::size_t byte) { return ::operator new(byte); }

void rendi_memoria_grande(void* memoria, std::size_t /*byte*/) noexcept {
  ::operator delete(memoria);
}

}  // namespace scenario
