// Every seed of the language server's fuzzing and every input a fuzz run
// once found wrong (tests/fuzz/regressioni_lsp/) keeps the server's
// properties, here in the ordinary test run and under the sanitizers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/proprieta_lsp.h"
#include "supporto.h"

namespace prova {
namespace {

namespace fs = std::filesystem;

TEST(LspFuzzRegressioni, EverySeedAndEveryFormerFindingKeepsTheProperties) {
  const fs::path fuzz = fs::path(SCENARIO_SORGENTI) / "tests" / "fuzz";
  std::vector<fs::path> file;
  for (const char* cartella : {"corpus_lsp", "regressioni_lsp"}) {
    if (!fs::is_directory(fuzz / cartella)) continue;
    for (const auto& voce : fs::directory_iterator(fuzz / cartella)) {
      if (voce.is_regular_file()) file.push_back(voce.path());
    }
  }
  ASSERT_GE(file.size(), 3U) << "no seed corpus in " << (fuzz / "corpus_lsp");
  for (const fs::path& f : file) {
    EXPECT_EQ(verifica_sessione_lsp(leggi(f)), "") << f.filename();
  }
}

// What the property finds wrong in a server's output is told, not missed.
TEST(LspFuzzRegressioni, TheOutputMustBeWholeJsonRpcMessages) {
  const std::string buono = "Content-Length: 17\r\n\r\n{\"jsonrpc\":\"2.0\"}";
  EXPECT_EQ(verifica_uscita_lsp(""), "");
  EXPECT_EQ(verifica_uscita_lsp(buono + buono), "");
  EXPECT_EQ(verifica_uscita_lsp(buono + "x"), "message 1 has no header");
  EXPECT_EQ(verifica_uscita_lsp(buono.substr(0, 30)), "message 0 is cut short");
  EXPECT_EQ(verifica_uscita_lsp("Content-Length: 2\r\n\r\n{}"),
            "message 0 is not a JSON-RPC 2.0 object: {}");
  EXPECT_EQ(verifica_uscita_lsp("Content-Length: x\r\n\r\n{}"), "message 0 has the length 'x'");
}

}  // namespace
}  // namespace prova
