#include "compiler/tracciato.h"

#include <cstddef>
#include <stdexcept>
#include <string>

namespace scenario {
namespace {

struct dritto {
  punto_piano operator()(const punto_piano& penultimo, const punto_piano& ultimo) const {
    return passo_dritto(penultimo, ultimo);
  }
};

struct curvo {
  double kappa;
  punto_piano operator()(const punto_piano& penultimo, const punto_piano& ultimo) const {
    return passo_curvo(penultimo, ultimo, kappa);
  }
};

punto_piano punto_posato(const piano_tracciato& piano, std::size_t n) {
  return {piano[0][n].valore, piano[1][n].valore};
}

// Points da..a by `passo`, written into the plan as they are computed; the
// two points before `da` are read once, and the loop keeps the last two.
template <typename Passo>
void tratto(modello& m, int32_t da, int32_t a, Passo passo) {
  if (a < da) return;
  piano_tracciato& piano = m.tracciato;
  if (da < 2 || static_cast<std::size_t>(da) != piano.posati()) {
    throw std::out_of_range("plan point " + std::to_string(da) +
                            " is not the next point of the plan, " +
                            std::to_string(piano.posati()));
  }
  const std::size_t n = static_cast<std::size_t>(a - da) + 1;
  if (!piano.conserva()) {
    piano.apri_doppi(n);
    return;
  }
  const auto inizio = static_cast<std::size_t>(da);
  punto_piano penultimo = punto_posato(piano, inizio - 2);
  punto_piano ultimo = punto_posato(piano, inizio - 1);
  const piano_tracciato::spazio_doppi spazio = piano.apri_doppi(n);
  constexpr std::size_t kPasso = forma_di(tipo_elemento::doppio).byte;
  for (std::size_t k = 0; k < n; ++k) {
    const punto_piano nuovo = passo(penultimo, ultimo);
    piano_tracciato::scrivi_doppio(spazio.x + k * kPasso, nuovo.x);
    piano_tracciato::scrivi_doppio(spazio.y + k * kPasso, nuovo.y);
    penultimo = ultimo;
    ultimo = nuovo;
  }
}

}  // namespace

void imposta_origine(modello& m) {
  if (m.tracciato.posati() != 0) {
    throw std::logic_error("the plan's origin is set on a plan that already has points");
  }
  m.tracciato.posa({tipo_elemento::intero, 0.0}, {tipo_elemento::intero, 0.0});
  m.tracciato.posa({tipo_elemento::intero, 0.0}, {tipo_elemento::intero, 1.0});
}

void tratto_dritto(modello& m, int32_t da, int32_t a) { tratto(m, da, a, dritto{}); }

void tratto_curvo(modello& m, int32_t da, int32_t a, double kappa) {
  tratto(m, da, a, curvo{kappa});
}

}  // namespace scenario
