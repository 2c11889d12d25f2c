// Large buffers on POSIX systems: a mapping whose start and length are whole
// 2 MiB pages, which Linux backs with transparent huge pages when asked
// (madvise), even where it gives them only to those who ask.
#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "base/memoria_grande.h"

namespace scenario {
namespace {

constexpr std::size_t kPaginaGrande = std::size_t{2} << 20;

std::size_t in_pagine_grandi(std::size_t byte) {
  return (byte + kPaginaGrande - 1) / kPaginaGrande * kPaginaGrande;
}

}  // namespace

void* prendi_memoria_grande(std::size_t byte) {
  if (byte < kMemoriaGrandeMinima) return ::operator new(byte);
  const std::size_t lunghezza = in_pagine_grandi(byte);
  // One page more than needed, so that an aligned start lies inside; the
  // parts before and after it go back at once.
  const std::size_t mappata = lunghezza + kPaginaGrande;
  void* m = ::mmap(nullptr, mappata, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) throw std::bad_alloc();
  const auto inizio = reinterpret_cast<std::uintptr_t>(m);
  const std::uintptr_t allineato = (inizio + kPaginaGrande - 1) / kPaginaGrande * kPaginaGrande;
  if (allineato > inizio) ::munmap(m, allineato - inizio);
  const std::uintptr_t fine = inizio + mappata;
  if (fine > allineato + lunghezza) {
    ::munmap(reinterpret_cast<void*>(allineato + lunghezza), fine - (allineato + lunghezza));
  }
  void* memoria = reinterpret_cast<void*>(allineato);
#ifdef MADV_HUGEPAGE
  // Only a wish: without large pages the mapping stays as it is.
  ::madvise(memoria, lunghezza, MADV_HUGEPAGE);
#endif
  return memoria;
}

void rendi_memoria_grande(void* memoria, std::size_t byte) noexcept {
  if (memoria == nullptr) return;
  if (byte < kMemoriaGrandeMinima) {
    ::operator delete(memoria);
    return;
  }
  ::munmap(memoria, in_pagine_grandi(byte));
}

}  // namespace scenario
