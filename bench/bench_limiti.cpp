// What a hostile or merely unusual input costs: each case is a piece of work
// that is small, wrapped in an input that once made a tool take gigabytes or
// stall. `rss_mb` is the process's peak resident memory after the case (run
// each case in a process of its own, with --benchmark_filter, to read it as
// the case's own); `messaggi` counts what the server wrote.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "base/scrittore_testo.h"
#include "scenario/sorgenti.h"
#include "output/file_compilati.h"
#include "tools/disegno/grafico.h"
#include "tools/disegno/vista.h"
#include "tools/ispezione/dump.h"
#include "tools/lsp/server.h"
#include "tools/lsp/uri.h"

namespace {

using json = nlohmann::json;

double rss_mb() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return static_cast<double>(uso.ru_maxrss) / 1024.0;
}

// Counts the messages the server writes (each has one header block) and
// keeps nothing.
class conta_messaggi : public std::streambuf {
 public:
  long messaggi() const { return messaggi_; }

 protected:
  int_type overflow(int_type c) override {
    conta(static_cast<char>(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    for (std::streamsize k = 0; k < n; ++k) conta(s[k]);
    return n;
  }

 private:
  void conta(char c) {
    constexpr std::string_view kInizio = "Content-Length: ";
    trovati_ = c == kInizio[trovati_] ? trovati_ + 1 : (c == kInizio[0] ? 1 : 0);
    if (trovati_ == kInizio.size()) {
      ++messaggi_;
      trovati_ = 0;
    }
  }
  std::size_t trovati_ = 0;
  long messaggi_ = 0;
};

json notifica(const std::string& metodo, json parametri) {
  return {{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}};
}

void inizializza(scenario::lsp::server_lsp& server) {
  server.ricevi(json({{"jsonrpc", "2.0"},
                      {"id", 1},
                      {"method", "initialize"},
                      {"params", {{"capabilities", json::object()}}}})
                    .dump());
}

std::string apertura(const std::string& uri, const std::string& testo) {
  return notifica("textDocument/didOpen",
                  {{"textDocument",
                    {{"uri", uri}, {"languageId", ""}, {"version", 1}, {"text", testo}}}})
      .dump();
}

// A didOpen of 100 MB of line ends: refused at the text limit (it once took
// 2.4 GB and 9 s). Goal: under 1.5 GB, and the server answers.
void BM_LspTesto100MB(benchmark::State& stato) {
  const std::string messaggio =
      apertura("file:///banco/R_linea.txt", std::string(100'000'000, '\n'));
  for (auto _ : stato) {
    std::ostringstream uscita;
    scenario::lsp::server_lsp server(uscita);
    inizializza(server);
    server.ricevi(messaggio);
  }
  stato.counters["rss_mb"] = rss_mb();
}
BENCHMARK(BM_LspTesto100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

// A message of 50 M '[': refused by its nesting (it once took 3.8 GB).
void BM_LspMessaggio50MParentesi(benchmark::State& stato) {
  const std::string messaggio(50'000'000, '[');
  for (auto _ : stato) {
    std::ostringstream uscita;
    scenario::lsp::server_lsp server(uscita);
    server.ricevi(messaggio);
  }
  stato.counters["rss_mb"] = rss_mb();
}
BENCHMARK(BM_LspMessaggio50MParentesi)->Unit(benchmark::kMillisecond)->Iterations(3);

// One didChange of 10 000 one-character edits on a 2 MB text, from its end
// towards its start as an editor sends a "replace all" (it once took 19 s).
// Goal: under 3 s.
void BM_LspModifica10000Intervalli(benchmark::State& stato) {
  std::string testo;
  // Blank lines, so that what is timed is the change and not check's work on
  // what it makes.
  while (testo.size() < 2'000'000) testo += std::string(28, ' ') + "\n";
  const auto righe = static_cast<uint32_t>(testo.size() / 29);
  json cambi = json::array();
  for (uint32_t k = 0; k < 10'000; ++k) {
    const uint32_t riga = righe - 1 - k * (righe / 10'000);
    cambi.push_back({{"range",
                      {{"start", {{"line", riga}, {"character", 0}}},
                       {"end", {{"line", riga}, {"character", 1}}}}},
                     {"text", " "}});
  }
  const std::string uri = "file:///banco/R_T-.txt";
  const std::string modifica =
      notifica("textDocument/didChange",
               {{"textDocument", {{"uri", uri}, {"version", 2}}}, {"contentChanges", cambi}})
          .dump();
  for (auto _ : stato) {
    stato.PauseTiming();
    std::ostringstream uscita;
    scenario::lsp::server_lsp server(uscita);
    inizializza(server);
    server.ricevi(apertura(uri, testo));
    stato.ResumeTiming();
    server.ricevi(modifica);
  }
  stato.counters["rss_mb"] = rss_mb();
}
BENCHMARK(BM_LspModifica10000Intervalli)->Unit(benchmark::kMillisecond)->Iterations(3);

// 1 000 train texts of one line in one folder, opened one by one (once
// 502 502 publications). Goal: about one publication each, cost linear.
void BM_LspApertura1000Treni(benchmark::State& stato) {
  const std::filesystem::path cartella =
      std::filesystem::temp_directory_path() / ("banco_limiti_" + std::to_string(getpid()));
  std::filesystem::create_directories(cartella);
  const std::string linea = scenario::testo_da_righe(scenario::righe_dati_linea());
  scenario::sostituisci_file(cartella / "R_linea.txt", linea);
  std::vector<std::string> messaggi;
  for (int n = 0; n < 1000; ++n) {
    const std::filesystem::path file = cartella / ("R_" + std::to_string(n) + "-.txt");
    scenario::sostituisci_file(file, std::string_view("[dati generali]\n"));
    messaggi.push_back(apertura(scenario::lsp::uri_da_percorso(file), "[dati generali]\n"));
  }
  long scritti = 0;
  for (auto _ : stato) {
    conta_messaggi conta;
    std::ostream uscita(&conta);
    scenario::lsp::server_lsp server(uscita);
    inizializza(server);
    for (const std::string& m : messaggi) server.ricevi(m);
    scritti = conta.messaggi() - 1;  // the answer to initialize
  }
  stato.counters["messaggi"] = static_cast<double>(scritti);
  stato.counters["rss_mb"] = rss_mb();
  std::filesystem::remove_all(cartella);
}
BENCHMARK(BM_LspApertura1000Treni)->Unit(benchmark::kMillisecond)->Iterations(1);

// dump, view and plot of a folder whose cell file is 256 MiB, the old read
// limit (it once ended on std::bad_alloc after 4 GB, and plot wrote 8 949
// pages). Goal: refused or read within 2 GB and 30 s, no signal.
void file_grandi(benchmark::State& stato, int quale) {
  const std::filesystem::path cartella =
      std::filesystem::temp_directory_path() /
      ("banco_limiti_file_" + std::to_string(getpid()) + "_" + std::to_string(quale));
  std::filesystem::create_directories(cartella);
  scenario::modello m;
  m.percorso = "R";
  m.treno = "T";
  scenario::dimensiona(m, 1000);
  scenario::scrivi_file_compilati(m, cartella);
  std::filesystem::resize_file(cartella / "R_T.dat", uint64_t{256} << 20);
  int esito = 0;
  for (auto _ : stato) {
    std::ostringstream uscita, errori;
    if (quale == 0) {
      esito = scenario::comando_dump({cartella / "R_T.dat"}, {}, uscita, errori);
    } else if (quale == 1) {
      esito = scenario::comando_view({cartella, {}, {}, "R", "T", cartella / "v.html"}, 64, uscita,
                                     errori);
    } else {
      esito =
          scenario::comando_plot({cartella, "R", "T", cartella / "p.svg", {}}, 64, uscita, errori);
    }
  }
  stato.counters["stato"] = esito;
  stato.counters["rss_mb"] = rss_mb();
  std::filesystem::remove_all(cartella);
}
void BM_DumpCelle256MiB(benchmark::State& stato) { file_grandi(stato, 0); }
void BM_ViewCelle256MiB(benchmark::State& stato) { file_grandi(stato, 1); }
void BM_PlotCelle256MiB(benchmark::State& stato) { file_grandi(stato, 2); }
BENCHMARK(BM_DumpCelle256MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewCelle256MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotCelle256MiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
