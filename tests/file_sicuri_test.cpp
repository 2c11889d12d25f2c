// Which file the system opens, tried as a hostile user would: links at the
// temporary and the real names, special files as texts and as outputs, an
// output over an input, names the simulator's platform cannot hold. Every
// writer (the program, compile, export-sources, plot) and every reader
// (compile, check, dump, the program's own run) is covered.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/esecuzione.h"
#include "base/stati_uscita.h"
#include "compiler/sorgente.h"
#include "nomi_incorporati.h"
#include "strumento_prova.h"
#include "supporto.h"
#include "tools/comandi/comandi.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

const std::string kVittima = "victim, never to be changed";

std::string strumento_eseguibile() { return SCENARIO_STRUMENTO; }

fs::path copia_programma(const fs::path& cartella) {
  fs::path copia = cartella / prova::programma().filename();
  fs::copy_file(prova::programma(), copia);
  return copia;
}

// The embedded texts and what one clean compile of them writes, by name.
struct riferimento {
  std::map<std::string, std::string> testi;
  std::map<std::string, std::string> compilati;
};

const riferimento& scenario_incorporato() {
  static const riferimento r = [] {
    prova::cartella_temporanea cartella;
    riferimento letto;
    if (prova::strumento({"export-sources", cartella.percorso().string()}).stato != 0 ||
        prova::strumento({"compile", (cartella / prova::kTestoLinea).string(),
                          (cartella / prova::kTestoTreno).string(), (cartella / "out").string()})
                .stato != 0) {
      throw std::runtime_error("the embedded scenario does not compile");
    }
    for (const std::string& nome : {prova::kTestoLinea, prova::kTestoTreno}) {
      letto.testi[nome] = prova::leggi(cartella / nome);
    }
    for (const std::string& nome : prova::kCompilati) {
      letto.compilati[nome] = prova::leggi(cartella / "out" / nome);
    }
    return letto;
  }();
  return r;
}

// A folder with the embedded texts in src/ and a victim file beside it.
class FileSicuri : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(cartella_ / "src");
    for (const auto& [nome, testo] : scenario_incorporato().testi) {
      prova::scrivi(cartella_ / "src" / nome, testo);
    }
    prova::scrivi(vittima(), kVittima);
  }

  fs::path percorso() const { return cartella_.percorso(); }
  fs::path vittima() const { return cartella_ / "victim.txt"; }
  std::string linea() const { return (cartella_ / "src" / prova::kTestoLinea).string(); }
  std::string treno() const { return (cartella_ / "src" / prova::kTestoTreno).string(); }

  prova::esito_strumento compila(const std::vector<std::string>& altro = {}) const {
    std::vector<std::string> argomenti = {"compile", linea(), treno(),
                                          (cartella_ / "out").string()};
    argomenti.insert(argomenti.end(), altro.begin(), altro.end());
    return prova::strumento(argomenti);
  }

  prova::cartella_temporanea cartella_;
};

// --------------------------------------------------------- links (item 1)

struct scrittore {
  std::string nome;
  std::vector<std::string> file;  // the names it writes, relative to its folder
  // Runs it in `cartella` (which holds src/ with the texts); its files go to
  // cartella/dove. Returns the exit status.
  std::function<int(const fs::path& cartella, const fs::path& dove)> esegui;
};

std::vector<scrittore> scrittori() {
  std::vector<std::string> del_programma = {prova::kTestoLinea, prova::kTestoTreno};
  del_programma.insert(del_programma.end(), prova::kCompilati.begin(), prova::kCompilati.end());
  del_programma.insert(del_programma.end(), prova::kDocumenti.begin(), prova::kDocumenti.end());
  return {
      {"the program", del_programma,
       [](const fs::path&, const fs::path& dove) {
         const prova::esito_processo e = prova::esegui({copia_programma(dove).string()}, dove);
         return e.stato;
       }},
      {"compile", prova::kCompilati,
       [](const fs::path& cartella, const fs::path& dove) {
         return prova::strumento({"compile", (cartella / "src" / prova::kTestoLinea).string(),
                                  (cartella / "src" / prova::kTestoTreno).string(), dove.string()})
             .stato;
       }},
      {"export-sources",
       {prova::kTestoLinea, prova::kTestoTreno},
       [](const fs::path&, const fs::path& dove) {
         return prova::strumento({"export-sources", dove.string()}).stato;
       }},
      {"plot",
       {"route.svg"},
       [](const fs::path& cartella, const fs::path& dove) {
         const std::string compilati = (cartella / "compilati").string();
         if (prova::strumento({"compile", (cartella / "src" / prova::kTestoLinea).string(),
                               (cartella / "src" / prova::kTestoTreno).string(), compilati})
                 .stato != 0) {
           return -1;
         }
         return prova::strumento({"plot", compilati, "-o", (dove / "route.svg").string()}).stato;
       }},
  };
}

