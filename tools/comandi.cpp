#include "tools/comandi.h"

#include <CLI/CLI.hpp>
#include <array>
#include <memory>
#include <ostream>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/nome_file.h"
#include "scenario/identita.h"
#include "tools/compilazione.h"
#include "tools/dump.h"
#include "tools/grafico.h"
#include "tools/ispeziona.h"
#include "tools/lsp_server.h"
#include "tools/verifica.h"
#include "tools/versione.h"

namespace scenario::strumento {
namespace {

constexpr std::string_view kStatiUscita =
    "Exit status:\n"
    "  0   every file written, error record 0\n"
    "  1   a reserved-value check failed (1250 or 1251): no compiled file written\n"
    "  2   compiled files written, but the scenario has an error (code and position reported)\n"
    "  3   reading left no cell strip (line file missing, no [generale], route too long,\n"
    "      no length row, read failure before it): no compiled file written\n"
    "  4   a file or folder could not be read, created, written or deleted\n"
    "  5   a fault of the tool itself\n"
    "  64  usage error: the command line cannot be taken";

void documenta_uscite(CLI::App& app) { app.footer(std::string(kStatiUscita)); }

// dump and plot read compiled files and write nothing but their output.
constexpr std::string_view kStatiUscitaLettura =
    "Exit status:\n"
    "  0   done\n"
    "  1   a compiled file does not fit the layout of its kind (damaged, cut short or of\n"
    "      another kind), or its name does not tell its kind\n"
    "  4   a file could not be read or written\n"
    "  5   a fault of the tool itself\n"
    "  64  usage error: the command line cannot be taken";

// dump's statuses: those of the reading subcommands, and a range that keeps
// nothing.
constexpr std::string_view kStatiUscitaDump =
    "Exit status:\n"
    "  0   done\n"
    "  1   a compiled file does not fit the layout of its kind (damaged, cut short or of\n"
    "      another kind), or its name does not tell its kind; or --cells, --metres or\n"
    "      --rows selects nothing of a file (the message says what the file holds)\n"
    "  4   a file could not be read or written\n"
    "  5   a fault of the tool itself\n"
    "  64  usage error: the command line cannot be taken";

// check explains a compile and writes nothing.
constexpr std::string_view kStatiUscitaVerifica =
    "Exit status:\n"
    "  0   no error (warnings may have been printed)\n"
    "  1   at least one error: the compile records a code, or a reserved-value check fails\n"
    "  4   a text exists but could not be read\n"
    "  5   a fault of the tool itself\n"
    "  64  usage error: the command line cannot be taken";

// lsp serves an editor until it is told to exit.
constexpr std::string_view kStatiUscitaLsp =
    "Exit status:\n"
    "  0   the editor sent shutdown, then exit\n"
    "  1   exit came before shutdown, or the input ended before shutdown\n"
    "  5   a fault of the tool itself\n"
    "  64  usage error: the command line cannot be taken";

CLI::Validator intervallo_valido() {
  return CLI::Validator(
      [](std::string& testo) -> std::string {
        if (leggi_intervallo(testo)) return {};
        return "'" + testo + "' is not A..B or A, whole numbers from 0 with A <= B";
      },
      "A..B", "intervallo");
}

CLI::Validator intervalli_validi() {
  return CLI::Validator(
      [](std::string& testo) -> std::string {
        if (leggi_intervalli(testo)) return {};
        return "'" + testo +
               "' is not a comma-separated list of A..B or A, whole numbers "
               "from 0 with A <= B";
      },
      "LIST", "intervalli");
}

// A name that becomes part of file names and of the table: it must be
// writable in Windows-1252, and be a file name of its own where the
// simulator runs (which also keeps it inside the output folder).
CLI::Validator nome_scenario() {
  return CLI::Validator(
      [](std::string& nome) -> std::string {
        const std::optional<std::string> cp1252 = cp1252_da_utf8(nome);
        if (!cp1252) return "'" + nome + "' cannot be written in Windows-1252";
        if (auto motivo = motivo_nome_non_valido(*cp1252)) return "'" + nome + "' " + *motivo;
        return {};
      },
      "NAME", "nome_scenario");
}

// The names --route and --train make together (Windows-1252) must be file
// names too: each part may pass on its own and the whole be too long.
void controlla_nomi_file(std::string_view percorso, std::string_view treno) {
  for (const std::string& nome : nomi_file_scenario(percorso, treno)) {
    if (auto motivo = motivo_nome_non_valido(nome)) {
      throw CLI::ValidationError(
          "--route, --train",
          "they make the file name '" + utf8_da_1252(nome) + "', which " + *motivo);
    }
  }
}

}  // namespace

void registra_export_sources(CLI::App& app, contesto& c) {
  auto cartella = std::make_shared<std::string>();
  CLI::App* sub = app.add_subcommand(
      "export-sources",
      "Write the embedded line and train source texts into DIR, byte for byte what the "
      "program writes");
  sub->add_option("DIR", *cartella, "Folder for the two texts (created when missing)")->required();
  documenta_uscite(*sub);
  sub->callback([&c, cartella] {
    try {
      esporta_sorgenti(*cartella);
      c.stato = uscita_pulita;
    } catch (const errore_file_system& e) {
      c.errori << e.what() << '\n';
      c.stato = uscita_file_system;
    }
  });
}

void registra_compile(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string linea, treno, cartella;
    std::string percorso{kPercorso};
    std::string numero_treno{kTreno};
    bool senza_tracciato = false;
    bool json = false;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "compile",
      "Compile a line and a train source text into the compiled files, as the program's own "
      "run does; the two texts are left as they are");
  sub->add_option("LINE_TXT", o->linea, "Line description text")->required();
  sub->add_option("TRAIN_TXT", o->treno, "Train description text")->required();
  sub->add_option("OUTDIR", o->cartella, "Folder for the compiled files (created when missing)")
      ->required();
  sub->add_option("--route", o->percorso, "Route name (UTF-8; stored as Windows-1252)")
      ->check(nome_scenario())
      ->capture_default_str();
  sub->add_option("--train", o->numero_treno, "Train number (UTF-8; stored as Windows-1252)")
      ->check(nome_scenario())
      ->capture_default_str();
  sub->add_flag("--no-plan", o->senza_tracciato,
                "Build no track plan (j = 0): curve rows are ignored and no plan file is written");
  sub->add_flag("--json", o->json,
                "Print one JSON line with the outcome on standard output instead of messages");
  documenta_uscite(*sub);
  sub->callback([&c, o] {
    richiesta_compilazione r;
    r.linea = o->linea;
    r.treno = o->treno;
    r.cartella = o->cartella;
    // Both names passed nome_scenario(), so both convert.
    r.percorso = cp1252_da_utf8(o->percorso).value();
    r.numero_treno = cp1252_da_utf8(o->numero_treno).value();
    r.tracciato = !o->senza_tracciato;
    controlla_nomi_file(r.percorso, r.numero_treno);
    if (auto sovrapposto = uscita_su_sorgente(r)) {
      throw CLI::ValidationError("OUTDIR", "the compiled file '" + sovrapposto->string() +
                                               "' would overwrite a source text");
    }
    const esito_compilazione_strumento esito = compila_sorgenti(r);
    if (o->json) {
      c.uscita << json_esito(esito) << '\n';
      // A fault of the folder is not in the JSON line: say it anyway.
      if (esito.stato == uscita_file_system) {
        for (const std::string& riga : esito.messaggi) c.errori << riga << '\n';
      }
    } else {
      for (const std::string& riga : esito.messaggi) c.errori << riga << '\n';
    }
    c.stato = esito.stato;
  });
}

