// The embedded train text read into a route model: what the program's own
// run puts into the table and the cells.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/scrittore_testo.h"
#include "compiler/lettori.h"
#include "compiler/modello.h"
#include "compiler/sorgente.h"
#include "scenario/dati_treno.h"

namespace scenario {
namespace {

struct stazione_attesa {
  int32_t posizione;
  uint8_t tipo;
  int32_t inizio;
  int32_t fine;
  int32_t orario;
  const char* nome;
  int32_t cella_fermata;  // -1: no stop mark
  uint8_t campo13;
};

constexpr stazione_attesa kStazioni[] = {
    {0, 8, -300, 300, 24'360, "ULMO", 5, 1},
    {5'650, 27, 5'450, 5'850, 0, "2\xB0 bivio ULMO NORD", -1, 0},
    {8'400, 24, 8'200, 8'600, 24'720, "VESSANO", 171, 30},
    {13'500, 22, 13'300, 13'700, 25'740, "TARVIGNANO-LUCERNO", 273, 60},
    {19'000, 24, 18'850, 19'150, 26'310, "BRUCIGNANO", 382, 60},
    {20'650, 25, 20'550, 20'750, 26'490, "S. ILARIO", -1, 30},
    {30'000, 24, 29'850, 30'150, 26'970, "GROTTE S. MARTINO", 602, 30},
    {40'250, 24, 40'100, 40'400, 27'600, "MONTEBRUNESCO", 807, 30},
    {52'650, 12, 52'500, 52'800, 28'260, "ROVESCO P.A.", 1'055, 0},
};

// A stretch of cells [da, a] with one value.
struct tratto {
  int32_t da;
  int32_t a;
  uint8_t valore;
};

constexpr tratto kVelocita[] = {
    {0, 9, 6},        {10, 269, 21},      {270, 371, 18},    {372, 413, 15}, {414, 530, 17},
    {531, 591, 18},   {592, 631, 17},     {632, 710, 20},    {711, 804, 17}, {805, 890, 15},
    {891, 1'010, 17}, {1'011, 1'277, 14}, {1'278, 1'280, 0},
};

constexpr tratto kAderenza[] = {
    {0, 407, 100},  {408, 437, 79}, {438, 457, 85},   {458, 749, 95},
    {750, 779, 81}, {780, 810, 77}, {811, 1'277, 86}, {1'278, 1'280, 0},
};

const std::vector<int32_t> kCelleSegnali = {31,  58,  84,  109, 132, 151, 228,   251,
                                            333, 359, 559, 583, 769, 791, 1'011, 1'037};

void verifica_stazioni(const modello& m) {
  for (int n = 1; n <= 9; ++n) {
    SCOPED_TRACE(n);
    const stazione_attesa& s = kStazioni[n - 1];
    const voce& r = m.riga(n);
    EXPECT_EQ(r.posizione, s.posizione);
    EXPECT_EQ(r.tipo, s.tipo);
    EXPECT_EQ(r.inizio, s.inizio);
    EXPECT_EQ(r.fine, s.fine);
    EXPECT_EQ(r.orario, s.orario);
    EXPECT_EQ(r.nome, s.nome);
    EXPECT_EQ(r.campo5, 0);
    EXPECT_EQ(r.campo6, 0);
    EXPECT_EQ(r.campo4, n == 1 ? 1 : 0);
    EXPECT_EQ(r.campo13, s.campo13);
    if (s.cella_fermata >= 0) {
      EXPECT_EQ(m.cella_a(s.cella_fermata).evento, 10);
      EXPECT_EQ(m.cella_a(s.cella_fermata).dato1, n);
      EXPECT_EQ(m.cella_a(s.cella_fermata - 1).preavviso, 81);
      // Station 1's fourth mark would fall on cell 1: it has none.
      EXPECT_EQ(m.cella_a(s.cella_fermata - 4).preavviso, n == 1 ? 0 : 84);
    }
  }
  EXPECT_EQ(m.riga(10).posizione, 0);
  EXPECT_EQ(m.riga(10).nome, "");
  EXPECT_EQ(m.riga(1).campo7, 4);
  EXPECT_EQ(m.riga(9).campo7, 1);
  EXPECT_EQ(m.riga(9).campo10, 2);
  EXPECT_EQ(m.riga(3).campo10, 4);
  EXPECT_EQ(m.riga(2).campo10, 0);
}

void verifica_cella_per_cella(const modello& m) {
  // Station 1: marks 81, 82, 83 on cells 4, 3, 2, none on cell 1.
  EXPECT_EQ(m.cella_a(4).preavviso, 81);
  EXPECT_EQ(m.cella_a(3).preavviso, 82);
  EXPECT_EQ(m.cella_a(2).preavviso, 83);
  EXPECT_EQ(m.cella_a(1).preavviso, 0);
  // Signal at 1 500 m.
  const cella& s = m.cella_a(31);
  EXPECT_EQ(s.evento, 1);
  EXPECT_EQ(s.dato1, 42);
  EXPECT_EQ(s.dato2, 0);
  EXPECT_EQ(s.dato3, 0);
  EXPECT_EQ(s.dato4, 5);
  EXPECT_EQ(s.tempo_segnale, 0);
  EXPECT_EQ(m.cella_a(29).preavviso, 51);
  EXPECT_EQ(m.cella_a(27).preavviso, 52);
  EXPECT_EQ(m.cella_a(25).preavviso, 53);
  EXPECT_EQ(m.cella_a(23).preavviso, 54);
  // The two signals with sx 2 and time 230; the one at 7 500 m has time 0.
  EXPECT_EQ(m.cella_a(251).tempo_segnale, 230);
  EXPECT_EQ(m.cella_a(1'037).tempo_segnale, 230);
  EXPECT_EQ(m.cella_a(151).tempo_segnale, 0);
  // Slowdown at 2 800 m: warning 33, start 57, end 66.
  for (auto [n, evento] : {std::pair{33, 4}, std::pair{57, 3}, std::pair{66, 2}}) {
    EXPECT_EQ(m.cella_a(n).evento, evento) << n;
    EXPECT_EQ(m.cella_a(n).dato1, 60) << n;
    EXPECT_EQ(m.cella_a(n).dato2, 60) << n;
    EXPECT_EQ(m.cella_a(n).dato3, 0) << n;
  }
  // Slowdown at 5 450 m: warning 86, start 110, end 118.
  for (auto [n, evento] : {std::pair{86, 4}, std::pair{110, 3}, std::pair{118, 2}}) {
    EXPECT_EQ(m.cella_a(n).evento, evento) << n;
    EXPECT_EQ(m.cella_a(n).dato1, 40) << n;
  }
}

void verifica_profili(const modello& m) {
  for (const tratto& t : kVelocita) {
    for (int32_t n = t.da; n <= t.a; ++n) {
      ASSERT_EQ(m.cella_a(n).vel_limite, t.valore) << "speed, cell " << n;
    }
  }
  for (const tratto& t : kAderenza) {
    for (int32_t n = t.da; n <= t.a; ++n) {
      ASSERT_EQ(m.cella_a(n).aderenza, t.valore) << "adhesion, cell " << n;
    }
  }
}

std::vector<int32_t> celle_con_evento(const modello& m, uint8_t evento) {
  std::vector<int32_t> n;
  for (int32_t i = 0; i <= m.ultima_cella; ++i) {
    if (m.cella_a(i).evento == evento) n.push_back(i);
  }
  return n;
}

// The train half over a model the line half would leave for the embedded
// route: 57 000 m and 24 board texts.
class TrenoIncorporato : public ::testing::Test {
 protected:
  TrenoIncorporato() : sorgente(testo_da_righe(righe_dati_treno())) {
    dimensiona(m, 57'000);
    valori.voce_cartello = 56;
    leggi_treno(m, sorgente, valori);
  }
  modello m;
  valori_lettura valori;
  sorgente_in_memoria sorgente;
};

TEST_F(TrenoIncorporato, ReadsWithoutErrorAndDeletesTheText) {
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_FALSE(sorgente.esiste());
}

TEST_F(TrenoIncorporato, TrainConstants) {
  EXPECT_EQ(m.riga(84).posizione, 5);
  EXPECT_EQ(m.riga(84).inizio, 100);
  EXPECT_EQ(m.riga(86).campo7, 150);
  EXPECT_EQ(m.riga(86).campo10, 6);
  EXPECT_EQ(m.riga(86).campo11, 45);
  EXPECT_EQ(m.riga(86).campo12, 42);
}

TEST_F(TrenoIncorporato, NineStations) { verifica_stazioni(m); }

TEST_F(TrenoIncorporato, SixteenSignalsTwoSlowdownsNoPreWarning) {
  EXPECT_EQ(celle_con_evento(m, 1), kCelleSegnali);
  EXPECT_EQ(celle_con_evento(m, 4), (std::vector<int32_t>{33, 86}));
  EXPECT_EQ(celle_con_evento(m, 3), (std::vector<int32_t>{57, 110}));
  EXPECT_EQ(celle_con_evento(m, 2), (std::vector<int32_t>{66, 118}));
  EXPECT_TRUE(celle_con_evento(m, 5).empty());
  EXPECT_EQ(celle_con_evento(m, 10), (std::vector<int32_t>{5, 171, 273, 382, 602, 807, 1'055}));
}

TEST_F(TrenoIncorporato, ConcreteCells) { verifica_cella_per_cella(m); }

TEST_F(TrenoIncorporato, SpeedAndAdhesionProfiles) { verifica_profili(m); }

}  // namespace
}  // namespace scenario
