// The outline of a text for the editor: its sections (each line that begins
// with a bracketed field opens one, up to the next), and in them the rows the
// compile read of stations, by name, and of signals and slowdowns, by
// position.
#pragma once

#include <nlohmann/json.hpp>

#include "tools/lsp/analisi.h"
#include "tools/lsp/posizioni.h"

namespace scenario::lsp {

// DocumentSymbol objects, the rows inside their sections (`gerarchici`), or
// else a flat list of SymbolInformation objects naming their section.
nlohmann::json simboli(const analisi& a, codifica_posizioni codifica, bool gerarchici);

}  // namespace scenario::lsp
