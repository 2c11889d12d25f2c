// Faults while the run writes its files: a full disk (a file-size limit on the
// process), a folder that cannot be written, a name that is taken by a folder.
// Each run ends with one clear line and the file-system status; every compiled
// file under its real name is then either the complete new one or the old one
// untouched, and no temporary file is left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/piattaforma.h"
#include "base/file_cartella.h"
#include "nomi_incorporati.h"
#include "supporto.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kByteTracciato = 1'279'964;

std::string vecchio(const std::string& nome) { return "compiled earlier: " + nome; }

fs::path copia_programma(const fs::path& cartella) {
  const fs::path copia = cartella / prova::programma().filename();
  fs::copy_file(prova::programma(), copia);
  return copia;
}

// The files of a clean run, to tell a complete new file from anything else.
const std::map<std::string, std::string>& file_nuovi() {
  static const std::map<std::string, std::string> nuovi = [] {
    prova::cartella_temporanea cartella;
    const auto esito =
        prova::esegui({copia_programma(cartella.percorso()).string()}, cartella.percorso());
    if (esito.stato != uscita_pulita) throw std::runtime_error("clean run failed: " + esito.errori);
    std::map<std::string, std::string> file;
    for (const std::string& nome : prova::kCompilati) file[nome] = prova::leggi(cartella / nome);
    return file;
  }();
  return nuovi;
}

