// The language server as an editor meets it: a scripted client opens a pair,
// sees check's diagnoses at their fields, fixes a slip and sees it cleared,
// asks for hover, completion, the outline and go to definition, and sends
// what a careless or broken client sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "base/scrittore_testo.h"
#include "cliente_lsp.h"
#include "compiler/righe.h"
#include "scenario/sorgenti.h"
#include "supporto.h"
#include "tools/lsp/diagnostica.h"
#include "tools/lsp/uri.h"
#include "tools/riferimento/riferimento.h"
#include "tools/verifica/verifica.h"

namespace scenario {
namespace {

using json = nlohmann::json;

const std::string kLinea = "R_linea.txt";
const std::string kTreno = "R_T-.txt";

// Replaces the first `prima` of `testo` with `dopo`.
std::string con(std::string testo, const std::string& prima, const std::string& dopo) {
  const std::size_t dove = testo.find(prima);
  EXPECT_NE(dove, std::string::npos) << prima;
  if (dove != std::string::npos) testo.replace(dove, prima.size(), dopo);
  return testo;
}

json intervallo(uint32_t riga, uint32_t da, uint32_t a) {
  return {{"start", {{"line", riga}, {"character", da}}},
          {"end", {{"line", riga}, {"character", a}}}};
}

json posizione(uint32_t riga, uint32_t colonna) { return {{"line", riga}, {"character", colonna}}; }

// The embedded pair as R_linea.txt and R_T-.txt in a folder of their own;
// the texts as the program writes them (Windows-1252).
class Lsp : public ::testing::Test {
 protected:
  Lsp() {
    prova::scrivi(cartella_ / kLinea, linea_);
    prova::scrivi(cartella_ / kTreno, treno_);
  }

  std::string uri(const std::string& nome) const { return lsp::uri_da_percorso(cartella_ / nome); }
  json documento(const std::string& nome) const { return {{"uri", uri(nome)}}; }
  json in(const std::string& nome, uint32_t riga, uint32_t colonna) const {
    return {{"textDocument", documento(nome)}, {"position", posizione(riga, colonna)}};
  }

  // What check says of these texts, by the names the server gives them.
  static std::vector<diagnosi> di_check(const std::string& linea, const std::string& treno) {
    return verifica_testi({kLinea, linea}, {kTreno, treno});
  }

  prova::cartella_temporanea cartella_;
  const std::string linea_ = testo_da_righe(righe_dati_linea());
  const std::string treno_ = testo_da_righe(righe_dati_treno());
  prova::cliente_lsp editor_;
};

// ---------------------------------------------------------------- diagnostics

TEST_F(Lsp, ASlipIsShownAtItsFieldAndClearedWhenFixed) {
  editor_.inizializza();
  // Line 42 of the train text: a signal moved onto the slowdown start's cell.
  const std::string treno = con(treno_, "segnale,    2850", "segnale,    2790");
  editor_.apri(uri(kTreno), utf8_da_1252(treno), "scenario-train");

  const std::vector<diagnosi> attese = di_check(linea_, treno);
  ASSERT_EQ(attese.size(), 1U);
  const json d = editor_.diagnostiche(uri(kTreno));
  ASSERT_EQ(d.size(), 1U) << d.dump(2);
  EXPECT_EQ(d[0]["range"], intervallo(41, 12, 16));
  EXPECT_EQ(d[0]["severity"], 1);
  EXPECT_EQ(d[0]["code"], "16");
  EXPECT_EQ(d[0]["source"], "scenario-tool");
  EXPECT_EQ(d[0]["message"], attese[0].messaggio);
  // The line text on disk, its partner, has nothing to show: an empty list.
  EXPECT_EQ(editor_.diagnostiche(uri(kLinea)), json::array());

  // The author types the old position back over the slip.
  editor_.notifica("textDocument/didChange",
                   {{"textDocument", {{"uri", uri(kTreno)}, {"version", editor_.nuova_versione()}}},
                    {"contentChanges", {{{"range", intervallo(41, 12, 16)}, {"text", "2850"}}}}});
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)), json::array());
  EXPECT_EQ(editor_.pubblicazioni(uri(kTreno)), 2);
}

