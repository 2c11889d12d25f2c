#include "output/compilazione.h"

#include "base/codici_errore.h"
#include "base/stati_uscita.h"
#include "compiler/memorizza_dati.h"
#include "output/codici_gara.h"
#include "output/completamento.h"

namespace scenario {

esito_compilazione compila_percorso(modello& m, testo_sorgente& linea, testo_sorgente& treno,
                                    const opzioni_compilazione& opzioni) {
  ricomincia(m);
  m.tracciato.conserva_byte(opzioni.conserva_tracciato);
  m.percorso = opzioni.percorso;
  m.treno = opzioni.treno;
  m.crea_tracciato = opzioni.crea_tracciato;
  m.codice_errore = 0;
  pulisci_tabella(m);
  memorizza_dati(m, linea, treno, opzioni.osservatore, opzioni.risincronizza);
  return completa_e_timbra(m, opzioni.osservatore);
}

esito_compilazione completa_e_timbra(modello& m, osservatore_lettura* osservatore) {
  esito_compilazione esito;
  esito.ha_celle = m.ha_celle();
  // Without a cell strip there is nothing to complete, check or write.
  if (esito.ha_celle) {
    const racconto racconta(osservatore);
    racconta.completamento();
    completa_codici(m, racconta);
    racconta.controlli();
    esito.controllo_fallito = timbra_codici(m, racconta);
  }
  esito.codice_errore = m.codice_errore;
  esito.posizione_errore = m.posizione_errore;
  return esito;
}

int stato_di(const esito_compilazione& esito) {
  if (esito.controllo_fallito) return uscita_errore;
  if (!esito.ha_celle) return uscita_senza_celle;
  if (esito.codice_errore != 0) return uscita_codice;
  return uscita_pulita;
}

std::optional<std::string> riga_esito(const esito_compilazione& esito) {
  if (esito.controllo_fallito) return testo_errore(*esito.controllo_fallito);
  const std::string errore = descrivi_errore(esito.codice_errore, esito.posizione_errore);
  if (!esito.ha_celle) return "no compiled file written: " + errore;
  if (esito.codice_errore != 0)
    return "compiled files written, but the scenario has an error: " + errore;
  return std::nullopt;
}

}  // namespace scenario
