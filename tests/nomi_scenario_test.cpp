// The route and train read back from the names of a scenario's two texts.
#include "base/nomi_scenario.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(NomiScenario, RouteAndTrainFromTheTextsNames) {
  EXPECT_EQ(percorso_della_linea("Ulmo_Tarvignano_Rovesco_linea.txt"), "Ulmo_Tarvignano_Rovesco");
  EXPECT_EQ(percorso_della_linea("_linea.txt"), std::nullopt);  // no route name
  EXPECT_EQ(percorso_della_linea("linea.txt"), std::nullopt);
  EXPECT_EQ(treno_del_percorso("Ulmo_Tarvignano_Rovesco_4816-.txt", "Ulmo_Tarvignano_Rovesco"),
            "4816");
  EXPECT_EQ(treno_del_percorso("Ulmo_Tarvignano_Rovesco_-.txt", "Ulmo_Tarvignano_Rovesco"),
            std::nullopt);  // no train number
  EXPECT_EQ(treno_del_percorso("Ulmo_4816-.txt", "Ulmo_Tarvignano"), std::nullopt);
  EXPECT_EQ(treno_del_percorso("UlmoX4816-.txt", "Ulmo"), std::nullopt);
  EXPECT_EQ(treno_del_percorso("Ulmo_4816.txt", "Ulmo"), std::nullopt);
}

TEST(NomiScenario, EachTrainTextPairsWithTheLongestRouteThatBeginsIt) {
  const std::vector<std::string> nomi = {"A_linea.txt", "A_B_linea.txt", "A_B_7-.txt",
                                         "A_9-.txt",    "C_1-.txt",      "note.txt"};
  EXPECT_EQ(percorso_del_treno(nomi, "A_B_7-.txt"), "A_B");
  EXPECT_EQ(percorso_del_treno(nomi, "C_1-.txt"), std::nullopt);  // no line text of C
  EXPECT_EQ(coppie_tra(nomi), (std::vector<coppia_nomi>{{"A", "9"}, {"A_B", "7"}}));
}

}  // namespace
}  // namespace scenario
