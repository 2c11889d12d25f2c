// The compile of the embedded scenario from memory, plan included: both
// source texts as strings, the readers, the completion walk, the check codes
// and the bytes of the three compiled files. No file is read or written.
#include <benchmark/benchmark.h>

#include <string>

#include "base/scrittore_testo.h"
#include "bench/percorso_massimo.h"
#include "compiler/memorizza_dati.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"

namespace {

// memorizza_percorso with j = 1, the files kept in memory.
std::size_t compila_in_memoria(const std::string& testo_linea, const std::string& testo_treno) {
  scenario::modello m;
  scenario::sorgente_in_memoria linea(testo_linea);
  scenario::sorgente_in_memoria treno(testo_treno);
  scenario::opzioni_compilazione opzioni;
  opzioni.percorso = scenario::kPercorso;
  opzioni.treno = scenario::kTreno;
  if (!scenario::compila_percorso(m, linea, treno, opzioni).da_scrivere()) return 0;
  return scenario::byte_tracciato(m).size() + scenario::byte_tabella(m).size() +
         scenario::byte_celle(m).size();
}

void BM_CompilazioneScenario(benchmark::State& stato) {
  const std::string linea = scenario::testo_da_righe(scenario::righe_dati_linea());
  const std::string treno = scenario::testo_da_righe(scenario::righe_dati_treno());
  for (auto _ : stato) {
    benchmark::DoNotOptimize(compila_in_memoria(linea, treno));
  }
}
BENCHMARK(BM_CompilazioneScenario)->Unit(benchmark::kMillisecond);

// The largest route: 1 000 000 m with every kind of row at close spacing.
void BM_CompilazionePercorsoMassimo(benchmark::State& stato) {
  const scenario::banco::testi_sorgente testi = scenario::banco::percorso_massimo();
  for (auto _ : stato) {
    benchmark::DoNotOptimize(compila_in_memoria(testi.linea, testi.treno));
  }
}
BENCHMARK(BM_CompilazionePercorsoMassimo)->Unit(benchmark::kMillisecond);

// The line half alone: reading the line text and building the plan.
void BM_LetturaLinea(benchmark::State& stato) {
  const std::string linea = scenario::testo_da_righe(scenario::righe_dati_linea());
  for (auto _ : stato) {
    scenario::modello m;
    m.crea_tracciato = 1;
    scenario::sorgente_in_memoria sorgente(linea);
    scenario::sorgente_in_memoria treno;
    scenario::memorizza_dati(m, sorgente, treno);
    benchmark::DoNotOptimize(m.tracciato.byte().data());
  }
}
BENCHMARK(BM_LetturaLinea)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
