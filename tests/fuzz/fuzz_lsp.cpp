// libFuzzer target: one input is the bytes an editor sends the language
// server on its standard input. A sanitizer report, an exception or output
// that is not whole JSON-RPC messages is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/proprieta_lsp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t quanti) {
  const std::string guasto =
      prova::verifica_sessione_lsp(std::string_view(reinterpret_cast<const char*>(dati), quanti));
  if (!guasto.empty()) {
    std::fprintf(stderr, "property broken: %s\n", guasto.c_str());
    std::abort();
  }
  return 0;
}
