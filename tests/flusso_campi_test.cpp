#include "compiler/flusso_campi.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/codifica.h"

namespace scenario {
namespace {

// One read from the stream and what it must give: the text of a text field,
// the decimal value of a number, or kFallisce for a read failure.
enum class campo { testo, n8, n16, n32 };
constexpr std::string_view kFallisce = "<read failure>";

struct lettura {
  campo cosa;
  std::string atteso;
};

struct caso {
  std::string nome;
  std::string testo;
  std::vector<lettura> letture;
  bool eof_finale;  // where the stream stands after the reads
};

std::string esegui(flusso_campi& f, campo cosa) {
  try {
    switch (cosa) {
      case campo::testo:
        return f.leggi_testo();
      case campo::n8:
        return std::to_string(f.leggi_byte());
      case campo::n16:
        return std::to_string(f.leggi_int16());
      case campo::n32:
        return std::to_string(f.leggi_int32());
    }
  } catch (const errore_lettura&) {
    return std::string(kFallisce);
  }
  return {};
}

void verifica(const std::vector<caso>& casi) {
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    flusso_campi f(c.testo);
    for (std::size_t n = 0; n < c.letture.size(); ++n) {
      EXPECT_EQ(esegui(f, c.letture[n].cosa), c.letture[n].atteso) << "read " << n;
    }
    EXPECT_EQ(f.eof(), c.eof_finale);
  }
}

lettura T(std::string atteso) { return {campo::testo, std::move(atteso)}; }
lettura N(std::string atteso) { return {campo::n32, std::move(atteso)}; }
lettura B(std::string atteso) { return {campo::n8, std::move(atteso)}; }
lettura I16(std::string atteso) { return {campo::n16, std::move(atteso)}; }
const std::string F(kFallisce);

TEST(FlussoCampi, TextFieldsEndAtACommaOrAnyLineEnd) {
  verifica({
      {"comma and CR LF", "a,b\r\nc", {T("a"), T("b"), T("c")}, true},
      {"lone LF and lone CR each end a line",
       "a\nb\rc\r\nd",
       {T("a"), T("b"), T("c"), T("d")},
       true},
      {"a blank line is an empty field", "a\r\n\r\nb", {T("a"), T(""), T("b")}, true},
      {"CR CR is two line ends", "a\r\rb", {T("a"), T(""), T("b")}, true},
      {"a line of blanks is an empty field", "a\r\n \t \r\nb", {T("a"), T(""), T("b")}, true},
      {"leading blanks skipped, inner and trailing kept",
       " \t ripetizione segnali 4 codici  ,x",
       {T("ripetizione segnali 4 codici  "), T("x")},
       true},
      {"a comma after a line end is a field of its own", "a\r\n,b", {T("a"), T(""), T("b")}, true},
      {"bytes of the code page pass unchanged",
       "\xB0"
       "C,\xE8",
       {T("\xB0"
          "C"),
        T("\xE8")},
       true},
      {"the separator is consumed, nothing more", "a,\r\nb", {T("a"), T(""), T("b")}, true},
  });
}

TEST(FlussoCampi, QuotedTextRunsToTheNextQuote) {
  verifica({
      {"a comma inside quotes", "\"(A,B)\"  ,c", {T("(A,B)"), T("c")}, true},
      {"quote then line end", "\"x\"\r\ny", {T("x"), T("y")}, true},
      {"blanks around the quotes", "  \"  x \"  \r\ny", {T("  x "), T("y")}, true},
      {"an open quote runs to the end", "\"abc,\r\ndef", {T("abc,\r\ndef")}, true},
      {"bytes after the closing quote start the next field",
       "\"x\"yz,w",
       {T("x"), T("yz"), T("w")},
       true},
      {"a quote inside an unquoted field is kept", "a\"b,c", {T("a\"b"), T("c")}, true},
  });
}

TEST(FlussoCampi, NumbersEndAtACommaBlankOrLineEnd) {
  verifica({
      {"blanks alone separate numbers", "12 34,56", {N("12"), N("34"), N("56")}, true},
      {"blanks before the comma", "12  ,  34", {N("12"), N("34")}, true},
      {"a line end after a number", "12\r\n34", {N("12"), N("34")}, true},
      {"blanks then a line end", "5   \r\n6", {N("5"), N("6")}, true},
      {"only one comma goes with a number", "5,,6", {N("5"), N("0"), N("6")}, true},
      {"a comma then a line end leaves an empty field", "5,\r\n6", {N("5"), N("0"), N("6")}, true},
      {"empty fields read 0", "  ,  ,5", {N("0"), N("0"), N("5")}, true},
      {"the rest of a blank-cut token is the next field",
       "12 abc,7",
       {N("12"), T("abc"), N("7")},
       true},
      {"a keyword read as a number is 0 and is consumed",
       "cartello_indicatore, 9",
       {N("0"), N("9")},
       true},
  });
}

TEST(FlussoCampi, ANumberIsTheLongestLeadingNumberRoundedHalfToEven) {
  struct valore {
    std::string token;
    std::string atteso;
  };
  for (const auto& [token, atteso] : std::vector<valore>{
           {"-13550", "-13550"}, {"+7", "7"},    {"12abc", "12"}, {"abc", "0"},    {"-", "0"},
           {"+", "0"},           {".5", "0"},    {"-.5", "0"},    {"1.5", "2"},    {"2.5", "2"},
           {"3.5", "4"},         {"-2.5", "-2"}, {"-0.5", "0"},   {"2.4999", "2"}, {"1e3", "1000"},
           {"1E+2", "100"},      {"25e-1", "2"}, {"12e", "12"},   {"12e+", "12"},  {"12.", "12"},
           {"1.2.3", "1"},       {"0x1F", "0"},  {"1,5", "1"},    {"1e-999", "0"}, {"007", "7"},
           {"inf", "0"},         {"nan", "0"},   {"--5", "0"},
       }) {
    flusso_campi f(token);
    EXPECT_EQ(esegui(f, campo::n32), atteso) << token;
  }
}

// A whole number is read without strtod; it must be strtod's double, bit for
// bit, on each side of the 15 digits that take that way, and whatever
// follows the digits.
TEST(FlussoCampi, AWholeNumberIsStrtodsDoubleBitForBit) {
  const std::vector<std::string> numeri = {
      "0",    "-0",      "+7",  "007",        "123456789012345",  "-999999999999999",
      "12e",  "12e+",    "12.", "12.x",       "1234567890123456", "99999999999999999999",
      "12e5", "-12.5e1", "3.",  "2147483648", "9007199254740993", "4294967295",
  };
  for (const std::string& numero : numeri) {
    bool fuori_scala = true;
    const double letto = valore_numerico(numero, fuori_scala);
    // strtod on what the longest leading number is: the sign, the digits,
    // and a fraction or exponent only when digits follow.
    const std::size_t cifre = numero.find_first_of("0123456789");
    std::size_t fine = numero.find_first_not_of("0123456789", cifre);
    if (fine == std::string::npos) fine = numero.size();
    if (numero.compare(fine, 2, "e5") == 0 || numero.compare(fine, 2, ".5") == 0) {
      fine = numero.size();
    }
    const double atteso = std::strtod(numero.substr(0, fine).c_str(), nullptr);
    EXPECT_EQ(std::bit_cast<uint64_t>(letto), std::bit_cast<uint64_t>(atteso)) << numero;
    EXPECT_FALSE(fuori_scala) << numero;
  }
}

TEST(FlussoCampi, AValueOutsideItsSlotIsAReadFailure) {
  verifica({
      {"byte bounds", "0,255,-0.5,255.4", {B("0"), B("255"), B("0"), B("255")}, true},
      {"byte above", "256", {B(F)}, true},
      {"byte rounding above", "255.5", {B(F)}, true},
      {"byte below", "-1", {B(F)}, true},
      {"int16 bounds", "32767,-32768", {I16("32767"), I16("-32768")}, true},
      {"int16 above", "32768", {I16(F)}, true},
      {"int16 below", "-32769", {I16(F)}, true},
      {"int32 bounds", "2147483647,-2147483648", {N("2147483647"), N("-2147483648")}, true},
      {"int32 above", "2147483648", {N(F)}, true},
      {"int32 rounding above", "2147483647.5", {N(F)}, true},
      {"int32 below", "-2147483649", {N(F)}, true},
      {"beyond a double", "1e400", {N(F)}, true},
  });
}

TEST(FlussoCampi, AReadThatBeginsAtTheEndFails) {
  verifica({
      {"empty text, text field", "", {T(F)}, true},
      {"empty text, number", "", {N(F)}, true},
      {"after the last field", "a", {T("a"), T(F)}, true},
      {"after the last line end", "a\r\n", {T("a"), N(F)}, true},
      {"trailing blanks give an empty field once", "a,   ", {T("a"), T(""), T(F)}, true},
      {"trailing blanks give 0 once", "5,  ", {N("5"), N("0"), N(F)}, true},
      {"not at the end before the last field", "a,b", {T("a")}, false},
      {"a line end still to come is not the end", "a\r\n\r\n", {T("a")}, false},
  });
}

// Keyword tests that ignore letter case lower ASCII and the code page's
// capitals, and nothing else.
TEST(FlussoCampi, AnyCaseLowersAsciiAndCodePageCapitals) {
  struct prova {
    std::string testo;
    std::string parte;
    bool atteso;
  };
  for (const auto& [testo, parte, atteso] : std::vector<prova>{
           {"LUNGHEZZA Percorso", "lunghezza", true},
           {"[GENERALE]", "[generale]", true},
           {"\xC0\xDE\x8A\x8C\x8E\x9F", "\xE0\xFE\x9A\x9C\x9E\xFF", true},
           {"\xD7", "\xF7", false},  // the multiplication sign has no lower case
           {"\xDF", "\xFF", false},
           {"curva", "CURVA", true},
       }) {
    EXPECT_EQ(contiene_senza_maiuscole(testo, parte), atteso) << testo;
  }
}

}  // namespace
}  // namespace scenario