// Every writer once made its temporary file at NAME.tmp, following a link
// there: a link to a victim file overwrote the victim (and left the real
// name a link to it), a dangling one created the file it pointed at.
TEST_F(FileSicuri, ALinkAtTheOldTemporaryNameIsLeftAloneByEveryWriter) {
  int numero = 0;
  for (const scrittore& s : scrittori()) {
    SCOPED_TRACE(s.nome);
    const fs::path dove = cartella_ / ("out-" + std::to_string(++numero));
    fs::create_directory(dove);
    for (std::size_t k = 0; k < s.file.size(); ++k) {
      // Half point at the victim, half nowhere (a file that does not exist).
      const fs::path destinazione =
          k % 2 == 0 ? fs::path("../victim.txt") : fs::path("../created-" + s.file[k]);
      fs::create_symlink(destinazione, dove / (s.file[k] + ".tmp"));
    }

    EXPECT_EQ(s.esegui(percorso(), dove), 0);

    EXPECT_EQ(prova::leggi(vittima()), kVittima);
    for (std::size_t k = 0; k < s.file.size(); ++k) {
      SCOPED_TRACE(s.file[k]);
      EXPECT_FALSE(fs::exists(cartella_ / ("created-" + s.file[k])));
      EXPECT_TRUE(fs::is_symlink(dove / (s.file[k] + ".tmp")));
      const bool cancellato = s.file[k] == prova::kTestoLinea || s.file[k] == prova::kTestoTreno;
      if (!(cancellato && s.nome == "the program")) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dove / s.file[k])));
      }
      if (scenario_incorporato().compilati.count(s.file[k]) != 0) {
        EXPECT_EQ(prova::leggi(dove / s.file[k]), scenario_incorporato().compilati.at(s.file[k]));
      }
    }
  }
}

// A link at the real name is replaced by the new file: what it pointed at
// stays as it was, or is not created.
TEST_F(FileSicuri, ALinkAtTheRealNameIsReplacedNeverFollowed) {
  fs::create_directory(cartella_ / "out");
  fs::create_symlink("../victim.txt", cartella_ / "out" / prova::kTabella);
  fs::create_symlink("../created.dat", cartella_ / "out" / prova::kCelle);

  EXPECT_EQ(compila().stato, 0);

  EXPECT_EQ(prova::leggi(vittima()), kVittima);
  EXPECT_FALSE(fs::exists(cartella_ / "created.dat"));
  for (const std::string& nome : prova::kCompilati) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(cartella_ / "out" / nome))) << nome;
    EXPECT_EQ(prova::leggi(cartella_ / "out" / nome), scenario_incorporato().compilati.at(nome));
  }
  EXPECT_EQ(prova::elenco(cartella_ / "out"), prova::kCompilati);
}

// --------------------------------------------- compile and its texts (item 3)

// The guard against overwriting a text once looked only at the final names:
// texts lying at the fixed temporary names were overwritten, then removed.
TEST_F(FileSicuri, CompileNeverTouchesTextsLyingWhereItsTemporaryFilesOnceWere) {
  fs::create_directory(cartella_ / "out");
  const fs::path linea_tmp = cartella_ / "out" / (prova::kTracciato + ".tmp");
  const fs::path treno_tmp = cartella_ / "out" / (prova::kTabella + ".tmp");
  fs::copy_file(linea(), linea_tmp);
  fs::copy_file(treno(), treno_tmp);

  const prova::esito_strumento e = prova::strumento(
      {"compile", linea_tmp.string(), treno_tmp.string(), (cartella_ / "out").string()});

  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(prova::leggi(linea_tmp), scenario_incorporato().testi.at(prova::kTestoLinea));
  EXPECT_EQ(prova::leggi(treno_tmp), scenario_incorporato().testi.at(prova::kTestoTreno));
  for (const std::string& nome : prova::kCompilati) {
    EXPECT_EQ(prova::leggi(cartella_ / "out" / nome), scenario_incorporato().compilati.at(nome));
  }
  EXPECT_EQ(prova::elenco(cartella_ / "out"),
            (std::vector<std::string>{prova::kCelle, prova::kTabella, prova::kTabella + ".tmp",
                                      prova::kTracciato, prova::kTracciato + ".tmp"}));
}

