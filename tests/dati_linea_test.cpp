#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/esecuzione.h"
#include "base/scrittore_testo.h"
#include "compiler/lettori.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "supporto.h"

namespace scenario {
namespace {

constexpr std::string_view kNomeFile = "Ulmo_Tarvignano_Rovesco_linea.txt";

modello modello_ulmo() {
  modello m;
  m.percorso = kPercorso;
  m.treno = kTreno;
  return m;
}

std::vector<std::string> dividi(std::string_view testo, std::string_view separatore) {
  std::vector<std::string> parti;
  std::size_t inizio = 0;
  while (true) {
    const std::size_t fine = testo.find(separatore, inizio);
    parti.emplace_back(testo.substr(inizio, fine - inizio));
    if (fine == std::string_view::npos) return parti;
    inizio = fine + separatore.size();
  }
}

std::vector<std::string> righe_file(const std::string& testo) {
  std::vector<std::string> righe = dividi(testo, "\r\n");
  EXPECT_EQ(righe.back(), "") << "the file ends with CR LF";
  righe.pop_back();
  return righe;
}

// File lines first..last (from 1).
std::vector<std::string_view> linee(std::size_t prima, std::size_t ultima) {
  const auto tutte = righe_dati_linea();
  return {tutte.begin() + static_cast<std::ptrdiff_t>(prima - 1),
          tutte.begin() + static_cast<std::ptrdiff_t>(ultima)};
}

TEST(DatiLinea, WritesTheFileOf150LinesAndReplacesAnOlderOne) {
  prova::cartella_temporanea cartella;
  const modello m = modello_ulmo();
  prova::scrivi(cartella / std::string(kNomeFile), std::string(20000, 'x'));
  dati_linea(m, cartella.percorso());
  const std::string primo = prova::leggi(cartella / std::string(kNomeFile));
  dati_linea(m, cartella.percorso());
  const std::string secondo = prova::leggi(cartella / std::string(kNomeFile));
  EXPECT_EQ(primo, secondo);
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{std::string(kNomeFile)});

  const std::vector<std::string> righe = righe_file(primo);
  ASSERT_EQ(righe.size(), 150U);
  EXPECT_EQ(righe.front(), "[generale]");
  EXPECT_EQ(righe.back(), "[fine]");
  EXPECT_EQ(primo.find(kFineFile), std::string::npos);
  EXPECT_EQ(std::count(primo.begin(), primo.end(), '\n'), 150);
  EXPECT_EQ(std::count(primo.begin(), primo.end(), '\r'), 150);
  EXPECT_TRUE(std::all_of(primo.begin(), primo.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  })) << "the embedded line file is pure ASCII";
}

TEST(DatiLinea, SectionsStandOnTheirLines) {
  const auto tutte = righe_dati_linea();
  const std::map<std::size_t, std::string_view> sezioni = {
      {1, "[generale]"},   {10, "[curve]"},        {61, "[pendenze]"}, {105, "[montagne]"},
      {111, "[cartelli]"}, {125, "[indicazioni]"}, {150, "[fine]"}};
  for (std::size_t n = 1; n <= tutte.size(); ++n) {
    const std::string_view riga = tutte[n - 1];
    const bool intestazione = riga.find('[') != std::string_view::npos;
    EXPECT_EQ(intestazione, sezioni.contains(n)) << "line " << n << ": " << riga;
    if (sezioni.contains(n)) {
      EXPECT_EQ(riga, sezioni.at(n));
    }
    EXPECT_FALSE(riga.empty());
    EXPECT_NE(riga.front(), ' ') << "line " << n;
    EXPECT_NE(riga.back(), ' ') << "line " << n;
  }
}

// The rows only the reader's comment and comma rules could spoil: no keyword
// holds a dash, no board text a comma.
TEST(DatiLinea, NoKeywordIsACommentAndNoBoardTextIsCut) {
  for (std::string_view riga : righe_dati_linea()) {
    const std::string parola = dividi(riga, ",").front();
    EXPECT_EQ(parola.find('-'), std::string::npos) << riga;
  }
  for (std::string_view riga : linee(126, 149)) {
    EXPECT_EQ(dividi(riga, ",").size(), 3U) << riga;
  }
}

