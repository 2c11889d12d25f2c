#include "compiler/memorizza_dati.h"

#include "base/file_cartella.h"
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

void memorizza_dati(modello& m, testo_sorgente& linea, testo_sorgente& treno,
                    osservatore_lettura* osservatore, bool risincronizza) {
  m.riga(kRigaDatiPercorso).nome = m.percorso;
  m.riga(kRigaDatiTreno).nome = m.treno;
  valori_lettura valori;
  valori.osservatore = osservatore;
  valori.risincronizza = risincronizza;
  try {
    if (leggi_linea(m, linea, valori) == esito_linea::fermati) return;
    leggi_treno(m, treno, valori);
  } catch (const errore_lettura& e) {
    if (osservatore != nullptr) osservatore->fallita(e.posizione(), e.what());
    // Each text is read whole when its half opens it, so nothing is left
    // open here: deleting the texts that still exist is all that remains.
    // Code 25 carries no position.
    linea.elimina();
    treno.elimina();
    m.codice_errore = 25;
  }
}

}  // namespace scenario
