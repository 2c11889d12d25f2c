// The track plan, one point per metre: points 0 and 1 fix the origin and the
// first heading, and every further point follows from the two before it. The
// arithmetic is plain IEEE double in a fixed order (the build forbids fused
// multiply-add), so the plan's bytes are the same on every machine. Points
// are computed in order, a stretch at a time, straight into the plan's bytes.
#pragma once

#include <cstdint>

#include "compiler/modello.h"

namespace scenario {

struct punto_piano {
  double x;
  double y;
};

// The straight step: the point after `ultimo` continues the step from
// `penultimo` to `ultimo` unchanged.
inline punto_piano passo_dritto(const punto_piano& penultimo, const punto_piano& ultimo) {
  return {ultimo.x + (ultimo.x - penultimo.x), ultimo.y + (ultimo.y - penultimo.y)};
}

// The curved step: that step turned by `kappa`. Each bracket first, then the
// sum: the order the plan's bytes depend on.
inline punto_piano passo_curvo(const punto_piano& penultimo, const punto_piano& ultimo,
                               double kappa) {
  const punto_piano d{ultimo.x - penultimo.x, ultimo.y - penultimo.y};
  const double passo_x = d.x + kappa * d.y;
  const double passo_y = d.y - kappa * d.x;
  return {ultimo.x + passo_x, ultimo.y + passo_y};
}

// Points 0 and 1 as the 16-bit integers (0, 0) and (0, 1): the plan starts at
// the origin heading along the second coordinate. The plan must have no
// point set yet.
void imposta_origine(modello& m);

// Points da..a, each continuing the step from the point two before it to the
// point before it. `da` must be the next point the plan has not set, 2 or
// more; nothing happens when a < da. Throws std::out_of_range otherwise, or
// when the plan ends before `a`. A plan that only counts its points
// (piano_tracciato::conserva_byte) counts them, and computes nothing.
void tratto_dritto(modello& m, int32_t da, int32_t a);

// The same, each step turned by about `kappa` radians (kappa > 0 turns from
// the second coordinate towards the first). The step is not normalised:
// each curved metre lengthens it by sqrt(1 + kappa^2), and the plan keeps
// that.
void tratto_curvo(modello& m, int32_t da, int32_t a, double kappa);

}  // namespace scenario
