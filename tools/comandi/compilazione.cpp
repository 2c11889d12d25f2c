#include "tools/comandi/compilazione.h"

#include <system_error>

#include "base/blocco_cartella.h"
#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "base/stati_uscita.h"
#include "output/file_compilati.h"
#include "scenario/sorgenti.h"

namespace scenario::strumento {
namespace {

// A source text the tool must not change: read whole where it lies before
// anything else happens, so that the compiler's deletion only forgets it. A
// missing file is a missing text; one that is not a regular file or cannot
// be read is a fault, told as check tells it.
sorgente_in_memoria sorgente_protetta(const std::filesystem::path& file) {
  std::optional<std::string> testo = leggi_file_se_esiste(file, kLimiteTestoSorgente);
  return testo ? sorgente_in_memoria(std::move(*testo)) : sorgente_in_memoria();
}

modello modello_per(const richiesta_compilazione& richiesta) {
  modello m;
  m.percorso = richiesta.percorso;
  m.treno = richiesta.numero_treno;
  return m;
}

void crea_cartella(const std::filesystem::path& cartella) {
  std::error_code errore;
  std::filesystem::create_directories(cartella, errore);
  if (errore) throw errore_file_system(cartella, "create the folder", errore.message());
}

}  // namespace

void esporta_sorgenti(const std::filesystem::path& cartella) {
  crea_cartella(cartella);
  modello m;
  m.percorso = kPercorso;
  m.treno = kTreno;
  dati_linea(m, cartella);
  dati_treno(m, cartella);
}

std::vector<std::string_view> righe_nuova_linea() {
  return {"[generale]",
          "lunghezza percorso,    3000",
          "progressiva chilometrica uno,    0,    0,    0",
          "progressiva chilometrica due,    0,    0,    0",
          "progressiva chilometrica tre,    0,    0,    0",
          "sfondo uno,    1",
          "sfondo due,    0",
          "sfondo tre,    0",
          "ripetizione segnali 4 codici,    0,    0",
          "[curve]",
          "curvad3,  1000,  300",
          "[pendenze]",
          "pendenza,  0,    0",
          "pendenza,  1500,    5",
          "[montagne]",
          "[cartelli]",
          "indicatori_vmax,  500,  80,  85,  90,  0,  ,  ,  ,  0",
          "[indicazioni]",
          "[fine]"};
}

std::vector<std::string_view> righe_nuovo_treno() {
  return {"[generale]",
          "numero vetture,    4",
          "percentuale massa frenata,    100",
          "sabbia,    150",
          "orologio,    7               0            0 ",
          "[aderenze]",
          "aderenza,   0,    100",
          "[vel_limite]",
          "velocita,       0,    30",
          "velocita,     500,    85",
          "[stazioni]",
          "stazione,       0,  8,  300,  1, 0, 0,  4,1,0,  2,1,1,    1,   7, 1, 0, PARTENZA",
          "stazione,    2500, 12,  300,  0, 0, 0,  1,1,0,  2,1,1,    0,   7, 5, 0, ARRIVO",
          "[rallentamenti]",
          "[segnali]",
          "segnale,    1500,   1, 4, 0,  0, 0,    2,  2,0,0, 0",
          "[codici]",
          "[fine]"};
}

void scrivi_nuova_coppia(const std::filesystem::path& cartella, std::string_view percorso,
                         std::string_view treno) {
  modello m;
  m.percorso = percorso;
  m.treno = treno;
  const std::filesystem::path linea = percorso_file(cartella, nome_file_dati_linea(m));
  const std::filesystem::path testo_treno = percorso_file(cartella, nome_file_dati_treno(m));
  // An author's text is never replaced by a starting point.
  for (const std::filesystem::path& file : {linea, testo_treno}) {
    std::error_code errore;
    if (std::filesystem::symlink_status(file, errore).type() !=
        std::filesystem::file_type::not_found) {
      throw errore_file_system(file, "write a new text",
                               "it exists already; new writes over no file");
    }
  }
  crea_cartella(cartella);
  sostituisci_file(linea, testo_da_righe(righe_nuova_linea()));
  sostituisci_file(testo_treno, testo_da_righe(righe_nuovo_treno()));
}

std::vector<std::filesystem::path> file_compilati_di(const richiesta_compilazione& richiesta) {
  const modello m = modello_per(richiesta);
  std::vector<std::filesystem::path> file;
  if (richiesta.tracciato)
    file.push_back(percorso_file(richiesta.cartella, nome_file_tracciato(m)));
  file.push_back(percorso_file(richiesta.cartella, nome_file_tabella(m)));
  file.push_back(percorso_file(richiesta.cartella, nome_file_celle(m)));
  return file;
}

std::vector<std::string> nomi_file_scenario(std::string_view percorso, std::string_view treno) {
  modello m;
  m.percorso = percorso;
  m.treno = treno;
  return {nome_file_tracciato(m), nome_file_tabella(m), nome_file_celle(m), nome_file_dati_linea(m),
          nome_file_dati_treno(m)};
}

std::optional<std::filesystem::path> uscita_su_sorgente(const richiesta_compilazione& richiesta) {
  // Told by the file system, not by the spelling: a link or another path to
  // a text is the text. The temporary files have names no file had before.
  for (const std::filesystem::path& uscita : file_compilati_di(richiesta)) {
    if (stesso_file(uscita, richiesta.linea) || stesso_file(uscita, richiesta.treno)) return uscita;
  }
  return std::nullopt;
}

esito_compilazione_strumento compila_sorgenti(const richiesta_compilazione& richiesta) {
  esito_compilazione_strumento esito;
  modello m;
  opzioni_compilazione opzioni;
  opzioni.percorso = richiesta.percorso;
  opzioni.treno = richiesta.numero_treno;
  opzioni.crea_tracciato = richiesta.tracciato ? 1 : 0;
  try {
    sorgente_in_memoria linea = sorgente_protetta(richiesta.linea);
    sorgente_in_memoria treno = sorgente_protetta(richiesta.treno);
    crea_cartella(richiesta.cartella);
    esito.compilazione = compila_percorso(m, linea, treno, opzioni);
    if (esito.compilazione.da_scrivere()) {
      // The three files go in as one set: another compile or run into the
      // same folder waits until they are all there.
      const blocco_cartella blocco(richiesta.cartella);
      scrivi_file_compilati(m, richiesta.cartella);
      esito.file_scritti = true;
    }
    esito.stato = stato_di(esito.compilazione);
    if (auto riga = riga_esito(esito.compilazione)) esito.messaggi.push_back(*riga);
  } catch (const errore_file_system& e) {
    esito.stato = uscita_file_system;
    esito.messaggi.emplace_back(e.what());
  }
  return esito;
}

std::string json_esito(const esito_compilazione_strumento& esito) {
  const esito_compilazione& c = esito.compilazione;
  std::string json = "{\"codice_errore\":" + std::to_string(c.codice_errore);
  json += ",\"posizione_errore\":" + std::to_string(c.posizione_errore);
  // The check numbers are digits only: nothing to escape.
  json += ",\"errore\":" +
          (c.controllo_fallito ? "\"" + *c.controllo_fallito + "\"" : std::string("null"));
  json += ",\"files_written\":";
  json += esito.file_scritti ? "true" : "false";
  json += "}";
  return json;
}

}  // namespace scenario::strumento
