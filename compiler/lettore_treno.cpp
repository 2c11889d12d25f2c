#include "compiler/lettori.h"

namespace scenario {

void leggi_treno(modello& m, testo_sorgente& treno, valori_lettura& valori) {
  (void)m;
  (void)valori;
  treno.elimina();
}

}  // namespace scenario
