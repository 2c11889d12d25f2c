#include "app/esecuzione.h"

#include <exception>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/blocco_cartella.h"
#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
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

namespace {

std::vector<std::string> righe_tabella(std::span<const std::string_view> righe) {
  const std::span<const std::string_view> scritte = righe_scritte(righe);
  return {scritte.begin(), scritte.end()};
}

}  // namespace

pacchetto_scenario pacchetto_incorporato() {
  pacchetto_scenario s;
  s.percorso = kPercorso;
  s.treno = kTreno;
  s.testo_linea = testo_da_righe(righe_dati_linea());
  s.testo_treno = testo_da_righe(righe_dati_treno());
  s.scheda = righe_tabella(righe_dati_scheda());
  s.rallentamenti = righe_tabella(righe_dati_rallentamenti());
  s.note = righe_tabella(righe_dati_note());
  return s;
}

void scrivi_testi(const pacchetto_scenario& s, const modello& m,
                  const std::filesystem::path& cartella) {
  sostituisci_file(percorso_file(cartella, nome_file_dati_linea(m)), s.testo_linea);
  sostituisci_file(percorso_file(cartella, nome_file_dati_treno(m)), s.testo_treno);
  sostituisci_file(percorso_file(cartella, nome_file_dati_note(m)), testo_intero(s.note));
  sostituisci_file(percorso_file(cartella, nome_file_dati_rallentamenti(m)),
                   testo_intero(s.rallentamenti));
  sostituisci_file(percorso_file(cartella, nome_file_dati_scheda(m)), testo_intero(s.scheda));
}

void scrivi_testi(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testi(pacchetto_incorporato(), m, cartella);
}

int stato_compilazione(const esito_compilazione& esito, piattaforma& p) {
  if (const std::optional<std::string> riga = riga_esito(esito)) p.segnala(*riga);
  return stato_di(esito);
}

int form_load(const pacchetto_scenario& s, const std::filesystem::path& cartella, piattaforma& p) {
  modello m;
  m.percorso = s.percorso;
  m.treno = s.treno;
  p.mostra_attesa();
  // The texts are written, read back and deleted, and the compiled files
  // written, as one sequence: a second run in this folder waits for it.
  const blocco_cartella blocco(cartella);
  scrivi_testi(s, m, cartella);
  sorgente_su_disco linea(percorso_file(cartella, nome_file_dati_linea(m)));
  sorgente_su_disco treno(percorso_file(cartella, nome_file_dati_treno(m)));
  return stato_compilazione(memorizza_percorso(m, 1, linea, treno, cartella, p), p);
}

int form_load(const std::filesystem::path& cartella, piattaforma& p) {
  return form_load(pacchetto_incorporato(), cartella, p);
}

int esegui_riportando_guasti(piattaforma& p, const std::function<int()>& corsa) {
  try {
    return corsa();
  } catch (const errore_file_system& e) {
    p.segnala_guasto(e.what());
    return uscita_file_system;
  } catch (const std::exception& e) {
    p.segnala_guasto(std::string("internal error: ") + e.what());
    return uscita_interna;
  }
}

}  // namespace scenario
