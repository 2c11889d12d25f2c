// The file system as the program uses it: every file lies in one folder (the
// run's), is named by Windows-1252 text, and is replaced whole, never updated
// in place. A fault is thrown as errore_file_system, naming the file and the
// system's reason; the run driver turns it into one line and an exit status.
#pragma once

#include <cstdint>
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

// Writes `byte` to a temporary file beside `file` and renames it over `file`:
// an older file is replaced whole, and a fault leaves either the old file or
// the complete new one under the real name, and no temporary file.
void sostituisci_file(const std::filesystem::path& file, std::span<const uint8_t> byte);
void sostituisci_file(const std::filesystem::path& file, std::string_view byte);

bool esiste_file(const std::filesystem::path& file);

// Reads the whole file; throws errore_file_system when it cannot.
std::string leggi_file(const std::filesystem::path& file);

// Deletes the file when it exists.
void elimina_file(const std::filesystem::path& file);

}  // namespace scenario