void sola_lettura(const fs::path& cartella) {
  fs::permissions(cartella, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
}

struct caso_guasto {
  std::string nome;
  uint64_t limite_byte_file = 0;  // 0: no limit
  bool cartella_sola_lettura = false;
  std::function<void(const fs::path&)> prepara;
  std::string nel_messaggio;          // the file the line names
  std::string motivo;                 // and the system's reason
  std::vector<std::string> nuovi;     // compiled files that end complete and new
  std::vector<std::string> cartelle;  // names that are folders before and after
  bool documenti = true;              // the three documents were written
};

void crea_cartella_con_file(const fs::path& cartella) {
  fs::create_directory(cartella);
  prova::scrivi(cartella / "dentro.txt", "a file inside");
}

// What the folder must hold after the run, sorted.
std::vector<std::string> elenco_atteso(const caso_guasto& c, const std::string& programma) {
  std::vector<std::string> nomi = {programma};
  nomi.insert(nomi.end(), prova::kCompilati.begin(), prova::kCompilati.end());
  for (const std::string& cartella : c.cartelle) {
    if (std::find(nomi.begin(), nomi.end(), cartella) == nomi.end()) nomi.push_back(cartella);
  }
  if (c.documenti) nomi.insert(nomi.end(), prova::kDocumenti.begin(), prova::kDocumenti.end());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

void controlla_compilati(const fs::path& cartella, const caso_guasto& c) {
  for (const std::string& nome : prova::kCompilati) {
    const bool e_cartella =
        std::find(c.cartelle.begin(), c.cartelle.end(), nome) != c.cartelle.end();
    if (e_cartella) {
      EXPECT_TRUE(fs::is_directory(cartella / nome)) << nome;
      EXPECT_EQ(prova::leggi(cartella / nome / "dentro.txt"), "a file inside") << nome;
      continue;
    }
    const bool nuovo = std::find(c.nuovi.begin(), c.nuovi.end(), nome) != c.nuovi.end();
    EXPECT_EQ(prova::leggi(cartella / nome), nuovo ? file_nuovi().at(nome) : vecchio(nome))
        << nome << (nuovo ? " is not the complete new file" : " is not the untouched old file");
  }
}

TEST(GuastiScrittura, TheRunStopsCleanlyAndEveryCompiledFileIsWholeOldOrWholeNew) {
  const auto nulla = [](const fs::path&) {};
  const auto cartella_al_posto_di = [](std::string nome) {
    return [nome](const fs::path& d) { crea_cartella_con_file(d / nome); };
  };
  // An empty folder: the one a careless clean-up could remove.
  const auto cartella_vuota_al_posto_di = [](std::string nome) {
    return [nome](const fs::path& d) { fs::create_directory(d / nome); };
  };
  // name, file-size limit, read-only folder, preparation, the file the line
  // names and the reason, compiled files that end new, names that are
  // folders, documents written.
  const std::vector<caso_guasto> casi = {
      {"full disk at the plan",
       100'000,
       false,
       nulla,
       prova::kTracciato,
       "File too large",
       {},
       {},
       true},
      {"full disk at the first source text",
       3'000,
       false,
       nulla,
       prova::kTestoLinea,
       "File too large",
       {},
       {},
       false},
      {"room for exactly the plan",
       kByteTracciato,
       false,
       nulla,
       "",
       "",
       prova::kCompilati,
       {},
       true},
      {"read-only folder", 0, true, nulla, prova::kTestoLinea, "Permission denied", {}, {}, false},
      {"the table's name is a folder",
       0,
       false,
       cartella_al_posto_di(prova::kTabella),
       prova::kTabella,
       "it is a folder, not a regular file",
       {prova::kTracciato},
       {prova::kTabella},
       true},
      {"the plan's name is a folder",
       0,
       false,
       cartella_al_posto_di(prova::kTracciato),
       prova::kTracciato,
       "it is a folder, not a regular file",
       {},
       {prova::kTracciato},
       true},
      // The temporary files once had fixed names: a folder there stopped the
      // run. Now it is someone else's name, left alone.
      {"the old temporary name of the cells is a folder",
       0,
       false,
       cartella_vuota_al_posto_di(prova::kCelle + ".tmp"),
       "",
       "",
       prova::kCompilati,
       {prova::kCelle + ".tmp"},
       true},
  };
  for (const caso_guasto& c : casi) {
    SCOPED_TRACE(c.nome);
    prova::cartella_temporanea cartella;
    const fs::path programma = copia_programma(cartella.percorso());
    for (const std::string& nome : prova::kCompilati) prova::scrivi(cartella / nome, vecchio(nome));
    for (const std::string& nome : c.cartelle) fs::remove(cartella / nome);
    c.prepara(cartella.percorso());
    if (c.cartella_sola_lettura) sola_lettura(cartella.percorso());

    const auto esito = prova::esegui({programma.string()}, cartella.percorso(),
                                     c.cartella_sola_lettura, c.limite_byte_file);

    if (c.nel_messaggio.empty()) {
      EXPECT_EQ(esito.stato, uscita_pulita) << esito.errori;
    } else {
      EXPECT_EQ(esito.stato, uscita_file_system) << esito.errori;
      // One line that names the file and the reason.
      EXPECT_EQ(std::count(esito.errori.begin(), esito.errori.end(), '\n'), 1) << esito.errori;
      EXPECT_NE(esito.errori.find(c.nel_messaggio + "'"), std::string::npos) << esito.errori;
      EXPECT_NE(esito.errori.find(c.motivo), std::string::npos) << esito.errori;
    }
    controlla_compilati(cartella.percorso(), c);
    EXPECT_EQ(prova::elenco(cartella.percorso()), elenco_atteso(c, programma.filename().string()));
  }
}

// The plan goes to disk block by block: a fault between two blocks (here the
// writer giving up before conferma) leaves the old file and no temporary one.
TEST(GuastiScrittura, AFileAbandonedBeforeItIsConfirmedLeavesTheOldOne) {
  prova::cartella_temporanea cartella;
  const fs::path file = cartella / prova::kTracciato;
  prova::scrivi(file, vecchio(prova::kTracciato));
  {
    file_in_sostituzione nuovo(file);
    const std::string blocco(1'000, 'x');
    nuovo.scrivi(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(blocco.data()), blocco.size()));
    // ".NAME.<12 random characters>.tmp" beside the old file.
    const std::vector<std::string> durante = prova::elenco(cartella.percorso());
    ASSERT_EQ(durante.size(), 2U);
    EXPECT_EQ(durante[1], prova::kTracciato);
    EXPECT_EQ(durante[0].size(), prova::kTracciato.size() + 18) << durante[0];
    EXPECT_TRUE(durante[0].starts_with("." + prova::kTracciato + ".")) << durante[0];
    EXPECT_TRUE(durante[0].ends_with(".tmp")) << durante[0];
    EXPECT_EQ(prova::leggi(cartella.percorso() / durante[0]), blocco);
  }
  EXPECT_EQ(prova::leggi(file), vecchio(prova::kTracciato));
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{prova::kTracciato});

  file_in_sostituzione confermato(file);
  confermato.scrivi(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("ab"), 2));
  confermato.scrivi(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("cd"), 2));
  confermato.conferma();
  EXPECT_EQ(prova::leggi(file), "abcd");
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{prova::kTracciato});
}

