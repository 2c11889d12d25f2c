// Large buffers on POSIX systems: a mapping whose start and length are whole
// 2 MiB pages, which Linux backs with transparent huge pages when asked
// (madvise), even where it gives them only to those who ask.
#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "base/memoria_grande.h"

// Under AddressSanitizer every buffer is ordinary memory, so that the
// sanitizer sees where each one ends.
#if defined(__SANITIZE_ADDRESS__)
#define SCENARIO_MEMORIA_ORDINARIA 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCENARIO_MEMORIA_ORDINARIA 1
#endif
#endif

namespace scenario {
namespace {

#ifdef SCENARIO_MEMORIA_ORDINARIA
constexpr std::size_t kMinima = static_cast<std::size_t>(-1);
#else
constexpr std::size_t kMinima = kMemoriaGrandeMinima;
#endif
constexpr std::size_t kPaginaGrande = std::size_t{2} << 20;

std::size_t in_pagine_grandi(std::size_t byte) {
  return (byte + kPaginaGrande - 1) / kPaginaGrande * kPaginaGrande;
}

}  // namespace

void* prendi_memoria_grande(std::size_t byte) {
  if (byte < kMinima) return ::operator new(byte);
  const std::size_t lunghezza = in_pagine_grandi(byte);
  // One page more than needed, so that an aligned start lies inside; the
  // parts before and after it go back at once.
  const std::size_t mappata = lunghezza + kPaginaGrande;
  void* m = ::mmap(nullptr, mappata, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) throw std::bad_alloc();
  char* inizio = static_cast<char*>(m);
  const std::size_t resto = reinterpret_cast<std::uintptr_t>(inizio) % kPaginaGrande;
  char* allineato = inizio + (resto == 0 ? 0 : kPaginaGrande - resto);
  if (allineato > inizio) ::munmap(inizio, static_cast<std::size_t>(allineato - inizio));
  char* fine = inizio + mappata;
  if (fine > allineato + lunghezza) {
    ::munmap(allineato + lunghezza, static_cast<std::size_t>(fine - (allineato + lunghezza)));
  }
  void* memoria = allineato;
#ifdef MADV_HUGEPAGE
  // Only a wish: without large pages the mapping stays as it is.
  ::madvise(memoria, lunghezza, MADV_HUGEPAGE);
#endif
  return memoria;
}

void rendi_memoria_grande(void* memoria, std::size_t byte) noexcept {
  if (memoria == nullptr) return;
  if (byte < kMinima) {
    ::operator delete(memoria);
    return;
  }
  ::munmap(memoria, in_pagine_grandi(byte));
}

}  // namespace scenario
