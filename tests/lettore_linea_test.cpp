#include "compiler/lettore_linea.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/file_cartella.h"
#include "compiler/flusso_campi.h"
#include "compiler/lettori.h"
#include "compiler/memorizza_dati.h"
#include "supporto.h"

namespace scenario {
namespace {

// One read of a line text held in memory, with the fault handler's part
// played here: a read failure deletes the text and records 25.
struct lettura {
  modello m;
  valori_lettura valori;
  std::optional<esito_linea> esito;  // nothing after a read failure
  bool testo_rimasto = false;
};

lettura leggi(const std::string& testo, int32_t j = 1) {
  lettura r;
  r.m.crea_tracciato = j;
  sorgente_in_memoria linea(testo);
  try {
    r.esito = leggi_linea(r.m, linea, r.valori);
  } catch (const errore_lettura&) {
    linea.elimina();
    r.m.codice_errore = 25;
  }
  r.testo_rimasto = linea.esiste();
  return r;
}

std::string righe(const std::vector<std::string>& linee) {
  std::string testo;
  for (const std::string& l : linee) testo += l + "\r\n";
  return testo;
}

// A 1 000 m route (plan points 0..8 000, cells 0..160) with `dopo` after the
// general section.
std::string linea_corta(const std::vector<std::string>& dopo, std::string lunghezza = "1000") {
  std::vector<std::string> linee = {"[generale]", "lunghezza percorso,    " + lunghezza, "[curve]"};
  linee.insert(linee.end(), dopo.begin(), dopo.end());
  linee.emplace_back("[fine]");
  return righe(linee);
}

std::string ripeti(const std::string& riga, int volte) {
  std::vector<std::string> linee(static_cast<std::size_t>(volte), riga);
  return righe(linee);
}

std::vector<std::string> righe_numerate(const std::string& prima, const std::string& dopo, int n,
                                        int passo) {
  std::vector<std::string> linee;
  for (int k = 0; k < n; ++k) linee.push_back(prima + std::to_string(100 + k * passo) + dopo);
  return linee;
}

constexpr int kFermato = 1;
constexpr int kProsegue = 0;
constexpr int32_t kNessuna = -1;  // the position is not looked at

struct esito_atteso {
  std::string nome;
  std::string testo;
  int32_t codice;
  int32_t posizione = kNessuna;
  int fermato = kProsegue;  // only for codes that are not 25
  int32_t j = 1;
};

TEST(LeggiLinea, CodesAndWhereTheReadStops) {
  const std::vector<esito_atteso> casi = {
      {"empty file", "", 25},
      {"no [generale]", righe({"lunghezza percorso, 1000", "[curve]"}), 102, kNessuna, kFermato},
      {"[generale] as the last field", "x\r\n[generale]", 102, kNessuna, kFermato},
      {"lines before [GENERALE]", righe({"x, 1", "[GENERALE]", "lunghezza percorso, 1000"}), 0},
      {"length 1 000 001", linea_corta({}, "1000001"), 1, kNessuna, kFermato},
      {"length 1 000 000", linea_corta({}, "1000000"), 0, kNessuna, kProsegue, 0},
      {"a length that leaves no cell beyond cell 0", linea_corta({}, "-6975"), 25},
      {"the shortest length with two cells", linea_corta({}, "-6974"), 0},
      {"no length row, line mode", righe({"[generale]", "[curve]", "[fine]"}), 25},
      {"no length row, no plan", righe({"[generale]", "[curve]", "[fine]"}), 25, kNessuna,
       kProsegue, 0},
      {"length row after [curve]",
       righe({"[generale]", "[curve]", "lunghezza percorso, 1000", "pendenza, 0, 0", "[fine]"}),
       25},
      {"repetition start 525",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4 codici, 525, 7450"}),
       3, kNessuna, kFermato},
      {"repetition end 7475",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4 codici, 500, 7475"}),
       4, kNessuna, kFermato},
      {"repetition without 4 or 9",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali codici, 500, 7450"}),
       5, kNessuna, kFermato},
      {"gradient at the last position", linea_corta({"pendenza, 7900, 5"}), 0},
      {"gradient one metre beyond", linea_corta({"pendenza, 7901, 5"}), 15, 7901},
      {"curve without a class digit", linea_corta({"curvad, 100, 50"}), 103, kNessuna, kFermato},
      {"curve ending on the third-last plan point", linea_corta({"curvad4, 7000, 998"}), 0},
      {"curve ending beyond it", linea_corta({"curvad4, 7000, 999"}), 15, 7000},
      {"curve start beyond the strip, no digit", linea_corta({"curvad, 7950, 10"}), 15, 7950},
      {"curve start + length beyond 32 bits", linea_corta({"curvad4, 100, 2147483600"}), 25},
      {"montagna ending beyond the strip", linea_corta({"montagna, 7000, 9000, 2"}), 15, 7000},
      {"montagna starting before the strip", linea_corta({"montagna, -200, 300, 2"}), 15, -200},
      {"montagna without cells needs no room", linea_corta({"montagna, 7000, 100, 2"}), 0},
      {"montagna start - previous end beyond 32 bits",
       linea_corta({"montagna, -2147483648, -2147483648, 2", "montagna, 7000, 100, 2"}), 25},
      {"81 montagna rows", linea_corta(righe_numerate("montagna, ", ", 0, 2", 81, 50)), 10,
       kNessuna, kFermato},
      {"80 montagna rows", linea_corta(righe_numerate("montagna, ", ", 0, 2", 80, 50)), 0},
      {"indication board before the strip", linea_corta({"cartello_indicatore, -200, (X)"}), 15,
       -200},
      {"speed board before the strip", linea_corta({"indicatori_vmax, -200, 1,1,1,0,1,1,1,0"}), 15,
       -200},
      {"81 indication boards",
       linea_corta(righe_numerate("cartello_indicatore, ", ", (X)", 81, 50)), 10, kNessuna,
       kFermato},
      {"speed board on a speed board",
       linea_corta(
           {"indicatori_vmax, 500, 1,1,1,0,1,1,1,0", "indicatori_vmax, 510, 1,1,1,0,1,1,1,0"}),
       21, 510, kFermato},
      {"indication board on a speed board",
       linea_corta({"indicatori_vmax, 500, 1,1,1,0,1,1,1,0", "cartello_indicatore, 520, (X)"}), 6,
       520, kFermato},
      {"packed speed 32 767", linea_corta({"indicatori_vmax, 500, 1638,0,0,0, 35,0,0,0"}), 0},
      {"packed speed 32 768", linea_corta({"indicatori_vmax, 500, 1638,0,0,0, 40,0,0,0"}), 25},
      {"board speed * 20 beyond 32 bits",
       linea_corta({"indicatori_vmax, 500, 200000000,0,0,0,0,0,0,0"}), 25},
      {"the text ends inside a row",
       "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza, 100", 25},
      {"a number beyond 32 bits", linea_corta({"pendenza, 100, 2147483648"}), 25},
      {"position + 100 beyond 32 bits", linea_corta({"pendenza, 2147483600, 0"}), 25},
      {"gradient + 100 beyond 32 bits", linea_corta({"pendenza, 0, 2147483600"}), 25},
      {"chainage offset + 100 beyond 32 bits",
       righe({"[generale]", "lunghezza percorso, 1000",
              "progressiva chilometrica uno, 50, 2147483600, 1", "[curve]"}),
       25},
  };
  for (const esito_atteso& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura r = leggi(c.testo, c.j);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    if (c.posizione != kNessuna) {
      EXPECT_EQ(r.m.posizione_errore, c.posizione);
    }
    if (c.codice != 25) {
      ASSERT_TRUE(r.esito.has_value());
      EXPECT_EQ(*r.esito == esito_linea::fermati, c.fermato == kFermato);
    }
    EXPECT_FALSE(r.testo_rimasto) << "the line text is deleted on every outcome but 101";
  }
}

TEST(LeggiLinea, AMissingTextIs101AndNothingIsDeleted) {
  modello m;
  valori_lettura valori;
  sorgente_in_memoria assente;
  EXPECT_EQ(leggi_linea(m, assente, valori), esito_linea::fermati);
  EXPECT_EQ(m.codice_errore, 101);
  EXPECT_FALSE(m.ha_celle());
}

// With a route of 1 000 000 m the plan reaches metre 1 000 000 only through a
// curve row, and then stops with 103.
TEST(LeggiLinea, ACurveCarryingThePlanToMetre1000000Is103) {
  const lettura fino_a = leggi(linea_corta({"curvad4, 999000, 999"}, "1000000"));
  EXPECT_EQ(fino_a.m.codice_errore, 0);
  const lettura oltre = leggi(linea_corta({"curvad4, 999000, 1000"}, "1000000"));
  EXPECT_EQ(oltre.m.codice_errore, 103);
  EXPECT_EQ(oltre.esito, esito_linea::fermati);
  EXPECT_EQ(oltre.m.tracciato[0][1'000'000].tipo, tipo_elemento::doppio);
}

// With the embedded route length, 57 000 m: cells 0..1 280.
TEST(LeggiLinea, PositionCheckAtTheEndOfA57000MetreRoute) {
  for (const std::string riga :
       {"pendenza", "montagna", "curvad4", "cartello_indicatore", "indicatori_vmax"}) {
    SCOPED_TRACE(riga);
    const lettura accolta = leggi(linea_corta({riga + ", 63900, 1, 0, 0, 0, 0, 0, 0, 0"}, "57000"));
    EXPECT_EQ(accolta.m.ultima_cella, 1280);
    EXPECT_EQ(accolta.m.codice_errore, 0);
    const lettura respinta =
        leggi(linea_corta({riga + ", 63950, 1, 0, 0, 0, 0, 0, 0, 0"}, "57000"));
    EXPECT_EQ(respinta.m.codice_errore, 15);
    EXPECT_EQ(respinta.m.posizione_errore, 63950);
  }
}

// After code 15 the rows stop, but the line half ends normally: the gradient
// fill and the plan run to their ends, and the train half follows.
TEST(LeggiLinea, Code15EndsTheRowsAndFinishesTheLineHalf) {
  const lettura r = leggi(linea_corta({"pendenza, 0, 5", "pendenza, 7950, 9", "pendenza, 500, 7"}));
  EXPECT_EQ(r.m.codice_errore, 15);
  EXPECT_EQ(r.esito, esito_linea::prosegui);
  EXPECT_EQ(r.m.cella_a(10).pendenza, 105) << "the row after the failing one is not read";
  EXPECT_EQ(r.m.cella_a(157).pendenza, 105);
  EXPECT_EQ(r.m.cella_a(158).pendenza, 0);
  EXPECT_EQ(r.m.tracciato[1][7998].valore, 7998.0);
}

TEST(LeggiLinea, GeneralRowsTestOnlyTheLengthInAnyCase) {
  const lettura r =
      leggi(righe({"[generale]", "LUNGHEZZA PERCORSO,    1000", "Sfondo Uno,    5",
                   "sfondo due,    7", "PROGRESSIVA chilometrica tre, 100, 200, 0", "[curve]"}));
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.riga(84).fine, 1000);
  EXPECT_EQ(r.m.ultima_cella, 160);
  EXPECT_EQ(r.m.riga(85).inizio, 0) << "Sfondo Uno is not a background row";
  EXPECT_EQ(r.m.riga(85).posizione, 7);
  EXPECT_EQ(r.m.riga(81).inizio, 0) << "PROGRESSIVA is not a chainage row";
}

TEST(LeggiLinea, GeneralRowsAreIgnoredAfterTheSectionAndRowsBeforeIt) {
  const lettura r = leggi(righe({"[generale]", "lunghezza percorso, 1000", "pendenza, 0, 9",
                                 "[curve]", "sfondo uno, 5", "pendenza, 0, 4", "[fine]"}));
  EXPECT_EQ(r.m.riga(85).inizio, 0);
  EXPECT_EQ(r.m.cella_a(0).pendenza, 104);
}

TEST(LeggiLinea, RepetitionRowStoresItsCodeCount) {
  struct caso {
    std::string riga;
    int32_t inizio, fine, codici;
  };
  for (const auto& [riga, inizio, fine, codici] : std::vector<caso>{
           {"ripetizione segnali 4 codici, 500, 7450", 500, 7450, 4},
           {"ripetizione segnali 9 codici, 500, 7450", 500, 7450, 9},
           {"ripetizione segnali 49 codici, 500, 7450", 500, 7450, 4},
           {"ripetizione segnali 4 codici, 500, 0", 500, 0, 0},
       }) {
    const lettura r = leggi(righe({"[generale]", "lunghezza percorso, 1000", riga, "[curve]"}));
    EXPECT_EQ(r.m.codice_errore, 0) << riga;
    EXPECT_EQ(r.m.riga(86).inizio, inizio) << riga;
    EXPECT_EQ(r.m.riga(86).fine, fine) << riga;
    EXPECT_EQ(r.m.riga(86).posizione, codici) << riga;
  }
}

// Hyphenated keyword fields are comments: up to 10 in a row are dropped in
// the general section and up to 2 after it; the next one is tested as a
// keyword like any other field.
TEST(LeggiLinea, CommentsOfDashes) {
  struct caso {
    std::string nome;
    std::string testo;
    uint8_t pendenza_cella_10;
  };
  const std::string fila_di_trattini = "------------------";
  for (const auto& [nome, testo, atteso] : std::vector<caso>{
           {"two dash lines are dropped",
            linea_corta({"pendenza, 0, 1", fila_di_trattini, fila_di_trattini, "pendenza, 500, 7"}),
            107},
           {"the third hyphenated field is tested",
            linea_corta(
                {"pendenza, 0, 1", fila_di_trattini, fila_di_trattini, "-pendenza, 500, 7"}),
            107},
           {"a second hyphenated field is still dropped",
            linea_corta({"pendenza, 0, 1", fila_di_trattini, "-pendenza, 500, 7"}), 101},
           {"three dash lines: the third matches nothing",
            linea_corta({"pendenza, 0, 1", fila_di_trattini, fila_di_trattini, fila_di_trattini,
                         "pendenza, 500, 7"}),
            107},
       }) {
    const lettura r = leggi(testo);
    EXPECT_EQ(r.m.codice_errore, 0) << nome;
    EXPECT_EQ(r.m.cella_a(10).pendenza, atteso) << nome;
  }

  std::vector<std::string> generale = {"[generale]"};
  for (int k = 0; k < 10; ++k) generale.push_back("- comment");
  generale.emplace_back("-lunghezza percorso, 1000");
  const lettura undicesimo = leggi(righe(generale) + "[curve]\r\n");
  EXPECT_EQ(undicesimo.m.ultima_cella, 160) << "the 11th hyphenated field is tested";
  generale.erase(generale.begin() + 1);
  const lettura decimo = leggi(righe(generale) + "[curve]\r\n");
  EXPECT_EQ(decimo.m.codice_errore, 25) << "the 10th is dropped: no length row";
}

// A hyphenated field reaches the section test only as the 11th in a row; a
// bracketed one that starts with a dash (blanks before it ignored) then does
// not end the section.
TEST(LeggiLinea, ABracketedFieldEndsTheGeneralSectionUnlessItStartsWithADash) {
  struct caso {
    std::string campo;
    int32_t sfondo;  // row 85 inizio: 5 while the section goes on
  };
  for (const auto& [campo, sfondo] :
       std::vector<caso>{{"\"  -[nota]\"", 5}, {"\"  [nota]\"", 0}, {"\"x-[nota]\"", 0}}) {
    std::vector<std::string> linee = {"[generale]", "lunghezza percorso, 1000"};
    for (int k = 0; k < 10; ++k) linee.emplace_back("- comment");
    linee.push_back(campo);
    linee.insert(linee.end(), {"sfondo uno, 5", "[curve]", "pendenza, 0, 1"});
    const lettura r = leggi(righe(linee));
    EXPECT_EQ(r.m.codice_errore, 0) << campo;
    EXPECT_EQ(r.m.riga(85).inizio, sfondo) << campo;
    EXPECT_EQ(r.m.cella_a(0).pendenza, 101) << campo;
  }
}

TEST(LeggiLinea, AShortRowTakesTheNextLinesKeywordAndThatRowIsLost) {
  const lettura r =
      leggi(linea_corta({"indicatori_vmax,  500,  100,  105,  110,  0,  100,  105,  110",
                         "cartello_indicatore,  1000,   (X)"}));
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.cella_a(11).evento, 6);
  EXPECT_EQ(r.m.cella_a(11).dato4, 0);
  EXPECT_EQ(r.m.cella_a(21).evento, 0);
  EXPECT_EQ(r.valori.voce_cartello, 80);
}

