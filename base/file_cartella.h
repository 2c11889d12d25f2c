// The file system as the program uses it: every file lies in one folder (the
// run's), is named by Windows-1252 text, and is replaced whole, never updated
// in place. A fault is thrown as errore_file_system, naming the file and the
// system's reason; the run driver turns it into one line and an exit status.
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

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

// A file being replaced, written piece by piece: the bytes go to a temporary
// file beside it (NAME.tmp), and conferma renames that over the real name. An
// older file is replaced whole, and a fault (or an object destroyed before
// conferma) leaves either the old file or the complete new one under the real
// name, and no temporary file.
class file_in_sostituzione {
 public:
  // Creates the temporary file; throws when it cannot.
  explicit file_in_sostituzione(std::filesystem::path file);
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
  std::FILE* aperto_ = nullptr;
  bool confermato_ = false;
};

// The whole file at once, through file_in_sostituzione.
void sostituisci_file(const std::filesystem::path& file, std::span<const uint8_t> byte);
void sostituisci_file(const std::filesystem::path& file, std::string_view byte);

bool esiste_file(const std::filesystem::path& file);

// Reads the whole file; throws errore_file_system when it cannot.
std::string leggi_file(const std::filesystem::path& file);

// Deletes the file when it exists.
void elimina_file(const std::filesystem::path& file);

// Makes a write beyond the process's file-size limit fail (EFBIG) like a full
// disk, so the file layer reports it and removes its temporary file, instead
// of the signal killing the process halfway through a file.
inline void limite_file_come_errore() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace scenario
