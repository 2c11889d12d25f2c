// What a release brings around scenario-tool: its version, the manual page
// and the shell completions. The page and the completions are written by
// hand; these tests keep them equal to the command line the tool defines
// (crea_app), so that an option added, removed or reworded shows here.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "strumento_prova.h"
#include "supporto.h"
#include "tools/comandi/comandi.h"
#include "tools/versione.h"

namespace scenario::strumento {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- the command line

// The tool's command line, as --help shows it.
struct riga_di_comando {
  std::ostringstream uscita, errori;
  contesto c{uscita, errori};
  std::unique_ptr<CLI::App> app = crea_app(c);

  std::vector<CLI::App*> sottocomandi() const {
    return app->get_subcommands([](CLI::App*) { return true; });
  }
  CLI::App* sottocomando(const std::string& nome) const {
    for (CLI::App* s : sottocomandi()) {
      if (s->get_name() == nome) return s;
    }
    return nullptr;
  }
};

// "-o", "--output"; a positional argument by its name ("DIR").
std::vector<std::string> nomi_opzione(const CLI::Option* o) {
  std::vector<std::string> nomi;
  for (const std::string& s : o->get_snames()) nomi.push_back("-" + s);
  for (const std::string& l : o->get_lnames()) nomi.push_back("--" + l);
  if (nomi.empty()) nomi.push_back(o->get_name(true));
  return nomi;
}

// The options of `app` that are written with a dash, --help included.
std::set<std::string> nomi_con_trattino(const CLI::App* app) {
  std::set<std::string> nomi;
  for (const CLI::Option* o : app->get_options()) {
    if (o->get_snames().empty() && o->get_lnames().empty()) continue;
    for (const std::string& n : nomi_opzione(o)) nomi.insert(n);
  }
  return nomi;
}

// Whitespace runs as one space, none at the ends.
std::string compatto(std::string_view testo) {
  std::string risultato;
  bool spazio = false;
  for (char c : testo) {
    if (c == ' ' || c == '\n' || c == '\t') {
      spazio = !risultato.empty();
      continue;
    }
    if (spazio) risultato += ' ';
    spazio = false;
    risultato += c;
  }
  return risultato;
}

// The entries "  N   meaning" of a footer's "Exit status:" list, a meaning
// that runs on over several lines joined.
std::vector<std::pair<std::string, std::string>> stati_del_piede(const std::string& piede) {
  std::vector<std::pair<std::string, std::string>> stati;
  std::istringstream righe(piede);
  std::string riga;
  const std::regex voce(R"(^  (\d+) +(.*)$)");
  while (std::getline(righe, riga)) {
    std::smatch m;
    if (std::regex_match(riga, m, voce)) {
      stati.emplace_back(m[1], m[2]);
    } else if (!stati.empty()) {
      stati.back().second += " " + riga;
    }
  }
  for (auto& [numero, testo] : stati) testo = compatto(testo);
  return stati;
}

// Every "--word" in `testo`, and with `corte` every "-x" too.
std::set<std::string> opzioni_in(const std::string& testo, bool corte = false) {
  std::set<std::string> trovate;
  const std::regex lunga(R"((^|[^-\w])(--[a-z][a-z-]*))");
  const std::regex anche_corta(R"((^|[^-\w])(--?[a-z][a-z-]*))");
  const std::regex& opzione = corte ? anche_corta : lunga;
  for (auto i = std::sregex_iterator(testo.begin(), testo.end(), opzione);
       i != std::sregex_iterator(); ++i) {
    trovate.insert((*i)[2]);
  }
  return trovate;
}

// ---------------------------------------------------------------- the manual page

// A .TP paragraph: its tag line and the text under it.
struct voce_troff {
  std::string etichetta;
  std::string testo;
};

// The text of a .SH or .SS heading up to the first .TP, then its paragraphs.
struct parte_troff {
  std::string titolo;
  std::string testo;
  std::vector<voce_troff> voci;
  std::vector<std::string> esempi;  // the lines between .EX and .EE
};

struct sezione_troff {
  parte_troff corpo;  // up to the first .SS
  std::vector<parte_troff> sotto;
};

struct pagina_troff {
  std::string titolo;  // the .TH line
  std::vector<sezione_troff> sezioni;
  std::string tutto;  // every line as it reads

