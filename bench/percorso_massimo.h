// The largest route the compiler takes, for benchmarks and measurements: a
// line and a train text at the limits of the model, which compile cleanly.
#pragma once

#include <string>

namespace scenario::banco {

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
