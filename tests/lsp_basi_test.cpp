// The language server's groundwork: the framing of messages on the stream,
// positions counted as the editor and as the compiler count them, and file
// URIs.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/lsp/posizioni.h"
#include "tools/lsp/trasporto.h"
#include "tools/lsp/uri.h"

namespace scenario::lsp {
namespace {

// ---------------------------------------------------------------- framing

// What the reader makes of a stream: "M:body" for a message, "E:reason" for
// a header block it cannot take, until the end.
std::vector<std::string> letti(const std::string& byte) {
  std::istringstream ingresso(byte);
  lettore_messaggi lettore(ingresso);
  std::vector<std::string> r;
  for (messaggio_letto m = lettore.leggi(); m.tipo != messaggio_letto::esito::fine;
       m = lettore.leggi()) {
    r.push_back(m.tipo == messaggio_letto::esito::messaggio ? "M:" + m.corpo : "E:" + m.errore);
  }
  return r;
}

struct caso_cornice {
  std::string nome;
  std::string byte;
  std::vector<std::string> attesi;
};

TEST(LspCornice, MessagesAreReadByTheirLengthAndBadHeadersAreSkipped) {
  const std::vector<caso_cornice> casi = {
      {"one message", "Content-Length: 2\r\n\r\n{}", {"M:{}"}},
      {"two, back to back",
       "Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]",
       {"M:{}", "M:[1]"}},
      {"a Content-Type and any letter case",
       "content-length:  4 \r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\nnull",
       {"M:null"}},
      {"lines ended by LF alone", "Content-Length: 2\n\n{}", {"M:{}"}},
      {"no length",
       "Content-Type: x\r\n\r\nContent-Length: 2\r\n\r\n{}",
       {"E:a message without a Content-Length header", "M:{}"}},
      {"a length that is no number",
       "Content-Length: 1x\r\n\r\n",
       {"E:the Content-Length header 'Content-Length: 1x' is not a whole number of bytes up to "
        "419430400"}},
      {"a length beyond the limit",
       "Content-Length: 999999999999\r\n\r\n",
       {"E:the Content-Length header 'Content-Length: 999999999999' is not a whole number of "
        "bytes up to 419430400"}},
      {"a line that is no header", "hello\r\n\r\n", {"E:the header line 'hello' has no colon"}},
      {"a bad header beside a good length: the body is skipped",
       "Content-Length: 2\r\nhello\r\n\r\n{}Content-Length: 1\r\n\r\n1",
       {"E:the header line 'hello' has no colon", "M:1"}},
      {"bytes before a header",
       "{\"rest\":1}Content-Length: 2\r\n\r\n{}",
       {"E:bytes that are not a message before a Content-Length header", "M:{}"}},
      {"a body cut short", "Content-Length: 10\r\n\r\n{}", {}},
      {"the end inside the headers", "Content-Length: 2\r\n", {}},
      {"nothing", "", {}},
  };
  for (const caso_cornice& c : casi) {
    EXPECT_EQ(letti(c.byte), c.attesi) << c.nome;
  }
}

TEST(LspCornice, AMessageIsWrittenWithItsLengthInBytes) {
  std::ostringstream uscita;
  scrivi_messaggio(uscita, {{"a", "\xC3\xA8"}});
  EXPECT_EQ(uscita.str(), "Content-Length: 10\r\n\r\n{\"a\":\"\xC3\xA8\"}");
  // Text that is not UTF-8 goes out as U+FFFD, never as a broken message.
  std::ostringstream sostituita;
  scrivi_messaggio(sostituita, {{"a", "\xE8"}});
  EXPECT_EQ(sostituita.str(), "Content-Length: 11\r\n\r\n{\"a\":\"\xEF\xBF\xBD\"}");
}

// ---------------------------------------------------------------- positions

// "aè€😀b" then CR LF and a second line: è is 2 UTF-8 bytes, € 3 and 😀
// (U+1F600) 4, 2 UTF-16 units.
const std::string kTesto =
    "a\xC3\xA8\xE2\x82\xAC\xF0\x9F\x98\x80"
    "b\r\nz";

TEST(LspPosizioni, ACharacterIsOneByteOfTheConvertedText) {
  const testo_1252 t = in_1252(kTesto);
  EXPECT_EQ(t.byte, "a\xE8\x80?b\r\nz");
  ASSERT_EQ(t.non_scrivibili.size(), 1U);
  EXPECT_EQ(t.non_scrivibili[0].byte, 3U);
  EXPECT_EQ(t.non_scrivibili[0].carattere, U'\U0001F600');
  // A byte that starts no character is one character of its own.
  EXPECT_EQ(in_1252("x\xFFy").byte, "x?y");
}

TEST(LspPosizioni, ColumnsCountUtf16UnitsOrUtf8Bytes) {
  const testo_unicode t(kTesto);
  ASSERT_EQ(t.righe(), 2U);
  // Character index: 0 a, 1 è, 2 €, 3 😀, 4 b, 5 the line's end.
  const std::vector<std::pair<uint32_t, uint32_t>> colonne = {{0, 0},  {1, 1},  {2, 3}, {3, 6},
                                                              {5, 10}, {6, 11}, {6, 11}};
  for (std::size_t indice = 0; indice < colonne.size(); ++indice) {
    SCOPED_TRACE(indice);
    EXPECT_EQ(t.editor(0, indice, codifica_posizioni::utf16).colonna, colonne[indice].first);
    EXPECT_EQ(t.editor(0, indice, codifica_posizioni::utf8).colonna, colonne[indice].second);
  }
  // Back: a column inside a character gives that character.
  EXPECT_EQ(t.indice({0, 4}, codifica_posizioni::utf16), 3U);
  EXPECT_EQ(t.indice({0, 5}, codifica_posizioni::utf16), 4U);
  EXPECT_EQ(t.indice({0, 4}, codifica_posizioni::utf8), 2U);
  EXPECT_EQ(t.indice({0, 99}, codifica_posizioni::utf8), 5U);
  // Counted from the start of the text: the byte of the converted text.
  EXPECT_EQ(t.carattere({1, 0}, codifica_posizioni::utf16), 7U);
  EXPECT_EQ(t.carattere({1, 5}, codifica_posizioni::utf16), 8U);
  EXPECT_EQ(t.riga_e_indice(7), (std::pair<std::size_t, std::size_t>{1, 0}));
  EXPECT_EQ(t.byte_utf8({0, 6}, codifica_posizioni::utf16), 11U);
  EXPECT_EQ(t.byte_utf8({7, 0}, codifica_posizioni::utf16), kTesto.size());
}

TEST(LspPosizioni, LinesEndAtCrLfLfOrCr) {
  const testo_unicode t("a\r\nb\nc\rd");
  ASSERT_EQ(t.righe(), 4U);
  EXPECT_EQ(t.riga_utf8(2), "c");
  EXPECT_EQ(t.carattere({3, 0}, codifica_posizioni::utf8), 7U);
}

// ---------------------------------------------------------------- URIs

TEST(LspUri, FileUrisBecomePathsAndBack) {
  EXPECT_EQ(percorso_da_uri("file:///tmp/a%20b/R_linea.txt"),
            std::filesystem::path("/tmp/a b/R_linea.txt"));
  EXPECT_EQ(percorso_da_uri("FILE://localhost/tmp/x-.txt"), std::filesystem::path("/tmp/x-.txt"));
  EXPECT_EQ(percorso_da_uri("untitled:Untitled-1"), std::nullopt);
  EXPECT_EQ(percorso_da_uri("file:///tmp/%zz"), std::nullopt);
  EXPECT_EQ(percorso_da_uri("file:///tmp/%00"), std::nullopt);
  EXPECT_EQ(uri_da_percorso("/tmp/a b/\xC3\xA8_linea.txt"), "file:///tmp/a%20b/%C3%A8_linea.txt");
  EXPECT_EQ(nome_da_uri("file:///tmp/a%20b/%C3%A8_linea.txt"), "\xC3\xA8_linea.txt");
  EXPECT_EQ(nome_da_uri("untitled:Untitled-1"), "Untitled-1");
}

}  // namespace
}  // namespace scenario::lsp
