// The rules of meaning of check: rows each sound on its own that together say
// what no author means. A timetable that runs backwards or begins before the
// clock, a stopping station without a time, two stations of one name, a
// slowdown that slows nothing, a train limit above every speed the line's
// boards show. Each rule is sure: a sound scenario, the embedded one first,
// gives none of them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "tools/verifica/interno.h"

namespace scenario {
namespace {

constexpr int64_t kMezzaGiornata = int64_t{12} * 3600;

// The values of a station row, from 0: its kind, its time and its name.
constexpr std::size_t kTipoStazione = 1;
constexpr std::size_t kOreStazione = 13;
constexpr std::size_t kNomeStazione = 16;
// Stations of this kind and above get no stop mark: the train passes them.
constexpr int64_t kTipoSenzaFermata = 25;
// The speeds of a speed board: the first set's and the second set's, ranks A, B, C.
constexpr std::array<std::size_t, 6> kVelocitaCartello = {1, 2, 3, 5, 6, 7};

// "7:05:00".
std::string ora(int64_t secondi) {
  auto due = [](int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(secondi / 3600) + ":" + due(secondi / 60 % 60) + ":" + due(secondi % 60);
}

std::string senza_spazi(std::string_view testo) {
  const std::size_t inizio = testo.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) return {};
  return std::string(testo.substr(inizio, testo.find_last_not_of(" \t") - inizio + 1));
}

class coerenza {
 public:
  explicit coerenza(raccolta_diagnosi& r) : r_(r) {
    for (const riga_letta& riga : r.lettura().righe()) {
      if (!intera(riga)) continue;
      switch (riga.tipo) {
        case tipo_riga::stazione:
          stazioni_.push_back(&riga);
          break;
        case tipo_riga::velocita:
          velocita_.push_back(&riga);
          break;
        case tipo_riga::rallentamento:
          rallentamenti_.push_back(&riga);
          break;
        case tipo_riga::indicatori:
          cartelli_.push_back(&riga);
          break;
        case tipo_riga::orologio:
          orologio_ = &riga;  // a repeated row overwrites the earlier one
          break;
        default:
          break;
      }
    }
    std::stable_sort(cartelli_.begin(), cartelli_.end(),
                     [this](const riga_letta* a, const riga_letta* b) {
                       return r_.numero(*a, 0) < r_.numero(*b, 0);
                     });
    for (std::size_t n = 1; n < velocita_.size(); ++n) {
      if (r_.numero(*velocita_[n], 0) <= r_.numero(*velocita_[n - 1], 0))
        velocita_in_ordine_ = false;
    }
  }

  void tutti() {
    orari();
    nomi();
    // The stretches of the speed limits are known only when the rows ascend
    // (the order rule tells when they do not).
    if (!velocita_in_ordine_) return;
    for (const riga_letta* v : rallentamenti_) rallentamento(*v);
    for (std::size_t n = 0; n < velocita_.size(); ++n) sopra_i_cartelli(n);
  }

 private:
  // A row given whole on its own line: what a short row takes from later
  // lines is the short row's warning.
  bool intera(const riga_letta& riga) const {
    const std::size_t attesi = valori_attesi(riga.tipo);
    if (riga.n_valori() < attesi) return false;
    return r_.riga_di(riga.testo, riga.valore(attesi - 1)) == r_.riga_di(riga.testo, riga.chiave);
  }