TEST(LeggiLinea, BoardTexts) {
  const lettura r = leggi(
      linea_corta({"cartello_indicatore,  550,   (A,B)", "cartello_indicatore,  1050,   \"(C,D)\"",
                   "cartello_indicatore,  2050,   ( E  )(F )  "}));
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.riga(80).nome, "(A") << "a comma cuts the text";
  EXPECT_EQ(r.m.riga(79).nome, "(C,D)") << "a quoted text keeps its comma";
  EXPECT_EQ(r.m.riga(78).nome, "( E  )(F )  ");
  EXPECT_EQ(r.m.cella_a(12).dato1, 80);
  EXPECT_EQ(r.m.cella_a(22).dato1, 79);
  EXPECT_EQ(r.m.cella_a(42).dato1, 78);
  EXPECT_EQ(r.valori.voce_cartello, 77);
}

// Point 101 of a curve that starts at 100 m shows the curvature: the step
// (0, 1) turns into (kappa, 1).
TEST(LeggiLinea, CurveSideAndClassFromTheKeyword) {
  struct caso {
    std::string parola;
    double kappa;
  };
  for (const auto& [parola, kappa] : std::vector<caso>{
           {"curvas4", -0.001},
           {"CURVAS4", -0.001},
           {"curva_destra4", -0.001},
           {"curvad4", 0.001},
           {"curvas64", -0.001},
           {"curvad16", 0.0001},
           {"curvad2", 0.0002},
           {"curvad3", 0.0004},
           {"curvad65", 0.002},
           {"curvaD6", 0.003},
           {"curvax5", 0.002},
           {"Curva S7 2", -0.0002},
       }) {
    const lettura r = leggi(linea_corta({parola + ", 100, 50"}));
    ASSERT_EQ(r.m.codice_errore, 0) << parola;
    EXPECT_EQ(r.m.tracciato[0][101].valore, kappa) << parola;
    EXPECT_EQ(r.m.tracciato[1][101].valore, 101.0) << parola;
    EXPECT_EQ(r.m.tracciato[0][100].valore, 0.0) << parola;
  }
  EXPECT_FALSE(curvatura_classe("curvad").has_value());
  EXPECT_FALSE(curvatura_classe("curvas7890").has_value());
}

