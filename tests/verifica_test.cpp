#include "tools/verifica/verifica.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "base/codici_errore.h"
#include "base/codifica.h"
#include "base/scrittore_testo.h"
#include "compiler/memorizza_dati.h"
#include "compiler/modello.h"
#include "compiler/righe.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/sorgenti.h"
#include "strumento_prova.h"
#include "supporto.h"
#include "tools/comandi/comandi.h"
#include "tools/osservazione/lettura_osservata.h"
#include "tools/verifica/regole.h"

namespace scenario {
namespace {

using righe = std::vector<std::string>;

std::string testo(const righe& linee) {
  std::string t;
  for (const std::string& l : linee) t += l + "\r\n";
  return t;
}

// The rows, each under its kind's header as the format lays them out (a row
// no keyword test takes, or a general one, stays under the current header).
righe in_sezioni(righe testo, const righe& dopo, testo_letto quale) {
  std::string_view attuale;
  for (const std::string& riga : dopo) {
    const std::string chiave = riga.substr(0, riga.find(','));
    const std::string minuscola = minuscolo_1252(chiave);
    for (const descrizione_riga& d : tutte_le_righe()) {
      if (d.testo != quale || d.intestazione == "[generale]") continue;
      if (!passa(d.tipo, chiave, minuscola) || d.intestazione == attuale) continue;
      attuale = d.intestazione;
      if (testo.back() != attuale) testo.emplace_back(attuale);
      break;
    }
    testo.push_back(riga);
  }
  testo.emplace_back("[fine]");
  return testo;
}

// A 1 000 m route: cells 0 to 160, row positions up to 7 900 m.
righe linea(const righe& dopo) {
  return in_sezioni({"[generale]", "lunghezza percorso, 1000", "[curve]"}, dopo,
                    testo_letto::linea);
}

righe treno(const righe& dopo) { return in_sezioni({"[generale]"}, dopo, testo_letto::treno); }

const righe kTrenoVuoto = treno({});

// A route of `lunghezza` m (10 km unless told), with `dopo` after the general section.
righe linea_lunga(const righe& dopo, const std::string& lunghezza = "10000") {
  return in_sezioni({"[generale]", "lunghezza percorso, " + lunghezza, "[curve]"}, dopo,
                    testo_letto::linea);
}
const righe kLineaVuota = linea({});

struct verificati {
  righe linea;
  righe treno;
  std::vector<diagnosi> d;
};

verificati verifica(const righe& l, const righe& t) {
  return {l, t, verifica_testi({"l.txt", testo(l)}, {"t.txt", testo(t)})};
}

std::string elenco(const std::vector<diagnosi>& tutte) {
  std::ostringstream s;
  scrivi_diagnosi(s, tutte);
  return s.str();
}

TEST(Verifica, EmbeddedTextsHaveNothingToReport) {
  const std::vector<diagnosi> d = verifica_testi({"l.txt", testo_da_righe(righe_dati_linea())},
                                                 {"t.txt", testo_da_righe(righe_dati_treno())});
  EXPECT_TRUE(d.empty()) << elenco(d);
}

// The readers with an observer compile exactly what they compile without.
TEST(Verifica, AnObserverChangesNothingInTheCompile) {
  const std::vector<std::pair<std::string, std::string>> casi = {
      {testo_da_righe(righe_dati_linea()), testo_da_righe(righe_dati_treno())},
      {testo(linea({"pendenza, 0, 5", "pendenza, 7950, 0"})), testo(treno({"velocita, 0, 72"}))},
      {testo(kLineaVuota), testo(treno({"segnale, 1500, 1, 4", "segnale"}))},
      // The walk finds no room (12), and a slowdown at 0 m takes cell 1 (1250).
      {testo(kLineaVuota), testo(treno({"rallentamento, 3000, 120, 500, 0, 0, 120",
                                        "segnale, 2650, 1, 4, 0, 0, 0, 0, "
                                        "0, 0, 0, 0",
                                        "segnale, 2700, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
                                        "segnale, 2750, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0"}))},
      {testo(kLineaVuota), testo(treno({"rallentamento, 0, 60, 450, 0, 0, 60"}))},
  };
  for (const auto& [testo_linea, testo_treno] : casi) {
    std::array<modello, 2> m;
    for (std::size_t n = 0; n < m.size(); ++n) {
      sorgente_in_memoria l(testo_linea);
      sorgente_in_memoria t(testo_treno);
      lettura_osservata osservatore;
      opzioni_compilazione opzioni;
      opzioni.percorso = "P";
      opzioni.treno = "T";
      opzioni.osservatore = n == 0 ? nullptr : &osservatore;
      compila_percorso(m[n], l, t, opzioni);
    }
    EXPECT_EQ(m[0].codice_errore, m[1].codice_errore);
    EXPECT_EQ(m[0].posizione_errore, m[1].posizione_errore);
    EXPECT_EQ(byte_tracciato(m[0]), byte_tracciato(m[1]));
    EXPECT_EQ(byte_tabella(m[0]), byte_tabella(m[1]));
    EXPECT_EQ(byte_celle(m[0]), byte_celle(m[1]));
  }
}

// check's whole output for one small pair of texts: one case for every code
// the compile records and every warning rule, each slip at its own line and
// column, as ninja tests its parser's messages. The texts' lines are written
// out whole; "l.txt" is the line text, "t.txt" the train text.
struct caso_testo {
  const char* nome;
  std::optional<righe> linea;  // nothing: there is no line text
  std::optional<righe> treno;
  const char* atteso;
};

// clang-format off
const std::vector<caso_testo> kCasiTesto = {
    {"route too long",
     righe{"[generale]",
      "lunghezza percorso, 1000001",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:2:21: error: the route length 1000001 m is above 1000000 m, the longest route the model holds. Shorten the route [1]\n"
     "lunghezza percorso, 1000001\n"
     "                    ^~~~~~~\n"
     "l.txt: note: this error stops the compile, so errors after it may be hidden: mend it and check again\n"
     "1 error, 0 warnings\n"},
    {"chainage beginning off the 50 m step",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "progressiva chilometrica uno, 25, 0, 0",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:31: error: the chainage beginning 25 m is not a multiple of 50 m (the compile finds it once both texts are read). Write 0 m or 50 m [2]\n"
     "progressiva chilometrica uno, 25, 0, 0\n"
     "                              ^~\n"
     "1 error, 0 warnings\n"},
    {"repetition start",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "ripetizione segnali 4 codici, 525, 600",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:31: error: the signal repetition start 525 m is not a multiple of 50 m. Write 500 m or 550 m [3]\n"
     "ripetizione segnali 4 codici, 525, 600\n"
     "                              ^~~\n"
     "1 error, 0 warnings\n"},
    {"repetition end",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "ripetizione segnali 4 codici, 500, 610",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:36: error: the signal repetition end 610 m is not a multiple of 50 m. Write 600 m or 650 m [4]\n"
     "ripetizione segnali 4 codici, 500, 610\n"
     "                                   ^~~\n"
     "1 error, 0 warnings\n"},
    {"repetition without a code count",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "ripetizione segnali codici, 500, 600",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:1: error: the signal repetition keyword names neither 4 nor 9 codes: write 'ripetizione segnali 4 codici' or 'ripetizione segnali 9 codici' [5]\n"
     "ripetizione segnali codici, 500, 600\n"
     "^~~~~~~~~~~~~~~~~~~~~~~~~~\n"
     "1 error, 0 warnings\n"},
    {"indication board on a speed board",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[cartelli]",
      "indicatori_vmax, 500, 100, 100, 100, 0, , , , 0",
      "[indicazioni]",
      "cartello_indicatore, 510, (X)",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:7:22: error: the indication board row at 510 m lands on cell 11 (550 to 599 m), which the speed board of line 5 already holds: one cell takes one object. Move one of them by 50 m or more [6]\n"
     "cartello_indicatore, 510, (X)\n"
     "                     ^~~\n"
     "l.txt:5:18: note: the speed board on cell 11 (550 to 599 m) is laid by this row\n"
     "indicatori_vmax, 500, 100, 100, 100, 0, , , , 0\n"
     "                 ^~~\n"
     "1 error, 0 warnings\n"},
    {"abbattimento on a signal",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[codici]",
      "abbattimento, 1550, 3",
      "[fine]"},
     "t.txt:5:15: error: the abbattimento row at 1550 m lands on cell 31 (1550 to 1599 m), which the signal of line 3 already holds: one cell takes one object. Move one of them by 50 m or more [7]\n"
     "abbattimento, 1550, 3\n"
     "              ^~~~\n"
     "t.txt:3:10: note: the signal on cell 31 (1550 to 1599 m) is laid by this row\n"
     "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"station off the 50 m step",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1025, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "[fine]"},
     "t.txt:3:11: error: the position of this station, 1025 m, is not a multiple of 50 m: the station's cells are counted from it. Write 1000 m or 1050 m [8]\n"
     "stazione, 1025, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
     "          ^~~~\n"
     "1 error, 0 warnings\n"},
    {"platform off the 100 m step",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1000, 24, 250, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "[fine]"},
     "t.txt:3:21: error: the platform length of this station, 250 m, is not a multiple of 100 m. Write 200 m or 300 m [9]\n"
     "stazione, 1000, 24, 250, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
     "                    ^~~\n"
     "1 error, 0 warnings\n"},
    {"signals before a warning board",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[rallentamenti]",
      "rallentamento, 3000, 60, 500, 0, 0, 60",
      "[segnali]",
      "segnale, 1450, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "segnale, 1500, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "segnale, 1550, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "[fine]"},
     "t.txt:3:16: error: the signal at 1550 m (line 7, cell 32 (1600 to 1649 m)) stands shortly before the warning board of the slowdown at 3000 m, and both cells before the signal hold objects other than code points (cell 31 holds the signal of line 6 and 30 the signal of line 5): the completion walk has no cell for the signal's code point. Free cells 31 (1550 to 1599 m) and 30 (1500 to 1549 m), or move the signal [11]\n"
     "rallentamento, 3000, 60, 500, 0, 0, 60\n"
     "               ^~~~\n"
     "t.txt:6:10: note: the signal on cell 31 (1550 to 1599 m) is laid by this row\n"
     "segnale, 1500, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:5:10: note: the signal on cell 30 (1500 to 1549 m) is laid by this row\n"
     "segnale, 1450, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"signals on an approach window",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[rallentamenti]",
      "rallentamento, 3000, 120, 500, 0, 0, 120",
      "[segnali]",
      "segnale, 2650, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "segnale, 2700, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "segnale, 2750, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "[fine]"},
     "t.txt:3:16: error: before the slowdown at 3000 m, whose start is on cell 61 (3050 to 3099 m), an approach window has no free cell for the code point the completion walk lays there (cell 56 holds the signal of line 7, 55 the signal of line 6 and 54 the signal of line 5). Move the objects there or the slowdown [12]\n"
     "rallentamento, 3000, 120, 500, 0, 0, 120\n"
     "               ^~~~\n"
     "t.txt:7:10: note: the signal on cell 56 (2800 to 2849 m) is laid by this row\n"
     "segnale, 2750, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:6:10: note: the signal on cell 55 (2750 to 2799 m) is laid by this row\n"
     "segnale, 2700, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:5:10: note: the signal on cell 54 (2700 to 2749 m) is laid by this row\n"
     "segnale, 2650, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"signals on a point inside a slowdown",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[rallentamenti]",
      "rallentamento, 3000, 60, 500, 0, 0, 60",
      "[segnali]",
      "segnale, 3350, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "segnale, 3400, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "segnale, 3450, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "[fine]"},
     "t.txt:3:16: error: inside the slowdown at 3000 m, the cell due for a code point every 400 m and both its neighbours are taken around cell 69 (3450 to 3499 m) (cell 69 holds the signal of line 6, 68 the signal of line 5 and 70 the signal of line 7). Move the objects there [13]\n"
     "rallentamento, 3000, 60, 500, 0, 0, 60\n"
     "               ^~~~\n"
     "t.txt:6:10: note: the signal on cell 69 (3450 to 3499 m) is laid by this row\n"
     "segnale, 3400, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:5:10: note: the signal on cell 68 (3400 to 3449 m) is laid by this row\n"
     "segnale, 3350, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:7:10: note: the signal on cell 70 (3500 to 3549 m) is laid by this row\n"
     "segnale, 3450, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"gradient beyond the strip",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "[pendenze]",
      "pendenza, 7950, 0",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:11: error: the gradient row at 7950 m lies beyond the cell strip: with a route of 1000 m the last cell is 160, so a row position may be at most 7900 m; the rest of the line text is not read. Move the row or lengthen the route [15]\n"
     "pendenza, 7950, 0\n"
     "          ^~~~\n"
     "1 error, 0 warnings\n"},
    {"curve past the plan",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "curvas4, 100, 7950",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:4:15: error: the curve ends at 8050 m (start + length), beyond 7998 m, the last plan point a curve may reach (route length + 7000 m - 2); the rest of the line text is not read. Shorten the curve [15]\n"
     "curvas4, 100, 7950\n"
     "              ^~~~\n"
     "1 error, 0 warnings\n"},
    {"montagna past the strip",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "[montagne]",
      "montagna, 100, 9000, 2",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:16: error: the montagna stretch covers cells 2 to 179 (100 to 8999 m), outside the strip (cells 0 to 160 (0 to 8049 m)); the rest of the line text is not read. Keep its end within the route [15]\n"
     "montagna, 100, 9000, 2\n"
     "               ^~~~\n"
     "1 error, 0 warnings\n"},
    {"station past the strip",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 7500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "[fine]"},
     "t.txt:3:11: error: the station row at 7500 m lies beyond the cell strip: with a route of 1000 m the last cell is 160, so a station position may be at most 7200 m; the rest of the train text is not read. Move the row or lengthen the route [15]\n"
     "stazione, 7500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
     "          ^~~~\n"
     "1 error, 0 warnings\n"},
    {"line code 15 stops the train at its first signal",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "[pendenze]",
      "pendenza, 7950, 0",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 100",
      "[segnali]",
      "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[fine]"},
     "l.txt:5:11: error: the gradient row at 7950 m lies beyond the cell strip: with a route of 1000 m the last cell is 160, so a row position may be at most 7900 m; the rest of the line text is not read. Move the row or lengthen the route [15]\n"
     "pendenza, 7950, 0\n"
     "          ^~~~\n"
     "t.txt:5:10: error: the line text left code 15 on record, so the first signal or slowdown row ends the reading of the train text here with this row's position; nothing after it is read. Mend the line text's code 15 first [15]\n"
     "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:5:10: warning: this signal row lies at 1500 m, past the end of the route at 1000 m: what lies beyond is the run-out after the last station. Keep it within the route [past-route]\n"
     "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "2 errors, 1 warning\n"},
    {"signal on a signal",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1525, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "segnale, 1575, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[fine]"},
     "t.txt:4:10: error: the signal row at 1575 m lands on cell 32 (1600 to 1649 m), which the signal of line 3 already holds: one cell takes one object. Move one of them by 50 m or more [16]\n"
     "segnale, 1575, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:3:10: note: the signal on cell 32 (1600 to 1649 m) is laid by this row\n"
     "segnale, 1525, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"slowdown warning board on a signal",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[rallentamenti]",
      "rallentamento, 2700, 60, 450, 0, 0, 60",
      "[fine]"},
     "t.txt:5:16: error: the warning board of the slowdown at 2700 m (1200 m before it) lands on cell 31 (1550 to 1599 m), which the signal of line 3 already holds: one cell takes one object. Move one of them by 50 m or more [17]\n"
     "rallentamento, 2700, 60, 450, 0, 0, 60\n"
     "               ^~~~\n"
     "t.txt:3:10: note: the signal on cell 31 (1550 to 1599 m) is laid by this row\n"
     "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"slowdown start on a signal",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[rallentamenti]",
      "rallentamento, 1500, 60, 450, 0, 0, 60",
      "[fine]"},
     "t.txt:5:16: error: the start of the slowdown at 1500 m lands on cell 31 (1550 to 1599 m), which the signal of line 3 already holds: one cell takes one object. Move one of them by 50 m or more [18]\n"
     "rallentamento, 1500, 60, 450, 0, 0, 60\n"
     "               ^~~~\n"
     "t.txt:3:10: note: the signal on cell 31 (1550 to 1599 m) is laid by this row\n"
     "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"slowdown end on a signal",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[rallentamenti]",
      "rallentamento, 1000, 60, 500, 0, 0, 60",
      "[fine]"},
     "t.txt:5:26: error: the end of the slowdown at 1000 m (x + l = 1500 m) lands on cell 31 (1550 to 1599 m), which the signal of line 3 already holds: one cell takes one object. Move one of them by 50 m or more [19]\n"
     "rallentamento, 1000, 60, 500, 0, 0, 60\n"
     "                         ^~~\n"
     "t.txt:3:10: note: the signal on cell 31 (1550 to 1599 m) is laid by this row\n"
     "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "1 error, 0 warnings\n"},
    {"pre-warning cells taken",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[codici]",
      "abbattimento, 1550, 3",
      "[rallentamenti]",
      "rallentamento, 2750, 60, 450, 0, 1, 60",
      "[fine]"},
     "t.txt:5:34: error: the four pre-warning cells of the slowdown at 2750 m (cells 28 to 31 (1400 to 1599 m)) are not free: cell 31 holds the code point of line 3; the start, end and warning points stay written. Set f_ta to 0 or move the slowdown [20]\n"
     "rallentamento, 2750, 60, 450, 0, 1, 60\n"
     "                                 ^\n"
     "t.txt:3:15: note: the code point on cell 31 (1550 to 1599 m) is laid by this row\n"
     "abbattimento, 1550, 3\n"
     "              ^~~~\n"
     "1 error, 0 warnings\n"},
    {"speed board on a speed board",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[cartelli]",
      "indicatori_vmax, 500, 100, 100, 100, 0, , , , 0",
      "indicatori_vmax, 520, 100, 100, 100, 0, , , , 0",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:6:18: error: the speed board row at 520 m lands on cell 11 (550 to 599 m), which the speed board of line 5 already holds: one cell takes one object. Move one of them by 50 m or more [21]\n"
     "indicatori_vmax, 520, 100, 100, 100, 0, , , , 0\n"
     "                 ^~~\n"
     "l.txt:5:18: note: the speed board on cell 11 (550 to 599 m) is laid by this row\n"
     "indicatori_vmax, 500, 100, 100, 100, 0, , , , 0\n"
     "                 ^~~\n"
     "1 error, 0 warnings\n"},
    {"stations too close",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "stazione, 1500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B",
      "[fine]"},
     "t.txt:4:11: error: the zone of station 'B' starts at 1350 m, less than 350 m after the zone of station 'A' (line 3) ends at 1150 m. Move the stations apart or shorten a platform [22]\n"
     "stazione, 1500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B\n"
     "          ^~~~\n"
     "1 error, 0 warnings\n"},
    {"stop mark at the start",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 0, 8, 100, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "[fine]"},
     "t.txt:3:11: error: the stop mark of station 'A' would fall on cell 1 (50 to 99 m), as its zone ends at 100 m: a stopping station's zone must end beyond 100 m. Move the station further along the line or lengthen its platform [24]\n"
     "stazione, 0, 8, 100, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
     "          ^\n"
     "1 error, 0 warnings\n"},
    {"value outside its slot",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[pendenze]",
      "pendenza, 99999999999, 0",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:11: error: read failure: the number '99999999999' does not fit a 32-bit value (-2147483648 to 2147483647), as the position of the gradient row [25]\n"
     "pendenza, 99999999999, 0\n"
     "          ^~~~~~~~~~~\n"
     "1 error, 0 warnings\n"},
    {"line text cut inside a row",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "[pendenze]",
      "pendenza, 100"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:1: error: the line text ends inside this gradient row: it has 1 of its 2 values. Complete the row [25]\n"
     "pendenza, 100\n"
     "^~~~~~~~\n"
     "1 error, 0 warnings\n"},
    {"no length row",
     righe{"[generale]",
      "sfondo uno, 1",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:1: error: the general section has no 'lunghezza percorso' row: without the route length there are no cells for the rows. Add 'lunghezza percorso, L' after [generale] [25]\n"
     "[curve]\n"
     "^~~~~~~\n"
     "l.txt: note: this error stops the compile, so errors after it may be hidden: mend it and check again\n"
     "1 error, 0 warnings\n"},
    {"speed limit beyond a byte",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 1280",
      "velocita, 500, 100",
      "[fine]"},
     "t.txt:3:14: error: the speed limit 1280 km/h does not fit its cell once divided by 5 (at most 1277 km/h) [25]\n"
     "velocita, 0, 1280\n"
     "             ^~~~\n"
     "1 error, 0 warnings\n"},
    {"empty line text",
     righe{},
     righe{"[generale]",
      "[fine]"},
     "l.txt: error: the line text is empty: the compile records a read failure [25]\n"
     "l.txt: note: this error stops the compile, so errors after it may be hidden: mend it and check again\n"
     "1 error, 0 warnings\n"},
    {"missing line text",
     std::nullopt,
     righe{"[generale]",
      "[fine]"},
     "l.txt: error: there is no line text (the file does not exist): nothing is compiled [101]\n"
     "l.txt: note: this error stops the compile, so errors after it may be hidden: mend it and check again\n"
     "1 error, 0 warnings\n"},
    {"no [generale] in the line text",
     righe{"lunghezza percorso, 1000",
      "[curve]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt: error: no field of the line text holds [generale], or nothing follows it: the text must begin with the line [generale] and the general rows after it [102]\n"
     "l.txt: note: this error stops the compile, so errors after it may be hidden: mend it and check again\n"
     "1 error, 0 warnings\n"},
    {"curve without a class",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "curvad, 100, 100",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:4:1: error: the curve keyword 'curvad' has no class digit 1 to 6: write the side and the class, as in 'curvas4' (left, 1000 m radius) or 'curvad2' (right, 5000 m radius) [103]\n"
     "curvad, 100, 100\n"
     "^~~~~~\n"
     "1 error, 0 warnings\n"},
    {"slowdown in the reserved cell",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[rallentamenti]",
      "rallentamento, 0, 60, 450, 0, 0, 60",
      "[fine]"},
     "t.txt:3:16: error: the slowdown row at 0 m puts a value into cell 1 (metres 50 to 99), which the scenario's markers keep for themselves; the program stops with \" Errore n. 1250\" and writes no compiled file. Move the row further along [1250]\n"
     "rallentamento, 0, 60, 450, 0, 0, 60\n"
     "               ^\n"
     "1 error, 0 warnings\n"},
    {"slowdown's d_v in the reserved cell",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[rallentamenti]",
      "rallentamento, 0, 0, 500, 0, 0, 60",
      "[fine]"},
     "t.txt:3:16: error: the slowdown row at 0 m puts a value into cell 1 (metres 50 to 99), which the scenario's markers keep for themselves; the program stops with \" Errore n. 1251\" and writes no compiled file. Move the row further along [1251]\n"
     "rallentamento, 0, 0, 500, 0, 0, 60\n"
     "               ^\n"
     "1 error, 0 warnings\n"},
    {"independent errors in one run",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1025, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "stazione, 3000, 24, 250, 0,0,0, 0,0,0, 0,0,0, 0, 7,10,0, B",
      "[segnali]",
      "segnale, 1525, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "segnale, 1575, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "segnale, 5000, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "segnale, 5010, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[fine]"},
     "t.txt:3:11: error: the position of this station, 1025 m, is not a multiple of 50 m: the station's cells are counted from it. Write 1000 m or 1050 m [8]\n"
     "stazione, 1025, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
     "          ^~~~\n"
     "t.txt:4:21: error: the platform length of this station, 250 m, is not a multiple of 100 m. Write 200 m or 300 m [9]\n"
     "stazione, 3000, 24, 250, 0,0,0, 0,0,0, 0,0,0, 0, 7,10,0, B\n"
     "                    ^~~\n"
     "t.txt:7:10: error: the signal row at 1575 m lands on cell 32 (1600 to 1649 m), which the signal of line 6 already holds: one cell takes one object. Move one of them by 50 m or more [16]\n"
     "segnale, 1575, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:6:10: note: the signal on cell 32 (1600 to 1649 m) is laid by this row\n"
     "segnale, 1525, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:9:10: error: the signal row at 5010 m lands on cell 101 (5050 to 5099 m), which the signal of line 8 already holds: one cell takes one object. Move one of them by 50 m or more [16]\n"
     "segnale, 5010, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "t.txt:8:10: note: the signal on cell 101 (5050 to 5099 m) is laid by this row\n"
     "segnale, 5000, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^~~~\n"
     "4 errors, 0 warnings\n"},
    {"a letter for a digit",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 100",
      "velocita, 3160, l00",
      "[fine]"},
     "t.txt:4:17: warning: 'l00' is not a number: the speed row reads it as 0 for its speed. A letter for a digit (l for 1, O for 0)? [not-a-number]\n"
     "velocita, 3160, l00\n"
     "                ^~~\n"
     "0 errors, 1 warning\n"},
    {"a letter in a position",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 100",
      "velocita, 3l600, 80",
      "[fine]"},
     "t.txt:4:11: warning: '3l600' is not a number: the speed row reads it as 3 for its position (only its leading digits count). A letter for a digit (l for 1, O for 0)? [not-a-number]\n"
     "velocita, 3l600, 80\n"
     "          ^~~~~\n"
     "0 errors, 1 warning\n"},
    {"a letter O for a zero",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[pendenze]",
      "pendenza, 0, 0",
      "pendenza, 500, 2O",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:6:16: warning: '2O' is not a number: the gradient row reads it as 2 for its gradient (only its leading digits count). A letter for a digit (l for 1, O for 0)? [not-a-number]\n"
     "pendenza, 500, 2O\n"
     "               ^~\n"
     "0 errors, 1 warning\n"},
    {"an empty field",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 4150,, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[fine]"},
     "t.txt:3:15: warning: the signal row has an empty field for its sx, which reads as 0 (a double comma?), and every value after it moves one place on. Write the value, or remove the comma [empty-field]\n"
     "segnale, 4150,, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "              ^\n"
     "0 errors, 1 warning\n"},
    {"a fraction",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[pendenze]",
      "pendenza, 0, 0",
      "pendenza, 500, 2.5",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:6:16: warning: the gradient row gives 2.5 for its gradient, which is kept as a whole number: 2 is stored (rounded, halves to even). Write a whole number [fraction]\n"
     "pendenza, 500, 2.5\n"
     "               ^~~\n"
     "0 errors, 1 warning\n"},
    {"semicolons between values",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita;0;100",
      "velocita, 500, 90",
      "[fine]"},
     "t.txt:3:1: warning: 'velocita;0;100' is one field: semicolons and tabs do not separate values, commas do (a spreadsheet saving CSV may write semicolons); it is read as a speed row that takes its values from the fields after it. Separate the values with commas [separator]\n"
     "velocita;0;100\n"
     "^~~~~~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a station row missing its seconds",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,30, CASALE VERDE",
      "[fine]"},
     "t.txt:3:56: warning: 'CASALE' is not a number: the station row reads it as 0 for its seconds. A word where a number belongs: is a value missing before it? [not-a-number]\n"
     "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,30, CASALE VERDE\n"
     "                                                       ^~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a short row",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0",
      "velocita, 500, 100",
      "[fine]"},
     "t.txt:3:11: warning: this speed row has 1 of its 2 values on its line, so the reader takes its speed from line 4 and the row of that line is lost. Complete the row on its own line [short-row]\n"
     "velocita, 0\n"
     "          ^\n"
     "t.txt:4:1: note: the speed is taken from here: 'velocita'\n"
     "velocita, 500, 100\n"
     "^~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a value too many",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 100, 5",
      "[fine]"},
     "t.txt:3:19: warning: the speed row of this line takes 2 values, and '5' stands after them: it is read as a keyword field of its own and ignored. Remove it, or mend the row (a value written twice, an empty field?) [extra-values]\n"
     "velocita, 0, 100, 5\n"
     "                  ^\n"
     "0 errors, 1 warning\n"},
    {"a row commented out",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "; segnale, 3000, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[vel_limite]",
      "velocita, 0, 100",
      "[fine]"},
     "t.txt:2:1: warning: '; segnale' looks like a comment, but the train text has no comments: it is read as a signal row, and the fields after it as its values. Delete the line, or put a '-' in it and no keyword (a field holding '-' is dropped) [comment]\n"
     "; segnale, 3000, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "^~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a note",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "# new signals from here",
      "[vel_limite]",
      "velocita, 0, 100",
      "[fine]"},
     "t.txt:2:1: warning: '# new signals from here' looks like a comment, but the train text has no comments: this line is ignored only because no keyword stands in it. Delete the line, or put a '-' in it and no keyword (a field holding '-' is dropped) [comment]\n"
     "# new signals from here\n"
     "^~~~~~~~~~~~~~~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a misspelt keyword",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "stazone, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "[fine]"},
     "t.txt:2:1: warning: 'stazone' is ignored: it is not a keyword of the train text. Did you mean 'stazione'? [unrecognised]\n"
     "stazone, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
     "^~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a curve without its side",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "curva4, 100, 200",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:4:1: warning: 'curva4' is read as a curve row bending right with a radius of 1000 m, though it is not the keyword's usual spelling; if that is what you mean, write 'curva', the side (s left, d right) and the class 1-6, as in 'curvas4' [keyword-form]\n"
     "curva4, 100, 200\n"
     "^~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a capitalised keyword",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "Velocita, 0, 100",
      "[fine]"},
     "t.txt:2:1: warning: this speed row stands under [generale], but rows of its kind belong under [vel_limite] (further ones under [generale] are not told again). The reader takes them wherever they stand; keep each row in its section [section]\n"
     "Velocita, 0, 100\n"
     "^~~~~~~~\n"
     "t.txt:2:1: warning: 'Velocita' is read as a speed row: the reader takes this keyword in any letter case, but its usual spelling is 'velocita'. Write it so, to be sure [keyword-form]\n"
     "Velocita, 0, 100\n"
     "^~~~~~~~\n"
     "0 errors, 2 warnings\n"},
    {"a keyword that is two",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita aderenza, 0, 100, 0, 100",
      "[fine]"},
     "t.txt:3:1: warning: this adhesion row stands under [vel_limite], but rows of its kind belong under [aderenze] (further ones under [vel_limite] are not told again). The reader takes them wherever they stand; keep each row in its section [section]\n"
     "velocita aderenza, 0, 100, 0, 100\n"
     "^~~~~~~~~~~~~~~~~\n"
     "t.txt:3:1: warning: 'velocita aderenza' is read as a speed row and then an adhesion row, each taking its values in turn: it passes the tests of two kinds. Give each row its own keyword [keyword-form]\n"
     "velocita aderenza, 0, 100, 0, 100\n"
     "^~~~~~~~~~~~~~~~~\n"
     "0 errors, 2 warnings\n"},
    {"a row in another section",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "velocita, 0, 100",
      "[fine]"},
     "t.txt:3:1: warning: this speed row stands under [segnali], but rows of its kind belong under [vel_limite] (further ones under [segnali] are not told again). The reader takes them wherever they stand; keep each row in its section [section]\n"
     "velocita, 0, 100\n"
     "^~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"speed rows out of order",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 80",
      "velocita, 2000, 100",
      "velocita, 1000, 60",
      "velocita, 3000, 90",
      "[fine]"},
     "t.txt:5:11: warning: this speed row at 1000 m comes after the one at 2000 m (line 4): speed rows ascend by position; 1000 to 1999 m do not get its 60 km/h (they keep 80 km/h). Put the rows in order of position [order]\n"
     "velocita, 1000, 60\n"
     "          ^~~~\n"
     "0 errors, 1 warning\n"},
    {"gradients 30 m apart",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[pendenze]",
      "pendenza, 0, 1",
      "pendenza, 30, 2",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:6:11: warning: this gradient row stands only 30 m after the one of line 5: gradient rows stand at least 50 m apart, and two rows in one cell leave the first one's gradient on a single cell. Move or join them [gradient-spacing]\n"
     "pendenza, 30, 2\n"
     "          ^~\n"
     "0 errors, 1 warning\n"},
    {"overlapping curves",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "curvas4, 100, 200",
      "curvad3, 250, 100",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:10: warning: this curve starts at 250 m, before the curve of line 4 ends at 300 m: curves do not overlap, and the plan bends this one only from where the other ends. Move it or shorten the other [curve-overlap]\n"
     "curvad3, 250, 100\n"
     "         ^~~\n"
     "0 errors, 1 warning\n"},
    {"a montagna with its ends swapped",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[montagne]",
      "montagna, 900, 100, 2",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:16: warning: this montagna stretch ends at 100 m, not after its start at 900 m: it covers no cell and lays nothing. Swap the two values, or remove the row [reversed]\n"
     "montagna, 900, 100, 2\n"
     "               ^~~\n"
     "0 errors, 1 warning\n"},
    {"a signal past the end of the route",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 3000, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0",
      "[fine]"},
     "t.txt:3:10: warning: this signal row lies at 3000 m, past the end of the route at 1000 m: what lies beyond is the run-out after the last station. Keep it within the route [past-route]\n"
     "segnale, 3000, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0\n"
     "         ^~~~\n"
     "0 errors, 1 warning\n"},
    {"an impossible speed",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 1000",
      "[fine]"},
     "t.txt:3:14: warning: this speed row gives 1000 km/h for its speed, outside what a real line has (0 to 350 km/h). Check the value [implausible]\n"
     "velocita, 0, 1000\n"
     "             ^~~~\n"
     "0 errors, 1 warning\n"},
    {"an impossible time",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 25,99,0, A",
      "[fine]"},
     "t.txt:3:50: warning: this station row gives 25 h for its hours, outside what a real line has (0 to 23 h). Check the value [implausible]\n"
     "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 25,99,0, A\n"
     "                                                 ^~\n"
     "t.txt:3:53: warning: this station row gives 99 min for its minutes, outside what a real line has (0 to 59 min). Check the value [implausible]\n"
     "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 25,99,0, A\n"
     "                                                    ^~\n"
     "0 errors, 2 warnings\n"},
    {"a speed not a multiple of 5",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 72",
      "[fine]"},
     "t.txt:3:14: warning: the speed limit 72 km/h is not a multiple of 5: the cell keeps it in steps of 5 km/h, as 70 km/h. Write a multiple of 5 [speed-multiple]\n"
     "velocita, 0, 72\n"
     "             ^~\n"
     "0 errors, 1 warning\n"},
    {"a gradient a cell cannot hold",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[pendenze]",
      "pendenza, 0, 160",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:14: warning: the gradient 160 per mille is outside -100 to 155, what a cell holds (gradient + 100 in one byte): it is stored as -96 per mille [gradient-range]\n"
     "pendenza, 0, 160\n"
     "             ^~~\n"
     "0 errors, 1 warning\n"},
    {"adhesion beyond a byte",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[aderenze]",
      "aderenza, 0, 300",
      "[fine]"},
     "t.txt:3:14: warning: the adhesion of this adhesion row is 300, which does not fit its 8-bit cell member: only its low 8 bits are kept, and it is stored as 44. Write a value that fits [wrap]\n"
     "aderenza, 0, 300\n"
     "             ^~~\n"
     "0 errors, 1 warning\n"},
    {"a signal value that is not a digit",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1500, 1, 14, 0, 0, 0, 2, 2, 0, 0, 0",
      "[fine]"},
     "t.txt:3:19: warning: the signal's s1 is 14, not a digit 0 to 9: packed as s * 10 + d it runs into the other digit of its pair. Write one digit [digit]\n"
     "segnale, 1500, 1, 14, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "                  ^~\n"
     "0 errors, 1 warning\n"},
    {"the first speed row beyond 0 m",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 500, 100",
      "[fine]"},
     "t.txt:3:11: warning: the first speed row stands at 500 m, not at 0 m: the cells before it get speed limit 0. Begin with a row at 0 m [first-row]\n"
     "velocita, 500, 100\n"
     "          ^~~\n"
     "0 errors, 1 warning\n"},
    {"a station name cut at a comma",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, ULMO, NORD",
      "[fine]"},
     "t.txt:3:57: warning: the station name is cut at the comma: it is stored as 'ULMO', and 'NORD' after the comma is read as a keyword field of its own. Station names and board texts cannot hold a comma: leave it out [comma]\n"
     "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, ULMO, NORD\n"
     "                                                        ^~~~\n"
     "0 errors, 1 warning\n"},
    {"a quoted board text that runs past its line",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[indicazioni]",
      "cartello_indicatore, 550, \"(A)",
      "[pendenze]",
      "pendenza, 0, 1",
      "[fine]\"",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:27: warning: the quoted board text runs on past the end of its line to line 8, where its closing quote stands (or the text ends): the lines it takes are part of the text, not rows. Close the quote on its own line [quote]\n"
     "cartello_indicatore, 550, \"(A)\n"
     "                          ^~~~\n"
     "0 errors, 1 warning\n"},
    {"a keyword as the last field",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "numero vetture, 5",
      "sabbia"},
     "t.txt:3:1: warning: 'sabbia' is the last field of the text, and the reader never examines the last field. End the text with the line [fine] [closing-line]\n"
     "sabbia\n"
     "^~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a train text without [generale]",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"velocita, 0, 100",
      "[fine]"},
     "t.txt: warning: no field of the train text holds [generale]: the reader skips the whole text and reads no row of it. Begin the text with the line [generale] [no-generale]\n"
     "0 errors, 1 warning\n"},
    {"a text saved as UTF-8",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, CITT\xC3\x80 DI PIET\xC3\x80",
      "[fine]"},
     "t.txt:3:61: warning: the train text looks saved as UTF-8: its 2 accented characters read wrong in Windows-1252, the code page of the texts ('\xC3\x80' as '\xC3\x83\xE2\x82\xAC'). Save the text as Windows-1252 (ANSI) [encoding]\n"
     "stazione, 5000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, CITT\xC3\x83\xE2\x82\xAC DI PIET\xC3\x83\xE2\x82\xAC\n"
     "                                                            ^~\n"
     "0 errors, 1 warning\n"},
    {"an empty train text",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{},
     "t.txt: warning: the train text is empty: the compile reads no row of it and lays no train on the line. Begin it with the line [generale] and the train's rows [empty-text]\n"
     "0 errors, 1 warning\n"},
    {"station kind beyond a byte",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1000, 300, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "[fine]"},
     "t.txt:3:17: error: read failure: the number '300' does not fit a byte (0 to 255), as the tipo of the station row [25]\n"
     "stazione, 1000, 300, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
     "                ^~~\n"
     "1 error, 0 warnings\n"},
    {"train text cut inside a row",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1500, 1, 4"},
     "t.txt:3:1: error: the train text ends inside this signal row: it has 3 of its 11 values. Complete the row [25]\n"
     "segnale, 1500, 1, 4\n"
     "^~~~~~~\n"
     "1 error, 0 warnings\n"},
    {"signal in the reserved cell",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 0, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
      "[fine]"},
     "t.txt:3:10: error: the signal row at 0 m puts a value into cell 1 (metres 50 to 99), which the scenario's markers keep for themselves; the program stops with \" Errore n. 1250\" and writes no compiled file. Move the row further along [1250]\n"
     "segnale, 0, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0\n"
     "         ^\n"
     "1 error, 0 warnings\n"},
    {"abbattimento value in the reserved cell",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[codici]",
      "abbattimento, 50, 90",
      "[fine]"},
     "t.txt:3:15: error: the abbattimento row at 50 m puts a value into cell 1 (metres 50 to 99), which the scenario's markers keep for themselves; the program stops with \" Errore n. 1250\" and writes no compiled file. Move the row further along [1250]\n"
     "abbattimento, 50, 90\n"
     "              ^~\n"
     "1 error, 0 warnings\n"},
    {"second reserved member",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 0, 1, 0, 1, 0, 0, 2, 0, 0, 0, 0",
      "[fine]"},
     "t.txt:3:10: error: the signal row at 0 m puts a value into cell 1 (metres 50 to 99), which the scenario's markers keep for themselves; the program stops with \" Errore n. 1251\" and writes no compiled file. Move the row further along [1251]\n"
     "segnale, 0, 1, 0, 1, 0, 0, 2, 0, 0, 0, 0\n"
     "         ^\n"
     "1 error, 0 warnings\n"},
    {"chainage offset off the 50 m step",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "progressiva chilometrica due, 0, 13575, 0",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:34: error: the chainage offset 13575 m is not a multiple of 50 m (the compile finds it once both texts are read). Write 13550 m or 13600 m [2]\n"
     "progressiva chilometrica due, 0, 13575, 0\n"
     "                                 ^~~~~\n"
     "1 error, 0 warnings\n"},
    {"gradients out of order",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[pendenze]",
      "pendenza, 500, 1",
      "pendenza, 400, 2",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:6:11: warning: this gradient row at 400 m comes after the one at 500 m (line 5): gradient rows ascend by position; 400 to 499 m do not get its 2 per mille (they keep 0 per mille). Put the rows in order of position [order]\n"
     "pendenza, 400, 2\n"
     "          ^~~\n"
     "0 errors, 1 warning\n"},
    {"curves out of order",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "curvas4, 500, 50",
      "curvad4, 300, 50",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:10: warning: this curve row at 300 m comes after the one at 500 m (line 4): curve rows ascend by start. Put the rows in order of position [order]\n"
     "curvad4, 300, 50\n"
     "         ^~~\n"
     "0 errors, 1 warning\n"},
    {"adhesion out of order",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[aderenze]",
      "aderenza, 0, 100",
      "aderenza, 900, 90",
      "aderenza, 800, 80",
      "[fine]"},
     "t.txt:5:11: warning: this adhesion row at 800 m comes after the one at 900 m (line 4): adhesion rows ascend by position; 800 to 899 m do not get its 80 % (they keep 100 %). Put the rows in order of position [order]\n"
     "aderenza, 800, 80\n"
     "          ^~~\n"
     "0 errors, 1 warning\n"},
    {"speeds at one position",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 100",
      "velocita, 0, 90",
      "[fine]"},
     "t.txt:4:11: warning: this speed row at 0 m stands at the same position as the one of line 3: speed rows ascend by position. Put the rows in order of position [order]\n"
     "velocita, 0, 90\n"
     "          ^\n"
     "0 errors, 1 warning\n"},
    {"stations out of order",
     righe{"[generale]",
      "lunghezza percorso, 20000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 9000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
      "stazione, 1000, 27, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B",
      "[fine]"},
     "t.txt:4:11: error: the zone of station 'B' starts at 850 m, less than 350 m after the zone of station 'A' (line 3) ends at 9150 m. Move the stations apart or shorten a platform [22]\n"
     "stazione, 1000, 27, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B\n"
     "          ^~~~\n"
     "t.txt:4:11: warning: this station row at 1000 m comes after the one at 9000 m (line 3): station rows stand in route order. Put the rows in order of position [order]\n"
     "stazione, 1000, 27, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B\n"
     "          ^~~~\n"
     "1 error, 1 warning\n"},
    {"curve past the route",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "curvas4, 900, 200",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:4:15: warning: the end of this curve lies at 1100 m, past the end of the route at 1000 m: what lies beyond is the run-out after the last station. Keep it within the route [past-route]\n"
     "curvas4, 900, 200\n"
     "              ^~~\n"
     "0 errors, 1 warning\n"},
    {"montagna past the route",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "[curve]",
      "[montagne]",
      "montagna, 900, 1200, 2",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:16: warning: the end of this montagna stretch lies at 1200 m, past the end of the route at 1000 m: what lies beyond is the run-out after the last station. Keep it within the route [past-route]\n"
     "montagna, 900, 1200, 2\n"
     "               ^~~~\n"
     "0 errors, 1 warning\n"},
    {"board speed not a multiple of 5",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[cartelli]",
      "indicatori_vmax, 500, 100, 100, 100, 0, 92, 90, 90, 0",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:41: warning: the second-set speed 92 km/h is not a multiple of 5: the board keeps it in steps of 5 km/h and shows 90 km/h [speed-multiple]\n"
     "indicatori_vmax, 500, 100, 100, 100, 0, 92, 90, 90, 0\n"
     "                                        ^~\n"
     "0 errors, 1 warning\n"},
    {"line row in the general section",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "pendenza, 0, 1",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:1: warning: 'pendenza' stands in the general section, where only the general rows are read: the row is ignored. Move it below [curve] [section]\n"
     "pendenza, 0, 1\n"
     "^~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"general row after the general section",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "sfondo uno, 1",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:4:1: warning: 'sfondo uno' stands after the general section ended, where general rows are not read: the row is ignored. Move it between [generale] and [curve] [section]\n"
     "sfondo uno, 1\n"
     "^~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"general keyword in capitals",
     righe{"[generale]",
      "lunghezza percorso, 1000",
      "Sfondo Uno, 1",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:3:1: warning: 'Sfondo Uno' is ignored: the keywords of the general rows, but for the route length, are matched in lower case only. Write it in lower case [unrecognised]\n"
     "Sfondo Uno, 1\n"
     "^~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a third comment",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "-- a",
      "-- b",
      "-- c",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:6:1: warning: '-- c' is ignored: a hyphenated field is dropped as a comment only two times in a row, and this one is read as a keyword. Join the comment lines [unrecognised]\n"
     "-- c\n"
     "^~~~\n"
     "0 errors, 1 warning\n"},
    {"unknown header",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnalli]",
      "[fine]"},
     "t.txt:2:1: warning: '[segnalli]' is ignored: it is not a section header of the train text. Mend its name [unrecognised]\n"
     "[segnalli]\n"
     "^~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"unknown keyword",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "vagoni, 5",
      "[fine]"},
     "t.txt:2:1: warning: 'vagoni' is ignored: it is not a keyword of the train text. Mend the keyword [unrecognised]\n"
     "vagoni, 5\n"
     "^~~~~~\n"
     "0 errors, 1 warning\n"},
    {"board text cut at a comma",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[indicazioni]",
      "cartello_indicatore, 550, (A), (B)",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:27: warning: the board text is cut at the comma: it is stored as '(A)', and '(B)' after the comma is read as a keyword field of its own. Station names and board texts cannot hold a comma: leave it out [comma]\n"
     "cartello_indicatore, 550, (A), (B)\n"
     "                          ^~~\n"
     "0 errors, 1 warning\n"},
    {"a header that passes a row test",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[pendenza]",
      "pendenza, 0, 1",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:4:1: warning: '[pendenza]' looks like a section header but passes the test of the gradient row: the reader reads it as that row and takes the fields after it as its values. Write the header as [pendenze] [section]\n"
     "[pendenza]\n"
     "^~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"quoted board text with a comma",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[indicazioni]",
      "cartello_indicatore, 550, \"(A,B)\"",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:27: warning: the quoted board text '(A,B)' keeps its comma, but station names and board texts carry none. Leave the comma out [comma]\n"
     "cartello_indicatore, 550, \"(A,B)\"\n"
     "                          ^~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"signal tempo beyond a byte",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[segnali]",
      "segnale, 1500, 2, 4, 0, 0, 0, 2, 2, 0, 0, 300",
      "[fine]"},
     "t.txt:3:43: warning: the tempo of this signal row is 300, which does not fit its 8-bit cell member: only its low 8 bits are kept, and it is stored as 44. Write a value that fits [wrap]\n"
     "segnale, 1500, 2, 4, 0, 0, 0, 2, 2, 0, 0, 300\n"
     "                                          ^~~\n"
     "0 errors, 1 warning\n"},
    {"slowdown speed beyond 16 bits",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[rallentamenti]",
      "rallentamento, 2800, 40000, 450, 0, 0, 60",
      "[fine]"},
     "t.txt:3:22: warning: the v of this slowdown row is 40000, which does not fit its 16-bit cell member: only its low 16 bits are kept, and it is stored as -25536. Write a value that fits [wrap]\n"
     "rallentamento, 2800, 40000, 450, 0, 0, 60\n"
     "                     ^~~~~\n"
     "0 errors, 1 warning\n"},
    {"montagna type beyond a byte",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[montagne]",
      "montagna, 100, 250, 300",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:5:21: warning: the type (once the 10 that asks for marks is taken off) of this montagna row is 290, which does not fit its 8-bit cell member: only its low 8 bits are kept, and it is stored as 34. Write a value that fits [wrap]\n"
     "montagna, 100, 250, 300\n"
     "                    ^~~\n"
     "0 errors, 1 warning\n"},
    {"the first adhesion row beyond 0 m",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[aderenze]",
      "aderenza, 500, 100",
      "[fine]"},
     "t.txt:3:11: warning: the first adhesion row stands at 500 m, not at 0 m: the cells before it get adhesion 0. Begin with a row at 0 m [first-row]\n"
     "aderenza, 500, 100\n"
     "          ^~~\n"
     "0 errors, 1 warning\n"},
    {"a curve keyword read as a left-hand curve",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "curva_destra4, 100, 200",
      "[fine]"},
     righe{"[generale]",
      "[fine]"},
     "l.txt:4:1: warning: 'curva_destra4' is read as a curve row bending left with a radius of 1000 m, though it is not the keyword's usual spelling; if that is what you mean, write 'curva', the side (s left, d right) and the class 1-6, as in 'curvas4' [keyword-form]\n"
     "curva_destra4, 100, 200\n"
     "^~~~~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a tab where a comma belongs",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita\x09" "0\x09" "100",
      "[aderenze]",
      "aderenza, 0, 100",
      "[fine]"},
     "t.txt:3:1: warning: 'velocita\x09" "0\x09" "100' is one field: semicolons and tabs do not separate values, commas do (a spreadsheet saving CSV may write semicolons); it is read as a speed row that takes its values from the fields after it. Separate the values with commas [separator]\n"
     "velocita\x09" "0\x09" "100\n"
     "^~~~~~~~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"missing train text",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     std::nullopt,
     "t.txt: error: the train text does not exist: the compile records a read failure [25]\n"
     "1 error, 0 warnings\n"},
    {"a timetable that runs backwards",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,34,0, A",
      "stazione, 3000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,20,0, B",
      "[fine]"},
     "t.txt:4:50: warning: this station's time, 7:20:00, is before 7:34:00, the time of A at 1000 m (line 3), the station before it along the route: the timetable runs backwards. Check the two times (a time more than 12 hours earlier would read as a run past midnight) [timetable-back]\n"
     "stazione, 3000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,20,0, B\n"
     "                                                 ^\n"
     "t.txt:3:50: note: the time of A, 7:34:00\n"
     "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,34,0, A\n"
     "                                                 ^\n"
     "0 errors, 1 warning\n"},
    {"a first stop before the clock",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "orologio, 7, 0, 0",
      "[stazioni]",
      "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 6,50,0, A",
      "[fine]"},
     "t.txt:4:50: warning: the first time of the timetable, 6:50:00 at A, is before the clock setting, 7:00:00 (line 2): the scenario begins after the train was due there. Set the clock earlier, or check the time [before-clock]\n"
     "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 6,50,0, A\n"
     "                                                 ^\n"
     "t.txt:2:11: note: the clock is set here, to 7:00:00\n"
     "orologio, 7, 0, 0\n"
     "          ^\n"
     "0 errors, 1 warning\n"},
    {"a slowdown faster than the limit",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 80",
      "velocita, 3200, 85",
      "[rallentamenti]",
      "rallentamento, 3000, 90, 400, 0, 0, 90",
      "[fine]"},
     "t.txt:6:22: warning: this slowdown's speed, 90 km/h, is not below the train's speed limit along it, at most 85 km/h from 3000 m to 3400 m: it slows nothing. Write a speed below the limit, or check the slowdown [slowdown-speed]\n"
     "rallentamento, 3000, 90, 400, 0, 0, 90\n"
     "                     ^~\n"
     "t.txt:3:14: note: the speed limit in force at 3000 m, 80 km/h, is set here\n"
     "velocita, 0, 80\n"
     "             ^~\n"
     "0 errors, 1 warning\n"},
    {"a limit above the board",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[cartelli]",
      "indicatori_vmax, 500, 70, 75, 80, 0, , , , 0",
      "[fine]"},
     righe{"[generale]",
      "[vel_limite]",
      "velocita, 0, 30",
      "velocita, 600, 120",
      "[fine]"},
     "t.txt:4:16: warning: this speed limit, 120 km/h, is above every speed of the speed board in force there, the one at 500 m (l.txt:5): at most 80 km/h, of every rank and set. No train may run so fast there: lower the limit, or check the board [above-board]\n"
     "velocita, 600, 120\n"
     "               ^~~\n"
     "l.txt:5:18: note: the speed board at 500 m\n"
     "indicatori_vmax, 500, 70, 75, 80, 0, , , , 0\n"
     "                 ^~~\n"
     "0 errors, 1 warning\n"},
    {"two stations of one name",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, VESSANO",
      "stazione, 3000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, Vessano ",
      "[fine]"},
     "t.txt:4:57: warning: this station's name, 'Vessano', is also the name of the station at 1000 m (line 3): the timetable and the train card cannot tell the two apart. Give each station its own name [station-name]\n"
     "stazione, 3000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, Vessano \n"
     "                                                        ^~~~~~~~\n"
     "0 errors, 1 warning\n"},
    {"a stop with no time",
     righe{"[generale]",
      "lunghezza percorso, 10000",
      "[curve]",
      "[fine]"},
     righe{"[generale]",
      "[stazioni]",
      "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
      "[fine]"},
     "t.txt:3:50: warning: this station is a stop (its kind, 24, is below 25, which gives it a stop mark) but its time is 0:00:00, no time: only a station the train passes goes without one. Write the time of the stop, or a kind of 25 or more for a station the train passes [no-time]\n"
     "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A\n"
     "                                                 ^\n"
     "0 errors, 1 warning\n"},
};
// clang-format on

