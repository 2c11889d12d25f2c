// The language server shows exactly what `check --json` says of the same two
// texts: the same diagnoses in the same order, each at check's line and
// column, with its severity, code, words and related places. check runs as
// the built scenario-tool in the texts' folder; the server gets the texts as
// an editor sends them (Unicode).
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "base/scrittore_testo.h"
#include "cliente_lsp.h"
#include "fuzz/proprieta_compilazione.h"
#include "scenario/sorgenti.h"
#include "supporto.h"
#include "tools/lsp/posizioni.h"
#include "tools/lsp/uri.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

const std::string kLinea = "R_linea.txt";
const std::string kTreno = "R_T-.txt";

struct coppia {
  std::string nome;
  std::string linea;  // Windows-1252
  std::string treno;
};

std::string con(std::string testo, const std::string& prima, const std::string& dopo) {
  const std::size_t dove = testo.find(prima);
  if (dove != std::string::npos) testo.replace(dove, prima.size(), dopo);
  return testo;
}

// The embedded texts, slips of every kind check knows, and every seed and
// former finding of the compile's fuzzing that has both texts.
std::vector<coppia> casi() {
  const std::string linea = testo_da_righe(righe_dati_linea());
  const std::string treno = testo_da_righe(righe_dati_treno());
  std::vector<coppia> tutti = {
      {"embedded", linea, treno},
      {"readme example", con(linea, "pendenza,  20130", "pendenza,  20170"),
       con(con(treno, "velocita,   18600,    75", "velocita,   18600,    72"), "segnale,    2850",
           "segnale,    2790")},
      {"a short row", linea,
       con(treno, "2,0,0, 0\r\nsegnale,    2850", "2,0,0\r\nsegnale,    2850")},
      {"a short route: many errors, some left out", con(linea, "57000", " 5000"), treno},
      {"no route length", con(linea, "lunghezza percorso", "lunghezza"), treno},
      {"a text saved as UTF-8", linea, utf8_da_1252(treno)},
      {"an empty train text", linea, ""},
  };
  const fs::path fuzz = fs::path(SCENARIO_SORGENTI) / "tests" / "fuzz";
  for (const char* cartella : {"corpus", "regressioni"}) {
    for (const auto& voce : fs::directory_iterator(fuzz / cartella)) {
      const prova::input_compilazione input = prova::dividi_input(prova::leggi(voce.path()));
      if (!input.linea_presente || !input.treno_presente) continue;
      tutti.push_back({voce.path().filename().string(), input.linea, input.treno});
    }
  }
  return tutti;
}

std::string severita(int s) {
  switch (s) {
    case 1:
      return "error";
    case 2:
      return "warning";
    default:
      return "note";
  }
}

// A Range's start as check gives a place: line and column from 1 (the range
// 0:0 to 0:0 stands for a text as a whole, line and column 0). The texts of
// these cases hold only characters of the 16-bit range, so a UTF-16 column
// is a character, one byte of the Windows-1252 text.
void luogo(json& j, const json& range) {
  const bool intero = range["start"] == range["end"] && range["start"]["line"] == 0 &&
                      range["start"]["character"] == 0;
  j["line"] = intero ? 0 : range["start"]["line"].get<int>() + 1;
  j["column"] = intero ? 0 : range["start"]["character"].get<int>() + 1;
}

// The server's diagnostics of one text in check's JSON form.
json come_check(const json& diagnostiche, const std::string& file) {
  json lista = json::array();
  for (const json& d : diagnostiche) {
    json j = {{"file", file}};
    luogo(j, d["range"]);
    j["severity"] = severita(d["severity"]);
    j["code"] = d.value("code", "");
    j["message"] = d["message"];
    if (d.contains("relatedInformation")) {
      json correlati = json::array();
      for (const json& c : d["relatedInformation"]) {
        json r = {{"file", lsp::nome_da_uri(c["location"]["uri"].get<std::string>())}};
        luogo(r, c["location"]["range"]);
        r["message"] = c["message"];
        correlati.push_back(std::move(r));
      }
      j["related"] = std::move(correlati);
    }
    lista.push_back(std::move(j));
  }
  return lista;
}

TEST(LspComeCheck, TheDiagnosticsOfAPairAreCheckJsons) {
  std::size_t con_diagnosi = 0;
  std::size_t con_correlati = 0;
  for (const coppia& c : casi()) {
    SCOPED_TRACE(c.nome);
    // The editor's Unicode must come back as the same bytes.
    ASSERT_EQ(lsp::in_1252(utf8_da_1252(c.linea)).byte, c.linea);
    ASSERT_EQ(lsp::in_1252(utf8_da_1252(c.treno)).byte, c.treno);
    prova::cartella_temporanea cartella;
    prova::scrivi(cartella / kLinea, c.linea);
    prova::scrivi(cartella / kTreno, c.treno);
    const prova::esito_processo check =
        prova::esegui({SCENARIO_STRUMENTO, "check", kLinea, kTreno, "--json"}, cartella.percorso());
    ASSERT_TRUE(check.stato == 0 || check.stato == 1) << check.errori;
    json attesa = json::parse(check.uscita);
    // "more" is in the message too ("and 12 more like this").
    for (json& d : attesa) d.erase("more");

    prova::cliente_lsp editor;
    editor.inizializza();
    const std::string linea = lsp::uri_da_percorso(cartella / kLinea);
    const std::string treno = lsp::uri_da_percorso(cartella / kTreno);
    editor.apri(linea, utf8_da_1252(c.linea));
    editor.apri(treno, utf8_da_1252(c.treno));
    json mostrata = come_check(editor.diagnostiche(linea), kLinea);
    for (json& d : come_check(editor.diagnostiche(treno), kTreno)) mostrata.push_back(d);
    if (!attesa.empty()) ++con_diagnosi;
    for (const json& d : attesa) con_correlati += d.contains("related") ? 1U : 0U;
    EXPECT_EQ(mostrata, attesa) << "the server:\n"
                                << mostrata.dump(1) << "\ncheck:\n"
                                << attesa.dump(1);
  }
  // The cases are no empty comparisons.
  EXPECT_GE(con_diagnosi, 6U);
  EXPECT_GE(con_correlati, 1U);
}

}  // namespace
}  // namespace scenario