TEST(LeggiLinea, PlanPointsAndTheirKinds) {
  const lettura r = leggi(linea_corta({"curvad4, 100, 2", "curvas4, 50, 1"}));
  const auto& x = r.m.tracciato[0];
  const auto& y = r.m.tracciato[1];
  ASSERT_EQ(x.size(), 8001U);
  EXPECT_EQ(x[0].tipo, tipo_elemento::intero);
  EXPECT_EQ(y[1].tipo, tipo_elemento::intero);
  EXPECT_EQ(y[1].valore, 1.0);
  EXPECT_EQ(x[2].tipo, tipo_elemento::doppio);
  EXPECT_EQ(y[100].valore, 100.0);
  // 101: step (0.001, 1); 102: step (0.001 + 0.001 * 1, 1 - 0.001 * 0.001).
  EXPECT_EQ(x[101].valore, 0.001);
  EXPECT_EQ(x[102].valore, 0.001 + (0.001 + 0.001 * 1.0));
  EXPECT_EQ(y[102].valore, 101.0 + (1.0 - 0.001 * 0.001));
  // The second curve starts behind the plan: no straight part, and it is
  // curved from the current point (103) to its end (51), so not at all.
  EXPECT_EQ(x[103].valore - x[102].valore, x[102].valore - x[101].valore);
  EXPECT_EQ(r.valori.indice_tracciato, 7999);
  EXPECT_EQ(x[7998].tipo, tipo_elemento::doppio);
  EXPECT_EQ(x[7999].tipo, tipo_elemento::vuoto);
  EXPECT_EQ(y[8000].tipo, tipo_elemento::vuoto);
}

