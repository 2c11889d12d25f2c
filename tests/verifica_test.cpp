#include "tools/verifica.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

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
#include "tools/comandi.h"
#include "tools/lettura_osservata.h"

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
const righe kLineaVuota = linea({});

struct verificati {
  righe linea;
  righe treno;
  std::vector<diagnosi> d;
};

verificati verifica(const righe& l, const righe& t) {
  return {l, t, verifica_testi({"l.txt", testo(l)}, {"t.txt", testo(t)})};
}

// Where a diagnosis should point: a text, the first line holding `riga`,
// and the first occurrence of `segno` on it (no `riga`: the text as a whole).
struct atteso {
  char file = 'l';
  std::string riga;
  std::string segno;
  std::string codice;
  gravita livello = gravita::errore;
};

std::string elenco(const std::vector<diagnosi>& tutte) {
  std::ostringstream s;
  scrivi_diagnosi(s, tutte);
  return s.str();
}

struct riga_colonna {
  int64_t riga = 0;
  int64_t colonna = 0;
};

riga_colonna posto_di(const verificati& v, const atteso& a) {
  if (a.riga.empty()) return {};
  const righe& linee = a.file == 'l' ? v.linea : v.treno;
  for (std::size_t n = 0; n < linee.size(); ++n) {
    if (linee[n].find(a.riga) == std::string::npos) continue;
    const std::size_t dove = linee[n].find(a.segno);
    EXPECT_NE(dove, std::string::npos) << "'" << a.segno << "' is not on '" << linee[n] << "'";
    return {static_cast<int64_t>(n) + 1, static_cast<int64_t>(dove) + 1};
  }
  ADD_FAILURE() << "no line holds '" << a.riga << "'";
  return {};
}

void trova(const verificati& v, const atteso& a) {
  const std::string file = a.file == 'l' ? "l.txt" : "t.txt";
  const riga_colonna p = posto_di(v, a);
  const bool presente = std::any_of(v.d.begin(), v.d.end(), [&](const diagnosi& d) {
    return d.file == file && d.riga == p.riga && d.colonna == p.colonna && d.codice == a.codice &&
           d.livello == a.livello;
  });
  EXPECT_TRUE(presente) << "expected [" << a.codice << "] at " << file << ":" << p.riga << ":"
                        << p.colonna << ", got:\n"
                        << elenco(v.d);
}

