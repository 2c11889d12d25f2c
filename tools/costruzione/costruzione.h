// scenario-tool build and card: from a folder that holds a scenario's two
// texts (and, when the author wrote them, its documents), the scenario's own
// programs for Linux and Windows, each a runner with the scenario joined to
// it (scenario/pacchetto.h); or the train card drafted for the author.
//
// Where the runners are: the folder --runners names, else beside the tool
// itself (the build tree's tools/, the Windows zip), else
// ../lib/scenario-tool/ from the tool's folder (the Linux packages).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/pacchetto.h"

namespace scenario::strumento {

// The runners' file names.
inline constexpr std::string_view kEsecutoreLinux = "scenario-runner";
inline constexpr std::string_view kEsecutoreWindows = "scenario-runner.exe";

struct richiesta_build {
  std::filesystem::path cartella;                  // DIR: the texts and documents
  std::optional<std::filesystem::path> uscita;     // OUTDIR; DIR when not given
  std::optional<std::string> percorso;             // UTF-8; found in DIR when not given
  std::optional<std::string> treno;                // UTF-8; found in DIR when not given
  std::optional<std::filesystem::path> esecutori;  // --runners
  bool zip = false;
};

// The folders where the runners are looked for, in order.
std::vector<std::filesystem::path> cartelle_esecutori(
    const std::optional<std::filesystem::path>& scelta);

// The file names of a scenario's programs and of its archive, Windows-1252.
std::string nome_programma(const pacchetto_scenario& s, bool windows);
std::string nome_archivio(const pacchetto_scenario& s);

// The LEGGIMI.txt of the archive, Windows-1252 with CR LF.
std::string leggimi_archivio(const pacchetto_scenario& s);

// A document the author wrote, as the program carries it: Windows-1252 as it
// is, or UTF-8 (with or without a byte-order mark) converted. Nothing, after a
// line on `errori`, when it is UTF-8 with a character Windows-1252 cannot write.
std::optional<std::vector<std::string>> documento_dell_autore(std::string_view byte,
                                                              std::string_view nome,
                                                              std::ostream& errori);

// The whole command; returns its exit status: 0, 1 (check found an error, or a
// document cannot be carried), 4 (a file could not be read or written, DIR
// holds no scenario, a runner is missing), `stato_uso` (several scenarios and
// --route and --train choose none).
int comando_build(const richiesta_build& r, int stato_uso, std::ostream& uscita,
                  std::ostream& errori);

// scenario-tool card: the drafted train card of the scenario in `cartella`
// written into `file`. The same statuses.
int comando_card(const std::filesystem::path& cartella, const std::optional<std::string>& percorso,
                 const std::optional<std::string>& treno, const std::filesystem::path& file,
                 int stato_uso, std::ostream& uscita, std::ostream& errori);

}  // namespace scenario::strumento
