// Signals and slowdowns: the point objects the train text lays on the cells.
#include <cstdint>

#include "compiler/lettore_treno.h"

namespace scenario {
namespace {

// The packed values of a signal are sums of 32-bit values kept in 16 or 8
// bits: they wrap. Unsigned arithmetic wraps without undefined behaviour.
uint32_t senza_segno(int32_t v) { return static_cast<uint32_t>(v); }
int16_t basso_16(uint32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFFu)); }
uint8_t basso_8(uint32_t v) { return static_cast<uint8_t>(v & 0xFFu); }

int16_t cifre(int32_t decina, int32_t unita) {
  return basso_16(senza_segno(decina) * 10u + senza_segno(unita));
}

int64_t arrotonda_cinquantesimi(int64_t metri, double piu) {
  return static_cast<int64_t>(arrotonda_pari(static_cast<double>(metri) / 50.0 + piu));
}

}  // namespace

bool dentro_celle(const modello& m, int64_t n) {
  return m.ha_celle() && n >= 0 && n <= m.ultima_cella;
}

int64_t cella_punto(int64_t posizione) { return arrotonda_cinquantesimi(posizione, 1.0); }

std::optional<int64_t> memo_segnale(modello& m, dati_segnale& s, const racconto& racconta) {
  const int64_t n = cella_punto(s.posizione);
  cella& c = m.cella_a(static_cast<int32_t>(n));
  if (!cella_libera(c)) {
    m.codice_errore = 16;
    return n;
  }
  c.evento = kEventoSegnale;
  const uint32_t selettori = senza_segno(s.sx) * 3u + senza_segno(s.dx);
  c.dato4 = basso_16(senza_segno(s.rapp) * 10u + selettori);
  c.dato1 = cifre(s.s1, s.d1);
  c.dato2 = cifre(s.s2, s.d2);
  c.dato3 = cifre(s.s3, s.d3);
  // Every time from 1 to 100 counts as 101.
  if (s.tempo >= 1 && s.tempo <= 100) s.tempo = 101;
  c.tempo_segnale = s.sx == 2 ? basso_8(senza_segno(s.tempo)) : 0;
  for (uint32_t b = 1; b <= 4; ++b) {
    const int64_t marca = n - 2 * static_cast<int64_t>(b);
    // A signal near the start of the line is legitimate; only its marks
    // that would fall before cell 0 are lost.
    if (marca < 0) continue;
    m.cella_a(static_cast<int32_t>(marca)).preavviso = basso_8(selettori * 10u + b);
  }
  racconta.posato(n, kEventoSegnale);
  return std::nullopt;
}

punti_rallentamento punti_di(const dati_rallentamento& r) {
  punti_rallentamento p;
  const int64_t x_avviso = int64_t{r.x} - kDistanzaAvviso;
  p.ha_avviso = r.x > kAvvisoDa;
  p.ha_preavvisi = p.ha_avviso && r.f_ta != 0;
  p.avviso = arrotonda_cinquantesimi(x_avviso, 1.0);
  p.inizio = arrotonda_cinquantesimi(r.x, 1.0);
  p.fine = arrotonda_cinquantesimi(static_cast<int64_t>(r.x) + r.l, 1.0);
  p.indice = arrotonda_cinquantesimi(x_avviso, 0.0);
  return p;
}

bool rallentamento_dentro_celle(const modello& m, const punti_rallentamento& p) {
  if (!dentro_celle(m, p.inizio) || !dentro_celle(m, p.fine)) return false;
  if (p.ha_avviso && !dentro_celle(m, p.avviso)) return false;
  if (p.ha_preavvisi && (!dentro_celle(m, p.indice) || !dentro_celle(m, p.indice - 3))) {
    return false;
  }
  return true;
}

std::optional<int64_t> memo_rallentamento(modello& m, const dati_rallentamento& r,
                                          const racconto& racconta) {
  const punti_rallentamento p = punti_di(r);
  auto cella_di = [&m](int64_t n) -> cella& { return m.cella_a(static_cast<int32_t>(n)); };
  if (p.ha_avviso && !cella_libera(cella_di(p.avviso))) {
    m.codice_errore = 17;
    return p.avviso;
  }
  if (!cella_libera(cella_di(p.inizio))) {
    m.codice_errore = 18;
    return p.inizio;
  }
  if (!cella_libera(cella_di(p.fine))) {
    m.codice_errore = 19;
    return p.fine;
  }
  const int16_t v = basso_16(senza_segno(r.v));
  const int16_t d_v = basso_16(senza_segno(r.d_v));
  const int16_t f_tt = basso_16(senza_segno(r.f_tt));
  // The end first, then the start: a slowdown shorter than a cell has both
  // in one cell, which ends as a start point.
  cella& fine = cella_di(p.fine);
  fine.evento = kEventoFineRallentamento;
  if (r.d_v != 0) fine.dato2 = d_v;
  cella& inizio = cella_di(p.inizio);
  inizio.evento = kEventoInizioRallentamento;
  if (r.d_v != 0) inizio.dato2 = d_v;
  if (p.ha_avviso) {
    cella& avviso = cella_di(p.avviso);
    avviso.evento = kEventoAvvisoRallentamento;
    if (r.d_v != 0) avviso.dato2 = d_v;
    avviso.dato1 = v;
  }
  inizio.dato1 = v;
  fine.dato1 = v;
  inizio.dato3 = f_tt;
  fine.dato3 = f_tt;
  // The end first: a start in the same cell is told after it, as it stays.
  racconta.posato(p.fine, kEventoFineRallentamento);
  racconta.posato(p.inizio, kEventoInizioRallentamento);
  if (p.ha_avviso) racconta.posato(p.avviso, kEventoAvvisoRallentamento);
  if (!p.ha_preavvisi) return std::nullopt;
  for (int64_t j = 0; j <= 3; ++j) {
    if (!cella_libera(cella_di(p.indice - j))) {
      m.codice_errore = 20;
      return p.indice - j;
    }
  }
  for (int16_t j = 0; j <= 3; ++j) {
    cella& c = cella_di(p.indice - j);
    c.evento = kEventoPreavvisoRallentamento;
    c.dato1 = static_cast<int16_t>(j + 1);
    if (r.d_v != 0) c.dato2 = static_cast<int16_t>(j + 1);
    racconta.posato(p.indice - j, kEventoPreavvisoRallentamento);
  }
  return std::nullopt;
}

}  // namespace scenario
