#pragma once

#include "compiler/modello.h"

namespace scenario {

// The completion walk: adds the code points that the slowdowns need (before
// the signals ahead of a warning board, in the approach windows, inside slow
// slowdowns and before the first signal after them). Failures (11, 12, 13)
// go to the error record and the walk goes on.
void completa_codici(modello& m);

}  // namespace scenario