std::string uscita_di(const std::optional<righe>& l, const std::optional<righe>& t) {
  auto come_testo = [](const std::optional<righe>& r) {
    return r ? std::optional<std::string>(testo(*r)) : std::nullopt;
  };
  return elenco(verifica_testi({"l.txt", come_testo(l)}, {"t.txt", come_testo(t)}));
}

TEST(VerificaTesto, EveryCodeAndRuleAsTheAuthorReadsIt) {
  for (const caso_testo& c : kCasiTesto) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(uscita_di(c.linea, c.treno), c.atteso);
  }
}

// Tables that fill up: the 79th station with no board text reaches the
// board floor, as does the 81st board text, and the 81st montagna row.
TEST(VerificaTesto, ARowTheTableOrTheListsHaveNoRoomFor) {
  righe stazioni;
  for (int n = 1; n <= 79; ++n) {
    stazioni.push_back("stazione, " + std::to_string(n * 500) +
                       ", 24, 100, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, S" + std::to_string(n));
  }
  EXPECT_EQ(uscita_di(linea_lunga({}, "45000"), treno(stazioni)),
            "t.txt:81:11: error: station 79, 'S79', does not fit the table: stations and board "
            "texts share its rows, and with 0 board texts in the line text there is room for 78 "
            "stations (78 without board texts). Remove stations or board texts [10]\n"
            "stazione, 39500, 24, 100, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, S79\n"
            "          ^~~~~\n"
            "1 error, 0 warnings\n");
  righe montagne;
  for (int n = 0; n < 81; ++n)
    montagne.push_back("montagna, " + std::to_string(n * 100) + ", " +
                       std::to_string(n * 100 + 50) + ", 2");
  EXPECT_EQ(uscita_di(linea_lunga(montagne), kTrenoVuoto),
            "l.txt:85:1: error: an 81st montagna row: the route keeps at most 80 montagna "
            "stretches. Join neighbouring stretches [10]\n"
            "montagna, 8000, 8050, 2\n"
            "^~~~~~~~\n"
            "1 error, 0 warnings\n");
  righe cartelli;
  for (int n = 1; n <= 81; ++n)
    cartelli.push_back("cartello_indicatore, " + std::to_string(n * 100) + ", (B)");
  EXPECT_EQ(uscita_di(linea_lunga(cartelli), kTrenoVuoto),
            "l.txt:85:1: error: an 81st indication board: board texts take the table rows 80 "
            "down to 1, so there is room for 80. Remove boards [10]\n"
            "cartello_indicatore, 8100, (B)\n"
            "^~~~~~~~~~~~~~~~~~~\n"
            "1 error, 0 warnings\n");
}