TEST(LeggiLinea, ACurveThatStartsBehindThePlanIsCurvedFromTheCurrentPoint) {
  const lettura r = leggi(linea_corta({"curvad4, 100, 100", "curvas4, 150, 100"}));
  const auto& x = r.m.tracciato[0];
  // Points 201..250 turn left again from where the first curve ended.
  const double passo_200 = x[200].valore - x[199].valore;
  const double passo_201 = x[201].valore - x[200].valore;
  EXPECT_LT(passo_201, passo_200);
  EXPECT_EQ(r.m.codice_errore, 0);
}

TEST(LeggiLinea, WithoutThePlanCurveRowsAreUnrecognised) {
  const lettura r = leggi(linea_corta({"curvad, 100, 50", "pendenza, 500, 3"}), 0);
  EXPECT_EQ(r.m.codice_errore, 0) << "a curve without a digit is not even looked at";
  EXPECT_TRUE(r.m.tracciato[0].empty());
  EXPECT_EQ(r.m.cella_a(10).pendenza, 103);
}

TEST(LeggiLinea, GradientFill) {
  struct caso {
    std::string nome;
    std::vector<std::string> righe;
    std::vector<std::pair<int32_t, uint8_t>> celle;  // cell, gradient byte
    int32_t indice_finale;
  };
  for (const auto& [nome, righe_pendenza, celle, indice] : std::vector<caso>{
           {"before the first row the gradient is 0",
            {"pendenza, 500, 5"},
            {{0, 100}, {9, 100}, {10, 105}, {157, 105}, {158, 0}, {160, 0}},
            158},
           {"a negative gradient keeps its low 8 bits",
            {"pendenza, 0, -5", "pendenza, 100, -150"},
            {{0, 95}, {1, 95}, {2, 206}},
            158},
           {"rows out of order still write one cell each",
            {"pendenza, 0, 1", "pendenza, 500, 2", "pendenza, 100, 3"},
            {{9, 101}, {10, 102}, {11, 103}, {12, 103}},
            158},
           {"two rows in one cell",
            {"pendenza, 0, 1", "pendenza, 500, 2", "pendenza, 510, 3"},
            {{9, 101}, {10, 102}, {11, 103}},
            158},
           {"a row at cell 0 writes nothing",
            {"pendenza, 0, 1", "pendenza, 20, 4"},
            {{0, 104}},
            158},
       }) {
    const lettura r = leggi(linea_corta(righe_pendenza));
    ASSERT_EQ(r.m.codice_errore, 0) << nome;
    for (auto [n, byte] : celle) EXPECT_EQ(r.m.cella_a(n).pendenza, byte) << nome << ", cell " << n;
    EXPECT_EQ(r.valori.indice_pendenza, indice) << nome;
  }
}

