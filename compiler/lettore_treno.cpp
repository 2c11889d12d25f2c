// The train half of memorizza_dati: reads the train text field by field into
// the model, deletes it, completes the speed and adhesion profiles and checks
// the line's kilometre reference rows.
#include "compiler/lettore_treno.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "base/codifica.h"
#include "compiler/lettori.h"
#include "compiler/righe.h"

namespace scenario {
namespace {

// The working values of one reading: the fill indexes and the values the
// last speed and adhesion rows left to fill with.
struct riempimenti {
  int32_t indice_velocita = 0;
  int32_t indice_aderenza = 0;
  int32_t& velocita_prec;
  int32_t& aderenza_prec;
  int32_t velocita_valida = 0;  // the last limit a cell can keep
};

// The speed limit is kept in km/h divided by 5, in one byte.
uint8_t velocita_in_byte(int32_t velocita, const flusso_campi& f) {
  const std::optional<uint8_t> quinti = byte_velocita(velocita);
  if (!quinti) {
    throw errore_lettura("the speed limit " + std::to_string(velocita) +
                             " km/h does not fit a byte once divided by 5 (at most 1277)",
                         f.posizione());
  }
  return *quinti;
}

// Writes the previous speed from the fill index on, up to cell n (at least
// one cell), never into the last cell.
void riempi_velocita(modello& m, riempimenti& r, int64_t n, const flusso_campi& f) {
  do {
    if (r.indice_velocita >= m.ultima_cella) return;
    m.cella_a(r.indice_velocita).vel_limite = velocita_in_byte(r.velocita_prec, f);
    ++r.indice_velocita;
  } while (r.indice_velocita < n);
}

// The same for the adhesion, which may reach the last cell but never goes
// beyond it: rows out of order can push the fill index that far.
void riempi_aderenza(modello& m, riempimenti& r, int64_t n) {
  do {
    if (r.indice_aderenza > m.ultima_cella) return;
    m.cella_a(r.indice_aderenza).aderenza = byte_aderenza(r.aderenza_prec);
    ++r.indice_aderenza;
  } while (r.indice_aderenza < n);
}

// 15 for a row whose position check fails.
esito_riga oltre_posizione(modello& m, const racconto& racconta, int32_t p) {
  return oltre_le_celle(m, racconta,
                        causa_codice(15).con_posizione(p).del_valore(0).con_limite(
                            ultima_posizione(m, kMargineRiga)));
}

// `da_parte`: a reading that sets failing rows aside. A limit no cell can
// keep fails the fill that uses it, at a later row: that reading tells the
// failure, sets the row of the limit aside (the cells keep the limit before
// it) and goes on with this row.
esito_riga riga_velocita(modello& m, flusso_campi& f, riempimenti& r, const racconto& racconta,
                         bool da_parte) {
  const int32_t p = f.leggi_int32();
  const int32_t v = f.leggi_int32();
  if (posizione_oltre_celle(m, p, f)) return oltre_posizione(m, racconta, p);
  const int64_t n = cella_arrotondata(p);
  if (n > 0) {
    try {
      riempi_velocita(m, r, n, f);
    } catch (const errore_lettura& e) {
      if (!da_parte) throw;
      racconta.fallita(e.posizione(), e.what());
      r.velocita_prec = r.velocita_valida;
      riempi_velocita(m, r, n, f);
    }
  }
  r.velocita_prec = v;
  if (byte_velocita(v)) r.velocita_valida = v;
  return esito_riga::prosegui;
}

esito_riga riga_aderenza(modello& m, flusso_campi& f, riempimenti& r, const racconto& racconta) {
  const int32_t p = f.leggi_int32();
  const int32_t a = f.leggi_int32();
  if (posizione_oltre_celle(m, p, f)) return oltre_posizione(m, racconta, p);
  const int64_t n = cella_arrotondata(p);
  if (n > 0) riempi_aderenza(m, r, n);
  r.aderenza_prec = a;
  return esito_riga::prosegui;
}

void riga_orologio(modello& m, flusso_campi& f) {
  voce& r = m.riga(kRigaDatiTreno);
  r.campo10 = f.leggi_int16();
  r.campo11 = f.leggi_int16();
  r.campo12 = f.leggi_int16();
}

// Any code on record stops the reading at a signal or slowdown row, also one
// the line half left (its 15): the row only moves the position.
esito_riga codice_in_sospeso(modello& m, const racconto& racconta, int32_t posizione) {
  if (m.codice_errore <= 0) return esito_riga::prosegui;
  return uscita_errore(
      m, racconta,
      causa_codice(m.codice_errore).con_posizione(posizione).del_valore(0).gia_registrato());
}

esito_riga riga_segnale(modello& m, flusso_campi& f, const racconto& racconta) {
  dati_segnale s;
  for (int32_t* valore :
       {&s.posizione, &s.sx, &s.s1, &s.s2, &s.s3, &s.rapp, &s.dx, &s.d1, &s.d2, &s.d3, &s.tempo}) {
    *valore = f.leggi_int32();
  }
  if (posizione_oltre_celle(m, s.posizione, f)) return oltre_posizione(m, racconta, s.posizione);
  const int64_t n = cella_punto(s.posizione);
  if (!dentro_celle(m, n)) {
    return oltre_le_celle(m, racconta,
                          causa_codice(15).con_posizione(s.posizione).del_valore(0).sulla_cella(n));
  }
  const uint8_t prima = m.cella_a(static_cast<int32_t>(n)).evento;
  if (memo_segnale(m, s, racconta)) {
    return uscita_errore(m, racconta,
                         causa_codice(16)
                             .con_posizione(s.posizione)
                             .del_valore(0)
                             .sulla_cella(n)
                             .occupata_da(prima));
  }
  return codice_in_sospeso(m, racconta, s.posizione);
}

// The value of a slowdown row whose cell code `codice` concerns: the length
// for its end, else its start.
std::size_t valore_rallentamento(int32_t codice) { return codice == 19 ? 2 : codice == 20 ? 4 : 0; }

esito_riga riga_rallentamento(modello& m, flusso_campi& f, const racconto& racconta) {
  dati_rallentamento r;
  for (int32_t* valore : {&r.x, &r.v, &r.l, &r.f_tt, &r.f_ta, &r.d_v}) *valore = f.leggi_int32();
  if (posizione_oltre_celle(m, r.x, f)) return oltre_posizione(m, racconta, r.x);
  entro_32_bit(int64_t{r.x} - kDistanzaAvviso, f);
  entro_32_bit(int64_t{r.x} + r.l, f);
  const punti_rallentamento punti = punti_di(r);
  if (!rallentamento_dentro_celle(m, punti)) {
    const std::size_t valore = dentro_celle(m, punti.fine) ? 0 : 2;
    return oltre_le_celle(m, racconta, causa_codice(15).con_posizione(r.x).del_valore(valore));
  }
  if (const std::optional<int64_t> presa = memo_rallentamento(m, r, racconta)) {
    const int32_t codice = m.codice_errore;
    const uint8_t occupante = m.cella_a(static_cast<int32_t>(*presa)).evento;
    return uscita_errore(m, racconta,
                         causa_codice(codice)
                             .con_posizione(r.x)
                             .del_valore(valore_rallentamento(codice))
                             .sulla_cella(*presa)
                             .occupata_da(occupante));
  }
  return codice_in_sospeso(m, racconta, r.x);
}

esito_riga riga_abbattimento(modello& m, flusso_campi& f, const racconto& racconta) {
  const int32_t p = f.leggi_int32();
  const int32_t t = f.leggi_int32();
  if (posizione_oltre_celle(m, p, f)) return oltre_posizione(m, racconta, p);
  const int64_t n = cella_arrotondata(p);
  if (!dentro_celle(m, n)) {
    return oltre_le_celle(m, racconta,
                          causa_codice(15).con_posizione(p).del_valore(0).sulla_cella(n));
  }
  cella& c = m.cella_a(static_cast<int32_t>(n));
  if (!cella_libera(c)) {
    return uscita_errore(
        m, racconta,
        causa_codice(7).con_posizione(p).del_valore(0).sulla_cella(n).occupata_da(c.evento));
  }
  if (t > 0) {
    c.evento = kEventoPuntoCodice;
    c.dato1 = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(t) & 0xFFFFu));
  } else {
    c.evento = kEventoAbbattimento;
  }
  racconta.posato(n, c.evento);
  return esito_riga::prosegui;
}