// A text is told by what it is, not by how its name is spelt: a hard link
// of the train text under a compiled file's name is the train text.
TEST_F(FileSicuri, ACompiledNameThatIsATextUnderAnotherNameIsAUsageError) {
  fs::create_directory(cartella_ / "out");
  fs::create_hard_link(treno(), cartella_ / "out" / prova::kTabella);

  const prova::esito_strumento e = compila();

  EXPECT_EQ(e.stato, strumento::kUscitaUso);
  EXPECT_NE(e.errori.find("would overwrite a source text"), std::string::npos) << e.errori;
  EXPECT_EQ(prova::leggi(treno()), scenario_incorporato().testi.at(prova::kTestoTreno));
  EXPECT_EQ(prova::elenco(cartella_ / "out"), std::vector<std::string>{prova::kTabella});
}

// ------------------------------------------------- special files (items 4, 5)

void crea_fifo(const fs::path& file) { ASSERT_EQ(mkfifo(file.c_str(), 0644), 0) << file; }

void crea_socket(const fs::path& file) {
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un indirizzo{};
  indirizzo.sun_family = AF_UNIX;
  ASSERT_LT(file.native().size(), sizeof indirizzo.sun_path);
  std::strcpy(indirizzo.sun_path, file.c_str());
  ASSERT_EQ(bind(s, reinterpret_cast<const sockaddr*>(&indirizzo), sizeof indirizzo), 0);
  close(s);
}

