// scenario-tool build and card, and the programs build makes: run in a
// folder of their own they write what the program writes for its own
// scenario, compile what scenario-tool compile compiles, and refuse a
// scenario that is not whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/esecuzione.h"
#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "bench/percorso_massimo.h"
#include "compiler/sorgente.h"
#include "documents/bozza_scheda.h"
#include "documents/documenti.h"
#include "nomi_incorporati.h"
#include "output/compilazione.h"
#include "scenario/identita.h"
#include "scenario/pacchetto.h"
#include "scenario/sorgenti.h"
#include "strumento_prova.h"
#include "supporto.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgramma = "Ulmo_Tarvignano_Rovesco_4816";

// A folder of runners for the tests: the Linux runner under both names, so
// that the "Windows" program runs here too and shows what was joined to it.
struct esecutori_di_prova {
  esecutori_di_prova() {
    fs::copy_file(SCENARIO_ESECUTORE, cartella / "scenario-runner");
    fs::copy_file(SCENARIO_ESECUTORE, cartella / "scenario-runner.exe");
  }
  std::string percorso() const { return cartella.percorso().string(); }
  prova::cartella_temporanea cartella;
};

// The six files of a run, by name.
std::vector<std::pair<std::string, std::string>> file_della_corsa(const fs::path& cartella,
                                                                  const std::string& escluso) {
  std::vector<std::pair<std::string, std::string>> file;
  for (const std::string& nome : prova::elenco(cartella)) {
    if (nome != escluso) file.emplace_back(nome, prova::leggi(cartella / nome));
  }
  return file;
}

// `programma` copied alone into a new folder and run there.
struct corsa {
  explicit corsa(const fs::path& programma) {
    copia = cartella / programma.filename().string();
    fs::copy_file(programma, copia);
    esito = prova::esegui({copia.string()}, cartella.percorso());
  }
  std::vector<std::pair<std::string, std::string>> file() const {
    return file_della_corsa(cartella.percorso(), copia.filename().string());
  }
  prova::cartella_temporanea cartella;
  fs::path copia;
  prova::esito_processo esito;
};

// The embedded scenario's texts and its three documents, in a folder as an
// author holds them.
void scenario_incorporato_in(const fs::path& cartella) {
  scenario::modello m;
  m.percorso = scenario::kPercorso;
  m.treno = scenario::kTreno;
  scenario::dati_linea(m, cartella);
  scenario::dati_treno(m, cartella);
  scenario::dati_scheda(m, cartella);
  scenario::dati_rallentamenti(m, cartella);
  scenario::dati_note(m, cartella);
}

// build on the embedded scenario's exported texts and documents makes
// programs whose runs write the program's six files, byte for byte.
TEST(Build, TheEmbeddedScenarioBuiltRunsAsTheProgram) {
  prova::cartella_temporanea autore;
  scenario_incorporato_in(autore.percorso());
  esecutori_di_prova esecutori;
  const fs::path uscita = autore / "programmi";
  const prova::esito_strumento b =
      prova::strumento({"build", autore.percorso().string(), "-o", uscita.string(), "--runners",
                        esecutori.percorso()});
  ASSERT_EQ(b.stato, 0) << b.errori;
  EXPECT_EQ(b.errori, "");
  EXPECT_EQ(b.uscita, (uscita / kProgramma).string() + "\n" +
                          (uscita / (kProgramma + ".exe")).string() + "\n");
  EXPECT_EQ(prova::elenco(uscita), (std::vector<std::string>{kProgramma, kProgramma + ".exe"}));
  EXPECT_TRUE((fs::status(uscita / kProgramma).permissions() & fs::perms::owner_exec) !=
              fs::perms::none);

  const corsa originale(prova::programma());
  ASSERT_EQ(originale.esito.stato, 0) << originale.esito.errori;
  ASSERT_EQ(originale.file().size(), 6U);
  for (const std::string& nome : {kProgramma, kProgramma + ".exe"}) {
    const corsa costruita(uscita / nome);
    EXPECT_EQ(costruita.esito.stato, 0) << costruita.esito.errori;
    EXPECT_EQ(costruita.esito.errori, originale.esito.errori);
    EXPECT_TRUE(costruita.file() == originale.file()) << nome;
  }
}

