// The command line of scenario-tool. Each subcommand is one function that adds
// itself to the CLI11 app and, when chosen, runs with the shared context; a
// new subcommand is one more such function in the list of comandi.cpp.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "base/stati_uscita.h"

namespace CLI {
class App;
}

namespace scenario::strumento {

// A command line the tool cannot take: unknown subcommand or option, a
// missing argument, a name that cannot be written in Windows-1252 or cannot
// be part of a file name (base/nome_file.h), an output over an input.
inline constexpr int kUscitaUso = 64;

// Where a subcommand writes, and the exit status it leaves.
struct contesto {
  std::ostream& uscita;
  std::ostream& errori;
  int stato = uscita_pulita;
};

void registra_export_sources(CLI::App& app, contesto& c);
void registra_new(CLI::App& app, contesto& c);
void registra_compile(CLI::App& app, contesto& c);
void registra_dump(CLI::App& app, contesto& c);
void registra_plot(CLI::App& app, contesto& c);
void registra_check(CLI::App& app, contesto& c);
void registra_view(CLI::App& app, contesto& c);
void registra_lsp(CLI::App& app, contesto& c);
void registra_build(CLI::App& app, contesto& c);
void registra_card(CLI::App& app, contesto& c);

// The whole command line of the tool: every subcommand and option, with the
// texts --help prints; a chosen subcommand runs with `c`, which must outlive
// the app. The manual page and the shell completions are kept equal to it.
std::unique_ptr<CLI::App> crea_app(contesto& c);

// Parses `argomenti` (argomenti[0] is the program name), runs the chosen
// subcommand and returns the exit status. --help and usage errors are
// printed here too.
int esegui_strumento(const std::vector<std::string>& argomenti, std::ostream& uscita,
                     std::ostream& errori);

}  // namespace scenario::strumento
