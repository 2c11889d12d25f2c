// Every seed of the fuzz corpus and every input a fuzz run once found wrong
// (tests/fuzz/regressioni/) compiles with every property holding, here in the
// ordinary test run and under the sanitizers of the asan preset.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/proprieta_compilazione.h"
#include "supporto.h"

namespace prova {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> input_in(const fs::path& cartella) {
  std::vector<fs::path> file;
  if (!fs::is_directory(cartella)) return file;
  for (const auto& voce : fs::directory_iterator(cartella)) {
    if (voce.is_regular_file()) file.push_back(voce.path());
  }
  return file;
}

TEST(FuzzRegressioni, EverySeedAndEveryFormerFindingKeepsTheProperties) {
  const fs::path fuzz = fs::path(SCENARIO_SORGENTI) / "tests" / "fuzz";
  std::vector<fs::path> file = input_in(fuzz / "corpus");
  ASSERT_FALSE(file.empty()) << "no seed corpus in " << (fuzz / "corpus");
  for (const fs::path& f : input_in(fuzz / "regressioni")) file.push_back(f);
  for (const fs::path& f : file) {
    EXPECT_EQ(verifica_compilazione(leggi(f)), "") << f.filename();
  }
}

TEST(FuzzRegressioni, InputLayoutSplitsAtTheFirstNul) {
  const input_compilazione input = dividi_input(std::string("\x05linea\0tre\0no", 13));
  EXPECT_FALSE(input.tracciato);
  EXPECT_TRUE(input.linea_presente);
  EXPECT_FALSE(input.treno_presente);
  EXPECT_EQ(input.linea, "linea");
  EXPECT_EQ(input.treno, std::string("tre\0no", 6));
  EXPECT_EQ(componi_input(input), std::string("\x05linea\0tre\0no", 13));

  const input_compilazione vuoto = dividi_input("");
  EXPECT_TRUE(vuoto.tracciato && vuoto.linea_presente && vuoto.treno_presente);
  const input_compilazione senza_nul = dividi_input(std::string("\0riga", 5));
  EXPECT_EQ(senza_nul.linea, "riga");
  EXPECT_EQ(senza_nul.treno, "");
}

}  // namespace
}  // namespace prova
