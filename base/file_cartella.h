// The file system as the program uses it: every file lies in one folder (the
// run's), is named by Windows-1252 text, and is replaced whole, never updated
// in place. A fault is thrown as errore_file_system, naming the file and the
// system's reason; the run driver turns it into one line and an exit status.
//
// Every file the system writes goes through file_in_sostituzione (or
// sostituisci_file), and every file it reads through leggi_file (or
// leggi_file_se_esiste): the one place that decides which file gets opened.
#pragma once

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/file_sistema.h"

namespace scenario {

class errore_file_system : public std::runtime_error {
 public:
  errore_file_system(const std::filesystem::path& file, std::string_view azione,
                     std::string_view motivo);
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
};

// The path of a file named `nome` (Windows-1252) inside `cartella`, with the
// name in the host's own encoding.
std::filesystem::path percorso_file(const std::filesystem::path& cartella, std::string_view nome);

// A file being replaced, written piece by piece. The bytes go to a temporary
// file of a name no other file has (".NAME.<random>.tmp", made only when
// nothing, not even a link, stands under that name) in the same folder, and
// conferma renames it over the real name in one step. A link at the real name
// is replaced, never followed; a folder, FIFO, device or socket there is
// refused. Whatever runs beside it, a reader of the folder finds under the
// real name either the old file or the complete new one; a fault (or an
// object destroyed before conferma) leaves the old one and removes the
// temporary file, and never anything else.
class file_in_sostituzione {
 public:
  // Creates the temporary file; throws when the real name holds something
  // that is not a file or the temporary file cannot be made. An `eseguibile`
  // file is a program: on POSIX it gets the execute permissions too.
  explicit file_in_sostituzione(std::filesystem::path file, bool eseguibile = false);
  ~file_in_sostituzione();
  file_in_sostituzione(const file_in_sostituzione&) = delete;
  file_in_sostituzione& operator=(const file_in_sostituzione&) = delete;

  void scrivi(std::span<const uint8_t> byte);
  // Closes the temporary file and renames it over the real name.
  void conferma();

 private:
  void abbandona() noexcept;

  std::filesystem::path file_;
  std::filesystem::path temporaneo_;
  sistema::file_aperto aperto_;
  bool confermato_ = false;
};

// The whole file at once, through file_in_sostituzione.
void sostituisci_file(const std::filesystem::path& file, std::span<const uint8_t> byte);
void sostituisci_file(const std::filesystem::path& file, std::string_view byte);
// The same for a program, which the system lets run.
void sostituisci_programma(const std::filesystem::path& file, std::string_view byte);

// Whether `file` names a regular file (through a link, when it is one).
bool esiste_file(const std::filesystem::path& file);

// The most the system reads of one kind of file: far above the largest valid
// one, so that something that never ends (or is not what it claims) is
// refused instead of filling the memory.
struct limite_lettura {
  uint64_t byte;          // named in MiB when a whole number of them, else in bytes
  std::string_view cosa;  // what such a file is, for the message
};
// A source text. The largest route the model takes has a line text of some
// 280 kB.
inline constexpr limite_lettura kLimiteTestoSorgente{uint64_t{64} << 20, "a source text"};
// Any file of the run's. That route's plan file, the largest of all, is some
// 20 MB; the readers of compiled files take each kind's own bound
// (tools/ispezione/ispeziona.h), which follows from its layout.
inline constexpr limite_lettura kLimiteFileCompilato{uint64_t{256} << 20, "a compiled file"};
// A driver document an author wrote (a train card, a form, notes).
inline constexpr limite_lettura kLimiteDocumento{uint64_t{64} << 20, "a document"};
// A program file with the scenario joined to it: a runner of a few MB and
// the largest route's texts.
inline constexpr limite_lettura kLimiteProgramma{uint64_t{256} << 20, "a program"};

// Reads the whole file, which must be a regular file (a link to one is
// followed) of at most `limite` bytes. Opens it first and then asks the open
// file what it is, so that nothing can be swapped in between; a folder, a
// FIFO, a device or a socket is refused at once. Throws errore_file_system,
// naming the file and the reason, when there is no such file or it cannot be
// read.
std::string leggi_file(const std::filesystem::path& file, const limite_lettura& limite);

// The same, but nothing when no file has that name (a dangling link
// included): a missing file is no fault.
std::optional<std::string> leggi_file_se_esiste(const std::filesystem::path& file,
                                                const limite_lettura& limite);

// Deletes the file when it exists.
void elimina_file(const std::filesystem::path& file);

// Whether `a` and `b` are one and the same file, told by the file system
// (device and inode, or volume and file index), not by the spelling of the
// names. False when either does not exist.
bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b);

// Makes a write beyond the process's file-size limit fail (EFBIG) like a full
// disk, so the file layer reports it and removes its temporary file, instead
// of the signal killing the process halfway through a file.
inline void limite_file_come_errore() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace scenario