// 200 rows in cell 1 move the fill index one cell each; it stops after the
// last cell instead of writing past it, and the end fill writes nothing more.
TEST(LeggiLinea, TheGradientFillNeverPassesTheLastCell) {
  const lettura r = leggi("[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\n" +
                          ripeti("pendenza, 50, 7", 200) + "[fine]\r\n");
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.valori.indice_pendenza, 161);
  EXPECT_EQ(r.m.cella_a(0).pendenza, 100);
  EXPECT_EQ(r.m.cella_a(160).pendenza, 107);
}

TEST(LeggiLinea, BoardCellsRoundPositionOver50PlusOne) {
  struct caso {
    int32_t posizione;
    int32_t cella;
  };
  for (auto [posizione, n] :
       std::vector<caso>{{25, 2}, {75, 2}, {125, 4}, {0, 1}, {49, 2}, {-25, 0}}) {
    EXPECT_EQ(cella_oggetto(posizione), n) << posizione;
  }
  EXPECT_EQ(cella_tratto(25), 0);
  EXPECT_EQ(cella_tratto(75), 2);
  EXPECT_EQ(cella_fine_tratto(75), 0);
  EXPECT_EQ(cella_fine_tratto(20800), 415);
}

TEST(LeggiLinea, SpeedBoards) {
  const lettura r = leggi(linea_corta({
      "montagna, 100, 600, 12",
      "indicatori_vmax,  350,  100,  105,  110,  0,  100,  105,  110,  0",
      "indicatori_vmax,  1000,  65,  70,  80,  2,  ,  ,  ,  1",
      "indicatori_vmax,  2000,  1,  1,  1,  4000,  ,  ,  ,  0",
      "indicatori_vmax,  3000,  1,  1,  1,  70000,  ,  ,  ,  3",
      "indicatori_vmax,  4000,  1,  1,  1,  0,  7,  -7,  2.5,  0",
  }));
  ASSERT_EQ(r.m.codice_errore, 0);
  const cella& sul_segno = r.m.cella_a(8);  // cells 2..11, marks on 5 and 9
  EXPECT_EQ(r.m.cella_a(5).evento, 11);
  EXPECT_EQ(sul_segno.evento, 6) << "a speed board replaces a montagna mark";
  EXPECT_EQ(r.m.cella_a(9).evento, 11);
  EXPECT_EQ(sul_segno.dato1, 2020);
  EXPECT_EQ(sul_segno.dato2, 2121);
  EXPECT_EQ(sul_segno.dato3, 2222);
  EXPECT_EQ(r.m.cella_a(21).dato1, 1300);
  EXPECT_EQ(r.m.cella_a(21).dato4, 21);
  EXPECT_EQ(r.m.cella_a(41).dato4, -25536) << "4000 * 10 wraps in 16 bits";
  EXPECT_EQ(r.m.cella_a(61).dato4, 4464 * 10 + 3 - 65536)
      << "the low half of 70000 is 4464, and * 10 wraps";
  EXPECT_EQ(r.m.cella_a(81).dato1, 21) << "7 / 5 + 20 = 21.4";
  EXPECT_EQ(r.m.cella_a(81).dato2, 19) << "-7 / 5 + 20 = 18.6";
  EXPECT_EQ(r.m.cella_a(81).dato3, 20) << "2.5 reads 2, 2 / 5 + 20 = 20.4";
}

