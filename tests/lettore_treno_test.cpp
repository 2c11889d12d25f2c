// The train half on small train texts, over a model set up by hand as the line
// half leaves it: a 57 000 m route (cells 0..1280) and 24 board texts (board
// floor 56).
#include "compiler/lettore_treno.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/flusso_campi.h"
#include "compiler/lettori.h"
#include "compiler/modello.h"
#include "compiler/sorgente.h"

namespace scenario {
namespace {

constexpr int32_t kUltimaCella = 1'280;
// A position the error record holds before the reading, to see it unchanged.
constexpr int32_t kPosizioneIniziale = 4'242;

std::string testo(std::initializer_list<std::string_view> righe) {
  std::string t;
  for (std::string_view r : righe) {
    t += r;
    t += "\r\n";
  }
  return t;
}

class LettoreTreno : public ::testing::Test {
 protected:
  LettoreTreno() {
    dimensiona(m, 57'000);
    valori.voce_cartello = 56;
    m.posizione_errore = kPosizioneIniziale;
  }

  // Reads the given rows after a "[generale]" line, closed by "[fine]".
  void leggi(std::initializer_list<std::string_view> righe) {
    leggi_testo("[generale]\r\n" + testo(righe) + "[fine]\r\n");
  }
  void leggi_testo(std::string t) {
    sorgente = std::make_unique<sorgente_in_memoria>(std::move(t));
    leggi_treno(m, *sorgente, valori);
  }

  const cella& c(int32_t n) const { return m.cella_a(n); }
  std::vector<int32_t> celle_con_evento(uint8_t evento) const {
    std::vector<int32_t> n;
    for (int32_t i = 0; i <= m.ultima_cella; ++i) {
      if (c(i).evento == evento) n.push_back(i);
    }
    return n;
  }

  modello m;
  valori_lettura valori;
  std::unique_ptr<sorgente_in_memoria> sorgente;
};

// --- Failure codes --------------------------------------------------------

struct caso_errore {
  const char* nome;
  std::vector<std::string_view> righe;
  int32_t codice;
  int32_t posizione;  // kPosizioneIniziale: left unchanged
  bool completato;    // the end of reading ran (profiles completed)
  int32_t pavimento = 56;
  int32_t riferimento_81 = 0;  // inizio of tabella row 81
  int32_t codice_linea = 0;    // code the line half left
};

void PrintTo(const caso_errore& k, std::ostream* os) { *os << k.nome; }

class ErroriTreno : public LettoreTreno, public ::testing::WithParamInterface<caso_errore> {};

// Every case starts with a speed row, so whether the end of reading ran shows
// in the speed of a far cell.
TEST_P(ErroriTreno, RecordsCodeAndPositionAndDeletesTheText) {
  const caso_errore& k = GetParam();
  valori.voce_cartello = k.pavimento;
  m.riga(81).inizio = k.riferimento_81;
  m.codice_errore = k.codice_linea;
  std::string corpo = "[generale]\r\nvelocita, 0, 30\r\n";
  for (std::string_view r : k.righe) corpo += std::string(r) + "\r\n";
  leggi_testo(corpo + "[fine]\r\n");
  EXPECT_EQ(m.codice_errore, k.codice);
  EXPECT_EQ(m.posizione_errore, k.posizione);
  EXPECT_EQ(c(1'000).vel_limite, k.completato ? 6 : 0);
  EXPECT_FALSE(sorgente->esiste());
}

INSTANTIATE_TEST_SUITE_P(
    Codici, ErroriTreno,
    ::testing::Values(
        caso_errore{"AbbattimentoOnATakenCell",
                    {"abbattimento, 1000, 5", "abbattimento, 1010, 0"},
                    7,
                    1'010,
                    false},
        caso_errore{"StationOffTheGrid",
                    {"stazione, 1025, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"},
                    8,
                    1'025,
                    false},
        caso_errore{"PlatformNotWholeHundreds",
                    {"stazione, 1000, 24, 250, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"},
                    9,
                    1'000,
                    false},
        caso_errore{"StationReachesTheBoardFloor",
                    {"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"},
                    10,
                    kPosizioneIniziale,
                    false,
                    2},
        caso_errore{"RowBeyondTheStrip", {"velocita, 63901, 50"}, 15, 63'901, true},
        caso_errore{"StationBeyondTheStrip",
                    {"stazione, 63250, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"},
                    15,
                    63'250,
                    true},
        caso_errore{
            "SignalCellTaken",
            {"segnale, 1525, 1, 4,0,0, 0, 2, 2,0,0, 0", "segnale, 1575, 1, 4,0,0, 0, 2, 2,0,0, 0"},
            16,
            1'575,
            false},
        caso_errore{
            "SlowdownWarningCellTaken",
            {"segnale, 1600, 1, 4,0,0, 0, 0, 0,0,0, 0", "rallentamento, 2800, 60, 450, 0, 0, 60"},
            17,
            2'800,
            false},
        caso_errore{
            "SlowdownStartCellTaken",
            {"segnale, 2800, 1, 4,0,0, 0, 0, 0,0,0, 0", "rallentamento, 2800, 60, 450, 0, 0, 60"},
            18,
            2'800,
            false},
        caso_errore{
            "SlowdownEndCellTaken",
            {"segnale, 3250, 1, 4,0,0, 0, 0, 0,0,0, 0", "rallentamento, 2800, 60, 450, 0, 0, 60"},
            19,
            2'800,
            false},
        caso_errore{
            "PreWarningCellTaken",
            {"segnale, 1500, 1, 4,0,0, 0, 0, 0,0,0, 0", "rallentamento, 2800, 60, 450, 0, 1, 60"},
            20,
            2'800,
            false},
        caso_errore{"StationsTooClose",
                    {"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
                     "stazione, 1450, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B"},
                    22,
                    1'450,
                    false},
        caso_errore{"StopMarkOnCellOne",
                    {"stazione, 50, 24, 100, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"},
                    24,
                    kPosizioneIniziale,
                    false},
        caso_errore{
            "ReferencePointOffTheGrid", {"sabbia, 150"}, 2, kPosizioneIniziale, true, 56, 13'575},
        caso_errore{
            "ReferencePointTurns15Into2", {"velocita, 63901, 50"}, 2, 63'901, true, 56, 13'575},
        // The line half's 15 is still on record: the first signal finds it
        // after its call and leaves with it, at its own position.
        caso_errore{"LineCodeStopsAtTheFirstSignal",
                    {"segnale, 1500, 1, 4,0,0, 0, 2, 2,0,0, 0"},
                    15,
                    1'500,
                    false,
                    56,
                    0,
                    15},
        caso_errore{"LineCodeDoesNotStopStations",
                    {"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"},
                    15,
                    kPosizioneIniziale,
                    true,
                    56,
                    0,
                    15}),
    [](const auto& caso) { return std::string(caso.param.nome); });

TEST_F(LettoreTreno, SignalBeforeTheLineCodeExitStaysWritten) {
  m.codice_errore = 15;
  leggi({"segnale, 1500, 1, 4,0,0, 0, 2, 2,0,0, 0"});
  EXPECT_EQ(c(31).evento, 1);
}

TEST_F(LettoreTreno, PreWarningConflictKeepsTheThreePoints) {
  leggi({"segnale, 1500, 1, 4,0,0, 0, 0, 0,0,0, 0", "rallentamento, 2800, 60, 450, 0, 1, 60"});
  ASSERT_EQ(m.codice_errore, 20);
  EXPECT_EQ(c(33).evento, 4);
  EXPECT_EQ(c(57).evento, 3);
  EXPECT_EQ(c(66).evento, 2);
  EXPECT_TRUE(celle_con_evento(5).empty());
}

// Read failures leave the reader by errore_lettura; memorizza_dati's handler
// turns it into code 25 and deletes the texts.
TEST_F(LettoreTreno, ReadFailures) {
  struct caso {
    const char* nome;
    std::optional<std::string> testo;
  };
  const std::vector<caso> casi = {
      {"missing text", std::nullopt},
      {"text ends inside a row", "[generale]\r\nvelocita, 500\r\n"},
      {"value beyond its 16-bit slot", "[generale]\r\nsabbia, 40000\r\n[fine]\r\n"},
      {"station kind beyond a byte",
       "[generale]\r\nstazione, 1000, 300, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\r\n[fine]\r\n"},
      {"time beyond 32 bits",
       "[generale]\r\nstazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 700000,0,0, "
       "A\r\n[fine]\r\n"},
      {"speed 1280 km/h at the next row",
       "[generale]\r\nvelocita, 0, 1280\r\nvelocita, 500, 30\r\n[fine]\r\n"},
      {"speed 1280 km/h at the completion", "[generale]\r\nvelocita, 0, 1280\r\n[fine]\r\n"},
      {"negative speed", "[generale]\r\nvelocita, 0, -5\r\nvelocita, 500, 30\r\n[fine]\r\n"},
      {"position + 100 beyond 32 bits", "[generale]\r\nvelocita, 2147483600, 30\r\n[fine]\r\n"},
      {"slowdown end beyond 32 bits",
       "[generale]\r\nrallentamento, 2000, 60, 2147483000, 0, 0, 60\r\n[fine]\r\n"},
      {"slowdown warning beyond 32 bits",
       "[generale]\r\nrallentamento, -2147483000, 60, 100, 0, 0, 60\r\n[fine]\r\n"},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    modello prova;
    dimensiona(prova, 57'000);
    valori_lettura v;
    v.voce_cartello = 56;
    sorgente_in_memoria s = k.testo ? sorgente_in_memoria(*k.testo) : sorgente_in_memoria();
    EXPECT_THROW(leggi_treno(prova, s, v), errore_lettura);
  }
}

TEST_F(LettoreTreno, SpeedOf1280FailsOnlyWhereItIsWritten) {
  EXPECT_THROW(leggi({"velocita, 0, 30", "velocita, 500, 1280", "velocita, 1000, 30"}),
               errore_lettura);
  EXPECT_EQ(c(9).vel_limite, 6);
  EXPECT_EQ(c(10).vel_limite, 0);
}

// --- Keyword fields -------------------------------------------------------

TEST_F(LettoreTreno, GeneralRowsGoToRows84And86) {
  leggi({"numero vetture,    5", "percentuale massa frenata,    100", "sabbia,    150",
         "orologio,    6               45            42 "});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.riga(84).posizione, 5);
  EXPECT_EQ(m.riga(84).inizio, 100);
  EXPECT_EQ(m.riga(86).campo7, 150);
  EXPECT_EQ(m.riga(86).campo10, 6);
  EXPECT_EQ(m.riga(86).campo11, 45);
  EXPECT_EQ(m.riga(86).campo12, 42);
}

TEST_F(LettoreTreno, KeywordsInAnyCase) {
  leggi({"Numero Vetture, 7", "PERCENTUALE MASSA FRENATA, 90", "VELOCIT\xC0, 0, 30",
         "Velocita, 500, 60"});
  EXPECT_EQ(m.riga(84).posizione, 7);
  EXPECT_EQ(m.riga(84).inizio, 90);
  EXPECT_EQ(c(9).vel_limite, 6);
  EXPECT_EQ(c(10).vel_limite, 12);
}

TEST_F(LettoreTreno, EveryTestLooksAtTheSameKeywordInItsOrder) {
  // "orologio" is tested before "sabbia", whatever the keyword says first.
  leggi({"sabbia orologio, 6, 45, 42, 150"});
  EXPECT_EQ(m.riga(86).campo10, 6);
  EXPECT_EQ(m.riga(86).campo11, 45);
  EXPECT_EQ(m.riga(86).campo12, 42);
  EXPECT_EQ(m.riga(86).campo7, 150);
}

TEST_F(LettoreTreno, TwoDashFieldsAreDroppedTheThirdIsTested) {
  struct caso {
    std::initializer_list<std::string_view> righe;
    int16_t sabbia;
  };
  for (const caso& k :
       {caso{{"------", "------", "sabbia --, 7"}, 7}, caso{{"------", "sabbia --, 7"}, 0},
        caso{{"sabbia --, 7"}, 0}, caso{{"------", "------", "------", "sabbia, 7"}, 7}}) {
    modello prova;
    dimensiona(prova, 57'000);
    valori_lettura v;
    v.voce_cartello = 56;
    std::string t = "[generale]\r\n" + testo(k.righe) + "[fine]\r\n";
    sorgente_in_memoria s(t);
    leggi_treno(prova, s, v);
    EXPECT_EQ(prova.riga(86).campo7, k.sabbia) << t;
  }
}

TEST_F(LettoreTreno, GeneraleMaySitFurtherDownAndAnyCase) {
  leggi_testo("sabbia, 9\r\ncommento\r\n[GENERALE]\r\nsabbia, 7\r\n[fine]\r\n");
  EXPECT_EQ(m.riga(86).campo7, 7);
  EXPECT_EQ(m.codice_errore, 0);
}

TEST_F(LettoreTreno, WithoutGeneraleNoRowIsReadAndNothingFails) {
  for (const std::string& t :
       {std::string("sabbia, 7\r\nvelocita, 500, 30\r\n[fine]\r\n"), std::string()}) {
    modello prova;
    dimensiona(prova, 57'000);
    valori_lettura v;
    sorgente_in_memoria s(t);
    leggi_treno(prova, s, v);
    EXPECT_EQ(prova.codice_errore, 0);
    EXPECT_EQ(prova.riga(86).campo7, 0);
    EXPECT_EQ(prova.cella_a(5).vel_limite, 0);
    EXPECT_FALSE(s.esiste());
  }
}

TEST_F(LettoreTreno, TheFieldTheTextEndsOnIsNoKeyword) {
  // A keyword with nothing after it is not examined; a last row without a
  // line end still is.
  leggi_testo("[generale]\r\nsabbia, 7");
  EXPECT_EQ(m.riga(86).campo7, 7);
  m.riga(86).campo7 = 0;
  EXPECT_NO_THROW(leggi_testo("[generale]\r\nsabbia\r\n"));
  EXPECT_EQ(m.riga(86).campo7, 0);
}

// --- Speed and adhesion ---------------------------------------------------

TEST_F(LettoreTreno, SpeedRowFillsUpToItsOwnPosition) {
  leggi({"velocita,       0,    30", "velocita,     500,   105"});
  for (int32_t n = 0; n <= 9; ++n) EXPECT_EQ(c(n).vel_limite, 6) << n;
  // 105 km/h reaches cell 10 on through the completion, up to the third
  // cell from the end.
  EXPECT_EQ(c(10).vel_limite, 21);
  EXPECT_EQ(c(kUltimaCella - 3).vel_limite, 21);
  for (int32_t n = kUltimaCella - 2; n <= kUltimaCella; ++n) EXPECT_EQ(c(n).vel_limite, 0);
}

TEST_F(LettoreTreno, SpeedsStoredInFifths) {
  struct caso {
    const char* riga;
    uint8_t byte;
  };
  for (const caso& k :
       {caso{"velocita, 0, 72", 14}, caso{"velocita, 0, 1277", 255}, caso{"velocita, 0, 0", 0},
        caso{"velocita, 0, 2", 0}, caso{"velocita, 0, 12.5", 2}, caso{"velocita, 0, 7.5", 2}}) {
    modello prova;
    dimensiona(prova, 57'000);
    valori_lettura v;
    sorgente_in_memoria s(std::string("[generale]\r\n") + k.riga + "\r\n[fine]\r\n");
    leggi_treno(prova, s, v);
    EXPECT_EQ(prova.cella_a(0).vel_limite, k.byte) << k.riga;
  }
}

TEST_F(LettoreTreno, TwoSpeedRowsAtOnePositionWriteOneCell) {
  leggi({"velocita, 0, 30", "velocita, 500, 105", "velocita, 500, 60", "velocita, 1000, 90"});
  EXPECT_EQ(c(9).vel_limite, 6);
  EXPECT_EQ(c(10).vel_limite, 21);  // the second row at 500 m, with the first's limit
  EXPECT_EQ(c(11).vel_limite, 12);
  EXPECT_EQ(c(19).vel_limite, 12);
  EXPECT_EQ(c(20).vel_limite, 18);
}

TEST_F(LettoreTreno, ShortSpeedRowSwallowsTheNextKeyword) {
  leggi({"velocita, 0, 30", "velocita, 500", "velocita, 1000, 90"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(9).vel_limite, 6);
  // The short row's speed is the word "velocita": 0. The row at 1 000 m is
  // lost, its two numbers taken as keyword fields.
  EXPECT_EQ(c(10).vel_limite, 0);
  EXPECT_EQ(c(30).vel_limite, 0);
}

TEST_F(LettoreTreno, PreviousSpeedAndAdhesionStartAtZero) {
  valori.velocita_prec = 100;
  valori.aderenza_prec = 90;
  leggi({"velocita, 500, 30", "aderenza, 500, 80"});
  EXPECT_EQ(c(0).vel_limite, 0);
  EXPECT_EQ(c(9).aderenza, 0);
  EXPECT_EQ(c(10).vel_limite, 6);
  EXPECT_EQ(c(10).aderenza, 80);
}

TEST_F(LettoreTreno, AdhesionKeepsTheLowEightBits) {
  leggi({"aderenza, 0, 300", "aderenza, 100, -1", "aderenza, 200, 100"});
  EXPECT_EQ(c(0).aderenza, 44);
  EXPECT_EQ(c(1).aderenza, 44);
  EXPECT_EQ(c(2).aderenza, 255);
  EXPECT_EQ(c(4).aderenza, 100);
}

TEST_F(LettoreTreno, SpeedFillStopsBeforeTheLastCellAdhesionReachesIt) {
  // Rows repeated at one position push each fill index one cell at a time;
  // the abbattimento conflict at the end keeps the completions out.
  leggi({"velocita, 0, 30", "velocita, 63900, 40", "velocita, 63900, 40", "velocita, 63900, 40",
         "velocita, 63900, 40", "aderenza, 63900, 40", "aderenza, 63900, 40", "aderenza, 63900, 40",
         "aderenza, 63900, 40", "aderenza, 63900, 40", "abbattimento, 1000, 0",
         "abbattimento, 1000, 0"});
  ASSERT_EQ(m.codice_errore, 7);
  EXPECT_EQ(c(1'277).vel_limite, 6);
  EXPECT_EQ(c(1'279).vel_limite, 8);
  EXPECT_EQ(c(kUltimaCella).vel_limite, 0);
  EXPECT_EQ(c(1'277).aderenza, 0);
  EXPECT_EQ(c(kUltimaCella).aderenza, 40);
}

TEST_F(LettoreTreno, CompletionsStayWithinTheStrip) {
  leggi({"velocita, 63900, 40", "velocita, 63900, 40", "velocita, 63900, 40", "velocita, 63900, 40",
         "aderenza, 63900, 40", "aderenza, 63900, 40", "aderenza, 63900, 40", "aderenza, 63900, 40",
         "aderenza, 63900, 40"});
  EXPECT_EQ(m.codice_errore, 0);
  // The speed completion's one write lands on the last cell itself.
  EXPECT_EQ(c(kUltimaCella).vel_limite, 8);
  EXPECT_EQ(c(kUltimaCella).aderenza, 40);
}

TEST_F(LettoreTreno, LastPositionBeforeTheStripEndIsAccepted) {
  leggi({"velocita, 63900, 40"});
  EXPECT_EQ(m.codice_errore, 0);
}

TEST_F(LettoreTreno, EmptyTrainTextCompletesWithZero) {
  leggi({});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(0).vel_limite, 0);
  EXPECT_EQ(c(kUltimaCella - 3).aderenza, 0);
}

// --- Signals ----------------------------------------------------------------

TEST_F(LettoreTreno, SignalAt1500Metres) {
  leggi({"segnale,    1500,   1, 4, 0,  0, 0,    2,  2,0,0, 0"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(celle_con_evento(1), std::vector<int32_t>{31});
  EXPECT_EQ(c(31).dato1, 42);
  EXPECT_EQ(c(31).dato2, 0);
  EXPECT_EQ(c(31).dato3, 0);
  EXPECT_EQ(c(31).dato4, 5);
  EXPECT_EQ(c(31).tempo_segnale, 0);
  EXPECT_EQ(c(29).preavviso, 51);
  EXPECT_EQ(c(27).preavviso, 52);
  EXPECT_EQ(c(25).preavviso, 53);
  EXPECT_EQ(c(23).preavviso, 54);
  EXPECT_EQ(c(30).preavviso, 0);
  EXPECT_EQ(c(21).preavviso, 0);
}

TEST_F(LettoreTreno, SignalPacksItsGroupsInDecimal) {
  leggi({"segnale, 1500, 2, 1,2,3, 4, 1, 5,6,7, 0"});
  EXPECT_EQ(c(31).dato1, 15);
  EXPECT_EQ(c(31).dato2, 26);
  EXPECT_EQ(c(31).dato3, 37);
  EXPECT_EQ(c(31).dato4, 47);      // 4 * 10 + 2 * 3 + 1
  EXPECT_EQ(c(29).preavviso, 71);  // (2 * 3 + 1) * 10 + 1
  EXPECT_EQ(c(23).preavviso, 74);
}

TEST_F(LettoreTreno, SignalSumsWrapIn16And8Bits) {
  leggi({"segnale, 1500, 1, 3300,0,0, 3277, 2, 0,0,0, 0",
         "segnale, 3000, 30, 0,0,0, 0, 0, 0,0,0, 0"});
  EXPECT_EQ(c(31).dato1, -32'536);  // 33 000
  EXPECT_EQ(c(31).dato4, -32'761);  // 32 775
  EXPECT_EQ(c(59).preavviso, 133);  // 901 in 8 bits
}

TEST_F(LettoreTreno, SignalTime) {
  struct caso {
    int32_t sx;
    int32_t tempo;
    uint8_t byte;
  };
  for (const caso& k :
       {caso{2, 50, 101}, caso{2, 1, 101}, caso{2, 100, 101}, caso{2, 0, 0}, caso{2, 101, 101},
        caso{2, 230, 230}, caso{2, 300, 44}, caso{2, -5, 251}, caso{1, 50, 0}, caso{1, 230, 0}}) {
    modello prova;
    dimensiona(prova, 57'000);
    valori_lettura v;
    sorgente_in_memoria s("[generale]\r\nsegnale, 1500, " + std::to_string(k.sx) +
                          ", 4,0,0, 0, 0, 0,0,0, " + std::to_string(k.tempo) + "\r\n[fine]\r\n");
    leggi_treno(prova, s, v);
    EXPECT_EQ(prova.cella_a(31).tempo_segnale, k.byte) << k.sx << " " << k.tempo;
  }
}

TEST_F(LettoreTreno, MemoSegnaleRaisesTheCallersTime) {
  dati_segnale s;
  s.posizione = 1'500;
  s.sx = 2;
  s.tempo = 50;
  memo_segnale(m, s);
  EXPECT_EQ(s.tempo, 101);
  EXPECT_EQ(c(31).tempo_segnale, 101);
}

TEST_F(LettoreTreno, SignalsAt1525And1575ShareCell32) {
  EXPECT_EQ(cella_punto(1'525), 32);
  EXPECT_EQ(cella_punto(1'575), 32);
  leggi({"segnale, 1525, 1, 4,0,0, 0, 2, 2,0,0, 0", "segnale, 1575, 1, 5,0,0, 0, 2, 2,0,0, 0"});
  EXPECT_EQ(m.codice_errore, 16);
  EXPECT_EQ(c(32).dato1, 42);  // the first stays
}

TEST_F(LettoreTreno, SignalOnAMontagnaMarkReplacesIt) {
  m.cella_a(31).evento = 11;
  leggi({"segnale, 1500, 1, 4,0,0, 0, 2, 2,0,0, 0"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(31).evento, 1);
}

TEST_F(LettoreTreno, SignalNearTheStartKeepsItselfAndDropsMarksBeforeCellZero) {
  leggi({"segnale, 250, 1, 4,0,0, 0, 2, 2,0,0, 0"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(6).evento, 1);
  EXPECT_EQ(c(4).preavviso, 51);
  EXPECT_EQ(c(2).preavviso, 52);
  EXPECT_EQ(c(0).preavviso, 53);
}

TEST_F(LettoreTreno, SignalBeforeTheStripIsBeyondIt) {
  leggi({"velocita, 0, 30", "segnale, -200, 1, 4,0,0, 0, 2, 2,0,0, 0", "sabbia, 7"});
  EXPECT_EQ(m.codice_errore, 15);
  EXPECT_EQ(m.posizione_errore, -200);
  EXPECT_EQ(m.riga(86).campo7, 0);    // reading stopped
  EXPECT_EQ(c(1'000).vel_limite, 6);  // the end of reading ran
  EXPECT_TRUE(celle_con_evento(1).empty());
}

// --- Slowdowns --------------------------------------------------------------

TEST_F(LettoreTreno, SlowdownAt2800) {
  const dati_rallentamento r{2'800, 60, 450, 0, 0, 60};
  const punti_rallentamento p = punti_di(r);
  EXPECT_EQ(p.avviso, 33);
  EXPECT_EQ(p.inizio, 57);
  EXPECT_EQ(p.fine, 66);
  EXPECT_EQ(p.indice, 32);
  leggi({"rallentamento,    2800,    60,  450, 0,  0,  60"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(33).evento, 4);
  EXPECT_EQ(c(33).dato1, 60);
  EXPECT_EQ(c(33).dato2, 60);
  for (auto [n, evento] : {std::pair{57, 3}, std::pair{66, 2}}) {
    EXPECT_EQ(c(n).evento, evento);
    EXPECT_EQ(c(n).dato1, 60);
    EXPECT_EQ(c(n).dato2, 60);
    EXPECT_EQ(c(n).dato3, 0);
  }
  EXPECT_TRUE(celle_con_evento(5).empty());
}

TEST_F(LettoreTreno, PreWarningCellsBeforeTheBoard) {
  leggi({"rallentamento, 2800, 60, 450, 7, 1, 60"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(celle_con_evento(5), (std::vector<int32_t>{29, 30, 31, 32}));
  for (int16_t j = 0; j <= 3; ++j) {
    EXPECT_EQ(c(32 - j).dato1, j + 1);
    EXPECT_EQ(c(32 - j).dato2, j + 1);
  }
  EXPECT_EQ(c(57).dato3, 7);
  EXPECT_EQ(c(66).dato3, 7);
}

TEST_F(LettoreTreno, WithoutDvNoSecondValue) {
  leggi({"rallentamento, 2800, 60, 450, 0, 1, 0"});
  for (int32_t n : {29, 30, 31, 32, 33, 57, 66}) EXPECT_EQ(c(n).dato2, 0) << n;
  EXPECT_EQ(c(30).dato1, 3);
}

TEST_F(LettoreTreno, SlowdownUpTo1500HasNoWarningAndIgnoresPreWarning) {
  leggi({"rallentamento, 1500, 30, 200, 0, 1, 30"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(celle_con_evento(3), std::vector<int32_t>{31});
  EXPECT_EQ(celle_con_evento(2), std::vector<int32_t>{35});
  EXPECT_TRUE(celle_con_evento(4).empty());
  EXPECT_TRUE(celle_con_evento(5).empty());
}

TEST_F(LettoreTreno, ShortSlowdownInOneCellEndsAsAStart) {
  leggi({"rallentamento, 2800, 60, 10, 0, 0, 60"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(57).evento, 3);
  EXPECT_TRUE(celle_con_evento(2).empty());
}

TEST_F(LettoreTreno, SlowdownOutsideTheStripIsBeyondIt) {
  for (std::string_view riga :
       {"rallentamento, 63000, 60, 2000, 0, 0, 60", "rallentamento, -200, 60, 100, 0, 0, 60"}) {
    modello prova;
    dimensiona(prova, 57'000);
    valori_lettura v;
    sorgente_in_memoria s("[generale]\r\nvelocita, 0, 30\r\n" + std::string(riga) +
                          "\r\nsabbia, 7\r\n[fine]\r\n");
    leggi_treno(prova, s, v);
    EXPECT_EQ(prova.codice_errore, 15) << riga;
    EXPECT_EQ(prova.riga(86).campo7, 0);
    EXPECT_EQ(prova.cella_a(1'000).vel_limite, 6);
    for (const cella& k : prova.celle) EXPECT_EQ(k.evento, 0);
  }
}

// --- Abbattimento -----------------------------------------------------------

TEST_F(LettoreTreno, AbbattimentoWithAndWithoutValue) {
  leggi({"abbattimento, 1000, 70000", "abbattimento, 2010, 0", "abbattimento, 3000, -3"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(20).evento, 12);
  EXPECT_EQ(c(20).dato1, 4'464);  // 70 000 in 16 bits
  EXPECT_EQ(c(40).evento, 13);
  EXPECT_EQ(c(60).evento, 13);
}

TEST_F(LettoreTreno, AbbattimentoBeforeTheStripIsBeyondIt) {
  leggi({"abbattimento, -25, 0"});
  EXPECT_EQ(c(0).evento, 13);  // round(-0.5) is 0
  leggi({"abbattimento, -26, 0"});
  EXPECT_EQ(m.codice_errore, 15);
  EXPECT_EQ(m.posizione_errore, -26);
}

// --- Stations ---------------------------------------------------------------

TEST_F(LettoreTreno, FirstEmbeddedStation) {
  leggi({"stazione,       0,  8,  300,  1, 0, 0,  4,1,0,  2,1,1,    1,   6,46, 0, ULMO"});
  ASSERT_EQ(m.codice_errore, 0);
  const voce& r = m.riga(1);
  EXPECT_EQ(r.posizione, 0);
  EXPECT_EQ(r.tipo, 8);
  EXPECT_EQ(r.inizio, -300);
  EXPECT_EQ(r.fine, 300);
  EXPECT_EQ(r.campo4, 1);
  EXPECT_EQ(r.campo7, 4);
  EXPECT_EQ(r.campo8, 1);
  EXPECT_EQ(r.campo9, 0);
  EXPECT_EQ(r.campo10, 2);
  EXPECT_EQ(r.campo11, 1);
  EXPECT_EQ(r.campo12, 1);
  EXPECT_EQ(r.campo13, 1);
  EXPECT_EQ(r.orario, 24'360);
  EXPECT_EQ(r.nome, "ULMO");
  EXPECT_EQ(c(4).preavviso, 81);
  EXPECT_EQ(c(3).preavviso, 82);
  EXPECT_EQ(c(2).preavviso, 83);
  EXPECT_EQ(c(1).preavviso, 0);  // no fourth mark on cell 1
  EXPECT_EQ(celle_con_evento(10), std::vector<int32_t>{5});
  EXPECT_EQ(c(5).dato1, 1);
}

TEST_F(LettoreTreno, StationZoneByKind) {
  struct caso {
    int tipo;
    int32_t lunghezza;
    int campo6;
    int32_t inizio;
    int32_t fine;
    int campo6_dopo;
    bool marche;
  };
  // Second station, at 10 000 m, after a first one at 1 000 m.
  for (const caso& k :
       {caso{5, 400, 1, 9'600, 10'150, 0, false}, caso{6, 400, 0, 9'600, 10'150, 0, false},
        caso{7, 400, 1, 9'600, 10'400, 0, true}, caso{8, 300, 0, 9'700, 10'300, 0, true},
        caso{24, 400, 0, 9'800, 10'200, 0, true}, caso{24, 400, 1, 9'800, 10'250, 1, true},
        caso{12, 300, 2, 9'850, 10'200, 2, true}, caso{25, 400, 1, 9'800, 10'250, 1, false}}) {
    SCOPED_TRACE(k.tipo);
    modello prova;
    dimensiona(prova, 57'000);
    valori_lettura v;
    v.voce_cartello = 56;
    sorgente_in_memoria s(
        "[generale]\r\nstazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\r\n"
        "stazione, 10000, " +
        std::to_string(k.tipo) + ", " + std::to_string(k.lunghezza) + ", 0,0," +
        std::to_string(k.campo6) + ", 0,0,0, 0,0,0, 0, 7,5,0, B\r\n[fine]\r\n");
    leggi_treno(prova, s, v);
    ASSERT_EQ(prova.codice_errore, 0);
    const voce& r = prova.riga(2);
    EXPECT_EQ(r.inizio, k.inizio);
    EXPECT_EQ(r.fine, k.fine);
    EXPECT_EQ(r.campo6, k.campo6_dopo);
    const int32_t fermata = k.fine / 50 - 1;
    if (k.tipo < 25) {
      EXPECT_EQ(prova.cella_a(fermata).evento, 10);
      EXPECT_EQ(prova.cella_a(fermata).dato1, 2);
    } else {
      EXPECT_EQ(prova.cella_a(fermata).evento, 0);
    }
    EXPECT_EQ(prova.cella_a(fermata - 1).preavviso, k.marche ? 81 : 0);
    EXPECT_EQ(prova.cella_a(fermata - 4).preavviso, k.marche ? 84 : 0);
  }
}

TEST_F(LettoreTreno, FirstStationLongerByCampo6ThenCleared) {
  leggi({"stazione, 1000, 24, 700, 0, 9, 1, 0,0,0, 0,0,0, 0, 7,0,0, A",
         "stazione, 5000, 24, 700, 0, 9, 1, 0,0,0, 0,0,0, 0, 7,9,0, B",
         "stazione, 10000, 24, 500, 0, 9, 0, 0,0,0, 0,0,0, 0, 7,19,0, C"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.riga(1).fine, 1'400);
  EXPECT_EQ(m.riga(1).campo6, 0);
  EXPECT_EQ(m.riga(1).campo5, 0);
  EXPECT_EQ(m.riga(2).campo6, 1);
  EXPECT_EQ(m.riga(2).campo5, 9);  // 600 m or more, not the first station
  EXPECT_EQ(m.riga(3).campo5, 0);  // under 600 m
}

TEST_F(LettoreTreno, JunctionHasNoMarksButKeepsItsDistance) {
  leggi({"stazione, 5650, 27, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, 2\xB0 bivio ULMO NORD",
         "stazione, 6000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"});
  // The junction lays nothing; the second station lays its marks before its
  // distance is checked.
  EXPECT_EQ(celle_con_evento(10), std::vector<int32_t>{122});
  EXPECT_EQ(m.codice_errore, 22);
  EXPECT_EQ(m.posizione_errore, 6'000);
}

TEST_F(LettoreTreno, NamesKeepDashesAndTheDegreeSign) {
  leggi({"stazione, 5650, 27, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, 2\xB0 bivio ULMO NORD",
         "stazione, 13500, 22, 400, 0,0,0, 0,0,0, 4,1,1, 60, 7, 9, 0, TARVIGNANO-LUCERNO",
         "stazione, 52650, 12, 300, 0,0,0, 1,1,0, 2,1,1, 0, 7,51, 0, ROVESCO P.A."});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.riga(1).nome, "2\xB0 bivio ULMO NORD");
  EXPECT_EQ(m.riga(2).nome, "TARVIGNANO-LUCERNO");
  EXPECT_EQ(m.riga(2).orario, 25'740);
  EXPECT_EQ(m.riga(3).nome, "ROVESCO P.A.");
}

TEST_F(LettoreTreno, StationMarksOverwriteWhatTheCellsHold) {
  leggi({"segnale, 10100, 1, 4,0,0, 0, 0, 0,0,0, 0",
         "stazione, 10000, 24, 400, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"});
  ASSERT_EQ(m.codice_errore, 0);
  EXPECT_EQ(c(203).evento, 10);
  EXPECT_EQ(c(203).dato1, 1);
}

TEST_F(LettoreTreno, StopMarkBeyondTheStripIsBeyondIt) {
  leggi({"velocita, 0, 30", "stazione, 63000, 24, 2200, 0, 3, 1, 0,0,0, 0,0,0, 0, 7,0,0, LONTANA",
         "sabbia, 7"});
  EXPECT_EQ(m.codice_errore, 15);
  EXPECT_EQ(m.posizione_errore, 63'000);
  const voce& r = m.riga(1);
  // The row keeps what was stored before the check; no clearing follows.
  EXPECT_EQ(r.posizione, 63'000);
  EXPECT_EQ(r.inizio, 61'900);
  EXPECT_EQ(r.fine, 64'150);
  EXPECT_EQ(r.campo5, 3);
  EXPECT_EQ(r.campo6, 1);
  EXPECT_EQ(r.nome, "LONTANA");
  EXPECT_TRUE(celle_con_evento(10).empty());
  for (const cella& k : m.celle) EXPECT_NE(k.preavviso, 81);
  EXPECT_EQ(m.riga(86).campo7, 0);
  EXPECT_EQ(c(1'000).vel_limite, 6);
}

TEST_F(LettoreTreno, StationPositionCheckKeepsThePosition) {
  leggi({"stazione, 63250, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"});
  EXPECT_EQ(m.codice_errore, 15);
  EXPECT_EQ(m.riga(1).posizione, 63'250);
  EXPECT_EQ(m.riga(1).tipo, 0);
}

TEST_F(LettoreTreno, LastStationPositionInsideTheStrip) {
  leggi({"stazione, 63200, 25, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.riga(1).tipo, 25);
}

TEST_F(LettoreTreno, WithEightyBoardsStationOneIsStoredThen10) {
  valori.voce_cartello = 0;
  m.riga(1).nome = "CARTELLO";
  leggi({"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"});
  EXPECT_EQ(m.codice_errore, 10);
  EXPECT_EQ(m.riga(1).nome, "A");
  EXPECT_EQ(c(22).evento, 10);
}

TEST_F(LettoreTreno, StationsFillRowsUpToTheBoardFloor) {
  valori.voce_cartello = 4;
  leggi({"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
         "stazione, 3000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, B",
         "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, C",
         "stazione, 7000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, D"});
  EXPECT_EQ(m.codice_errore, 10);
  EXPECT_EQ(m.riga(3).nome, "C");
  EXPECT_EQ(m.riga(4).nome, "");
}

// --- Writes stay inside the model ---------------------------------------------

// Random rows of every kind over a short route, with positions, lengths and
// platform lengths around both ends of the strip: every outcome is a code or
// a read failure, never a write outside the cells or the table (the model's
// accessors would throw std::out_of_range).
TEST(LettoreTrenoCasuale, RowsNearTheEndsNeverWriteOutsideTheModel) {
  std::mt19937 caso(4816);
  auto tra = [&caso](int32_t da, int32_t a) {
    return std::to_string(std::uniform_int_distribution<int32_t>(da, a)(caso));
  };
  auto posizione = [&] { return tra(-1'000, 9'500); };
  const std::vector<std::function<std::string()>> righe = {
      [&] { return "velocita, " + posizione() + ", " + tra(0, 300); },
      [&] { return "aderenza, " + posizione() + ", " + tra(-300, 300); },
      [&] {
        return "segnale, " + posizione() + ", " + tra(0, 3) + ", 4,0,0, 0, " + tra(0, 2) +
               ", 2,0,0, " + tra(0, 300);
      },
      [&] {
        return "rallentamento, " + posizione() + ", 60, " + tra(-500, 4'000) + ", 0, " + tra(0, 1) +
               ", " + tra(0, 60);
      },
      [&] { return "abbattimento, " + posizione() + ", " + tra(-5, 5); },
      [&] {
        return "stazione, " + std::to_string(50 * std::stoi(tra(-20, 190))) + ", " + tra(0, 30) +
               ", " + std::to_string(100 * std::stoi(tra(0, 40))) + ", 0," + tra(0, 1) + "," +
               tra(0, 1) + ", 0,0,0, 0,0,0, 0, 7,0,0, S";
      },
  };
  for (int prova = 0; prova < 3'000; ++prova) {
    std::string t = "[generale]\r\n";
    const int n = std::stoi(tra(1, 12));
    for (int r = 0; r < n; ++r) {
      t += righe[static_cast<std::size_t>(std::stoi(tra(0, 5)))]() + "\r\n";
    }
    t += "[fine]\r\n";
    modello m;
    dimensiona(m, 1'000);  // cells 0..160
    valori_lettura v;
    v.voce_cartello = std::stoi(tra(0, 80));
    sorgente_in_memoria s(t);
    try {
      leggi_treno(m, s, v);
    } catch (const errore_lettura&) {
      // A read failure is a legitimate outcome.
    } catch (const std::exception& e) {
      FAIL() << e.what() << "\n" << t;
    }
  }
}

}  // namespace
}  // namespace scenario