  const sezione_troff* sezione(const std::string& titolo_cercato) const {
    for (const sezione_troff& s : sezioni) {
      if (s.corpo.titolo == titolo_cercato) return &s;
    }
    return nullptr;
  }
};

// A line of text as it reads: font changes and escapes taken out.
std::string leggibile(std::string riga) {
  const std::pair<std::string_view, std::string_view> sostituzioni[] = {
      {"\\fB", ""}, {"\\fI", ""}, {"\\fR", ""},   {"\\fP", ""},
      {"\\-", "-"}, {"\\&", ""},  {"\\(mu", "x"}, {"\\e", "\\"}};
  for (const auto& [escape, testo] : sostituzioni) {
    for (std::size_t p = riga.find(escape); p != std::string::npos;
         p = riga.find(escape, p + testo.size())) {
      riga.replace(p, escape.size(), testo);
    }
  }
  return riga;
}

// The arguments of a macro line, quotes taken off.
std::vector<std::string> argomenti_macro(const std::string& resto) {
  std::vector<std::string> argomenti;
  std::size_t i = 0;
  while (i < resto.size()) {
    if (resto[i] == ' ') {
      ++i;
      continue;
    }
    const bool virgolette = resto[i] == '"';
    const std::size_t inizio = virgolette ? i + 1 : i;
    const std::size_t fine = resto.find(virgolette ? '"' : ' ', inizio);
    argomenti.push_back(resto.substr(inizio, fine - inizio));
    i = fine == std::string::npos ? resto.size() : fine + 1;
  }
  return argomenti;
}

// What a line reads as: a font macro gives its arguments (.B and .I
// spaced, the alternating ones joined), a text line itself, any other
// request nothing.
std::optional<std::string> testo_della_riga(const std::string& riga) {
  if (riga.empty() || riga[0] != '.') return leggibile(riga);
  const std::size_t spazio = riga.find(' ');
  const std::string macro = riga.substr(1, spazio == std::string::npos ? spazio : spazio - 1);
  const std::vector<std::string> argomenti =
      argomenti_macro(spazio == std::string::npos ? "" : riga.substr(spazio + 1));
  std::string testo;
  if (macro == "B" || macro == "I") {
    for (const std::string& a : argomenti) testo += (testo.empty() ? "" : " ") + a;
  } else if (macro.size() == 2 && std::string_view("BIR").find(macro[0]) != std::string::npos &&
             std::string_view("BIR").find(macro[1]) != std::string::npos) {
    for (const std::string& a : argomenti) testo += a;
  } else {
    return std::nullopt;
  }
  return leggibile(testo);
}

pagina_troff leggi_pagina(const fs::path& file) {
  pagina_troff p;
  std::istringstream righe(prova::leggi(file));
  std::string riga;
  parte_troff* parte = nullptr;
  voce_troff* voce = nullptr;
  bool etichetta = false, esempio = false;
  auto aggiungi = [](std::string& a, const std::string& testo) { a = compatto(a + " " + testo); };
  while (std::getline(righe, riga)) {
    if (riga.rfind(".\\\"", 0) == 0) continue;
    const std::string macro = riga.substr(0, riga.find(' '));
    const std::string argomento = riga.size() > macro.size() ? riga.substr(macro.size() + 1) : "";
    if (macro == ".TH") {
      p.titolo = riga;
    } else if (macro == ".SH") {
      p.sezioni.emplace_back();
      parte = &p.sezioni.back().corpo;
      parte->titolo = compatto(leggibile(argomento));
      voce = nullptr;
    } else if (macro == ".SS" && !p.sezioni.empty()) {
      p.sezioni.back().sotto.emplace_back();
      parte = &p.sezioni.back().sotto.back();
      parte->titolo = compatto(leggibile(argomento));
      voce = nullptr;
    } else if (macro == ".TP" && parte != nullptr) {
      parte->voci.emplace_back();
      voce = &parte->voci.back();
      etichetta = true;
    } else if (macro == ".PP") {
      voce = nullptr;
    } else if (macro == ".EX" || macro == ".EE") {
      esempio = macro == ".EX";
    } else if (const std::optional<std::string> testo = testo_della_riga(riga)) {
      aggiungi(p.tutto, *testo);
      if (parte == nullptr) continue;
      if (esempio) parte->esempi.push_back(compatto(*testo));
      if (etichetta) {
        voce->etichetta = compatto(*testo);
        etichetta = false;
      } else {
        aggiungi(voce != nullptr ? voce->testo : parte->testo, *testo);
      }
    }
  }
  return p;
}

// The names a tag gives: "-o, --output FILE.svg" gives -o and --output;
// "FILE..." gives FILE.
std::set<std::string> nomi_etichetta(const std::string& etichetta) {
  std::set<std::string> nomi;
  std::string parola;
  std::istringstream parole(etichetta);
  while (parole >> parola) {
    if (parola.back() == ',') parola.pop_back();
    if (parola.rfind('-', 0) == 0) nomi.insert(parola);
  }
  if (nomi.empty()) {
    std::string primo = etichetta.substr(0, etichetta.find(' '));
    if (primo.size() > 3 && primo.ends_with("...")) primo.resize(primo.size() - 3);
    nomi.insert(primo);
  }
  return nomi;
}

// The paragraphs of `parte` must be the options of `opzioni`, one each, in
// order, each under its tag with the text --help gives it.
void confronta_voci(const parte_troff& parte, const std::vector<const CLI::Option*>& opzioni) {
  SCOPED_TRACE(parte.titolo);
  ASSERT_EQ(parte.voci.size(), opzioni.size())
      << "the page has one paragraph per option, and no other";
  for (std::size_t k = 0; k < opzioni.size(); ++k) {
    const std::vector<std::string> nomi = nomi_opzione(opzioni[k]);
    EXPECT_EQ(nomi_etichetta(parte.voci[k].etichetta),
              std::set<std::string>(nomi.begin(), nomi.end()))
        << parte.voci[k].etichetta;
    EXPECT_EQ(parte.voci[k].testo.rfind(compatto(opzioni[k]->get_description()), 0), 0U)
        << nomi.front() << ": the page says \"" << parte.voci[k].testo << "\"";
  }
}

class Manuale : public ::testing::Test {
 protected:
  riga_di_comando riga_;
  pagina_troff pagina_ = leggi_pagina(SCENARIO_MANUALE);
};

TEST_F(Manuale, HasTheSectionsOfAManualPageAndTheVersionInItsTitle) {
  std::vector<std::string> titoli;
  for (const sezione_troff& s : pagina_.sezioni) titoli.push_back(s.corpo.titolo);
  EXPECT_EQ(titoli,
            (std::vector<std::string>{"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "COMMANDS",
                                      "EXIT STATUS", "FILES", "EXAMPLES", "SEE ALSO"}));
  EXPECT_EQ(pagina_.titolo, ".TH SCENARIO-TOOL 1 \"\" \"scenario-tool " + std::string(kVersione) +
                                "\" \"User Commands\"");
  EXPECT_EQ(pagina_.sezione("DESCRIPTION")->corpo.testo.rfind(riga_.app->get_description(), 0), 0U);
}

TEST_F(Manuale, TheOptionsOfTheToolItselfWithTheirText) {
  const CLI::App* strumento = riga_.app.get();
  confronta_voci(pagina_.sezione("OPTIONS")->corpo, strumento->get_options());
}

TEST_F(Manuale, EverySubcommandInTheOrderOfHelpWithItsArgumentsAndOptions) {
  const std::vector<parte_troff>& pagina = pagina_.sezione("COMMANDS")->sotto;
  const std::vector<CLI::App*> sottocomandi = riga_.sottocomandi();
  ASSERT_EQ(pagina.size(), sottocomandi.size());
  for (std::size_t k = 0; k < sottocomandi.size(); ++k) {
    const CLI::App* s = sottocomandi[k];
    EXPECT_EQ(pagina[k].titolo, s->get_name());
    EXPECT_EQ(pagina[k].testo.rfind(compatto(s->get_description()), 0), 0U) << pagina[k].testo;
    // --help of every subcommand is the tool's, under OPTIONS.
    std::vector<const CLI::Option*> opzioni = s->get_options();
    std::erase(opzioni, s->get_help_ptr());
    // Positional arguments first, as --help lists them.
    std::stable_partition(opzioni.begin(), opzioni.end(),
                          [](const CLI::Option* o) { return !o->nonpositional(); });
    confronta_voci(pagina[k], opzioni);
  }
}

TEST_F(Manuale, TheExitStatusesOfEverySubcommandAsHelpGivesThem) {
  std::set<std::string> trovati;
  for (const parte_troff& gruppo : pagina_.sezione("EXIT STATUS")->sotto) {
    std::vector<std::pair<std::string, std::string>> pagina;
    for (const voce_troff& v : gruppo.voci) pagina.emplace_back(v.etichetta, v.testo);
    std::istringstream nomi(gruppo.titolo);
    std::string nome;
    while (std::getline(nomi, nome, ',')) {
      nome = compatto(nome);
      SCOPED_TRACE(nome);
      const CLI::App* s = riga_.sottocomando(nome);
      ASSERT_NE(s, nullptr) << "the page names a subcommand the tool lacks";
      EXPECT_EQ(pagina, stati_del_piede(s->get_footer()));
      trovati.insert(nome);
    }
  }
  for (const CLI::App* s : riga_.sottocomandi()) EXPECT_TRUE(trovati.contains(s->get_name()));
}

TEST_F(Manuale, TheSynopsisAndTheExamplesUseOnlyWhatTheToolHas) {
  // One synopsis line per subcommand, with all its options, and one for the
  // tool's own.
  const std::string sinossi = pagina_.sezione("SYNOPSIS")->corpo.testo;
  std::vector<std::string> righe;
  for (std::size_t p = sinossi.find("scenario-tool"); p != std::string::npos;) {
    const std::size_t dopo = sinossi.find("scenario-tool", p + 1);
    righe.push_back(compatto(sinossi.substr(p + 14, dopo - p - 14)));
    p = dopo;
  }
  ASSERT_EQ(righe.size(), riga_.sottocomandi().size() + 1) << sinossi;
  for (std::size_t k = 0; k < riga_.sottocomandi().size(); ++k) {
    const CLI::App* s = riga_.sottocomandi()[k];
    SCOPED_TRACE(s->get_name());
    EXPECT_EQ(righe[k].substr(0, righe[k].find(' ')), s->get_name());
    // Every option but --help by one of its names, and nothing else.
    const std::set<std::string> scritte = opzioni_in(righe[k], true);
    const std::set<std::string> sue = nomi_con_trattino(s);
    for (const std::string& o : scritte) EXPECT_TRUE(sue.contains(o)) << righe[k];
    for (const CLI::Option* o : s->get_options()) {
      if (o == s->get_help_ptr()) continue;
      const std::vector<std::string> nomi = nomi_opzione(o);
      EXPECT_TRUE(std::any_of(nomi.begin(), nomi.end(),
                              [&](const std::string& n) {
                                return scritte.contains(n) ||
                                       righe[k].find(" " + n) != std::string::npos;
                              }))
          << nomi.front() << " is not in " << righe[k];
    }
  }
  EXPECT_EQ(opzioni_in(righe.back(), true), nomi_con_trattino(riga_.app.get()));

  // The examples of scenario-tool name its subcommands and their options.
  std::size_t esempi = 0;
  for (const std::string& riga : pagina_.sezione("EXAMPLES")->corpo.esempi) {
    if (!riga.starts_with("scenario-tool ")) continue;
    ++esempi;
    const std::string resto = riga.substr(14);
    const CLI::App* s = riga_.sottocomando(resto.substr(0, resto.find(' ')));
    ASSERT_NE(s, nullptr) << riga;
    const std::set<std::string> sue = nomi_con_trattino(s);
    for (const std::string& o : opzioni_in(riga, true)) EXPECT_TRUE(sue.contains(o)) << riga;
  }
  EXPECT_GE(esempi, riga_.sottocomandi().size());

  // No option anywhere that the tool does not have.
  std::set<std::string> tutte = nomi_con_trattino(riga_.app.get());
  for (const CLI::App* s : riga_.sottocomandi()) tutte.merge(nomi_con_trattino(s));
  for (const std::string& o : opzioni_in(pagina_.tutto)) {
    EXPECT_TRUE(tutte.contains(o)) << o;
  }
}

// ---------------------------------------------------------------- --version

TEST(Versione, IsTheNumberWithTheGitDescriptionOfACheckout) {
  EXPECT_TRUE(
      std::regex_match(std::string(kVersione), std::regex(R"(\d+\.\d+\.\d+( \(git [^()\s]+\))?)")))
      << kVersione;
  const prova::esito_strumento e = prova::strumento({"--version"});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.uscita, "scenario-tool " + std::string(kVersione) + "\n");
  EXPECT_EQ(e.errori, "");
}

