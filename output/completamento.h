#pragma once

#include "compiler/modello.h"
#include "compiler/osservatore.h"

namespace scenario {

// The completion walk: adds the code points that the slowdowns need (before
// the signals ahead of a warning board, in the approach windows, inside slow
// slowdowns and before the first signal after them). Failures (11, 12, 13)
// go to the error record and the walk goes on. Every code point laid and
// every code recorded, with the cells searched, is told to `racconta`.
void completa_codici(modello& m, const racconto& racconta = {});

}  // namespace scenario