TEST(LeggiLinea, AnIndicationBoardOnAMarkReplacesIt) {
  const lettura r = leggi(linea_corta({"montagna, 100, 600, 12", "cartello_indicatore, 200, (X)"}));
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.cella_a(5).evento, 14);
  EXPECT_EQ(r.m.cella_a(5).dato1, 80);
}

TEST(LeggiLinea, MontagnaStretches) {
  const lettura r = leggi(linea_corta({
      "montagna,   100,  600,  12",    // cells 2..11, type 2, marks on 5, 9
      "montagna,   700,  1000,  2",    // starts 100 m after: type 3, no marks
      "montagna,   1100,  1500,  14",  // 100 m after again: type 3, still marked
      "montagna,   2000,  2100,  2",   // cells 40..41
      "montagna,   3000,  3000,  12",  // no cells
  }));
  ASSERT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.n_montagne, 5);
  EXPECT_EQ(r.m.montagne_inizio[3], 1100);
  EXPECT_EQ(r.m.montagne_fine[3], 1500);
  EXPECT_EQ(r.m.montagne_inizio[0], 0);
  EXPECT_EQ(r.m.cella_a(1).montagna, 0);
  EXPECT_EQ(r.m.cella_a(2).montagna, 2);
  EXPECT_EQ(r.m.cella_a(11).montagna, 2);
  EXPECT_EQ(r.m.cella_a(5).evento, 11);
  EXPECT_EQ(r.m.cella_a(9).evento, 11);
  EXPECT_EQ(r.m.cella_a(14).montagna, 3);
  EXPECT_EQ(r.m.cella_a(17).evento, 0);
  EXPECT_EQ(r.m.cella_a(22).montagna, 3);
  EXPECT_EQ(r.m.cella_a(25).evento, 11);
  EXPECT_EQ(r.m.cella_a(29).evento, 11);
  EXPECT_EQ(r.m.cella_a(40).montagna, 2);
  EXPECT_EQ(r.m.cella_a(41).montagna, 2);
  EXPECT_EQ(r.m.cella_a(42).montagna, 0);
  EXPECT_EQ(r.m.cella_a(60).montagna, 0);
}