struct curva {
  char lato;
  int classe;
  int32_t inizio;
  int32_t lunghezza;
};

std::vector<curva> curve() {
  std::vector<curva> esito;
  for (std::string_view riga : linee(11, 60)) {
    const std::vector<std::string> parti = dividi(riga, ",  ");
    EXPECT_EQ(parti.size(), 3U) << riga;
    EXPECT_EQ(parti[0].size(), 7U) << riga;
    curva c{parti[0][5], parti[0][6] - '0', std::stoi(parti[1]), std::stoi(parti[2])};
    // Written back in the file's own spacing, the row must come out the same.
    EXPECT_EQ(std::string("curva") + c.lato + std::to_string(c.classe) + ",  " +
                  std::to_string(c.inizio) + ",  " + std::to_string(c.lunghezza),
              riga);
    esito.push_back(c);
  }
  return esito;
}

TEST(DatiLinea, CurveRowsKeepEveryRule) {
  const std::vector<curva> c = curve();
  ASSERT_EQ(c.size(), 50U);
  std::map<char, int> per_lato;
  std::map<int, int> per_classe;
  int adiacenti = 0;
  for (std::size_t n = 0; n < c.size(); ++n) {
    ++per_lato[c[n].lato];
    ++per_classe[c[n].classe];
    EXPECT_GE(c[n].lunghezza, 50);
    EXPECT_LE(c[n].lunghezza, 600);
    if (n > 0) {
      const int32_t fine_prima = c[n - 1].inizio + c[n - 1].lunghezza;
      EXPECT_GE(c[n].inizio, fine_prima) << "curve " << n << " overlaps the one before";
      if (c[n].inizio == fine_prima) ++adiacenti;
    }
  }
  EXPECT_EQ(c.front().inizio, 600);
  EXPECT_EQ(c.back().inizio, 52000);
  EXPECT_EQ(adiacenti, 5);
  EXPECT_EQ(per_lato, (std::map<char, int>{{'d', 26}, {'s', 24}}));
  EXPECT_EQ(per_classe, (std::map<int, int>{{2, 4}, {3, 10}, {4, 27}, {5, 6}, {6, 3}}));
  EXPECT_EQ(std::count_if(c.begin(), c.end(), [](const curva& x) { return x.lunghezza == 600; }), 1)
      << "one longest curve";

  const auto tutte = righe_dati_linea();
  auto presente = [&tutte](std::string_view riga) {
    return std::find(tutte.begin() + 10, tutte.begin() + 60, riga) != tutte.begin() + 60;
  };
  EXPECT_EQ(tutte[10], "curvas4,  600,  500");
  EXPECT_EQ(tutte[11], "curvad4,  1700,  400");
  EXPECT_EQ(tutte[59], "curvas4,  52000,  400");
  EXPECT_TRUE(presente("curvad4,  5450,  600"));
  for (std::string_view coppia : {"curvas6,  13200,  50", "curvad2,  41750,  50"}) {
    auto dove = std::find(tutte.begin(), tutte.end(), coppia);
    ASSERT_NE(dove, tutte.end()) << coppia;
    EXPECT_EQ(*(dove + 1),
              coppia == "curvas6,  13200,  50" ? "curvad6,  13250,  50" : "curvad3,  41800,  200");
  }
}

struct pendenza {
  int32_t posizione;
  int32_t valore;
};