// Every code the error record can hold, and every warning rule, has its case.
TEST(VerificaTesto, TheCasesCoverEveryCodeAndEveryRule) {
  std::string tutti;
  for (const caso_testo& c : kCasiTesto) tutti += c.atteso;
  for (int32_t codice : kCodiciErrore) {
    if (codice == 0 || codice == 10) continue;  // 10 above
    EXPECT_NE(tutti.find("[" + std::to_string(codice) + "]\n"), std::string::npos) << codice;
  }
  for (const std::string_view numero : {"1250", "1251"}) {
    EXPECT_NE(tutti.find("[" + std::string(numero) + "]\n"), std::string::npos) << numero;
  }
  for (const regola_avviso& r : kRegoleAvviso) {
    // The names of the texts are told by the command (ScenarioTool tests).
    if (r.nome == kRegolaNomi.nome) continue;
    EXPECT_NE(tutti.find("[" + std::string(r.nome) + "]\n"), std::string::npos) << r.nome;
  }
}

TEST(Verifica, RowsOutOfTheirSectionAreToldOncePerKindAndHeader) {
  const righe t = {
      "[generale]",        "velocita, 0, 30", "velocita, 500, 40", "aderenza, 0, 100", "[segnali]",
      "velocita, 900, 50", "[fine]"};
  const std::string intro =
      "The reader takes them wherever they stand; keep each row in its section";
  EXPECT_EQ(
      uscita_di(kLineaVuota, t),
      "t.txt:2:1: warning: this speed row stands under [generale], but rows of its kind "
      "belong under [vel_limite] (further ones under [generale] are not told again). " +
          intro +
          " [section]\n"
          "velocita, 0, 30\n"
          "^~~~~~~~\n"
          "t.txt:4:1: warning: this adhesion row stands under [generale], but rows of its "
          "kind belong under [aderenze] (further ones under [generale] are not told again). " +
          intro +
          " [section]\n"
          "aderenza, 0, 100\n"
          "^~~~~~~~\n"
          "t.txt:6:1: warning: this speed row stands under [segnali], but rows of its kind "
          "belong under [vel_limite] (further ones under [segnali] are not told again). " +
          intro +
          " [section]\n"
          "velocita, 900, 50\n"
          "^~~~~~~~\n"
          "0 errors, 3 warnings\n");
}