TEST(MemoMontagna, ChangesTheCallersTypeAndLeavesTakenCellsAlone) {
  modello m;
  dimensiona(m, 1000);
  m.cella_a(9).evento = 6;
  int32_t inizio = 100;
  int32_t fine = 600;
  int32_t tipo = 12;
  memo_montagna(m, inizio, fine, tipo);
  EXPECT_EQ(tipo, 2);
  EXPECT_EQ(m.cella_a(9).evento, 6);
  EXPECT_EQ(m.cella_a(5).evento, 11);
  int32_t vicino = 700;
  int32_t fine_vicino = 800;
  int32_t tipo_vicino = 300;  // kept in one byte: 290 is 34
  memo_montagna(m, vicino, fine_vicino, tipo_vicino);
  EXPECT_EQ(tipo_vicino, 3);
  int32_t lontano = 2000;
  int32_t fine_lontano = 2100;
  int32_t tipo_lontano = 300;
  memo_montagna(m, lontano, fine_lontano, tipo_lontano);
  EXPECT_EQ(tipo_lontano, 290);
  EXPECT_EQ(m.cella_a(40).montagna, 34);
}

TEST(ProgressiveOrdina, OrdersTheThreeChainageRows) {
  struct riga {
    int32_t inizio, fine, posizione;
    bool operator==(const riga&) const = default;
  };
  struct caso {
    std::string nome;
    riga tre, due, uno;  // as read into rows 81, 82, 83
    riga r81, r82, r83;  // after ordering
  };
  const riga zero{0, 0, 0};
  // clang-format off
  const std::vector<caso> casi = {
      // name                                     tre (81)          due (82)             uno (83)          -> 81                  82               83
      {"embedded",                                {0, 0, 0},        {13550, -13550, 0},  {0, 82500, 0},    {13550, -13550, 0},    {0, 82500, 0},   {0, 0, 0}},
      {"descending",                              {100, 1, 0},      {300, 3, 0},         {200, 2, 0},      {300, 3, 0},           {200, 2, 0},     {100, 1, 0}},
      {"two equal greatest clear all",            {5000, 1, 1},     {5000, 2, 0},        {0, 3, 0},        zero,                  zero,            zero},
      {"tie below: uno before due",               {9000, 1, 0},     {50, 2, 0},          {50, 3, 0},       {9000, 1, 0},          {50, 3, 0},      {50, 2, 0}},
      {"tie below: due before tre",               {50, 1, 0},       {50, 2, 0},          {9000, 3, 0},     {9000, 3, 0},          {50, 2, 0},      {50, 1, 0}},
      {"tie below: uno before tre",               {50, 1, 0},       {9000, 2, 0},        {50, 3, 0},       {9000, 2, 0},          {50, 3, 0},      {50, 1, 0}},
      {"sum 0, due's offset leads",               {0, 0, 0},        {0, 500, 0},         {0, 0, 0},        {0, 500, 0},           {0, 0, 0},       {0, 0, 0}},
      {"sum 0, tre's offset keeps the order",     {0, 7, 0},        {0, 0, 0},           {0, 0, 1},        {0, 7, 0},             {0, 0, 0},       {0, 100, 1}},
      {"sum 0, the last positive offset wins",    {0, 7, 0},        {0, 8, 0},           {0, 9, 0},        {0, 9, 0},             {0, 8, 0},       {0, 7, 0}},
      {"sum 0, nonzero beginnings, no offset",    {100, 0, 0},      {-100, 0, 0},        {0, 0, 0},        zero,                  zero,            zero},
      {"flag 1 adds 100 after ordering",          {100, 1, 1},      {300, 3, 0},         {200, 2, 1},      {300, 3, 0},           {200, 102, 1},   {100, 101, 1}},
  };
  // clang-format on
  for (const caso& c : casi) {
    modello m;
    auto metti = [&m](int n, riga r) {
      m.riga(n).inizio = r.inizio;
      m.riga(n).fine = r.fine;
      m.riga(n).posizione = r.posizione;
    };
    auto prendi = [&m](int n) {
      return riga{m.riga(n).inizio, m.riga(n).fine, m.riga(n).posizione};
    };
    metti(81, c.tre);
    metti(82, c.due);
    metti(83, c.uno);
    progressive_ordina(m);
    EXPECT_TRUE(prendi(81) == c.r81) << c.nome;
    EXPECT_TRUE(prendi(82) == c.r82) << c.nome;
    EXPECT_TRUE(prendi(83) == c.r83) << c.nome;
  }
}

