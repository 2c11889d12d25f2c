// Many writers in one folder at once, as users start them: dozens of
// scenario-tool compiles of one scenario, two different scenarios under the
// same names, a dozen runs of the program. A reader watches the real names
// all the while: each read must be a whole file some single run writes, and
// the folder must end as after one run, with no temporary file left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "nomi_incorporati.h"
#include "strumento_prova.h"
#include "supporto.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

constexpr int kCompilazioni = 24;
constexpr int kCorseProgramma = 12;

// A file's bytes, or nothing when it cannot be opened.
std::optional<std::string> contenuto(const fs::path& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string testo;
  char blocco[1 << 16];
  ssize_t letti = 0;
  while ((letti = read(fd, blocco, sizeof blocco)) > 0) {
    testo.append(blocco, static_cast<std::size_t>(letti));
  }
  close(fd);
  return testo;
}

// Reads every watched name over and over on its own thread until stopped,
// and counts each read that is not one of the whole versions allowed.
class lettore_continuo {
 public:
  using versioni = std::map<std::string, std::set<std::string>>;  // name -> whole contents

  lettore_continuo(fs::path cartella, versioni ammesse)
      : cartella_(std::move(cartella)),
        ammesse_(std::move(ammesse)),
        filo_([this](const std::stop_token& fermo) { guarda(fermo); }) {}

  // Stops the thread; then the counts are final.
  void ferma() {
    filo_.request_stop();
    if (filo_.joinable()) filo_.join();
  }

  int letture() const { return letture_; }
  const std::vector<std::string>& anomalie() const { return anomalie_; }

 private:
  void guarda(const std::stop_token& fermo) {
    while (!fermo.stop_requested()) {
      for (const auto& [nome, ammessi] : ammesse_) {
        const std::optional<std::string> letto = contenuto(cartella_ / nome);
        ++letture_;
        if (!letto) {
          anomalie_.push_back(nome + " missing");
        } else if (ammessi.count(*letto) == 0) {
          anomalie_.push_back(nome + " holds " + std::to_string(letto->size()) +
                              " bytes that no single run writes");
        }
      }
    }
  }

  fs::path cartella_;
  versioni ammesse_;
  int letture_ = 0;
  std::vector<std::string> anomalie_;
  std::jthread filo_;
};

std::map<std::string, std::string> compilati_in(const fs::path& cartella) {
  std::map<std::string, std::string> file;
  for (const std::string& nome : prova::kCompilati) file[nome] = prova::leggi(cartella / nome);
  return file;
}

std::string sostituisci(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t dove = testo.find(da);
  if (dove == std::string::npos) throw std::runtime_error("'" + da + "' is not in the text");
  return testo.replace(dove, da.size(), a);
}

// The embedded texts in src/, a second scenario under the same names in
// altro/, and what a single compile of each writes.
class StressCartella : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(prova::strumento({"export-sources", (cartella_ / "src").string()}).stato, 0);
    fs::create_directory(cartella_ / "altro");
    prova::scrivi(cartella_ / "altro" / prova::kTestoLinea,
                  sostituisci(prova::leggi(cartella_ / "src" / prova::kTestoLinea),
                              "curvas4,  600,  500", "curvad4,  600,  500"));
    prova::scrivi(cartella_ / "altro" / prova::kTestoTreno,
                  sostituisci(sostituisci(prova::leggi(cartella_ / "src" / prova::kTestoTreno),
                                          " ULMO\r\n", " OLMU\r\n"),
                              "velocita,     500,   105", "velocita,     500,   100"));
    a_ = compila_da_solo("src");
    b_ = compila_da_solo("altro");
    for (const std::string& nome : prova::kCompilati) ASSERT_NE(a_.at(nome), b_.at(nome)) << nome;
  }

  std::map<std::string, std::string> compila_da_solo(const std::string& sorgenti) {
    const fs::path uscita = cartella_ / ("solo-" + sorgenti);
    EXPECT_EQ(
        prova::strumento({"compile", (cartella_ / sorgenti / prova::kTestoLinea).string(),
                          (cartella_ / sorgenti / prova::kTestoTreno).string(), uscita.string()})
            .stato,
        0);
    return compilati_in(uscita);
  }

  std::vector<std::string> compilazione(const std::string& sorgenti) const {
    return {SCENARIO_STRUMENTO, "compile", (cartella_ / sorgenti / prova::kTestoLinea).string(),
            (cartella_ / sorgenti / prova::kTestoTreno).string(), (cartella_ / "out").string()};
  }

  prova::cartella_temporanea cartella_;
  std::map<std::string, std::string> a_;
  std::map<std::string, std::string> b_;
};

