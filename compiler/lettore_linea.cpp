#include "compiler/lettori.h"

namespace scenario {

esito_linea leggi_linea(modello& m, testo_sorgente& linea, valori_lettura& valori) {
  (void)m;
  (void)valori;
  if (!linea.esiste()) {
    m.codice_errore = 101;
    return esito_linea::fermati;
  }
  linea.elimina();
  return esito_linea::prosegui;
}

}  // namespace scenario