TEST(DatiLinea, GradientRowsKeepEveryRule) {
  std::vector<pendenza> p;
  for (std::string_view riga : linee(62, 104)) {
    const std::vector<std::string> parti = dividi(riga, ",");
    ASSERT_EQ(parti.size(), 3U) << riga;
    pendenza g{std::stoi(parti[1]), std::stoi(parti[2])};
    const bool prima = p.empty();
    EXPECT_EQ(std::string("pendenza,") + (prima ? "   " : "  ") + std::to_string(g.posizione) +
                  "," + (prima ? "    " : "   ") + std::to_string(g.valore),
              riga);
    p.push_back(g);
  }
  ASSERT_EQ(p.size(), 43U);
  for (std::size_t n = 1; n < p.size(); ++n) {
    EXPECT_GE(p[n].posizione - p[n - 1].posizione, 50) << "row " << n;
  }
  const auto [minimo, massimo] = std::minmax_element(
      p.begin(), p.end(), [](pendenza a, pendenza b) { return a.valore < b.valore; });
  EXPECT_EQ(minimo->valore, -22);
  EXPECT_EQ(minimo->posizione, 42150);
  EXPECT_EQ(massimo->valore, 35);
  EXPECT_EQ(p[0].posizione, 0);
  EXPECT_EQ(p[0].valore, 0);
  // The rows the reader's results pin: nothing between 0 m and 19 300 m.
  const std::vector<std::string_view> fissate = {"pendenza,  19300,   10", "pendenza,  19500,   35",
                                                 "pendenza,  19600,   15",
                                                 "pendenza,  19700,   35"};
  EXPECT_EQ(linee(63, 66), fissate);
  EXPECT_EQ(linee(104, 104).front(), "pendenza,  56200,   7");
  EXPECT_EQ(std::count_if(p.begin(), p.end(), [](pendenza g) { return g.valore == -22; }), 1);
}

// The content the line's other rows must hold, word for word.
TEST(DatiLinea, FixedRows) {
  const std::vector<std::string_view> generali = {
      "lunghezza percorso,    57000",
      "progressiva chilometrica uno,    0,    82500,    0",
      "progressiva chilometrica due,    13550,    -13550,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    1",
      "sfondo due,    13550",
      "sfondo tre,    16400",
      "ripetizione segnali 4 codici,    500,    7450"};
  EXPECT_EQ(linee(2, 9), generali);
  const std::vector<std::string_view> montagne = {
      "montagna,   2800,  3250,  2", "montagna,   20250,  20800,  12",
      "montagna,   21600,  22000,  2", "montagna,   40650,  41250,  12",
      "montagna,   45550,  45650,  12"};
  EXPECT_EQ(linee(106, 110), montagne);
  EXPECT_EQ(linee(112, 112).front(),
            "indicatori_vmax,  500,  100,  105,  110,  0,  100,  105,  110,  0");
  EXPECT_EQ(linee(113, 113).front(), "indicatori_vmax,  13750,  90,  90,  90,  0,  ,  ,  ,  0");
  EXPECT_EQ(linee(124, 124).front(), "indicatori_vmax,  49700,  65,  70,  80,  0,  ,  ,  ,  0");
  EXPECT_EQ(linee(126, 126).front(), "cartello_indicatore,  550,   (DEV. U.)");
  EXPECT_EQ(linee(129, 129).front(),
            "cartello_indicatore,  11500,   ( CAVALCAVIA  )(AUTOSTRADA Q4)");
  EXPECT_EQ(linee(149, 149).front(), "cartello_indicatore,  39300,   (P.L.A.    )(KM. 27.730)");
}

// The embedded line read back by the line half.
class LineaUlmo : public ::testing::Test {
 protected:
  void SetUp() override {
    m_ = modello_ulmo();
    m_.crea_tracciato = 1;
    m_.riga(85).nome = m_.percorso;
    m_.riga(86).nome = m_.treno;
    sorgente_in_memoria linea(testo_da_righe(righe_dati_linea()));
    ASSERT_EQ(leggi_linea(m_, linea, valori_), esito_linea::prosegui);
    EXPECT_FALSE(linea.esiste());
  }