// The run's own path: texts on disk, deleted as the reader goes, and the
// fault handler of memorizza_dati.
TEST(MemorizzaDati, ReadFailureDeletesBothTextsAndRecords25) {
  prova::cartella_temporanea cartella;
  prova::scrivi(cartella / "l.txt", "");
  prova::scrivi(cartella / "t.txt", "[generale]\r\n");
  modello m;
  m.crea_tracciato = 1;
  m.posizione_errore = 77;
  sorgente_su_disco linea(cartella / "l.txt");
  sorgente_su_disco treno(cartella / "t.txt");
  memorizza_dati(m, linea, treno);
  EXPECT_EQ(m.codice_errore, 25);
  EXPECT_EQ(m.posizione_errore, 77) << "code 25 records no position";
  EXPECT_TRUE(prova::elenco(cartella.percorso()).empty());
}

TEST(MemorizzaDati, ALineHalfThatStopsLeavesTheTrainTextAlone) {
  struct caso {
    std::string nome;
    std::optional<std::string> linea;
    int32_t codice;
    std::vector<std::string> rimasti;
  };
  for (const auto& [nome, testo_linea, codice, rimasti] : std::vector<caso>{
           {"missing line text", std::nullopt, 101, {"t.txt"}},
           {"no [generale]", "abc\r\n", 102, {"t.txt"}},
           {"indication board on a taken cell",
            linea_corta({"cartello_indicatore, 500, (X)", "cartello_indicatore, 510, (Y)"}),
            6,
            {"t.txt"}},
       }) {
    prova::cartella_temporanea cartella;
    if (testo_linea) prova::scrivi(cartella / "l.txt", *testo_linea);
    prova::scrivi(cartella / "t.txt", "[generale]\r\n");
    modello m;
    m.percorso = "P";
    m.treno = "T";
    m.crea_tracciato = 1;
    sorgente_su_disco linea(cartella / "l.txt");
    sorgente_su_disco treno(cartella / "t.txt");
    memorizza_dati(m, linea, treno);
    EXPECT_EQ(m.codice_errore, codice) << nome;
    EXPECT_EQ(prova::elenco(cartella.percorso()), rimasti) << nome;
    EXPECT_EQ(m.riga(85).nome, "P") << nome;
    EXPECT_EQ(m.riga(86).nome, "T") << nome;
  }
}

}  // namespace
}  // namespace scenario
