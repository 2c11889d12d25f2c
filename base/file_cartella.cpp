#include "base/file_cartella.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "base/codifica.h"

namespace scenario {
namespace fs = std::filesystem;

namespace {

std::string messaggio(const fs::path& file, std::string_view azione, std::string_view motivo) {
  std::string testo = "cannot ";
  testo += azione;
  testo += " '";
  testo += file.string();
  testo += "': ";
  testo += motivo;
  return testo;
}

struct chiudi_file {
  void operator()(std::FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};
using file_aperto = std::unique_ptr<std::FILE, chiudi_file>;

fs::path nome_temporaneo(const fs::path& file) {
  fs::path temporaneo = file;
  temporaneo += ".tmp";
  return temporaneo;
}

std::FILE* apri(const fs::path& file, const char* modo) {
#ifdef _WIN32
  std::wstring modo_w(modo, modo + std::strlen(modo));
  return _wfopen(file.c_str(), modo_w.c_str());
#else
  return std::fopen(file.c_str(), modo);
#endif
}

}  // namespace

errore_file_system::errore_file_system(const fs::path& file, std::string_view azione,
                                       std::string_view motivo)
    : std::runtime_error(messaggio(file, azione, motivo)), file_(file) {}

fs::path percorso_file(const fs::path& cartella, std::string_view nome) {
  return cartella /
         fs::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8_da_1252(nome).c_str())));
}

file_in_sostituzione::file_in_sostituzione(fs::path file)
    : file_(std::move(file)), temporaneo_(nome_temporaneo(file_)) {
  aperto_ = apri(temporaneo_, "wb");
  // Nothing to clean up when the temporary file cannot be made: whatever
  // stands under its name (a folder, a file of another user) is not ours.
  if (aperto_ == nullptr) throw errore_file_system(temporaneo_, "create", std::strerror(errno));
}

file_in_sostituzione::~file_in_sostituzione() {
  if (!confermato_) abbandona();
}

// Closes and removes the temporary file; the real name keeps what it had.
void file_in_sostituzione::abbandona() noexcept {
  if (aperto_ != nullptr) std::fclose(aperto_);
  aperto_ = nullptr;
  std::error_code ignorato;
  fs::remove(temporaneo_, ignorato);
}

// A fault names the file the bytes were meant for, with errno's reason.
void file_in_sostituzione::scrivi(std::span<const uint8_t> byte) {
  if (aperto_ == nullptr) throw std::logic_error("write to a file already closed");
  if (!byte.empty() && std::fwrite(byte.data(), 1, byte.size(), aperto_) != byte.size()) {
    throw errore_file_system(file_, "write", std::strerror(errno));
  }
}

void file_in_sostituzione::conferma() {
  if (aperto_ == nullptr) throw std::logic_error("a file confirmed twice");
  if (std::fflush(aperto_) != 0) throw errore_file_system(file_, "write", std::strerror(errno));
  std::FILE* chiuso = aperto_;
  aperto_ = nullptr;
  if (std::fclose(chiuso) != 0) throw errore_file_system(file_, "close", std::strerror(errno));
  std::error_code errore;
  fs::rename(temporaneo_, file_, errore);
  if (errore) throw errore_file_system(file_, "replace", errore.message());
  confermato_ = true;
}

void sostituisci_file(const fs::path& file, std::span<const uint8_t> byte) {
  file_in_sostituzione f(file);
  f.scrivi(byte);
  f.conferma();
}

void sostituisci_file(const fs::path& file, std::string_view byte) {
  sostituisci_file(
      file, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(byte.data()), byte.size()));
}

bool esiste_file(const fs::path& file) {
  std::error_code errore;
  return fs::is_regular_file(file, errore);
}

std::string leggi_file(const fs::path& file) {
  file_aperto f(apri(file, "rb"));
  if (!f) throw errore_file_system(file, "open", std::strerror(errno));
  std::string contenuto;
  char blocco[1 << 16];
  std::size_t letti = 0;
  while ((letti = std::fread(blocco, 1, sizeof blocco, f.get())) > 0)
    contenuto.append(blocco, letti);
  if (std::ferror(f.get()) != 0) throw errore_file_system(file, "read", std::strerror(errno));
  return contenuto;
}

void elimina_file(const fs::path& file) {
  std::error_code errore;
  if (fs::is_directory(file, errore)) throw errore_file_system(file, "delete", "it is a folder");
  fs::remove(file, errore);
  if (errore) throw errore_file_system(file, "delete", errore.message());
}

}  // namespace scenario
