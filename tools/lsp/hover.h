// What the editor shows over a field: on a row's keyword, the row kind and
// its values in order (the reference's own block); on a value, the value's
// name, unit and slot, what the compile stored, and for a position the cell
// it lands on with its metres, by the compiler's own conversions.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "tools/lsp/analisi.h"

namespace scenario::lsp {

struct hover_campo {
  std::string markdown;
  std::size_t campo = 0;  // the field it is about, in lettura.campi(a.di)
};

// Nothing where no row's keyword or value stands at `byte`.
std::optional<hover_campo> hover_in(const analisi& a, std::size_t byte);

}  // namespace scenario::lsp
