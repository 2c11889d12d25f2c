#include "app/esecuzione.h"

#include <string>

#include "base/blocco_cartella.h"
#include "base/file_cartella.h"
#include "documents/documenti.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"

namespace scenario {

esito_compilazione memorizza_percorso(modello& m, int32_t j, testo_sorgente& linea,
                                      testo_sorgente& treno, const std::filesystem::path& cartella,
                                      piattaforma& p) {
  opzioni_compilazione opzioni;
  opzioni.percorso = m.percorso;
  opzioni.treno = m.treno;
  opzioni.crea_tracciato = j;
  esito_compilazione esito = compila_percorso(m, linea, treno, opzioni);
  concludi_percorso(m, esito, cartella, p);
  return esito;
}

void concludi_percorso(const modello& m, const esito_compilazione& esito,
                       const std::filesystem::path& cartella, piattaforma& p) {
  if (esito.controllo_fallito) p.errore(*esito.controllo_fallito);
  if (esito.ha_celle) scrivi_file_compilati(m, cartella);
}

void scrivi_testi(const modello& m, const std::filesystem::path& cartella) {
  dati_linea(m, cartella);
  dati_treno(m, cartella);
  dati_note(m, cartella);
  dati_rallentamenti(m, cartella);
  dati_scheda(m, cartella);
}

int stato_compilazione(const esito_compilazione& esito, piattaforma& p) {
  if (const std::optional<std::string> riga = riga_esito(esito)) p.segnala(*riga);
  return stato_di(esito);
}

int form_load(const std::filesystem::path& cartella, piattaforma& p) {
  modello m;
  m.percorso = kPercorso;
  m.treno = kTreno;
  p.mostra_attesa();
  // The texts are written, read back and deleted, and the compiled files
  // written, as one sequence: a second run in this folder waits for it.
  const blocco_cartella blocco(cartella);
  scrivi_testi(m, cartella);
  sorgente_su_disco linea(percorso_file(cartella, nome_file_dati_linea(m)));
  sorgente_su_disco treno(percorso_file(cartella, nome_file_dati_treno(m)));
  return stato_compilazione(memorizza_percorso(m, 1, linea, treno, cartella, p), p);
}

}  // namespace scenario
