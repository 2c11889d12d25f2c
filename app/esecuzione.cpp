#include "app/esecuzione.h"

#include <string>

#include "app/codici_errore.h"
#include "app/file_cartella.h"
#include "compiler/memorizza_dati.h"
#include "documents/dati_note.h"
#include "documents/dati_rallentamenti.h"
#include "documents/dati_scheda.h"
#include "output/codici_gara.h"
#include "output/completamento.h"
#include "output/file_compilati.h"
#include "scenario/dati_linea.h"
#include "scenario/dati_treno.h"

namespace scenario {

bool compila_percorso(modello& m, int32_t j, testo_sorgente& linea, testo_sorgente& treno,
                      piattaforma& p) {
  m.crea_tracciato = j;
  m.codice_errore = 0;
  pulisci_tabella(m);
  memorizza_dati(m, linea, treno);
  // Without a cell strip there is nothing to complete, check or write.
  if (!m.ha_celle()) return false;
  completa_codici(m);
  if (auto numero = timbra_codici(m)) p.errore(*numero);
  return true;
}

bool memorizza_percorso(modello& m, int32_t j, testo_sorgente& linea, testo_sorgente& treno,
                        const std::filesystem::path& cartella, piattaforma& p) {
  if (!compila_percorso(m, j, linea, treno, p)) return false;
  scrivi_file_compilati(m, cartella);
  return true;
}

void scrivi_testi(const modello& m, const std::filesystem::path& cartella) {
  dati_linea(m, cartella);
  dati_treno(m, cartella);
  dati_note(m, cartella);
  dati_rallentamenti(m, cartella);
  dati_scheda(m, cartella);
}

int esito_compilazione(const modello& m, bool file_scritti, piattaforma& p) {
  if (!file_scritti) {
    p.segnala("no compiled file written: " + descrivi_errore(m.codice_errore, m.posizione_errore));
    return uscita_senza_celle;
  }
  if (m.codice_errore != 0) {
    p.segnala("compiled files written, but the scenario has an error: " +
              descrivi_errore(m.codice_errore, m.posizione_errore));
    return uscita_codice;
  }
  return uscita_pulita;
}

int form_load(const std::filesystem::path& cartella, piattaforma& p) {
  modello m;
  m.percorso = kPercorso;
  m.treno = kTreno;
  p.mostra_attesa();
  scrivi_testi(m, cartella);
  sorgente_su_disco linea(percorso_file(cartella, nome_file_dati_linea(m)));
  sorgente_su_disco treno(percorso_file(cartella, nome_file_dati_treno(m)));
  const bool file_scritti = memorizza_percorso(m, 1, linea, treno, cartella, p);
  return esito_compilazione(m, file_scritti, p);
}

}  // namespace scenario