// A runner with nothing joined, or with its scenario cut short or altered,
// says so in one line and writes nothing.
TEST(Build, ARunnerWithoutAWholeScenarioWritesNothing) {
  prova::cartella_temporanea autore;
  scenario_incorporato_in(autore.percorso());
  esecutori_di_prova esecutori;
  ASSERT_EQ(
      prova::strumento({"build", autore.percorso().string(), "--runners", esecutori.percorso()})
          .stato,
      0);
  const std::string intero = prova::leggi(autore / kProgramma);
  const std::string esecutore = prova::leggi(SCENARIO_ESECUTORE);
  const std::string mancante =
      "this program carries no scenario, or its scenario is cut short: make it again with "
      "scenario-tool build\n";
  struct caso {
    const char* nome;
    std::string byte;
    std::string messaggio;
  };
  std::string alterato = intero;
  alterato[esecutore.size() + 100] = static_cast<char>(alterato[esecutore.size() + 100] ^ 0x20);
  const std::vector<caso> casi = {
      {"none", esecutore, mancante},
      {"cut short", intero.substr(0, intero.size() - 7), mancante},
      {"altered", alterato,
       "this program's scenario is altered (its checksum does not match): make it again with "
       "scenario-tool build\n"},
  };
  for (const caso& c : casi) {
    prova::cartella_temporanea d;
    const fs::path programma = d / kProgramma;
    scenario::sostituisci_programma(programma, c.byte);
    const prova::esito_processo e = prova::esegui({programma.string()}, d.percorso());
    EXPECT_EQ(e.stato, 5) << c.nome;
    EXPECT_EQ(e.errori, c.messaggio) << c.nome;
    EXPECT_EQ(prova::elenco(d.percorso()), std::vector<std::string>{kProgramma}) << c.nome;
  }
}

// A scenario generated to size: a line of `km` kilometres with a station
// every 5 km and a signal every 1 500 m.
scenario::banco::testi_sorgente generato(int km) {
  std::string l = "[generale]\r\nlunghezza percorso, " + std::to_string(km * 1000) +
                  "\r\nprogressiva chilometrica uno, 0, 0, 0\r\n"
                  "ripetizione segnali 4 codici, 500, " +
                  std::to_string(km * 1000 - 500) + "\r\n[curve]\r\n";
  for (int k = 0; k < km / 2; ++k) {
    l += std::string(k % 3 == 2 ? "curvas2, " : "curvad3, ") + std::to_string(k * 2000 + 700) +
         ", 300\r\n";
  }
  l += "[pendenze]\r\n";
  for (int k = 0; k <= km; ++k) {
    l += "pendenza, " + std::to_string(k * 1000) + ", " + std::to_string((k * 13) % 40 - 15) +
         "\r\n";
  }
  l += "[fine]\r\n";
  std::string t =
      "[generale]\r\nnumero vetture, 3\r\npercentuale massa frenata, 100\r\n"
      "orologio, 6 0 0\r\n[aderenze]\r\naderenza, 0, 90\r\n[vel_limite]\r\n"
      "velocita, 0, 100\r\n[stazioni]\r\n";
  for (int k = 1; k * 5 < km; ++k) {
    const int minuti = 6 * 60 + 4 * k;
    t += "stazione, " + std::to_string(k * 5000) + ", 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, " +
         std::to_string(minuti / 60) + "," + std::to_string(minuti % 60) + ", 0, STAZIONE " +
         std::to_string(k) + "\r\n";
  }
  t += "[segnali]\r\n";
  for (int k = 0; k * 1500 + 500 < km * 1000; ++k) {
    t += "segnale, " + std::to_string(k * 1500 + 500) + ", 1, 4, 0, 0, 0, 2, 2,0,0, 0\r\n";
  }
  t += "[codici]\r\n[fine]\r\n";
  return {l, t};
}

