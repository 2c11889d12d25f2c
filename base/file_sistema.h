// The few calls of the operating system the file layer (file_cartella.h) and
// the folder lock (blocco_cartella.h) are made of, one version for POSIX and
// one for Windows. Nothing here throws: each call says what happened, and
// the layer above decides what it means for the user.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/nomi_enum.h"

namespace scenario::sistema {

// What stands under a name, or what an open file is.
enum class tipo_file {
  mancante,             // nothing has that name
  regolare,             // a regular file
  collegamento,         // a symbolic link (or, on Windows, another reparse point)
  cartella,             // a folder
  fifo,                 // a FIFO (a named pipe)
  dispositivo,          // a character device (on Windows, any device)
  dispositivo_blocchi,  // a block device
  socket,               // a socket
  sconosciuto,          // none of these, or it could not be told
};

// "a folder", "a FIFO", ...: what a file that is not a regular one is, for a
// message that says "it is ..., not a regular file".
constexpr std::string_view descrizione(tipo_file tipo) {
  constexpr std::array<std::string_view, 9> kDescrizioni = {
      "missing",        "a regular file", "a link",
      "a folder",       "a FIFO",         "a character device",
      "a block device", "a socket",       "something other than a file"};
  return nome_di(tipo, kDescrizioni);
}

// An open file of the system (a descriptor on POSIX, a HANDLE on Windows),
// closed with the object.
class file_aperto {
 public:
  file_aperto() = default;
  explicit file_aperto(std::intptr_t valore) : valore_(valore) {}
  ~file_aperto() { rilascia(); }
  file_aperto(file_aperto&& altro) noexcept : valore_(altro.valore_) { altro.valore_ = kNessuno; }
  file_aperto& operator=(file_aperto&& altro) noexcept {
    if (this != &altro) {
      rilascia();
      valore_ = altro.valore_;
      altro.valore_ = kNessuno;
    }
    return *this;
  }
  file_aperto(const file_aperto&) = delete;
  file_aperto& operator=(const file_aperto&) = delete;

  bool aperto() const { return valore_ != kNessuno; }
  std::intptr_t valore() const { return valore_; }
  // Closes the file; the system's reason when closing failed (a write that
  // proves impossible only then), nothing when it went well.
  std::optional<std::string> chiudi();

  // No file: -1 is both an invalid descriptor and INVALID_HANDLE_VALUE.
  static constexpr std::intptr_t kNessuno = -1;

 private:
  // Closes the file, if open, whatever the outcome.
  void rilascia() noexcept;

  std::intptr_t valore_ = kNessuno;
};

// The outcome of an open: the file, or why there is none.
struct apertura {
  file_aperto file;
  bool mancante = false;  // reading: nothing has that name (a dangling link included)
  bool occupato = false;  // creating: something (a link included) already has that name
  std::string motivo;     // the system's reason when there is no file
};

// Creates `file` for writing, new and empty, with the default permissions
// (0666 less the umask on POSIX; 0777 less the umask for a program, which
// `eseguibile` asks for). Never follows a link and never opens what is
// already there: when the name is taken, `occupato` is set.
apertura crea_nuovo(const std::filesystem::path& file, bool eseguibile = false);

// Opens `file` for reading, following links. A FIFO or a device is opened
// without waiting for a writer, so that tipo_di can refuse it.
apertura apri_in_lettura(const std::filesystem::path& file);

struct stato_file {
  tipo_file tipo = tipo_file::sconosciuto;
  uint64_t byte = 0;  // the size of a regular file
};

// What the open file is, asked of the open file itself: nothing can be
// swapped in between.
stato_file stato_di(const file_aperto& file);

// What stands under `file` itself, a link not followed.
tipo_file tipo_del_nome(const std::filesystem::path& file);

// Writes every byte; the system's reason when it cannot.
std::optional<std::string> scrivi_tutto(const file_aperto& file, std::span<const uint8_t> byte);

// Reads up to blocco.size() bytes into `blocco`; 0 at the end of the file.
struct lettura {
  std::size_t letti = 0;
  std::optional<std::string> errore;  // the system's reason when the read failed
};
lettura leggi_blocco(const file_aperto& file, std::span<char> blocco);

// Renames `da` over `a` in one step, replacing whatever file or link `a` is
// (never what a link points at); the system's reason when it cannot.
std::optional<std::string> rinomina(const std::filesystem::path& da,
                                    const std::filesystem::path& a);

// Removes the file (a link itself, not what it points at); a failure is
// ignored, as there is nothing left to do about it.
void rimuovi(const std::filesystem::path& file) noexcept;

// A number the system gives this process and no other running beside it,
// to tell apart the temporary names of two processes.
uint64_t numero_processo();

// The path through which the running executable's own file is read: on
// Linux /proc/self/exe (the file itself, even when it has been renamed), on
// Windows the module's path. The system's reason when there is none.
struct eseguibile_in_corso {
  std::filesystem::path file;
  std::string motivo;
};
eseguibile_in_corso file_eseguibile();

#ifdef _WIN32
// The text Windows gives for an error code of GetLastError, in UTF-8.
std::string motivo_windows(unsigned long codice);
#endif

}  // namespace scenario::sistema
