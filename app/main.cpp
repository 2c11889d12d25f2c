// The scenario program: run once from its folder, it writes the scenario's
// texts and compiled files there and ends.
#include <exception>
#include <string>

#include "app/esecuzione.h"
#include "app/piattaforma.h"
#include "base/file_cartella.h"

int main() {
  scenario::limite_file_come_errore();
#ifdef _WIN32
  auto piattaforma = scenario::piattaforma_windows();
#else
  auto piattaforma = scenario::piattaforma_console();
#endif
  try {
    return scenario::form_load(scenario::cartella_programma(), *piattaforma);
  } catch (const scenario::errore_file_system& e) {
    piattaforma->segnala_guasto(e.what());
    return scenario::uscita_file_system;
  } catch (const std::exception& e) {
    piattaforma->segnala_guasto(std::string("internal error: ") + e.what());
    return scenario::uscita_interna;
  }
}
