// The folder lock on Windows: a named mutex, whose name comes from the
// folder's identity as the file system gives it (the volume's serial number
// and the folder's file index: one name however the folder was spelt,
// another case, a relative path, a link, and a short one however long its
// path), so no file is made in the folder. Windows hands a mutex whose owner
// ended without releasing it to the next one who waits (WAIT_ABANDONED): a
// run that was killed never keeps the folder.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/blocco_cartella.h"
#include "base/file_cartella.h"
#include "base/file_sistema.h"

namespace scenario {
namespace {

// The mutex of the folder: "Local\scenario-cartella-" and the folder's
// volume and file index in hexadecimal. Asked of the open folder, not of its
// path, so a path of any length the system takes will do.
std::wstring nome_mutex(const std::filesystem::path& cartella) {
  const HANDLE h =
      CreateFileW(cartella.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    throw errore_file_system(cartella, "lock", sistema::motivo_windows(GetLastError()));
  }
  BY_HANDLE_FILE_INFORMATION informazioni{};
  const bool letto = GetFileInformationByHandle(h, &informazioni) != 0;
  const DWORD errore = GetLastError();
  CloseHandle(h);
  if (!letto) throw errore_file_system(cartella, "lock", sistema::motivo_windows(errore));
  wchar_t cifre[32] = {};
  std::swprintf(cifre, 32, L"%08lx-%08lx%08lx",
                static_cast<unsigned long>(informazioni.dwVolumeSerialNumber),
                static_cast<unsigned long>(informazioni.nFileIndexHigh),
                static_cast<unsigned long>(informazioni.nFileIndexLow));
  return std::wstring(L"Local\\scenario-cartella-") + cifre;
}

}  // namespace

blocco_cartella::blocco_cartella(const std::filesystem::path& cartella) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, nome_mutex(cartella).c_str());
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
