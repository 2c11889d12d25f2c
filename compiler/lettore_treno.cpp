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

namespace scenario {
namespace {

// Rows 1 up to the lowest board row are the stations'.
constexpr int32_t kPrimaRigaCartelli = 80;
// Objects stand this far before the end of the strip at most.
constexpr int64_t kMargineRiga = 100;

// The working values of one reading: the fill indexes and the values the
// last speed and adhesion rows left to fill with.
struct riempimenti {
  int32_t indice_velocita = 0;
  int32_t indice_aderenza = 0;
  int32_t& velocita_prec;
  int32_t& aderenza_prec;
};

// The speed limit is kept in km/h divided by 5, in one byte.
uint8_t velocita_in_byte(int32_t velocita, const flusso_campi& f) {
  const double quinti = arrotonda_pari(static_cast<double>(velocita) / 5.0);
  if (quinti < 0 || quinti > 255) {
    throw errore_lettura("the speed limit " + std::to_string(velocita) +
                             " km/h does not fit a byte once divided by 5 (at most 1277)",
                         f.posizione());
  }
  return static_cast<uint8_t>(quinti);
}

uint8_t aderenza_in_byte(int32_t aderenza) {
  return static_cast<uint8_t>(static_cast<uint32_t>(aderenza) & 0xFFu);
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
    m.cella_a(r.indice_aderenza).aderenza = aderenza_in_byte(r.aderenza_prec);
    ++r.indice_aderenza;
  } while (r.indice_aderenza < n);
}

esito_riga riga_velocita(modello& m, flusso_campi& f, riempimenti& r) {
  const int32_t p = f.leggi_int32();
  const int32_t v = f.leggi_int32();
  if (posizione_oltre_celle(m, p, f)) return oltre_le_celle(m, p);
  const int64_t n = cella_arrotondata(p);
  if (n > 0) riempi_velocita(m, r, n, f);
  r.velocita_prec = v;
  return esito_riga::prosegui;
}

esito_riga riga_aderenza(modello& m, flusso_campi& f, riempimenti& r) {
  const int32_t p = f.leggi_int32();
  const int32_t a = f.leggi_int32();
  if (posizione_oltre_celle(m, p, f)) return oltre_le_celle(m, p);
  const int64_t n = cella_arrotondata(p);
  if (n > 0) riempi_aderenza(m, r, n);
  r.aderenza_prec = a;
  return esito_riga::prosegui;
}

void riga_orologio(modello& m, flusso_campi& f) {
  voce& r = m.riga(86);
  r.campo10 = f.leggi_int16();
  r.campo11 = f.leggi_int16();
  r.campo12 = f.leggi_int16();
}

esito_riga riga_segnale(modello& m, flusso_campi& f) {
  dati_segnale s;
  for (int32_t* valore :
       {&s.posizione, &s.sx, &s.s1, &s.s2, &s.s3, &s.rapp, &s.dx, &s.d1, &s.d2, &s.d3, &s.tempo}) {
    *valore = f.leggi_int32();
  }
  if (posizione_oltre_celle(m, s.posizione, f)) return oltre_le_celle(m, s.posizione);
  if (!dentro_celle(m, cella_punto(s.posizione))) return oltre_le_celle(m, s.posizione);
  memo_segnale(m, s);
  // Any code on record stops here, also one the line half left.
  if (m.codice_errore > 0) return uscita_errore(m, m.codice_errore, s.posizione);
  return esito_riga::prosegui;
}

esito_riga riga_rallentamento(modello& m, flusso_campi& f) {
  dati_rallentamento r;
  for (int32_t* valore : {&r.x, &r.v, &r.l, &r.f_tt, &r.f_ta, &r.d_v}) *valore = f.leggi_int32();
  if (posizione_oltre_celle(m, r.x, f)) return oltre_le_celle(m, r.x);
  entro_32_bit(int64_t{r.x} - 1'200, f);
  entro_32_bit(int64_t{r.x} + r.l, f);
  if (!rallentamento_dentro_celle(m, punti_di(r))) return oltre_le_celle(m, r.x);
  memo_rallentamento(m, r);
  if (m.codice_errore > 0) return uscita_errore(m, m.codice_errore, r.x);
  return esito_riga::prosegui;
}

esito_riga riga_abbattimento(modello& m, flusso_campi& f) {
  const int32_t p = f.leggi_int32();
  const int32_t t = f.leggi_int32();
  if (posizione_oltre_celle(m, p, f)) return oltre_le_celle(m, p);
  const int64_t n = cella_arrotondata(p);
  if (!dentro_celle(m, n)) return oltre_le_celle(m, p);
  cella& c = m.cella_a(static_cast<int32_t>(n));
  if (!cella_libera(c)) return uscita_errore(m, 7, p);
  if (t > 0) {
    c.evento = kEventoPuntoCodice;
    c.dato1 = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(t) & 0xFFFFu));
  } else {
    c.evento = kEventoAbbattimento;
  }
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
};

