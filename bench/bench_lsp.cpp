// The language server on the largest route: what one change in the editor
// costs, from the message to the diagnostics of both texts published (the
// text converted, the whole pair compiled in memory with the plan, check's
// passes, the JSON written). It must stay well under 50 ms.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "base/codifica.h"
#include "bench/percorso_massimo.h"
#include "tools/lsp/server.h"
#include "tools/verifica/verifica.h"

namespace {

using json = nlohmann::json;

// The texts live in a folder that does not exist: they pair as open texts.
const std::string kLinea = "file:///banco-lsp/R_linea.txt";
const std::string kTreno = "file:///banco-lsp/R_T-.txt";

json messaggio(const std::string& metodo, json parametri) {
  return {{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}};
}

// A server with the largest route's two texts open; what it writes is
// thrown away.
class server_aperto {
 public:
  server_aperto() : nulla_(nullptr), server_(nulla_) {
    const scenario::banco::testi_sorgente testi = scenario::banco::percorso_massimo();
    server_.ricevi(json({{"jsonrpc", "2.0"},
                         {"id", 1},
                         {"method", "initialize"},
                         {"params", {{"capabilities", json::object()}}}})
                       .dump());
    apri(kLinea, testi.linea);
    apri(kTreno, testi.treno);
  }

  // A blank typed at the start of line `riga`, or taken away again when it
  // is there: the compile reads the same rows, but the text has changed, so
  // the whole pair is compiled and published.
  void scrivi(const std::string& uri, uint32_t riga) {
    const uint32_t fine = spazio_ ? 1 : 0;
    const json range = {{"start", {{"line", riga}, {"character", 0}}},
                        {"end", {{"line", riga}, {"character", fine}}}};
    server_.ricevi(
        messaggio("textDocument/didChange",
                  {{"textDocument", {{"uri", uri}, {"version", ++versione_}}},
                   {"contentChanges", {{{"range", range}, {"text", spazio_ ? "" : " "}}}}})
            .dump());
    spazio_ = !spazio_;
  }

  scenario::lsp::server_lsp& server() { return server_; }

 private:
  void apri(const std::string& uri, const std::string& cp1252) {
    server_.ricevi(messaggio("textDocument/didOpen", {{"textDocument",
                                                       {{"uri", uri},
                                                        {"languageId", ""},
                                                        {"version", ++versione_},
                                                        {"text", scenario::utf8_da_1252(cp1252)}}}})
                       .dump());
  }

  std::ostream nulla_;
  scenario::lsp::server_lsp server_;
  int versione_ = 0;
  bool spazio_ = false;
};

// check's part alone, for comparison: the pair compiled with the plan and
// explained, as the server does it on every change.
void BM_VerificaPercorsoMassimo(benchmark::State& stato) {
  const scenario::banco::testi_sorgente testi = scenario::banco::percorso_massimo();
  for (auto _ : stato) {
    benchmark::DoNotOptimize(
        scenario::verifica_testi({"R_linea.txt", testi.linea}, {"R_T-.txt", testi.treno}));
  }
}
BENCHMARK(BM_VerificaPercorsoMassimo)->Unit(benchmark::kMillisecond);

// A change to the train text: both texts compiled and published.
void BM_LspModificaTrenoPercorsoMassimo(benchmark::State& stato) {
  server_aperto s;
  for (auto _ : stato) s.scrivi(kTreno, 1);
}
BENCHMARK(BM_LspModificaTrenoPercorsoMassimo)->Unit(benchmark::kMillisecond);

// A change to the line text: the same pair, the longer text converted.
void BM_LspModificaLineaPercorsoMassimo(benchmark::State& stato) {
  server_aperto s;
  for (auto _ : stato) s.scrivi(kLinea, 1);
}
BENCHMARK(BM_LspModificaLineaPercorsoMassimo)->Unit(benchmark::kMillisecond);

// A hover after a change: the pair compiled once more with an observer.
void BM_LspHoverPercorsoMassimo(benchmark::State& stato) {
  server_aperto s;
  int id = 1;
  for (auto _ : stato) {
    s.scrivi(kTreno, 1);
    s.server().ricevi(json({{"jsonrpc", "2.0"},
                            {"id", ++id},
                            {"method", "textDocument/hover"},
                            {"params",
                             {{"textDocument", {{"uri", kTreno}}},
                              {"position", {{"line", 1}, {"character", 1}}}}}})
                          .dump());
  }
}
BENCHMARK(BM_LspHoverPercorsoMassimo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
