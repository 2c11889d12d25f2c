// The compile from memory, plan included: both source texts as strings, the
// readers, the completion walk, the check codes and the bytes of the three
// compiled files, with no file read or written. Beside it the floor of the
// largest route (bench/pavimento.h) and `check` on that route.
//
// Each compile figure comes twice: with one model reused from compile to
// compile, as the compile entry point allows (the memory of the cells and
// the plan stays, so no page is touched for the first time), and with a new
// model every time, as a process that compiles once (the program, the
// tool's compile and check) sees it. "faults" counts the page faults of one
// iteration (every benchmark reports it: the CSV output wants the same
// counters on every row).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/scrittore_testo.h"
#include "bench/pavimento.h"
#include "bench/percorso_massimo.h"
#include "compiler/memorizza_dati.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "tools/verifica/verifica.h"

namespace {

using scenario::banco::testi_sorgente;

long page_fault() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return uso.ru_minflt + uso.ru_majflt;
}

// Page faults per iteration, counted over the whole loop.
class conta_fault {
 public:
  explicit conta_fault(benchmark::State& stato) : stato_(stato), inizio_(page_fault()) {}
  ~conta_fault() {
    stato_.counters["faults"] = benchmark::Counter(static_cast<double>(page_fault() - inizio_),
                                                   benchmark::Counter::kAvgIterations);
  }
  conta_fault(const conta_fault&) = delete;
  conta_fault& operator=(const conta_fault&) = delete;

 private:
  benchmark::State& stato_;
  long inizio_;
};

testi_sorgente testi_incorporati() {
  return {scenario::testo_da_righe(scenario::righe_dati_linea()),
          scenario::testo_da_righe(scenario::righe_dati_treno())};
}

// memorizza_percorso with j = 1 into `m`, the files kept in memory: the plan
// is the model's own bytes, the table and the cells are laid out.
std::size_t compila_in_memoria(scenario::modello& m, const testi_sorgente& testi) {
  scenario::sorgente_in_memoria linea(testi.linea);
  scenario::sorgente_in_memoria treno(testi.treno);
  scenario::opzioni_compilazione opzioni;
  opzioni.percorso = scenario::kPercorso;
  opzioni.treno = scenario::kTreno;
  if (!scenario::compila_percorso(m, linea, treno, opzioni).da_scrivere()) {
    throw std::logic_error("the benchmark's scenario does not compile cleanly");
  }
  return m.tracciato.byte().size() + scenario::byte_tabella(m).size() +
         scenario::byte_celle(m).size();
}

void compila_riusando(benchmark::State& stato, const testi_sorgente& testi) {
  scenario::modello m;
  compila_in_memoria(m, testi);
  const conta_fault fault(stato);
  for (auto _ : stato) benchmark::DoNotOptimize(compila_in_memoria(m, testi));
}

void compila_da_capo(benchmark::State& stato, const testi_sorgente& testi) {
  const conta_fault fault(stato);
  for (auto _ : stato) {
    scenario::modello m;
    benchmark::DoNotOptimize(compila_in_memoria(m, testi));
  }
}

void BM_CompilazioneScenario(benchmark::State& stato) {
  compila_riusando(stato, testi_incorporati());
}
BENCHMARK(BM_CompilazioneScenario)->Unit(benchmark::kMillisecond);

void BM_CompilazioneScenarioModelloNuovo(benchmark::State& stato) {
  compila_da_capo(stato, testi_incorporati());
}
BENCHMARK(BM_CompilazioneScenarioModelloNuovo)->Unit(benchmark::kMillisecond);

// The largest route: 1 000 000 m with every kind of row at close spacing.
void BM_CompilazionePercorsoMassimo(benchmark::State& stato) {
  compila_riusando(stato, scenario::banco::percorso_massimo());
}
BENCHMARK(BM_CompilazionePercorsoMassimo)->Unit(benchmark::kMillisecond);

void BM_CompilazionePercorsoMassimoModelloNuovo(benchmark::State& stato) {
  compila_da_capo(stato, scenario::banco::percorso_massimo());
}
BENCHMARK(BM_CompilazionePercorsoMassimoModelloNuovo)->Unit(benchmark::kMillisecond);

