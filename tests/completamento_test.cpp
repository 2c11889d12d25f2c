#include "output/completamento.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/esecuzione.h"
#include "app/piattaforma.h"
#include "compiler/sorgente.h"
#include "output/codici_gara.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "supporto.h"

namespace scenario {
namespace {

// One object of a hand-built strip: its cell, kind and first value.
struct oggetto {
  int32_t cella;
  uint8_t evento;
  int16_t dato1 = 0;
  bool operator==(const oggetto&) const = default;
};

void PrintTo(const oggetto& o, std::ostream* os) {
  *os << "{cell " << o.cella << ", evento " << int{o.evento} << ", dato1 " << o.dato1 << "}";
}

oggetto segnale(int32_t n) { return {n, 1, 0}; }
oggetto fine(int32_t n, int16_t v) { return {n, 2, v}; }
oggetto inizio(int32_t n, int16_t v) { return {n, 3, v}; }
oggetto avviso(int32_t n, int16_t v = 60) { return {n, 4, v}; }
oggetto altro(int32_t n) { return {n, 6, 2020}; }  // a speed-indicator board
oggetto montagna(int32_t n) { return {n, 11, 0}; }
oggetto punto(int32_t n, int16_t valore = 180) { return {n, 12, valore}; }

modello striscia(int32_t ultima, const std::vector<oggetto>& oggetti) {
  modello m;
  m.ultima_cella = ultima;
  m.celle.assign(static_cast<std::size_t>(ultima) + 1, cella{});
  for (const oggetto& o : oggetti) {
    m.cella_a(o.cella).evento = o.evento;
    m.cella_a(o.cella).dato1 = o.dato1;
  }
  return m;
}

// Every cell that holds an object, in cell order.
std::vector<oggetto> oggetti_di(const modello& m) {
  std::vector<oggetto> trovati;
  for (std::size_t n = 0; n < m.celle.size(); ++n) {
    const cella& c = m.celle[n];
    if (c.evento != 0) trovati.push_back({static_cast<int32_t>(n), c.evento, c.dato1});
  }
  return trovati;
}

struct caso_walk {
  std::string nome;
  std::vector<oggetto> prima;
  std::vector<oggetto> dopo;  // every object after the walk, in cell order
  int32_t codice = 0;
  int32_t posizione = 0;
  int32_t ultima = 200;
};

void PrintTo(const caso_walk& caso, std::ostream* os) { *os << caso.nome; }

std::string nome_caso(const testing::TestParamInfo<caso_walk>& caso) { return caso.param.nome; }

class Completamento : public testing::TestWithParam<caso_walk> {};

TEST_P(Completamento, PlacesCodePointsAndRecordsFailures) {
  const caso_walk& c = GetParam();
  modello m = striscia(c.ultima, c.prima);
  completa_codici(m);
  EXPECT_EQ(oggetti_di(m), c.dopo);
  EXPECT_EQ(m.codice_errore, c.codice);
  EXPECT_EQ(m.posizione_errore, c.posizione);
}

// A: the signals in the 20 cells before a warning board in cell 100.
INSTANTIATE_TEST_SUITE_P(
    SegnaliPrimaDellAvviso, Completamento,
    testing::Values(caso_walk{"BothCellsFreePointGoesToTheNearer",
                              {segnale(90), avviso(100)},
                              {punto(89), segnale(90), avviso(100)}},
                    caso_walk{"MontagnaMarkCountsAsFree",
                              {montagna(89), segnale(90), avviso(100)},
                              {punto(89), segnale(90), avviso(100)}},
                    caso_walk{"NearerCellTakenPointGoesToTheOther",
                              {altro(89), segnale(90), avviso(100)},
                              {punto(88), altro(89), segnale(90), avviso(100)}},
                    caso_walk{"ExistingPoint270IsCappedTo180",
                              {altro(88), punto(89, 270), segnale(90), avviso(100)},
                              {altro(88), punto(89, 180), segnale(90), avviso(100)}},
                    caso_walk{"ExistingPoint75Stays75",
                              {altro(88), punto(89, 75), segnale(90), avviso(100)},
                              {altro(88), punto(89, 75), segnale(90), avviso(100)}},
                    // Cell 89 is a signal of its own, handled after 90: its point goes to 87.
                    caso_walk{"SignalThenPointOfValue270IsCapped",
                              {punto(88, 270), segnale(89), segnale(90), avviso(100)},
                              {punto(87), punto(88, 180), segnale(89), segnale(90), avviso(100)}},
                    // 90 fails; the signals in 89 and 88 then find room at 87 and 86.
                    caso_walk{
                        "TwoSignalsBeforeASignalGiveCode11",
                        {segnale(88), segnale(89), segnale(90), avviso(100)},
                        {punto(86), punto(87), segnale(88), segnale(89), segnale(90), avviso(100)},
                        11,
                        4500},
                    // Cell 9 is 21 cells back: were it looked at, its point would go to 7.
                    caso_walk{"SignalTwentyCellsBackIsHandledTwentyOneIsNot",
                              {segnale(9), segnale(10), avviso(30)},
                              {punto(8), segnale(9), segnale(10), avviso(30)}},
                    // Cell 2 would put its point in cell 1, but the look-back ends at cell 3.
                    caso_walk{"BoardInCell10LooksDownToCell3Only",
                              {segnale(2), segnale(9), avviso(10)},
                              {segnale(2), punto(8), segnale(9), avviso(10)}},
                    caso_walk{"SignalInCell3PutsItsPointInCell1",
                              {altro(2), segnale(3), avviso(10)},
                              {punto(1), altro(2), segnale(3), avviso(10)}},
                    caso_walk{"BoardInTheThirdLastCellIsATrigger",
                              {segnale(190), avviso(198)},
                              {punto(189), segnale(190), avviso(198)}},
                    caso_walk{"BoardInTheSecondLastCellIsNot",
                              {segnale(190), avviso(199)},
                              {segnale(190), avviso(199)}}),
    nome_caso);

// B: a slowdown starting in cell 100 and ending in cell 140, its warning
// board in cell 76, a signal in cell 150.
std::vector<oggetto> rallentamento(int16_t v, std::vector<oggetto> altri = {}) {
  std::vector<oggetto> r = {avviso(76, v), inizio(100, v), fine(140, v), segnale(150)};
  r.insert(r.end(), altri.begin(), altri.end());
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    AttornoAlRallentamento, Completamento,
    testing::Values(
        caso_walk{"SlowdownAt60",
                  rallentamento(60),
                  {avviso(76, 60), punto(82), punto(89), punto(95), inizio(100, 60), punto(108),
                   punto(116), punto(124), punto(132), punto(139), fine(140, 60), punto(149),
                   segnale(150)}},
        caso_walk{"SlowdownAt110HasNoPointsInsideButOneBeforeTheSignal",
                  rallentamento(110),
                  {avviso(76, 110), punto(82), punto(89), punto(95), inizio(100, 110),
                   fine(140, 110), punto(149), segnale(150)}},
        caso_walk{"StepOnTheEndWithTheCellBeforeTakenGoesPastTheEnd",
                  rallentamento(60, {segnale(139)}),
                  {avviso(76, 60), punto(82), punto(89), punto(95), inizio(100, 60), punto(108),
                   punto(116), punto(124), punto(132), segnale(139), fine(140, 60), punto(141),
                   punto(149), segnale(150)}},
        // The spacing counts from cell 107, where the point went.
        caso_walk{"PointMovedBeforeItsCellKeepsTheSpacingFromThere",
                  rallentamento(60, {altro(108)}),
                  {avviso(76, 60), punto(82), punto(89), punto(95), inizio(100, 60), punto(107),
                   altro(108), punto(115), punto(123), punto(131), punto(139), fine(140, 60),
                   punto(149), segnale(150)}},
        caso_walk{"PointMovedAfterItsCell",
                  rallentamento(60, {altro(107), altro(108)}),
                  {avviso(76, 60), punto(82), punto(89), punto(95), inizio(100, 60), altro(107),
                   altro(108), punto(109), punto(117), punto(125), punto(133), fine(140, 60),
                   punto(149), segnale(150)}},
        caso_walk{"NoRoomInsideGivesCode13AndNoFurtherPointsInside",
                  rallentamento(60, {altro(107), altro(108), altro(109)}),
                  {avviso(76, 60), punto(82), punto(89), punto(95), inizio(100, 60), altro(107),
                   altro(108), altro(109), fine(140, 60), punto(149), segnale(150)},
                  13,
                  5400},
        // B2 and B3 run although B1 failed.
        caso_walk{"FullApproachWindowGivesCode12",
                  rallentamento(120, {altro(93), altro(94), altro(95)}),
                  {avviso(76, 120), punto(82), punto(89), altro(93), altro(94), altro(95),
                   inizio(100, 120), fine(140, 120), punto(149), segnale(150)},
                  12,
                  5000},
        caso_walk{"AbbattimentoPointInAWindowIsTakenAndKeepsItsValue",
                  rallentamento(120, {punto(95, 250)}),
                  {avviso(76, 120), punto(82), punto(89), punto(94), punto(95, 250),
                   inizio(100, 120), fine(140, 120), punto(149), segnale(150)}},
        caso_walk{"AbbattimentoPointBeforeTheSignalAfterTheEndIsTaken",
                  rallentamento(120, {punto(149, 250)}),
                  {avviso(76, 120), punto(82), punto(89), punto(95), inizio(100, 120),
                   fine(140, 120), punto(148), punto(149, 250), segnale(150)}},
        caso_walk{"NoRoomBeforeTheSignalAfterTheEndGivesCode13AtTheEnd",
                  rallentamento(120, {altro(148), altro(149)}),
                  {avviso(76, 120), punto(82), punto(89), punto(95), inizio(100, 120),
                   fine(140, 120), altro(148), altro(149), segnale(150)},
                  13,
                  7000},
        caso_walk{"SignalTwelveCellsAfterTheEndIsFound",
                  {inizio(100, 120), fine(110, 120), segnale(122)},
                  {punto(82), punto(89), punto(95), inizio(100, 120), fine(110, 120), punto(121),
                   segnale(122)}},
        caso_walk{
            "SignalThirteenCellsAfterTheEndIsNot",
            {inizio(100, 120), fine(110, 120), segnale(123)},
            {punto(82), punto(89), punto(95), inizio(100, 120), fine(110, 120), segnale(123)}},
        caso_walk{"StartInCell7HasNoWindow",
                  {inizio(7, 120), fine(12, 120)},
                  {inizio(7, 120), fine(12, 120)}},
        caso_walk{"StartInCell8LooksAtCells3To1Only",
                  {inizio(8, 120), fine(12, 120)},
                  {punto(3), inizio(8, 120), fine(12, 120)}},
        caso_walk{"StartInCell8WithCells3And2TakenUsesCell1",
                  {altro(2), altro(3), inizio(8, 120), fine(12, 120)},
                  {punto(1), altro(2), altro(3), inizio(8, 120), fine(12, 120)}},
        caso_walk{"StartInCell8WithCells3To1TakenGivesCode12",
                  {segnale(1), altro(2), altro(3), inizio(8, 120), fine(12, 120)},
                  {segnale(1), altro(2), altro(3), inizio(8, 120), fine(12, 120)},
                  12,
                  400}),
    nome_caso);

// The strip's ends: cells past the last count as taken and no scan passes it.
INSTANTIATE_TEST_SUITE_P(
    FineDellaStriscia, Completamento,
    testing::Values(
        caso_walk{"SlowStartWithoutEndStopsAtTheLastCellWithCode13",
                  {inizio(180, 60)},
                  {punto(162), punto(169), punto(175), inizio(180, 60), punto(188), punto(196)},
                  13,
                  9000},
        caso_walk{"FastStartWithoutEndGivesCode13",
                  {inizio(180, 120)},
                  {punto(162), punto(169), punto(175), inizio(180, 120)},
                  13,
                  9000},
        // The step due in cell 200 finds 199 and 200 taken and 201 outside.
        caso_walk{"PointDueInTheLastCellCannotGoPastIt",
                  {inizio(192, 60), altro(199), altro(200)},
                  {punto(174), punto(181), punto(187), inizio(192, 60), altro(199), altro(200)},
                  13,
                  9600},
        caso_walk{"EndInTheLastCellIsFound",
                  {inizio(192, 60), fine(200, 60)},
                  {punto(174), punto(181), punto(187), inizio(192, 60), punto(199), fine(200, 60)}},
        caso_walk{"ThirdLastCellIsTheLastTrigger",
                  {inizio(198, 120), fine(200, 120), inizio(199, 120)},
                  {punto(180), punto(187), punto(193), inizio(198, 120), inizio(199, 120),
                   fine(200, 120)}},
        caso_walk{"ShortStrip", {inizio(1, 60)}, {inizio(1, 60)}, 13, 50, 3},
        caso_walk{"RouteWithoutSlowdownsIsUnchanged",
                  {segnale(50), altro(60), punto(70, 270), montagna(80), fine(90, 60)},
                  {segnale(50), altro(60), punto(70, 270), montagna(80), fine(90, 60)}}),
    nome_caso);

TEST(Completamento, EmptyStripIsLeftAlone) {
  modello m;
  completa_codici(m);
  EXPECT_TRUE(m.celle.empty());
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(Completamento, AWalkWithoutFailuresKeepsAReaderCode) {
  modello m = striscia(200, rallentamento(60));
  m.codice_errore = 16;
  m.posizione_errore = 1234;
  completa_codici(m);
  EXPECT_EQ(m.codice_errore, 16);
  EXPECT_EQ(m.posizione_errore, 1234);
}

// A later failure replaces an earlier one.
TEST(Completamento, TheLastFailureOfTheWalkIsRecorded) {
  modello m = striscia(300, {altro(93), altro(94), altro(95), inizio(100, 120), fine(110, 120),
                             segnale(190), altro(189), altro(188), avviso(200)});
  completa_codici(m);
  EXPECT_EQ(m.codice_errore, 11);
  EXPECT_EQ(m.posizione_errore, 9500);
}

// A point the walk puts into cell 1 takes the place of the marker.
TEST(Completamento, PointInCell1MakesTheMarkerCheckFail) {
  for (const auto& oggetti :
       {std::vector<oggetto>{altro(2), segnale(3), avviso(10)},
        std::vector<oggetto>{altro(2), altro(3), inizio(8, 120), fine(12, 120)}}) {
    modello m = striscia(200, oggetti);
    completa_codici(m);
    ASSERT_EQ(m.cella_a(1).evento, 12);
    EXPECT_EQ(timbra_codici(m), "1250");
  }
}

// The end of the run on a strip the test has filled: the walk, the checks
// and the files, as memorizza_percorso ends.
struct esecuzione_in_memoria {
  explicit esecuzione_in_memoria(const std::vector<oggetto>& oggetti) : m(striscia(200, oggetti)) {
    m.percorso = std::string(kPercorso);
    m.treno = std::string(kTreno);
  }

  bool esegui() {
    esito = completa_e_timbra(m);
    concludi_percorso(m, esito, cartella.percorso(), piattaforma);
    return esito.ha_celle;
  }

  modello m;
  esito_compilazione esito;
  prova::cartella_temporanea cartella;
  piattaforma_registrata piattaforma;
};

TEST(MemorizzaPercorso, PointInCell1StopsWith1250BeforeAnyCompiledFile) {
  esecuzione_in_memoria run({altro(2), altro(3), inizio(8, 120), fine(12, 120)});
  const std::string vecchio = "an older compiled file";
  prova::scrivi(run.cartella / nome_file_tabella(run.m), vecchio);
  prova::scrivi(run.cartella / nome_file_celle(run.m), vecchio);
  try {
    run.esegui();
    FAIL() << "the run went on past the failed check";
  } catch (const fermata_errore& e) {
    EXPECT_EQ(e.numero(), "1250");
  }
  EXPECT_EQ(prova::leggi(run.cartella / nome_file_tabella(run.m)), vecchio);
  EXPECT_EQ(prova::leggi(run.cartella / nome_file_celle(run.m)), vecchio);
  EXPECT_EQ(prova::elenco(run.cartella.percorso()).size(), 2U);
}

TEST(MemorizzaPercorso, AWalkFailureStillWritesTheFilesAndIsReported) {
  esecuzione_in_memoria run(rallentamento(120, {altro(93), altro(94), altro(95)}));
  ASSERT_TRUE(run.esegui());
  EXPECT_EQ(run.m.codice_errore, 12);
  EXPECT_EQ(run.m.posizione_errore, 5000);
  EXPECT_EQ(prova::elenco(run.cartella.percorso()),
            (std::vector<std::string>{nome_file_celle(run.m), nome_file_tabella(run.m)}));
  const auto celle = prova::leggi_byte(run.cartella / nome_file_celle(run.m));
  EXPECT_EQ(celle.at(kByteCella * 149), 12) << "the point before the signal after the end";

  EXPECT_EQ(stato_compilazione(run.esito, run.piattaforma), uscita_codice);
  ASSERT_EQ(run.piattaforma.messaggi.size(), 1U);
  EXPECT_NE(run.piattaforma.messaggi[0].find("code 12"), std::string::npos)
      << run.piattaforma.messaggi[0];
}

}  // namespace
}  // namespace scenario
