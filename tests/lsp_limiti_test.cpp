// The language server's bounds: a text larger than check reads, a message
// nested or crowded beyond any editor's, many changes in one didChange, and
// many texts of one folder, each answered at a cost that follows the work.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "cliente_lsp.h"
#include "scenario/sorgenti.h"
#include "supporto.h"
#include "tools/lsp/documenti.h"
#include "tools/lsp/trasporto.h"
#include "tools/lsp/uri.h"

namespace scenario {
namespace {

using json = nlohmann::json;

json posizione(uint32_t riga, uint32_t colonna) { return {{"line", riga}, {"character", colonna}}; }

json cambio(uint32_t r1, uint32_t c1, uint32_t r2, uint32_t c2, const std::string& testo) {
  return {{"range", {{"start", posizione(r1, c1)}, {"end", posizione(r2, c2)}}}, {"text", testo}};
}

lsp::modifica_testo modifica(uint32_t r1, uint32_t c1, uint32_t r2, uint32_t c2,
                             std::string testo) {
  lsp::modifica_testo m;
  m.intervallo.emplace(lsp::posizione_editor{r1, c1}, lsp::posizione_editor{r2, c2});
  m.testo = std::move(testo);
  return m;
}

// ---------------------------------------------------------------- messages

TEST(LspLimiti, AMessageTooDeepOrTooCrowdedIsNamedWithoutBeingParsed) {
  const std::string profondo =
      std::string(lsp::kProfonditaMassima + 1, '[') + std::string(lsp::kProfonditaMassima + 1, ']');
  EXPECT_EQ(lsp::oltre_i_limiti(profondo),
            "the message nests deeper than 128 levels (at byte 128), deeper than any editor's "
            "message: it is not read");
  std::string affollato = "[0";
  for (std::size_t n = 0; n < lsp::kValoriMassimi; ++n) affollato += ",0";
  affollato += "]";
  EXPECT_EQ(lsp::oltre_i_limiti(affollato),
            "the message holds more than 1048576 values (at byte 2097150), more than any "
            "editor's message: it is not read");
  // At the limits, and brackets inside strings (escaped quotes too), pass.
  EXPECT_EQ(lsp::oltre_i_limiti(std::string(lsp::kProfonditaMassima, '[') +
                                std::string(lsp::kProfonditaMassima, ']')),
            std::nullopt);
  EXPECT_EQ(lsp::oltre_i_limiti(R"({"text": "[[[[ \" {{{{ ,,,,"})"), std::nullopt);
  EXPECT_EQ(lsp::oltre_i_limiti("\"" + std::string(1000, '[') + "\""), std::nullopt);
}

// 50 M brackets once made the server take 3.8 GB: now one error, and the
// server goes on.
TEST(LspLimiti, TheServerAnswersADeepMessageWithAnErrorAndGoesOn) {
  prova::cliente_lsp editor;
  editor.inizializza();
  const std::size_t prima = editor.ricevuti().size();
  const std::string corpo = std::string(1'000'000, '[');
  editor.grezzo("Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo);
  ASSERT_EQ(editor.ricevuti().size(), prima + 1);
  EXPECT_EQ(editor.ricevuti().back(),
            json({{"jsonrpc", "2.0"},
                  {"id", nullptr},
                  {"error",
                   {{"code", -32600},
                    {"message",
                     "the message nests deeper than 128 levels (at byte 128), deeper than any "
                     "editor's message: it is not read"}}}}));
  EXPECT_EQ(editor.richiesta("shutdown", nullptr)["result"], nullptr);
}

// A text larger than check reads from disk is not taken; a change that makes
// a text that large closes it, so no later change lands on a text the editor
// no longer has.
TEST(LspLimiti, ATextLargerThanASourceTextMayBeIsRefusedAndLogged) {
  prova::cartella_temporanea cartella;
  const std::string uri = lsp::uri_da_percorso(cartella / "R_linea.txt");
  prova::cliente_lsp editor;
  editor.inizializza();
  const std::size_t troppi = kLimiteTestoSorgente.byte + 1;
  editor.apri(uri, std::string(troppi, 'x'));
  const std::string atteso = "the text '" + uri + "' is 67108865 bytes, larger than 64 MiB, the " +
                             "most a source text may be: it is not judged until it is smaller";
  EXPECT_EQ(editor.ricevuti().back(),
            json({{"jsonrpc", "2.0"},
                  {"method", "window/logMessage"},
                  {"params", {{"type", 1}, {"message", "textDocument/didOpen: " + atteso}}}}));
  EXPECT_EQ(editor.pubblicazioni(uri), 0);
  EXPECT_EQ(editor.richiesta("textDocument/documentSymbol",
                             {{"textDocument", {{"uri", uri}}}})["error"]["code"],
            -32803);

  editor.apri(uri, "[generale]\n");
  ASSERT_EQ(editor.pubblicazioni(uri), 1);
  editor.notifica("textDocument/didChange",
                  {{"textDocument", {{"uri", uri}, {"version", editor.nuova_versione()}}},
                   {"contentChanges",
                    {cambio(1, 0, 1, 0, std::string(kLimiteTestoSorgente.byte - 11, 'x')),
                     cambio(0, 0, 0, 0, "x")}}});
  EXPECT_EQ(editor.ricevuti().back(),
            json({{"jsonrpc", "2.0"},
                  {"method", "window/logMessage"},
                  {"params",
                   {{"type", 1},
                    {"message", "textDocument/didChange: the text '" + uri + "' is 67108865 " +
                                    "bytes, larger than 64 MiB, the most a source text may be: " +
                                    "it is not judged until it is smaller"}}}}));
  EXPECT_EQ(editor.diagnostiche(uri), json::array());
  EXPECT_EQ(editor.richiesta("textDocument/documentSymbol",
                             {{"textDocument", {{"uri", uri}}}})["error"]["code"],
            -32803);
}

// ---------------------------------------------------------------- changes

// The changes of one didChange as one pass gives them, against the same
// changes sent one at a time (each then found in the text as it is).
TEST(LspLimiti, ManyChangesInOneMessageGiveWhatTheyGiveOneByOne) {
  const std::string testo =
      "ab\xC3\xA8"
      "cd\r\nefgh\rij\nkl\xF0\x9F\x98\x80mn\r\n\r\nop";
  struct caso {
    std::string nome;
    std::vector<lsp::modifica_testo> modifiche;
  };
  const std::vector<caso> casi = {
      {"from the end towards the start, each ending where the next began",
       {modifica(5, 0, 5, 2, "Z"), modifica(3, 4, 3, 6, "Y"), modifica(3, 2, 3, 4, "X"),
        modifica(0, 1, 1, 2, "W")}},
      {"insertions at one place", {modifica(1, 2, 1, 2, "1"), modifica(1, 2, 1, 2, "2")}},
      {"line ends put in and taken out",
       {modifica(3, 0, 3, 1, "\n\n"), modifica(1, 4, 2, 0, ""), modifica(0, 0, 0, 0, "\r")}},
      {"a LF put just after a lone CR", {modifica(2, 0, 2, 0, "\nq"), modifica(1, 0, 2, 0, "R")}},
      {"from the start towards the end",
       {modifica(0, 0, 0, 1, "A"), modifica(1, 0, 1, 1, "E"), modifica(3, 0, 3, 1, "K")}},
      {"clamped past a line's end and past the text's",
       {modifica(9, 0, 9, 9, "fine"), modifica(1, 90, 1, 99, "."), modifica(0, 50, 0, 60, ";")}},
      {"inside a character of two UTF-16 units",
       {modifica(3, 3, 3, 5, "?"), modifica(0, 3, 0, 3, "!")}},
      {"a range given end first", {modifica(1, 3, 1, 1, "-"), modifica(0, 2, 0, 0, "+")}},
      {"a whole text between ranges",
       {modifica(1, 0, 1, 1, "x"), lsp::modifica_testo{std::nullopt, "nuovo\ntesto"},
        modifica(1, 2, 1, 3, "S"), modifica(0, 0, 0, 1, "N")}},
  };
  for (const lsp::codifica_posizioni codifica :
       {lsp::codifica_posizioni::utf16, lsp::codifica_posizioni::utf8}) {
    for (const caso& c : casi) {
      SCOPED_TRACE(c.nome);
      lsp::archivio_documenti insieme;
      lsp::archivio_documenti uno_a_uno;
      insieme.apri("file:///R_linea.txt", testo, 1, "");
      uno_a_uno.apri("file:///R_linea.txt", testo, 1, "");
      ASSERT_TRUE(insieme.modifica("file:///R_linea.txt", c.modifiche, 2, codifica));
      for (const lsp::modifica_testo& m : c.modifiche) {
        ASSERT_TRUE(uno_a_uno.modifica("file:///R_linea.txt", {&m, 1}, 2, codifica));
      }
      EXPECT_EQ(insieme.aperto("file:///R_linea.txt")->unicode.utf8(),
                uno_a_uno.aperto("file:///R_linea.txt")->unicode.utf8());
    }
  }
}

// ---------------------------------------------------------------- many texts

// Each train text of a line opened in turn: what the editor already shows is
// not published again, so every opening publishes its own text (and, when
// its pair changes the line text's list, that one).
TEST(LspLimiti, OpeningManyTrainTextsPublishesOnlyWhatChanged) {
  prova::cartella_temporanea cartella;
  const std::string linea = testo_da_righe(righe_dati_linea());
  const std::string treno = testo_da_righe(righe_dati_treno());
  prova::scrivi(cartella / "R_linea.txt", linea);
  constexpr int kTreni = 40;
  for (int n = 0; n < kTreni; ++n) {
    prova::scrivi(cartella / ("R_" + std::to_string(n) + "-.txt"), treno);
  }
  prova::cliente_lsp editor;
  editor.inizializza();
  for (int n = 0; n < kTreni; ++n) {
    editor.apri(lsp::uri_da_percorso(cartella / ("R_" + std::to_string(n) + "-.txt")),
                utf8_da_1252(treno));
  }
  int pubblicate = 0;
  for (const json& m : editor.ricevuti()) {
    pubblicate += m.value("method", "") == "textDocument/publishDiagnostics" ? 1 : 0;
  }
  // The first opening publishes every text of the family once (the line and
  // the 40 trains, from disk), each later one its own text.
  EXPECT_EQ(pubblicate, 1 + kTreni + (kTreni - 1));
  for (int n = 0; n < kTreni; ++n) {
    const std::string uri = lsp::uri_da_percorso(cartella / ("R_" + std::to_string(n) + "-.txt"));
    EXPECT_EQ(editor.diagnostiche(uri), json::array()) << uri;
  }

  // A changed file on disk judges the family once, and nothing is new.
  const std::size_t prima = editor.ricevuti().size();
  editor.notifica("workspace/didChangeWatchedFiles", {{"changes", json::array()}});
  EXPECT_EQ(editor.ricevuti().size(), prima);
}

}  // namespace
}  // namespace scenario
