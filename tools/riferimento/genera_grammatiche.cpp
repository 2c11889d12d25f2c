// genera_grammatiche FOLDER: writes the highlighting grammars of the line and
// the train text into FOLDER (scenario-linea.tmLanguage.json and
// scenario-treno.tmLanguage.json), from the compiler's table of row kinds.
// The build runs it; the editors' extension carries what it writes.
#include <exception>
#include <filesystem>
#include <iostream>

#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "tools/riferimento/grammatica.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: genera_grammatiche FOLDER\n";
    return 64;
  }
  try {
    const std::filesystem::path cartella = argv[1];
    for (const scenario::testo_letto t :
         {scenario::testo_letto::linea, scenario::testo_letto::treno}) {
      scenario::sostituisci_file(
          scenario::percorso_file(cartella, scenario::nome_file_grammatica(t)),
          scenario::grammatica_textmate(t));
    }
  } catch (const scenario::errore_file_system& e) {
    std::cerr << "genera_grammatiche: " << e.what() << '\n';
    return scenario::uscita_file_system;
  } catch (const std::exception& e) {
    std::cerr << "genera_grammatiche: internal error: " << e.what() << '\n';
    return scenario::uscita_interna;
  }
  return 0;
}
