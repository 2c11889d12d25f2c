// The scenario program: run once from its folder, it writes the scenario's
// texts and compiled files there and ends.
#include "app/esecuzione.h"
#include "app/piattaforma.h"
#include "base/file_cartella.h"

int main() {
  scenario::limite_file_come_errore();
  const auto piattaforma = scenario::piattaforma_del_sistema();
  return scenario::esegui_riportando_guasti(*piattaforma, [&] {
    return scenario::form_load(scenario::cartella_programma(), *piattaforma);
  });
}
