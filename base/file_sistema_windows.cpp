// The file system calls on Windows, through the wide-character API.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_sistema.h"

namespace scenario::sistema {
namespace fs = std::filesystem;

namespace {

// Reads and writes go in pieces that fit the API's 32-bit counts.
constexpr std::size_t kPezzoMassimo = std::size_t{1} << 30;

HANDLE maniglia(const file_aperto& file) { return reinterpret_cast<HANDLE>(file.valore()); }

file_aperto aperto(HANDLE h) { return file_aperto(reinterpret_cast<std::intptr_t>(h)); }

std::string utf8(std::wstring_view testo) {
  if (testo.empty()) return {};
  const int unita = static_cast<int>(testo.size());
  const int byte =
      WideCharToMultiByte(CP_UTF8, 0, testo.data(), unita, nullptr, 0, nullptr, nullptr);
  std::string risultato(static_cast<std::size_t>(byte), '\0');
  WideCharToMultiByte(CP_UTF8, 0, testo.data(), unita, risultato.data(), byte, nullptr, nullptr);
  return risultato;
}

bool nome_mancante(DWORD errore) {
  return errore == ERROR_FILE_NOT_FOUND || errore == ERROR_PATH_NOT_FOUND;
}

// What an open handle is: a device, a pipe, or on disk a folder, a link or a file.
stato_file stato_handle(HANDLE h) {
  stato_file stato;
  switch (GetFileType(h)) {
    case FILE_TYPE_CHAR:
      stato.tipo = tipo_file::dispositivo;
      return stato;
    case FILE_TYPE_PIPE:
      stato.tipo = tipo_file::fifo;
      return stato;
    case FILE_TYPE_DISK:
      break;
    default:
      return stato;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(h, &info) == 0) return stato;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    stato.tipo = tipo_file::collegamento;
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    stato.tipo = tipo_file::cartella;
  } else {
    stato.tipo = tipo_file::regolare;
    stato.byte = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  }
  return stato;
}

}  // namespace

std::string motivo_windows(unsigned long codice) {
  wchar_t* testo = nullptr;
  const DWORD lunghezza = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, codice, 0, reinterpret_cast<LPWSTR>(&testo), 0, nullptr);
  std::string motivo;
  if (lunghezza > 0 && testo != nullptr) motivo = utf8(std::wstring_view(testo, lunghezza));
  if (testo != nullptr) LocalFree(testo);
  // The system's sentences end with a full stop and a line break; the
  // messages they go into end without.
  while (!motivo.empty() && (motivo.back() == '\n' || motivo.back() == '\r' ||
                             motivo.back() == '.' || motivo.back() == ' ')) {
    motivo.pop_back();
  }
  if (motivo.empty()) motivo = "Windows error " + std::to_string(codice);
  return motivo;
}

void file_aperto::rilascia() noexcept {
  if (aperto()) CloseHandle(reinterpret_cast<HANDLE>(valore_));
  valore_ = kNessuno;
}

std::optional<std::string> file_aperto::chiudi() {
  if (!aperto()) return std::nullopt;
  const HANDLE h = reinterpret_cast<HANDLE>(valore_);
  valore_ = kNessuno;
  if (CloseHandle(h) == 0) return motivo_windows(GetLastError());
  return std::nullopt;
}

apertura crea_nuovo(const fs::path& file, bool /*eseguibile: every file may run*/) {
  apertura a;
  // CREATE_NEW fails on any name that exists; FILE_FLAG_OPEN_REPARSE_POINT
  // keeps a link there from being followed to create what it points at.
  const HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    a.file = aperto(h);
  } else {
    const DWORD errore = GetLastError();
    a.occupato = errore == ERROR_FILE_EXISTS || errore == ERROR_ALREADY_EXISTS;
    a.motivo = motivo_windows(errore);
  }
  return a;
}

apertura apri_in_lettura(const fs::path& file) {
  apertura a;
  // FILE_FLAG_BACKUP_SEMANTICS opens a folder too, so that it is told for
  // what it is; others may go on reading, writing or renaming the file.
  const HANDLE h = CreateFileW(file.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    a.file = aperto(h);
  } else {
    const DWORD errore = GetLastError();
    a.mancante = nome_mancante(errore);
    a.motivo = motivo_windows(errore);
  }
  return a;
}

stato_file stato_di(const file_aperto& file) { return stato_handle(maniglia(file)); }

tipo_file tipo_del_nome(const fs::path& file) {
  // No access asked: only what the name is.
  const HANDLE h = CreateFileW(
      file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return nome_mancante(GetLastError()) ? tipo_file::mancante : tipo_file::sconosciuto;
  }
  const tipo_file tipo = stato_handle(h).tipo;
  CloseHandle(h);
  return tipo;
}

std::optional<std::string> scrivi_tutto(const file_aperto& file, std::span<const uint8_t> byte) {
  while (!byte.empty()) {
    const auto pezzo = static_cast<DWORD>(std::min(byte.size(), kPezzoMassimo));
    DWORD scritti = 0;
    if (WriteFile(maniglia(file), byte.data(), pezzo, &scritti, nullptr) == 0) {
      return motivo_windows(GetLastError());
    }
    byte = byte.subspan(scritti);
  }
  return std::nullopt;
}

lettura leggi_blocco(const file_aperto& file, std::span<char> blocco) {
  const auto pezzo = static_cast<DWORD>(std::min(blocco.size(), kPezzoMassimo));
  DWORD letti = 0;
  if (ReadFile(maniglia(file), blocco.data(), pezzo, &letti, nullptr) == 0) {
    return {0, motivo_windows(GetLastError())};
  }
  return {letti, std::nullopt};
}

std::optional<std::string> rinomina(const fs::path& da, const fs::path& a) {
  if (MoveFileExW(da.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING) == 0) {
    return motivo_windows(GetLastError());
  }
  return std::nullopt;
}

void rimuovi(const fs::path& file) noexcept { DeleteFileW(file.c_str()); }

uint64_t numero_processo() { return GetCurrentProcessId(); }

eseguibile_in_corso file_eseguibile() {
  std::vector<wchar_t> nome(MAX_PATH);
  for (;;) {
    const DWORD lunghezza =
        GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
    if (lunghezza == 0) return {{}, motivo_windows(GetLastError())};
    // A full buffer may hold a cut name: grow it and ask again.
    if (lunghezza < nome.size()) return {fs::path(std::wstring(nome.data(), lunghezza)), {}};
    nome.resize(nome.size() * 2);
  }
}

}  // namespace scenario::sistema
