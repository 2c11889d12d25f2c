// The highlighting grammars of the two source texts for editors (TextMate
// grammars, JSON), made from the compiler's table of row kinds: the section
// headers, each kind's keyword test as the readers make it, the numbers, the
// station names and board texts, and the keyword fields holding "-" that the
// readers drop. A change to the table changes the grammars with it.
#pragma once

#include <string>
#include <string_view>

#include "compiler/righe.h"

namespace scenario {

// The scopes the grammars give. Each ends in ".scenario".
inline constexpr std::string_view kScopoIntestazione = "entity.name.section.scenario";
inline constexpr std::string_view kScopoChiave = "keyword.other.row.scenario";
inline constexpr std::string_view kScopoNumero = "constant.numeric.scenario";
inline constexpr std::string_view kScopoVirgola = "punctuation.separator.comma.scenario";
inline constexpr std::string_view kScopoCommento = "comment.line.hyphen.scenario";

// The grammar's scope name: "source.scenario.linea", "source.scenario.treno".
std::string scopo_grammatica(testo_letto testo);

// The grammar's file name: "scenario-linea.tmLanguage.json".
std::string nome_file_grammatica(testo_letto testo);

// The scope of a text value of a row (a station's name, a board's text):
// "string.unquoted." and the value's name ("string.unquoted.nome.scenario").
std::string scopo_testo(const campo_riga& campo);

// The grammar of `testo` as JSON text, ending with a line end.
std::string grammatica_textmate(testo_letto testo);

}  // namespace scenario