TEST(Verifica, ALineAShortRowTookIsOneWarning) {
  // The second row's keyword is the first row's value; the fields left on
  // its line, now keyword fields, need no warning of their own, and neither
  // does the comma that ends a name taken from there.
  const std::vector<righe> casi = {
      treno({"velocita, 0", "velocita, 500, 100"}),
      treno({"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0",
             "stazione, 2000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B"}),
  };
  for (const righe& t : casi) {
    const verificati v = verifica(kLineaVuota, t);
    ASSERT_EQ(v.d.size(), 1u) << elenco(v.d);
    EXPECT_EQ(v.d[0].codice, "short-row");
  }
}

TEST(Verifica, TextFormShowsTheLineAndACaretUnderTheField) {
  const righe l = {"[generale]", "lunghezza percorso, 1000", "[pendenze]", "\tpendenza, 7950, 0"};
  const verificati v = verifica(l, kTrenoVuoto);
  ASSERT_EQ(v.d.size(), 1u) << elenco(v.d);
  const std::string testo_atteso =
      "l.txt:4:12: error: the gradient row at 7950 m lies beyond the cell strip: with a route "
      "of 1000 m the last cell is 160, so a row position may be at most 7900 m; the rest of the "
      "line text is not read. Move the row or lengthen the route [15]\n"
      "\tpendenza, 7950, 0\n"
      "\t          ^~~~\n"
      "1 error, 0 warnings\n";
  EXPECT_EQ(elenco(v.d), testo_atteso);
}