// ---------------------------------------------------------------- completion

const fs::path kCompletamentoBash = fs::path(SCENARIO_SORGENTI) / "packaging/scenario-tool.bash";
const fs::path kCompletamentoZsh = fs::path(SCENARIO_SORGENTI) / "packaging/_scenario-tool";

std::string tra_apici(const std::string& testo) {
  std::string r = "'";
  for (char c : testo) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

std::vector<std::string> righe_di(const std::string& testo) {
  std::vector<std::string> righe;
  std::istringstream flusso(testo);
  std::string riga;
  while (std::getline(flusso, riga)) righe.push_back(riga);
  return righe;
}

// bash with the completion sourced runs `comandi` in `cartella`.
prova::esito_processo bash_con_completamento(const std::string& comandi, const fs::path& cartella) {
  return prova::esegui(
      {"/bin/bash", "--norc", "--noprofile", "-c",
       "source " + tra_apici(kCompletamentoBash.string()) + " || exit 9\n" + comandi},
      cartella);
}

class CompletamentoBash : public ::testing::Test {
 protected:
  // What the completion offers for `parole` after "scenario-tool" (the last
  // is the word being completed), sorted.
  std::set<std::string> offerte(const std::vector<std::string>& parole) {
    std::string elenco = "scenario-tool";
    for (const std::string& p : parole) elenco += " " + tra_apici(p);
    const std::string comandi =
        "COMP_WORDS=(" + elenco + ")\nCOMP_CWORD=" + std::to_string(parole.size()) +
        "\n_scenario_tool scenario-tool " + tra_apici(parole.back()) + " " +
        tra_apici(parole.size() > 1 ? parole[parole.size() - 2] : "scenario-tool") +
        "\n((${#COMPREPLY[@]} == 0)) || printf '%s\\n' \"${COMPREPLY[@]}\"\n";
    const prova::esito_processo e = bash_con_completamento(comandi, cartella_.percorso());
    EXPECT_EQ(e.stato, 0) << e.errori;
    EXPECT_EQ(e.errori, "");
    const std::vector<std::string> righe = righe_di(e.uscita);
    return {righe.begin(), righe.end()};
  }

  riga_di_comando riga_;
  prova::cartella_temporanea cartella_;
};

TEST_F(CompletamentoBash, IsRegisteredForScenarioTool) {
  const prova::esito_processo e = bash_con_completamento("complete -p scenario-tool\n", ".");
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, "complete -o filenames -F _scenario_tool scenario-tool\n");
}

