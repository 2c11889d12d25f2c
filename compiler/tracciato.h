// The track plan, one point per metre: points 0 and 1 fix the origin and the
// first heading, and every further point follows from the two before it. The
// arithmetic is plain IEEE double in a fixed order (the build forbids fused
// multiply-add), so the plan's bytes are the same on every machine.
#pragma once

#include <cstdint>

#include "compiler/modello.h"

namespace scenario {

// Points 0 and 1 as the 16-bit integers (0, 0) and (0, 1): the plan starts at
// the origin heading along the second coordinate.
void imposta_origine(modello& m);

// Point `indice` continues the step from point indice - 2 to point indice - 1.
void punto_dritto(modello& m, int32_t indice);

// Point `indice` turns that step by about `kappa` radians (kappa > 0 turns
// from the second coordinate towards the first). The step is not normalised:
// each curved metre lengthens it by sqrt(1 + kappa^2), and the plan keeps that.
void punto_curvo(modello& m, int32_t indice, double kappa);

}  // namespace scenario