TEST_F(Lsp, BothTextsOfThePairArePublishedWhenEitherChanges) {
  editor_.inizializza();
  editor_.apri(uri(kLinea), utf8_da_1252(linea_), "scenario-line");
  editor_.apri(uri(kTreno), utf8_da_1252(treno_), "scenario-train");
  // The train text just opened is published; the line text's list is what
  // the editor shows already, and is not sent again.
  EXPECT_EQ(editor_.pubblicazioni(uri(kLinea)), 1);
  EXPECT_EQ(editor_.pubblicazioni(uri(kTreno)), 2);

  // A route length of 5000 m in the line text leaves the train's rows beyond
  // the route: the errors go to the train text.
  editor_.notifica("textDocument/didChange",
                   {{"textDocument", {{"uri", uri(kLinea)}, {"version", editor_.nuova_versione()}}},
                    {"contentChanges", {{{"text", utf8_da_1252(con(linea_, "57000", " 5000"))}}}}});
  EXPECT_EQ(editor_.pubblicazioni(uri(kLinea)), 2);
  EXPECT_EQ(editor_.pubblicazioni(uri(kTreno)), 3);
  const std::vector<diagnosi> attese = di_check(con(linea_, "57000", " 5000"), treno_);
  ASSERT_FALSE(attese.empty());
  std::size_t del_treno = 0;
  for (const diagnosi& d : attese) del_treno += d.testo == 1 ? 1 : 0;
  EXPECT_GT(del_treno, 0U);
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)).size(), del_treno);
  EXPECT_EQ(editor_.diagnostiche(uri(kLinea)).size(), attese.size() - del_treno);
}

TEST_F(Lsp, ATextWithNoPartnerIsJudgedWithTheEmbeddedOneAndSaysSo) {
  prova::cartella_temporanea sola;
  const std::string linea = lsp::uri_da_percorso(sola / "SOLA_linea.txt");
  editor_.inizializza();
  editor_.apri(linea, utf8_da_1252(linea_));
  const json attesa = {
      {"range", intervallo(0, 0, 0)},
      {"severity", 3},
      {"code", "embedded-partner"},
      {"source", "scenario-tool"},
      {"message",
       "no train text pairs with this line text (the train texts of ROUTE_linea.txt are named "
       "ROUTE_TRAIN-.txt, in the same folder): it is judged with the embedded train text "
       "Ulmo_Tarvignano_Rovesco_4816-.txt"}};
  EXPECT_EQ(editor_.diagnostiche(linea), json::array({attesa}));

  const std::string treno = lsp::uri_da_percorso(sola / "ALTRA_T-.txt");
  editor_.apri(treno, utf8_da_1252(treno_));
  EXPECT_EQ(editor_.diagnostiche(treno)[0]["message"],
            "no line text pairs with this train text (the line text of ROUTE_TRAIN-.txt is named "
            "ROUTE_linea.txt, in the same folder): it is judged with the embedded line text "
            "Ulmo_Tarvignano_Rovesco_linea.txt");
}

TEST_F(Lsp, WhatLandsInAnEmbeddedPartnerIsToldAtTheStartOfTheText) {
  // A 5000 m line with the embedded train: its rows lie beyond the route.
  prova::cartella_temporanea sola;
  const std::string linea = lsp::uri_da_percorso(sola / "SOLA_linea.txt");
  const std::string corta = con(linea_, "57000", " 5000");
  editor_.inizializza();
  editor_.apri(linea, utf8_da_1252(corta));
  const std::vector<diagnosi> attese =
      verifica_testi({"SOLA_linea.txt", corta}, {"Ulmo_Tarvignano_Rovesco_4816-.txt", treno_});
  const auto nel_treno =
      std::find_if(attese.begin(), attese.end(), [](const diagnosi& d) { return d.testo == 1; });
  ASSERT_NE(nel_treno, attese.end());
  const json d = editor_.diagnostiche(linea);
  const json atteso = {
      {"range", intervallo(0, 0, 0)},
      {"severity", 1},
      {"code", nel_treno->codice},
      {"source", "scenario-tool"},
      {"message", "in the embedded train text Ulmo_Tarvignano_Rovesco_4816-.txt:" +
                      std::to_string(nel_treno->riga) + ":" + std::to_string(nel_treno->colonna) +
                      ": " + nel_treno->messaggio}};
  EXPECT_NE(std::find(d.begin(), d.end(), atteso), d.end()) << d.dump(2);
}