TEST(Verifica, SourceLinesAreShownInUtf8) {
  const verificati v = verifica(
      kLineaVuota,
      treno({"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, 2\xB0 BIVIO, NORD"}));
  ASSERT_EQ(v.d.size(), 1u) << elenco(v.d);
  EXPECT_NE(elenco(v.d).find("0, 2\xC2\xB0 BIVIO, NORD\n"), std::string::npos) << elenco(v.d);
}

TEST(Verifica, MessagesQuoteTheTextsInUtf8) {
  // The reader's own message quotes the field as the text has it.
  const verificati v = verifica(linea({"pendenza, 9999999999\xB0, 0"}), kTrenoVuoto);
  ASSERT_EQ(v.d.size(), 1u) << elenco(v.d);
  EXPECT_NE(v.d[0].messaggio.find("'9999999999\xC2\xB0'"), std::string::npos) << v.d[0].messaggio;
  EXPECT_NO_THROW(json_diagnosi(v.d).dump());
}

TEST(Verifica, JsonListsEveryDiagnosisWithItsFields) {
  const verificati v = verifica(linea({"pendenza, 7950, 0"}), treno({"velocita, 0, 72"}));
  const nlohmann::json j = nlohmann::json::parse(json_diagnosi(v.d).dump());
  ASSERT_TRUE(j.is_array());
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["file"], "l.txt");
  EXPECT_EQ(j[0]["line"], 5);
  EXPECT_EQ(j[0]["column"], 11);
  EXPECT_EQ(j[0]["severity"], "error");
  EXPECT_EQ(j[0]["code"], "15");
  EXPECT_TRUE(j[0]["message"].is_string());
  EXPECT_EQ(j[1]["file"], "t.txt");
  EXPECT_EQ(j[1]["severity"], "warning");
  EXPECT_EQ(j[1]["code"], "speed-multiple");
  for (const auto& o : j) EXPECT_EQ(o.size(), 6u);
}