// `check` on the largest route, in memory as the tool runs it after reading
// the two texts: its compile (a new model, told to the observer) and every
// rule.
void BM_VerificaPercorsoMassimo(benchmark::State& stato) {
  const testi_sorgente testi = scenario::banco::percorso_massimo();
  const scenario::testo_da_verificare linea{"linea.txt", testi.linea};
  const scenario::testo_da_verificare treno{"treno.txt", testi.treno};
  const conta_fault fault(stato);
  for (auto _ : stato) {
    const std::vector<scenario::diagnosi> tutte = scenario::verifica_testi(linea, treno);
    if (!tutte.empty()) throw std::logic_error("check finds problems in the largest route");
  }
}
BENCHMARK(BM_VerificaPercorsoMassimo)->Unit(benchmark::kMillisecond);

// One compile of a pair that may not compile cleanly, a new model each
// time, as check's own compile runs (the plan's points counted, not kept).
void compila_coppia(benchmark::State& stato, const testi_sorgente& testi) {
  const conta_fault fault(stato);
  for (auto _ : stato) {
    scenario::modello m;
    scenario::sorgente_in_memoria linea(testi.linea);
    scenario::sorgente_in_memoria treno(testi.treno);
    scenario::opzioni_compilazione opzioni;
    opzioni.percorso = scenario::kPercorso;
    opzioni.treno = scenario::kTreno;
    opzioni.conserva_tracciato = false;
    benchmark::DoNotOptimize(scenario::compila_percorso(m, linea, treno, opzioni).codice_errore);
  }
}

// check on a pair with errors, as the tool runs it: `errori` errors at least.
void verifica_coppia(benchmark::State& stato, const testi_sorgente& testi, std::size_t errori) {
  const scenario::testo_da_verificare linea{"linea.txt", testi.linea};
  const scenario::testo_da_verificare treno{"treno.txt", testi.treno};
  const conta_fault fault(stato);
  for (auto _ : stato) {
    const std::vector<scenario::diagnosi> tutte = scenario::verifica_testi(linea, treno);
    std::size_t trovati = 0;
    for (const scenario::diagnosi& d : tutte) {
      if (d.livello == scenario::gravita::errore) trovati += d.altre > 0 ? d.altre : 1;
    }
    if (trovati < errori) {
      throw std::logic_error("check finds " + scenario::testo_chiusura(tutte) +
                             " in the benchmark's pair, not the " + std::to_string(errori) +
                             " errors it holds");
    }
  }
}

// The largest route with 30 independent errors: 30 of its signals, spread
// along the route, written twice, so that each second row finds its cell
// taken (code 16). The compile stops at the first; check finds all 30.
constexpr std::size_t kErroriIndipendenti = 30;
testi_sorgente trenta_errori() {
  testi_sorgente testi = scenario::banco::percorso_massimo();
  const std::size_t passo = 1'000 / kErroriIndipendenti;
  std::string treno;
  std::size_t segnale = 0;
  std::size_t inizio = 0;
  while (inizio < testi.treno.size()) {
    const std::size_t fine = testi.treno.find('\n', inizio) + 1;
    const std::string riga = testi.treno.substr(inizio, fine - inizio);
    treno += riga;
    if (riga.rfind("segnale,", 0) == 0 && segnale++ % passo == 0 &&
        segnale <= passo * kErroriIndipendenti) {
      treno += riga;
    }
    inizio = fine;
  }
  testi.treno = std::move(treno);
  return testi;
}

void BM_CompilazioneTrentaErrori(benchmark::State& stato) {
  compila_coppia(stato, trenta_errori());
}
BENCHMARK(BM_CompilazioneTrentaErrori)->Unit(benchmark::kMillisecond);

void BM_VerificaTrentaErrori(benchmark::State& stato) {
  verifica_coppia(stato, trenta_errori(), kErroriIndipendenti);
}
BENCHMARK(BM_VerificaTrentaErrori)->Unit(benchmark::kMillisecond);

// 700 000 misspelt rows ("pendensa") in the line text of a 10 km route,
// beside a train whose 31 signals stand past the route's end (code 15 each).
constexpr int kRigheStorpiate = 700'000;
constexpr std::size_t kSegnaliOltre = 31;
testi_sorgente righe_storpiate() {
  testi_sorgente testi;
  testi.linea = "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[pendenze]\r\n";
  for (int k = 0; k < kRigheStorpiate; ++k) {
    testi.linea += "pendensa, " + std::to_string(k % 200 * 50) + ", 3\r\n";
  }
  testi.linea += "[fine]\r\n";
  testi.treno = "[generale]\r\n[segnali]\r\n";
  for (std::size_t k = 0; k < kSegnaliOltre; ++k) {
    testi.treno +=
        "segnale, " + std::to_string(20'000 + 1'000 * k) + ", 1, 4, 0, 0, 0, 2, 2,0,0, 0\r\n";
  }
  testi.treno += "[fine]\r\n";
  return testi;
}

