// Whole processes, from start to exit, each in a temporary folder: the
// program's run beside `cat` copying the run's six files into one file (the
// least a process that reads and writes those bytes does), and scenario-tool's
// check and compile of the largest route. Times are wall-clock; "cpu_ms" and
// "sys_ms" are the processor time of the process run (all of it, and the
// kernel's part), which a busy machine does not stretch, and "faults" its
// page faults.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/blocco_cartella.h"
#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "bench/percorso_massimo.h"
#include "scenario/sorgenti.h"

namespace {

namespace fs = std::filesystem;

const char* const kProgramma = SCENARIO_PROGRAMMA;
const char* const kStrumento = SCENARIO_STRUMENTO;

// The six files of the run, as the program names them.
const std::vector<std::string> kFileDellEsecuzione = {
    "Ulmo_Tarvignano_Rovesco_linea.dat",
    "Ulmo_Tarvignano_Rovesco_4816.sim",
    "Ulmo_Tarvignano_Rovesco_4816.dat",
    "Ulmo_Tarvignano_Rovesco_4816_scheda_treno.txt",
    "Ulmo_Tarvignano_Rovesco_4816_rallentamenti.txt",
    "Ulmo_Tarvignano_Rovesco_4816_note.txt",
};

// A folder of its own for the measures, removed at the end.
class cartella_misure {
 public:
  cartella_misure() {
    std::string modello = (fs::temp_directory_path() / "misure_XXXXXX").string();
    if (mkdtemp(modello.data()) == nullptr) throw std::runtime_error("cannot make a folder");
    percorso_ = modello;
  }
  ~cartella_misure() {
    std::error_code errore;
    fs::remove_all(percorso_, errore);
  }
  cartella_misure(const cartella_misure&) = delete;
  cartella_misure& operator=(const cartella_misure&) = delete;
  const fs::path& percorso() const { return percorso_; }

