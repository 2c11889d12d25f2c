#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/piattaforma.h"
#include "base/scrittore_testo.h"
#include "nomi_incorporati.h"
#include "scenario/sorgenti.h"
#include "strumento_prova.h"
#include "supporto.h"
#include "tools/comandi/comandi.h"
#include "tools/comandi/compilazione.h"

namespace scenario::strumento {
namespace {

namespace fs = std::filesystem;

using prova::esito_strumento;
using prova::strumento;

fs::path programma_strumento() { return SCENARIO_STRUMENTO; }

// A train text with no rows: the train half finds "[generale]", reads
// nothing more and leaves the line half's code as it is.
const std::string kTrenoVuoto = "[generale]\r\n";

std::string linea_con(const std::vector<std::string>& righe_dopo) {
  std::string testo = "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\n";
  for (const std::string& r : righe_dopo) testo += r + "\r\n";
  return testo + "[fine]\r\n";
}

TEST(ScenarioTool, ExportSourcesWritesTheEmbeddedTexts) {
  prova::cartella_temporanea cartella;
  const fs::path dentro = cartella / "nuova" / "sorgenti";
  const esito_strumento e = strumento({"export-sources", dentro.string()});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(prova::elenco(dentro),
            (std::vector<std::string>{prova::kTestoTreno, prova::kTestoLinea}));
  EXPECT_EQ(prova::leggi(dentro / prova::kTestoLinea), testo_da_righe(righe_dati_linea()));
  EXPECT_EQ(prova::leggi(dentro / prova::kTestoTreno), testo_da_righe(righe_dati_treno()));
}

TEST(ScenarioTool, CompileLeavesTheSourceTextsAsTheyAre) {
  prova::cartella_temporanea cartella;
  ASSERT_EQ(strumento({"export-sources", cartella.percorso().string()}).stato, 0);
  const std::string linea_prima = prova::leggi(cartella / prova::kTestoLinea);
  const esito_strumento e =
      strumento({"compile", (cartella / prova::kTestoLinea).string(),
                 (cartella / prova::kTestoTreno).string(), (cartella / "out").string()});
  EXPECT_EQ(e.uscita, "");
  EXPECT_EQ(prova::elenco(cartella / "out"), prova::kCompilati);
  EXPECT_EQ(prova::leggi(cartella / prova::kTestoLinea), linea_prima);
  EXPECT_TRUE(fs::exists(cartella / prova::kTestoTreno));
}

TEST(ScenarioTool, JsonLineForEachOutcome) {
  struct caso {
    std::string nome;
    std::optional<std::string> linea;
    std::vector<std::string> opzioni;
    std::string json;
    int stato;
    std::vector<std::string> file;
  };
  for (const caso& c : std::vector<caso>{
           {"missing line text",
            std::nullopt,
            {},
            R"({"codice_errore":101,"posizione_errore":0,"errore":null,"files_written":false})",
            uscita_senza_celle,
            {}},
           {"no length row",
            "[generale]\r\n[curve]\r\n",
            {},
            R"({"codice_errore":25,"posizione_errore":0,"errore":null,"files_written":false})",
            uscita_senza_celle,
            {}},
           {"a row beyond the strip",
            linea_con({"pendenza, 7950, 3"}),
            {"--no-plan", "--route", "R", "--train", "9"},
            R"({"codice_errore":15,"posizione_errore":7950,"errore":null,"files_written":true})",
            uscita_codice,
            {"R_9.dat", "R_9.sim"}},
       }) {
    SCOPED_TRACE(c.nome);
    prova::cartella_temporanea cartella;
    if (c.linea) prova::scrivi(cartella / "l.txt", *c.linea);
    prova::scrivi(cartella / "t.txt", kTrenoVuoto);
    std::vector<std::string> argomenti = {"compile", (cartella / "l.txt").string(),
                                          (cartella / "t.txt").string(),
                                          (cartella / "out").string(), "--json"};
    argomenti.insert(argomenti.end(), c.opzioni.begin(), c.opzioni.end());
    const esito_strumento e = strumento(argomenti);
    EXPECT_EQ(e.uscita, c.json + "\n");
    EXPECT_EQ(e.errori, "");
    EXPECT_EQ(e.stato, c.stato);
    EXPECT_EQ(prova::elenco(cartella / "out"), c.file);
    EXPECT_EQ(fs::exists(cartella / "l.txt"), c.linea.has_value());
    EXPECT_EQ(prova::leggi(cartella / "t.txt"), kTrenoVuoto);
  }
}

TEST(ScenarioTool, JsonNamesAFailedCheck) {
  esito_compilazione_strumento esito;
  esito.compilazione.codice_errore = 0;
  esito.compilazione.posizione_errore = 12;
  esito.compilazione.controllo_fallito = "1251";
  EXPECT_EQ(json_esito(esito),
            R"({"codice_errore":0,"posizione_errore":12,"errore":"1251","files_written":false})");
}

TEST(ScenarioTool, WithoutJsonANonzeroRecordIsOneLineOnStandardError) {
  prova::cartella_temporanea cartella;
  // Named as the program names them, so that nothing is said of the names.
  prova::scrivi(cartella / "R_linea.txt", linea_con({"pendenza, 7950, 3"}));
  prova::scrivi(cartella / "R_9-.txt", kTrenoVuoto);
  const esito_strumento e =
      strumento({"compile", (cartella / "R_linea.txt").string(), (cartella / "R_9-.txt").string(),
                 cartella.percorso().string()});
  EXPECT_EQ(e.stato, uscita_codice);
  EXPECT_EQ(e.uscita, "");
  EXPECT_NE(e.errori.find("code 15 ("), std::string::npos) << e.errori;
  EXPECT_NE(e.errori.find("at position 7950 m"), std::string::npos) << e.errori;
  EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
}

TEST(ScenarioTool, NoPlanLeavesAnOlderPlanFileAlone) {
  prova::cartella_temporanea cartella;
  ASSERT_EQ(strumento({"export-sources", cartella.percorso().string()}).stato, 0);
  prova::scrivi(cartella / "Ulmo_Tarvignano_Rovesco_linea.dat", "old");
  const esito_strumento e = strumento({"compile", (cartella / prova::kTestoLinea).string(),
                                       (cartella / prova::kTestoTreno).string(),
                                       cartella.percorso().string(), "--no-plan"});
  EXPECT_EQ(prova::leggi(cartella / "Ulmo_Tarvignano_Rovesco_linea.dat"), "old");
  EXPECT_TRUE(fs::exists(cartella / "Ulmo_Tarvignano_Rovesco_4816.dat"));
  EXPECT_TRUE(fs::exists(cartella / "Ulmo_Tarvignano_Rovesco_4816.sim"));
}

TEST(ScenarioTool, NamesArriveAsUtf8AndAreStoredAsWindows1252) {
  prova::cartella_temporanea cartella;
  prova::scrivi(cartella / "l.txt", linea_con({}));
  prova::scrivi(cartella / "t.txt", kTrenoVuoto);
  const esito_strumento e =
      strumento({"compile", (cartella / "l.txt").string(), (cartella / "t.txt").string(),
                 cartella.percorso().string(), "--route", "Citt\xC3\xA0", "--train",
                 "\xE2\x82\xAC"
                 "1"});
  ASSERT_TRUE(fs::exists(cartella / "Citt\xC3\xA0_\xE2\x82\xAC"
                                    "1.sim"))
      << e.errori;
  const std::string tabella = prova::leggi(cartella /
                                           "Citt\xC3\xA0_\xE2\x82\xAC"
                                           "1.sim");
  EXPECT_NE(tabella.find(std::string("\x05\x00"
                                     "Citt\xE0",
                                     7)),
            std::string::npos);
  EXPECT_NE(tabella.find(std::string("\x02\x00\x80"
                                     "1",
                                     4)),
            std::string::npos);
}

// The issue's pair: texts named as the program names them give their route
// and train to compile, view and check, with nothing said; texts that
// disagree, and options that differ, say which names are used; texts named
// otherwise keep the embedded names, with a note.
TEST(ScenarioTool, TheRouteAndTheTrainComeFromTheTextsNames) {
  prova::cartella_temporanea cartella;
  ASSERT_EQ(strumento({"export-sources", cartella.percorso().string()}).stato, 0);
  const fs::path linea = cartella / "Pievarsa_Fontanedo_linea.txt";
  const fs::path treno = cartella / "Pievarsa_Fontanedo_2271-.txt";
  fs::rename(cartella / prova::kTestoLinea, linea);
  fs::rename(cartella / prova::kTestoTreno, treno);

  const esito_strumento compilato =
      strumento({"compile", linea.string(), treno.string(), (cartella / "out").string()});
  EXPECT_EQ(compilato.stato, 0);
  EXPECT_EQ(compilato.errori, "");
  EXPECT_EQ(prova::elenco(cartella / "out"),
            (std::vector<std::string>{"Pievarsa_Fontanedo_2271.dat", "Pievarsa_Fontanedo_2271.sim",
                                      "Pievarsa_Fontanedo_linea.dat"}));
  EXPECT_NE(prova::leggi(cartella / "out/Pievarsa_Fontanedo_2271.sim").find("Pievarsa_Fontanedo"),
            std::string::npos);

  const esito_strumento vista =
      strumento({"view", linea.string(), treno.string(), "-o", (cartella / "v.html").string()});
  EXPECT_EQ(vista.stato, 0);
  EXPECT_EQ(vista.errori, "");
  EXPECT_NE(prova::leggi(cartella / "v.html")
                .find("<title>Pievarsa_Fontanedo &#8212; treno 2271</title>"),
            std::string::npos);

  const esito_strumento verificato = strumento({"check", linea.string(), treno.string()});
  EXPECT_EQ(verificato.errori, "no problems found\n");

  // Options that differ from the names win, and say so.
  const esito_strumento opzioni =
      strumento({"compile", linea.string(), treno.string(), (cartella / "opz").string(), "--route",
                 "R", "--train", "9"});
  EXPECT_EQ(opzioni.errori,
            "warning: --route 'R' is used, though the texts are named for route "
            "'Pievarsa_Fontanedo'\n"
            "warning: --train '9' is used, though the train text is named for train '2271'\n");
  EXPECT_EQ(prova::elenco(cartella / "opz"),
            (std::vector<std::string>{"R_9.dat", "R_9.sim", "R_linea.dat"}));

  // A train text of another route.
  const fs::path altro = cartella / "Fontanedo_2271-.txt";
  fs::copy_file(treno, altro);
  const std::string disaccordo =
      "the train text 'Fontanedo_2271-.txt' is named for route 'Fontanedo', the line text "
      "'Pievarsa_Fontanedo_linea.txt' for route 'Pievarsa_Fontanedo': route 'Pievarsa_Fontanedo' "
      "and train '2271' are used. Name the two texts for one route, ROUTE_linea.txt and "
      "ROUTE_TRAIN-.txt";
  const esito_strumento disaccordi =
      strumento({"compile", linea.string(), altro.string(), (cartella / "dis").string()});
  EXPECT_EQ(disaccordi.errori, "warning: " + disaccordo + "\n");
  const esito_strumento check_disaccordi = strumento({"check", linea.string(), altro.string()});
  EXPECT_EQ(check_disaccordi.errori,
            altro.string() + ": warning: " + disaccordo + " [names]\n0 errors, 1 warning\n");
  EXPECT_EQ(strumento({"check", linea.string(), altro.string(), "--allow", "names"}).errori,
            "no problems found\n");

  // Texts named otherwise.
  const fs::path l = cartella / "linea.txt";
  const fs::path t = cartella / "treno.txt";
  fs::copy_file(linea, l);
  fs::copy_file(treno, t);
  const esito_strumento altrimenti =
      strumento({"compile", l.string(), t.string(), (cartella / "alt").string()});
  EXPECT_EQ(altrimenti.errori,
            "note: the texts' names do not follow the program's naming, ROUTE_linea.txt and "
            "ROUTE_TRAIN-.txt: the embedded scenario's route 'Ulmo_Tarvignano_Rovesco' and train "
            "'4816' are used. Name the texts so, or give --route and --train\n");
  EXPECT_EQ(prova::elenco(cartella / "alt"), prova::kCompilati);
  // With --json the one line is all.
  const esito_strumento json =
      strumento({"compile", l.string(), t.string(), (cartella / "alt").string(), "--json"});
  EXPECT_EQ(json.errori, "");
}

// view writes no compiled file: a compile of the texts that records an
// error, or leaves no cell strip, is told in view's own words.
TEST(ScenarioTool, ViewTellsAFailedCompileInItsOwnWords) {
  prova::cartella_temporanea cartella;
  const fs::path linea = cartella / "R_linea.txt";
  const fs::path treno = cartella / "R_9-.txt";
  prova::scrivi(treno, kTrenoVuoto);
  prova::scrivi(linea, linea_con({"pendenza, 7950, 3"}));
  const esito_strumento errore =
      strumento({"view", linea.string(), treno.string(), "-o", (cartella / "v.html").string()});
  EXPECT_EQ(errore.stato, 0);
  EXPECT_TRUE(
      errore.errori.starts_with("view: the compile of the texts records an error: code 15 ("))
      << errore.errori;
  EXPECT_EQ(errore.errori.find("compiled files"), std::string::npos) << errore.errori;
  EXPECT_EQ(std::count(errore.errori.begin(), errore.errori.end(), '\n'), 1) << errore.errori;

  prova::scrivi(linea, "[generale]\r\n[curve]\r\n");
  const esito_strumento senza_celle =
      strumento({"view", linea.string(), treno.string(), "-o", (cartella / "w.html").string()});
  EXPECT_EQ(senza_celle.stato, uscita_senza_celle);
  EXPECT_TRUE(senza_celle.errori.starts_with(
      "view: the texts leave no cell strip, so no page is written: code 25 ("))
      << senza_celle.errori;
  EXPECT_FALSE(fs::exists(cartella / "w.html"));
}

// new writes a pair under the program's names that check, compile and view
// take without a word, and never writes over a text.
TEST(ScenarioTool, NewWritesACleanPairUnderTheProgramsNames) {
  prova::cartella_temporanea cartella;
  const fs::path dentro = cartella / "nuovo";
  const esito_strumento e =
      strumento({"new", dentro.string(), "--route", "Pievarsa_Fontanedo", "--train", "2271"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  const fs::path linea = dentro / "Pievarsa_Fontanedo_linea.txt";
  const fs::path treno = dentro / "Pievarsa_Fontanedo_2271-.txt";
  EXPECT_EQ(e.uscita, linea.string() + "\n" + treno.string() + "\n");
  EXPECT_EQ(prova::elenco(dentro), (std::vector<std::string>{"Pievarsa_Fontanedo_2271-.txt",
                                                             "Pievarsa_Fontanedo_linea.txt"}));
  EXPECT_TRUE(prova::leggi(linea).ends_with("[fine]\r\n"));

  const esito_strumento check = strumento({"check", linea.string(), treno.string()});
  EXPECT_EQ(check.stato, 0);
  EXPECT_EQ(check.errori, "no problems found\n");
  const esito_strumento compilato =
      strumento({"compile", linea.string(), treno.string(), (cartella / "out").string()});
  EXPECT_EQ(compilato.stato, 0);
  EXPECT_EQ(compilato.errori, "");
  EXPECT_EQ(prova::elenco(cartella / "out"),
            (std::vector<std::string>{"Pievarsa_Fontanedo_2271.dat", "Pievarsa_Fontanedo_2271.sim",
                                      "Pievarsa_Fontanedo_linea.dat"}));
  const esito_strumento vista =
      strumento({"view", linea.string(), treno.string(), "-o", (cartella / "v.html").string()});
  EXPECT_EQ(vista.stato, 0);
  EXPECT_EQ(vista.errori, "");

  // A text that exists is never replaced: nothing is written.
  prova::scrivi(treno, "mine");
  fs::remove(linea);
  const esito_strumento di_nuovo =
      strumento({"new", dentro.string(), "--route", "Pievarsa_Fontanedo", "--train", "2271"});
  EXPECT_EQ(di_nuovo.stato, uscita_file_system);
  EXPECT_NE(di_nuovo.errori.find("exists already"), std::string::npos) << di_nuovo.errori;
  EXPECT_EQ(prova::leggi(treno), "mine");
  EXPECT_FALSE(fs::exists(linea));
  EXPECT_EQ(strumento({"new", dentro.string(), "--route", "R"}).stato, kUscitaUso);
}

TEST(ScenarioTool, UsageErrors) {
  prova::cartella_temporanea cartella;
  prova::scrivi(cartella / "l.txt", linea_con({}));
  const std::string l = (cartella / "l.txt").string();
  const std::string t = (cartella / "t.txt").string();
  const std::string o = cartella.percorso().string();
  for (const std::vector<std::string>& argomenti : std::vector<std::vector<std::string>>{
           {},
           {"unknown"},
           {"compile", l, t},
           {"compile", l, t, o, "--plan"},
           {"compile", l, t, o, "--route", "\xE6\x97\xA5"},  // not in the code page
           {"compile", l, t, o, "--route", "\xC3"},          // not UTF-8
           {"compile", l, t, o, "--train", "../4816"},
           {"export-sources"},
       }) {
    const esito_strumento e = strumento(argomenti);
    EXPECT_EQ(e.stato, kUscitaUso) << ::testing::PrintToString(argomenti);
    EXPECT_NE(e.errori, "");
    EXPECT_EQ(e.uscita, "");
  }
  EXPECT_EQ(prova::leggi(cartella / "l.txt"), linea_con({}));
}

TEST(ScenarioTool, ACompiledFileThatWouldOverwriteASourceIsAUsageError) {
  prova::cartella_temporanea cartella;
  prova::scrivi(cartella / "R_9.dat", linea_con({}));
  const esito_strumento e =
      strumento({"compile", (cartella / "R_9.dat").string(), (cartella / "t.txt").string(),
                 cartella.percorso().string(), "--route", "R", "--train", "9"});
  EXPECT_EQ(e.stato, kUscitaUso);
  EXPECT_NE(e.errori.find("would overwrite a source text"), std::string::npos) << e.errori;
  EXPECT_EQ(prova::leggi(cartella / "R_9.dat"), linea_con({}));
}

// A folder that cannot be made (a file stands in its place) is a fault of the
// file system, reported on standard error even with --json.
TEST(ScenarioTool, AFolderThatCannotBeMadeIs4) {
  prova::cartella_temporanea cartella;
  prova::scrivi(cartella / "file", "x");
  const std::string dentro_un_file = (cartella / "file" / "sotto").string();
  const esito_strumento esporta = strumento({"export-sources", dentro_un_file});
  EXPECT_EQ(esporta.stato, uscita_file_system);
  EXPECT_NE(esporta.errori, "");

  prova::scrivi(cartella / "l.txt", linea_con({}));
  const esito_strumento compila =
      strumento({"compile", (cartella / "l.txt").string(), (cartella / "t.txt").string(),
                 dentro_un_file, "--json"});
  EXPECT_EQ(compila.stato, uscita_file_system);
  EXPECT_EQ(
      compila.uscita,
      "{\"codice_errore\":0,\"posizione_errore\":0,\"errore\":null,\"files_written\":false}\n");
  EXPECT_NE(compila.errori.find("cannot create the folder"), std::string::npos) << compila.errori;
}

TEST(ScenarioTool, HelpOnEverySubcommandListsTheExitStatuses) {
  for (const std::vector<std::string>& argomenti : std::vector<std::vector<std::string>>{
           {"--help"}, {"compile", "--help"}, {"export-sources", "--help"}}) {
    const esito_strumento e = strumento(argomenti);
    EXPECT_EQ(e.stato, 0);
    EXPECT_NE(e.uscita.find("Exit status:"), std::string::npos);
    EXPECT_NE(e.uscita.find("64  usage error"), std::string::npos);
  }
  EXPECT_NE(strumento({"compile", "--help"}).uscita.find("--no-plan"), std::string::npos);
}

// The real executables: the program run in a folder of its own, and the tool
// exporting the texts and compiling them, give the same compiled files.
TEST(ScenarioToolProcesso, ExportThenCompileGivesTheProgramsOwnFiles) {
  prova::cartella_temporanea cartella;
  const fs::path cartella_programma = cartella / "programma";
  fs::create_directory(cartella_programma);
  const fs::path copia = cartella_programma / prova::programma().filename();
  fs::copy_file(prova::programma(), copia);
  const prova::esito_processo corsa = prova::esegui({copia.string()}, cartella_programma);

  const fs::path sorgenti = cartella / "sorgenti";
  const fs::path uscita = cartella / "uscita";
  const std::string tool = programma_strumento().string();
  const prova::esito_processo esporta =
      prova::esegui({tool, "export-sources", sorgenti.string()}, cartella.percorso());
  ASSERT_EQ(esporta.stato, 0) << esporta.errori;
  const prova::esito_processo compila =
      prova::esegui({tool, "compile", (sorgenti / prova::kTestoLinea).string(),
                     (sorgenti / prova::kTestoTreno).string(), uscita.string()},
                    cartella.percorso());
  EXPECT_EQ(compila.stato, corsa.stato) << compila.errori << corsa.errori;
  EXPECT_EQ(compila.errori, corsa.errori);
  ASSERT_EQ(prova::elenco(uscita), prova::kCompilati);
  for (const std::string& nome : prova::kCompilati) {
    EXPECT_TRUE(prova::leggi_byte(uscita / nome) == prova::leggi_byte(cartella_programma / nome))
        << nome;
  }
  EXPECT_EQ(prova::elenco(sorgenti),
            (std::vector<std::string>{prova::kTestoTreno, prova::kTestoLinea}));
}

TEST(ScenarioToolProcesso, JsonIsExactlyOneLineOnStandardOutput) {
  prova::cartella_temporanea cartella;
  const prova::esito_processo e = prova::esegui({programma_strumento().string(), "compile",
                                                 "missing.txt", "missing-too.txt", "out", "--json"},
                                                cartella.percorso());
  EXPECT_EQ(e.stato, uscita_senza_celle);
  EXPECT_EQ(
      e.uscita,
      "{\"codice_errore\":101,\"posizione_errore\":0,\"errore\":null,\"files_written\":false}\n");
  EXPECT_EQ(e.errori, "");
}

TEST(ScenarioToolProcesso, AUsageErrorExitsWith64) {
  prova::cartella_temporanea cartella;
  const prova::esito_processo e = prova::esegui(
      {programma_strumento().string(), "compile", "only-one.txt"}, cartella.percorso());
  EXPECT_EQ(e.stato, 64);
  EXPECT_NE(e.errori, "");
  EXPECT_TRUE(prova::elenco(cartella.percorso()).empty());
}

}  // namespace
}  // namespace scenario::strumento