  const cella& c(int32_t n) const { return m_.cella_a(n); }
  double x(int32_t punto) const {
    return m_.tracciato[0].at(static_cast<std::size_t>(punto)).valore;
  }
  double y(int32_t punto) const {
    return m_.tracciato[1].at(static_cast<std::size_t>(punto)).valore;
  }

  modello m_;
  valori_lettura valori_;
};

TEST_F(LineaUlmo, SizesAndGeneralRows) {
  EXPECT_EQ(m_.codice_errore, 0);
  EXPECT_EQ(m_.ultima_cella, 1280);
  EXPECT_EQ(m_.lunghezza_estesa, 64000);
  EXPECT_EQ(m_.celle.size(), 1281U);
  struct riga {
    int n;
    int32_t inizio, fine, posizione;
  };
  for (auto [n, inizio, fine, posizione] : std::vector<riga>{{81, 13550, -13550, 0},
                                                             {82, 0, 82500, 0},
                                                             {83, 0, 0, 0},
                                                             {84, 0, 57000, 0},
                                                             {85, 1, 16400, 13550},
                                                             {86, 500, 7450, 4}}) {
    EXPECT_EQ(m_.riga(n).inizio, inizio) << "row " << n;
    EXPECT_EQ(m_.riga(n).fine, fine) << "row " << n;
    EXPECT_EQ(m_.riga(n).posizione, posizione) << "row " << n;
  }
}

TEST_F(LineaUlmo, BoardTexts) {
  const auto indicazioni = linee(126, 149);
  for (int n = 0; n < 24; ++n) {
    const std::string testo = dividi(indicazioni[static_cast<std::size_t>(n)], ",   ").back();
    EXPECT_EQ(m_.riga(80 - n).nome, testo) << "row " << 80 - n;
  }
  EXPECT_EQ(m_.riga(80).nome, "(DEV. U.)");
  EXPECT_EQ(m_.riga(57).nome, "(P.L.A.    )(KM. 27.730)");
  EXPECT_EQ(m_.riga(56).nome, "");
  EXPECT_EQ(valori_.voce_cartello, 56);
}

TEST_F(LineaUlmo, Boards) {
  EXPECT_EQ(c(12).evento, 14);
  EXPECT_EQ(c(12).dato1, 80);
  EXPECT_EQ(c(11).evento, 6);
  EXPECT_EQ(c(11).dato1, 2020);
  EXPECT_EQ(c(11).dato2, 2121);
  EXPECT_EQ(c(11).dato3, 2222);
  EXPECT_EQ(c(11).dato4, 0);
  EXPECT_EQ(c(987).evento, 6);
  EXPECT_EQ(c(987).dato1, 1300);
  EXPECT_EQ(c(987).dato4, 20);
  int cartelli = 0;
  int indicatori = 0;
  for (const cella& k : m_.celle) {
    cartelli += k.evento == 14 ? 1 : 0;
    indicatori += k.evento == 6 ? 1 : 0;
  }
  EXPECT_EQ(cartelli, 24);
  EXPECT_EQ(indicatori, 13);
}

TEST_F(LineaUlmo, MontagnaCellsAndMarks) {
  EXPECT_EQ(m_.n_montagne, 5);
  EXPECT_EQ(m_.montagne_inizio[2], 20250);
  EXPECT_EQ(m_.montagne_fine[5], 45650);
  std::set<int32_t> segni;
  std::map<int32_t, uint8_t> tipi;
  for (int32_t n = 0; n <= m_.ultima_cella; ++n) {
    if (c(n).evento == 11) segni.insert(n);
    if (c(n).montagna != 0) tipi[n] = c(n).montagna;
  }
  EXPECT_EQ(segni, (std::set<int32_t>{408, 412, 816, 820, 824}));
  std::map<int32_t, uint8_t> attesi;
  for (auto [prima, ultima] : std::vector<std::pair<int32_t, int32_t>>{
           {56, 64}, {405, 415}, {432, 439}, {813, 824}, {911, 912}}) {
    for (int32_t n = prima; n <= ultima; ++n) attesi[n] = 2;
  }
  EXPECT_EQ(tipi, attesi);
}

