#include "compiler/modello.h"

#include <cmath>
#include <utility>

namespace scenario {

double arrotonda_pari(double x) {
  double basso = std::floor(x);
  double resto = x - basso;
  if (resto > 0.5) return basso + 1.0;
  if (resto < 0.5) return basso;
  return std::fmod(basso, 2.0) == 0.0 ? basso : basso + 1.0;
}

void pulisci_tabella(modello& m) {
  for (voce& v : m.tabella) v = voce{};
}

int64_t ultima_cella_per(int64_t lunghezza) {
  return static_cast<int64_t>(arrotonda_pari(static_cast<double>(lunghezza + kCodaPercorso) /
                                             static_cast<double>(kMetriCella)));
}

void dimensiona(modello& m, int32_t lunghezza) {
  m.lunghezza_estesa = lunghezza + kCodaPercorso;
  m.ultima_cella = static_cast<int32_t>(ultima_cella_per(lunghezza));
  m.celle.assign(static_cast<std::size_t>(m.ultima_cella) + 1, cella{});
  if (m.crea_tracciato != 0) {
    m.tracciato.prepara(static_cast<std::size_t>(m.lunghezza_estesa) + 1);
  } else {
    m.tracciato.svuota();
  }
}

void ricomincia(modello& m) {
  std::vector<cella> celle = std::move(m.celle);
  piano_tracciato tracciato = std::move(m.tracciato);
  celle.clear();
  tracciato.conserva_byte(true);
  m = modello{};
  m.celle = std::move(celle);
  m.tracciato = std::move(tracciato);
}

namespace {
// A cell keeps the speed limit in steps of this many km/h.
constexpr int32_t kPassoVelocita = 5;
}  // namespace

std::optional<uint8_t> byte_velocita(int64_t kmh) {
  const double quinti = arrotonda_pari(static_cast<double>(kmh) / kPassoVelocita);
  if (quinti < 0 || quinti > 255) return std::nullopt;
  return static_cast<uint8_t>(quinti);
}

int32_t kmh_velocita(uint8_t quinti) { return int32_t{quinti} * kPassoVelocita; }

uint8_t byte_aderenza(int64_t aderenza) {
  return static_cast<uint8_t>(static_cast<uint64_t>(aderenza) & 0xFFU);
}

uint8_t byte_pendenza(int64_t pendenza) {
  return static_cast<uint8_t>(static_cast<uint64_t>(pendenza + 100) & 0xFFU);
}

}  // namespace scenario
