// The parts of the format reference (docs/*.md) that the descriptions of the
// compiler give: each row kind with its keyword rule and its values, each
// record with its members, offsets and widths, the plan element's forms and
// the evento kinds, as Markdown. The pages hold these blocks word for word
// (a test keeps them so), and the language server's hover shows them.
#pragma once

#include <string>

#include "compiler/righe.h"

namespace scenario {

// "### `pendenza` (gradient row)", its keyword rule and section, what it is,
// and the table of its values in reading order.
std::string markdown_riga(const descrizione_riga& d);

// The keyword rule in words: 'contains "pendenza", in any letter case'.
std::string regola_chiave(const descrizione_riga& d);

// The members of a cell, of a table row, the plan element's forms and the
// evento kinds, each as a Markdown table.
std::string markdown_cella();
std::string markdown_voce();
std::string markdown_elemento();
std::string markdown_eventi();

// The rules check warns by: name and what each finds.
std::string markdown_regole();

}  // namespace scenario