// Programs built for generated scenarios, the largest valid route among
// them, compile what scenario-tool compile compiles from the same texts.
TEST(Build, BuiltProgramsCompileAsCompileDoes) {
  struct caso {
    const char* percorso;
    const char* treno;
    scenario::banco::testi_sorgente testi;
  };
  const std::vector<caso> casi = {{"Breve", "1", generato(12)},
                                  {"Nuova_Linea", "2041", generato(35)},
                                  {"Massimo", "99999", scenario::banco::percorso_massimo()}};
  esecutori_di_prova esecutori;
  for (const caso& c : casi) {
    prova::cartella_temporanea autore;
    const std::string base = std::string(c.percorso) + "_" + c.treno;
    const fs::path linea = autore / (std::string(c.percorso) + "_linea.txt");
    const fs::path treno = autore / (base + "-.txt");
    prova::scrivi(linea, c.testi.linea);
    prova::scrivi(treno, c.testi.treno);
    const prova::esito_strumento b =
        prova::strumento({"build", autore.percorso().string(), "--runners", esecutori.percorso()});
    ASSERT_EQ(b.stato, 0) << c.percorso << b.errori;

    const fs::path compilati = autore / "compilati";
    const prova::esito_strumento k =
        prova::strumento({"compile", linea.string(), treno.string(), compilati.string(), "--route",
                          c.percorso, "--train", c.treno});
    ASSERT_EQ(k.stato, 0) << c.percorso << k.errori;

    const corsa costruita(autore / base);
    EXPECT_EQ(costruita.esito.stato, 0) << c.percorso << costruita.esito.errori;
    for (const std::string& nome : prova::elenco(compilati)) {
      EXPECT_TRUE(prova::leggi(costruita.cartella / nome) == prova::leggi(compilati / nome))
          << c.percorso << " " << nome;
    }
    // Its texts are written whole, the largest route's line text included.
    const std::vector<std::string> attesi = {base + ".dat",
                                             base + ".sim",
                                             base + "_note.txt",
                                             base + "_rallentamenti.txt",
                                             base + "_scheda_treno.txt",
                                             std::string(c.percorso) + "_linea.dat"};
    std::vector<std::string> trovati;
    for (const auto& [nome, byte] : costruita.file()) trovati.push_back(nome);
    std::sort(trovati.begin(), trovati.end());
    std::vector<std::string> ordinati = attesi;
    std::sort(ordinati.begin(), ordinati.end());
    EXPECT_EQ(trovati, ordinati) << c.percorso;
  }
}

// A scenario with an error is refused with check's diagnoses, word for
// word, and nothing is made.
TEST(Build, AnErrorIsRefusedWithChecksDiagnoses) {
  prova::cartella_temporanea autore;
  scenario::modello m;
  m.percorso = scenario::kPercorso;
  m.treno = scenario::kTreno;
  scenario::dati_linea(m, autore.percorso());
  std::string treno = scenario::testo_da_righe(scenario::righe_dati_treno());
  const std::size_t stazione = treno.find("stazione,");
  ASSERT_NE(stazione, std::string::npos);
  // The first station's position, a multiple of 50 m, made one that is not.
  const std::size_t cifre = treno.find_first_of("0123456789", stazione);
  treno[treno.find_first_not_of("0123456789", cifre) - 1] = '5';
  prova::scrivi(autore / prova::kTestoTreno, treno);
  const prova::esito_strumento v = prova::strumento(
      {"check", (autore / prova::kTestoLinea).string(), (autore / prova::kTestoTreno).string()});
  ASSERT_EQ(v.stato, 1);

  esecutori_di_prova esecutori;
  const fs::path uscita = autore / "programmi";
  const prova::esito_strumento b =
      prova::strumento({"build", autore.percorso().string(), "-o", uscita.string(), "--runners",
                        esecutori.percorso()});
  EXPECT_EQ(b.stato, 1);
  EXPECT_EQ(b.errori, v.errori);
  EXPECT_EQ(b.uscita, "");
  EXPECT_FALSE(fs::exists(uscita));
}

