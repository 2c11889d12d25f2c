// libFuzzer target: one input is a line text and a train text (layout in
// proprieta_compilazione.h), compiled from memory with or without the plan.
// Any sanitizer report or broken property is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/proprieta_compilazione.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t quanti) {
  const std::string guasto =
      prova::verifica_compilazione(std::string_view(reinterpret_cast<const char*>(dati), quanti));
  if (!guasto.empty()) {
    std::fprintf(stderr, "property broken: %s\n", guasto.c_str());
    std::abort();
  }
  return 0;
}