TEST_F(CompletamentoBash, CompletesEverySubcommandAndEveryOptionOfEach) {
  std::set<std::string> sottocomandi;
  for (const CLI::App* s : riga_.sottocomandi()) sottocomandi.insert(s->get_name());
  EXPECT_EQ(offerte({""}), sottocomandi);
  EXPECT_EQ(offerte({"-"}), nomi_con_trattino(riga_.app.get()));
  EXPECT_EQ(offerte({"du"}), (std::set<std::string>{"dump"}));
  for (const CLI::App* s : riga_.sottocomandi()) {
    SCOPED_TRACE(s->get_name());
    EXPECT_EQ(offerte({s->get_name(), "-"}), nomi_con_trattino(s));
  }
  EXPECT_EQ(offerte({"dump", "out.dat", "--c"}), (std::set<std::string>{"--cells"}));
}

TEST_F(CompletamentoBash, OffersTheFilesEachArgumentTakes) {
  for (const char* nome : {"a.dat", "b.sim", "c.txt", "d.svg"}) prova::scrivi(cartella_ / nome, "");
  fs::create_directory(cartella_ / "e");
  struct caso {
    std::vector<std::string> parole;
    std::set<std::string> attese;
  };
  const std::vector<caso> casi = {
      {{"dump", ""}, {"a.dat", "b.sim", "e"}},
      {{"dump", "a.dat", "b"}, {"b.sim"}},
      {{"compile", ""}, {"c.txt", "e"}},
      {{"compile", "--route", "X", "c.txt", ""}, {"c.txt", "e"}},
      {{"compile", "c.txt", "c.txt", ""}, {"e"}},
      {{"compile", "c.txt", "c.txt", "e", ""}, {}},
      {{"compile", "--route", ""}, {}},
      {{"check", "c.txt", ""}, {"c.txt", "e"}},
      {{"check", "c.txt", "c.txt", ""}, {}},
      {{"export-sources", ""}, {"e"}},
      {{"plot", ""}, {"e"}},
      {{"plot", "e", "-o", ""}, {"d.svg", "e"}},
      {{"dump", "--cells", ""}, {}},
      {{"build", ""}, {"e"}},
      {{"build", "e", "--runners", ""}, {"e"}},
      {{"card", "e", "-o", ""}, {"c.txt", "e"}},
  };
  for (const caso& c : casi) {
    std::string riga;
    for (const std::string& p : c.parole) riga += " " + p;
    SCOPED_TRACE("scenario-tool" + riga);
    EXPECT_EQ(offerte(c.parole), c.attese);
  }
}

