// The largest route the benchmarks measure compiles cleanly and fills the
// model as far as its rows say: if a change to the readers made it fail, the
// benchmark would time a failure exit instead.
#include "bench/percorso_massimo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

#include "bench/pavimento.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"

namespace scenario {
namespace {

int conta_eventi(const modello& m, uint8_t evento) {
  return static_cast<int>(std::count_if(m.celle.begin(), m.celle.end(),
                                        [evento](const cella& c) { return c.evento == evento; }));
}

TEST(PercorsoMassimo, CompilesCleanlyAtTheLimitsOfTheModel) {
  const banco::testi_sorgente testi = banco::percorso_massimo();
  modello m;
  sorgente_in_memoria linea(testi.linea);
  sorgente_in_memoria treno(testi.treno);
  opzioni_compilazione opzioni;
  opzioni.percorso = kPercorso;
  opzioni.treno = kTreno;
  ASSERT_TRUE(compila_percorso(m, linea, treno, opzioni).da_scrivere());
  EXPECT_EQ(m.codice_errore, 0) << m.posizione_errore;

  EXPECT_EQ(m.ultima_cella, 20'140);
  EXPECT_EQ(conta_eventi(m, 1), 1'000);  // signals
  EXPECT_EQ(conta_eventi(m, 3), 19);     // slowdown starts
  EXPECT_EQ(conta_eventi(m, 6), 40);     // speed boards
  EXPECT_EQ(conta_eventi(m, 14), 4);     // indication boards
  EXPECT_EQ(conta_eventi(m, 10), 74);    // station stop marks
  EXPECT_EQ(m.riga(74).nome, "STAZIONE 74");
  EXPECT_EQ(m.riga(75).nome, "");
  EXPECT_EQ(m.n_montagne, 10);
  // The last curve ends at metre 999 900; the plan runs straight from there.
  EXPECT_EQ(m.tracciato[0][1'006'998].tipo, tipo_elemento::doppio);
  EXPECT_EQ(byte_tracciato(m).size(), 2U * (8U + 1'006'997U * 10U + 4U));
  EXPECT_EQ(byte_celle(m).size(), 15U * 20'141U);
}

// The floor the benchmarks set beside the compile is the compile's own
// arithmetic: its last point is the plan's, bit for bit, and its byte count
// the plan file's.
TEST(PercorsoMassimo, TheFloorComputesThePlanOfTheCompile) {
  const banco::testi_sorgente testi = banco::percorso_massimo();
  modello m;
  sorgente_in_memoria linea(testi.linea);
  sorgente_in_memoria treno(testi.treno);
  opzioni_compilazione opzioni;
  ASSERT_TRUE(compila_percorso(m, linea, treno, opzioni).da_scrivere());
  const punto_piano ultimo = banco::aritmetica_piano(banco::tratti_piano_massimo());
  EXPECT_EQ(std::bit_cast<uint64_t>(ultimo.x),
            std::bit_cast<uint64_t>(m.tracciato[0][1'006'998].valore));
  EXPECT_EQ(std::bit_cast<uint64_t>(ultimo.y),
            std::bit_cast<uint64_t>(m.tracciato[1][1'006'998].valore));
  EXPECT_EQ(banco::byte_piano_massimo(), m.tracciato.byte().size());
}

}  // namespace
}  // namespace scenario