// The reading state the keyword tests share.
struct lettura {
  modello& m;
  flusso_campi& f;
  riempimenti r;
  int32_t stazione = 1;
  int32_t pavimento;
  racconto racconta;
  bool risincronizza = false;
};

// The ten keyword tests, in their order, each on the same keyword field: a
// field may pass more than one.
esito_riga tratta_riga(lettura& l, const std::string& riga) {
  const std::string chiave = minuscolo_1252(riga);
  auto ha = [&riga, &chiave, &l](tipo_riga tipo) {
    if (!passa(tipo, riga, chiave)) return false;
    l.racconta.riga(tipo);
    return true;
  };
  modello& m = l.m;
  flusso_campi& f = l.f;
  if (ha(tipo_riga::massa_frenata)) m.riga(kRigaDatiGenerali).inizio = f.leggi_int32();
  if (ha(tipo_riga::vetture)) m.riga(kRigaDatiGenerali).posizione = f.leggi_int32();
  if (ha(tipo_riga::velocita)) {
    if (auto e = riga_velocita(m, f, l.r, l.racconta, l.risincronizza); e != esito_riga::prosegui)
      return e;
  }
  if (ha(tipo_riga::aderenza)) {
    if (auto e = riga_aderenza(m, f, l.r, l.racconta); e != esito_riga::prosegui) return e;
  }
  if (ha(tipo_riga::orologio)) riga_orologio(m, f);
  if (ha(tipo_riga::sabbia)) m.riga(kRigaDatiTreno).campo7 = f.leggi_int16();
  if (ha(tipo_riga::segnale)) {
    if (auto e = riga_segnale(m, f, l.racconta); e != esito_riga::prosegui) return e;
  }
  if (ha(tipo_riga::rallentamento)) {
    if (auto e = riga_rallentamento(m, f, l.racconta); e != esito_riga::prosegui) return e;
  }
  if (ha(tipo_riga::abbattimento)) {
    if (auto e = riga_abbattimento(m, f, l.racconta); e != esito_riga::prosegui) return e;
  }
  if (ha(tipo_riga::stazione)) return leggi_stazione(m, f, l.stazione, l.pavimento, l.racconta);
  return esito_riga::prosegui;
}

