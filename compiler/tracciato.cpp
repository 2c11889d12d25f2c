#include "compiler/tracciato.h"

#include <cstddef>

namespace scenario {
namespace {

struct punto {
  double x;
  double y;
};

std::size_t posto(int32_t indice) { return static_cast<std::size_t>(indice); }

punto leggi_punto(const modello& m, int32_t indice) {
  return {m.tracciato[0].at(posto(indice)).valore, m.tracciato[1].at(posto(indice)).valore};
}

void scrivi_punto(modello& m, int32_t indice, punto p) {
  m.tracciato[0].at(posto(indice)) = {tipo_elemento::doppio, p.x};
  m.tracciato[1].at(posto(indice)) = {tipo_elemento::doppio, p.y};
}

// The step that led to point `indice` - 1.
punto passo_prima(const modello& m, int32_t indice) {
  const punto ultimo = leggi_punto(m, indice - 1);
  const punto penultimo = leggi_punto(m, indice - 2);
  return {ultimo.x - penultimo.x, ultimo.y - penultimo.y};
}

}  // namespace

void imposta_origine(modello& m) {
  m.tracciato[0].at(0) = {tipo_elemento::intero, 0.0};
  m.tracciato[1].at(0) = {tipo_elemento::intero, 0.0};
  m.tracciato[0].at(1) = {tipo_elemento::intero, 0.0};
  m.tracciato[1].at(1) = {tipo_elemento::intero, 1.0};
}

void punto_dritto(modello& m, int32_t indice) {
  const punto d = passo_prima(m, indice);
  const punto ultimo = leggi_punto(m, indice - 1);
  scrivi_punto(m, indice, {ultimo.x + d.x, ultimo.y + d.y});
}

void punto_curvo(modello& m, int32_t indice, double kappa) {
  const punto d = passo_prima(m, indice);
  const punto ultimo = leggi_punto(m, indice - 1);
  // Each bracket first, then the sum: the order the plan's bytes depend on.
  const double passo_x = d.x + kappa * d.y;
  const double passo_y = d.y - kappa * d.x;
  scrivi_punto(m, indice, {ultimo.x + passo_x, ultimo.y + passo_y});
}

}  // namespace scenario
