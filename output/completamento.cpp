#include "output/completamento.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>

#include "base/minimo.h"

namespace scenario {
namespace {

// Kinds of point object the walk reads or writes.

constexpr int16_t kValoreCodice = 180;

// Signals are looked for in the 20 cells before a warning board, but not
// below cell 3: a code point needs one of the two cells before the signal.
constexpr int32_t kCelleAvviso = 20;
constexpr int32_t kCellaSegnaleMinima = 3;

// The three approach windows before a slowdown start, nearest cell first.
struct finestra {
  int32_t vicina;
  int32_t lontana;
};
constexpr std::array<finestra, 3> kFinestre = {{{5, 7}, {11, 13}, {18, 20}}};

// Slowdowns slower than this get a code point every kPassoInterno cells.
constexpr int16_t kVelocitaSenzaPunti = 110;
constexpr int32_t kPassoInterno = 8;

// The first signal after a slowdown is looked for in its end cell and the
// cells after it, up to this many.
constexpr int32_t kCelleDopoFine = 12;

constexpr int32_t kErroreAvviso = 11;
constexpr int32_t kErroreFinestra = 12;
constexpr int32_t kErroreRallentamento = 13;

// One run of the walk over one model. Cells outside 1..ultima count as taken
// and hold no object: no test and no scan reads past the strip, and cell 0
// is never written.
class passeggiata {
 public:
  passeggiata(modello& m, const racconto& racconta)
      : m_(m),
        racconta_(racconta),
        ultima_(std::min<int64_t>(m.ultima_cella, static_cast<int64_t>(m.celle.size()) - 1)) {}

  void percorri() {
    for (int64_t i = 1; i <= ultima_ - 2; ++i) {
      const auto n = static_cast<int32_t>(i);
      per_cella_ = n;
      if (evento(n) == kEventoAvvisoRallentamento) segnali_prima_dell_avviso(n);
      if (evento(n) == kEventoInizioRallentamento) attorno_al_rallentamento(n);
    }
  }

 private:
  bool nella_striscia(int32_t n) const { return n >= 1 && n <= ultima_; }

  // The kind of object in cell n; 0 outside the strip.
  uint8_t evento(int32_t n) const { return nella_striscia(n) ? m_.cella_a(n).evento : 0; }

  bool libera(int32_t n) const { return nella_striscia(n) && cella_libera(m_.cella_a(n)); }

  void piazza(int32_t n) {
    cella& c = m_.cella_a(n);
    c.evento = kEventoPuntoCodice;
    c.dato1 = kValoreCodice;
    racconta_.posato(n, kEventoPuntoCodice, per_cella_);
  }

  // Lowers an existing code point's value to kValoreCodice at most.
  void limita(int32_t n) {
    cella& c = m_.cella_a(n);
    c.dato1 = minimo(kValoreCodice, c.dato1);
  }

  // Records `codice` at cell `cella_errore` and tells why: the cells that
  // were searched and found taken.
  template <typename Celle>
  void registra(int32_t codice, int32_t cella_errore, const Celle& cercate) {
    m_.codice_errore = codice;
    m_.posizione_errore = cella_errore * kMetriCella;
    if (!racconta_.ascolta()) return;
    causa_codice causa(codice);
    causa.con_posizione(m_.posizione_errore).sulla_cella(cella_errore);
    causa.cercate.assign(std::begin(cercate), std::end(cercate));
    causa.per_cella = per_cella_;
    racconta_.codice(causa);
  }

  // Places a code point in the first free cell of `celle`; false when every
  // one of them is taken.
  template <std::size_t N>
  bool piazza_nella_prima_libera(const std::array<int32_t, N>& celle) {
    for (int32_t n : celle) {
      if (libera(n)) {
        piazza(n);
        return true;
      }
    }
    return false;
  }

  // A: every signal in the 20 cells before a warning board gets a code point
  // in one of its two cells before, or has its existing one capped.
  void segnali_prima_dell_avviso(int32_t avviso) {
    for (int32_t k = 1; k <= kCelleAvviso; ++k) {
      const int32_t s = avviso - k;
      if (s < kCellaSegnaleMinima) return;
      if (evento(s) == kEventoSegnale) punto_prima_del_segnale(s);
    }
  }

  void punto_prima_del_segnale(int32_t s) {
    const std::array prima = {s - 1, s - 2};
    if (piazza_nella_prima_libera(prima)) return;
    for (int32_t n : prima) {
      if (evento(n) == kEventoPuntoCodice) {
        limita(n);
        return;
      }
    }
    registra(kErroreAvviso, s, prima);
  }

  // B: the approach windows, the points inside, and the point before the
  // first signal after the end. Each step runs whatever the one before did.
  void attorno_al_rallentamento(int32_t inizio) {
    for (const finestra& f : kFinestre) {
      if (inizio > f.lontana) punto_nella_finestra(inizio, f);
    }
    const bool punti_interni = m_.cella_a(inizio).dato1 < kVelocitaSenzaPunti;
    const int32_t fine = scorri_rallentamento(inizio, punti_interni);
    punto_dopo_la_fine(fine);
  }

  void punto_nella_finestra(int32_t inizio, const finestra& f) {
    const std::array<int32_t, 3> celle = {inizio - f.vicina, inizio - f.vicina - 1,
                                          inizio - f.lontana};
    if (!piazza_nella_prima_libera(celle)) registra(kErroreFinestra, inizio, celle);
  }

  // Scans forward from the start to the slowdown's end cell, placing a point
  // every kPassoInterno cells when asked. The spacing counts from the cell a
  // point actually went to. Returns the end cell; a scan that reaches the
  // last cell without finding one stops there and records code 13.
  int32_t scorri_rallentamento(int32_t inizio, bool punti_interni) {
    int32_t contatore = 0;
    int32_t k = inizio;
    for (;;) {
      ++k;
      ++contatore;
      if (punti_interni && contatore == kPassoInterno) contatore = punto_interno(k);
      if (evento(k) == kEventoFineRallentamento) return k;
      if (k >= ultima_) {
        registra(kErroreRallentamento, inizio, std::array<int32_t, 0>{});
        return k;
      }
    }
  }

  // The point due in cell k, or in a neighbour; the counter value that keeps
  // the spacing from where it went. When all three are taken the counter is
  // left past the step, so no more points go into this slowdown.
  int32_t punto_interno(int32_t k) {
    if (libera(k)) {
      piazza(k);
      return 0;
    }
    if (libera(k - 1)) {
      piazza(k - 1);
      return 1;
    }
    if (libera(k + 1)) {
      piazza(k + 1);
      return -1;
    }
    registra(kErroreRallentamento, k, std::array{k, k - 1, k + 1});
    return kPassoInterno;
  }

  void punto_dopo_la_fine(int32_t fine) {
    const int32_t limite = static_cast<int32_t>(std::min<int64_t>(fine + kCelleDopoFine, ultima_));
    for (int32_t indice = fine; indice <= limite; ++indice) {
      if (evento(indice) != kEventoSegnale) continue;
      const std::array prima = {indice - 1, indice - 2};
      if (!piazza_nella_prima_libera(prima)) registra(kErroreRallentamento, fine, prima);
      return;
    }
  }

  modello& m_;
  const racconto& racconta_;
  const int64_t ultima_;
  int32_t per_cella_ = 0;  // the warning board or slowdown start being worked for
};

}  // namespace

void completa_codici(modello& m, const racconto& racconta) { passeggiata(m, racconta).percorri(); }

}  // namespace scenario