// One row in a reading that sets failing rows aside: its code is told and
// none stays on record, a read failure in it is told, and the reading goes
// on at the next line (where the row's line ends when it has read it all).
void tratta_o_metti_da_parte(lettura& l, const std::string& riga) {
  // A station row set aside fills no table row: the next one takes its number.
  const int32_t stazione = l.stazione;
  try {
    if (tratta_riga(l, riga) != esito_riga::prosegui) {
      l.m.codice_errore = 0;
      l.stazione = stazione;
      // A check that failed before the row's last value: the rest of its line goes too.
      l.f.riprendi_dopo_riga(l.f.posizione());
    }
  } catch (const errore_lettura& e) {
    l.stazione = stazione;
    l.racconta.fallita(e.posizione(), e.what());
    l.f.riprendi_dopo_riga(e.posizione() > 0 ? e.posizione() : l.f.inizio_campo());
  }
}

// Everything up to and including the first field holding "[generale]"; a
// text without one has no rows.
void salta_a_generale(flusso_campi& f) {
  while (!f.eof()) {
    if (contiene_senza_maiuscole(f.leggi_testo(), "[generale]")) return;
  }
}

// The next keyword field, or nothing when the text ends first. A field with
// a dash (a comment) gives way to the next one, at most twice in a row; the
// field the text ends on is never a keyword.
std::optional<std::string> prossima_chiave(flusso_campi& f, const racconto& racconta) {
  if (f.eof()) return std::nullopt;
  racconta.inizio_chiave();
  std::string riga = f.leggi_testo();
  if (f.eof()) return std::nullopt;
  for (int salti = 0; salti < 2 && contiene(riga, "-"); ++salti) {
    riga = f.leggi_testo();
    if (f.eof()) return std::nullopt;
  }
  racconta.chiave();
  return riga;
}

