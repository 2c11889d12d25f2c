// Reading the compiled files back: each file is decoded into the route
// model's own records (cells, table rows, plan elements with their tags), and
// a file whose size or content does not fit its layout is refused with a
// message that says where it stops fitting. Nothing is read past the buffer.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "compiler/modello.h"

namespace scenario {

enum class tipo_file_compilato { tracciato, tabella, celle };

// The kind of a compiled file from the ending of its name: "_linea.dat" is the
// track plan, ".sim" the table, any other ".dat" the cell strip.
std::optional<tipo_file_compilato> tipo_da_nome(std::string_view nome);
std::string_view nome_tipo(tipo_file_compilato tipo);

// The most a file of each kind may hold: the largest file a valid route
// makes (output/file_compilati.h). A larger one is refused before it is read.
const limite_lettura& limite_di(tipo_file_compilato tipo);

// A file that does not fit its layout; the message names the byte offset.
class errore_formato : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The exit status of dump and plot for a file that does not fit its layout,
// or whose kind its name does not tell. A file that cannot be read or written
// gives uscita_file_system, as everywhere in the program.
inline constexpr int kUscitaFileNonConforme = 1;

// A plan read back: the file's bytes, read as elements (compiler/piano_tracciato.h).
using tracciato_letto = piano_tracciato;

// Each throws errore_formato when the bytes do not fit the layout.
std::vector<cella> leggi_celle(std::span<const uint8_t> byte);
std::array<voce, kRigheTabella> leggi_tabella(std::span<const uint8_t> byte);
tracciato_letto leggi_tracciato(std::span<const uint8_t> byte);

// The three files of one scenario in `cartella`, under the names the program
// gives them; percorso and treno are Windows-1252.
struct file_scenario {
  std::filesystem::path tracciato;
  std::filesystem::path tabella;
  std::filesystem::path celle;
};
file_scenario file_di_scenario(const std::filesystem::path& cartella, std::string_view percorso,
                               std::string_view treno);

// The three files of one scenario in `cartella`, as far as they exist: the
// model gets cells, table and plan (the plan only when its file is there;
// then crea_tracciato is 1). percorso and treno are Windows-1252. Throws
// errore_file_system when a file cannot be read and errore_formato (naming
// the file) when one does not fit its layout.
modello leggi_scenario(const std::filesystem::path& cartella, std::string_view percorso,
                       std::string_view treno);

// A route and train found in a folder of compiled files.
struct scenario_trovato {
  std::string percorso;  // UTF-8
  std::string treno;
};

// The scenarios whose table (.sim) lies in `cartella`, by the names their
// table holds (rows 85 and 86) or, failing that, by the file name split at
// its last underscore; sorted. Throws errore_file_system when the folder
// cannot be listed.
std::vector<scenario_trovato> scenari_in(const std::filesystem::path& cartella);

// The names (Windows-1252) of the scenario a command reads in `cartella`:
// the ones given, or the one scenario there that matches those given. When
// there is none, or several, or a name the code page cannot write: nothing,
// after lines on `errori` that say why (listing the scenarios), with the
// status in `stato` (uscita_file_system: none; `stato_uso`: several;
// kUscitaFileNonConforme: a name).
struct nomi_scenario {
  std::string percorso;
  std::string treno;
};
std::optional<nomi_scenario> scegli_scenario(const std::filesystem::path& cartella,
                                             const std::optional<std::string>& percorso,
                                             const std::optional<std::string>& treno,
                                             std::string_view comando, int stato_uso,
                                             std::ostream& errori, int& stato);

// True, after a line on `errori`, when writing `uscita` would replace one of
// the files `letti` (told by the file system, not by spelling).
bool scriverebbe_su(const std::filesystem::path& uscita,
                    std::initializer_list<std::filesystem::path> letti, std::string_view comando,
                    std::ostream& errori);

// Runs `passo` (a command's work on compiled files) and turns what it may
// throw into one line on `errori`, named by `comando`, and the status: a file
// that cannot be read or written uscita_file_system, one that does not fit
// its layout kUscitaFileNonConforme.
template <typename F>
int con_errori_dei_file(std::string_view comando, std::ostream& errori, F&& passo) {
  try {
    return passo();
  } catch (const errore_file_system& e) {
    errori << comando << ": " << e.what() << '\n';
    return uscita_file_system;
  } catch (const errore_formato& e) {
    errori << comando << ": " << e.what() << '\n';
    return kUscitaFileNonConforme;
  }
}

// A path as text for messages and JSON: UTF-8 on every system.
std::string testo_file(const std::filesystem::path& file);

// The bytes of a file read whole as text.
std::span<const uint8_t> come_byte(std::string_view contenuto);

}  // namespace scenario
