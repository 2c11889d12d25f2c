// `dump`: the compiled files decoded for a person or a script. JSON by
// default (one object per file, in an array, in the order given), or aligned
// text tables; a range of cells or of metres and a list of table rows narrow
// what is shown.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"
#include "tools/ispezione/ispeziona.h"

namespace scenario {

using json_ordinato = nlohmann::ordered_json;

// A closed range of whole numbers, "A..B" or a single "A".
struct intervallo {
  int64_t da = 0;
  int64_t a = 0;
  bool contiene(int64_t n) const { return n >= da && n <= a; }
};

// Nothing when the text is not "A..B" or "A" with 0 <= A <= B.
std::optional<intervallo> leggi_intervallo(std::string_view testo);
// A comma-separated list of ranges, "1..9,81..86"; nothing when any is bad.
std::optional<std::vector<intervallo>> leggi_intervalli(std::string_view testo);

// "A..B", or "A" when the range is one number.
std::string testo_intervallo(const intervallo& i);

struct opzioni_dump {
  bool testo = false;               // aligned tables in place of JSON
  std::optional<intervallo> celle;  // cells A..B (for the plan: their metres)
  // The cells that cover metres A..B (for the plan: those metres); never
  // given with `celle`.
  std::optional<intervallo> metri;
  std::optional<std::vector<intervallo>> righe;  // table rows
};

// One decoded file.
struct file_decodificato {
  std::string nome;  // as given, for the heading
  tipo_file_compilato tipo = tipo_file_compilato::celle;
  std::size_t byte = 0;
  std::vector<cella> celle;
  std::array<voce, kRigheTabella> tabella;
  tracciato_letto tracciato;
};

// Reads and decodes one file, its kind told by its name. Throws
// errore_formato (naming the file) or errore_file_system.
file_decodificato decodifica_file(const std::filesystem::path& file);

// The JSON of one decoded file. `tabella`, when given, names the stations and
// board texts that cells point at.
json_ordinato json_file(const file_decodificato& f, const opzioni_dump& opzioni,
                        const std::array<voce, kRigheTabella>* tabella);

// The JSON of cell `n`, as the cells of json_file hold it.
json_ordinato json_cella(const cella& c, int32_t n, const std::array<voce, kRigheTabella>* tabella);

// The aligned-text form of one decoded file.
void scrivi_testo_file(std::ostream& uscita, const file_decodificato& f,
                       const opzioni_dump& opzioni, const std::array<voce, kRigheTabella>* tabella);

// Why the cells, metres or rows that `opzioni` asks for keep nothing of `f`:
// the option, the file and what the file holds. Nothing when they keep
// something, or when no option applies to a file of f's kind.
std::optional<std::string> scelta_vuota(const file_decodificato& f, const opzioni_dump& opzioni);

// A range that keeps nothing of a file: the command says why and prints
// nothing.
inline constexpr int kUscitaSceltaVuota = 1;

// The whole command: decodes every file first, then prints them all to
// `uscita` (nothing on a failure). Returns 0; or, after one line on `errori`
// naming the file, kUscitaFileNonConforme for a file that does not fit its
// layout, kUscitaSceltaVuota for one of which the ranges keep nothing, and
// uscita_file_system for one that cannot be read.
int comando_dump(const std::vector<std::filesystem::path>& file, const opzioni_dump& opzioni,
                 std::ostream& uscita, std::ostream& errori);

}  // namespace scenario
