// The embedded train text read into a route model: what the program's own
// run puts into the table and the cells, first over a route sized by hand,
// then after the embedded line text, and in the compiled files of a run.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/esecuzione.h"
#include "app/piattaforma.h"
#include "base/scrittore_testo.h"
#include "compiler/lettori.h"
#include "compiler/memorizza_dati.h"
#include "compiler/modello.h"
#include "compiler/sorgente.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "supporto.h"

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

// The whole compile of the embedded scenario: the line text first, which
// sizes the strip and leaves 24 board texts in rows 80..57, then the train.
class ScenarioIncorporato : public ::testing::Test {
 protected:
  ScenarioIncorporato()
      : linea(testo_da_righe(righe_dati_linea())), treno(testo_da_righe(righe_dati_treno())) {
    m.percorso = std::string(kPercorso);
    m.treno = std::string(kTreno);
    m.crea_tracciato = 1;
    pulisci_tabella(m);
    memorizza_dati(m, linea, treno);
  }
  modello m;
  sorgente_in_memoria linea;
  sorgente_in_memoria treno;
};

TEST_F(ScenarioIncorporato, ReadsWithoutErrorAndDeletesBothTexts) {
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.ultima_cella, 1'280);
  EXPECT_FALSE(linea.esiste());
  EXPECT_FALSE(treno.esiste());
}

TEST_F(ScenarioIncorporato, StationsBelowTheBoardTexts) {
  verifica_stazioni(m);
  for (int n = 57; n <= 80; ++n) EXPECT_NE(m.riga(n).nome, "") << n;
  EXPECT_EQ(m.riga(56).nome, "");
}