TEST_F(Lsp, EveryTrainTextOfALineIsJudgedWithIt) {
  const std::string secondo = "R_SECONDO-.txt";
  const std::string treno = con(treno_, "segnale,    2850", "segnale,    2790");
  prova::scrivi(cartella_ / secondo, treno);
  editor_.inizializza();
  editor_.apri(uri(kLinea), utf8_da_1252(linea_));
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)), json::array());
  ASSERT_EQ(editor_.diagnostiche(uri(secondo)).size(), 1U);
  EXPECT_EQ(editor_.diagnostiche(uri(secondo))[0]["code"], "16");
  EXPECT_EQ(editor_.diagnostiche(uri(kLinea)), json::array());
}

// The diagnoses kept for a pair are those of its texts as they are now.
TEST(LspVerifiche, TheKeptDiagnosesFollowTheTexts) {
  lsp::documento linea;
  linea.nome = kLinea;
  linea.compilato.byte = testo_da_righe(righe_dati_linea());
  lsp::documento treno;
  treno.nome = kTreno;
  treno.compilato.byte = testo_da_righe(righe_dati_treno());
  lsp::verifiche_fatte fatte;
  EXPECT_TRUE(fatte.di(linea, treno).empty());
  EXPECT_TRUE(fatte.di(linea, treno).empty());
  treno.compilato.byte = con(treno.compilato.byte, "segnale,    2850", "segnale,    2790");
  const std::vector<diagnosi>& dopo = fatte.di(linea, treno);
  ASSERT_EQ(dopo.size(), 1U);
  EXPECT_EQ(dopo[0].codice, "16");
  EXPECT_EQ(dopo[0].file, kTreno);
  treno.compilato.byte = testo_da_righe(righe_dati_treno());
  EXPECT_TRUE(fatte.di(linea, treno).empty());
}

TEST_F(Lsp, ClosingTheLastTextOfAPairClearsItsDiagnostics) {
  prova::scrivi(cartella_ / kTreno, con(treno_, "segnale,    2850", "segnale,    2790"));
  editor_.inizializza();
  editor_.apri(uri(kLinea), utf8_da_1252(linea_));
  ASSERT_EQ(editor_.diagnostiche(uri(kTreno)).size(), 1U);
  editor_.notifica("textDocument/didClose", {{"textDocument", documento(kLinea)}});
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)), json::array());
  EXPECT_EQ(editor_.diagnostiche(uri(kLinea)), json::array());
}

TEST_F(Lsp, ClosingOneTextJudgesItsPartnerAgainWithTheTextOnDisk) {
  editor_.inizializza();
  // In the editor, a 5000 m line puts the train's rows beyond the route.
  editor_.apri(uri(kLinea), utf8_da_1252(con(linea_, "57000", " 5000")));
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  ASSERT_FALSE(editor_.diagnostiche(uri(kTreno)).empty());
  // Closed unsaved: the line text on disk is the whole route again.
  editor_.notifica("textDocument/didClose", {{"textDocument", documento(kLinea)}});
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)), json::array());
  EXPECT_EQ(editor_.diagnostiche(uri(kLinea)), json::array());

  // With no line text on disk either, the train text is judged with the
  // embedded one.
  std::filesystem::remove(cartella_ / kLinea);
  editor_.apri(uri(kLinea), utf8_da_1252(linea_));
  editor_.notifica("textDocument/didClose", {{"textDocument", documento(kLinea)}});
  ASSERT_EQ(editor_.diagnostiche(uri(kTreno)).size(), 1U);
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno))[0]["code"], "embedded-partner");
}

TEST_F(Lsp, ACharacterTheCodePageCannotWriteIsAWarningAtIt) {
  editor_.inizializza();
  // U+2192 RIGHTWARDS ARROW in a station name.
  const std::string treno = con(utf8_da_1252(treno_), "VESSANO", "VESSANO \xE2\x86\x92 EST");
  editor_.apri(uri(kTreno), treno);
  const json atteso = {{"range", intervallo(29, 80, 81)},
                       {"severity", 2},
                       {"code", "encoding"},
                       {"source", "scenario-tool"},
                       {"message",
                        "the character '\xE2\x86\x92' (U+2192) cannot be written in Windows-1252, "
                        "the code page of the source texts: the compiler reads '?' in its place. "
                        "Write it with a character of the code page, or leave it out"}};
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)), json::array({atteso}));
}

