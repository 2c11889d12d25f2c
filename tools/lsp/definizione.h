// Go to definition from a diagnosed place: where a diagnostic's related
// places point (the object that already holds the cell, the row whose value
// is taken, the row whose effect lands here), the editor goes.
#pragma once

#include <nlohmann/json.hpp>

#include "tools/lsp/posizioni.h"

namespace scenario::lsp {

// The Locations of the related places of every diagnostic in `diagnostiche`
// (a published list) whose range holds `p`, each once; an empty list when
// none does.
nlohmann::json definizioni(const nlohmann::json& diagnostiche, posizione_editor p);

}  // namespace scenario::lsp
