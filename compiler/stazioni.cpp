// Station rows: 17 fields into one row of tabella, the station zone, the
// approach marks and the stop mark on the cells, and the checks between
// neighbouring stations.
#include <cstdint>

#include "compiler/lettore_treno.h"

namespace scenario {
namespace {

bool tipo_5_6(uint8_t tipo) { return tipo == 5 || tipo == 6; }
bool tipo_7_8(uint8_t tipo) { return tipo == 7 || tipo == 8; }

// Cells are counted from the zone's far end, which is always a multiple of
// 50 m (the position is one of 50, the platform length one of 100).
int64_t cella_fermata(const voce& r) { return r.fine / kMetriCella - 1; }

// The ten stored fields between the platform length and the time.
void leggi_campi(voce& r, flusso_campi& f) {
  r.campo4 = f.leggi_byte();
  r.campo5 = f.leggi_byte();
  r.campo6 = f.leggi_byte();
  r.campo7 = f.leggi_int16();
  r.campo8 = f.leggi_int16();
  r.campo9 = f.leggi_byte();
  r.campo10 = f.leggi_int16();
  r.campo11 = f.leggi_int16();
  r.campo12 = f.leggi_int16();
  r.campo13 = f.leggi_byte();
}

// Seconds after midnight, each step kept within 32 bits.
int32_t leggi_orario(flusso_campi& f) {
  const int32_t ore = f.leggi_int32();
  const int32_t minuti = f.leggi_int32();
  const int32_t secondi = f.leggi_int32();
  const int32_t in_minuti = entro_32_bit(entro_32_bit(int64_t{ore} * 60, f) + int64_t{minuti}, f);
  return entro_32_bit(entro_32_bit(int64_t{in_minuti} * 60, f) + int64_t{secondi}, f);
}

// The zone by kind; `lunghezza` is the platform length.
void calcola_zona(voce& r, int32_t lunghezza, const flusso_campi& f) {
  const int64_t posizione = r.posizione;
  if (tipo_5_6(r.tipo)) {
    r.fine = entro_32_bit(posizione + 150, f);
    r.inizio = entro_32_bit(posizione - lunghezza, f);
    r.campo6 = 0;
  } else if (tipo_7_8(r.tipo)) {
    r.inizio = entro_32_bit(posizione - lunghezza, f);
    r.fine = entro_32_bit(posizione + lunghezza, f);
    r.campo6 = 0;
  } else {
    r.inizio = entro_32_bit(posizione - lunghezza / 2, f);
    r.fine = entro_32_bit(posizione + lunghezza / 2, f);
    if (r.campo6 != 0) r.fine = entro_32_bit(int64_t{r.fine} + 50, f);
  }
}

// Cells fine/50 - 2 .. - 5 get 81..84; none on cell 1 or below.
void marca_avvicinamento(modello& m, const voce& r) {
  for (int32_t k = 1; k <= 4; ++k) {
    const int64_t n = cella_fermata(r) - k;
    if (n > 1) {
      m.cella_a(static_cast<int32_t>(n)).preavviso = static_cast<uint8_t>(kPreavvisoStazione + k);
    }
  }
}

}  // namespace

esito_riga leggi_stazione(modello& m, flusso_campi& f, int32_t& numero, int32_t pavimento,
                          const racconto& racconta) {
  voce& r = m.riga(numero);
  r.posizione = f.leggi_int32();
  auto causa = [&r](int32_t codice, std::size_t valore) {
    causa_codice c = causa_codice(codice).con_posizione(r.posizione).del_valore(valore);
    c.stazione = r;
    return c;
  };
  const int64_t limite = entro_32_bit(int64_t{r.posizione} + kMargineStazione, f);
  if (limite > int64_t{kMetriCella} * m.ultima_cella) {
    causa_codice c = causa(15, 0);
    c.limite = ultima_posizione(m, kMargineStazione);
    return oltre_le_celle(m, racconta, c);
  }
  if (r.posizione % kMetriCella != 0) return uscita_errore(m, racconta, causa(8, 0));
  r.tipo = f.leggi_byte();
  const int32_t lunghezza = f.leggi_int32();
  if (lunghezza % kPassoBanchina != 0) return uscita_errore(m, racconta, causa(9, 2));
  leggi_campi(r, f);
  r.orario = leggi_orario(f);
  r.nome = f.leggi_testo_tabella();
  calcola_zona(r, lunghezza, f);

  // The margin above covers the reference point only; a long platform can
  // still carry the stop mark past the strip.
  const bool con_fermata = r.tipo < kSenzaMarche;
  if (con_fermata && cella_fermata(r) > 1 && cella_fermata(r) > m.ultima_cella) {
    causa_codice c = causa(15, 2);
    c.cella = cella_fermata(r);
    return oltre_le_celle(m, racconta, c);
  }
  if (lunghezza < 600) r.campo5 = 0;
  if (numero == 1) {
    r.campo6 = 0;
    r.campo5 = 0;
  }
  if (con_fermata && !tipo_5_6(r.tipo)) marca_avvicinamento(m, r);
  if (con_fermata) {
    if (cella_fermata(r) <= 1) {
      causa_codice c = causa(24, 0).sulla_cella(cella_fermata(r));
      c.posizione.reset();
      return uscita_errore(m, racconta, c);
    }
    cella& fermata = m.cella_a(static_cast<int32_t>(cella_fermata(r)));
    fermata.evento = kEventoFermata;
    fermata.dato1 = static_cast<int16_t>(numero);
    racconta.posato(cella_fermata(r), kEventoFermata);
  }
  if (numero > 1 &&
      entro_32_bit(int64_t{r.inizio} - kDistanzaStazioni, f) < m.riga(numero - 1).fine) {
    causa_codice c = causa(22, 0);
    c.limite = m.riga(numero - 1).fine;
    return uscita_errore(m, racconta, c);
  }
  ++numero;
  if (numero >= pavimento) {
    causa_codice c = causa(10, 0);
    c.posizione.reset();
    return uscita_errore(m, racconta, c);
  }
  return esito_riga::prosegui;
}

}  // namespace scenario
