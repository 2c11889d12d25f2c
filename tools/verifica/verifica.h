// `check`: compiles a line and a train source text in memory and explains the
// outcome to the author, the way a compiler does: every problem as
// file:line:column, an error for the code the compile records (traced back
// to the row and field that set it) and a warning for every rule of the two
// formats that the readers let pass, each with the source line and a caret
// under the field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

enum class gravita { errore, avviso, nota };

// A place of a text that a diagnosis also points at (where its effect
// lands, the object that blocks it), with what is there.
struct luogo {
  std::size_t testo = 0;
  std::string file;
  int64_t riga = 0;  // 0: the text as a whole
  int64_t colonna = 0;
  std::size_t larghezza = 0;
  std::string sorgente;
  std::string messaggio;
};

struct diagnosi {
  std::size_t testo = 0;      // 0 the line text, 1 the train text: the order of the output
  std::string file;           // the text's name as given, UTF-8
  int64_t riga = 0;           // from 1; 0 when it concerns the text as a whole
  int64_t colonna = 0;        // from 1, in bytes; 0 with riga 0
  std::size_t larghezza = 0;  // bytes under the caret line
  gravita livello = gravita::errore;
  // An error: the code the compile records ("15", "1250"). A warning: its
  // name ("order", "short-row", ...).
  std::string codice;
  std::string messaggio;  // UTF-8
  std::string sorgente;   // the source line, Windows-1252, without its line end
  // Nonzero: this stands for that many more diagnoses of its kind in its
  // text, left out so that the output stays readable ("and N more like this").
  std::size_t altre = 0;
  std::vector<luogo> correlati;  // shown after it as notes
};

// check shows at most this many diagnoses of one kind, and this many in all;
// the rest are counted, and the closing count includes them.
inline constexpr std::size_t kDiagnosiPerTipo = 20;
inline constexpr std::size_t kDiagnosiMassime = 200;

struct testo_da_verificare {
  std::string nome;                 // as the diagnoses name it, UTF-8
  std::optional<std::string> byte;  // nothing: there is no such text
};

struct opzioni_verifica {
  // Warning rules not to report (their names).
  std::vector<std::string> permessi;
};

// Every problem of the two texts, ordered by text, line and column; beyond
// the limits above, one diagnosis per text and kind counts the rest.
std::vector<diagnosi> verifica_testi(const testo_da_verificare& linea,
                                     const testo_da_verificare& treno,
                                     const opzioni_verifica& opzioni = {});

// file:line:column: error|warning|note: message [code], the source line and
// a caret line under the field, each related place after it as a note; then
// the closing line: the count, or "no problems found".
void scrivi_diagnosi(std::ostream& uscita, const std::vector<diagnosi>& tutte);

// The closing line: "N errors, M warnings", or "no problems found".
std::string testo_chiusura(const std::vector<diagnosi>& tutte);

// A list of objects with file, line, column, severity, code and message (and
// "related", a list of places with file, line, column and message, when there
// are any; "more", the diagnoses a line stands for, when left out).
nlohmann::ordered_json json_diagnosi(const std::vector<diagnosi>& tutte);

// The exit status of check when it found at least one error.
inline constexpr int kUscitaErroriTrovati = 1;

// The whole command: reads the two texts (a missing one is checked as the
// compile sees it), prints the diagnoses (as JSON on `uscita`, else as text
// on `errori`) and returns 0, kUscitaErroriTrovati (an error, or with
// `werror` a warning), or uscita_file_system when a text exists but cannot be
// read.
int comando_check(const std::filesystem::path& linea, const std::filesystem::path& treno, bool json,
                  bool werror, const opzioni_verifica& opzioni, std::ostream& uscita,
                  std::ostream& errori);

}  // namespace scenario
