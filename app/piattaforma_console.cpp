#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/piattaforma.h"
#include "base/codici_errore.h"
#include "base/file_cartella.h"

namespace scenario {
namespace {

void scrivi_riga_errore(std::string_view testo) {
  std::string riga(testo);
  riga += '\n';
  std::fwrite(riga.data(), 1, riga.size(), stderr);
  std::fflush(stderr);
}

class console final : public piattaforma {
 public:
  void mostra_attesa() override {
    if (isatty(STDERR_FILENO) != 0) scrivi_riga_errore("Attendere");
  }

  [[noreturn]] void errore(std::string_view a) override {
    scrivi_riga_errore(testo_errore(a));
    // Ends at once, as closing the message box does: nothing else runs or is written.
    std::_Exit(uscita_errore);
  }

  void segnala(std::string_view messaggio) override { scrivi_riga_errore(messaggio); }
};

}  // namespace

std::unique_ptr<piattaforma> piattaforma_console() { return std::make_unique<console>(); }

std::filesystem::path cartella_programma() {
  std::error_code errore;
  std::filesystem::path programma = std::filesystem::read_symlink("/proc/self/exe", errore);
  if (errore)
    throw errore_file_system("/proc/self/exe", "find the program's folder from", errore.message());
  return programma.parent_path();
}

}  // namespace scenario