// What build carries of the folder: a document as written, whole (a line
// that reads as the writers' end mark included, LF made CR LF); a UTF-8 one
// converted or refused; for missing ones, the draft, the blank form, and
// notes that only name the line and train.
TEST(Build, DocumentsOfTheFolderAndInTheirPlace) {
  esecutori_di_prova esecutori;
  const scenario::banco::testi_sorgente testi = generato(35);
  const std::string base = "Nuova_Linea_2041";
  auto autore_con = [&](const std::vector<std::pair<std::string, std::string>>& documenti) {
    auto d = std::make_unique<prova::cartella_temporanea>();
    prova::scrivi(*d / "Nuova_Linea_linea.txt", testi.linea);
    prova::scrivi(*d / (base + "-.txt"), testi.treno);
    for (const auto& [nome, byte] : documenti) prova::scrivi(*d / (base + nome), byte);
    return d;
  };

  {
    const auto autore =
        autore_con({{"_scheda_treno.txt", "TRENO 2041\nriferimento fine del file\nfine"},
                    {"_note.txt", "Citt\xC3\xA0 \xE2\x82\xAC\r\n"}});
    const prova::esito_strumento b =
        prova::strumento({"build", autore->percorso().string(), "--runners", esecutori.percorso()});
    ASSERT_EQ(b.stato, 0) << b.errori;
    const std::string cartella = autore->percorso().string();
    EXPECT_EQ(b.errori, "build: " + cartella + " holds no " + base +
                            "_rallentamenti.txt: the program carries the standard blank form\n");
    const corsa c(*autore / base);
    ASSERT_EQ(c.esito.stato, 0) << c.esito.errori;
    EXPECT_EQ(prova::leggi(c.cartella / (base + "_scheda_treno.txt")),
              "TRENO 2041\r\nriferimento fine del file\r\nfine\r\n");
    EXPECT_EQ(prova::leggi(c.cartella / (base + "_note.txt")), "Citt\xE0 \x80\r\n");
    EXPECT_EQ(prova::leggi(c.cartella / (base + "_rallentamenti.txt")),
              scenario::testo_da_righe(scenario::righe_dati_rallentamenti()));
  }
  {
    const auto autore = autore_con({});
    const prova::esito_strumento b =
        prova::strumento({"build", autore->percorso().string(), "--runners", esecutori.percorso()});
    ASSERT_EQ(b.stato, 0) << b.errori;
    const std::string cartella = autore->percorso().string();
    EXPECT_EQ(b.errori,
              "build: " + cartella + " holds no " + base +
                  "_scheda_treno.txt: the program carries the card drafted from the texts "
                  "(scenario-tool card writes the draft, to finish by hand)\n"
                  "build: " +
                  cartella + " holds no " + base +
                  "_rallentamenti.txt: the program carries the standard blank form\n"
                  "build: " +
                  cartella + " holds no " + base +
                  "_note.txt: no notes are invented; the program writes a short notes file "
                  "naming the line and the train\n");
    const corsa c(*autore / base);
    ASSERT_EQ(c.esito.stato, 0) << c.esito.errori;
    scenario::modello m;
    m.percorso = "Nuova_Linea";
    m.treno = "2041";
    EXPECT_EQ(prova::leggi(c.cartella / (base + "_note.txt")),
              scenario::testo_intero(scenario::righe_note_assenti(m)));
    EXPECT_EQ(prova::leggi(c.cartella / (base + "_note.txt")),
              "Scenario della linea Nuova_Linea per il treno 2041.\r\n"
              "L'autore dello scenario non ha scritto note.\r\n");
  }
  {
    const auto autore = autore_con({{"_note.txt", "prima riga\r\n\xE2\x86\x92 seconda\r\n"}});
    const prova::esito_strumento b =
        prova::strumento({"build", autore->percorso().string(), "--runners", esecutori.percorso()});
    EXPECT_EQ(b.stato, 1);
    EXPECT_EQ(b.errori.substr(b.errori.rfind("build: ")),
              "build: " + (*autore / (base + "_note.txt")).string() +
                  ":2: this document is UTF-8 and its line holds a character Windows-1252 "
                  "cannot write: replace it, or save the document as Windows-1252\n");
    EXPECT_FALSE(fs::exists(*autore / base));
  }
}

// card writes the draft build carries, through the file layer.
TEST(Build, CardWritesTheDraft) {
  const scenario::banco::testi_sorgente testi = generato(35);
  prova::cartella_temporanea autore;
  prova::scrivi(autore / "Nuova_Linea_linea.txt", testi.linea);
  prova::scrivi(autore / "Nuova_Linea_2041-.txt", testi.treno);
  const fs::path scheda = autore / "bozza.txt";
  const prova::esito_strumento c =
      prova::strumento({"card", autore.percorso().string(), "-o", scheda.string()});
  ASSERT_EQ(c.stato, 0) << c.errori;
  EXPECT_EQ(c.uscita, scheda.string() + "\n");

  scenario::modello m;
  scenario::opzioni_compilazione o;
  o.percorso = m.percorso = "Nuova_Linea";
  o.treno = m.treno = "2041";
  scenario::sorgente_in_memoria l(testi.linea);
  scenario::sorgente_in_memoria t(testi.treno);
  scenario::compila_percorso(m, l, t, o);
  EXPECT_EQ(prova::leggi(scheda),
            scenario::testo_intero(scenario::bozza_scheda_treno(m, testi.treno)));

  // Not over one of the texts.
  const prova::esito_strumento su = prova::strumento(
      {"card", autore.percorso().string(), "-o", (autore / "Nuova_Linea_linea.txt").string()});
  EXPECT_EQ(su.stato, 64);
  EXPECT_EQ(prova::leggi(autore / "Nuova_Linea_linea.txt"), testi.linea);
}

