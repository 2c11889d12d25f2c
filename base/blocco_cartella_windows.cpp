// The folder lock on Windows: a named mutex, whose name comes from the
// folder's full path as the file system gives it back (one name however the
// folder was spelt: another case, a relative path, a link), so no file is
// made in the folder. Windows hands a mutex whose owner ended without
// releasing it to the next one who waits (WAIT_ABANDONED): a run that was
// killed never keeps the folder.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/blocco_cartella.h"
#include "base/file_cartella.h"
#include "base/file_sistema.h"

namespace scenario {
namespace {

// The folder's final path, upper-cased as the file system compares names.
std::wstring percorso_finale(const std::filesystem::path& cartella) {
  const HANDLE h =
      CreateFileW(cartella.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    throw errore_file_system(cartella, "lock", sistema::motivo_windows(GetLastError()));
  }
  std::vector<wchar_t> percorso(MAX_PATH);
  DWORD lunghezza = 0;
  for (;;) {
    lunghezza = GetFinalPathNameByHandleW(h, percorso.data(), static_cast<DWORD>(percorso.size()),
                                          FILE_NAME_NORMALIZED);
    if (lunghezza < percorso.size()) break;
    percorso.resize(lunghezza + 1);  // too small: the length asked for, with the terminator
  }
  const DWORD errore = GetLastError();
  CloseHandle(h);
  if (lunghezza == 0) throw errore_file_system(cartella, "lock", sistema::motivo_windows(errore));
  std::wstring finale(percorso.data(), lunghezza);
  const int unita = static_cast<int>(finale.size());
  std::wstring maiuscolo(finale.size(), L'\0');
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, finale.c_str(), unita, maiuscolo.data(),
                    unita, nullptr, nullptr, 0) == unita) {
    return maiuscolo;
  }
  return finale;
}

// 64-bit FNV-1a of the path: a mutex name may not hold a backslash and is
// short, so the path goes into it as a hash. Two folders of one hash would
// only wait for each other.
std::wstring nome_mutex(const std::wstring& percorso) {
  uint64_t hash = 0xCBF29CE484222325ULL;
  for (const wchar_t unita : percorso) {
    hash ^= static_cast<uint16_t>(unita);
    hash *= 0x100000001B3ULL;
  }
  wchar_t cifre[17] = {};
  std::swprintf(cifre, 17, L"%016llx", static_cast<unsigned long long>(hash));
  return std::wstring(L"Local\\scenario-cartella-") + cifre;
}

}  // namespace

blocco_cartella::blocco_cartella(const std::filesystem::path& cartella) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, nome_mutex(percorso_finale(cartella)).c_str());
  if (mutex == nullptr) {
    throw errore_file_system(cartella, "lock", sistema::motivo_windows(GetLastError()));
  }
  const DWORD atteso = WaitForSingleObject(mutex, INFINITE);
  if (atteso != WAIT_OBJECT_0 && atteso != WAIT_ABANDONED) {
    const DWORD errore = GetLastError();
    CloseHandle(mutex);
    throw errore_file_system(cartella, "lock", sistema::motivo_windows(errore));
  }
  maniglia_ = reinterpret_cast<std::intptr_t>(mutex);
}

blocco_cartella::~blocco_cartella() {
  const HANDLE mutex = reinterpret_cast<HANDLE>(maniglia_);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

}  // namespace scenario
