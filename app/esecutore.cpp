// The runner: a scenario program with no scenario of its own. It runs the
// scenario that scenario-tool build joined to its executable file, as the
// embedded program runs its own; without one whole and unaltered it says so
// in one line (and, on Windows, a message box) and writes nothing.
#include "app/esecuzione.h"
#include "app/piattaforma.h"
#include "base/file_cartella.h"
#include "base/file_sistema.h"
#include "scenario/pacchetto.h"

int main() {
  scenario::limite_file_come_errore();
  const auto piattaforma = scenario::piattaforma_del_sistema();
  return scenario::esegui_riportando_guasti(*piattaforma, [&]() -> int {
    try {
      // Read back through the executable itself, before anything is shown or
      // written: a refused scenario leaves the folder as it was.
      const scenario::sistema::eseguibile_in_corso programma = scenario::sistema::file_eseguibile();
      if (programma.file.empty()) {
        throw scenario::errore_file_system("the program file", "find", programma.motivo);
      }
      const scenario::pacchetto_scenario s = scenario::pacchetto_del_programma(
          scenario::leggi_file(programma.file, scenario::kLimiteProgramma));
      return scenario::form_load(s, scenario::cartella_programma(), *piattaforma);
    } catch (const scenario::errore_pacchetto& e) {
      piattaforma->segnala_guasto(e.what());
      return scenario::uscita_interna;
    }
  });
}