 private:
  fs::path percorso_;
};

double secondi(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

// Processor time (all of it, and the kernel's) and page faults of this
// process, or of the processes it has waited for.
struct tempo_figli {
  double totale = 0;
  double sistema = 0;
  double fault = 0;
};
tempo_figli tempo_di(int chi) {
  rusage uso{};
  getrusage(chi, &uso);
  return {secondi(uso.ru_utime) + secondi(uso.ru_stime), secondi(uso.ru_stime),
          static_cast<double>(uso.ru_minflt + uso.ru_majflt)};
}

// The three counters every benchmark here reports (the CSV output wants the
// same ones on every row), per iteration.
void conta(benchmark::State& stato, const tempo_figli& prima, const tempo_figli& dopo) {
  const auto per_volta = [&stato](double n) {
    return benchmark::Counter(n / static_cast<double>(stato.iterations()));
  };
  stato.counters["cpu_ms"] = per_volta((dopo.totale - prima.totale) * 1e3);
  stato.counters["sys_ms"] = per_volta((dopo.sistema - prima.sistema) * 1e3);
  stato.counters["faults"] = per_volta(dopo.fault - prima.fault);
}

// Runs `argomenti` (the program first) in `cartella` and waits for it; its
// standard output goes to `uscita` (emptied first) or nowhere, its standard
// error nowhere. Returns the exit status.
int esegui(const std::vector<std::string>& argomenti, const fs::path& cartella,
           const fs::path& uscita = "/dev/null") {
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addchdir_np(&azioni, cartella.c_str());
  posix_spawn_file_actions_addopen(&azioni, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&azioni, 1, uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  argv.reserve(argomenti.size() + 1);
  for (const std::string& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t figlio = 0;
  const int errore = posix_spawnp(&figlio, argv[0], &azioni, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&azioni);
  if (errore != 0) return -1;
  int stato = 0;
  if (waitpid(figlio, &stato, 0) != figlio || !WIFEXITED(stato)) return -1;
  return WEXITSTATUS(stato);
}

// Times `argomenti` in `cartella`, failing the benchmark on a status other than 0.
void misura(benchmark::State& stato, const std::vector<std::string>& argomenti,
            const fs::path& cartella, const fs::path& uscita = "/dev/null") {
  const tempo_figli prima = tempo_di(RUSAGE_CHILDREN);
  for (auto _ : stato) {
    if (esegui(argomenti, cartella, uscita) != 0) {
      stato.SkipWithError((argomenti[0] + " did not end with status 0").c_str());
      return;
    }
  }
  conta(stato, prima, tempo_di(RUSAGE_CHILDREN));
}

// The program copied into a folder of its own and run there once, so that
// every timed run replaces its files as a run on a user's machine does.
struct esecuzione_preparata {
  cartella_misure cartella;
  std::string programma;

  esecuzione_preparata() {
    const fs::path copia = cartella.percorso() / fs::path(kProgramma).filename();
    fs::copy_file(kProgramma, copia);
    programma = copia.string();
    if (esegui({programma}, cartella.percorso()) != 0) {
      throw std::runtime_error("the program's run failed");
    }
  }
};

void BM_EsecuzioneProgramma(benchmark::State& stato) {
  const esecuzione_preparata e;
  misura(stato, {e.programma}, e.cartella.percorso());
}
BENCHMARK(BM_EsecuzioneProgramma)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatDeiSeiFile(benchmark::State& stato) {
  const esecuzione_preparata e;
  std::vector<std::string> argomenti = {"cat"};
  argomenti.insert(argomenti.end(), kFileDellEsecuzione.begin(), kFileDellEsecuzione.end());
  misura(stato, argomenti, e.cartella.percorso(), e.cartella.percorso() / "tutto");
}
BENCHMARK(BM_CatDeiSeiFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The run's file work alone, in this process, with nothing computed: the
// same files written, read back and deleted through the file layer, in the
// run's order and with the run's bytes, under the folder's lock. The least
// the run's safe replacement of its files costs on this file system.
void BM_FileDellEsecuzione(benchmark::State& stato) {
  const esecuzione_preparata e;
  const fs::path& cartella = e.cartella.percorso();
  const auto file = [&cartella](const std::string& nome) { return cartella / nome; };
  const std::string linea = scenario::testo_da_righe(scenario::righe_dati_linea());
  const std::string treno = scenario::testo_da_righe(scenario::righe_dati_treno());
  const fs::path file_linea = file("Ulmo_Tarvignano_Rovesco_linea.txt");
  const fs::path file_treno = file("Ulmo_Tarvignano_Rovesco_4816-.txt");
  // Of the six files (kFileDellEsecuzione), the run writes the three
  // documents, the notes first, and after the texts the three compiled files.
  const std::vector<std::size_t> documenti = {5, 4, 3};
  const std::vector<std::size_t> compilati = {0, 1, 2};
  std::vector<std::string> byte;
  for (const std::string& nome : kFileDellEsecuzione) {
    byte.push_back(scenario::leggi_file(file(nome), scenario::kLimiteFileCompilato));
  }
  const auto sostituisci = [&](std::size_t n) {
    scenario::sostituisci_file(file(kFileDellEsecuzione[n]), byte[n]);
  };
  const tempo_figli prima = tempo_di(RUSAGE_SELF);
  for (auto _ : stato) {
    const scenario::blocco_cartella blocco(cartella);
    scenario::sostituisci_file(file_linea, linea);
    scenario::sostituisci_file(file_treno, treno);
    for (std::size_t n : documenti) sostituisci(n);
    for (const fs::path& testo : {file_linea, file_treno}) {
      benchmark::DoNotOptimize(scenario::leggi_file(testo, scenario::kLimiteTestoSorgente));
      scenario::elimina_file(testo);
    }
    for (std::size_t n : compilati) sostituisci(n);
  }
  conta(stato, prima, tempo_di(RUSAGE_SELF));
}
BENCHMARK(BM_FileDellEsecuzione)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest route's two texts in a folder of their own.
struct percorso_massimo_su_disco {
  cartella_misure cartella;
  std::string linea;
  std::string treno;

  percorso_massimo_su_disco() {
    const scenario::banco::testi_sorgente testi = scenario::banco::percorso_massimo();
    linea = (cartella.percorso() / "linea.txt").string();
    treno = (cartella.percorso() / "treno.txt").string();
    scenario::sostituisci_file(linea, testi.linea);
    scenario::sostituisci_file(treno, testi.treno);
  }
};

void BM_VerificaPercorsoMassimoProcesso(benchmark::State& stato) {
  const percorso_massimo_su_disco p;
  misura(stato, {kStrumento, "check", p.linea, p.treno}, p.cartella.percorso());
}
BENCHMARK(BM_VerificaPercorsoMassimoProcesso)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompilazionePercorsoMassimoProcesso(benchmark::State& stato) {
  const percorso_massimo_su_disco p;
  misura(stato, {kStrumento, "compile", p.linea, p.treno, "out"}, p.cartella.percorso());
}
BENCHMARK(BM_CompilazionePercorsoMassimoProcesso)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
