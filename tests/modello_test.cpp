#include "compiler/modello.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(ArrotondaPari, HalvesGoToTheEvenNeighbour) {
  struct caso {
    double x;
    double atteso;
  };
  for (auto [x, atteso] : {caso{140.5, 140}, caso{31.5, 32}, caso{32.5, 32}, caso{-0.5, 0},
                           caso{-1.5, -2}, caso{2.4999, 2}, caso{2.5001, 3}, caso{-2.6, -3}}) {
    EXPECT_EQ(arrotonda_pari(x), atteso) << x;
  }
}

TEST(Dimensiona, RouteOf57000MetresHas1281CellsAndAPlanOf64001Points) {
  modello m;
  m.crea_tracciato = 1;
  dimensiona(m, 57'000);
  EXPECT_EQ(m.lunghezza_estesa, 64'000);
  EXPECT_EQ(m.ultima_cella, 1'280);
  EXPECT_EQ(m.celle.size(), 1'281U);
  ASSERT_EQ(m.tracciato[0].size(), 64'001U);
  ASSERT_EQ(m.tracciato[1].size(), 64'001U);
  EXPECT_EQ(m.tracciato[1][64'000].tipo, tipo_elemento::vuoto);
}

TEST(Dimensiona, HalfCellRoundsToEvenAndNoPlanWithoutLineMode) {
  modello m;
  dimensiona(m, 25);  // 7025 / 50 = 140.5
  EXPECT_EQ(m.ultima_cella, 140);
  EXPECT_TRUE(m.tracciato[0].empty());
  EXPECT_TRUE(m.tracciato[1].empty());
}

TEST(Dimensiona, ARepeatedLengthSizesAfresh) {
  modello m;
  dimensiona(m, 57'000);
  m.cella_a(10).evento = 6;
  dimensiona(m, 1'000);
  EXPECT_EQ(m.ultima_cella, 160);
  EXPECT_EQ(m.cella_a(10).evento, 0);
}

TEST(PulisciTabella, EveryRowBecomesZeroWithAnEmptyName) {
  modello m;
  m.riga(0).nome = "x";
  m.riga(86).orario = 5;
  m.riga(40).campo13 = 9;
  pulisci_tabella(m);
  for (const voce& v : m.tabella) {
    EXPECT_EQ(v.nome, "");
    EXPECT_EQ(v.orario, 0);
    EXPECT_EQ(v.campo13, 0);
  }
}

}  // namespace
}  // namespace scenario
