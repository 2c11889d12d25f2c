// The bad-input matrix: one hand-made text for each way an author's text can
// be wrong, compiled whole (both halves, the walk, the stamps, the bytes of
// the files) from memory. For each: the code and position the rules give, what
// the compiled files hold, and the properties every compile keeps (the fuzz
// target's), so no case can crash, write outside the model or leave a file
// that does not follow from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/proprieta_compilazione.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"

namespace scenario {
namespace {

// One compile from memory, with the outcome and the bytes of the files.
struct compilazione {
  modello m;
  bool celle = false;
  std::optional<std::string> errore;
  bool linea_rimasta = false;
  bool treno_rimasto = false;
  std::vector<uint8_t> tracciato;
  std::vector<uint8_t> tabella;
  std::vector<uint8_t> file_celle;

  bool file_scritti() const { return celle && !errore; }
};

compilazione compila(const std::optional<std::string>& linea, const std::string& treno,
                     int32_t j = 1) {
  compilazione c;
  sorgente_in_memoria testo_linea = linea ? sorgente_in_memoria(*linea) : sorgente_in_memoria();
  sorgente_in_memoria testo_treno(treno);
  opzioni_compilazione opzioni;
  opzioni.percorso = kPercorso;
  opzioni.treno = kTreno;
  opzioni.crea_tracciato = j;
  const esito_compilazione esito = compila_percorso(c.m, testo_linea, testo_treno, opzioni);
  c.celle = esito.ha_celle;
  c.errore = esito.controllo_fallito;
  c.linea_rimasta = testo_linea.esiste();
  c.treno_rimasto = testo_treno.esiste();
  if (c.file_scritti()) {
    if (j != 0) c.tracciato = byte_tracciato(c.m);
    c.tabella = byte_tabella(c.m);
    c.file_celle = byte_celle(c.m);
  }
  return c;
}

std::string righe(const std::vector<std::string>& linee, const std::string& fine = "\r\n") {
  std::string testo;
  for (const std::string& l : linee) testo += l + fine;
  return testo;
}

// A 1 000 m route (cells 0..160, plan points 0..8 000) with `dopo` after the
// general section.
std::string linea(const std::vector<std::string>& dopo = {}, const std::string& lunghezza = "1000",
                  const std::string& fine = "\r\n") {
  std::vector<std::string> linee = {"[generale]", "lunghezza percorso, " + lunghezza, "[curve]"};
  linee.insert(linee.end(), dopo.begin(), dopo.end());
  linee.emplace_back("[fine]");
  return righe(linee, fine);
}

const std::string kStazionePrima = "stazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, PRIMA";

// The general rows, the profiles and one station at 0 m; no signal and no
// slowdown, so a code the line half leaves stands to the end.
std::vector<std::string> righe_treno() {
  return {"numero vetture, 3", "aderenza, 0, 100", "velocita, 0, 60", kStazionePrima};
}

std::string treno(const std::vector<std::string>& righe_dopo = {},
                  std::vector<std::string> prima = righe_treno(),
                  const std::string& fine = "\r\n") {
  std::vector<std::string> linee = {"[generale]"};
  linee.insert(linee.end(), prima.begin(), prima.end());
  linee.insert(linee.end(), righe_dopo.begin(), righe_dopo.end());
  linee.emplace_back("[fine]");
  return righe(linee, fine);
}

std::vector<std::string> numerate(const std::string& prima, const std::string& dopo, int n,
                                  int inizio, int passo) {
  std::vector<std::string> linee;
  for (int k = 0; k < n; ++k) linee.push_back(prima + std::to_string(inizio + k * passo) + dopo);
  return linee;
}

// Stations 500 m apart from 500 m on, each zone 100 m long, named S1, S2 ...
std::vector<std::string> stazioni(int n) {
  std::vector<std::string> linee;
  for (int k = 1; k <= n; ++k) {
    linee.push_back("stazione, " + std::to_string(500 * k) +
                    ", 24, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, " + "8,0,0, S" + std::to_string(k));
  }
  return linee;
}

// Deterministic bytes of every value, NUL included, with no "[generale]".
std::string spazzatura(std::size_t quanti) {
  std::string byte(quanti, '\0');
  uint32_t stato = 12345;
  for (char& b : byte) {
    stato = stato * 1103515245U + 12345U;
    b = static_cast<char>((stato >> 16) & 0xFFU);
  }
  return byte;
}

int conta_eventi(const modello& m, uint8_t evento) {
  return static_cast<int>(std::count_if(m.celle.begin(), m.celle.end(),
                                        [evento](const cella& c) { return c.evento == evento; }));
}

// Every cell from `da` to `a` holds `valore` in the member.
::testing::AssertionResult celle_con(const modello& m, uint8_t cella::*membro, int32_t da,
                                     int32_t a, int valore) {
  for (int32_t n = da; n <= a; ++n) {
    if (m.cella_a(n).*membro != valore) {
      return ::testing::AssertionFailure()
             << "cell " << n << " holds " << int{m.cella_a(n).*membro} << ", not " << valore;
    }
  }
  return ::testing::AssertionSuccess();
}

constexpr int32_t kNessuna = 0;  // the position a code without one leaves: the start value

struct caso {
  std::string nome;
  std::optional<std::string> linea;
  std::string treno;
  int32_t codice;
  int32_t posizione;
  bool file;         // the compiled files are written
  bool treno_resta;  // the line half stopped before the train text was read
  std::function<void(const compilazione&)> controlla;
  int32_t j = 1;
};

void nulla(const compilazione&) {}

const compilazione& base() {
  static const compilazione b = compila(linea(), treno());
  return b;
}

void stessi_file_della_base(const compilazione& c) {
  EXPECT_EQ(c.tracciato, base().tracciato);
  EXPECT_EQ(c.tabella, base().tabella);
  EXPECT_EQ(c.file_celle, base().file_celle);
}

std::vector<caso> casi_matrice() {
  const std::string garbage = spazzatura(64 * 1024);
  const std::string bom = "\xEF\xBB\xBF";
  return {
      {"the base texts compile cleanly", linea(), treno(), 0, kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.ultima_cella, 160);
         EXPECT_EQ(c.file_celle.size(), 15U * 161U);
         EXPECT_EQ(c.tracciato.size(), 2U * (8U + 7'997U * 10U + 4U));
         EXPECT_TRUE(celle_con(c.m, &cella::vel_limite, 0, 157, 12));
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 0, 157, 100));
         EXPECT_EQ(c.m.riga(1).nome, "PRIMA");
       }},

