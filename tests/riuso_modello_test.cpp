// The compile entry point on a model of an earlier compile: the outcome and
// every part of the model are those of a compile on a fresh model, whatever
// the earlier compile was (larger, smaller, with or without a plan, stopped
// by a code), and the memory of the cells and the plan stays.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/scrittore_testo.h"
#include "bench/percorso_massimo.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"

namespace scenario {
namespace {

struct ingresso {
  std::string nome;
  std::optional<std::string> linea;
  std::string treno;
  int32_t j = 1;
  bool conserva = true;  // false: the plan's points only counted, as check compiles
};

esito_compilazione compila(modello& m, const ingresso& i) {
  sorgente_in_memoria linea = i.linea ? sorgente_in_memoria(*i.linea) : sorgente_in_memoria();
  sorgente_in_memoria treno(i.treno);
  opzioni_compilazione opzioni;
  opzioni.percorso = kPercorso;
  opzioni.treno = kTreno;
  opzioni.crea_tracciato = i.j;
  opzioni.conserva_tracciato = i.conserva;
  return compila_percorso(m, linea, treno, opzioni);
}

std::vector<ingresso> ingressi() {
  const std::string linea = testo_da_righe(righe_dati_linea());
  const std::string treno = testo_da_righe(righe_dati_treno());
  const banco::testi_sorgente massimo = banco::percorso_massimo();
  const std::string breve = "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\n";
  return {
      {"largest route", massimo.linea, massimo.treno},
      {"embedded", linea, treno},
      {"embedded without the plan", linea, treno, 0},
      {"curve without a class (103)", breve + "curvad, 500, 100\r\n[fine]\r\n", treno},
      {"no line text (101)", std::nullopt, treno},
      {"row cut short (25)", breve + "curvad2, 500\r\n", treno},
      {"embedded, points counted", linea, treno, 1, false},
      {"embedded again", linea, treno},
      {"largest route again", massimo.linea, massimo.treno},
  };
}

TEST(RiusoModello, ACompileOnAnEarlierModelIsACompileOnAFreshOne) {
  modello riusato;
  for (const ingresso& i : ingressi()) {
    const esito_compilazione esito_riusato = compila(riusato, i);
    modello fresco;
    const esito_compilazione esito_fresco = compila(fresco, i);
    EXPECT_EQ(esito_riusato.codice_errore, esito_fresco.codice_errore) << i.nome;
    EXPECT_EQ(esito_riusato.posizione_errore, esito_fresco.posizione_errore) << i.nome;
    EXPECT_EQ(esito_riusato.controllo_fallito, esito_fresco.controllo_fallito) << i.nome;
    EXPECT_EQ(esito_riusato.ha_celle, esito_fresco.ha_celle) << i.nome;
    EXPECT_TRUE(riusato == fresco) << i.nome;
    if (esito_fresco.da_scrivere()) {
      if (i.conserva) {
        EXPECT_EQ(byte_tracciato(riusato), byte_tracciato(fresco)) << i.nome;
      }
      EXPECT_EQ(byte_celle(riusato), byte_celle(fresco)) << i.nome;
      EXPECT_EQ(byte_tabella(riusato), byte_tabella(fresco)) << i.nome;
    }
  }
}

// A compile that only counts the plan's points (check's) differs from one
// that keeps them in the plan alone: same outcome, cells, table and sizes.
TEST(RiusoModello, APlanCountedNotKeptChangesNothingElse) {
  for (ingresso i : ingressi()) {
    if (i.j == 0) continue;
    modello tenuto;
    const esito_compilazione esito_tenuto = compila(tenuto, i);
    i.conserva = false;
    modello contato;
    const esito_compilazione esito_contato = compila(contato, i);
    EXPECT_EQ(esito_contato.codice_errore, esito_tenuto.codice_errore) << i.nome;
    EXPECT_EQ(esito_contato.posizione_errore, esito_tenuto.posizione_errore) << i.nome;
    EXPECT_EQ(esito_contato.controllo_fallito, esito_tenuto.controllo_fallito) << i.nome;
    EXPECT_EQ(esito_contato.ha_celle, esito_tenuto.ha_celle) << i.nome;
    EXPECT_EQ(contato.tracciato.punti(), tenuto.tracciato.punti()) << i.nome;
    EXPECT_EQ(contato.tracciato.memoria(), 0U) << i.nome;
    contato.tracciato = tenuto.tracciato;
    EXPECT_TRUE(contato == tenuto) << i.nome;
  }
}

TEST(RiusoModello, ASmallerCompileKeepsTheMemoryOfTheLarger) {
  const std::vector<ingresso> tutti = ingressi();
  modello m;
  compila(m, tutti[0]);
  const std::size_t memoria_tracciato = m.tracciato.memoria();
  const uint8_t* tracciato = m.tracciato.byte().data();
  const std::size_t celle = m.celle.capacity();
  ASSERT_TRUE(compila(m, tutti[1]).da_scrivere());
  EXPECT_EQ(m.tracciato.memoria(), memoria_tracciato);
  EXPECT_EQ(m.tracciato.byte().data(), tracciato);
  EXPECT_EQ(m.celle.capacity(), celle);
  // The largest plan is kept in no more bytes than its file has.
  EXPECT_EQ(memoria_tracciato, 2U * (8U + 1'006'997U * 10U + 4U));
}

}  // namespace
}  // namespace scenario
