#include "compiler/sorgente.h"

#include "base/file_cartella.h"

namespace scenario {

bool sorgente_su_disco::esiste() const { return esiste_file(file_); }

std::string sorgente_su_disco::leggi() { return leggi_file(file_, kLimiteTestoSorgente); }

void sorgente_su_disco::elimina() { elimina_file(file_); }

std::string sorgente_in_memoria::leggi() {
  if (!testo_) throw errore_file_system("(memory)", "read", "the text does not exist");
  return *testo_;
}

}  // namespace scenario
