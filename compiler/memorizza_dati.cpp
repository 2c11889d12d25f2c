#include "compiler/memorizza_dati.h"

#include "app/file_cartella.h"
#include "compiler/flusso_campi.h"
#include "compiler/lettori.h"

namespace scenario {

std::string leggi_sorgente(testo_sorgente& testo) {
  try {
    return testo.leggi();
  } catch (const errore_file_system& e) {
    throw errore_lettura(e.what(), 0);
  }
}

void memorizza_dati(modello& m, testo_sorgente& linea, testo_sorgente& treno) {
  m.riga(85).nome = m.percorso;
  m.riga(86).nome = m.treno;
  valori_lettura valori;
  try {
    if (leggi_linea(m, linea, valori) == esito_linea::fermati) return;
    leggi_treno(m, treno, valori);
  } catch (const errore_lettura&) {
    // Each text is read whole when its half opens it, so nothing is left
    // open here: deleting the texts that still exist is all that remains.
    // Code 25 carries no position.
    linea.elimina();
    treno.elimina();
    m.codice_errore = 25;
  }
}

}  // namespace scenario