// zsh need not be installed: the script is read as text. The list of
// subcommands has a line 'name:what it does' each; each subcommand has a
// branch `name)` up to `;;` that names its options; the help is shared.
TEST(CompletamentoZsh, NamesEverySubcommandAndTheOptionsOfEach) {
  riga_di_comando riga;
  const std::string testo = prova::leggi(kCompletamentoZsh);
  EXPECT_TRUE(testo.starts_with("#compdef scenario-tool\n"));
  std::vector<std::string> elencati;
  const std::regex voce_elenco(R"(^\s+'([a-z-]+):[^']+'$)");
  for (const std::string& r : righe_di(testo)) {
    std::smatch m;
    if (std::regex_match(r, m, voce_elenco)) elencati.push_back(m[1]);
  }
  std::vector<std::string> nomi;
  for (const CLI::App* s : riga.sottocomandi()) nomi.push_back(s->get_name());
  EXPECT_EQ(elencati, nomi);
  // The options of a spec, without the file patterns (`_files -g "*.txt"`).
  auto opzioni_delle_specifiche = [](const std::string& parte) {
    return opzioni_in(std::regex_replace(parte, std::regex(R"(_files -[g/]( "[^"]*")?)"), ""),
                      true);
  };
  const std::size_t inizio_strumento = testo.find("aiuto=(");
  const std::string strumento =
      testo.substr(inizio_strumento, testo.find("case $state") - inizio_strumento);
  EXPECT_EQ(opzioni_delle_specifiche(strumento), nomi_con_trattino(riga.app.get()));

  for (const CLI::App* s : riga.sottocomandi()) {
    SCOPED_TRACE(s->get_name());
    const std::size_t inizio = testo.find("\n        " + s->get_name() + ")\n");
    ASSERT_NE(inizio, std::string::npos);
    const std::string ramo = testo.substr(inizio, testo.find(";;", inizio) - inizio);
    std::set<std::string> attese = nomi_con_trattino(s);
    attese.erase("-h");
    attese.erase("--help");
    EXPECT_EQ(opzioni_delle_specifiche(ramo), attese) << ramo;
  }
}

}  // namespace
}  // namespace scenario::strumento