TEST_F(LineaUlmo, GradientBytesByCellRange) {
  struct tratto {
    int32_t prima, ultima;
    uint8_t byte;
  };
  for (auto [prima, ultima, byte] : std::vector<tratto>{{0, 385, 100},
                                                        {386, 389, 110},
                                                        {390, 391, 135},
                                                        {392, 393, 115},
                                                        {394, 394, 135},
                                                        {842, 842, 81},
                                                        {843, 843, 78},
                                                        {1124, 1277, 107},
                                                        {1278, 1280, 0}}) {
    for (int32_t n = prima; n <= ultima; ++n) EXPECT_EQ(c(n).pendenza, byte) << "cell " << n;
  }
  EXPECT_EQ(valori_.indice_pendenza, 1278);
  EXPECT_EQ(valori_.pendenza_prec, 7);
}

TEST_F(LineaUlmo, PlanPoints) {
  EXPECT_EQ(m_.tracciato[0][0].tipo, tipo_elemento::intero);
  EXPECT_EQ(m_.tracciato[1][1].tipo, tipo_elemento::intero);
  EXPECT_EQ(y(1), 1.0);
  EXPECT_EQ(x(600), 0.0);
  EXPECT_EQ(y(600), 600.0);
  EXPECT_EQ(x(601), -0.001);
  EXPECT_EQ(y(601), 601.0);
  EXPECT_NEAR(x(1100), -122.677, 0.0005);
  EXPECT_NEAR(y(1100), 1079.423, 0.0005);
  EXPECT_EQ(m_.tracciato[0][63998].tipo, tipo_elemento::doppio);
  for (int32_t vuoto : {63999, 64000}) {
    EXPECT_EQ(m_.tracciato[0][static_cast<std::size_t>(vuoto)].tipo, tipo_elemento::vuoto);
    EXPECT_EQ(m_.tracciato[1][static_cast<std::size_t>(vuoto)].tipo, tipo_elemento::vuoto);
  }
  EXPECT_EQ(valori_.indice_tracciato, 63999);
}

TEST_F(LineaUlmo, PlanFileBytes) {
  const std::vector<uint8_t> byte = byte_tracciato(m_);
  ASSERT_EQ(byte.size(), 1'279'964U);
  const std::vector<uint8_t> inizio_x = {2, 0, 0, 0, 2, 0, 0, 0, 5, 0};
  const std::vector<uint8_t> inizio_y = {2, 0, 0, 0, 2, 0, 1, 0, 5, 0};
  EXPECT_TRUE(std::equal(inizio_x.begin(), inizio_x.end(), byte.begin()));
  EXPECT_TRUE(std::equal(inizio_y.begin(), inizio_y.end(), byte.begin() + 639'982));
  EXPECT_EQ(std::vector<uint8_t>(byte.end() - 4, byte.end()), (std::vector<uint8_t>{0, 0, 0, 0}));
}

// The whole run's path, texts in memory, files into a folder.
TEST(DatiLinea, TheRunWritesAPlanFileOf1279964Bytes) {
  prova::cartella_temporanea cartella;
  modello m = modello_ulmo();
  sorgente_in_memoria linea(testo_da_righe(righe_dati_linea()));
  sorgente_in_memoria treno(testo_da_righe(righe_dati_treno()));
  piattaforma_registrata p;
  ASSERT_TRUE(memorizza_percorso(m, 1, linea, treno, cartella.percorso(), p).ha_celle);
  EXPECT_EQ(std::filesystem::file_size(cartella / "Ulmo_Tarvignano_Rovesco_linea.dat"), 1'279'964U);
  EXPECT_EQ(std::filesystem::file_size(cartella / "Ulmo_Tarvignano_Rovesco_4816.dat"), 19'215U);
  EXPECT_FALSE(linea.esiste());
}

}  // namespace
}  // namespace scenario
