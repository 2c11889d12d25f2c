// The largest route the compiler takes, for benchmarks and measurements: a
// line and a train text at the limits of the model, which compile cleanly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scenario::banco {

// The route's length in metres.
inline constexpr int32_t kLunghezzaPercorsoMassimo = 1'000'000;

// One curve row of the route's line text, as it is written there.
struct curva_massima {
  std::string parola_chiave;  // "curvad4", "curvas1", ...
  int32_t inizio = 0;
  int32_t lunghezza = 0;
};

// The curve rows, in the order of the line text.
std::vector<curva_massima> curve_percorso_massimo();

struct testi_sorgente {
  std::string linea;
  std::string treno;
};

// A route of 1 000 000 m: a curve every 400 m, a gradient row every 100 m, a
// signal every 1 000 m, a station every 5 km as far as the table has room
// (74 stations beside 4 indication boards), slowdowns, speed boards,
// "montagna" stretches and speed and adhesion profiles.
testi_sorgente percorso_massimo();

}  // namespace scenario::banco
