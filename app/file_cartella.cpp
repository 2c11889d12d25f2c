#include "app/file_cartella.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <system_error>

#include "app/codifica.h"

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

// Writes and closes the temporary file; throws with errno's reason on a fault.
void scrivi_temporaneo(const fs::path& temporaneo, std::span<const uint8_t> byte) {
  file_aperto f(apri(temporaneo, "wb"));
  if (!f) throw errore_file_system(temporaneo, "create", std::strerror(errno));
  if (!byte.empty() && std::fwrite(byte.data(), 1, byte.size(), f.get()) != byte.size()) {
    throw errore_file_system(temporaneo, "write", std::strerror(errno));
  }
  if (std::fflush(f.get()) != 0)
    throw errore_file_system(temporaneo, "write", std::strerror(errno));
  if (std::fclose(f.release()) != 0) {
    throw errore_file_system(temporaneo, "close", std::strerror(errno));
  }
}

}  // namespace

errore_file_system::errore_file_system(const fs::path& file, std::string_view azione,
                                       std::string_view motivo)
    : std::runtime_error(messaggio(file, azione, motivo)), file_(file) {}

fs::path percorso_file(const fs::path& cartella, std::string_view nome) {
  return cartella /
         fs::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8_da_1252(nome).c_str())));
}

void sostituisci_file(const fs::path& file, std::span<const uint8_t> byte) {
  const fs::path temporaneo = nome_temporaneo(file);
  try {
    scrivi_temporaneo(temporaneo, byte);
  } catch (const errore_file_system&) {
    std::error_code ignorato;
    fs::remove(temporaneo, ignorato);
    throw;
  }
  std::error_code errore;
  fs::rename(temporaneo, file, errore);
  if (errore) {
    std::error_code ignorato;
    fs::remove(temporaneo, ignorato);
    throw errore_file_system(file, "replace", errore.message());
  }
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
