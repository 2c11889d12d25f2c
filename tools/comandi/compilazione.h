// What scenario-tool does, without its command line: write the embedded
// source texts, and compile any two source texts into the compiled files as
// the program's own run does, never touching the texts themselves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/compilazione.h"
#include "scenario/identita.h"

namespace scenario::strumento {

// Writes the embedded line and train source texts into `cartella` (created
// when missing) under the names the program gives them.
void esporta_sorgenti(const std::filesystem::path& cartella);

// Writes a small valid pair, the line text ROUTE_linea.txt and the train text
// ROUTE_TRAIN-.txt, into `cartella` (created when missing) under the names
// `percorso` and `treno` (Windows-1252): a 3 000 m line with a curve, two
// gradients and a speed board, a train with two stations and a signal; check
// finds nothing to say of it. A text of either name that exists already is
// left alone: errore_file_system, and nothing is written.
void scrivi_nuova_coppia(const std::filesystem::path& cartella, std::string_view percorso,
                         std::string_view treno);

// The two texts scrivi_nuova_coppia writes, as lines.
std::vector<std::string_view> righe_nuova_linea();
std::vector<std::string_view> righe_nuovo_treno();

struct richiesta_compilazione {
  std::filesystem::path linea;       // the line description text
  std::filesystem::path treno;       // the train description text
  std::filesystem::path cartella;    // where the compiled files go (created when missing)
  std::string percorso{kPercorso};   // route name, Windows-1252
  std::string numero_treno{kTreno};  // train number, Windows-1252
  bool tracciato = true;             // j = 1: build and write the track plan
};

struct esito_compilazione_strumento {
  esito_compilazione compilazione;
  bool file_scritti = false;
  int stato = 0;                      // the program's exit status for this outcome
  std::vector<std::string> messaggi;  // one line each for standard error
};

// Compiles the two texts as the program's run does and writes the compiled
// files. Both texts are read whole first, where they lie: one that exists
// but is not a regular file or cannot be read stops the compile before
// anything is written. The reader's deletions only forget them. The files
// are written holding the folder's lock (blocco_cartella.h). A file-system
// fault is reported in the result (uscita_file_system), not thrown.
esito_compilazione_strumento compila_sorgenti(const richiesta_compilazione& richiesta);

// The one JSON line of --json:
// {"codice_errore":N,"posizione_errore":N,"errore":null|"1250"|"1251","files_written":true|false}
std::string json_esito(const esito_compilazione_strumento& esito);

// The compiled files a request would write, with their folder.
std::vector<std::filesystem::path> file_compilati_di(const richiesta_compilazione& richiesta);

// The names (Windows-1252) a scenario called `percorso` and `treno` gives its
// files: the three compiled files and the two source texts.
std::vector<std::string> nomi_file_scenario(std::string_view percorso, std::string_view treno);

// The first compiled file of the request that is one of its two source texts
// (writing it would change the user's file), told by device and inode;
// nothing when there is none.
std::optional<std::filesystem::path> uscita_su_sorgente(const richiesta_compilazione& richiesta);

}  // namespace scenario::strumento
