// The train card drafted for a scenario that has none of its own, in the
// embedded card's layout, for the author to finish by hand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

// The train card drafted from a compiled model and its train text (Windows-1252 bytes):
// the card's lines, Windows-1252, without line ends.
std::vector<std::string> bozza_scheda_treno(const modello& m, std::string_view testo_treno);

}  // namespace scenario
