// Large buffers that are filled once, front to back, soon after they are
// taken (the track plan: a megabyte for the embedded route, twenty for the
// largest). Taken from the system in its large pages where it gives them, so
// that filling one costs a page fault every 2 MiB instead of every 4 KiB;
// the program's run spent more processor time in those faults than in its
// compile. Where there are no large pages this is ordinary memory.
#pragma once

#include <cstddef>

namespace scenario {

// Below this a buffer is ordinary memory: a large page for less would waste
// more than half of it.
inline constexpr std::size_t kMemoriaGrandeMinima = std::size_t{1} << 20;

// At least `byte` bytes, not cleared, aligned for any type; throws
// std::bad_alloc when there is no memory.
void* prendi_memoria_grande(std::size_t byte);

// Gives back what prendi_memoria_grande(byte) gave, with the same `byte`.
void rendi_memoria_grande(void* memoria, std::size_t byte) noexcept;

}  // namespace scenario
