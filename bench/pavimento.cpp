#include "bench/pavimento.h"

#include <optional>
#include <stdexcept>
#include <string>

#include "bench/percorso_massimo.h"
#include "compiler/lettore_linea.h"
#include "compiler/modello.h"

namespace scenario::banco {
namespace {

double kappa_di(const curva_massima& c) {
  const std::optional<double> kappa = curvatura_classe(c.parola_chiave);
  if (!kappa) throw std::logic_error("a curve of the largest route has no class");
  return c.parola_chiave.find('s') != std::string::npos ? -*kappa : *kappa;
}

std::size_t punti_piano_massimo() {
  return static_cast<std::size_t>(kLunghezzaPercorsoMassimo) + kCodaPercorso + 1;
}

}  // namespace

std::vector<tratto_piano> tratti_piano_massimo() {
  std::vector<tratto_piano> tratti;
  for (const curva_massima& c : curve_percorso_massimo()) {
    tratti.push_back({static_cast<std::size_t>(c.inizio), 0.0});
    tratti.push_back({static_cast<std::size_t>(c.inizio + c.lunghezza), kappa_di(c)});
  }
  tratti.push_back({punti_piano_massimo() - 3, 0.0});
  return tratti;
}

punto_piano aritmetica_piano(const std::vector<tratto_piano>& tratti) {
  punto_piano penultimo{0.0, 0.0};
  punto_piano ultimo{0.0, 1.0};
  std::size_t indice = 2;
  auto avanza = [&](const punto_piano& nuovo) {
    penultimo = ultimo;
    ultimo = nuovo;
  };
  for (const tratto_piano& t : tratti) {
    if (t.kappa == 0.0) {
      for (; indice <= t.ultimo; ++indice) avanza(passo_dritto(penultimo, ultimo));
    } else {
      for (; indice <= t.ultimo; ++indice) avanza(passo_curvo(penultimo, ultimo, t.kappa));
    }
  }
  return ultimo;
}

std::size_t byte_piano_massimo() {
  return 2 * piano_tracciato::byte_meta_compilata(punti_piano_massimo());
}

}  // namespace scenario::banco