void BM_CompilazioneRigheStorpiate(benchmark::State& stato) {
  compila_coppia(stato, righe_storpiate());
}
BENCHMARK(BM_CompilazioneRigheStorpiate)->Unit(benchmark::kMillisecond);

void BM_VerificaRigheStorpiate(benchmark::State& stato) {
  verifica_coppia(stato, righe_storpiate(), kSegnaliOltre);
}
BENCHMARK(BM_VerificaRigheStorpiate)->Unit(benchmark::kMillisecond);

// 40 000 gradient rows 25 m apart in shuffled order on the largest route:
// nearly every row is out of order, and each is explained.
testi_sorgente pendenze_mescolate() {
  constexpr int kPendenze = 40'000;
  std::vector<int> posizioni(kPendenze);
  for (int k = 0; k < kPendenze; ++k) posizioni[static_cast<std::size_t>(k)] = k * 25;
  std::mt19937 caso(26);  // a fixed order: the same text every run
  std::shuffle(posizioni.begin(), posizioni.end(), caso);
  testi_sorgente testi;
  testi.linea = "[generale]\r\nlunghezza percorso, " +
                std::to_string(scenario::banco::kLunghezzaPercorsoMassimo) +
                "\r\n[curve]\r\n[pendenze]\r\n";
  for (int p : posizioni) testi.linea += "pendenza, " + std::to_string(p) + ", 5\r\n";
  testi.linea += "[fine]\r\n";
  testi.treno = "[generale]\r\n[fine]\r\n";
  return testi;
}

void BM_VerificaPendenzeMescolate(benchmark::State& stato) {
  verifica_coppia(stato, pendenze_mescolate(), 0);
}
BENCHMARK(BM_VerificaPendenzeMescolate)->Unit(benchmark::kMillisecond);

// The floor, first part: the largest route's plan computed point by point
// exactly as the compile computes it, nothing stored.
void BM_PavimentoAritmetica(benchmark::State& stato) {
  const std::vector<scenario::banco::tratto_piano> tratti = scenario::banco::tratti_piano_massimo();
  const conta_fault fault(stato);
  for (auto _ : stato) benchmark::DoNotOptimize(scenario::banco::aritmetica_piano(tratti));
}
BENCHMARK(BM_PavimentoAritmetica)->Unit(benchmark::kMillisecond);

// The floor, second part in memory: the plan's byte count copied once, from
// and to memory already touched.
void BM_PavimentoCopia(benchmark::State& stato) {
  const std::vector<uint8_t> da(scenario::banco::byte_piano_massimo(), 5);
  std::vector<uint8_t> a(da.size(), 0);
  const conta_fault fault(stato);
  for (auto _ : stato) {
    std::memcpy(a.data(), da.data(), da.size());
    benchmark::ClobberMemory();
  }
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations()) *
                          static_cast<int64_t>(da.size()));
}
BENCHMARK(BM_PavimentoCopia)->Unit(benchmark::kMillisecond);

// The floor, second part on disk: the plan's byte count written to a file in
// one write, the file emptied first, as the simplest writer would. (A
// measure of the machine, so plain system calls, outside the file layer.)
void BM_PavimentoScrittura(benchmark::State& stato) {
  const std::vector<uint8_t> byte(scenario::banco::byte_piano_massimo(), 5);
  const std::filesystem::path cartella =
      std::filesystem::temp_directory_path() / ("pavimento_" + std::to_string(getpid()));
  std::filesystem::create_directories(cartella);
  const std::string file = (cartella / "linea.dat").string();
  {
    const conta_fault fault(stato);
    for (auto _ : stato) {
      const int d = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (d < 0 || ::write(d, byte.data(), byte.size()) != static_cast<ssize_t>(byte.size()) ||
          ::close(d) != 0) {
        stato.SkipWithError("cannot write the floor's file");
        break;
      }
    }
  }
  std::filesystem::remove_all(cartella);
}
BENCHMARK(BM_PavimentoScrittura)->Unit(benchmark::kMillisecond)->UseRealTime();

// The line half alone: reading the line text and building the plan.
void BM_LetturaLinea(benchmark::State& stato) {
  const std::string linea = scenario::testo_da_righe(scenario::righe_dati_linea());
  scenario::modello m;
  const conta_fault fault(stato);
  for (auto _ : stato) {
    scenario::ricomincia(m);
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