TEST_F(Lsp, ATextTheEditorReadsAsSavedInUtf8IsAWarning) {
  // On disk as UTF-8, and the editor holds what the file holds.
  prova::scrivi(cartella_ / kTreno, utf8_da_1252(treno_));
  editor_.inizializza();
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  const json atteso = {{"range", intervallo(28, 73, 74)},
                       {"severity", 2},
                       {"code", "encoding"},
                       {"source", "scenario-tool"},
                       {"message",
                        "this text is saved as UTF-8 and the editor reads it so, but the program "
                        "reads Windows-1252: '\xC2\xB0' will read as '\xC3\x82\xC2\xB0'. Reopen "
                        "the text as Windows-1252 and save it so"}};
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)), json::array({atteso}));
  // Saved as Windows-1252, the warning goes.
  prova::scrivi(cartella_ / kTreno, treno_);
  editor_.notifica("textDocument/didSave", {{"textDocument", documento(kTreno)}});
  EXPECT_EQ(editor_.diagnostiche(uri(kTreno)), json::array());
}

// ---------------------------------------------------------------- encodings

// Line 42 of the train text with a comment field before the signal: the
// error's column counts "-è-, " as 5 characters, 5 UTF-16 units and 6 UTF-8
// bytes; a station name with a character beyond the 16-bit range (U+1F686,
// two UTF-16 units, four UTF-8 bytes) after "Città ".
TEST_F(Lsp, ColumnsAreUtf16UnitsOrUtf8BytesAsNegotiated) {
  const std::string treno =
      con(con(utf8_da_1252(treno_), "segnale,    2850", "-\xC3\xA8-, segnale,    2790"), "VESSANO",
          "Citt\xC3\xA0 \xF0\x9F\x9A\x86");
  struct caso {
    json offerte;
    std::string scelta;
    json errore;
    json codifica;
  };
  const std::vector<caso> casi = {
      {json(), "utf-16", intervallo(41, 17, 21), intervallo(29, 78, 80)},
      {json::array({"utf-16"}), "utf-16", intervallo(41, 17, 21), intervallo(29, 78, 80)},
      {json::array({"utf-8", "utf-16"}), "utf-8", intervallo(41, 18, 22), intervallo(29, 79, 83)},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.scelta);
    prova::cliente_lsp editor;
    json capacita = json::object();
    if (!c.offerte.is_null()) capacita["general"]["positionEncodings"] = c.offerte;
    const json r = editor.inizializza(capacita);
    EXPECT_EQ(r["result"]["capabilities"]["positionEncoding"], c.scelta);
    editor.apri(uri(kTreno), treno);
    const json d = editor.diagnostiche(uri(kTreno));
    const auto codice = [&](const std::string& cod) {
      return std::find_if(d.begin(), d.end(), [&](const json& x) { return x["code"] == cod; });
    };
    ASSERT_NE(codice("16"), d.end()) << d.dump(2);
    EXPECT_EQ((*codice("16"))["range"], c.errore);
    ASSERT_NE(codice("encoding"), d.end()) << d.dump(2);
    EXPECT_EQ((*codice("encoding"))["range"], c.codifica);

    // Hover at the same column finds the same field in either count.
    const json h =
        editor.richiesta("textDocument/hover", in(kTreno, 41, c.errore["start"]["character"]));
    EXPECT_EQ(h["result"]["range"], c.errore);
  }
}

// ---------------------------------------------------------------- hover

TEST_F(Lsp, HoverOnAKeywordIsTheRowKindFromTheReference) {
  editor_.inizializza();
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  const json h = editor_.richiesta("textDocument/hover", in(kTreno, 41, 3));
  EXPECT_EQ(
      h["result"]["contents"],
      json({{"kind", "markdown"}, {"value", markdown_riga(descrizione(tipo_riga::segnale))}}));
  EXPECT_EQ(h["result"]["range"], intervallo(41, 0, 7));
}

