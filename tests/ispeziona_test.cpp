#include "tools/ispezione/ispeziona.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/esecuzione.h"
#include "base/codifica.h"
#include "base/file_cartella.h"
#include "output/file_compilati.h"
#include "scenario/sorgenti.h"
#include "supporto.h"
#include "tools/comandi/comandi.h"
#include "tools/disegno/grafico.h"
#include "tools/disegno/vista.h"
#include "tools/ispezione/dump.h"

namespace scenario {
namespace {

using json = nlohmann::json;

constexpr int kRigaNomeIndefinito = 40;

// A model with a different value in every member of every record, extremes of
// each width included, names with the degree sign, and all three plan tags.
modello modello_di_prova() {
  modello m;
  m.percorso = "Prova";
  m.treno = "77";
  m.crea_tracciato = 1;
  constexpr std::array<uint8_t, 7> eventi{0, 1, 10, 12, 14, 6, 200};
  for (std::size_t k = 0; k < eventi.size(); ++k) {
    const auto n = static_cast<int>(k);
    cella c;
    c.evento = eventi[k];
    c.dato1 = static_cast<int16_t>(-32768 + 1001 * n);
    c.dato2 = static_cast<int16_t>(32767 - 1003 * n);
    c.dato3 = static_cast<int16_t>(-7 * n - 1);
    c.dato4 = static_cast<int16_t>(123 + 11 * n);
    c.tempo_segnale = static_cast<uint8_t>(255 - n);
    c.preavviso = static_cast<uint8_t>(81 + n);
    c.montagna = static_cast<uint8_t>(10 + n);
    c.vel_limite = static_cast<uint8_t>(20 + n);
    c.pendenza = static_cast<uint8_t>(95 + n);
    c.aderenza = static_cast<uint8_t>(200 + n);
    m.celle.push_back(c);
  }
  m.ultima_cella = static_cast<int32_t>(m.celle.size() - 1);
  for (int r = 0; r < kRigheTabella; ++r) {
    voce& v = m.riga(r);
    v.tipo = static_cast<uint8_t>(r + 1);
    v.inizio = -1'000'000 * r - 1;
    v.fine = r * 12'345;
    v.posizione = -r * 7;
    v.campo4 = static_cast<uint8_t>(255 - r);
    v.nome = r % 3 == 0 ? "" : "R" + std::to_string(r) + " \xB0";
    v.campo7 = static_cast<int16_t>(-32768 + r);
    v.campo8 = static_cast<int16_t>(32767 - r);
    v.campo10 = static_cast<int16_t>(r * 100);
    v.campo11 = static_cast<int16_t>(-r * 100);
    v.campo12 = static_cast<int16_t>(r * 3 + 1);
    v.campo9 = static_cast<uint8_t>(r * 2 + 1);
    v.campo13 = static_cast<uint8_t>(250 - r);
    v.campo6 = static_cast<uint8_t>(r + 3);
    v.campo5 = static_cast<uint8_t>(128 + r);
    v.orario = 86'399 - r;
  }
  m.riga(1).nome =
      "PONTE \xB0"
      "A";
  m.riga(kRigaNomeIndefinito).nome = "X\x81Y";  // a byte the code page leaves undefined
  m.riga(85).nome = m.percorso;
  m.riga(86).nome = m.treno;
  auto intero = [](double v) { return elemento_tracciato{tipo_elemento::intero, v}; };
  auto doppio = [](double v) { return elemento_tracciato{tipo_elemento::doppio, v}; };
  const std::vector<std::array<elemento_tracciato, 2>> punti = {
      {intero(0), intero(0)},          {intero(-5), intero(1)},       {doppio(0.1), doppio(1.5)},
      {doppio(-1.0 / 3), doppio(2.0)}, {doppio(1e300), doppio(-0.0)},
  };
  m.tracciato.prepara(7);
  for (const auto& [x, y] : punti) m.tracciato.posa(x, y);
  m.tracciato.completa();
  m.lunghezza_estesa = 6;
  return m;
}

struct esito_dump {
  int stato = 0;
  std::string uscita;
  std::string errori;
};

esito_dump dump(const std::vector<std::filesystem::path>& file, const opzioni_dump& opzioni = {}) {
  std::ostringstream uscita, errori;
  esito_dump e;
  e.stato = comando_dump(file, opzioni, uscita, errori);
  e.uscita = uscita.str();
  e.errori = errori.str();
  return e;
}

class DumpProva : public ::testing::Test {
 protected:
  void SetUp() override { scrivi_file_compilati(m_, cartella_.percorso()); }

