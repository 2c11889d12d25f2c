#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/sorgenti.h"
#include "supporto.h"

namespace scenario {
namespace {

// The whole train text as the program writes it, byte for byte.
constexpr std::string_view kFileAtteso =
    "[generale]\r\n"
    "numero vetture,    5\r\n"
    "percentuale massa frenata,    100\r\n"
    "sabbia,    150\r\n"
    "orologio,    6               45            42 \r\n"
    "[aderenze]\r\n"
    "aderenza,   0,    100\r\n"
    "aderenza,   20400,    79\r\n"
    "aderenza,   21900,    85\r\n"
    "aderenza,   22900,    95\r\n"
    "aderenza,   37500,    81\r\n"
    "aderenza,   39000,    77\r\n"
    "aderenza,   40550,    86\r\n"
    "[vel_limite]\r\n"
    "velocita,       0,    30\r\n"
    "velocita,     500,   105\r\n"
    "velocita,   13500,    90\r\n"
    "velocita,   18600,    75\r\n"
    "velocita,   20700,    85\r\n"
    "velocita,   26550,    90\r\n"
    "velocita,   29600,    85\r\n"
    "velocita,   31600,   100\r\n"
    "velocita,   35550,    85\r\n"
    "velocita,   40250,    75\r\n"
    "velocita,   44550,    85\r\n"
    "velocita,   50550,    70\r\n"
    "[stazioni]\r\n"
    "stazione,       0,  8,  300,  1, 0, 0,  4,1,0,  2,1,1,    1,   6,46, 0, ULMO\r\n"
    "stazione,    5650, 27,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, 2\xB0 bivio ULMO "
    "NORD\r\n"
    "stazione,    8400, 24,  400,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,52, 0, VESSANO\r\n"
    "stazione,   13500, 22,  400,  0, 0, 0,  0,0,0,  4,1,1,   60,   7, 9, 0, TARVIGNANO-LUCERNO\r\n"
    "stazione,   19000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   60,   7,18,30, BRUCIGNANO\r\n"
    "stazione,   20650, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,   7,21,30, S. ILARIO\r\n"
    "stazione,   30000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,29,30, GROTTE S. MARTINO\r\n"
    "stazione,   40250, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,40, 0, MONTEBRUNESCO\r\n"
    "stazione,   52650, 12,  300,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,51, 0, ROVESCO P.A.\r\n"
    "[rallentamenti]\r\n"
    "rallentamento,    2800,    60,  450, 0,  0,  60\r\n"
    "rallentamento,    5450,    40,  400, 0,  0,  40\r\n"
    "[segnali]\r\n"
    "segnale,    1500,   1, 4, 0,  0, 0,    2,  2,0,0, 0\r\n"
    "segnale,    2850,   1, 4, 0,  0, 0,    2,  2,0,0, 0\r\n"
    "segnale,    4150,   1, 4, 1,  0, 0,    2,  3,1,0, 0\r\n"
    "segnale,    5400,   1, 4, 1,  1, 0,    2,  2,1,1, 0\r\n"
    "segnale,    6550,   1, 5, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,    7500,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   11350,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   12500,   2, 2, 3,  0, 0,    0,  0,0,0, 230\r\n"
    "segnale,   16600,   1, 3, 4,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   17900,   1, 2, 3,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   27900,   1, 5, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   29100,   1, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   38400,   1, 5, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   39500,   1, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   50500,   1, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   51800,   2, 3, 1,  0, 0,    0,  0,0,0, 230\r\n"
    "[codici]\r\n"
    "[fine]\r\n";

modello scenario_incorporato() {
  modello m;
  m.percorso = "Ulmo_Tarvignano_Rovesco";
  m.treno = "4816";
  return m;
}

TEST(DatiTreno, WritesTheTrainTextByteForByte) {
  prova::cartella_temporanea cartella;
  dati_treno(scenario_incorporato(), cartella.percorso());
  EXPECT_EQ(prova::elenco(cartella.percorso()),
            std::vector<std::string>{"Ulmo_Tarvignano_Rovesco_4816-.txt"});
  EXPECT_EQ(prova::leggi(cartella / "Ulmo_Tarvignano_Rovesco_4816-.txt"), kFileAtteso);
}

TEST(DatiTreno, FiftyEightLinesEachEndingInCrLfAndNoEndMark) {
  prova::cartella_temporanea cartella;
  dati_treno(scenario_incorporato(), cartella.percorso());
  const std::string testo = prova::leggi(cartella / "Ulmo_Tarvignano_Rovesco_4816-.txt");
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\n'), 58);
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\r'), 58);
  EXPECT_EQ(testo.find("\r\n\r\n"), std::string::npos);
  EXPECT_TRUE(testo.ends_with("\r\n[fine]\r\n"));
  EXPECT_EQ(testo.find("riferimento fine del file"), std::string::npos);
  EXPECT_NE(testo.find("\r\norologio,    6               45            42 \r\n"),
            std::string::npos);
  EXPECT_NE(testo.find("2\xB0 bivio ULMO NORD\r\n"), std::string::npos);
  EXPECT_EQ(righe_dati_treno().size(), 58U);
}

TEST(DatiTreno, ReplacesAStaleFileWhole) {
  prova::cartella_temporanea cartella;
  const auto file = cartella / "Ulmo_Tarvignano_Rovesco_4816-.txt";
  prova::scrivi(file, std::string(10'000, 'x'));
  dati_treno(scenario_incorporato(), cartella.percorso());
  EXPECT_EQ(prova::leggi(file), kFileAtteso);
}

}  // namespace
}  // namespace scenario