TEST_F(Lsp, HoverOnAValueTellsItsSlotWhatIsStoredAndItsCell) {
  editor_.inizializza();
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  const json h = editor_.richiesta("textDocument/hover", in(kTreno, 41, 14));
  EXPECT_EQ(h["result"]["contents"]["value"],
            "**posizione**, value 1 of 11 of the signal row `segnale`\n"
            "\n"
            "- unit: m\n"
            "- slot: 32-bit, -2147483648 to 2147483647\n"
            "- stored: 2850\n"
            "- the signal's cell: cell 58, 2900 to 2949 m\n"
            "- laid on cell 58 (2900 to 2949 m): signal\n"
            "\n" +
                std::string(descrizione(tipo_riga::segnale).campi[0].uso) + "\n");
  EXPECT_EQ(h["result"]["range"], intervallo(41, 12, 16));

  // A slowdown's start, with its warning board 1200 m before it.
  const json r = editor_.richiesta("textDocument/hover", in(kTreno, 37, 19));
  EXPECT_EQ(r["result"]["contents"]["value"],
            "**x**, value 1 of 6 of the slowdown row `rallentamento`\n"
            "\n"
            "- unit: m\n"
            "- slot: 32-bit, -2147483648 to 2147483647\n"
            "- stored: 2800\n"
            "- the start's cell: cell 57, 2850 to 2899 m\n"
            "- the warning board's cell: cell 33, 1650 to 1699 m\n"
            "- laid on cell 66 (3300 to 3349 m): slowdown end\n"
            "- laid on cell 57 (2850 to 2899 m): slowdown start\n"
            "- laid on cell 33 (1650 to 1699 m): slowdown warning board\n"
            "\n" +
                std::string(descrizione(tipo_riga::rallentamento).campi[0].uso) + "\n");
}

TEST_F(Lsp, HoverShowsTheValueAsItsSlotTookIt) {
  editor_.inizializza();
  editor_.apri(uri(kTreno),
               utf8_da_1252(con(treno_, "velocita,   18600,    75", "velocita,   18600,  74.6")));
  const json h = editor_.richiesta("textDocument/hover", in(kTreno, 17, 23));
  EXPECT_EQ(h["result"]["contents"]["value"],
            "**speed**, value 2 of 2 of the speed row `velocita`\n"
            "\n"
            "- unit: km/h\n"
            "- slot: 32-bit, -2147483648 to 2147483647\n"
            "- real lines keep it within 0 to 350\n"
            "- stored: 75 (written 74.6)\n"
            "\n" +
                std::string(descrizione(tipo_riga::velocita).campi[1].uso) + "\n");
}

TEST_F(Lsp, HoverWhereNoRowStandsIsNothing) {
  editor_.inizializza();
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  // The header "[stazioni]" is read by no row kind; the blanks after a row
  // belong to no field.
  EXPECT_EQ(editor_.richiesta("textDocument/hover", in(kTreno, 26, 3))["result"], nullptr);
  EXPECT_EQ(editor_.richiesta("textDocument/hover", in(kTreno, 41, 9))["result"], nullptr);
}

// ---------------------------------------------------------------- completion

std::vector<std::string> etichette(const json& voci) {
  std::vector<std::string> r;
  for (const json& v : voci) r.push_back(v["label"]);
  return r;
}

// The keywords of a section, from the table, then the text's headers.
std::vector<std::string> attese(testo_letto testo, sezione_riga sezione) {
  std::vector<std::string> r;
  for (const descrizione_riga& d : tutte_le_righe()) {
    if (d.testo == testo && d.sezione == sezione) r.emplace_back(d.scritta);
  }
  for (std::string_view i : intestazioni(testo)) r.emplace_back(i);
  return r;
}