// The ten keyword tests, in their order, each on the same keyword field: a
// field may pass more than one.
esito_riga tratta_riga(lettura& l, const std::string& riga) {
  const std::string chiave = minuscolo_1252(riga);
  auto ha = [&chiave, &l](std::string_view parola, tipo_riga tipo) {
    if (!contiene(chiave, parola)) return false;
    l.racconta.riga(tipo);
    return true;
  };
  auto ha_entrambe = [&chiave, &l](std::string_view a, std::string_view b, tipo_riga tipo) {
    if (!contiene(chiave, a) || !contiene(chiave, b)) return false;
    l.racconta.riga(tipo);
    return true;
  };
  modello& m = l.m;
  flusso_campi& f = l.f;
  if (ha_entrambe("frenata", "massa", tipo_riga::massa_frenata)) {
    m.riga(84).inizio = f.leggi_int32();
  }
  if (ha("vetture", tipo_riga::vetture)) m.riga(84).posizione = f.leggi_int32();
  if (ha("velocit", tipo_riga::velocita)) {
    if (auto e = riga_velocita(m, f, l.r); e != esito_riga::prosegui) return e;
  }
  if (ha("aderenza", tipo_riga::aderenza)) {
    if (auto e = riga_aderenza(m, f, l.r); e != esito_riga::prosegui) return e;
  }
  if (ha("orologio", tipo_riga::orologio)) riga_orologio(m, f);
  if (ha("sabbia", tipo_riga::sabbia)) m.riga(86).campo7 = f.leggi_int16();
  if (ha("segnale", tipo_riga::segnale)) {
    if (auto e = riga_segnale(m, f); e != esito_riga::prosegui) return e;
  }
  if (ha("rallentamento", tipo_riga::rallentamento)) {
    if (auto e = riga_rallentamento(m, f); e != esito_riga::prosegui) return e;
  }
  if (ha("abbattimento", tipo_riga::abbattimento)) {
    if (auto e = riga_abbattimento(m, f); e != esito_riga::prosegui) return e;
  }
  if (ha("stazione", tipo_riga::stazione)) return leggi_stazione(m, f, l.stazione, l.pavimento);
  return esito_riga::prosegui;
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

// The line's kilometre reference rows must stand on whole cells.
void controlla_riferimenti(modello& m) {
  bool fuori_passo = false;
  for (int i = 81; i <= 83; ++i) {
    const voce& r = m.riga(i);
    if (r.inizio % kMetriCella != 0 || r.fine % kMetriCella != 0) fuori_passo = true;
  }
  if (fuori_passo) m.codice_errore = 2;
}

}  // namespace

int64_t cella_arrotondata(int64_t metri) {
  return static_cast<int64_t>(arrotonda_pari(static_cast<double>(metri) / 50.0));
}

esito_riga uscita_errore(modello& m, int32_t codice) {
  m.codice_errore = codice;
  return esito_riga::uscita;
}

esito_riga uscita_errore(modello& m, int32_t codice, int32_t posizione) {
  m.posizione_errore = posizione;
  return uscita_errore(m, codice);
}

esito_riga oltre_le_celle(modello& m, int32_t posizione) {
  m.codice_errore = 15;
  m.posizione_errore = posizione;
  return esito_riga::fine_lettura;
}

bool posizione_oltre_celle(const modello& m, int32_t posizione, const flusso_campi& f) {
  const int64_t margine = entro_32_bit(int64_t{posizione} + kMargineRiga, f);
  return margine > int64_t{kMetriCella} * m.ultima_cella;
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
            riempimenti{0, 0, valori.velocita_prec, valori.aderenza_prec},
            1,
            std::min(valori.voce_cartello, kPrimaRigaCartelli),
            racconta};
  salta_a_generale(f);
  while (auto riga = prossima_chiave(f, racconta)) {
    const esito_riga esito = tratta_riga(l, *riga);
    if (esito == esito_riga::fine_lettura) break;
    if (esito == esito_riga::uscita) {
      treno.elimina();
      return;
    }
  }
  treno.elimina();
  completa_profili(m, l.r, f);
  controlla_riferimenti(m);
}

}  // namespace scenario
