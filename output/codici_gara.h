#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/modello.h"

namespace scenario {

int16_t codice_gara_og(const modello& m);
int32_t codice_gara_st(const modello& m);

// Checks the four reserved places and stamps the markers and check codes.
// Returns the number errore must show ("1250", "1251") when a check fails;
// nothing when every place was free and has been stamped.
std::optional<std::string> timbra_codici(modello& m);

}  // namespace scenario
