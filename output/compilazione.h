// The one way through a compile: two source texts (on disk or in memory)
// into a route model, through the readers, the completion walk and the
// reserved-value checks with their stamps. Nothing here writes a file or ends
// the process: the outcome says what happened and the caller decides, the
// program's run by calling errore on a failed check, the tools by reporting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/modello.h"
#include "compiler/osservatore.h"
#include "compiler/sorgente.h"

namespace scenario {

struct opzioni_compilazione {
  std::string percorso;        // route name, Windows-1252
  std::string treno;           // train number, Windows-1252
  int32_t crea_tracciato = 1;  // nonzero: the curve rows build the track plan
  // false: the plan's points are counted (its rows read, its limits met, the
  // same codes) but not kept, for a compile whose plan nobody reads; the
  // model then has no plan bytes to write.
  bool conserva_tracciato = true;
  // Told about the reading as it goes, when given; the compile is the same without.
  osservatore_lettura* osservatore = nullptr;
  // A reading that sets failing rows aside and goes on (memorizza_dati), for
  // check's explanation only: its model is no compile's and is never written.
  bool risincronizza = false;
};

struct esito_compilazione {
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  // The number errore shows ("1250", "1251") when a reserved-value check
  // failed; then the model holds the stamps made before it, and no compiled
  // file may be written.
  std::optional<std::string> controllo_fallito;
  bool ha_celle = false;  // false: reading left no cell strip, nothing to write

  bool da_scrivere() const { return ha_celle && !controllo_fallito; }
};

// memorizza_percorso up to the writing: names the model, clears its table
// and error record, reads the two texts (deleting each once read), then, when
// there is a cell strip, runs the completion walk and checks and stamps the
// markers and check codes. `m` may be a model of an earlier compile: all of
// it is set anew, in the memory it already has, and the outcome is the same
// as on a fresh model.
esito_compilazione compila_percorso(modello& m, testo_sorgente& linea, testo_sorgente& treno,
                                    const opzioni_compilazione& opzioni);

// The steps after the reading, on a model whose strip is filled: the
// completion walk, then the reserved-value checks and stamps. The outcome
// takes the model's error record.
esito_compilazione completa_e_timbra(modello& m, osservatore_lettura* osservatore = nullptr);

// The exit status of a compile with this outcome whose files were written
// when there were any to write (stato_uscita).
int stato_di(const esito_compilazione& esito);

// The one line such a compile reports to its user: the failed check as
// errore shows it, no cell strip, or a nonzero error record with its meaning
// and position. Nothing for a clean compile.
std::optional<std::string> riga_esito(const esito_compilazione& esito);

}  // namespace scenario