// After the rows, both profiles reach every cell up to the third from last.
void completa_profili(modello& m, riempimenti& r, const flusso_campi& f) {
  const int64_t fino_a = int64_t{m.ultima_cella} - 2;
  do {
    if (r.indice_velocita > m.ultima_cella) break;
    m.cella_a(r.indice_velocita).vel_limite = velocita_in_byte(r.velocita_prec, f);
    ++r.indice_velocita;
  } while (r.indice_velocita < fino_a);
  riempi_aderenza(m, r, fino_a);
}

// The line's kilometre reference rows must stand on whole cells. The first
// row off the grid is told as the cause's table row.
void controlla_riferimenti(modello& m, const racconto& racconta) {
  std::optional<int32_t> fuori_passo;
  for (int32_t i = kRigaProgressivaTre; i <= kRigaProgressivaUno; ++i) {
    const voce& r = m.riga(i);
    if ((r.inizio % kMetriCella != 0 || r.fine % kMetriCella != 0) && !fuori_passo) {
      fuori_passo = i;
    }
  }
  if (!fuori_passo) return;
  m.codice_errore = 2;
  causa_codice causa(2);
  causa.riga_tabella = fuori_passo;
  racconta.codice(causa);
}

}  // namespace

int64_t cella_arrotondata(int64_t metri) {
  return static_cast<int64_t>(arrotonda_pari(static_cast<double>(metri) / 50.0));
}

esito_riga uscita_errore(modello& m, const racconto& racconta, const causa_codice& causa) {
  m.codice_errore = causa.codice;
  if (causa.posizione) m.posizione_errore = *causa.posizione;
  racconta.codice(causa);
  return esito_riga::uscita;
}

esito_riga oltre_le_celle(modello& m, const racconto& racconta, causa_codice causa) {
  causa.codice = 15;
  m.codice_errore = 15;
  if (causa.posizione) m.posizione_errore = *causa.posizione;
  racconta.codice(causa);
  return esito_riga::fine_lettura;
}

int64_t ultima_posizione(const modello& m, int64_t margine) {
  return int64_t{kMetriCella} * m.ultima_cella - margine;
}

bool posizione_oltre_celle(const modello& m, int32_t posizione, const flusso_campi& f) {
  const int64_t con_margine = entro_32_bit(int64_t{posizione} + kMargineRiga, f);
  return con_margine > int64_t{kMetriCella} * m.ultima_cella;
}

void leggi_treno(modello& m, testo_sorgente& treno, valori_lettura& valori) {
  const racconto racconta(valori.osservatore);
  racconta.testo(testo_letto::treno);
  const std::string testo = leggi_sorgente(treno);
  flusso_campi f(testo);
  f.osserva(valori.osservatore);
  if (!m.ha_celle()) throw errore_lettura("the route has no cells to lay the train on", 0);
  // Cells before the first speed or adhesion row get 0, whatever the line
  // half may have left in these working values.
  valori.velocita_prec = 0;
  valori.aderenza_prec = 0;
  // The floor never lets stations past row 79 into the board and constant rows.
  lettura l{m,
            f,
            riempimenti{0, 0, valori.velocita_prec, valori.aderenza_prec, 0},
            1,
            std::min(valori.voce_cartello, kRigaPrimoCartello),
            racconta,
            valori.risincronizza};
  salta_a_generale(f);
  while (auto riga = prossima_chiave(f, racconta)) {
    if (l.risincronizza) {
      tratta_o_metti_da_parte(l, *riga);
      continue;
    }
    const esito_riga esito = tratta_riga(l, *riga);
    if (esito == esito_riga::fine_lettura) break;
    if (esito == esito_riga::uscita) {
      treno.elimina();
      return;
    }
  }
  treno.elimina();
  completa_profili(m, l.r, f);
  controlla_riferimenti(m, racconta);
}

}  // namespace scenario
