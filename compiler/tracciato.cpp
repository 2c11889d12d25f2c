#include "compiler/tracciato.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace scenario {
namespace {

struct punto {
  double x;
  double y;
};

// Point `indice` and the two before it, checked once: the plan is a
// million points at most, and a check on every element read was a good part
// of the compile's time.
class tre_punti {
 public:
  tre_punti(modello& m, int32_t indice) : x_(m.tracciato[0]), y_(m.tracciato[1]) {
    if (indice < 2 || static_cast<std::size_t>(indice) >= std::min(x_.size(), y_.size())) {
      throw std::out_of_range("plan point " + std::to_string(indice) + " is outside the plan");
    }
    n_ = static_cast<std::size_t>(indice);
  }

  punto ultimo() const { return {x_[n_ - 1].valore, y_[n_ - 1].valore}; }

  // The step that led to point `indice` - 1.
  punto passo() const {
    return {x_[n_ - 1].valore - x_[n_ - 2].valore, y_[n_ - 1].valore - y_[n_ - 2].valore};
  }

  void scrivi(punto p) {
    x_[n_] = {tipo_elemento::doppio, p.x};
    y_[n_] = {tipo_elemento::doppio, p.y};
  }

 private:
  std::vector<elemento_tracciato>& x_;
  std::vector<elemento_tracciato>& y_;
  std::size_t n_ = 0;
};

}  // namespace

void imposta_origine(modello& m) {
  m.tracciato[0].at(0) = {tipo_elemento::intero, 0.0};
  m.tracciato[1].at(0) = {tipo_elemento::intero, 0.0};
  m.tracciato[0].at(1) = {tipo_elemento::intero, 0.0};
  m.tracciato[1].at(1) = {tipo_elemento::intero, 1.0};
}

void punto_dritto(modello& m, int32_t indice) {
  tre_punti t(m, indice);
  const punto d = t.passo();
  const punto ultimo = t.ultimo();
  t.scrivi({ultimo.x + d.x, ultimo.y + d.y});
}

void punto_curvo(modello& m, int32_t indice, double kappa) {
  tre_punti t(m, indice);
  const punto d = t.passo();
  const punto ultimo = t.ultimo();
  // Each bracket first, then the sum: the order the plan's bytes depend on.
  const double passo_x = d.x + kappa * d.y;
  const double passo_y = d.y - kappa * d.x;
  t.scrivi({ultimo.x + passo_x, ultimo.y + passo_y});
}

}  // namespace scenario
