// Helpers shared by the tests: temporary folders, file bytes, subprocesses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "compiler/modello.h"

namespace prova {

// A fresh folder under the system's temporary folder, removed with the object.
class cartella_temporanea {
 public:
  cartella_temporanea();
  ~cartella_temporanea();
  cartella_temporanea(const cartella_temporanea&) = delete;
  cartella_temporanea& operator=(const cartella_temporanea&) = delete;
  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

 private:
  std::filesystem::path percorso_;
};

std::string leggi(const std::filesystem::path& file);
std::vector<uint8_t> leggi_byte(const std::filesystem::path& file);
void scrivi(const std::filesystem::path& file, const std::string& contenuto);

// Names of the entries of a folder, sorted.
std::vector<std::string> elenco(const std::filesystem::path& cartella);

struct esito_processo {
  int stato = -1;  // exit status, or -1 when the process did not exit normally
  std::string uscita;
  std::string errori;
};

// The most a child may run: one that hangs (a FIFO read that never ends) is
// killed then, and its test fails instead of hanging the suite.
inline constexpr unsigned kSecondiMassimiProcesso = 60;

// Runs `argomenti` (argomenti[0] is the program) in `cartella` with standard
// input closed; when `come_utente_nobody` and the tests run as root, the child
// drops to uid/gid 65534 first, so folder permissions bind it. A nonzero
// `limite_byte_file` caps every file the child writes at that size, as a full
// disk would: a write beyond it fails with EFBIG (SIGXFSZ is ignored). A child
// still running after `secondi_massimi` is killed (stato -1).
esito_processo esegui(const std::vector<std::string>& argomenti,
                      const std::filesystem::path& cartella, bool come_utente_nobody = false,
                      uint64_t limite_byte_file = 0,
                      unsigned secondi_massimi = kSecondiMassimiProcesso);

// Starts every command at once in `cartella`, then waits for them all; the
// outcomes come in the order of the commands.
std::vector<esito_processo> esegui_insieme(const std::vector<std::vector<std::string>>& comandi,
                                           const std::filesystem::path& cartella);

// The path of the program built beside the tests.
std::filesystem::path programma();

}  // namespace prova

namespace prova {

// The embedded scenario written and compiled in `cartella` as the program's
// run does it; the model is kept. Nothing when reading left no cell strip.
std::optional<scenario::modello> compila_scenario_incorporato(
    const std::filesystem::path& cartella);

}  // namespace prova