std::size_t quanti(const std::vector<diagnosi>& d, gravita g) {
  return static_cast<std::size_t>(
      std::count_if(d.begin(), d.end(), [g](const diagnosi& x) { return x.livello == g; }));
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

// Each code of the compile at the row and field that set it.
struct caso_errore {
  std::string nome;
  righe linea;
  righe treno;
  atteso dove;
};

righe generale(const std::string& riga) {
  return {"[generale]", "lunghezza percorso, 1000", riga, "[curve]", "[fine]"};
}

TEST(Verifica, EachCodeOfTheReadersPointsAtItsField) {
  righe ottantuno;
  for (int n = 0; n < 81; ++n)
    ottantuno.push_back("montagna, " + std::to_string(n * 10) + ", 0, 2");
  righe cartelli = {"[generale]", "lunghezza percorso, 10000", "[curve]", "[indicazioni]"};
  for (int n = 1; n <= 81; ++n) {
    cartelli.push_back("cartello_indicatore, " + std::to_string(n * 100) + ", (B)");
  }
  cartelli.emplace_back("[fine]");
  const std::string segnale = "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0";
  const std::string stazione_a = "stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A";
  const std::vector<caso_errore> casi = {
      {"route too long",
       {"[generale]", "lunghezza percorso, 1000001", "[curve]", "[fine]"},
       kTrenoVuoto,
       {'l', "lunghezza", "1000001", "1"}},
      {"repetition start",
       generale("ripetizione segnali 4 codici, 525, 600"),
       kTrenoVuoto,
       {'l', "ripetizione", "525", "3"}},
      {"repetition end",
       generale("ripetizione segnali 4 codici, 500, 610"),
       kTrenoVuoto,
       {'l', "ripetizione", "610", "4"}},
      {"repetition without a code count",
       generale("ripetizione segnali codici, 500, 600"),
       kTrenoVuoto,
       {'l', "ripetizione", "ripetizione", "5"}},
      {"chainage beginning off the 50 m step",
       generale("progressiva chilometrica uno, 25, 0, 0"),
       kTrenoVuoto,
       {'l', "progressiva", "25", "2"}},
      {"chainage offset off the 50 m step",
       generale("progressiva chilometrica due, 0, 13575, 0"),
       kTrenoVuoto,
       {'l', "progressiva", "13575", "2"}},
      {"gradient beyond the strip",
       linea({"pendenza, 7950, 0"}),
       kTrenoVuoto,
       {'l', "7950", "7950", "15"}},
      {"curve past the plan",
       linea({"curvas4, 100, 7950"}),
       kTrenoVuoto,
       {'l', "curvas4", "7950", "15"}},
      {"curve without a class",
       linea({"curvad, 100, 100"}),
       kTrenoVuoto,
       {'l', "curvad", "curvad", "103"}},
      {"montagna past the strip",
       linea({"montagna, 100, 9000, 2"}),
       kTrenoVuoto,
       {'l', "montagna", "9000", "15"}},
      {"81st montagna", linea(ottantuno), kTrenoVuoto, {'l', "montagna, 800,", "montagna", "10"}},
      {"81st board text",
       cartelli,
       kTrenoVuoto,
       {'l', "cartello_indicatore, 8100,", "cartello", "10"}},
      {"speed board on a taken cell",
       linea({"indicatori_vmax, 500, 100, 100, 100, 0, , , , 0",
              "indicatori_vmax, 520, 100, 100, 100, 0, , , , 0"}),
       kTrenoVuoto,
       {'l', "520", "520", "21"}},
      {"indication board on a speed board",
       linea({"indicatori_vmax, 500, 100, 100, 100, 0, , , , 0", "cartello_indicatore, 510, (X)"}),
       kTrenoVuoto,
       {'l', "cartello", "510", "6"}},
      {"line text cut inside a row",
       {"[generale]", "lunghezza percorso, 1000", "[curve]", "[pendenze]", "pendenza, 100"},
       kTrenoVuoto,
       {'l', "pendenza", "pendenza", "25"}},
      {"value outside its slot",
       linea({"pendenza, 99999999999, 0"}),
       kTrenoVuoto,
       {'l', "pendenza", "99999999999", "25"}},
      {"no length row",
       {"[generale]", "sfondo uno, 1", "[curve]", "[fine]"},
       kTrenoVuoto,
       {'l', "[curve]", "[curve]", "25"}},
      {"station off the 50 m step",
       kLineaVuota,
       treno({"stazione, 1025, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"}),
       {'t', "stazione", "1025", "8"}},
      {"platform off the 100 m step",
       kLineaVuota,
       treno({"stazione, 1000, 24, 250, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"}),
       {'t', "stazione", "250", "9"}},
      {"stations too close",
       kLineaVuota,
       treno({stazione_a, "stazione, 1500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B"}),
       {'t', "1500", "1500", "22"}},
      {"stop mark at the start",
       kLineaVuota,
       treno({"stazione, 0, 8, 100, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"}),
       {'t', "stazione", "0", "24"}},
      {"station past the strip",
       kLineaVuota,
       treno({"stazione, 7500, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"}),
       {'t', "stazione", "7500", "15"}},
      {"signal on a signal's cell",
       kLineaVuota,
       treno({"segnale, 1525, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0",
              "segnale, 1575, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0"}),
       {'t', "1575", "1575", "16"}},
      {"slowdown warning board on a signal",
       kLineaVuota,
       treno({segnale, "rallentamento, 2700, 60, 450, 0, 0, 60"}),
       {'t', "rallentamento", "2700", "17"}},
      {"slowdown start on a signal",
       kLineaVuota,
       treno({segnale, "rallentamento, 1500, 60, 450, 0, 0, 60"}),
       {'t', "rallentamento", "1500", "18"}},
      {"slowdown end on a signal",
       kLineaVuota,
       treno({segnale, "rallentamento, 1000, 60, 500, 0, 0, 60"}),
       {'t', "rallentamento", "500", "19"}},
      {"signal on a slowdown's start",
       kLineaVuota,
       treno({"rallentamento, 1500, 60, 450, 0, 0, 60", segnale}),
       {'t', "segnale", "1500", "16"}},
      {"pre-warning cells taken",
       kLineaVuota,
       treno({"abbattimento, 1550, 3", "rallentamento, 2750, 60, 450, 0, 1, 60"}),
       {'t', "rallentamento", "1, 60", "20"}},
      {"abbattimento on a signal",
       kLineaVuota,
       treno({segnale, "abbattimento, 1550, 3"}),
       {'t', "abbattimento", "1550", "7"}},
      {"speed limit beyond a byte",
       kLineaVuota,
       treno({"velocita, 0, 1280", "velocita, 500, 100"}),
       {'t', "1280", "1280", "25"}},
      {"station kind beyond a byte",
       kLineaVuota,
       treno({"stazione, 1000, 300, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A"}),
       {'t', "stazione", "300", "25"}},
      {"train text cut inside a row",
       kLineaVuota,
       {"[generale]", "[segnali]", "segnale, 1500, 1, 4"},
       {'t', "segnale", "segnale", "25"}},
      {"signal in the reserved cell",
       kLineaVuota,
       treno({"segnale, 0, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0"}),
       {'t', "segnale", "0", "1250"}},
      {"slowdown in the reserved cell",
       kLineaVuota,
       treno({"rallentamento, 0, 60, 450, 0, 0, 60"}),
       {'t', "rallentamento", "0", "1250"}},
      {"abbattimento value in the reserved cell",
       kLineaVuota,
       treno({"abbattimento, 50, 90"}),
       {'t', "abbattimento", "50", "1250"}},
      {"slowdown's d_v in the reserved cell",
       kLineaVuota,
       treno({"rallentamento, 0, 0, 500, 0, 0, 60"}),
       {'t', "rallentamento", "0", "1251"}},
      {"second reserved member",
       kLineaVuota,
       treno({"segnale, 0, 1, 0, 1, 0, 0, 2, 0, 0, 0, 0"}),
       {'t', "segnale", "0", "1251"}},
      {"empty line text", {}, kTrenoVuoto, {'l', "", "", "25"}},
      {"no [generale] in the line text",
       {"lunghezza percorso, 1000", "[curve]"},
       kTrenoVuoto,
       {'l', "", "", "102"}},
  };
  for (const caso_errore& c : casi) {
    SCOPED_TRACE(c.nome);
    const verificati v = verifica(c.linea, c.treno);
    trova(v, c.dove);
    EXPECT_EQ(quanti(v.d, gravita::errore), 1u) << elenco(v.d);
  }
}

TEST(Verifica, MissingTextsAreTheCompilesCodes) {
  const std::vector<diagnosi> senza_linea =
      verifica_testi({"l.txt", std::nullopt}, {"t.txt", testo(kTrenoVuoto)});
  // The error, and a note that it may hide others.
  ASSERT_EQ(senza_linea.size(), 2u) << elenco(senza_linea);
  EXPECT_EQ(senza_linea[0].codice, "101");
  EXPECT_EQ(senza_linea[0].riga, 0);

  const std::vector<diagnosi> senza_treno =
      verifica_testi({"l.txt", testo(kLineaVuota)}, {"t.txt", std::nullopt});
  ASSERT_EQ(senza_treno.size(), 1u) << elenco(senza_treno);
  EXPECT_EQ(senza_treno[0].file, "t.txt");
  EXPECT_EQ(senza_treno[0].codice, "25");
  EXPECT_EQ(senza_treno[0].riga, 0);
}

TEST(Verifica, LineCode15StopsTheTrainAtItsFirstSignalToo) {
  const verificati v =
      verifica(linea({"pendenza, 7950, 0"}),
               treno({"velocita, 0, 100", "segnale, 1500, 1, 4, 0, 0, 0, 2, 2, 0, 0, 0"}));
  trova(v, {'l', "7950", "7950", "15"});
  trova(v, {'t', "segnale", "1500", "15"});
  EXPECT_EQ(quanti(v.d, gravita::errore), 2u) << elenco(v.d);
}

TEST(Verifica, StationBeyondTheBoardFloorIsCode10) {
  // 79 stations 500 m apart with no board text: the 79th reaches the floor.
  righe stazioni;
  for (int n = 1; n <= 79; ++n) {
    stazioni.push_back("stazione, " + std::to_string(n * 500) +
                       ", 24, 100, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, S" + std::to_string(n));
  }
  const righe l = {"[generale]", "lunghezza percorso, 45000", "[curve]", "[fine]"};
  const verificati v = verifica(l, treno(stazioni));
  trova(v, {'t', "39500", "39500", "10"});
  EXPECT_EQ(v.d.size(), 1u) << elenco(v.d);
}

std::string segnale_a(int metri) {
  return "segnale, " + std::to_string(metri) + ", 1, 4, 0, 0, 0, 0, 0, 0, 0, 0";
}

TEST(Verifica, TheProgramsOwnWalkCodesAtTheirSlowdown) {
  // A slowdown from 3 000 m (cell 61) to 3 500 m (cell 71), its warning
  // board on cell 37; three signals leave the walk no room somewhere.
  struct caso {
    std::string nome;
    righe righe_treno;
    std::string codice;
  };
  const std::vector<caso> casi = {
      {"signals on cells 30 to 32, before the warning board",
       {"rallentamento, 3000, 60, 500, 0, 0, 60", segnale_a(1450), segnale_a(1500),
        segnale_a(1550)},
       "11"},
      {"signals on the first approach window",
       {"rallentamento, 3000, 120, 500, 0, 0, 120", segnale_a(2650), segnale_a(2700),
        segnale_a(2750)},
       "12"},
      {"signals on a point inside and both its neighbours",
       {"rallentamento, 3000, 60, 500, 0, 0, 60", segnale_a(3350), segnale_a(3400),
        segnale_a(3450)},
       "13"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const righe l = {"[generale]", "lunghezza percorso, 10000", "[curve]", "[fine]"};
    const verificati v = verifica(l, treno(c.righe_treno));
    trova(v, {'t', "rallentamento", "3000", c.codice});
    EXPECT_EQ(v.d.size(), 1u) << elenco(v.d);
  }
}

// Each warning on a small fixture.
struct caso_avviso {
  std::string nome;
  righe linea;
  righe treno;
  atteso dove;
  std::size_t errori = 0;  // errors the fixture also has
};

atteso avviso(char file, std::string riga, std::string segno, std::string nome) {
  return {file, std::move(riga), std::move(segno), std::move(nome), gravita::avviso};
}

TEST(Verifica, EachRuleTheReadersLetPassIsAWarning) {
  const std::string lunga = "lunghezza percorso, 20000";
  const std::vector<caso_avviso> casi = {
      {"gradients out of order", linea({"pendenza, 500, 1", "pendenza, 400, 2"}), kTrenoVuoto,
       avviso('l', "400", "400", "order")},
      {"curves out of order", linea({"curvas4, 500, 50", "curvad4, 300, 50"}), kTrenoVuoto,
       avviso('l', "300", "300", "order")},
      {"adhesion out of order", kLineaVuota,
       treno({"aderenza, 0, 100", "aderenza, 900, 90", "aderenza, 800, 80"}),
       avviso('t', "800", "800", "order")},
      {"speeds at one position", kLineaVuota, treno({"velocita, 0, 100", "velocita, 0, 90"}),
       avviso('t', "90", "0", "order")},
      {"stations out of order",
       {"[generale]", lunga, "[curve]", "[fine]"},
       treno({"stazione, 9000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, A",
              "stazione, 1000, 27, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,5,0, B"}),
       avviso('t', "1000", "1000", "order"),
       1},  // the zones overlap too: 22
      {"gradients 30 m apart", linea({"pendenza, 0, 1", "pendenza, 30, 2"}), kTrenoVuoto,
       avviso('l', "30", "30", "gradient-spacing")},
      {"overlapping curves", linea({"curvas4, 100, 200", "curvad3, 250, 100"}), kTrenoVuoto,
       avviso('l', "250", "250", "curve-overlap")},
      {"curve past the route", linea({"curvas4, 900, 200"}), kTrenoVuoto,
       avviso('l', "curvas4", "200", "past-route")},
      {"montagna past the route", linea({"montagna, 900, 1200, 2"}), kTrenoVuoto,
       avviso('l', "montagna", "1200", "past-route")},
      {"gradient a cell cannot hold", linea({"pendenza, 0, 160"}), kTrenoVuoto,
       avviso('l', "160", "160", "gradient-range")},
      {"speed not a multiple of 5", kLineaVuota, treno({"velocita, 0, 72"}),
       avviso('t', "72", "72", "speed-multiple")},
      {"board speed not a multiple of 5",
       linea({"indicatori_vmax, 500, 100, 100, 100, 0, 92, 90, 90, 0"}), kTrenoVuoto,
       avviso('l', "92", "92", "speed-multiple")},
      {"train row in another section",
       kLineaVuota,
       {"[generale]", "[segnali]", "velocita, 0, 100", "[fine]"},
       avviso('t', "velocita", "velocita", "section")},
      {"line row in the general section", generale("pendenza, 0, 1"), kTrenoVuoto,
       avviso('l', "pendenza", "pendenza", "section")},
      {"general row after the general section", linea({"sfondo uno, 1"}), kTrenoVuoto,
       avviso('l', "sfondo", "sfondo", "section")},
      {"unknown keyword", kLineaVuota, treno({"vagoni, 5"}),
       avviso('t', "vagoni", "vagoni", "unrecognised")},
      {"general keyword in capitals", generale("Sfondo Uno, 1"), kTrenoVuoto,
       avviso('l', "Sfondo", "Sfondo", "unrecognised")},
      {"a third comment",
       {"[generale]", lunga, "[curve]", "-- a", "-- b", "-- c", "[fine]"},
       kTrenoVuoto,
       avviso('l', "-- c", "-- c", "unrecognised")},
      {"unknown header",
       kLineaVuota,
       {"[generale]", "[segnalli]", "[fine]"},
       avviso('t', "[segnalli]", "[segnalli]", "unrecognised")},
      {"surplus value", kLineaVuota, treno({"velocita, 0, 100, 5"}),
       avviso('t', "velocita", "5", "extra-values")},
      {"short row", kLineaVuota, treno({"velocita, 0", "velocita, 500, 100"}),
       avviso('t', "velocita, 0", "0", "short-row")},
      {"station name cut at a comma", kLineaVuota,
       treno({"stazione, 1000, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 7,0,0, ULMO, NORD"}),
       avviso('t', "ULMO", "ULMO", "comma")},
      {"board text cut at a comma", linea({"cartello_indicatore, 550, (A), (B)"}), kTrenoVuoto,
       avviso('l', "cartello", "(A)", "comma")},
      {"quoted board text that runs past its line",
       linea({"cartello_indicatore, 550, \"(A)", "pendenza, 0, 1", "[fine]\""}), kTrenoVuoto,
       avviso('l', "cartello", "\"(A)", "quote")},
      {"a header that passes a row test",
       {"[generale]", "lunghezza percorso, 1000", "[curve]", "[pendenza]", "pendenza, 0, 1",
        "[fine]"},
       kTrenoVuoto,
       avviso('l', "[pendenza]", "[pendenza]", "section")},
      {"quoted board text with a comma", linea({"cartello_indicatore, 550, \"(A,B)\""}),
       kTrenoVuoto, avviso('l', "cartello", "\"(A,B)\"", "comma")},
      {"adhesion beyond a byte", kLineaVuota, treno({"aderenza, 0, 300"}),
       avviso('t', "300", "300", "wrap")},
      {"signal tempo beyond a byte", kLineaVuota,
       treno({"segnale, 1500, 2, 4, 0, 0, 0, 2, 2, 0, 0, 300"}),
       avviso('t', "segnale", "300", "wrap")},
      {"slowdown speed beyond 16 bits", kLineaVuota,
       treno({"rallentamento, 2800, 40000, 450, 0, 0, 60"}), avviso('t', "40000", "40000", "wrap")},
      {"montagna type beyond a byte", linea({"montagna, 100, 250, 300"}), kTrenoVuoto,
       avviso('l', "montagna", "300", "wrap")},
      {"signal value that is not a digit", kLineaVuota,
       treno({"segnale, 1500, 1, 14, 0, 0, 0, 2, 2, 0, 0, 0"}), avviso('t', "14", "14", "digit")},
      {"first speed row beyond 0 m", kLineaVuota, treno({"velocita, 500, 100"}),
       avviso('t', "500", "500", "first-row")},
      {"first adhesion row beyond 0 m", kLineaVuota, treno({"aderenza, 500, 100"}),
       avviso('t', "500", "500", "first-row")},
      {"a train text without [generale]",
       kLineaVuota,
       {"velocita, 0, 100", "[fine]"},
       avviso('t', "", "", "no-generale")},
      {"a keyword as the last field",
       kLineaVuota,
       {"[generale]", "numero vetture, 5", "sabbia"},
       avviso('t', "sabbia", "sabbia", "closing-line")},
  };
  for (const caso_avviso& c : casi) {
    SCOPED_TRACE(c.nome);
    const verificati v = verifica(c.linea, c.treno);
    trova(v, c.dove);
    EXPECT_EQ(quanti(v.d, gravita::errore), c.errori) << elenco(v.d);
  }
}

TEST(Verifica, RowsOutOfTheirSectionAreToldOncePerKindAndHeader) {
  const righe t = {
      "[generale]",        "velocita, 0, 30", "velocita, 500, 40", "aderenza, 0, 100", "[segnali]",
      "velocita, 900, 50", "[fine]"};
  const verificati v = verifica(kLineaVuota, t);
  trova(v, avviso('t', "velocita, 0,", "velocita", "section"));
  trova(v, avviso('t', "aderenza", "aderenza", "section"));
  trova(v, avviso('t', "velocita, 900,", "velocita", "section"));
  EXPECT_EQ(v.d.size(), 3u) << elenco(v.d);
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
  EXPECT_EQ(nlohmann::json::parse(errori.uscita).size(), 2u) << errori.uscita;

  const esito_strumento cartella_come_testo = strumento({"check", cartella.percorso().string(), t});
  EXPECT_EQ(cartella_come_testo.stato, uscita_file_system);
  EXPECT_NE(cartella_come_testo.errori.find("not a regular file"), std::string::npos);
}

}  // namespace
}  // namespace scenario
