// check finds every independent error of a pair in one run: the compile
// stops at its first, and one more reading, which sets each failing row
// aside and goes on (after a read failure, at the next line), finds the
// rest. That reading is check's alone: the compile is the same without it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/scrittore_testo.h"
#include "bench/percorso_massimo.h"
#include "compiler/flusso_campi.h"
#include "compiler/modello.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "tools/verifica/verifica.h"

namespace scenario {
namespace {

std::string testo(const std::vector<std::string>& linee) {
  std::string t;
  for (const std::string& l : linee) t += l + "\r\n";
  return t;
}

std::string elenco(const std::vector<std::string>& linea, const std::vector<std::string>& treno) {
  std::ostringstream s;
  scrivi_diagnosi(s, verifica_testi({"l.txt", testo(linea)}, {"t.txt", testo(treno)}));
  return s.str();
}

// A read failure, then a station too near the one before it: the speed row
// written with semicolons takes the next line's fields as its values, a
// limit of 3000 km/h that no cell keeps, and the fill that uses it fails.
// Error 22 comes in the same run.
TEST(VerificaUnaPassata, AReadFailureThenAStationTooNear) {
  const std::vector<std::string> linea = {"[generale]", "lunghezza percorso, 20000", "[curve]",
                                          "[fine]"};
  const std::vector<std::string> treno = {
      "[generale]",
      "[vel_limite]",
      "velocita, 0, 100",
      "velocita;5000;90",
      "velocita, 3000, 80",
      "velocita, 8000, 60",
      "[stazioni]",
      "stazione, 5000, 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,0, 0, ALBA",
      "stazione, 5500, 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,5, 0, BORGO",
      "[fine]"};
  EXPECT_EQ(elenco(linea, treno),
            "t.txt:4:1: warning: 'velocita;5000;90' is one field: semicolons and tabs do not "
            "separate values, commas do (a spreadsheet saving CSV may write semicolons); it is "
            "read as a speed row that takes its values from the fields after it. Separate the "
            "values with commas [separator]\n"
            "velocita;5000;90\n"
            "^~~~~~~~~~~~~~~~\n"
            "t.txt:5:11: error: the speed limit 3000 km/h does not fit its cell once divided by 5 "
            "(at most 1277 km/h) [25]\n"
            "velocita, 3000, 80\n"
            "          ^~~~\n"
            "t.txt:9:11: error: the zone of station 'BORGO' starts at 5300 m, less than 350 m "
            "after the zone of station 'ALBA' (line 8) ends at 5200 m. Move the stations apart or "
            "shorten a platform [22]\n"
            "stazione, 5500, 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,5, 0, BORGO\n"
            "          ^~~~\n"
            "2 errors, 1 warning\n");
}

// Errors of every kind in one pair, each independent of the others: a read
// failure, cells taken by rows of both texts, a station off the grid, and a
// slowdown whose code point the completion walk finds no room for.
TEST(VerificaUnaPassata, IndependentErrorsOfEveryKindInOneRun) {
  const std::vector<std::string> linea = {"[generale]",
                                          "lunghezza percorso, 20000",
                                          "[curve]",
                                          "[cartelli]",
                                          "indicatori_vmax, 1300, 100, 90, 80, 1, 60, 60, 60, 2",
                                          "indicatori_vmax, 1310, 100, 90, 80, 1, 60, 60, 60, 2",
                                          "indicatori_vmax, 2300, 100, 90, 80, 1, 60, 60, 60, 2",
                                          "[fine]"};
  const std::vector<std::string> treno = {
      "[generale]",
      "[vel_limite]",
      "velocita, 0, 100",
      "[stazioni]",
      "stazione, 5000, 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,0, 0, ALBA",
      "stazione, 9025, 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,5, 0, BORGO",
      "stazione, 12000, 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,9, 0, CORTE",
      "[rallentamenti]",
      "rallentamento, 15000, 120, 500, 0, 0, 120",
      "[segnali]",
      "segnale, 3000, 1, 4, 0, 0, 0, 2, 2,0,0, 0",
      "segnale, 3010, 1, 4, 0, 0, 0, 2, 2,0,0, 0",
      "segnale, 4000, 1, 4, 0, 0, 0, 2, 2,0,0, 99999999999",
      "segnale, 14650, 1, 4, 0, 0, 0, 0, 0,0,0, 0",
      "segnale, 14700, 1, 4, 0, 0, 0, 0, 0,0,0, 0",
      "segnale, 14750, 1, 4, 0, 0, 0, 0, 0,0,0, 0",
      "segnale, 16000, 1, 4, 0, 0, 0, 2, 2,0,0, 0",
      "[fine]"};
  EXPECT_EQ(elenco(linea, treno),
            "l.txt:6:18: error: the speed board row at 1310 m lands on cell 27 (1350 to 1399 m), "
            "which the speed board of line 5 already holds: one cell takes one object. Move one of "
            "them by 50 m or more [21]\n"
            "indicatori_vmax, 1310, 100, 90, 80, 1, 60, 60, 60, 2\n"
            "                 ^~~~\n"
            "l.txt:5:18: note: the speed board on cell 27 (1350 to 1399 m) is laid by this row\n"
            "indicatori_vmax, 1300, 100, 90, 80, 1, 60, 60, 60, 2\n"
            "                 ^~~~\n"
            "t.txt:6:11: error: the position of this station, 9025 m, is not a multiple of 50 m: "
            "the station's cells are counted from it. Write 9000 m or 9050 m [8]\n"
            "stazione, 9025, 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,5, 0, BORGO\n"
            "          ^~~~\n"
            "t.txt:9:16: error: before the slowdown at 15000 m, whose start is on cell 301 (15050 "
            "to 15099 m), an approach window has no free cell for the code point the completion "
            "walk lays there (cell 296 holds the signal of line 16, 295 the signal of line 15 and "
            "294 the signal of line 14). Move the objects there or the slowdown [12]\n"
            "rallentamento, 15000, 120, 500, 0, 0, 120\n"
            "               ^~~~~\n"
            "t.txt:16:10: note: the signal on cell 296 (14800 to 14849 m) is laid by this row\n"
            "segnale, 14750, 1, 4, 0, 0, 0, 0, 0,0,0, 0\n"
            "         ^~~~~\n"
            "t.txt:15:10: note: the signal on cell 295 (14750 to 14799 m) is laid by this row\n"
            "segnale, 14700, 1, 4, 0, 0, 0, 0, 0,0,0, 0\n"
            "         ^~~~~\n"
            "t.txt:14:10: note: the signal on cell 294 (14700 to 14749 m) is laid by this row\n"
            "segnale, 14650, 1, 4, 0, 0, 0, 0, 0,0,0, 0\n"
            "         ^~~~~\n"
            "t.txt:9:23: warning: this slowdown's speed, 120 km/h, is not below the train's "
            "speed limit along it, at most 100 km/h from 15000 m to 15500 m: it slows nothing. "
            "Write a speed below the limit, or check the slowdown [slowdown-speed]\n"
            "rallentamento, 15000, 120, 500, 0, 0, 120\n"
            "                      ^~~\n"
            "t.txt:3:14: note: the speed limit in force at 15000 m, 100 km/h, is set here\n"
            "velocita, 0, 100\n"
            "             ^~~\n"
            "t.txt:12:10: error: the signal row at 3010 m lands on cell 61 (3050 to 3099 m), which "
            "the signal of line 11 already holds: one cell takes one object. Move one of them by "
            "50 m or more [16]\n"
            "segnale, 3010, 1, 4, 0, 0, 0, 2, 2,0,0, 0\n"
            "         ^~~~\n"
            "t.txt:11:10: note: the signal on cell 61 (3050 to 3099 m) is laid by this row\n"
            "segnale, 3000, 1, 4, 0, 0, 0, 2, 2,0,0, 0\n"
            "         ^~~~\n"
            "t.txt:13:41: error: read failure: the number '99999999999' does not fit a 32-bit "
            "value (-2147483648 to 2147483647), as the tempo of the signal row [25]\n"
            "segnale, 4000, 1, 4, 0, 0, 0, 2, 2,0,0, 99999999999\n"
            "                                        ^~~~~~~~~~~\n"
            "5 errors, 1 warning\n");
}

// The field stream after a read failure goes on at the start of the line
// after the failing field's, never before where it stands.
TEST(VerificaUnaPassata, TheStreamGoesOnAtTheNextLine) {
  struct caso {
    const char* testo;
    std::size_t campi_letti;  // fields read before the failure
    std::size_t da;           // where the failing field began
    const char* poi;          // the next field read
  };
  const std::vector<caso> casi = {
      // A field inside its line: the rest of the line goes.
      {"a, 1, 2\r\nb, 3\r\n", 1, 3, "b"},
      // The failing field ended its line: the stream is already there.
      {"a, 1\r\nb, 3\r\n", 2, 3, "b"},
      // A failure where the stream stands, at a line's start.
      {"a, 1\nb, 3\n", 2, 5, "b"},
      // A row that ran on into the next line goes on at the one after.
      {"a, 1\rx, 2\rb\r", 3, 3, "b"},
      // Lone line ends of either kind.
      {"a, 1, 2\rb\r", 1, 3, "b"},
  };
  for (const caso& c : casi) {
    flusso_campi f(c.testo);
    for (std::size_t n = 0; n < c.campi_letti; ++n) f.leggi_testo();
    f.riprendi_dopo_riga(c.da);
    EXPECT_EQ(f.leggi_testo(), c.poi) << c.testo;
  }
}

// The reading that sets failing rows aside compiles, on a pair with nothing
// to set aside, exactly the compile's bytes and error record.
TEST(VerificaUnaPassata, WithNothingToSetAsideTheBytesAreTheCompilesOwn) {
  const banco::testi_sorgente massimo = banco::percorso_massimo();
  const std::vector<std::pair<std::string, std::string>> casi = {
      {testo_da_righe(righe_dati_linea()), testo_da_righe(righe_dati_treno())},
      {massimo.linea, massimo.treno},
  };
  for (const auto& [testo_linea, testo_treno] : casi) {
    std::array<modello, 2> m;
    for (std::size_t n = 0; n < m.size(); ++n) {
      sorgente_in_memoria l(testo_linea);
      sorgente_in_memoria t(testo_treno);
      opzioni_compilazione opzioni;
      opzioni.percorso = kPercorso;
      opzioni.treno = kTreno;
      opzioni.risincronizza = n == 1;
      ASSERT_TRUE(compila_percorso(m[n], l, t, opzioni).da_scrivere());
    }
    EXPECT_EQ(m[0].codice_errore, m[1].codice_errore);
    EXPECT_EQ(m[0].posizione_errore, m[1].posizione_errore);
    EXPECT_EQ(byte_tracciato(m[0]), byte_tracciato(m[1]));
    EXPECT_EQ(byte_tabella(m[0]), byte_tabella(m[1]));
    EXPECT_EQ(byte_celle(m[0]), byte_celle(m[1]));
  }
}

}  // namespace
}  // namespace scenario
