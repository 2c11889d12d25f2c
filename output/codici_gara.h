#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/modello.h"
#include "compiler/osservatore.h"

namespace scenario {

// The two check codes tie a compiled scenario to its own name. Both read the
// check text: the train number (row 86) and the route name (row 85) joined
// and lowered, completed by a fixed filler; only its first 25 characters
// count. og is the sum of their Windows-1252 codes, st the sum of each code
// times its position (1..25).
int16_t codice_gara_og(const modello& m);
int32_t codice_gara_st(const modello& m);

// The numbers errore shows when a marker place (1250) or a check-code place
// (1251) is taken.
inline constexpr int32_t kControlloMarcatori = 1250;
inline constexpr int32_t kControlloCodici = 1251;

// Checks the four reserved places and stamps the markers and check codes:
// row 85 gets 610 and st, cell 1 gets 5121 and og. Returns the number errore
// must show ("1250" when a marker place was taken, "1251" when a code place
// was) and then stops stamping; nothing when every place was free and has
// been stamped. The model must have cell 1. A failed check is told to
// `racconta` with the place it found taken.
std::optional<std::string> timbra_codici(modello& m, const racconto& racconta = {});

}  // namespace scenario
