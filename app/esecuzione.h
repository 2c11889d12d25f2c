// The run: the fixed order in which the program writes its texts, compiles
// them and writes the compiled files, all in one folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "app/piattaforma.h"
#include "compiler/modello.h"
#include "compiler/sorgente.h"
#include "output/compilazione.h"
#include "scenario/pacchetto.h"

namespace scenario {

// memorizza_percorso: compiles the two source texts into `m` (named by its
// percorso and treno) and writes the compiled files into `cartella` (the plan
// only when `j` is nonzero). A failed reserved-value check ends through
// `p.errore`. When reading left no cell strip no compiled file is written.
esito_compilazione memorizza_percorso(modello& m, int32_t j, testo_sorgente& linea,
                                      testo_sorgente& treno, const std::filesystem::path& cartella,
                                      piattaforma& p);

// The end of memorizza_percorso, once the model is compiled: errore on a
// failed reserved-value check, else the compiled files into `cartella` when
// there is a cell strip.
void concludi_percorso(const modello& m, const esito_compilazione& esito,
                       const std::filesystem::path& cartella, piattaforma& p);

// The scenario this program carries, as a bundle: its identity, its two
// source texts as the embedded writers make them, its three documents.
pacchetto_scenario pacchetto_incorporato();

// Writes the two source texts and the three documents of `s` into
// `cartella`, named by m.percorso and m.treno: each text and document whole,
// whatever its length, lines ending with CR LF.
void scrivi_testi(const pacchetto_scenario& s, const modello& m,
                  const std::filesystem::path& cartella);

// The same for the embedded scenario.
void scrivi_testi(const modello& m, const std::filesystem::path& cartella);

// The exit status for a finished compile, reporting a nonzero error record or
// a missing cell strip through `p.segnala`.
int stato_compilazione(const esito_compilazione& esito, piattaforma& p);

// The whole run of the scenario `s` in `cartella`, holding the folder's lock
// (blocco_cartella.h) from the first file to the last: a run started beside
// it waits. Returns the exit status. File-system faults are thrown
// (errore_file_system) for the caller to report.
int form_load(const pacchetto_scenario& s, const std::filesystem::path& cartella, piattaforma& p);

// The run of the embedded scenario.
int form_load(const std::filesystem::path& cartella, piattaforma& p);

// The body of a program's main: `corsa`, whose exit status it returns, with
// a fault it throws reported through `p`: a file that cannot be read, written
// or deleted with uscita_file_system, any other as an internal error with
// uscita_interna.
int esegui_riportando_guasti(piattaforma& p, const std::function<int()>& corsa);

}  // namespace scenario
