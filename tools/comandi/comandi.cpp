#include "tools/comandi/comandi.h"

#include <CLI/CLI.hpp>
#include <array>
#include <memory>
#include <ostream>
#include <sstream>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/nome_file.h"
#include "base/nomi_scenario.h"
#include "scenario/identita.h"
#include "tools/comandi/compilazione.h"
#include "tools/costruzione/costruzione.h"
#include "tools/disegno/grafico.h"
#include "tools/disegno/vista.h"
#include "tools/ispezione/dump.h"
#include "tools/ispezione/ispeziona.h"
#include "tools/lsp/server.h"
#include "tools/verifica/regole.h"
#include "tools/verifica/verifica.h"
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

// dump reads compiled files and writes nothing but its output; a range that
// keeps nothing of a file is a failure too.
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
    "  0   no error (warnings may have been printed, but not with --werror)\n"
    "  1   at least one error: the compile records a code, or a reserved-value check fails;\n"
    "      with --werror, also at least one warning\n"
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

// The same for names of which one may be left to be found: the other one
// counts as the embedded scenario's.
void controlla_nomi_dati(const std::string& percorso, const std::string& treno) {
  // Both passed nome_scenario(), so both convert.
  controlla_nomi_file(cp1252_da_utf8(percorso.empty() ? std::string(kPercorso) : percorso).value(),
                      cp1252_da_utf8(treno.empty() ? std::string(kTreno) : treno).value());
}

// The route and train of a pair of texts: from their names, the options
// winning (base/nomi_scenario.h); what the names say goes to `errori` first.
nomi_della_coppia nomi_dei_testi(const std::string& linea, const std::string& treno,
                                 const std::string& percorso, const std::string& numero_treno,
                                 std::ostream& errori) {
  auto data = [](const std::string& o) {
    return o.empty() ? std::nullopt : std::optional<std::string>(o);
  };
  nomi_della_coppia nomi = scegli_nomi(testo_file(std::filesystem::path(linea).filename()),
                                       testo_file(std::filesystem::path(treno).filename()),
                                       data(percorso), data(numero_treno), kPercorso, kTreno, true);
  for (const nomi_della_coppia::detto& d : nomi.detti) {
    errori << (d.avviso ? "warning: " : "note: ") << d.messaggio << '\n';
  }
  return nomi;
}

constexpr std::string_view kAiutoPercorso =
    "Route name (UTF-8; stored as Windows-1252); without it, the one the texts' names give "
    "(ROUTE_linea.txt, ROUTE_TRAIN-.txt), else the embedded one";
constexpr std::string_view kAiutoTreno =
    "Train number (UTF-8; stored as Windows-1252); without it, the one the train text's name "
    "gives, else the embedded one";

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

