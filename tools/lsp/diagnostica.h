// check's diagnoses of a family of texts as the editor shows them: for every
// text of it that has a URI, the protocol's Diagnostic objects, each with
// the range of its field, check's severity, code and words, and its related
// places. The server adds two of its own: a character of the editor's text
// that the code page cannot write (a warning under check's "encoding"
// rule), and a text judged with an embedded partner ("embedded-partner", an
// information, once, at the text's start).
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "tools/lsp/documenti.h"
#include "tools/lsp/posizioni.h"
#include "tools/verifica/verifica.h"

namespace scenario::lsp {

// What the diagnostics name as their source.
inline constexpr std::string_view kSorgenteDiagnosi = "scenario-tool";
// The code of the information that a text is judged with an embedded partner.
inline constexpr std::string_view kCodicePartner = "embedded-partner";

// The range of a place of `d` given as check gives it: line and column from
// 1, columns in bytes of the Windows-1252 text (line 0: the text as a whole,
// the range 0:0).
nlohmann::json intervallo(const documento& d, int64_t riga, int64_t colonna, std::size_t larghezza,
                          codifica_posizioni codifica);

// check's diagnoses of the pairs judged so far, kept with the texts they
// were found in: a pair whose two texts are what they were is not compiled
// again (the other trains of a line when one changes, a text saved).
class verifiche_fatte {
 public:
  const std::vector<diagnosi>& di(const documento& linea, const documento& treno);

 private:
  struct verifica {
    bool fatta = false;
    std::string linea;
    std::string treno;
    std::vector<diagnosi> trovate;
  };
  // By the names the two texts go by in the diagnoses.
  std::map<std::pair<std::string, std::string>, verifica> fatte_;
};

// By URI, the list of Diagnostic objects of every text of the family (the
// embedded texts have none: what concerns them is told at the start of the
// text they were judged with). A line text judged with several train texts
// gets what each pair finds, once.
std::map<std::string, nlohmann::json> diagnostiche_famiglia(const famiglia& f,
                                                            codifica_posizioni codifica,
                                                            verifiche_fatte& fatte);

}  // namespace scenario::lsp
