// What scenario-tool does, without its command line: write the embedded
// source texts, and compile any two source texts into the compiled files as
// the program's own run does, never touching the texts themselves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/esecuzione.h"

namespace scenario::strumento {

// Writes the embedded line and train source texts into `cartella` (created
// when missing) under the names the program gives them.
void esporta_sorgenti(const std::filesystem::path& cartella);

struct richiesta_compilazione {
  std::filesystem::path linea;       // the line description text
  std::filesystem::path treno;       // the train description text
  std::filesystem::path cartella;    // where the compiled files go (created when missing)
  std::string percorso{kPercorso};   // route name, Windows-1252
  std::string numero_treno{kTreno};  // train number, Windows-1252
  bool tracciato = true;             // j = 1: build and write the track plan
};

struct esito_compilazione_strumento {
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  std::optional<std::string> errore;  // "1250" or "1251" when a reserved-value check failed
  bool file_scritti = false;
  int stato = uscita_pulita;          // the program's exit status for this outcome
  std::vector<std::string> messaggi;  // one line each for standard error
};

// Compiles the two texts with memorizza_percorso. The texts are read where
// they lie; the reader's deletions only forget them. A file-system fault
// while writing is reported in the result (uscita_file_system), not thrown.
esito_compilazione_strumento compila_sorgenti(const richiesta_compilazione& richiesta);

// The one JSON line of --json:
// {"codice_errore":N,"posizione_errore":N,"errore":null|"1250"|"1251","files_written":true|false}
std::string json_esito(const esito_compilazione_strumento& esito);

// The compiled files a request would write, with their folder.
std::vector<std::filesystem::path> file_compilati_di(const richiesta_compilazione& richiesta);

// The first compiled file of the request that is one of its two source texts
// (writing it would change the user's file); nothing when there is none.
std::optional<std::filesystem::path> uscita_su_sorgente(const richiesta_compilazione& richiesta);

}  // namespace scenario::strumento
