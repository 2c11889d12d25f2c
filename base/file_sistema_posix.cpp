// The file system calls on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "base/file_sistema.h"

namespace scenario::sistema {
namespace fs = std::filesystem;

namespace {

std::string motivo(int errore) { return std::generic_category().message(errore); }

int descrittore(const file_aperto& file) { return static_cast<int>(file.valore()); }

tipo_file tipo_da_modo(mode_t modo) {
  if (S_ISREG(modo)) return tipo_file::regolare;
  if (S_ISLNK(modo)) return tipo_file::collegamento;
  if (S_ISDIR(modo)) return tipo_file::cartella;
  if (S_ISFIFO(modo)) return tipo_file::fifo;
  if (S_ISCHR(modo)) return tipo_file::dispositivo;
  if (S_ISBLK(modo)) return tipo_file::dispositivo_blocchi;
  if (S_ISSOCK(modo)) return tipo_file::socket;
  return tipo_file::sconosciuto;
}

}  // namespace

void file_aperto::rilascia() noexcept {
  if (aperto()) ::close(static_cast<int>(valore_));
  valore_ = kNessuno;
}

std::optional<std::string> file_aperto::chiudi() {
  if (!aperto()) return std::nullopt;
  const int d = static_cast<int>(valore_);
  // The descriptor is gone after close, even when close fails: it is never
  // closed twice.
  valore_ = kNessuno;
  if (::close(d) != 0) return motivo(errno);
  return std::nullopt;
}

apertura crea_nuovo(const fs::path& file, bool eseguibile) {
  apertura a;
  // O_EXCL fails on any name that exists, a link included; O_NOFOLLOW says so
  // twice. The mode goes through the umask as every new file's does.
  const int d = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       eseguibile ? 0777 : 0666);
  if (d >= 0) {
    a.file = file_aperto(d);
  } else {
    a.occupato = errno == EEXIST;
    a.motivo = motivo(errno);
  }
  return a;
}

apertura apri_in_lettura(const fs::path& file) {
  apertura a;
  // O_NONBLOCK: opening a FIFO with no writer returns at once instead of
  // waiting for one. O_NOCTTY: a terminal never becomes ours by being opened.
  const int d = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (d >= 0) {
    a.file = file_aperto(d);
  } else {
    a.mancante = errno == ENOENT;
    a.motivo = motivo(errno);
  }
  return a;
}

stato_file stato_di(const file_aperto& file) {
  struct stat s {};
  if (::fstat(descrittore(file), &s) != 0) return {};
  stato_file stato;
  stato.tipo = tipo_da_modo(s.st_mode);
  if (stato.tipo == tipo_file::regolare) stato.byte = static_cast<uint64_t>(s.st_size);
  return stato;
}

tipo_file tipo_del_nome(const fs::path& file) {
  struct stat s {};
  if (::lstat(file.c_str(), &s) != 0) {
    return errno == ENOENT ? tipo_file::mancante : tipo_file::sconosciuto;
  }
  return tipo_da_modo(s.st_mode);
}

std::optional<std::string> scrivi_tutto(const file_aperto& file, std::span<const uint8_t> byte) {
  while (!byte.empty()) {
    const ssize_t scritti = ::write(descrittore(file), byte.data(), byte.size());
    if (scritti < 0) {
      if (errno == EINTR) continue;
      return motivo(errno);
    }
    byte = byte.subspan(static_cast<std::size_t>(scritti));
  }
  return std::nullopt;
}

lettura leggi_blocco(const file_aperto& file, std::span<char> blocco) {
  for (;;) {
    const ssize_t letti = ::read(descrittore(file), blocco.data(), blocco.size());
    if (letti >= 0) return {static_cast<std::size_t>(letti), std::nullopt};
    if (errno != EINTR) return {0, motivo(errno)};
  }
}

std::optional<std::string> rinomina(const fs::path& da, const fs::path& a) {
  if (::rename(da.c_str(), a.c_str()) != 0) return motivo(errno);
  return std::nullopt;
}

void rimuovi(const fs::path& file) noexcept { ::unlink(file.c_str()); }

uint64_t numero_processo() { return static_cast<uint64_t>(::getpid()); }

eseguibile_in_corso file_eseguibile() { return {"/proc/self/exe", {}}; }

}  // namespace scenario::sistema