  std::filesystem::path celle() const { return cartella_ / "Prova_77.dat"; }
  std::filesystem::path tabella() const { return cartella_ / "Prova_77.sim"; }
  std::filesystem::path tracciato() const { return cartella_ / "Prova_linea.dat"; }

  json dump_json(const std::vector<std::filesystem::path>& file, const opzioni_dump& o = {}) {
    const esito_dump e = dump(file, o);
    EXPECT_EQ(e.stato, 0) << e.errori;
    EXPECT_EQ(e.errori, "");
    return json::parse(e.uscita);
  }

  const modello m_ = modello_di_prova();
  prova::cartella_temporanea cartella_;
};

void confronta_cella(const json& j, const cella& c, std::size_t n) {
  SCOPED_TRACE("cell " + std::to_string(n));
  EXPECT_EQ(j.at("cella"), n);
  EXPECT_EQ(j.at("evento"), c.evento);
  EXPECT_EQ(j.at("dato1"), c.dato1);
  EXPECT_EQ(j.at("dato2"), c.dato2);
  EXPECT_EQ(j.at("dato3"), c.dato3);
  EXPECT_EQ(j.at("dato4"), c.dato4);
  EXPECT_EQ(j.at("tempo_segnale"), c.tempo_segnale);
  EXPECT_EQ(j.at("preavviso"), c.preavviso);
  EXPECT_EQ(j.at("montagna"), c.montagna);
  EXPECT_EQ(j.at("vel_limite"), c.vel_limite);
  EXPECT_EQ(j.at("pendenza"), c.pendenza);
  EXPECT_EQ(j.at("aderenza"), c.aderenza);
}

void confronta_voce(const json& j, const voce& v, int r) {
  SCOPED_TRACE("row " + std::to_string(r));
  EXPECT_EQ(j.at("riga"), r);
  EXPECT_EQ(j.at("tipo"), v.tipo);
  EXPECT_EQ(j.at("inizio"), v.inizio);
  EXPECT_EQ(j.at("fine"), v.fine);
  EXPECT_EQ(j.at("posizione"), v.posizione);
  EXPECT_EQ(j.at("campo4"), v.campo4);
  EXPECT_EQ(j.at("nome"), utf8_da_1252(v.nome));
  EXPECT_EQ(j.at("campo7"), v.campo7);
  EXPECT_EQ(j.at("campo8"), v.campo8);
  EXPECT_EQ(j.at("campo10"), v.campo10);
  EXPECT_EQ(j.at("campo11"), v.campo11);
  EXPECT_EQ(j.at("campo12"), v.campo12);
  EXPECT_EQ(j.at("campo9"), v.campo9);
  EXPECT_EQ(j.at("campo13"), v.campo13);
  EXPECT_EQ(j.at("campo6"), v.campo6);
  EXPECT_EQ(j.at("campo5"), v.campo5);
  EXPECT_EQ(j.at("orario"), v.orario);
}

// The tag survives as the JSON type: integer, number with a fraction, null.
void confronta_elemento(const json& j, const elemento_tracciato& e) {
  switch (e.tipo) {
    case tipo_elemento::vuoto:
      EXPECT_TRUE(j.is_null()) << j;
      break;
    case tipo_elemento::intero:
      ASSERT_TRUE(j.is_number_integer()) << j;
      EXPECT_EQ(j.get<int>(), static_cast<int>(e.valore));
      break;
    case tipo_elemento::doppio:
      ASSERT_TRUE(j.is_number_float()) << j;
      EXPECT_EQ(j.get<double>(), e.valore);
      EXPECT_EQ(std::signbit(j.get<double>()), std::signbit(e.valore));
      break;
  }
}

TEST_F(DumpProva, EveryMemberOfTheThreeFilesComesBackValueForValue) {
  const json tutti = dump_json({tracciato(), tabella(), celle()});
  ASSERT_EQ(tutti.size(), 3U);
  const json& jt = tutti[0];
  const json& jv = tutti[1];
  const json& jc = tutti[2];
  EXPECT_EQ(jt.at("tipo"), "tracciato");
  EXPECT_EQ(jv.at("tipo"), "tabella");
  EXPECT_EQ(jc.at("tipo"), "celle");
  EXPECT_EQ(jc.at("byte"), m_.celle.size() * kByteCella);

  ASSERT_EQ(jc.at("celle").size(), m_.celle.size());
  for (std::size_t n = 0; n < m_.celle.size(); ++n) confronta_cella(jc["celle"][n], m_.celle[n], n);

  ASSERT_EQ(jv.at("righe").size(), static_cast<std::size_t>(kRigheTabella));
  for (int r = 0; r < kRigheTabella; ++r) {
    confronta_voce(jv["righe"][static_cast<std::size_t>(r)], m_.riga(r), r);
  }

  const json& punti = jt.at("punti");
  ASSERT_EQ(punti.size(), m_.tracciato[0].size());
  for (std::size_t p = 0; p < punti.size(); ++p) {
    SCOPED_TRACE("point " + std::to_string(p));
    EXPECT_EQ(punti[p][0], p);
    confronta_elemento(punti[p][1], m_.tracciato[0][p]);
    confronta_elemento(punti[p][2], m_.tracciato[1][p]);
  }
  EXPECT_EQ(jt.at("elementi"), json({{"vuoti", 4}, {"interi", 4}, {"doppi", 6}}));
}

TEST_F(DumpProva, NamesAreUtf8AndAByteTheCodePageLeavesUndefinedIsKeptAsBytes) {
  const json righe = dump_json({tabella()})[0].at("righe");
  EXPECT_EQ(righe[1].at("nome"),
            "PONTE \xC2\xB0"
            "A");
  EXPECT_FALSE(righe[1].contains("nome_byte"));
  EXPECT_EQ(righe[kRigaNomeIndefinito].at("nome_byte"), json({0x58, 0x81, 0x59}));
}

TEST_F(DumpProva, RowsAndCellsAreGivenTheirMeaning) {
  const json tutti = dump_json({tabella(), celle()});
  const json& righe = tutti[0].at("righe");
  EXPECT_EQ(righe[1].at("contenuto"), "stazione");
  EXPECT_EQ(righe[1].at("significato").at("orario_testo"), "23:59:58");
  EXPECT_EQ(righe[81].at("contenuto"), "progressiva chilometrica");
  EXPECT_EQ(righe[84].at("significato"), json({{"percentuale_massa_frenata", m_.riga(84).inizio},
                                               {"lunghezza_percorso", m_.riga(84).fine},
                                               {"numero_vetture", m_.riga(84).posizione}}));
  EXPECT_EQ(righe[85].at("significato").at("codice_gara_st"), m_.riga(85).orario);
  EXPECT_EQ(righe[86].at("significato").at("treno"), "77");
  EXPECT_EQ(righe[86].at("significato").at("orologio"), json({8600, -8600, 259}));

  const json& celle_json = tutti[1].at("celle");
  EXPECT_EQ(celle_json[1].at("oggetto"), "segnale");
  EXPECT_EQ(celle_json[1].at("significato").at("marcatore"), m_.celle[1].dato1);
  EXPECT_EQ(celle_json[2].at("oggetto"), "fermata stazione");
  EXPECT_EQ(celle_json[3].at("oggetto"), "punto codice");
  EXPECT_EQ(celle_json[6].at("oggetto"), "sconosciuto");
  EXPECT_EQ(celle_json[0].at("significato").at("preavviso"),
            json({{"verso", "stazione"}, {"passo", 1}}));
  EXPECT_EQ(celle_json[5].at("significato").at("preavviso"),
            json({{"verso", "segnale"}, {"sx", 2}, {"dx", 2}, {"passo", 6}}));
  EXPECT_EQ(celle_json[5].at("significato").at("velocita_kmh"), 125);
  EXPECT_EQ(celle_json[5].at("significato").at("pendenza_per_mille"), 0);
}

TEST(DumpSignificato, SignalsBoardsAndStopsAreUnpackedAndNamedFromTheTable) {
  modello m;
  m.percorso = "P";
  m.treno = "1";
  m.celle.resize(5);
  m.celle[1] = {.evento = 1, .dato1 = 42, .dato2 = 0, .dato3 = 13, .dato4 = 5, .tempo_segnale = 0};
  m.celle[2] = {.evento = 6, .dato1 = 1818, .dato2 = 1600, .dato3 = 0, .dato4 = 21};
  m.celle[3] = {.evento = 10, .dato1 = 2};
  m.celle[4] = {.evento = 14, .dato1 = 80};
  m.riga(2).tipo = 8;
  m.riga(2).nome = "TARVIGNANO";
  m.riga(80).nome = "(P.L.A.    )(KM. 10.750)";
  prova::cartella_temporanea cartella;
  scrivi_file_compilati(m, cartella.percorso());
  const esito_dump e = dump({cartella / "P_1.dat", cartella / "P_1.sim"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const json tutti = json::parse(e.uscita);
  const json& celle_json = tutti[0].at("celle");
  EXPECT_EQ(celle_json[1]["significato"]["segnale"],
            json({{"s", {4, 0, 1}}, {"d", {2, 0, 3}}, {"rapp", 0}, {"sx", 1}, {"dx", 2}}));
  EXPECT_EQ(celle_json[2]["significato"]["indicatore velocita massima"],
            json({{"prima_serie_kmh", {90, 80, 0}},
                  {"seconda_serie_kmh", {90, 0, 0}},
                  {"strisce_prima", 2},
                  {"strisce_seconda", 1}}));
  EXPECT_EQ(celle_json[3]["significato"]["fermata stazione"],
            json({{"riga", 2}, {"nome", "TARVIGNANO"}}));
  EXPECT_EQ(celle_json[4]["significato"]["cartello indicatore"]["nome"],
            "(P.L.A.    )(KM. 10.750)");
  const json& righe = tutti[1].at("righe");
  EXPECT_EQ(righe[80].at("contenuto"), "cartello indicatore");
  EXPECT_EQ(righe[2].at("contenuto"), "stazione");
  EXPECT_EQ(righe[3].at("contenuto"), "vuota");
}

TEST_F(DumpProva, CellRangeSelectsCellsAndTheirMetresOfThePlanAndRowsSelectRows) {
  opzioni_dump o;
  o.celle = intervallo{2, 3};
  o.righe = std::vector<intervallo>{{1, 2}, {85, 85}};
  const json tutti = dump_json({celle(), tabella()}, o);
  const json& celle_json = tutti[0].at("celle");
  ASSERT_EQ(celle_json.size(), 2U);
  EXPECT_EQ(celle_json[0].at("cella"), 2);
  EXPECT_EQ(celle_json[1].at("cella"), 3);
  const json& righe = tutti[1].at("righe");
  ASSERT_EQ(righe.size(), 3U);
  EXPECT_EQ(righe[2].at("riga"), 85);
  // The plan has 7 points: the metres of cells 2..3 (100..199) lie past it,
  // which ARangeThatSelectsNothingSaysWhatTheFileHolds shows.

  o.celle = intervallo{0, 0};
  const json piano = dump_json({tracciato()}, o);
  EXPECT_EQ(piano[0].at("punti").size(), 7U);
}

TEST_F(DumpProva, MetresSelectTheCellsThatCoverThemAndThoseMetresOfThePlan) {
  struct caso {
    intervallo metri;
    std::vector<int> celle;
    std::vector<int> punti;
  };
  const std::vector<caso> casi = {
      {{3, 120}, {0, 1, 2}, {3, 4, 5, 6}},
      {{0, 0}, {0}, {0}},
      {{49, 50}, {0, 1}, {}},  // past the plan, whose points are metres 0 to 6
      {{6, 349}, {0, 1, 2, 3, 4, 5, 6}, {6}},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(testo_intervallo(c.metri));
    opzioni_dump o;
    o.metri = c.metri;
    const json celle_json = dump_json({celle()}, o)[0].at("celle");
    std::vector<int> celle_scelte;
    for (const json& cella : celle_json) celle_scelte.push_back(cella.at("cella"));
    EXPECT_EQ(celle_scelte, c.celle);
    if (c.punti.empty()) continue;
    const json punti_json = dump_json({tracciato()}, o)[0].at("punti");
    std::vector<int> punti;
    for (const json& punto : punti_json) punti.push_back(punto[0]);
    EXPECT_EQ(punti, c.punti);
  }
}

TEST_F(DumpProva, ARangeThatSelectsNothingSaysWhatTheFileHolds) {
  struct caso {
    std::string nome;
    std::vector<std::filesystem::path> file;
    opzioni_dump opzioni;
    std::string errore;  // after "dump: --"
  };
  auto con_celle = [](intervallo i) {
    opzioni_dump o;
    o.celle = i;
    return o;
  };
  auto con_metri = [](intervallo i) {
    opzioni_dump o;
    o.metri = i;
    return o;
  };
  opzioni_dump con_righe;
  con_righe.righe = std::vector<intervallo>{{87, 90}, {100, 100}};
  const std::string c = celle().string(), p = tracciato().string(), t = tabella().string();
  const std::vector<caso> casi = {
      {"cells past the strip",
       {celle()},
       con_celle({7, 9}),
       "cells 7..9 (metres 350 to 499) selects nothing of " + c +
           ": the file has cells 0 to 6, metres 0 to 349; give a range that meets them"},
      {"metres past the strip",
       {celle()},
       con_metri({350, 400}),
       "metres 350..400 selects nothing of " + c +
           ": the file has cells 0 to 6, metres 0 to 349; give a range that meets them"},
      {"the metres of cells past the plan, the cells file before it fine",
       {celle(), tracciato()},
       con_celle({2, 3}),
       "cells 2..3 (metres 100 to 199) selects nothing of " + p +
           ": the file has points for metres 0 to 6, cells 0 to 0; give a range that meets them"},
      {"one metre past the plan",
       {tracciato()},
       con_metri({7, 7}),
       "metres 7 selects nothing of " + p +
           ": the file has points for metres 0 to 6, cells 0 to 0; give a range that meets them"},
      {"rows past the table",
       {tabella()},
       con_righe,
       "rows 87..90,100 selects nothing of " + t +
           ": the file has rows 0 to 86; give a range that meets them"},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    for (const bool testo : {false, true}) {
      opzioni_dump o = k.opzioni;
      o.testo = testo;
      const esito_dump e = dump(k.file, o);
      EXPECT_EQ(e.stato, kUscitaSceltaVuota);
      EXPECT_EQ(e.errori, "dump: --" + k.errore + "\n");
      EXPECT_EQ(e.uscita, "");
    }
  }
  // An option that does not narrow a kind of file asks nothing of it.
  EXPECT_EQ(dump({tabella()}, con_celle({7, 9})).stato, 0);
  EXPECT_EQ(dump({celle(), tracciato()}, con_righe).stato, 0);
}

TEST_F(DumpProva, TextFormIsAlignedTablesWithEmptyRowsGathered) {
  opzioni_dump o;
  o.testo = true;
  o.celle = intervallo{0, 1};
  const esito_dump e = dump({celle(), tabella(), tracciato()}, o);
  ASSERT_EQ(e.stato, 0) << e.errori;
  std::istringstream righe(e.uscita);
  std::vector<std::string> linee;
  for (std::string l; std::getline(righe, l);) linee.push_back(l);
  ASSERT_GE(linee.size(), 4U);
  EXPECT_EQ(linee[0].rfind("== ", 0), 0U);
  // Numbers are right-aligned under their heading: dato1 of cells 0 and 1.
  const std::size_t fine_intestazione = linee[1].find("dato1") + 5;
  EXPECT_EQ(linee[2].find("-32768") + 6, fine_intestazione) << linee[1] << '\n' << linee[2];
  EXPECT_EQ(linee[3].find("-31767") + 6, fine_intestazione) << linee[1] << '\n' << linee[3];
  EXPECT_NE(e.uscita.find("PONTE \xC2\xB0"
                          "A"),
            std::string::npos);
  EXPECT_NE(e.uscita.find("0.1"), std::string::npos);
  EXPECT_NE(e.uscita.find("2.0"), std::string::npos);  // a whole double shows it is a double
  EXPECT_NE(e.uscita.find("-0.3333333333333333"), std::string::npos);

  modello vuoto;
  vuoto.percorso = "V";
  vuoto.treno = "1";
  vuoto.celle.resize(2);
  vuoto.riga(1).nome = "A";
  vuoto.riga(80).nome = "B";
  prova::cartella_temporanea c;
  scrivi_file_compilati(vuoto, c.percorso());
  const esito_dump t = dump({c / "V_1.sim"}, o);
  EXPECT_NE(t.uscita.find("riga 0: vuota"), std::string::npos) << t.uscita;
  EXPECT_NE(t.uscita.find("righe 2..79: vuote"), std::string::npos) << t.uscita;
  EXPECT_NE(t.uscita.find("  81  progressiva chilometrica"), std::string::npos) << t.uscita;
}

// Damaged files: each is refused with the file named and the place given,
// and nothing is printed (ASan checks that no read goes past the buffer).
TEST_F(DumpProva, DamagedOrShortFilesAreRefusedWithAClearMessage) {
  const std::string byte_celle = prova::leggi(celle());
  const std::string byte_tabella = prova::leggi(tabella());
  const std::string byte_tracciato = prova::leggi(tracciato());
  std::string tag_sbagliato = byte_tracciato;
  tag_sbagliato[8] = 7;  // the first double element
  std::string nome_lungo = byte_tabella;
  nome_lungo[34 + 14] = static_cast<char>(0xFF);  // row 1's name length: 65535
  nome_lungo[34 + 15] = static_cast<char>(0xFF);
  struct caso {
    std::string nome;
    std::string contenuto;
    std::string atteso;
  };
  const std::vector<caso> casi{
      {"Prova_77.dat", byte_celle + "x", "not a whole number of 15-byte cells"},
      {"Prova_77.dat", "", "the cell file is empty"},
      {"Prova_77.dat", byte_celle.substr(0, 14),
       "the size 14 bytes is less than one 15-byte cell (the file is cut short or is not a cell "
       "strip)"},
      {"Prova_77.dat", "x",
       "the size 1 bytes is less than one 15-byte cell (the file is cut short or is not a cell "
       "strip)"},
      {"Prova_77.dat", byte_celle.substr(0, 49),
       "the size 49 bytes is not a whole number of 15-byte cells: 4 bytes are left after cell 2 "
       "(the file is cut short or is not a cell strip)"},
      {"Prova_77.sim", byte_tabella.substr(0, byte_tabella.size() - 1), "inside row 86"},
      {"Prova_77.sim", byte_tabella.substr(0, 53), "inside the 8-byte name of row 1"},
      {"Prova_77.sim", "", "inside row 0"},
      {"Prova_77.sim", nome_lungo, "the 65535-byte name of row 1"},
      {"Prova_77.sim", byte_tabella + "zz", "2 bytes follow row 86"},
      {"Prova_linea.dat", tag_sbagliato, "plan element 2 at byte 8 has a tag"},
      {"Prova_linea.dat", byte_tracciato.substr(0, byte_tracciato.size() - 2),
       "count must be even"},
      {"Prova_linea.dat", byte_tracciato.substr(0, 12), "inside plan element 2"},
      {"Prova_linea.dat", "", "the plan holds 0 elements"},
      {"Prova_77.txt", "", "cannot tell the kind of compiled file"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.atteso);
    prova::cartella_temporanea cartella;
    prova::scrivi(cartella / c.nome, c.contenuto);
    const esito_dump e = dump({cartella / c.nome});
    EXPECT_EQ(e.stato, kUscitaFileNonConforme);
    EXPECT_EQ(e.uscita, "");
    EXPECT_NE(e.errori.find(c.atteso), std::string::npos) << e.errori;
    EXPECT_NE(e.errori.find(c.nome), std::string::npos) << e.errori;
  }
  const esito_dump nessuno = dump({});
  EXPECT_EQ(nessuno.stato, kUscitaFileNonConforme);
  EXPECT_NE(nessuno.errori.find("no file given"), std::string::npos) << nessuno.errori;
  const esito_dump mancante = dump({celle(), cartella_ / "Altro_1.dat"});
  EXPECT_EQ(mancante.stato, uscita_file_system);
  EXPECT_EQ(mancante.uscita, "");
  EXPECT_NE(mancante.errori.find("Altro_1.dat"), std::string::npos) << mancante.errori;
}

// Nothing valid is larger than what the longest route makes: a larger file is
// refused before it is read, by each command that reads compiled files.
TEST_F(DumpProva, AFileLargerThanTheLongestRouteMakesIsRefusedBeforeItIsRead) {
  struct caso {
    std::string nome;
    uint64_t byte;
    std::string motivo;
  };
  const std::vector<caso> casi = {
      {"Prova_77.dat", kByteMassimiCelle + 1,
       "it is larger than 302115 bytes, the most a cell file may be"},
      {"Prova_77.dat", uint64_t{256} << 20,
       "it is larger than 302115 bytes, the most a cell file may be"},
      {"Prova_77.sim", kByteMassimiTabella + 1,
       "it is larger than 5704503 bytes, the most a table file may be"},
      {"Prova_linea.dat", kByteMassimiTracciato + 1,
       "it is larger than 20140020 bytes, the most a track plan file may be"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome + " of " + std::to_string(c.byte) + " bytes");
    prova::cartella_temporanea cartella;
    scrivi_file_compilati(m_, cartella.percorso());
    std::filesystem::resize_file(cartella / c.nome, c.byte);
    const std::string file = (cartella / c.nome).string();
    const esito_dump e = dump({cartella / c.nome});
    EXPECT_EQ(e.stato, uscita_file_system);
    EXPECT_EQ(e.errori, "dump: cannot read '" + file + "': " + c.motivo + "\n");
    EXPECT_EQ(e.uscita, "");
    for (const std::string comando : {"plot", "view"}) {
      std::ostringstream uscita, errori;
      const int stato =
          comando == "plot"
              ? comando_plot({cartella.percorso(), "Prova", "77", cartella / "p.svg", {}}, 64,
                             uscita, errori)
              : comando_view({cartella.percorso(), {}, {}, "Prova", "77", cartella / "v.html"}, 64,
                             uscita, errori);
      EXPECT_EQ(stato, uscita_file_system) << comando;
      EXPECT_EQ(errori.str(), comando + ": cannot read '" + file + "': " + c.motivo + "\n");
      EXPECT_EQ(uscita.str(), "") << comando;
    }
  }
  // At the bound, a cell file is read: the longest route's strip.
  const std::vector<uint8_t> zeri(kByteMassimiCelle);
  EXPECT_EQ(leggi_celle(zeri).size(), static_cast<std::size_t>(kCelleMassime));
}

TEST(DumpScenarioIncorporato, EveryMemberOfTheCompiledModelIsInTheJson) {
  prova::cartella_temporanea cartella;
  const auto m = prova::compila_scenario_incorporato(cartella.percorso());
  ASSERT_TRUE(m.has_value());
  const esito_dump e = dump({cartella / "Ulmo_Tarvignano_Rovesco_linea.dat",
                             cartella / "Ulmo_Tarvignano_Rovesco_4816.sim",
                             cartella / "Ulmo_Tarvignano_Rovesco_4816.dat"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const json tutti = json::parse(e.uscita);
  const json& punti = tutti[0].at("punti");
  ASSERT_EQ(punti.size(), m->tracciato[0].size());
  for (std::size_t p = 0; p < punti.size(); ++p) {
    confronta_elemento(punti[p][1], m->tracciato[0][p]);
    confronta_elemento(punti[p][2], m->tracciato[1][p]);
    if (::testing::Test::HasFailure()) FAIL() << "point " << p;
  }
  const json& righe = tutti[1].at("righe");
  ASSERT_EQ(righe.size(), static_cast<std::size_t>(kRigheTabella));
  for (int r = 0; r < kRigheTabella; ++r) {
    confronta_voce(righe[static_cast<std::size_t>(r)], m->riga(r), r);
  }
  const json& celle_json = tutti[2].at("celle");
  ASSERT_EQ(celle_json.size(), m->celle.size());
  for (std::size_t n = 0; n < m->celle.size(); ++n) {
    confronta_cella(celle_json[n], m->celle[n], n);
    if (::testing::Test::HasFailure()) FAIL() << "cell " << n;
  }
}

esito_dump strumento(std::vector<std::string> argomenti) {
  argomenti.insert(argomenti.begin(), "scenario-tool");
  std::ostringstream uscita, errori;
  esito_dump e;
  e.stato = strumento::esegui_strumento(argomenti, uscita, errori);
  e.uscita = uscita.str();
  e.errori = errori.str();
  return e;
}

TEST_F(DumpProva, ScenarioToolDumpTakesFilesCellsAndRows) {
  const esito_dump e = strumento(
      {"dump", celle().string(), tabella().string(), "--cells", "1..2", "--rows", "1,85"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const json tutti = json::parse(e.uscita);
  ASSERT_EQ(tutti.size(), 2U);
  ASSERT_EQ(tutti[0].at("celle").size(), 2U);
  EXPECT_EQ(tutti[0]["celle"][0].at("cella"), 1);
  ASSERT_EQ(tutti[1].at("righe").size(), 2U);
  EXPECT_EQ(tutti[1]["righe"][1].at("riga"), 85);

  const esito_dump testo = strumento({"dump", "--text", tabella().string()});
  ASSERT_EQ(testo.stato, 0) << testo.errori;
  EXPECT_EQ(testo.uscita.rfind("== ", 0), 0U);

  struct caso {
    std::vector<std::string> argomenti;
    int stato;
  };
  const std::vector<caso> casi{
      {{"dump"}, strumento::kUscitaUso},
      {{"dump", celle().string(), "--cells", "2..1"}, strumento::kUscitaUso},
      {{"dump", celle().string(), "--cells", "x"}, strumento::kUscitaUso},
      {{"dump", celle().string(), "--metres", "9..3"}, strumento::kUscitaUso},
      {{"dump", celle().string(), "--cells", "1", "--metres", "3"}, strumento::kUscitaUso},
      {{"dump", celle().string(), "--metres", "350"}, kUscitaSceltaVuota},
      {{"dump", tabella().string(), "--rows", "1..9,"}, strumento::kUscitaUso},
      {{"dump", (cartella_ / "Prova_77.txt").string()}, kUscitaFileNonConforme},
      {{"dump", (cartella_ / "Manca_1.sim").string()}, uscita_file_system},
  };
  for (const caso& c : casi) {
    const esito_dump x = strumento(c.argomenti);
    EXPECT_EQ(x.stato, c.stato) << c.argomenti.back() << '\n' << x.errori;
    EXPECT_EQ(x.uscita, "") << c.argomenti.back();
  }
}

TEST(DumpIntervalli, RangesAreAToBOrOneNumber) {
  EXPECT_EQ(leggi_intervallo("2..5")->da, 2);
  EXPECT_EQ(leggi_intervallo("2..5")->a, 5);
  EXPECT_EQ(leggi_intervallo("7")->da, 7);
  EXPECT_EQ(leggi_intervallo("7")->a, 7);
  for (const char* sbagliato : {"5..2", "a..b", "-1", "", "3..", "..3", "1...3", "1..2..3"}) {
    EXPECT_FALSE(leggi_intervallo(sbagliato)) << sbagliato;
  }
  const auto elenco = leggi_intervalli("1..9,81..86,0");
  ASSERT_TRUE(elenco);
  ASSERT_EQ(elenco->size(), 3U);
  EXPECT_EQ((*elenco)[1].da, 81);
  EXPECT_EQ((*elenco)[2].a, 0);
  EXPECT_FALSE(leggi_intervalli("1..9,"));
  EXPECT_FALSE(leggi_intervalli("1..9,x"));
  EXPECT_EQ(testo_intervallo({2, 5}), "2..5");
  EXPECT_EQ(testo_intervallo({7, 7}), "7");
}

TEST(TipoDaNome, TheEndingOfTheNameTellsTheKind) {
  EXPECT_EQ(tipo_da_nome("Ulmo_Tarvignano_Rovesco_linea.dat"), tipo_file_compilato::tracciato);
  EXPECT_EQ(tipo_da_nome("Ulmo_Tarvignano_Rovesco_4816.sim"), tipo_file_compilato::tabella);
  EXPECT_EQ(tipo_da_nome("Ulmo_Tarvignano_Rovesco_4816.dat"), tipo_file_compilato::celle);
  EXPECT_FALSE(tipo_da_nome("Ulmo_Tarvignano_Rovesco_4816-.txt"));
}

}  // namespace
}  // namespace scenario
