// The format reference for authors (docs/*.md) holds, word for word and in
// order, what the compiler's descriptions say: every row kind of a text with
// its keyword rule and its values, every record's members with offsets and
// widths, the plan element's forms and the evento kinds. When a description
// changes, the failure shows the block to put on the page.
#include "tools/riferimento/riferimento.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/righe.h"
#include "supporto.h"

namespace scenario {
namespace {

struct pagina {
  std::string file;
  std::vector<std::string> blocchi;  // in the order they stand on the page
};

std::vector<std::string> righe_del_testo(testo_letto t) {
  std::vector<std::string> blocchi;
  for (const descrizione_riga& d : tutte_le_righe()) {
    if (d.testo == t) blocchi.push_back(markdown_riga(d));
  }
  return blocchi;
}

std::vector<pagina> pagine() {
  std::vector<std::string> linea = righe_del_testo(testo_letto::linea);
  std::vector<std::string> treno = righe_del_testo(testo_letto::treno);
  linea.push_back(markdown_regole());
  treno.push_back(markdown_regole());
  return {{"docs/line-text.md", linea},
          {"docs/train-text.md", treno},
          {"docs/cell-file.md", {markdown_cella(), markdown_eventi()}},
          {"docs/table-file.md", {markdown_voce()}},
          {"docs/plan-file.md", {markdown_elemento()}}};
}

std::string sorgenti(const std::string& file) {
  return prova::leggi(std::filesystem::path(SCENARIO_SORGENTI) / file);
}

TEST(Riferimento, EachPageHoldsItsDescriptionsInOrder) {
  for (const pagina& p : pagine()) {
    SCOPED_TRACE(p.file);
    const std::string testo = sorgenti(p.file);
    std::size_t da = 0;
    for (const std::string& blocco : p.blocchi) {
      const std::size_t dove = testo.find(blocco, da);
      EXPECT_NE(dove, std::string::npos)
          << "this block is not on the page after byte " << da << " (put it there):\n"
          << blocco;
      if (dove != std::string::npos) da = dove + blocco.size();
    }
  }
}

TEST(Riferimento, TheReadmeLinksEveryPageAndListsCheckRules) {
  const std::string readme = sorgenti("README.md");
  EXPECT_NE(readme.find(markdown_regole()), std::string::npos) << "put it there:\n"
                                                               << markdown_regole();
  for (const pagina& p : pagine()) {
    EXPECT_NE(readme.find("(" + p.file + ")"), std::string::npos) << p.file;
  }
}

}  // namespace
}  // namespace scenario