TEST_F(StressCartella, DozensOfCompilesIntoOneFolderLeaveOnlyWholeFiles) {
  ASSERT_EQ(prova::esegui(compilazione("src"), cartella_.percorso()).stato, 0);
  lettore_continuo::versioni ammesse;
  for (const auto& [nome, byte] : a_) ammesse[nome] = {byte};
  lettore_continuo lettore(cartella_ / "out", ammesse);

  const std::vector<prova::esito_processo> esiti = prova::esegui_insieme(
      std::vector<std::vector<std::string>>(kCompilazioni, compilazione("src")),
      cartella_.percorso());
  lettore.ferma();

  for (const prova::esito_processo& e : esiti) EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_GT(lettore.letture(), 0);
  EXPECT_TRUE(lettore.anomalie().empty())
      << lettore.anomalie().size() << " bad reads, the first: " << lettore.anomalie().front();
  EXPECT_EQ(prova::elenco(cartella_ / "out"), prova::kCompilati);
  EXPECT_EQ(compilati_in(cartella_ / "out"), a_);
}

// Two scenarios under the same names once tore the plan file into a mix of
// both: now each compile writes its files whole, one compile at a time.
TEST_F(StressCartella, TwoScenariosCompiledIntoOneFolderAtOnceNeverMix) {
  ASSERT_EQ(prova::esegui(compilazione("src"), cartella_.percorso()).stato, 0);
  lettore_continuo::versioni ammesse;
  for (const std::string& nome : prova::kCompilati) ammesse[nome] = {a_.at(nome), b_.at(nome)};
  lettore_continuo lettore(cartella_ / "out", ammesse);

  std::vector<std::vector<std::string>> comandi;
  comandi.reserve(kCompilazioni);
  for (int k = 0; k < kCompilazioni; ++k) comandi.push_back(compilazione(k % 2 ? "altro" : "src"));
  const std::vector<prova::esito_processo> esiti =
      prova::esegui_insieme(comandi, cartella_.percorso());
  lettore.ferma();

  for (const prova::esito_processo& e : esiti) EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_TRUE(lettore.anomalie().empty())
      << lettore.anomalie().size() << " bad reads, the first: " << lettore.anomalie().front();
  EXPECT_EQ(prova::elenco(cartella_ / "out"), prova::kCompilati);
  const std::map<std::string, std::string> fine = compilati_in(cartella_ / "out");
  EXPECT_TRUE(fine == a_ || fine == b_) << "the three files do not come from one compile";
}

// Runs of the program once deleted each other's texts and failed with every
// status; now each waits for the one before and ends as a single run does.
TEST(StressProgramma, ADozenRunsAtOnceInOneFolderAllEndCleanly) {
  prova::cartella_temporanea da_solo;
  const fs::path copia_sola = da_solo / prova::programma().filename().string();
  fs::copy_file(prova::programma(), copia_sola);
  ASSERT_EQ(prova::esegui({copia_sola.string()}, da_solo.percorso()).stato, 0);

  prova::cartella_temporanea cartella;
  const fs::path copia = cartella / prova::programma().filename().string();
  fs::copy_file(prova::programma(), copia);
  const std::vector<prova::esito_processo> esiti = prova::esegui_insieme(
      std::vector<std::vector<std::string>>(kCorseProgramma, {copia.string()}),
      cartella.percorso());

  for (const prova::esito_processo& e : esiti) EXPECT_EQ(e.stato, 0) << e.errori;
  const std::vector<std::string> nomi = prova::elenco(da_solo.percorso());
  ASSERT_EQ(prova::elenco(cartella.percorso()), nomi);
  for (const std::string& nome : nomi) {
    EXPECT_EQ(prova::leggi(cartella / nome), prova::leggi(da_solo / nome)) << nome;
  }
}

}  // namespace
}  // namespace scenario
