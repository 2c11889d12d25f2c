// The train card drafted from a scenario's texts: the embedded scenario's
// draft as one whole text, a long timetable that grows the table, the times
// with their half minutes, and the kilometre points across a chainage change.
// Every draft is also held to the card's geometry (widths, bars) measured on
// the lines, not taken from the layout's own constants.
#include "documents/bozza_scheda.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/scrittore_testo.h"
#include "compiler/modello.h"
#include "output/compilazione.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"

namespace scenario {
namespace {

// The draft of two texts compiled as the program compiles them; the compile
// must be clean.
std::vector<std::string> bozza(const std::string& linea, const std::string& treno,
                               std::string_view numero = kTreno) {
  modello m;
  sorgente_in_memoria testo_linea(linea);
  sorgente_in_memoria testo_treno(treno);
  opzioni_compilazione opzioni;
  opzioni.percorso = kPercorso;
  opzioni.treno = numero;
  const esito_compilazione esito = compila_percorso(m, testo_linea, testo_treno, opzioni);
  EXPECT_EQ(esito.codice_errore, 0) << "at " << esito.posizione_errore;
  EXPECT_TRUE(esito.da_scrivere());
  return bozza_scheda_treno(m, treno);
}

std::string righe(const std::vector<std::string>& linee) {
  std::string testo;
  for (const std::string& l : linee) testo += l + "\r\n";
  return testo;
}

// A route of `lunghezza` metres with these rows in its general section.
std::string linea(int lunghezza, const std::vector<std::string>& generale = {}) {
  std::vector<std::string> l = {"[generale]", "lunghezza percorso, " + std::to_string(lunghezza)};
  l.insert(l.end(), generale.begin(), generale.end());
  l.emplace_back("[curve]");
  l.emplace_back("[fine]");
  return righe(l);
}

// A stopping station row at `posizione` with its time and name.
std::string stazione(int posizione, int ore, int minuti, int secondi, const std::string& nome) {
  return "stazione, " + std::to_string(posizione) + ", 24, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, " +
         std::to_string(ore) + "," + std::to_string(minuti) + "," + std::to_string(secondi) + ", " +
         nome;
}

std::string treno(const std::vector<std::string>& dopo) {
  std::vector<std::string> l = {"[generale]", "numero vetture, 3", "percentuale massa frenata, 85",
                                "aderenza, 0, 100"};
  l.insert(l.end(), dopo.begin(), dopo.end());
  l.emplace_back("[fine]");
  return righe(l);
}

// The card's geometry, measured: column bars of 5, 5, 10, 5, 28, 16 and 5.
const std::vector<std::size_t> kBarreOrario = {1, 7, 13, 24, 30, 59, 76, 82};

std::vector<std::size_t> barre_di(std::string_view riga) {
  std::vector<std::size_t> b;
  for (std::size_t p = 0; p < riga.size(); ++p) {
    if (riga[p] == '|') b.push_back(p);
  }
  return b;
}

// The timetable's rows between the header and the closing rule.
std::vector<std::string> righe_tabella(const std::vector<std::string>& scheda) {
  const std::string chiusura = " |_____|_____|__________|_____|____________________________|" +
                               std::string(16, '_') + "|_____|";
  std::vector<std::string> tabella;
  std::size_t n = 16;  // the header's closing rule is line 16
  EXPECT_EQ(scheda.at(n - 1), chiusura);
  for (; n < scheda.size() && scheda[n] != chiusura; ++n) tabella.push_back(scheda[n]);
  EXPECT_LT(n, scheda.size()) << "the table is never closed";
  return tabella;
}

std::string colonna(const std::string& riga, std::size_t c) {
  return riga.substr(kBarreOrario[c] + 1, kBarreOrario[c + 1] - kBarreOrario[c] - 1);
}

// Every line of a draft: empty, 82 characters (the rules over boxes and
// table) or 83, except the notes' lines; the table's rows with their bars.
void segue_la_disposizione(const std::vector<std::string>& scheda) {
  const std::size_t chiusa = 16 + righe_tabella(scheda).size() + 1;  // line of the closing rule
  ASSERT_EQ(scheda.size(), chiusa + 5);
  for (std::size_t n = 1; n <= scheda.size(); ++n) {
    const std::string& r = scheda[n - 1];
    if (n == 1 || n == 2 || n == 12 || n > chiusa + 2) {
      EXPECT_EQ(r, "") << "line " << n;
    } else if (n == 3 || n == 8 || n == 13) {
      EXPECT_EQ(r.size(), 82U) << "line " << n;
    } else if (n > chiusa) {
      EXPECT_LT(r.size(), 82U) << "line " << n;
    } else {
      EXPECT_EQ(r.size(), 83U) << "line " << n << ": " << r;
    }
    if (n >= 14 && n <= chiusa) {
      EXPECT_EQ(barre_di(r), kBarreOrario) << "line " << n << ": " << r;
    }
  }
  EXPECT_EQ(scheda[chiusa], "  NOTE:");
  EXPECT_EQ(scheda[chiusa + 1], "  il + nella casella orario indica 1/2 minuto");
}

TEST(BozzaScheda, TheEmbeddedTextsDraftTheirCardStationByStation) {
  const std::vector<std::string> scheda =
      bozza(testo_da_righe(righe_dati_linea()), testo_da_righe(righe_dati_treno()));
  const std::string vuota =
      " |     |     |          |     |                            |                |     |";
  std::vector<std::string> attesa = {
      "",
      "",
      "  ___________________                                               ______________",
      " |                   |                    SCHEDA                   |              |",
      " |   TRENO n.4816    |                   da: ULMO                  |              |",
      " |___________________|                    a: ROVESCO P.A.          |     100%     |",
      "                                                                   |______________|",
      "  ___________________                ___________________            ______________",
      " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |          |              |",
      " |                   |              |                   |          |              |",
      " |___________________|              |___________________|          |______________|",
      "",
      "  ________________________________________________________________________________",
      " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
      " | Lim.|Marc.|          |  Rs |                            |                |     |",
      " |_____|_____|__________|_____|____________________________|________________|_____|",
      // Stations and speed changes in route order; the chainage of the first
      // segment (82.5 km at 0 m) ends after Tarvignano, the second counts
      // from 0 at 13 550 m.
      " |  30 |     |   82.500 |     |ULMO                        | 6.46           |     |",
      " | 105 |     |   83.000 |     |Km 83+000                   |       -        |     |",
      " |     |     |   88.150 |     |2\xB0 bivio ULMO NORD          |        -       |     |",
      " |     |     |   90.900 |     |VESSANO                     |           6.52 |     |",
      " |  90 |     |   96.000/|     |TARVIGNANO-LUCERNO          |           7.09 |     |",
      " |  75 |     |    5.050 |     |Km 5+050                    |       -        |     |",
      " |     |     |    5.450 |     |BRUCIGNANO                  |           7.18+|     |",
      " |     |     |    7.100 |     |S. ILARIO                   |           7.21+|     |",
      " |  85 |     |    7.150 |     |Km 7+150                    |       -        |     |",
      " |  90 |     |   13.000 |     |Km 13+000                   |       -        |     |",
      " |  85 |     |   16.050 |     |Km 16+050                   |       -        |     |",
      " |     |     |   16.450 |     |GROTTE S. MARTINO           |           7.29+|     |",
      " | 100 |     |   18.050 |     |Km 18+050                   |       -        |     |",
      " |  85 |     |   22.000 |     |Km 22+000                   |       -        |     |",
      " |  75 |     |   26.700 |     |MONTEBRUNESCO               |           7.40 |     |",
      " |  85 |     |   31.000 |     |Km 31+000                   |       -        |     |",
      " |  70 |     |   37.000 |     |Km 37+000                   |       -        |     |",
      " |     |     |   39.100 |     |ROVESCO P.A.                |           7.51 |     |",
  };
  attesa.insert(attesa.end(), 13, vuota);
  attesa.insert(
      attesa.end(),
      {" |_____|_____|__________|_____|____________________________|________________|_____|",
       "  NOTE:", "  il + nella casella orario indica 1/2 minuto", "", "", ""});
  EXPECT_EQ(scheda, attesa);
  segue_la_disposizione(scheda);
}

TEST(BozzaScheda, FortyStationsGrowTheTableToHoldThemAll) {
  std::vector<std::string> righe_treno = {"velocita, 0, 80", "velocita, 20250, 100"};
  for (int k = 1; k <= 40; ++k) {
    righe_treno.push_back(stazione(1000 * k, 8 + k / 30, 2 * k % 60, 0, "S" + std::to_string(k)));
  }
  const std::vector<std::string> scheda = bozza(linea(42000), treno(righe_treno));
  segue_la_disposizione(scheda);
  const std::vector<std::string> tabella = righe_tabella(scheda);
  // 40 stations and the one change of the limit between them; no blank row.
  ASSERT_EQ(tabella.size(), 41U);
  std::size_t n = 0;
  for (int k = 1; k <= 40; ++k, ++n) {
    if (k == 21) {
      EXPECT_EQ(colonna(tabella[n], 0), " 100 ");
      EXPECT_EQ(colonna(tabella[n], 4), "Km 20+250" + std::string(19, ' '));
      ++n;
    }
    const std::string nome = "S" + std::to_string(k);
    EXPECT_EQ(colonna(tabella[n], 4), nome + std::string(28 - nome.size(), ' ')) << tabella[n];
    const int minuti = 2 * k % 60;
    const std::string ora =
        std::to_string(8 + k / 30) + (minuti < 10 ? ".0" : ".") + std::to_string(minuti);
    const std::string orario = colonna(tabella[n], 5);
    EXPECT_EQ(orario.substr(orario.find_first_not_of(' ')), ora + (k == 1 ? "           " : " "))
        << tabella[n];
  }
  EXPECT_EQ(colonna(tabella[0], 0), "  80 ");
  EXPECT_EQ(colonna(tabella[0], 2), "    1.000 ");
  EXPECT_EQ(colonna(tabella[0], 5), " 8.02           ");
  EXPECT_EQ(colonna(tabella[30], 5), "           9.00 ");  // S30
  EXPECT_EQ(colonna(tabella[40], 2), "   40.000 ");
}

// Times as the card writes them: "h.mm", "+" from the half minute on, the
// origin's at the left, a time of 0 a transit. The limit in force at the
// origin heads it; changes before the origin or past the terminus are not
// the train's.
TEST(BozzaScheda, HalfMinutesTakeAPlusAndAStationWithoutTimeIsPassedThrough) {
  struct caso {
    int ore, minuti, secondi;
    std::string orario;
  };
  const std::vector<caso> casi = {
      {6, 5, 0, " 6.05           "},   {7, 10, 29, "           7.10 "},
      {7, 10, 30, "           7.10+"}, {7, 10, 59, "           7.10+"},
      {0, 0, 0, "        -       "},   {10, 0, 30, "          10.00+"},
      {24, 5, 0, "           0.05 "},  {23, 59, 45, "          23.59+"},
  };
  std::vector<std::string> righe_treno = {"velocita, 0, 40", "velocita, 500, 50",
                                          "velocita, 9500, 60"};
  for (std::size_t k = 0; k < casi.size(); ++k) {
    const int posizione = 1000 * static_cast<int>(k + 1);
    righe_treno.push_back(stazione(posizione, casi[k].ore, casi[k].minuti, casi[k].secondi,
                                   "S" + std::to_string(k + 1)));
  }
  const std::vector<std::string> scheda = bozza(linea(12000), treno(righe_treno));
  segue_la_disposizione(scheda);
  const std::vector<std::string> tabella = righe_tabella(scheda);
  ASSERT_EQ(tabella.size(), 31U);
  for (std::size_t k = 0; k < casi.size(); ++k) {
    EXPECT_EQ(colonna(tabella[k], 4).substr(0, 3), "S" + std::to_string(k + 1) + " ");
    EXPECT_EQ(colonna(tabella[k], 5), casi[k].orario) << tabella[k];
    EXPECT_EQ(colonna(tabella[k], 0), k == 0 ? "  50 " : "     ") << tabella[k];
  }
  for (std::size_t k = casi.size(); k < tabella.size(); ++k) {
    EXPECT_EQ(tabella[k], " |     |     |          |     |                            |" +
                              std::string(16, ' ') + "|     |");
  }
  // The braked percentage of the train text; the rest of the boxes blank.
  EXPECT_EQ(scheda[4], " |   TRENO n.4816    |                   da: S1                    |" +
                           std::string(14, ' ') + "|");
  EXPECT_EQ(scheda[5], " |___________________|                    a: S8                    |" +
                           std::string(5, ' ') + "85%" + std::string(6, ' ') + "|");
}

// The second chainage segment (the flag adds 100 m to its offset) begins at
// 2 000 m: the last row before it carries the "/", the rows from there on
// count from its offset, the speed changes' names too.
TEST(BozzaScheda, KilometrePointsFollowTheChainageAcrossItsChange) {
  const std::string testo_linea = linea(6000, {"progressiva chilometrica uno, 0, 10000, 0",
                                               "progressiva chilometrica due, 2000, 50000, 1",
                                               "progressiva chilometrica tre, 0, 0, 0"});
  const std::string testo_treno =
      treno({"velocita, 0, 60", "velocita, 1800, 70", "velocita, 2000, 80",
             stazione(1000, 9, 0, 0, "PRIMA"), stazione(1500, 9, 1, 0, "SECONDA"),
             stazione(3000, 9, 3, 0, "TERZA")});
  const std::vector<std::string> tabella = righe_tabella(bozza(testo_linea, testo_treno, "12"));
  ASSERT_EQ(tabella.size(), 31U);
  const std::vector<std::vector<std::string>> attese = {
      {"  60 ", "   11.000 ", "PRIMA"},     {"     ", "   11.500 ", "SECONDA"},
      {"  70 ", "   11.800/", "Km 11+800"}, {"  80 ", "   52.100 ", "Km 52+100"},
      {"     ", "   53.100 ", "TERZA"},
  };
  for (std::size_t n = 0; n < attese.size(); ++n) {
    EXPECT_EQ(colonna(tabella[n], 0), attese[n][0]) << tabella[n];
    EXPECT_EQ(colonna(tabella[n], 2), attese[n][1]) << tabella[n];
    EXPECT_EQ(colonna(tabella[n], 4), attese[n][2] + std::string(28 - attese[n][2].size(), ' '))
        << tabella[n];
  }
}

// What does not fit its place is cut to it: a station's name in the table
// and in the title, the train's number in its box; the line keeps its width.
TEST(BozzaScheda, ANameLongerThanItsPlaceIsCutToIt) {
  const std::string lungo = "STAZIONE DAL NOME TANTO LUNGO DA NON STARCI";
  const std::vector<std::string> scheda = bozza(
      linea(5000), treno({"velocita, 0, 60", stazione(1000, 9, 0, 0, lungo)}), "1234567890123456");
  segue_la_disposizione(scheda);
  EXPECT_EQ(scheda[4], " |TRENO n.12345678901|                   da: " + lungo.substr(0, 22) +
                           "|              |");
  EXPECT_EQ(colonna(righe_tabella(scheda)[0], 4), lungo.substr(0, 28));
}

// A train text without stations still gives the whole card, its title and
// its table blank.
TEST(BozzaScheda, NoStationsLeaveTheTitleAndTheTableBlank) {
  const std::vector<std::string> scheda = bozza(linea(5000), treno({"velocita, 0, 60"}));
  segue_la_disposizione(scheda);
  EXPECT_EQ(scheda[4], " |   TRENO n.4816    |                   da: " + std::string(22, ' ') +
                           "|              |");
  const std::vector<std::string> tabella = righe_tabella(scheda);
  ASSERT_EQ(tabella.size(), 31U);
  for (const std::string& r : tabella) {
    EXPECT_EQ(r, " |     |     |          |     |                            |" +
                     std::string(16, ' ') + "|     |");
  }
}

}  // namespace
}  // namespace scenario