  // Hours, minutes and seconds from value `da` as seconds after midnight;
  // nothing when one is outside a clock's range (the implausible rule).
  std::optional<int64_t> orario(const riga_letta& riga, std::size_t da) const {
    const int64_t h = r_.numero(riga, da);
    const int64_t m = r_.numero(riga, da + 1);
    const int64_t s = r_.numero(riga, da + 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return std::nullopt;
    return (h * 60 + m) * 60 + s;
  }

  std::string nome(const riga_letta& stazione) const {
    return senza_spazi(r_.testo_campo(stazione.testo, stazione.valore(kNomeStazione)));
  }

  // "BRUCIGNANO at 19000 m (line 31)".
  std::string stazione_detta(const riga_letta& stazione, testo_letto da) const {
    return utf8_da_1252(nome(stazione)) + " at " + metri(r_.numero(stazione, 0)) + " (" +
           r_.dove(stazione, da) + ")";
  }

  // ---------------------------------------------------------------- times

  void orari() {
    const riga_letta* prima = nullptr;  // the last station with a time
    int64_t ora_prima = 0;
    for (const riga_letta* s : stazioni_) {
      const std::optional<int64_t> t = orario(*s, kOreStazione);
      if (!t) continue;
      if (*t == 0) {
        senza_orario(*s);
        continue;
      }
      if (prima == nullptr) prima_dell_orologio(*s, *t);
      // Stations out of route order are the order rule's.
      if (prima != nullptr && r_.numero(*s, 0) > r_.numero(*prima, 0)) {
        const int64_t scarto = *t - ora_prima;
        if (scarto < 0 && scarto > -kMezzaGiornata) indietro(*s, *t, *prima, ora_prima);
      }
      prima = s;
      ora_prima = *t;
    }
  }

  void senza_orario(const riga_letta& s) {
    const int64_t tipo = r_.numero(s, kTipoStazione);
    if (tipo >= kTipoSenzaFermata) return;
    r_.avviso(r_.valore(s, kOreStazione), kRegolaSenzaOrario,
              "this station is a stop (its kind, " + std::to_string(tipo) +
                  ", is below 25, which gives it a stop mark) but its time is 0:00:00, no time: "
                  "only a station the train passes goes without one. Write the time of the "
                  "stop, or a kind of 25 or more for a station the train passes");
  }

  void indietro(const riga_letta& s, int64_t t, const riga_letta& prima, int64_t ora_prima) {
    r_.avviso(r_.valore(s, kOreStazione), kRegolaOrarioIndietro,
              "this station's time, " + ora(t) + ", is before " + ora(ora_prima) +
                  ", the time of " + stazione_detta(prima, s.testo) +
                  ", the station before it along the route: the timetable runs backwards. Check "
                  "the two times (a time more than 12 hours earlier would read as a run past "
                  "midnight)",
              {{r_.valore(prima, kOreStazione),
                "the time of " + utf8_da_1252(nome(prima)) + ", " + ora(ora_prima)}});
  }

  // The first time of the timetable and the clock the scenario starts at.
  void prima_dell_orologio(const riga_letta& s, int64_t t) {
    if (orologio_ == nullptr) return;
    const std::optional<int64_t> orologio = orario(*orologio_, 0);
    if (!orologio) return;
    const int64_t scarto = t - *orologio;
    if (scarto >= 0 || scarto <= -kMezzaGiornata) return;
    r_.avviso(r_.valore(s, kOreStazione), kRegolaPrimaOrologio,
              "the first time of the timetable, " + ora(t) + " at " + utf8_da_1252(nome(s)) +
                  ", is before the clock setting, " + ora(*orologio) + " (" +
                  r_.dove(*orologio_, s.testo) +
                  "): the scenario begins after the train was due there. Set the clock earlier, "
                  "or check the time",
              {{r_.valore(*orologio_, 0), "the clock is set here, to " + ora(*orologio)}});
  }

  // ---------------------------------------------------------------- names

  void nomi() {
    std::map<std::string, const riga_letta*> visti;
    for (const riga_letta* s : stazioni_) {
      const std::string chiave = minuscolo_1252(nome(*s));
      if (chiave.empty()) continue;
      const auto [prima, nuovo] = visti.emplace(chiave, s);
      if (nuovo) continue;
      r_.avviso(r_.valore(*s, kNomeStazione), kRegolaNomeStazione,
                "this station's name, '" + utf8_da_1252(nome(*s)) +
                    "', is also the name of the station at " + metri(r_.numero(*prima->second, 0)) +
                    " (" + r_.dove(*prima->second, s->testo) +
                    "): the timetable and the train card cannot tell the two apart. Give each "
                    "station its own name");
    }
  }

  // ---------------------------------------------------------------- speeds

  // The speed row in force at metre `p`: the last one at or before it.
  const riga_letta* velocita_a(int64_t p) const {
    const riga_letta* in_vigore = nullptr;
    for (const riga_letta* v : velocita_) {
      if (r_.numero(*v, 0) > p) break;
      in_vigore = v;
    }
    return in_vigore;
  }

  void rallentamento(const riga_letta& riga) {
    const int64_t x = r_.numero(riga, 0);
    const int64_t v = r_.numero(riga, 1);
    const int64_t l = r_.numero(riga, 2);
    // A stretch of no length is the reversed rule's; before the first speed
    // row the limit is no row's.
    const riga_letta* in_vigore = velocita_a(x);
    if (l <= 0 || in_vigore == nullptr) return;
    int64_t massimo = r_.numero(*in_vigore, 1);
    for (const riga_letta* s : velocita_) {
      const int64_t p = r_.numero(*s, 0);
      if (p > x && p < x + l) massimo = std::max(massimo, r_.numero(*s, 1));
    }
    if (massimo <= 0 || v < massimo) return;
    r_.avviso(r_.valore(riga, 1), kRegolaRallentamentoVeloce,
              "this slowdown's speed, " + std::to_string(v) +
                  " km/h, is not below the train's speed limit along it, at most " +
                  std::to_string(massimo) + " km/h from " + metri(x) + " to " + metri(x + l) +
                  ": it slows nothing. Write a speed below the limit, or check the slowdown",
              {{r_.valore(*in_vigore, 1), "the speed limit in force at " + metri(x) + ", " +
                                              std::to_string(r_.numero(*in_vigore, 1)) +
                                              " km/h, is set here"}});
  }

  // A limit above every speed the boards in force along its stretch show,
  // whatever the train's rank: from the board in force at the row's position
  // to the last one before the next speed row.
  void sopra_i_cartelli(std::size_t n) {
    const riga_letta& riga = *velocita_[n];
    const int64_t p = r_.numero(riga, 0);
    const int64_t v = r_.numero(riga, 1);
    const int64_t fino = n + 1 < velocita_.size() ? r_.numero(*velocita_[n + 1], 0)
                                                  : std::numeric_limits<int64_t>::max();
    std::vector<const riga_letta*> in_vigore;
    for (const riga_letta* c : cartelli_) {
      const int64_t q = r_.numero(*c, 0);
      if (q <= p) {
        in_vigore.assign(1, c);
      } else if (q < fino) {
        in_vigore.push_back(c);
      }
    }
    if (in_vigore.empty() || v <= 0) return;
    int64_t massimo = 0;
    for (const riga_letta* c : in_vigore) {
      for (std::size_t k : kVelocitaCartello) massimo = std::max(massimo, r_.numero(*c, k));
    }
    // A board that shows no speed says nothing of the limit.
    if (massimo <= 0 || v <= massimo) return;
    auto detto = [&](const riga_letta* c) {
      return "the one at " + metri(r_.numero(*c, 0)) + " (" + r_.dove(*c, riga.testo) + ")";
    };
    const std::string cartelli =
        in_vigore.size() == 1 ? "the speed board in force there, " + detto(in_vigore.front())
                              : "the speed boards in force along it, from " +
                                    detto(in_vigore.front()) + " to " + detto(in_vigore.back());
    r_.avviso(r_.valore(riga, 1), kRegolaOltreCartello,
              "this speed limit, " + std::to_string(v) + " km/h, is above every speed of " +
                  cartelli + ": at most " + std::to_string(massimo) +
                  " km/h, of every rank and set. No train may run so fast there: lower the limit, "
                  "or check the board",
              {{r_.valore(*in_vigore.front(), 0),
                "the speed board at " + metri(r_.numero(*in_vigore.front(), 0))}});
  }

  raccolta_diagnosi& r_;
  std::vector<const riga_letta*> stazioni_;
  std::vector<const riga_letta*> velocita_;
  std::vector<const riga_letta*> rallentamenti_;
  std::vector<const riga_letta*> cartelli_;  // by position
  const riga_letta* orologio_ = nullptr;
  bool velocita_in_ordine_ = true;
};

}  // namespace

void avvisi_coerenza(raccolta_diagnosi& r) { coerenza(r).tutti(); }

}  // namespace scenario
