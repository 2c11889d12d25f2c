// Completion of the row keywords a text takes where the cursor stands: in
// the line text, the general rows up to the first bracketed field after
// "[generale]" and the other line rows after it; in the train text, every
// train row. Each keyword comes with its values as a snippet to fill in, and
// the section headers of the text are offered too.
#pragma once

#include <nlohmann/json.hpp>

#include "tools/lsp/documenti.h"
#include "tools/lsp/posizioni.h"

namespace scenario::lsp {

// The protocol's CompletionItem list for the cursor at `p` of `d`: empty
// unless the cursor is in the first field of its line. With `snippet` the
// values are placeholders ("${1:posizione}"); without, only the keyword and
// a comma are inserted.
nlohmann::json completamenti(const documento& d, posizione_editor p, codifica_posizioni codifica,
                             bool snippet);

}  // namespace scenario::lsp