TEST_F(Lsp, CompletionOffersTheKeywordsOfTheSectionWithTheirValues) {
  const json snippet = {
      {"textDocument", {{"completion", {{"completionItem", {{"snippetSupport", true}}}}}}}};
  editor_.inizializza(snippet);
  editor_.apri(uri(kLinea), utf8_da_1252(con(linea_, "sfondo uno", "\r\nsfondo uno")));
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));

  // Line 6 is empty now, in the general section.
  const json generale = editor_.richiesta("textDocument/completion", in(kLinea, 5, 0))["result"];
  EXPECT_EQ(etichette(generale), attese(testo_letto::linea, sezione_riga::generale));
  EXPECT_EQ(
      generale[0],
      json(
          {{"label", "lunghezza percorso"},
           {"kind", 14},
           {"detail", "route length row"},
           {"filterText", "lunghezza percorso"},
           {"textEdit",
            {{"range", intervallo(5, 0, 0)}, {"newText", "lunghezza percorso, ${1:route length}"}}},
           {"insertTextFormat", 2},
           {"documentation",
            {{"kind", "markdown"}, {"value", markdown_riga(descrizione(tipo_riga::lunghezza))}}}}));

  // On the first curve row, after [curve]: what follows the general
  // section; "cur" typed is replaced.
  const json dopo = editor_.richiesta("textDocument/completion", in(kLinea, 11, 3))["result"];
  EXPECT_EQ(etichette(dopo), attese(testo_letto::linea, sezione_riga::dopo_generale));
  EXPECT_EQ(dopo[1]["textEdit"], json({{"range", intervallo(11, 0, 3)},
                                       {"newText", "curvas4, ${1:start}, ${2:length}"}}));

  const json treno = editor_.richiesta("textDocument/completion", in(kTreno, 41, 0))["result"];
  EXPECT_EQ(etichette(treno), attese(testo_letto::treno, sezione_riga::treno));

  // Among the values, no keyword is offered.
  EXPECT_EQ(editor_.richiesta("textDocument/completion", in(kTreno, 41, 14))["result"],
            json::array());
}

TEST_F(Lsp, WithoutSnippetsCompletionInsertsTheKeywordAndAComma) {
  editor_.inizializza();
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  const json voci = editor_.richiesta("textDocument/completion", in(kTreno, 41, 2))["result"];
  const auto segnale =
      std::find_if(voci.begin(), voci.end(), [](const json& v) { return v["label"] == "segnale"; });
  ASSERT_NE(segnale, voci.end());
  EXPECT_EQ((*segnale)["textEdit"],
            json({{"range", intervallo(41, 0, 2)}, {"newText", "segnale, "}}));
  EXPECT_EQ((*segnale)["insertTextFormat"], 1);
}

// ---------------------------------------------------------------- outline