void registra_new(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string cartella, percorso, numero_treno;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "new",
      "Write a small valid pair of source texts into DIR under the program's names, "
      "ROUTE_linea.txt and ROUTE_TRAIN-.txt: a short line, two stations and a signal, a "
      "starting point that check finds nothing to say of");
  sub->add_option("DIR", o->cartella, "Folder for the two texts (created when missing)")
      ->required();
  sub->add_option("--route", o->percorso, "Route name (UTF-8; written as Windows-1252)")
      ->required()
      ->check(nome_scenario());
  sub->add_option("--train", o->numero_treno, "Train number (UTF-8; written as Windows-1252)")
      ->required()
      ->check(nome_scenario());
  sub->footer(
      "Exit status:\n"
      "  0   both texts written (their names on standard output)\n"
      "  4   a text of either name exists already (nothing is written), or the folder or a\n"
      "      text could not be made or written\n"
      "  5   a fault of the tool itself\n"
      "  64  usage error: the command line cannot be taken");
  sub->callback([&c, o] {
    // Both names passed nome_scenario(), so both convert.
    const std::string percorso = cp1252_da_utf8(o->percorso).value();
    const std::string treno = cp1252_da_utf8(o->numero_treno).value();
    controlla_nomi_file(percorso, treno);
    try {
      scrivi_nuova_coppia(o->cartella, percorso, treno);
      for (const std::string& nome : nomi_file_scenario(percorso, treno)) {
        if (!nome.ends_with(".txt")) continue;
        c.uscita << testo_file(percorso_file(o->cartella, nome)) << '\n';
      }
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
    std::string percorso, numero_treno;
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
  sub->add_option("--route", o->percorso, std::string(kAiutoPercorso))->check(nome_scenario());
  sub->add_option("--train", o->numero_treno, std::string(kAiutoTreno))->check(nome_scenario());
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
    // With --json the one line is all that is said.
    std::ostringstream taciuti;
    const nomi_della_coppia nomi = nomi_dei_testi(o->linea, o->treno, o->percorso, o->numero_treno,
                                                  o->json ? taciuti : c.errori);
    // Options passed nome_scenario(), names from files scegli_nomi's test:
    // both convert.
    r.percorso = cp1252_da_utf8(nomi.percorso).value();
    r.numero_treno = cp1252_da_utf8(nomi.treno).value();
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

CLI::Validator chilometri_validi() {
  return CLI::Validator(
      [](std::string& testo) -> std::string {
        if (leggi_chilometri(testo)) return {};
        return "'" + testo + "' is not A..B in kilometres (decimals allowed) with 0 <= A < B";
      },
      "A..B", "chilometri");
}

void registra_plot(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string cartella, uscita, chilometri;
    std::string percorso, numero_treno;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "plot",
      "Draw the compiled route in DIR as SVG pages, A4 landscape: the track plan from above, "
      "north up, and under it the profile along the line with stations, signals, boards, "
      "slowdowns, code points, montagna stretches, speed limit, gradient, adhesion and the end "
      "of the route. A stretch longer than 100 km gets an overview page (FILE.svg) and pages "
      "FILE-1.svg, FILE-2.svg...; the files written are listed on standard output");
  sub->add_option("DIR", o->cartella, "Folder that holds the compiled files")->required();
  sub->add_option("--route", o->percorso,
                  "Route name (UTF-8); found in DIR when it holds one scenario")
      ->check(nome_scenario());
  sub->add_option("--train", o->numero_treno,
                  "Train number (UTF-8); found in DIR when it holds one scenario")
      ->check(nome_scenario());
  sub->add_option("--km", o->chilometri, "Only the stretch from km A to km B, e.g. 12.5..40")
      ->check(chilometri_validi());
  sub->add_option("-o,--output", o->uscita, "The SVG file to write")->required();
  sub->footer(
      "Exit status:\n"
      "  0   done\n"
      "  1   a compiled file does not fit the layout of its kind (damaged, cut short or of\n"
      "      another kind)\n"
      "  4   a file could not be read or written, or DIR holds no scenario\n"
      "  5   a fault of the tool itself\n"
      "  64  usage error: the command line cannot be taken, --km lies past the end of the\n"
      "      cells, or DIR holds several scenarios and --route and --train do not choose one\n"
      "      (they are listed)");
  sub->callback([&c, o] {
    controlla_nomi_dati(o->percorso, o->numero_treno);
    richiesta_plot r;
    r.cartella = o->cartella;
    r.uscita = o->uscita;
    if (!o->percorso.empty()) r.percorso = o->percorso;
    if (!o->numero_treno.empty()) r.treno = o->numero_treno;
    if (!o->chilometri.empty()) r.tratto = leggi_chilometri(o->chilometri);
    c.stato = comando_plot(r, kUscitaUso, c.uscita, c.errori);
  });
}

void registra_view(CLI::App& app, contesto& c) {
  struct opzioni {
    std::vector<std::string> ingressi;
    std::string uscita, percorso, numero_treno;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "view",
      "Write one self-contained HTML file that shows the route in a browser: the plan and the "
      "profile of the plot on an axis that zooms (wheel, pinch, +/-) and pans (drag) from the "
      "whole route down to single cells; pointing at an object or a cell shows what dump says "
      "of it and, when the two source texts are given, the line of the text behind it. Give "
      "either DIR, a folder of compiled files, or LINE_TXT TRAIN_TXT, compiled in memory");
  sub->add_option("INPUT", o->ingressi, "DIR, or LINE_TXT TRAIN_TXT")
      ->required()
      ->expected(1, 2)
      ->type_name("DIR | LINE_TXT TRAIN_TXT");
  sub->add_option("--route", o->percorso,
                  "Route name (UTF-8); for DIR found there when it holds one scenario, for the "
                  "texts the one their names give (ROUTE_linea.txt, ROUTE_TRAIN-.txt), else "
                  "the embedded one")
      ->check(nome_scenario());
  sub->add_option("--train", o->numero_treno, "Train number (UTF-8), as --route")
      ->check(nome_scenario());
  sub->add_option("-o,--output", o->uscita, "The HTML file to write")->required();
  sub->footer(
      "Exit status:\n"
      "  0   the page was written (from texts whose compile records an error code, the page\n"
      "      shows that line at its top and standard error gets it too)\n"
      "  1   a compiled file does not fit the layout of its kind\n"
      "  3   the texts leave no cell strip: no page written\n"
      "  4   a file could not be read or written\n"
      "  5   a fault of the tool itself\n"
      "  64  usage error: the command line cannot be taken, or DIR holds several scenarios\n"
      "      and --route and --train do not choose one (they are listed)");
  sub->callback([&c, o] {
    controlla_nomi_dati(o->percorso, o->numero_treno);
    richiesta_vista r;
    if (!o->percorso.empty()) r.percorso = o->percorso;
    if (!o->numero_treno.empty()) r.numero_treno = o->numero_treno;
    if (o->ingressi.size() == 2) {
      r.linea = o->ingressi[0];
      r.treno = o->ingressi[1];
      const nomi_della_coppia nomi =
          nomi_dei_testi(o->ingressi[0], o->ingressi[1], o->percorso, o->numero_treno, c.errori);
      r.percorso = nomi.percorso;
      r.numero_treno = nomi.treno;
    } else {
      r.cartella = o->ingressi[0];
    }
    r.uscita = o->uscita;
    c.stato = comando_view(r, kUscitaUso, c.uscita, c.errori);
  });
}

// A warning rule's name, as --allow takes it.
CLI::Validator regola_valida() {
  return CLI::Validator(
      [](std::string& nome) -> std::string {
        if (regola_di(nome) != nullptr) return {};
        std::string nomi;
        for (const regola_avviso& r : kRegoleAvviso)
          nomi += (nomi.empty() ? "" : ", ") + std::string(r.nome);
        return "'" + nome + "' is no warning rule of check (they are: " + nomi + ")";
      },
      "RULE", "regola");
}

void registra_check(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string linea, treno;
    bool json = false;
    bool werror = false;
    std::vector<std::string> permessi;
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
  sub->add_flag("--werror", o->werror,
                "Warnings fail the exit status too (1), for scripts that want a clean pair");
  sub->add_option("--allow", o->permessi,
                  "Do not report the warning rule of this name (repeatable), for an author who "
                  "means what the rule warns about")
      ->check(regola_valida());
  sub->footer(std::string(kStatiUscitaVerifica));
  sub->callback([&c, o] {
    opzioni_verifica opzioni;
    opzioni.permessi = o->permessi;
    c.stato = comando_check(o->linea, o->treno, o->json, o->werror, opzioni, c.uscita, c.errori);
  });
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

void registra_build(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string cartella, uscita, percorso, numero_treno, esecutori;
    bool zip = false;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "build",
      "Make the scenario's own programs from DIR, which holds ROUTE_linea.txt and "
      "ROUTE_TRAIN-.txt (and the documents ROUTE_TRAIN_scheda_treno.txt, "
      "ROUTE_TRAIN_rallentamenti.txt, ROUTE_TRAIN_note.txt when the author wrote them): "
      "ROUTE_TRAIN for Linux and ROUTE_TRAIN.exe for Windows, each one file that runs as the "
      "scenario program does. The texts are checked as check does first; a missing card is "
      "drafted, a missing form is the standard blank one; the files written are listed on "
      "standard output");
  sub->add_option("DIR", o->cartella, "Folder that holds the scenario's texts and documents")
      ->required();
  sub->add_option("-o,--output", o->uscita,
                  "Folder for the programs (created when missing); DIR when not given");
  sub->add_option("--route", o->percorso,
                  "Route name (UTF-8); found in DIR when it holds one scenario")
      ->check(nome_scenario());
  sub->add_option("--train", o->numero_treno,
                  "Train number (UTF-8); found in DIR when it holds one scenario")
      ->check(nome_scenario());
  sub->add_flag("--zip", o->zip,
                "Also make ROUTE_TRAIN.zip with the Windows program and a LEGGIMI.txt, for the "
                "driver");
  sub->add_option("--runners", o->esecutori,
                  "Folder that holds scenario-runner and scenario-runner.exe; by default beside "
                  "scenario-tool, then in ../lib/scenario-tool/ from its folder");
  sub->footer(
      "Exit status:\n"
      "  0   every program written\n"
      "  1   check found an error in the texts (its diagnoses are printed), or a document is\n"
      "      UTF-8 with a character Windows-1252 cannot write: nothing written\n"
      "  4   a file or folder could not be read or written, DIR holds no scenario, or a\n"
      "      runner is missing (the programs of the runners found are written)\n"
      "  5   a fault of the tool itself\n"
      "  64  usage error: the command line cannot be taken, or DIR holds several scenarios\n"
      "      and --route and --train do not choose one (they are listed)");
  sub->callback([&c, o] {
    controlla_nomi_dati(o->percorso, o->numero_treno);
    richiesta_build r;
    r.cartella = o->cartella;
    if (!o->uscita.empty()) r.uscita = o->uscita;
    if (!o->percorso.empty()) r.percorso = o->percorso;
    if (!o->numero_treno.empty()) r.treno = o->numero_treno;
    if (!o->esecutori.empty()) r.esecutori = o->esecutori;
    r.zip = o->zip;
    c.stato = comando_build(r, kUscitaUso, c.uscita, c.errori);
  });
}

void registra_card(CLI::App& app, contesto& c) {
  struct opzioni {
    std::string cartella, uscita, percorso, numero_treno;
  };
  auto o = std::make_shared<opzioni>();
  CLI::App* sub = app.add_subcommand(
      "card",
      "Write the train card that build drafts for the scenario in DIR (the texts checked as "
      "check does first), for the author to finish by hand and keep in DIR as "
      "ROUTE_TRAIN_scheda_treno.txt");
  sub->add_option("DIR", o->cartella, "Folder that holds the scenario's texts")->required();
  sub->add_option("--route", o->percorso,
                  "Route name (UTF-8); found in DIR when it holds one scenario")
      ->check(nome_scenario());
  sub->add_option("--train", o->numero_treno,
                  "Train number (UTF-8); found in DIR when it holds one scenario")
      ->check(nome_scenario());
  sub->add_option("-o,--output", o->uscita, "The card file to write")->required();
  sub->footer(
      "Exit status:\n"
      "  0   the card was written\n"
      "  1   check found an error in the texts (its diagnoses are printed)\n"
      "  4   a file or folder could not be read or written, or DIR holds no scenario\n"
      "  5   a fault of the tool itself\n"
      "  64  usage error: the command line cannot be taken, the card would replace one of the\n"
      "      texts, or DIR holds several scenarios and --route and --train do not choose one");
  sub->callback([&c, o] {
    controlla_nomi_dati(o->percorso, o->numero_treno);
    std::optional<std::string> percorso, treno;
    if (!o->percorso.empty()) percorso = o->percorso;
    if (!o->numero_treno.empty()) treno = o->numero_treno;
    c.stato = comando_card(o->cartella, percorso, treno, o->uscita, kUscitaUso, c.uscita, c.errori);
  });
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
  constexpr std::array kSottocomandi = {
      &registra_export_sources, &registra_new,  &registra_compile, &registra_check, &registra_dump,
      &registra_plot,           &registra_view, &registra_lsp,     &registra_build, &registra_card};
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
