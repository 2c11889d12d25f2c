// Writes the largest route's two source texts into a folder, under the names
// the program gives its own, for measuring `scenario-tool compile` on them:
//   genera_percorso_massimo DIR
#include <cstdio>
#include <exception>
#include <filesystem>

#include "base/file_cartella.h"
#include "bench/percorso_massimo.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 64;
  }
  try {
    const std::filesystem::path cartella = argv[1];
    std::filesystem::create_directories(cartella);
    const scenario::banco::testi_sorgente testi = scenario::banco::percorso_massimo();
    scenario::sostituisci_file(cartella / "Ulmo_Tarvignano_Rovesco_linea.txt", testi.linea);
    scenario::sostituisci_file(cartella / "Ulmo_Tarvignano_Rovesco_4816-.txt", testi.treno);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 4;
  }
  return 0;
}