TEST_F(ScenarioIncorporato, SignalsSlowdownsAndStopMarks) {
  EXPECT_EQ(celle_con_evento(m, 1), kCelleSegnali);
  EXPECT_EQ(celle_con_evento(m, 4), (std::vector<int32_t>{33, 86}));
  EXPECT_EQ(celle_con_evento(m, 3), (std::vector<int32_t>{57, 110}));
  EXPECT_EQ(celle_con_evento(m, 2), (std::vector<int32_t>{66, 118}));
  EXPECT_TRUE(celle_con_evento(m, 5).empty());
  EXPECT_EQ(celle_con_evento(m, 10), (std::vector<int32_t>{5, 171, 273, 382, 602, 807, 1'055}));
  verifica_cella_per_cella(m);
}

TEST_F(ScenarioIncorporato, SpeedAndAdhesionBesideTheLinesGradients) {
  verifica_profili(m);
  EXPECT_EQ(m.cella_a(0).pendenza, 100);
}

// The line's 24 board texts put the floor at row 56: 54 stations fit, the
// 55th is stored and ends the reading with 10.
TEST(ScenarioIncorporatoPavimento, TheLinesBoardTextsLimitTheStations) {
  for (int stazioni : {54, 55}) {
    std::string testo = "[generale]\r\n";
    for (int k = 1; k <= stazioni; ++k) {
      testo += "stazione, " + std::to_string(1'000 * k) +
               ", 25, 400, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, S" + std::to_string(k) + "\r\n";
    }
    testo += "[fine]\r\n";
    modello m;
    m.crea_tracciato = 0;
    sorgente_in_memoria linea(testo_da_righe(righe_dati_linea()));
    sorgente_in_memoria treno(testo);
    memorizza_dati(m, linea, treno);
    EXPECT_EQ(m.codice_errore, stazioni == 54 ? 0 : 10) << stazioni;
    EXPECT_EQ(m.riga(stazioni).nome, "S" + std::to_string(stazioni));
    EXPECT_EQ(m.riga(stazioni + 1).nome, "");
    EXPECT_EQ(m.riga(56).nome, "");
    EXPECT_NE(m.riga(57).nome, "");
  }
}

// A read failure in the train half goes through memorizza_dati's handler:
// code 25, no position, the train text deleted, the line's work kept.
TEST(ScenarioIncorporatoLettura, ATrainReadFailureIs25) {
  for (std::optional<std::string> testo :
       {std::optional<std::string>("[generale]\r\nvelocita, 0, 30\r\nvelocita, 500\r\n"),
        std::optional<std::string>("[generale]\r\nvelocita, 0, 1280\r\n[fine]\r\n"),
        std::optional<std::string>()}) {
    modello m;
    m.crea_tracciato = 0;
    m.posizione_errore = 77;
    sorgente_in_memoria linea(testo_da_righe(righe_dati_linea()));
    sorgente_in_memoria treno = testo ? sorgente_in_memoria(*testo) : sorgente_in_memoria();
    memorizza_dati(m, linea, treno);
    EXPECT_EQ(m.codice_errore, 25) << testo.value_or("(missing)");
    EXPECT_EQ(m.posizione_errore, 77);
    EXPECT_FALSE(treno.esiste());
    EXPECT_EQ(m.ultima_cella, 1'280);
    EXPECT_NE(m.riga(80).nome, "");
  }
}

// One cell of the cell file, member by member.
cella cella_nel_file(const std::vector<uint8_t>& file, int32_t n) {
  const std::size_t o = kByteCella * static_cast<std::size_t>(n);
  auto i16 = [&file](std::size_t at) {
    return static_cast<int16_t>(static_cast<uint16_t>(file.at(at) | (file.at(at + 1) << 8)));
  };
  cella c;
  c.evento = file.at(o);
  c.dato1 = i16(o + 1);
  c.dato2 = i16(o + 3);
  c.dato3 = i16(o + 5);
  c.dato4 = i16(o + 7);
  c.tempo_segnale = file.at(o + 9);
  c.preavviso = file.at(o + 10);
  c.montagna = file.at(o + 11);
  c.vel_limite = file.at(o + 12);
  c.pendenza = file.at(o + 13);
  c.aderenza = file.at(o + 14);
  return c;
}

// The program's own run: the compiled files carry the train.
TEST(ScenarioIncorporatoFile, TheCompiledFilesCarryTheTrain) {
  prova::cartella_temporanea cartella;
  piattaforma_registrata p;
  ASSERT_EQ(form_load(cartella.percorso(), p), uscita_pulita);
  EXPECT_FALSE(std::filesystem::exists(cartella / "Ulmo_Tarvignano_Rovesco_4816-.txt"));
  EXPECT_FALSE(std::filesystem::exists(cartella / "Ulmo_Tarvignano_Rovesco_linea.txt"));

  const std::vector<uint8_t> celle =
      prova::leggi_byte(cartella / "Ulmo_Tarvignano_Rovesco_4816.dat");
  ASSERT_EQ(celle.size(), 19'215U);
  for (auto [n, marca] : {std::pair{4, 81}, std::pair{3, 82}, std::pair{2, 83}}) {
    EXPECT_EQ(cella_nel_file(celle, n).preavviso, marca) << n;
  }
  EXPECT_EQ(cella_nel_file(celle, 5).evento, 10);
  EXPECT_EQ(cella_nel_file(celle, 5).dato1, 1);
  const cella segnale = cella_nel_file(celle, 31);
  EXPECT_EQ(segnale.evento, 1);
  EXPECT_EQ(segnale.dato1, 42);
  EXPECT_EQ(segnale.dato4, 5);
  EXPECT_EQ(segnale.vel_limite, 21);
  EXPECT_EQ(segnale.aderenza, 100);
  for (auto [n, marca] :
       {std::pair{29, 51}, std::pair{27, 52}, std::pair{25, 53}, std::pair{23, 54}}) {
    EXPECT_EQ(cella_nel_file(celle, n).preavviso, marca) << n;
  }
  for (auto [n, evento] : {std::pair{33, 4}, std::pair{57, 3}, std::pair{66, 2}}) {
    EXPECT_EQ(cella_nel_file(celle, n).evento, evento) << n;
    EXPECT_EQ(cella_nel_file(celle, n).dato1, 60) << n;
    EXPECT_EQ(cella_nel_file(celle, n).dato2, 60) << n;
  }
  for (int32_t n = 0; n <= 9; ++n) EXPECT_EQ(cella_nel_file(celle, n).vel_limite, 6) << n;
  EXPECT_EQ(cella_nel_file(celle, 1'037).tempo_segnale, 230);

  // Row 1 of the table file follows the 34 zero bytes of row 0.
  const std::vector<uint8_t> tabella =
      prova::leggi_byte(cartella / "Ulmo_Tarvignano_Rovesco_4816.sim");
  const std::vector<uint8_t> ulmo = {
      0x08,                                                        // tipo
      0xD4, 0xFE, 0xFF, 0xFF,                                      // inizio -300
      0x2C, 0x01, 0x00, 0x00,                                      // fine 300
      0x00, 0x00, 0x00, 0x00,                                      // posizione 0
      0x01,                                                        // campo4
      0x04, 0x00, 'U',  'L',  'M',  'O',  0x04, 0x00, 0x01, 0x00,  // campo7, campo8
      0x02, 0x00, 0x01, 0x00, 0x01, 0x00,                          // campo10..12
      0x00, 0x01, 0x00, 0x00,  // campo9, campo13, campo6, campo5
      0x28, 0x5F, 0x00, 0x00,  // orario 24 360
  };
  ASSERT_GE(tabella.size(), 34U + ulmo.size());
  EXPECT_EQ(std::vector<uint8_t>(tabella.begin() + 34, tabella.begin() + 34 + 38), ulmo);
  // The junction's name: its length (18) in two bytes, the degree sign as one.
  const std::string bivio = std::string("\x12\x00", 2) + "2\xB0 bivio ULMO NORD";
  EXPECT_NE(std::string(tabella.begin(), tabella.end()).find(bivio), std::string::npos);
}

}  // namespace
}  // namespace scenario
