// Shows the wait window as the program does and leaves a file named "pronta"
// beside itself once the window is painted; waits until a file named
// "continua" appears there (so that a screenshot of the window can be taken),
// then calls errore("1250"). Closing the box must end the process with
// uscita_errore.
#include <windows.h>

#include "app/piattaforma.h"
#include "base/file_cartella.h"

namespace {

constexpr int kAttesaMassimaMs = 60'000;
constexpr int kPassoMs = 100;

void attendi_segnale(const std::filesystem::path& segnale) {
  for (int atteso = 0; atteso < kAttesaMassimaMs && !scenario::esiste_file(segnale);
       atteso += kPassoMs) {
    Sleep(kPassoMs);
  }
}

}  // namespace

int main() {
  auto piattaforma = scenario::piattaforma_windows();
  piattaforma->mostra_attesa();
  const std::filesystem::path cartella = scenario::cartella_programma();
  scenario::sostituisci_file(cartella / "pronta", std::string_view());
  attendi_segnale(cartella / "continua");
  piattaforma->errore("1250");
}
