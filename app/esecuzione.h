// The run: the fixed order in which the program writes its texts, compiles
// them and writes the compiled files, all in one folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "app/piattaforma.h"
#include "compiler/modello.h"
#include "compiler/sorgente.h"

namespace scenario {

inline constexpr std::string_view kPercorso = "Ulmo_Tarvignano_Rovesco";
inline constexpr std::string_view kTreno = "4816";

// Steps 1 to 5 of memorizza_percorso: compiles the two source texts into `m`,
// completes the code points and stamps the markers and check codes. A failed
// reserved-value check ends through `p.errore`. Returns false when reading
// left no cell strip: then there is nothing to write. The compile from memory
// (tests, benchmarks, fuzzing) is this and the byte_* functions of the writer.
bool compila_percorso(modello& m, int32_t j, testo_sorgente& linea, testo_sorgente& treno,
                      piattaforma& p);

// Compiles the two source texts into `m` and writes the compiled files into
// `cartella` (the plan only when `j` is nonzero). A failed reserved-value
// check ends through `p.errore`. Returns false when reading left no cell
// strip: then no compiled file is written.
bool memorizza_percorso(modello& m, int32_t j, testo_sorgente& linea, testo_sorgente& treno,
                        const std::filesystem::path& cartella, piattaforma& p);

// Writes the two source texts and the three documents into `cartella`.
void scrivi_testi(const modello& m, const std::filesystem::path& cartella);

// The exit status for a finished compile, reporting a nonzero error record or
// a missing cell strip through `p.segnala`.
int esito_compilazione(const modello& m, bool file_scritti, piattaforma& p);

// The whole run in `cartella`; returns the exit status. File-system faults
// are thrown (errore_file_system) for the caller to report.
int form_load(const std::filesystem::path& cartella, piattaforma& p);

}  // namespace scenario
