// The floor of the largest route's compile: what its track plan costs at the
// least, whatever the compiler around it does. The plan's arithmetic is every
// point, step by step, exactly as the line reader computes it (the same
// functions, so the same rounding and the same bits), in a loop that keeps
// the last two points and nothing else; the plan's bytes are as many as its
// file has. A compile cannot do less than compute those points and put that
// many bytes somewhere.
#pragma once

#include <cstddef>
#include <vector>

#include "compiler/tracciato.h"

namespace scenario::banco {

// A stretch of the plan: its points up to `ultimo`, straight when kappa is
// 0, else each turned by kappa.
struct tratto_piano {
  std::size_t ultimo = 0;
  double kappa = 0.0;
};

// The largest route's plan from point 2 on, as its curve rows make it:
// straight up to each curve's start, curved up to its end, and straight again
// to the third-last point (the last two stay empty).
std::vector<tratto_piano> tratti_piano_massimo();

// Computes every point of the stretches from point 2 on, from the origin
// (0, 0) and (0, 1), and returns the last one.
punto_piano aritmetica_piano(const std::vector<tratto_piano>& tratti);

// The number of bytes of the largest route's plan file.
std::size_t byte_piano_massimo();

}  // namespace scenario::banco