#ifdef SCENARIO_STRUMENTO
// scenario-tool compile writes the same files through the same layer, into a
// folder of the user's choosing and without the plan when asked: a limit that
// lets the table through stops it at the cells.
TEST(GuastiScrittura, CompileWithoutPlanOnAFullDiskKeepsTheNewTableAndTheOldCells) {
  prova::cartella_temporanea cartella;
  const fs::path strumento = SCENARIO_STRUMENTO;
  ASSERT_EQ(prova::esegui({strumento.string(), "export-sources", "."}, cartella.percorso()).stato,
            0);
  const fs::path uscita = cartella / "compilati";
  fs::create_directory(uscita);
  for (const std::string& nome : {prova::kTabella, prova::kCelle})
    prova::scrivi(uscita / nome, vecchio(nome));

  const auto esito = prova::esegui({strumento.string(), "compile", prova::kTestoLinea,
                                    prova::kTestoTreno, "compilati", "--no-plan"},
                                   cartella.percorso(), false, 10'000);

  EXPECT_EQ(esito.stato, uscita_file_system) << esito.errori;
  EXPECT_NE(esito.errori.find(prova::kCelle), std::string::npos) << esito.errori;
  EXPECT_NE(esito.errori.find("File too large"), std::string::npos) << esito.errori;
  EXPECT_EQ(prova::leggi(uscita / prova::kTabella), file_nuovi().at(prova::kTabella));
  EXPECT_EQ(prova::leggi(uscita / prova::kCelle), vecchio(prova::kCelle));
  EXPECT_EQ(prova::elenco(uscita), (std::vector<std::string>{prova::kCelle, prova::kTabella}));
}

TEST(GuastiScrittura, CompileIntoAReadOnlyFolderChangesNothingThere) {
  prova::cartella_temporanea cartella;
  const fs::path strumento = SCENARIO_STRUMENTO;
  ASSERT_EQ(prova::esegui({strumento.string(), "export-sources", "."}, cartella.percorso()).stato,
            0);
  const fs::path uscita = cartella / "compilati";
  fs::create_directory(uscita);
  for (const std::string& nome : prova::kCompilati) prova::scrivi(uscita / nome, vecchio(nome));
  sola_lettura(uscita);

  const auto esito = prova::esegui({strumento.string(), "compile", prova::kTestoLinea,
                                    prova::kTestoTreno, "compilati", "--json"},
                                   cartella.percorso(), true);

  EXPECT_EQ(esito.stato, uscita_file_system) << esito.errori;
  EXPECT_NE(esito.errori.find("Permission denied"), std::string::npos) << esito.errori;
  EXPECT_NE(esito.uscita.find("\"files_written\":false"), std::string::npos) << esito.uscita;
  for (const std::string& nome : prova::kCompilati)
    EXPECT_EQ(prova::leggi(uscita / nome), vecchio(nome));
  EXPECT_EQ(prova::elenco(uscita),
            (std::vector<std::string>{prova::kCelle, prova::kTabella, prova::kTracciato}));
}
#endif

}  // namespace
}  // namespace scenario
