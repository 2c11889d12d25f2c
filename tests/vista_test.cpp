#include "tools/disegno/vista.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "bench/percorso_massimo.h"
#include "output/file_compilati.h"
#include "strumento_prova.h"
#include "supporto.h"
#include "tools/ispezione/dump.h"

namespace scenario {
namespace {

std::string tra(const std::string& testo, const std::string& prima, const std::string& dopo) {
  const auto a = testo.find(prima);
  if (a == std::string::npos) return {};
  const auto b = testo.find(dopo, a + prima.size());
  return testo.substr(a + prima.size(), b - a - prima.size());
}

nlohmann::json dati_di(const std::string& html) {
  return nlohmann::json::parse(
      tra(html, "<script type=\"application/json\" id=\"dati\">", "</script>"));
}

// A page that loads nothing: no address outside the file, no element that
// fetches, and the data cannot close its script element early.
void controlla_autonoma(const std::string& html) {
  for (const char* esterno : {"http:", "https:", "//cdn", "src=", "<link", "@import", "url(",
                              "<iframe", "<img", "fetch(", "XMLHttpRequest"}) {
    EXPECT_EQ(html.find(esterno), std::string::npos) << esterno;
  }
  std::size_t chiusure = 0;
  for (auto p = html.find("</script"); p != std::string::npos; p = html.find("</script", p + 1)) {
    ++chiusure;
  }
  EXPECT_EQ(chiusure, 2U);
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>"));
}

// The value of a column of runs at cell i, as the page's script reads it.
std::optional<nlohmann::json> valore(const nlohmann::json& corse, int64_t i) {
  const nlohmann::json* trovata = nullptr;
  for (const auto& c : corse) {
    if (c[0].get<int64_t>() > i) break;
    trovata = &c;
  }
  if (trovata == nullptr || trovata->size() == 1) return std::nullopt;
  if (trovata->size() == 3) {
    return (*trovata)[1].get<int64_t>() +
           (*trovata)[2].get<int64_t>() * (i - (*trovata)[0].get<int64_t>());
  }
  return (*trovata)[1];
}

void foglie(const nlohmann::ordered_json& j, const std::string& percorso,
            std::map<std::string, nlohmann::json>& uscita) {
  if (j.is_object()) {
    for (const auto& [k, v] : j.items())
      foglie(v, percorso.empty() ? k : percorso + "." + k, uscita);
  } else if (j.is_array()) {
    for (std::size_t k = 0; k < j.size(); ++k)
      foglie(j[k], percorso + "." + std::to_string(k), uscita);
  } else {
    uscita[percorso] = nlohmann::json::parse(j.dump());
  }
}

class VistaProva : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(prova::strumento({"export-sources", (cartella_ / "testi").string()}).stato, 0);
    std::filesystem::create_directories(cartella_ / "compilati");
    modello_ = prova::compila_scenario_incorporato(cartella_ / "compilati");
    ASSERT_TRUE(modello_.has_value());
  }
  std::string linea() const {
    return (cartella_ / "testi/Ulmo_Tarvignano_Rovesco_linea.txt").string();
  }
  std::string treno() const {
    return (cartella_ / "testi/Ulmo_Tarvignano_Rovesco_4816-.txt").string();
  }

  prova::cartella_temporanea cartella_;
  std::optional<modello> modello_;
};

TEST_F(VistaProva, FromAFolderOrFromTheTextsThePageStandsAlone) {
  const auto da_cartella = prova::strumento(
      {"view", (cartella_ / "compilati").string(), "-o", (cartella_ / "a.html").string()});
  ASSERT_EQ(da_cartella.stato, 0) << da_cartella.errori;
  EXPECT_EQ(da_cartella.uscita, (cartella_ / "a.html").string() + "\n");
  const auto da_testi =
      prova::strumento({"view", linea(), treno(), "-o", (cartella_ / "b.html").string()});
  ASSERT_EQ(da_testi.stato, 0) << da_testi.errori;
  for (const char* nome : {"a.html", "b.html"}) {
    SCOPED_TRACE(nome);
    const std::string html = prova::leggi(cartella_ / nome);
    controlla_autonoma(html);
    const auto d = dati_di(html);
    EXPECT_EQ(d["percorso"], "Ulmo_Tarvignano_Rovesco");
    EXPECT_EQ(d["stazioni"].size(), 9U);
    EXPECT_EQ(d["segnali"].size(), 2U * 16);
    EXPECT_EQ(d["celle"], modello_->celle.size());
  }
  // The texts were only read.
  EXPECT_TRUE(std::filesystem::exists(linea()));
  EXPECT_TRUE(std::filesystem::exists(treno()));
  EXPECT_EQ(prova::strumento({"view", linea(), treno(), "x", "-o", (cartella_ / "c.html").string()})
                .stato,
            strumento::kUscitaUso);
  EXPECT_EQ(prova::strumento({"view", linea(), treno()}).stato, strumento::kUscitaUso);
}