// A character device of our own (the null device's numbers) where we may
// make one: replacing it harms nothing outside the test's folder.
bool crea_dispositivo(const fs::path& file) {
  return mknod(file.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

class PlotUscita : public FileSicuri {
 protected:
  void SetUp() override {
    FileSicuri::SetUp();
    ASSERT_EQ(compila().stato, 0);
  }
  fs::path uscita() const { return cartella_ / "out"; }
  prova::esito_strumento plot(const fs::path& pagina) const {
    return prova::strumento({"plot", uscita().string(), "-o", pagina.string()});
  }
};

// plot -o once replaced whatever stood there: its own input, a FIFO, a device.
TEST_F(PlotUscita, AnOutputThatIsOneOfItsInputsIsAUsageError) {
  fs::create_hard_link(uscita() / prova::kCelle, cartella_ / "celle-bis.dat");
  for (const fs::path& pagina :
       {uscita() / prova::kTabella, uscita() / prova::kCelle, uscita() / prova::kTracciato,
        uscita() / ".." / "out" / prova::kTabella, cartella_ / "celle-bis.dat"}) {
    SCOPED_TRACE(pagina);
    const prova::esito_strumento e = plot(pagina);
    EXPECT_EQ(e.stato, strumento::kUscitaUso);
    EXPECT_NE(e.errori.find("is a file plot reads"), std::string::npos) << e.errori;
    for (const std::string& nome : prova::kCompilati) {
      EXPECT_EQ(prova::leggi(uscita() / nome), scenario_incorporato().compilati.at(nome)) << nome;
    }
  }
}

TEST_F(PlotUscita, AnOutputThatIsNoRegularFileIsRefusedAndLeftAsItIs) {
  struct caso {
    std::string nome;
    std::function<bool(const fs::path&)> crea;
    std::function<bool(const fs::path&)> ancora;
    std::string che_cosa;
  };
  const std::vector<caso> casi = {
      {"fifo", [](const fs::path& f) { return mkfifo(f.c_str(), 0644) == 0; },
       [](const fs::path& f) { return fs::is_fifo(f); }, "a FIFO"},
      {"socket",
       [](const fs::path& f) {
         crea_socket(f);
         return fs::is_socket(f);
       },
       [](const fs::path& f) { return fs::is_socket(f); }, "a socket"},
      {"device", crea_dispositivo, [](const fs::path& f) { return fs::is_character_file(f); },
       "a character device"},
      {"folder", [](const fs::path& f) { return fs::create_directory(f); },
       [](const fs::path& f) { return fs::is_directory(f); }, "a folder"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const fs::path pagina = cartella_ / (c.nome + ".svg");
    if (!c.crea(pagina)) {
      std::cout << "cannot make a " << c.nome << " here: case skipped\n";
      continue;
    }
    const prova::esito_strumento e = plot(pagina);
    EXPECT_EQ(e.stato, uscita_file_system);
    EXPECT_EQ(e.errori, "plot: cannot replace '" + pagina.string() + "': it is " + c.che_cosa +
                            ", not a regular file\n");
    EXPECT_TRUE(c.ancora(pagina));
  }
  EXPECT_EQ(prova::leggi(vittima()), kVittima);
}

// A text that is not a regular file was taken for a missing one: a folder or
// an unreadable train text compiled as an empty train (code 25, files
// written); /dev/zero grew without end and a FIFO blocked forever. Now each
// is refused at once, before anything is written, with the same line as
// check gives.
TEST_F(FileSicuri, ATextThatIsNoRegularFileOrCannotBeReadIsStatus4BeforeAnythingIsWritten) {
  const bool radice = geteuid() == 0;
  struct caso {
    std::string nome;
    std::function<fs::path(const fs::path&)> prepara;  // returns the text to give
    std::string motivo;
    bool linea = false;  // as the line text (else the train text)
  };
  const std::vector<caso> casi = {
      {"folder as train text",
       [](const fs::path& d) {
         fs::create_directory(d / "t");
         return d / "t";
       },
       "it is a folder, not a regular file"},
      {"folder as line text",
       [](const fs::path& d) {
         fs::create_directory(d / "l");
         return d / "l";
       },
       "it is a folder, not a regular file", true},
      {"fifo as train text",
       [](const fs::path& d) {
         mkfifo((d / "t").c_str(), 0644);
         return d / "t";
       },
       "it is a FIFO, not a regular file"},
      {"/dev/zero as train text", [](const fs::path&) { return fs::path("/dev/zero"); },
       "it is a character device, not a regular file"},
      {"a link to /dev/zero as line text",
       [](const fs::path& d) {
         fs::create_symlink("/dev/zero", d / "l");
         return d / "l";
       },
       "it is a character device, not a regular file", true},
      {"unreadable train text",
       [this](const fs::path& d) {
         fs::copy_file(treno(), d / "t");
         fs::permissions(d / "t", fs::perms::none);
         return d / "t";
       },
       "Permission denied"},
      {"train text beyond the size limit",
       [](const fs::path& d) {
         // A sparse file: no disk used, one byte more than a text may hold.
         prova::scrivi(d / "t", "");
         fs::resize_file(d / "t", (uint64_t{64} << 20) + 1);
         return d / "t";
       },
       "it is larger than 64 MiB, the most a source text may be"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    prova::cartella_temporanea d;
    fs::permissions(d.percorso(), fs::perms::all);
    const fs::path testo = c.prepara(d.percorso());
    const std::string l = c.linea ? testo.string() : linea();
    const std::string t = c.linea ? treno() : testo.string();
    const std::string out = (d / "out").string();
    const std::string atteso = "cannot read '" + testo.string() + "': " + c.motivo + "\n";
    // As nobody when the tests run as root, so that permissions bind.
    const prova::esito_processo compila = prova::esegui(
        {strumento_eseguibile(), "compile", l, t, out, "--json"}, d.percorso(), radice, 0, 10);
    const prova::esito_processo verifica =
        prova::esegui({strumento_eseguibile(), "check", l, t}, d.percorso(), radice, 0, 10);

    EXPECT_EQ(compila.stato, uscita_file_system);
    EXPECT_EQ(compila.errori, atteso);
    EXPECT_EQ(compila.uscita,
              "{\"codice_errore\":0,\"posizione_errore\":0,\"errore\":null,\"files_written\":"
              "false}\n");
    EXPECT_FALSE(fs::exists(d / "out"));
    EXPECT_EQ(verifica.stato, uscita_file_system);
    EXPECT_EQ(verifica.errori, atteso);
  }
}

// dump read /dev/zero and FIFOs until the end of time.
TEST_F(FileSicuri, DumpRefusesAFileThatIsNoRegularFileAtOnce) {
  fs::create_symlink("/dev/zero", cartella_ / "zero.dat");
  crea_fifo(cartella_ / "fifo.sim");
  prova::scrivi(cartella_ / "grande_linea.dat", "");
  fs::resize_file(cartella_ / "grande_linea.dat", (uint64_t{256} << 20) + 1);
  prova::scrivi(cartella_ / "grande.dat", "");
  fs::resize_file(cartella_ / "grande.dat", uint64_t{256} << 20);
  for (const auto& [nome, motivo] : std::vector<std::pair<std::string, std::string>>{
           {"zero.dat", "it is a character device, not a regular file"},
           {"fifo.sim", "it is a FIFO, not a regular file"},
           {"grande_linea.dat",
            "it is larger than 20140020 bytes, the most a track plan file may be"},
           {"grande.dat", "it is larger than 302115 bytes, the most a cell file may be"}}) {
    SCOPED_TRACE(nome);
    const prova::esito_processo e = prova::esegui(
        {strumento_eseguibile(), "dump", (cartella_ / nome).string()}, percorso(), false, 0, 10);
    EXPECT_EQ(e.stato, uscita_file_system);
    EXPECT_EQ(e.errori,
              "dump: cannot read '" + (cartella_ / nome).string() + "': " + motivo + "\n");
    EXPECT_EQ(e.uscita, "");
  }
}

// The program's own run reads the texts it has just written; should one be
// swapped for something that is no regular file, the run records the read
// failure it always has (code 25), at once.
TEST_F(FileSicuri, TheRunTakesNoSpecialFileForItsTrainText) {
  prova::cartella_temporanea d;
  modello m;
  m.percorso = "Ulmo_Tarvignano_Rovesco";
  m.treno = "4816";
  scrivi_testi(m, d.percorso());
  fs::remove(d / prova::kTestoTreno);
  crea_fifo(d / prova::kTestoTreno);
  sorgente_su_disco l(d / prova::kTestoLinea);
  sorgente_su_disco t(d / prova::kTestoTreno);
  piattaforma_registrata p;

  const esito_compilazione esito = memorizza_percorso(m, 1, l, t, d.percorso(), p);

  EXPECT_EQ(esito.codice_errore, 25);
  EXPECT_EQ(stato_compilazione(esito, p), uscita_codice);
  EXPECT_FALSE(fs::exists(d / prova::kTestoLinea));
  EXPECT_FALSE(fs::exists(d / prova::kTestoTreno));
}

// ---------------------------------------------------------- names (item 6)

// --route and --train become parts of file names on the simulator's
// platform: what it cannot hold is a usage error, and nothing is written.
TEST_F(FileSicuri, NamesThePlatformCannotHoldAreUsageErrorsBeforeAnythingIsWritten) {
  const std::vector<std::string> cattivi = {"",
                                            "..",
                                            ".hidden",
                                            "a:b",
                                            "a*b",
                                            "a?b",
                                            "a\"b",
                                            "a<b",
                                            "a>b",
                                            "a|b",
                                            "a/b",
                                            "a\\b",
                                            std::string("a\x7F") + "b",
                                            std::string("a\x01") + "b",
                                            "blank ",
                                            "dot.",
                                            "CON",
                                            "con.txt",
                                            "Nul",
                                            "PRN.sim",
                                            "aux",
                                            "COM1",
                                            "com9.x",
                                            "LPT1",
                                            "lpt9",
                                            "\xC3\xA0\x01"};
  // Too long with the other name: route + "_4816-.txt", or
  // "Ulmo_Tarvignano_Rovesco_" + train + "-.txt", beyond 255 bytes.
  const std::map<std::string, std::string> troppo_lunghi = {{"--route", std::string(246, 'r')},
                                                            {"--train", std::string(240, '4')}};
  for (const std::string opzione : {"--route", "--train"}) {
    std::vector<std::string> nomi = cattivi;
    nomi.push_back(troppo_lunghi.at(opzione));
    for (const std::string& nome : nomi) {
      SCOPED_TRACE(testing::Message() << opzione << " '" << nome << "'");
      const prova::esito_strumento c = compila({opzione, nome});
      EXPECT_EQ(c.stato, strumento::kUscitaUso);
      EXPECT_NE(c.errori, "");
      EXPECT_FALSE(fs::exists(cartella_ / "out"));
      const prova::esito_strumento p = prova::strumento(
          {"plot", percorso().string(), opzione, nome, "-o", (cartella_ / "p.svg").string()});
      EXPECT_EQ(p.stato, strumento::kUscitaUso);
      EXPECT_FALSE(fs::exists(cartella_ / "p.svg"));
    }
  }
  // Names that may stand, and the longest route name the table names allow.
  const std::vector<std::string> buoni = {
      "R",       "4816",  "a.b", "Citt\xC3\xA0",
      "CONSOLE", "COM10", "x y", std::string(255 - std::string("_4816-.txt").size(), 'r')};
  for (const std::string& nome : buoni) {
    SCOPED_TRACE(nome);
    prova::cartella_temporanea d;
    const prova::esito_strumento c =
        prova::strumento({"compile", linea(), treno(), d.percorso().string(), "--route", nome});
    EXPECT_EQ(c.stato, 0) << c.errori;
  }
}

}  // namespace
}  // namespace scenario