void registra_dump(CLI::App& app, contesto& c) {
  struct opzioni {
    std::vector<std::string> file;
    bool testo = false;
    std::string celle, metri, righe;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "dump",
      "Decode compiled files to JSON or aligned text: every member of every cell and table "
      "row with its meaning, the plan as points; the name tells the kind (..._linea.dat plan, "
      ".sim table, other .dat cells)");
  sub->add_option("FILE", o->file, "Compiled files, printed in this order")->required();
  sub->add_flag("--text", o->testo, "Aligned tables for a person in place of JSON");
  CLI::Option* celle =
      sub->add_option("--cells", o->celle,
                      "Only cells A..B (or cell A); of the plan, the metres of those cells")
          ->check(intervallo_valido());
  sub->add_option("--metres", o->metri,
                  "Only the cells that cover metres A..B (or metre A); of the plan, those metres")
      ->check(intervallo_valido())
      ->excludes(celle);
  sub->add_option("--rows", o->righe, "Only these table rows, e.g. 1..9,81..86")
      ->check(intervalli_validi());
  sub->footer(std::string(kStatiUscitaDump));
  sub->callback([&c, o] {
    opzioni_dump scelta;
    scelta.testo = o->testo;
    if (!o->celle.empty()) scelta.celle = leggi_intervallo(o->celle);
    if (!o->metri.empty()) scelta.metri = leggi_intervallo(o->metri);
    if (!o->righe.empty()) scelta.righe = leggi_intervalli(o->righe);
    const std::vector<std::filesystem::path> file(o->file.begin(), o->file.end());
    c.stato = comando_dump(file, scelta, c.uscita, c.errori);
  });
}

