// The codes the error record can hold, their meanings, and README's table
// "When the compiler says no", which must list the same codes in the same
// words.
#include "base/codici_errore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "supporto.h"

namespace scenario {
namespace {

// Code -> meaning, from the rows "| code | meaning | what to fix |" of the
// README section.
std::map<int32_t, std::string> tabella_readme() {
  const std::string readme = prova::leggi(std::filesystem::path(SCENARIO_SORGENTI) / "README.md");
  const std::size_t inizio = readme.find("## When the compiler says no");
  if (inizio == std::string::npos) return {};
  const std::size_t fine = readme.find("\n## ", inizio + 1);
  std::istringstream sezione(readme.substr(inizio, fine - inizio));
  std::map<int32_t, std::string> codici;
  std::string riga;
  while (std::getline(sezione, riga)) {
    if (riga.size() < 3 || riga[0] != '|' || riga[2] < '0' || riga[2] > '9') continue;
    const std::size_t dopo_codice = riga.find('|', 1);
    const std::size_t dopo_significato = riga.find('|', dopo_codice + 1);
    const int32_t codice = std::stoi(riga.substr(1, dopo_codice - 1));
    std::string significato = riga.substr(dopo_codice + 2, dopo_significato - dopo_codice - 3);
    codici[codice] = significato;
  }
  return codici;
}

TEST(CodiciErrore, EveryDefinedCodeHasAMeaningAndNoOtherCodeIsDefined) {
  for (const int32_t codice : kCodiciErrore) {
    EXPECT_TRUE(codice_definito(codice));
    EXPECT_NE(significato_codice(codice), "unknown code") << codice;
  }
  for (const int32_t codice : {-1, 14, 23, 26, 100, 104, 1250, 1251}) {
    EXPECT_FALSE(codice_definito(codice)) << codice;
    EXPECT_EQ(significato_codice(codice), "unknown code") << codice;
  }
}

TEST(CodiciErrore, ReadmeListsEveryCodeInTheProgramsOwnWords) {
  std::map<int32_t, std::string> readme = tabella_readme();
  ASSERT_FALSE(readme.empty()) << "README has no table under \"When the compiler says no\"";
  for (const int32_t codice : kCodiciErrore) {
    if (codice == 0) continue;
    ASSERT_TRUE(readme.contains(codice)) << "README does not list code " << codice;
    EXPECT_EQ(readme.at(codice), significato_codice(codice)) << codice;
    readme.erase(codice);
  }
  // Besides the error record's codes, only the two check numbers errore shows.
  EXPECT_TRUE(readme.contains(1250));
  EXPECT_TRUE(readme.contains(1251));
  readme.erase(1250);
  readme.erase(1251);
  EXPECT_TRUE(readme.empty()) << "README lists code " << readme.begin()->first
                              << ", which the program does not have";
}

}  // namespace
}  // namespace scenario