TEST_F(VistaProva, EveryCellReadsBackAsDumpSaysIt) {
  const std::string html = html_vista(*modello_, nullptr, std::nullopt);
  const auto d = dati_di(html);
  file_decodificato f;
  f.tipo = tipo_file_compilato::celle;
  f.celle = modello_->celle;
  const auto dump = json_file(f, opzioni_dump{}, &modello_->tabella)["celle"];
  ASSERT_EQ(dump.size(), modello_->celle.size());
  for (std::size_t c = 0; c < dump.size(); ++c) {
    std::map<std::string, nlohmann::json> attese;
    foglie(dump[c], "", attese);
    std::map<std::string, nlohmann::json> lette;
    for (const auto& colonna : d["colonne"]) {
      if (auto v = valore(colonna[1], static_cast<int64_t>(c))) lette[colonna[0]] = *v;
    }
    ASSERT_EQ(lette, attese) << "cell " << c;
  }
}

TEST_F(VistaProva, FromTheTextsEachObjectKnowsItsLine) {
  ASSERT_EQ(
      prova::strumento({"view", linea(), treno(), "-o", (cartella_ / "b.html").string()}).stato, 0);
  const auto d = dati_di(prova::leggi(cartella_ / "b.html"));
  const nlohmann::json* oggetti = nullptr;
  for (const auto& colonna : d["colonne"]) {
    if (colonna[0] == "sorgente.oggetto") oggetti = &colonna[1];
  }
  ASSERT_NE(oggetti, nullptr);
  // Every signal's cell names a row of the train text that reads "segnale".
  for (std::size_t k = 0; k < d["segnali"].size(); k += 2) {
    const int64_t cella = d["segnali"][k];
    const auto dove = valore(*oggetti, cella);
    ASSERT_TRUE(dove.has_value()) << "cell " << cella;
    const std::string testo = dove->get<std::string>();
    EXPECT_TRUE(testo.starts_with("Ulmo_Tarvignano_Rovesco_4816-.txt:")) << testo;
    EXPECT_TRUE(d["testi"][testo].get<std::string>().starts_with("segnale")) << testo;
  }
  // Every station's row names its line too.
  for (const auto& s : d["stazioni"]) {
    const std::string riga = std::to_string(s[0].get<int>());
    const std::string dove = d["righe"][riga]["sorgente"];
    EXPECT_NE(d["testi"][dove].get<std::string>().find("stazione"), std::string::npos) << dove;
  }
}

// The largest route stays within a few megabytes, compiled from its texts
// (source lines included) or read from its compiled files.
TEST(VistaPercorsoMassimo, StaysSmallAndSelfContained) {
  prova::cartella_temporanea c;
  const auto testi = banco::percorso_massimo();
  prova::scrivi(c / "linea.txt", testi.linea);
  prova::scrivi(c / "treno.txt", testi.treno);
  const auto esito = prova::strumento({"view", (c / "linea.txt").string(),
                                       (c / "treno.txt").string(), "-o", (c / "v.html").string()});
  ASSERT_EQ(esito.stato, 0) << esito.errori;
  const std::string html = prova::leggi(c / "v.html");
  controlla_autonoma(html);
  EXPECT_LT(html.size(), 4'000'000U);
  const auto d = dati_di(html);
  EXPECT_EQ(d["lunghezza"], 1'000'000);
  EXPECT_EQ(d["segnali"].size(), 2U * 1000);
  // Each plan level has at most a few tens of thousands of points.
  for (const auto& l : d["pianta"]) {
    std::size_t punti = 0;
    for (const auto& t : l["tratti"]) punti += t.size() / 3;
    EXPECT_LT(punti, 40'000U) << l["tolleranza"];
  }
}

}  // namespace
}  // namespace scenario