using prova::esito_strumento;
using prova::strumento;

TEST(Verifica, CheckCommandOnTheEmbeddedTextsPrintsNothing) {
  prova::cartella_temporanea cartella;
  ASSERT_EQ(strumento({"export-sources", cartella.percorso().string()}).stato, 0);
  const std::string l = (cartella / "Ulmo_Tarvignano_Rovesco_linea.txt").string();
  const std::string t = (cartella / "Ulmo_Tarvignano_Rovesco_4816-.txt").string();
  const esito_strumento e = strumento({"check", l, t});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.uscita, "");
  EXPECT_EQ(e.errori, "no problems found\n");
  const esito_strumento j = strumento({"check", l, t, "--json"});
  EXPECT_EQ(j.stato, 0);
  EXPECT_EQ(nlohmann::json::parse(j.uscita), nlohmann::json::array());
}

TEST(Verifica, CheckCommandExitStatus) {
  prova::cartella_temporanea cartella;
  const std::string l = (cartella / "l.txt").string();
  const std::string t = (cartella / "t.txt").string();
  prova::scrivi(l, testo(linea({"pendenza, 0, 200"})));
  prova::scrivi(t, testo(kTrenoVuoto));

  const esito_strumento avvisi = strumento({"check", l, t});
  EXPECT_EQ(avvisi.stato, 0) << avvisi.errori;
  EXPECT_NE(avvisi.errori.find("warning: "), std::string::npos) << avvisi.errori;

  const esito_strumento senza_treno = strumento({"check", l, (cartella / "nessuno").string()});
  EXPECT_EQ(senza_treno.stato, kUscitaErroriTrovati) << senza_treno.errori;

  prova::scrivi(t, testo(treno({"velocita, 0, 1280", "velocita, 500, 100"})));
  const esito_strumento errori = strumento({"check", l, t, "--json"});
  EXPECT_EQ(errori.stato, kUscitaErroriTrovati);
  EXPECT_EQ(errori.errori, "");
  // The two problems, and the note that the texts' names give no route.
  EXPECT_EQ(nlohmann::json::parse(errori.uscita).size(), 3u) << errori.uscita;

  const esito_strumento cartella_come_testo = strumento({"check", cartella.percorso().string(), t});
  EXPECT_EQ(cartella_come_testo.stato, uscita_file_system);
  EXPECT_NE(cartella_come_testo.errori.find("not a regular file"), std::string::npos);
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// The Italian habit of a dot between thousands: the station at
// "11.500", and a platform of "1.200", each told what it reads as and offered
// the number meant.
TEST(VerificaTesto, ADotForThousandsIsToldWhatItReadsAs) {
  const righe l = linea_lunga({}, "30000");
  EXPECT_EQ(uscita_di(l, treno({"stazione, 11.500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"})),
            "t.txt:3:11: error: the position of this station, 12 m, is not a multiple of 50 m: "
            "the station's cells are counted from it. Write 0 m or 50 m [8]\n"
            "stazione, 11.500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
            "          ^~~~~~\n"
            "t.txt:3:11: warning: the station row gives 11.500 for its posizione: the dot is no "
            "thousands separator here but a decimal point, so it reads 11.5 m and 12 m is "
            "stored. For 11500 m write 11500, without the dot [fraction]\n"
            "stazione, 11.500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A\n"
            "          ^~~~~~\n"
            "1 error, 1 warning\n");
  struct caso {
    std::string riga;
    std::string attesa;
  };
  for (const caso& c : std::vector<caso>{
           {"stazione, 1000, 24, 1.200, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
            "it reads 1.2 m and 1 m is stored. For 1200 m write 1200"},
           {"segnale, 1.250.000, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
            "it reads 1.25 m and 1 m is stored. For 1250000 m write 1250000"},
       }) {
    SCOPED_TRACE(c.riga);
    EXPECT_NE(uscita_di(l, treno({c.riga})).find(c.attesa), std::string::npos)
        << uscita_di(l, treno({c.riga}));
  }
  // A fraction that is no thousands group, and a dot in a value that is no
  // length, keep the fraction rule's own words.
  for (const std::string& riga : {std::string("velocita, 0, 1.500"),
                                  std::string("stazione, 1000, 24, 300.5, 0,0,0, 0,0,0, 0,0,0, "
                                              "0, 7,0,0, A")}) {
    SCOPED_TRACE(riga);
    const std::string uscita = uscita_di(l, treno({riga}));
    EXPECT_EQ(uscita.find("thousands"), std::string::npos) << uscita;
    EXPECT_NE(uscita.find("Write a whole number [fraction]"), std::string::npos) << uscita;
  }
}

// The rules of meaning stay silent on what a sound scenario writes: a run
// past midnight, a junction with no time, a passing station with one, a
// slowdown below a limit that drops inside it, and a limit that a board
// further on lowers before the limit itself drops (as the embedded boards at
// 13 750 and 18 200 m do).
TEST(VerificaTesto, TheRulesOfMeaningLetASoundScenarioPass) {
  const righe l = linea_lunga({"indicatori_vmax, 500, 100, 105, 110, 0, , , , 0",
                               "indicatori_vmax, 5200, 70, 75, 80, 0, , , , 0"},
                              "30000");
  const righe t =
      treno({"orologio, 23, 40, 0", "velocita, 0, 90", "velocita, 3300, 60", "velocita, 5000, 95",
             "velocita, 5600, 75", "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 23,50,0, A",
             "stazione, 3000, 27, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, BIVIO",
             "stazione, 5000, 25, 300, 0,0,0, 0,0,0, 0,0,0, 0, 23,58,30, B",
             "stazione, 9000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,10,0, C",
             "rallentamento, 3000, 70, 500, 0, 0, 70"});
  EXPECT_EQ(uscita_di(l, t), "no problems found\n");
}

}  // namespace
}  // namespace scenario
