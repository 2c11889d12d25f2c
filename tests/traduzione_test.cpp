// The language a user asks for, and the lookup of its texts in a compiled
// catalogue.
#include "base/traduzione.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
std::string_view catalogo_di_prova();  // tests/dati/prova.po, compiled
namespace {

TEST(Traduzione, TheLanguageComesFromTheFirstLocaleVariableThatIsSet) {
  struct caso {
    std::string lc_all, lc_messages, lang;
    lingua attesa;
  };
  for (const caso& c : std::vector<caso>{
           {"", "", "it_IT.UTF-8", lingua::italiano},
           {"", "", "it", lingua::italiano},
           {"", "", "it_CH@euro", lingua::italiano},
           {"C", "", "it_IT.UTF-8", lingua::inglese},  // LC_ALL decides
           {"", "it_IT.UTF-8", "en_GB.UTF-8", lingua::italiano},
           {"", "", "", lingua::inglese},
           {"", "", "de_DE.UTF-8", lingua::inglese},  // neither language: English
           {"", "", "C.UTF-8", lingua::inglese},
           {"", "", "iten", lingua::inglese},
       }) {
    EXPECT_EQ(lingua_da_variabili(c.lc_all, c.lc_messages, c.lang), c.attesa)
        << c.lc_all << "|" << c.lc_messages << "|" << c.lang;
  }
  EXPECT_EQ(lingua_da_opzione("it"), lingua::italiano);
  EXPECT_EQ(lingua_da_opzione("en"), lingua::inglese);
  EXPECT_EQ(lingua_da_opzione("fr"), std::nullopt);
  EXPECT_EQ(lingua_da_opzione("IT"), std::nullopt);
}

TEST(Traduzione, PlaceholdersTakeTheirValuesInTheTranslationsOrder) {
  EXPECT_EQ(componi("{1} before {0}", {"a", "b"}), "b before a");
  EXPECT_EQ(componi("{0} and {0}", {"x"}), "x and x");
  EXPECT_EQ(componi("{{0} is literal, {0} is not", {"x"}), "{0} is literal, x is not");
  EXPECT_EQ(componi("{2} has no value", {"x"}), "{2} has no value");
  EXPECT_EQ(componi("{0", {"x"}), "{0");
  EXPECT_EQ(segnaposto("{1} before {0}, {{2}"), (std::vector<int>{1, 0}));
}

TEST(Traduzione, ACatalogueFindsItsTextsAndTheirPluralForms) {
  const std::optional<catalogo> c = catalogo::da_byte(catalogo_di_prova());
  ASSERT_TRUE(c);
  const traduttore it(lingua::italiano, *c);
  EXPECT_EQ(it.tr("no problems found"), "nessun problema trovato");
  EXPECT_EQ(componi(it.tr("{0} is not a number: read as {1}"), {"'l5'", "0"}),
            "'l5' non \xC3\xA8 un numero: letto come 0");
  EXPECT_EQ(it.trn("{0} slowdown", "{0} slowdowns", 1), "{0} rallentamento");
  EXPECT_EQ(it.trn("{0} slowdown", "{0} slowdowns", 0), "{0} rallentamenti");
  EXPECT_EQ(it.trn("{0} slowdown", "{0} slowdowns", 2), "{0} rallentamenti");
  // A text the catalogue lacks, or leaves untranslated, stays English.
  EXPECT_EQ(it.tr("untranslated"), "untranslated");
  EXPECT_EQ(it.tr("not in the catalogue"), "not in the catalogue");
  EXPECT_EQ(it.trn("{0} signal", "{0} signals", 3), "{0} signals");

  const traduttore en;
  EXPECT_EQ(en.tr("no problems found"), "no problems found");
  EXPECT_EQ(en.trn("{0} slowdown", "{0} slowdowns", 1), "{0} slowdown");
  EXPECT_EQ(en.trn("{0} slowdown", "{0} slowdowns", 2), "{0} slowdowns");
}

TEST(Traduzione, BytesThatAreNoCatalogueAreRefused) {
  const std::string_view buono = catalogo_di_prova();
  EXPECT_FALSE(catalogo::da_byte(""));
  EXPECT_FALSE(catalogo::da_byte("not a catalogue at all, just text"));
  for (std::size_t taglio : {std::size_t{4}, std::size_t{27}, buono.size() / 2, buono.size() - 1}) {
    EXPECT_FALSE(catalogo::da_byte(buono.substr(0, taglio))) << taglio;
  }
  std::string alterato(buono);
  alterato[12] = '\xFF';  // the originals' table far past the end
  EXPECT_FALSE(catalogo::da_byte(alterato));
}

// The catalogue built into the executables: it loads, has two plural forms,
// the singular for 1 alone, and every translation uses exactly the
// placeholders of its original, so no value is lost or made up.
TEST(Traduzione, TheItalianCatalogueKeepsEveryPlaceholder) {
  const std::optional<catalogo> c = catalogo::da_byte(catalogo_italiano());
  ASSERT_TRUE(c);
  EXPECT_NE(c->intestazione().find("Plural-Forms: nplurals=2; plural=(n != 1);"),
            std::string_view::npos);
  const auto ordinati = [](std::string_view testo) {
    std::vector<int> v = segnaposto(testo);
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
  };
  for (std::size_t n = 0; n < c->voci(); ++n) {
    const catalogo::voce v = c->voce_n(n);
    if (v.originale.empty()) continue;  // the header
    const std::vector<int> attesi = ordinati(v.originale.substr(0, v.originale.find('\0')));
    std::string_view forme = v.traduzione;
    while (true) {
      const std::string_view f = forme.substr(0, forme.find('\0'));
      EXPECT_EQ(ordinati(f), attesi) << v.originale << " -> " << f;
      if (f.size() == forme.size()) break;
      forme.remove_prefix(f.size() + 1);
    }
  }
}

}  // namespace
}  // namespace scenario