void registra_plot(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string cartella, uscita;
    std::string percorso{kPercorso};
    std::string numero_treno{kTreno};
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "plot",
      "Draw the compiled route in DIR as one SVG page, A4 landscape: the track plan from above, "
      "north up, and under it the profile along the line with stations, signals, slowdowns, "
      "code points, montagna stretches, speed limit, gradient and adhesion");
  sub->add_option("DIR", o->cartella, "Folder that holds the compiled files")->required();
  sub->add_option("--route", o->percorso, "Route name (UTF-8)")
      ->check(nome_scenario())
      ->capture_default_str();
  sub->add_option("--train", o->numero_treno, "Train number (UTF-8)")
      ->check(nome_scenario())
      ->capture_default_str();
  sub->add_option("-o,--output", o->uscita, "The SVG file to write")->required();
  sub->footer(std::string(kStatiUscitaLettura));
  sub->callback([&c, o] {
    // Both names passed nome_scenario(), so both convert.
    const std::string percorso = cp1252_da_utf8(o->percorso).value();
    const std::string treno = cp1252_da_utf8(o->numero_treno).value();
    controlla_nomi_file(percorso, treno);
    // The page never replaces a file it is drawn from, however it is named.
    const file_scenario letti = file_di_scenario(o->cartella, percorso, treno);
    for (const std::filesystem::path& letto : {letti.tracciato, letti.tabella, letti.celle}) {
      if (stesso_file(o->uscita, letto)) {
        throw CLI::ValidationError("--output", "'" + o->uscita + "' is a file plot reads ('" +
                                                   testo_file(letto) +
                                                   "'): write the page elsewhere");
      }
    }
    c.stato = comando_plot(o->cartella, o->percorso, o->numero_treno, o->uscita, c.errori);
  });
}

void registra_check(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string linea, treno;
    bool json = false;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "check",
      "Compile a line and a train source text in memory and report every problem as "
      "file:line:column with the source line: an error for the code the compile records, a "
      "warning for every rule of the formats the compiler lets pass; nothing is written");
  sub->add_option("LINE_TXT", o->linea, "Line description text")->required();
  sub->add_option("TRAIN_TXT", o->treno, "Train description text")->required();
  sub->add_flag("--json", o->json,
                "Print the problems on standard output as a JSON list of objects with file, "
                "line, column, severity, code and message, in place of text on standard error");
  sub->footer(std::string(kStatiUscitaVerifica));
  sub->callback(
      [&c, o] { c.stato = comando_check(o->linea, o->treno, o->json, c.uscita, c.errori); });
}

void registra_lsp(CLI::App& app, contesto& c) {
  CLI::App* sub = app.add_subcommand(
      "lsp",
      "Serve an editor as a language server on standard input and output: check's diagnoses "
      "of the line and train texts as they are typed, hover on keywords and values, "
      "completion of row keywords, an outline and go to definition");
  sub->footer(std::string(kStatiUscitaLsp));
  sub->callback([&c] { c.stato = lsp::comando_lsp(c.uscita); });
}

std::unique_ptr<CLI::App> crea_app(contesto& c) {
  auto app = std::make_unique<CLI::App>(
      "scenario-tool: writes, checks and compiles the source texts of a scenario, and reads "
      "its compiled files back.",
      "scenario-tool");
  app->require_subcommand(1);
  app->set_version_flag("--version", "scenario-tool " + std::string(kVersione));
  documenta_uscite(*app);
  // Every subcommand of the tool, in the order --help lists them.
  constexpr std::array kSottocomandi = {&registra_export_sources, &registra_compile,
                                        &registra_check,          &registra_dump,
                                        &registra_plot,           &registra_lsp};
  for (auto registra : kSottocomandi) registra(*app, c);
  return app;
}

int esegui_strumento(const std::vector<std::string>& argomenti, std::ostream& uscita,
                     std::ostream& errori) {
  contesto c{uscita, errori};
  const std::unique_ptr<CLI::App> app = crea_app(c);

  std::vector<const char*> argv;
  argv.reserve(argomenti.size());
  for (const std::string& a : argomenti) argv.push_back(a.c_str());
  try {
    app->parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    return app->exit(e, uscita, errori) == 0 ? uscita_pulita : kUscitaUso;
  }
  return c.stato;
}

}  // namespace scenario::strumento