      // Cut inside a row: the read fails where the next field should begin.
      {"line text cut inside a gradient row",
       "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza, 0", treno(), 25, kNessuna,
       true, false,
       [](const compilazione& c) {
         // The gradient fill never ran and the train was never read; the
         // plan holds only its two fixed points.
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 0, 160, 0));
         EXPECT_TRUE(celle_con(c.m, &cella::vel_limite, 0, 160, 0));
         EXPECT_EQ(c.tracciato.size(), 2U * (8U + 7'999U * 2U));
       }},
      {"train text cut inside a signal row", linea(),
       "[generale]\r\n" + righe(righe_treno()) + "segnale, 1500, 1, 4", 25, kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.riga(1).nome, "PRIMA");
         EXPECT_EQ(conta_eventi(c.m, 1), 0);
         // The profiles were never completed.
         EXPECT_TRUE(celle_con(c.m, &cella::vel_limite, 0, 160, 0));
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 0, 157, 100));
       }},
      {"train text cut before a station's name", linea(),
       "[generale]\r\nstazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0,", 25, kNessuna, true,
       false, [](const compilazione& c) { EXPECT_EQ(c.m.riga(1).orario, 7 * 3600 + 10 * 60); }},

      // Numbers beyond every slot.
      {"a route length beyond 32 bits", linea({}, "2147483648"), treno(), 25, kNessuna, false,
       false, nulla},
      {"a route length below -2^31", linea({}, "-2147483649"), treno(), 25, kNessuna, false, false,
       nulla},
      {"a number beyond a double", linea({"pendenza, 1e400, 0"}), treno(), 25, kNessuna, true,
       false, nulla},
      {"sand beyond 16 bits", linea(), treno({"sabbia, 32768"}), 25, kNessuna, true, false,
       [](const compilazione& c) { EXPECT_EQ(c.m.riga(86).campo7, 0); }},
      {"a clock below -32768", linea(), treno({"orologio, -32769, 0, 0"}), 25, kNessuna, true,
       false, nulla},
      {"a station kind beyond a byte", linea(),
       treno({}, {"stazione, 0, 256, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, PRIMA"}), 25, kNessuna,
       true, false, [](const compilazione& c) { EXPECT_EQ(c.m.riga(1).tipo, 0); }},
      {"a speed limit of 1 280 km/h", linea(), treno({"velocita, 0, 1280", "velocita, 500, 60"}),
       25, kNessuna, true, false, nulla},
      {"a speed limit of 1 277 km/h fits", linea(), treno({"velocita, 0, 1277"}), 0, kNessuna, true,
       false,
       [](const compilazione& c) { EXPECT_TRUE(celle_con(c.m, &cella::vel_limite, 0, 157, 255)); }},
      // A name or board text is stored with a 16-bit length.
      {"a station name of 65 536 bytes", linea(),
       treno({}, {"stazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, " +
                  std::string(65'536, 'N')}),
       25, kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.riga(1).nome, "");
         EXPECT_EQ(c.tabella.size(), base().tabella.size() - 5);
       }},
      {"a station name of 65 535 bytes fits", linea(),
       treno({}, {"stazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, " +
                  std::string(65'535, 'N')}),
       0, kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.tabella.size(), base().tabella.size() - 5 + 65'535);
       }},
      {"a board text of 65 536 bytes",
       linea({"cartello_indicatore, 500, " + std::string(65'536, 'T')}), treno(), 25, kNessuna,
       true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.riga(80).nome, "");
         EXPECT_EQ(c.m.cella_a(11).evento, 0);
       }},
      {"a packed board speed beyond 16 bits",
       linea({"indicatori_vmax, 100, 1700, 0, 0, 0, 0, 0, 0, 0"}), treno(), 25, kNessuna, true,
       false, nulla},

      // Negative positions, one per row kind: the rows whose objects would
      // fall before cell 0 are code 15; the stretch values and curves before
      // the start simply have no cells to write.
      {"gradient at -1 000 m", linea({"pendenza, -1000, 5"}), treno(), 0, kNessuna, true, false,
       [](const compilazione& c) { EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 0, 157, 105)); }},
      {"curve at -500 m", linea({"curvad4, -500, 100"}), treno(), 0, kNessuna, true, false,
       stessi_file_della_base},
      {"montagna from -200 m", linea({"montagna, -200, 300, 2"}), treno(), 15, -200, true, false,
       [](const compilazione& c) { EXPECT_EQ(c.m.n_montagne, 0); }},
      {"speed board at -100 m", linea({"indicatori_vmax, -100, 1,1,1,0,1,1,1,0"}), treno(), 15,
       -100, true, false, [](const compilazione& c) { EXPECT_EQ(conta_eventi(c.m, 6), 0); }},
      {"indication board at -100 m", linea({"cartello_indicatore, -100, (X)"}), treno(), 15, -100,
       true, false, [](const compilazione& c) { EXPECT_EQ(c.m.riga(80).nome, ""); }},
      {"speed row at -500 m", linea(), treno({"velocita, -500, 90"}), 0, kNessuna, true, false,
       [](const compilazione& c) { EXPECT_TRUE(celle_con(c.m, &cella::vel_limite, 0, 157, 18)); }},
      {"adhesion row at -500 m", linea(), treno({"aderenza, -500, 90"}), 0, kNessuna, true, false,
       [](const compilazione& c) { EXPECT_TRUE(celle_con(c.m, &cella::aderenza, 0, 157, 90)); }},
      {"signal at -100 m", linea(), treno({"segnale, -100, 1, 4, 0, 0, 0, 2, 2,0,0, 0"}), 15, -100,
       true, false, [](const compilazione& c) { EXPECT_EQ(conta_eventi(c.m, 1), 0); }},
      {"slowdown at -100 m", linea(), treno({"rallentamento, -100, 60, 450, 0, 0, 60"}), 15, -100,
       true, false, [](const compilazione& c) { EXPECT_EQ(conta_eventi(c.m, 3), 0); }},
      {"abbattimento at -100 m", linea(), treno({"abbattimento, -100, 5"}), 15, -100, true, false,
       [](const compilazione& c) { EXPECT_EQ(conta_eventi(c.m, 12), 0); }},
      {"station at -1 000 m", linea(),
       treno({}, {"stazione, -1000, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, PRIMA"}), 24,
       kNessuna, true, false,
       [](const compilazione& c) {
         // Stored as read, its zone -1 300..-700; its stop mark would fall
         // on cell -15, so no mark is laid.
         EXPECT_EQ(c.m.riga(1).inizio, -1300);
         EXPECT_EQ(c.m.riga(1).fine, -700);
         EXPECT_EQ(conta_eventi(c.m, 10), 0);
       }},

      // Rows out of order.
      {"gradients out of order", linea({"pendenza, 500, 5", "pendenza, 200, 10"}), treno(), 0,
       kNessuna, true, false,
       [](const compilazione& c) {
         // The second row still writes one cell with the first row's value.
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 0, 9, 100));
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 10, 10, 105));
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 11, 157, 110));
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 158, 160, 0));
       }},
      {"curves out of order", linea({"curvad4, 500, 100", "curvas4, 200, 100"}), treno(), 0,
       kNessuna, true, false,
       [](const compilazione& c) {
         // The second curve lies behind the plan's current point: no effect.
         EXPECT_EQ(c.tracciato, compila(linea({"curvad4, 500, 100"}), treno()).tracciato);
       }},
      {"stations out of order", linea(),
       treno({}, {"stazione, 2000, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, PRIMA",
                  "stazione, 1000, 24, 300, 0, 0, 0, 0,0,0, 4,1,1, 30, 7,20, 0, SECONDA"}),
       22, 1000, true, false,
       [](const compilazione& c) {
         // The second station is stored and its marks laid before the
         // spacing check fails.
         EXPECT_EQ(c.m.riga(2).nome, "SECONDA");
         EXPECT_EQ(c.m.cella_a(22).evento, 10);
         EXPECT_EQ(c.m.cella_a(22).dato1, 2);
       }},

      // Stretches running off the end of the route.
      {"montagna running off the end", linea({"montagna, 7000, 9000, 2"}), treno(), 15, 7000, true,
       false,
       [](const compilazione& c) {
         EXPECT_TRUE(celle_con(c.m, &cella::montagna, 0, 160, 0));
         EXPECT_EQ(c.m.riga(1).nome, "PRIMA");  // the train half still ran
       }},
      {"curve running off the end", linea({"curvad4, 7000, 999"}), treno(), 15, 7000, true, false,
       stessi_file_della_base},

      // The table's and the lists' room.
      {"81 montagna rows", linea(numerate("montagna, ", ", 0, 2", 81, 100, 50)), treno(), 10,
       kNessuna, true, true, [](const compilazione& c) { EXPECT_EQ(c.m.n_montagne, 80); }},
      {"81 indication boards", linea(numerate("cartello_indicatore, ", ", (X)", 81, 100, 50)),
       treno(), 10, kNessuna, true, true,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.riga(1).nome, "(X)");
         EXPECT_EQ(conta_eventi(c.m, 14), 80);
         EXPECT_EQ(c.m.cella_a(83).evento, 0);  // the 81st board's cell
       }},
      {"78 stations fit", linea({}, "50000"), treno(stazioni(78), {}), 0, kNessuna, true, false,
       [](const compilazione& c) { EXPECT_EQ(c.m.riga(78).nome, "S78"); }},
      {"79 stations", linea({}, "50000"), treno(stazioni(79), {}), 10, kNessuna, true, false,
       [](const compilazione& c) {
         // The 79th is stored before the code is set.
         EXPECT_EQ(c.m.riga(79).nome, "S79");
         EXPECT_EQ(c.m.riga(80).nome, "");
       }},

      // Route lengths.
      {"a route of 0 m", linea({}, "0"), treno(), 0, kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.ultima_cella, 140);
         EXPECT_EQ(c.file_celle.size(), 15U * 141U);
         EXPECT_EQ(c.tracciato.size(), 2U * (8U + 6'997U * 10U + 4U));
       }},
      {"a route of 1 000 000 m", linea({}, "1000000"), treno(), 0, kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.ultima_cella, 20'140);
         EXPECT_EQ(c.file_celle.size(), 15U * 20'141U);
         EXPECT_EQ(c.tracciato.size(), 2U * (8U + 1'006'997U * 10U + 4U));
       }},
      {"a second length row that leaves no cell",
       righe({"[generale]", "lunghezza percorso, 300", "lunghezza percorso, -32768", "[curve]",
              "[fine]"}),
       treno(), 25, kNessuna, true, false,
       [](const compilazione& c) {
         // The refused length is stored as read; the strip the first row
         // sized stays, and is what the files hold.
         EXPECT_EQ(c.m.riga(84).fine, -32768);
         EXPECT_EQ(c.m.ultima_cella, 146);
         EXPECT_EQ(c.file_celle.size(), 15U * 147U);
       }},
      {"a route of 1 000 001 m", linea({}, "1000001"), treno(), 1, kNessuna, false, true, nulla},
      {"a curve carrying the plan to metre 1 000 000", linea({"curvad4, 999000, 1000"}, "1000000"),
       treno(), 103, kNessuna, true, true, nulla},
      {"the same curve without the plan", linea({"curvad4, 999000, 1000"}, "1000000"), treno(), 0,
       kNessuna, true, false, [](const compilazione& c) { EXPECT_TRUE(c.tracciato.empty()); }, 0},

      // Texts that are not texts of this kind at all.
      {"binary garbage as the line text", garbage, treno(), 102, kNessuna, false, true, nulla},
      {"binary garbage as the train text", linea(), garbage, 0, kNessuna, true, false,
       [](const compilazione& c) {
         // No "[generale]": no train row; the profiles are completed from 0.
         EXPECT_EQ(c.m.riga(1).nome, "");
         EXPECT_TRUE(celle_con(c.m, &cella::vel_limite, 0, 157, 0));
       }},
      // Encodings and line ends: a byte-order mark is part of the first
      // field, which still holds "[generale]"; every line end separates.
      {"UTF-8 line text with a byte-order mark", bom + linea(), treno(), 0, kNessuna, true, false,
       stessi_file_della_base},
      {"UTF-8 train text with a byte-order mark", linea(), bom + treno(), 0, kNessuna, true, false,
       stessi_file_della_base},
      {"a UTF-8 station name stays UTF-8 bytes", linea(),
       treno({}, {"stazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, 2\xC2\xB0 BIVIO"}), 0,
       kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.riga(1).nome, "2\xC2\xB0 BIVIO");
         EXPECT_EQ(c.tabella.size(), base().tabella.size() - 5 + 9);
       }},
      {"LF-only line ends", linea({}, "1000", "\n"), treno({}, righe_treno(), "\n"), 0, kNessuna,
       true, false, stessi_file_della_base},
      {"CR-only line ends", linea({}, "1000", "\r"), treno({}, righe_treno(), "\r"), 0, kNessuna,
       true, false, stessi_file_della_base},

      // Quotes never closed: the field runs to the end of the text.
      {"a board text whose quote is never closed",
       linea({"cartello_indicatore, 500, \"(P.L.A.)", "pendenza, 0, 5"}), treno(), 0, kNessuna,
       true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.riga(80).nome, "(P.L.A.)\r\npendenza, 0, 5\r\n[fine]\r\n");
         EXPECT_EQ(c.m.cella_a(11).evento, 14);
         EXPECT_TRUE(celle_con(c.m, &cella::pendenza, 0, 157, 100));
       }},
      {"a quote opened before [generale]", "\"" + linea(), treno(), 102, kNessuna, false, true,
       nulla},
      {"a station name whose quote is never closed", linea(),
       treno({}, {"stazione, 0, 8, 300, 1, 0, 0, 4,1,0, 2,1,1, 1, 7,10, 0, \"PRIMA",
                  "velocita, 0, 60"}),
       0, kNessuna, true, false,
       [](const compilazione& c) {
         EXPECT_EQ(c.m.riga(1).nome, "PRIMA\r\nvelocita, 0, 60\r\n[fine]\r\n");
         EXPECT_TRUE(celle_con(c.m, &cella::vel_limite, 0, 157, 0));
       }},
  };
}