TEST_F(Lsp, TheOutlineHasSectionsStationsSignalsAndSlowdowns) {
  editor_.inizializza(
      {{"textDocument", {{"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}}}});
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  const json s = editor_.richiesta("textDocument/documentSymbol",
                                   {{"textDocument", documento(kTreno)}})["result"];
  std::vector<std::string> sezioni;
  for (const json& x : s) sezioni.push_back(x["name"]);
  EXPECT_EQ(sezioni,
            (std::vector<std::string>{"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]",
                                      "[rallentamenti]", "[segnali]", "[codici]", "[fine]"}));
  const json& stazioni = s[3];
  EXPECT_EQ(stazioni["kind"], 3);
  EXPECT_EQ(stazioni["range"], json({{"start", posizione(26, 0)}, {"end", posizione(35, 84)}}));
  ASSERT_EQ(stazioni["children"].size(), 9U);
  EXPECT_EQ(stazioni["children"][1], json({{"name", "2\xC2\xB0 bivio ULMO NORD"},
                                           {"kind", 19},
                                           {"range", intervallo(28, 0, 90)},
                                           {"selectionRange", intervallo(28, 72, 90)},
                                           {"detail", "station at 5650 m"}}));
  EXPECT_EQ(s[4]["children"][0], json({{"name", "slowdown at 2800 m"},
                                       {"kind", 8},
                                       {"range", intervallo(37, 0, 47)},
                                       {"selectionRange", intervallo(37, 18, 22)},
                                       {"detail", "60 km/h for 450 m"}}));
  ASSERT_EQ(s[5]["children"].size(), 16U);
  EXPECT_EQ(s[5]["children"][0]["name"], "signal at 1500 m");
  EXPECT_EQ(s[5]["children"][0]["kind"], 24);
}

TEST_F(Lsp, AFlatOutlineNamesTheSectionOfEachRow) {
  editor_.inizializza();
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  const json s = editor_.richiesta("textDocument/documentSymbol",
                                   {{"textDocument", documento(kTreno)}})["result"];
  const auto ulmo =
      std::find_if(s.begin(), s.end(), [](const json& x) { return x["name"] == "ULMO"; });
  ASSERT_NE(ulmo, s.end());
  EXPECT_EQ(*ulmo, json({{"name", "ULMO"},
                         {"kind", 19},
                         {"location", {{"uri", uri(kTreno)}, {"range", intervallo(27, 0, 76)}}},
                         {"containerName", "[stazioni]"}}));
}

// ---------------------------------------------------------------- definition

TEST_F(Lsp, DefinitionGoesToTheRelatedPlaceOfADiagnostic) {
  editor_.inizializza();
  // The first signal row lacks its tempo: the reader takes the next line's
  // keyword for it. The warning stands at the short row's last field, its
  // related place at the keyword taken.
  const std::string treno =
      con(treno_, "2,0,0, 0\r\nsegnale,    2850", "2,0,0\r\nsegnale,    2850");
  editor_.apri(uri(kTreno), utf8_da_1252(treno));
  const json d = editor_.diagnostiche(uri(kTreno));
  const auto corta =
      std::find_if(d.begin(), d.end(), [](const json& x) { return x["code"] == "short-row"; });
  ASSERT_NE(corta, d.end()) << d.dump(2);
  EXPECT_EQ((*corta)["range"], intervallo(40, 47, 48));
  const json luogo = {{"uri", uri(kTreno)}, {"range", intervallo(41, 0, 7)}};
  EXPECT_EQ((*corta)["relatedInformation"][0]["location"], luogo);

  const json r = editor_.richiesta("textDocument/definition", in(kTreno, 40, 47));
  EXPECT_EQ(r["result"], json::array({luogo}));
  // Elsewhere there is nowhere to go.
  EXPECT_EQ(editor_.richiesta("textDocument/definition", in(kTreno, 30, 3))["result"],
            json::array());
}

// ---------------------------------------------------------------- messages

struct caso_errato {
  std::string nome;
  std::string byte;
  json id;
  int codice;
};

TEST_F(Lsp, AMalformedMessageGetsAnErrorAndTheServerGoesOn) {
  editor_.inizializza();
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  const std::string hover_senza_posizione =
      json({{"jsonrpc", "2.0"},
            {"id", 9},
            {"method", "textDocument/hover"},
            {"params", {{"textDocument", documento(kTreno)}}}})
          .dump();
  const std::vector<caso_errato> casi = {
      {"not JSON", "Content-Length: 5\r\n\r\n{bad}", nullptr, -32700},
      {"no Content-Length", "Content-Type: x\r\n\r\n{}", nullptr, -32700},
      {"a length that is no number", "Content-Length: many\r\n\r\n", nullptr, -32700},
      {"a batch", prova::cornice(json::array({1, 2})), nullptr, -32600},
      {"an id of the wrong kind",
       prova::cornice({{"jsonrpc", "2.0"}, {"id", 1.5}, {"method", "x"}}), nullptr, -32600},
      {"no jsonrpc", prova::cornice({{"id", 7}, {"method", "shutdown"}}), 7, -32600},
      {"no method", prova::cornice({{"jsonrpc", "2.0"}, {"id", 8}}), 8, -32600},
      {"an unknown method", prova::cornice({{"jsonrpc", "2.0"}, {"id", "a"}, {"method", "nope"}}),
       "a", -32601},
      {"params of the wrong kind",
       prova::cornice(
           {{"jsonrpc", "2.0"}, {"id", 10}, {"method", "textDocument/hover"}, {"params", 3}}),
       10, -32602},
      {"a missing parameter", prova::cornice(json::parse(hover_senza_posizione)), 9, -32602},
      {"a text not open",
       prova::cornice({{"jsonrpc", "2.0"},
                       {"id", 11},
                       {"method", "textDocument/hover"},
                       {"params", in("ALTRO_linea.txt", 0, 0)}}),
       11, -32803},
      {"a second initialize",
       prova::cornice({{"jsonrpc", "2.0"},
                       {"id", 12},
                       {"method", "initialize"},
                       {"params", {{"capabilities", json::object()}}}}),
       12, -32600},
  };
  for (const caso_errato& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::size_t prima = editor_.ricevuti().size();
    editor_.grezzo(c.byte);
    ASSERT_EQ(editor_.ricevuti().size(), prima + 1);
    const json& r = editor_.ricevuti().back();
    EXPECT_EQ(r["jsonrpc"], "2.0");
    EXPECT_EQ(r["id"], c.id);
    EXPECT_EQ(r["error"]["code"], c.codice) << r.dump();
  }
  EXPECT_EQ(editor_.ricevuti().back()["error"]["message"], "initialize was already sent");
  const json senza = editor_.risposta(9);
  EXPECT_EQ(senza["error"]["message"], "params has no member 'position'");

  // A notification's fault is logged, as nothing answers it.
  editor_.notifica("textDocument/didChange",
                   {{"textDocument", {{"uri", uri("ALTRO-.txt")}, {"version", 3}}},
                    {"contentChanges", json::array()}});
  EXPECT_EQ(editor_.ricevuti().back(),
            json({{"jsonrpc", "2.0"},
                  {"method", "window/logMessage"},
                  {"params",
                   {{"type", 1},
                    {"message", "textDocument/didChange: the text '" + uri("ALTRO-.txt") +
                                    "' is not open: open it first"}}}}));

  // And the server still answers.
  const json h = editor_.richiesta("textDocument/hover", in(kTreno, 41, 3));
  EXPECT_EQ(h["result"]["range"], intervallo(41, 0, 7));
}

TEST_F(Lsp, MessagesOutOfOrderGetTheProtocolsAnswers) {
  // Before initialize: requests are refused, notifications dropped.
  EXPECT_EQ(editor_.richiesta("shutdown", nullptr)["error"]["code"], -32002);
  editor_.apri(uri(kTreno), utf8_da_1252(treno_));
  EXPECT_EQ(editor_.pubblicazioni(uri(kTreno)), 0);

  editor_.inizializza();
  EXPECT_EQ(editor_.richiesta("shutdown", nullptr)["result"], nullptr);
  EXPECT_EQ(editor_.richiesta("textDocument/hover", in(kTreno, 0, 0))["error"]["code"], -32600);
  EXPECT_FALSE(editor_.finito());
  editor_.notifica("exit", nullptr);
  EXPECT_TRUE(editor_.finito());
  EXPECT_EQ(editor_.stato_uscita(), 0);

  prova::cliente_lsp senza_shutdown;
  senza_shutdown.inizializza();
  senza_shutdown.notifica("exit", nullptr);
  EXPECT_TRUE(senza_shutdown.finito());
  EXPECT_EQ(senza_shutdown.stato_uscita(), 1);
}

// The subcommand itself, on real pipes: the exit statuses the protocol asks
// for.
TEST_F(Lsp, TheSubcommandServesStandardInputAndOutput) {
  const std::string inizio =
      prova::cornice({{"jsonrpc", "2.0"},
                      {"id", 1},
                      {"method", "initialize"},
                      {"params", {{"capabilities", json::object()}}}}) +
      prova::cornice(
          {{"jsonrpc", "2.0"},
           {"method", "textDocument/didOpen"},
           {"params",
            {{"textDocument",
              {{"uri", uri(kTreno)},
               {"languageId", "scenario-train"},
               {"version", 1},
               {"text", utf8_da_1252(con(treno_, "segnale,    2850", "segnale,    2790"))}}}}}});
  const std::string fine = prova::cornice({{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}}) +
                           prova::cornice({{"jsonrpc", "2.0"}, {"method", "exit"}});
  struct caso {
    std::string nome;
    std::string ingresso;
    int stato;
  };
  for (const caso& c :
       {caso{"shutdown and exit", inizio + fine, 0},
        caso{"exit alone", inizio + prova::cornice({{"jsonrpc", "2.0"}, {"method", "exit"}}), 1},
        caso{"the input ends", inizio, 1}}) {
    SCOPED_TRACE(c.nome);
    prova::scrivi(cartella_ / "ingresso", c.ingresso);
    const prova::esito_processo e = prova::esegui(
        {"/bin/sh", "-c", "exec \"$0\" lsp < ingresso", SCENARIO_STRUMENTO}, cartella_.percorso());
    EXPECT_EQ(e.stato, c.stato) << e.errori;
    EXPECT_EQ(e.errori, "");
    std::istringstream uscita(e.uscita);
    lsp::lettore_messaggi lettore(uscita);
    std::vector<json> ricevuti;
    for (lsp::messaggio_letto m = lettore.leggi(); m.tipo == lsp::messaggio_letto::esito::messaggio;
         m = lettore.leggi()) {
      ricevuti.push_back(json::parse(m.corpo));
    }
    ASSERT_GE(ricevuti.size(), 3U);
    EXPECT_EQ(ricevuti[0]["id"], 1);
    EXPECT_EQ(ricevuti[1]["params"]["diagnostics"][0]["code"], "16");
  }
}

}  // namespace
}  // namespace scenario
