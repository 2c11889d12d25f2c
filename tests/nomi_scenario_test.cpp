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

// What a command that takes a pair of texts compiles them under, and what it
// says: names that follow the program's naming, names that disagree with
// each other or with the options, names of another kind.
TEST(NomiScenario, ThePairsNamesChooseTheRouteAndTheTrain) {
  struct caso {
    std::string linea, treno;
    std::optional<std::string> percorso, numero;
    std::string atteso_percorso, atteso_treno;
    std::vector<nomi_della_coppia::detto> detti;
  };
  const std::vector<caso> casi = {
      {"Pievarsa_Fontanedo_linea.txt",
       "Pievarsa_Fontanedo_2271-.txt",
       {},
       {},
       "Pievarsa_Fontanedo",
       "2271",
       {}},
      {"Pievarsa_Fontanedo_linea.txt",
       "Pievarsa_Fontanedo_2271-.txt",
       "P",
       "9",
       "P",
       "9",
       {{true, false,
         "--route 'P' is used, though the texts are named for route 'Pievarsa_Fontanedo'"},
        {true, true, "--train '9' is used, though the train text is named for train '2271'"}}},
      {"Pievarsa_linea.txt",
       "Fontanedo_2271-.txt",
       {},
       {},
       "Pievarsa",
       "2271",
       {{true, true,
         "the train text 'Fontanedo_2271-.txt' is named for route 'Fontanedo', the line text "
         "'Pievarsa_linea.txt' for route 'Pievarsa': route 'Pievarsa' and train '2271' are used. "
         "Name the two texts for one route, ROUTE_linea.txt and ROUTE_TRAIN-.txt"}}},
      {"linea.txt",
       "treno.txt",
       {},
       {},
       "U",
       "1",
       {{false, false,
         "the texts' names do not follow the program's naming, ROUTE_linea.txt and "
         "ROUTE_TRAIN-.txt: the embedded scenario's route 'U' and train '1' are used. Name the "
         "texts so, or give --route and --train"}}},
      {"linea.txt", "treno.txt", "P", "9", "P", "9", {}},
      {"P_linea.txt",
       "treno.txt",
       {},
       {},
       "P",
       "1",
       {{false, true,
         "the train text 'treno.txt' is not named P_TRAIN-.txt: the embedded scenario's train "
         "'1' is used. Name it so, or give --train"}}},
      {"linea.txt",
       "P_7-.txt",
       {},
       {},
       "P",
       "7",
       {{false, false,
         "the line text 'linea.txt' is not named P_linea.txt: the route 'P' is taken from the "
         "train text's name"}}},
      // A name that cannot be a route name is not taken.
      {"CON_linea.txt",
       "CON_7-.txt",
       {},
       {},
       "U",
       "7",
       {{false, false,
         "the line text 'CON_linea.txt' names a route or train that cannot be taken ('CON' is a "
         "name Windows keeps for a device): the embedded scenario's route 'U' is used. Name it "
         "so, or give --route"}}},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.linea + " " + c.treno);
    const nomi_della_coppia n = scegli_nomi(c.linea, c.treno, c.percorso, c.numero, "U", "1", true);
    EXPECT_EQ(n.percorso, c.atteso_percorso);
    EXPECT_EQ(n.treno, c.atteso_treno);
    ASSERT_EQ(n.detti.size(), c.detti.size());
    for (std::size_t k = 0; k < c.detti.size(); ++k) {
      EXPECT_EQ(n.detti[k].avviso, c.detti[k].avviso);
      EXPECT_EQ(n.detti[k].del_treno, c.detti[k].del_treno);
      EXPECT_EQ(n.detti[k].messaggio, c.detti[k].messaggio);
    }
  }
}

}  // namespace
}  // namespace scenario