void verifica_caso(const caso& c, bool anche_proprieta = true) {
  SCOPED_TRACE(c.nome);
  const compilazione r = compila(c.linea, c.treno, c.j);
  EXPECT_EQ(r.errore.value_or(""), "");
  EXPECT_EQ(r.m.codice_errore, c.codice);
  EXPECT_EQ(r.m.posizione_errore, c.posizione);
  EXPECT_EQ(r.file_scritti(), c.file);
  EXPECT_FALSE(r.linea_rimasta);
  EXPECT_EQ(r.treno_rimasto, c.treno_resta);
  c.controlla(r);
  if (anche_proprieta && c.linea && c.linea->find('\0') == std::string::npos) {
    prova::input_compilazione input;
    input.tracciato = c.j != 0;
    input.linea = *c.linea;
    input.treno = c.treno;
    EXPECT_EQ(prova::verifica_compilazione(prova::componi_input(input)), "");
  }
}

TEST(MatriceInputErrati, EachWayATextCanBeWrong) {
  for (const caso& c : casi_matrice()) verifica_caso(c);
}

// Ten million empty fields: the "[generale]" search of each half reads them
// all, one by one, and finds the end of the text.
TEST(MatriceInputErrati, TenMegabytesOfCommas) {
  const std::string virgole(10 * 1024 * 1024, ',');
  verifica_caso(
      {"a 10 MB line text of commas", virgole, treno(), 102, kNessuna, false, true, nulla}, false);
  verifica_caso({"a 10 MB train text of commas", linea(), virgole, 0, kNessuna, true, false,
                 [](const compilazione& c) { EXPECT_EQ(c.m.riga(1).nome, ""); }},
                false);
}

}  // namespace
}  // namespace scenario