// A folder of several scenarios lists them and asks for one; one of none
// says so.
TEST(Build, SeveralScenariosAreListed) {
  const scenario::banco::testi_sorgente testi = generato(12);
  prova::cartella_temporanea autore;
  prova::scrivi(autore / "A_linea.txt", testi.linea);
  prova::scrivi(autore / "A_1-.txt", testi.treno);
  prova::scrivi(autore / "A_2-.txt", testi.treno);
  prova::scrivi(autore / "B_linea.txt", testi.linea);
  prova::scrivi(autore / "B_7-.txt", testi.treno);
  const std::string cartella = autore.percorso().string();
  for (const char* comando : {"build", "card"}) {
    std::vector<std::string> argomenti = {comando, cartella};
    if (std::string(comando) == "card") argomenti.insert(argomenti.end(), {"-o", "x.txt"});
    const prova::esito_strumento e = prova::strumento(argomenti);
    EXPECT_EQ(e.stato, 64) << comando;
    EXPECT_EQ(e.errori, std::string(comando) + ": " + cartella +
                            " holds 3 scenarios; choose one with --route and --train:\n"
                            "  --route A --train 1\n  --route A --train 2\n"
                            "  --route B --train 7\n");
    argomenti.insert(argomenti.end(), {"--route", "A"});
    EXPECT_EQ(prova::strumento(argomenti).errori,
              std::string(comando) + ": " + cartella +
                  " holds 2 scenarios; choose one with --route and --train:\n"
                  "  --route A --train 1\n  --route A --train 2\n");
  }
  prova::cartella_temporanea vuota;
  const prova::esito_strumento e = prova::strumento({"build", vuota.percorso().string()});
  EXPECT_EQ(e.stato, 4);
  EXPECT_EQ(e.errori, "build: " + vuota.percorso().string() +
                          " holds no scenario (no ROUTE_linea.txt beside a ROUTE_TRAIN-.txt)\n");
}

// The tool in the build tree finds the Linux runner beside itself, and says
// which runner it lacks; --zip holds the Windows program and its read-me.
TEST(Build, TheToolSaysWhichRunnerItLacks) {
  prova::cartella_temporanea autore;
  scenario_incorporato_in(autore.percorso());
  const fs::path strumento = fs::canonical(SCENARIO_STRUMENTO);
  const prova::esito_processo e = prova::esegui(
      {strumento.string(), "build", autore.percorso().string(), "--zip"}, autore.percorso());
  EXPECT_EQ(e.stato, 4);
  const fs::path accanto = strumento.parent_path();
  EXPECT_EQ(e.errori, "build: no Windows runner 'scenario-runner.exe' in '" + accanto.string() +
                          "' or '" + (accanto.parent_path() / "lib" / "scenario-tool").string() +
                          "': " + kProgramma +
                          ".exe not made (give the folder that holds it with --runners)\n"
                          "build: " +
                          kProgramma + ".zip not made: it holds the Windows program\n");
  EXPECT_EQ(e.uscita, (autore / kProgramma).string() + "\n");
  EXPECT_TRUE(fs::exists(autore / kProgramma));

  esecutori_di_prova esecutori;
  const prova::esito_strumento z = prova::strumento(
      {"build", autore.percorso().string(), "--zip", "--runners", esecutori.percorso()});
  ASSERT_EQ(z.stato, 0) << z.errori;
  const fs::path archivio = autore / (kProgramma + ".zip");
  const prova::esito_processo prova_zip =
      prova::esegui({"/usr/bin/unzip", "-t", archivio.string()}, autore.percorso());
  EXPECT_EQ(prova_zip.stato, 0) << prova_zip.uscita << prova_zip.errori;
  const prova::esito_processo lista =
      prova::esegui({"/usr/bin/unzip", "-Z1", archivio.string()}, autore.percorso());
  EXPECT_EQ(lista.uscita, kProgramma + ".exe\nLEGGIMI.txt\n");
  const prova::esito_processo exe = prova::esegui(
      {"/usr/bin/unzip", "-p", archivio.string(), kProgramma + ".exe"}, autore.percorso());
  EXPECT_TRUE(exe.uscita == prova::leggi(autore / (kProgramma + ".exe")));
}

}  // namespace
