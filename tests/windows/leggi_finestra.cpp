// Finds a visible message box by its title and prints its place on the
// screen, "box<TAB>x y width height", then its visible controls, one per
// line: class, control id and text (UTF-8), separated by tabs and sorted. An icon control prints
// "[icon]" as its text when it holds an icon and is left out when it holds none, since it then
// shows nothing. Waits up to 30 s for the box; exits 1 when it never appears.
//
//   leggi_finestra.exe <title>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kAttesaMassimaMs = 30'000;
constexpr int kPassoMs = 100;
constexpr wchar_t kClasseDialogo[] = L"#32770";

std::string utf8(const std::wstring& testo) {
  if (testo.empty()) return {};
  const int lunghezza = static_cast<int>(testo.size());
  const int byte =
      WideCharToMultiByte(CP_UTF8, 0, testo.data(), lunghezza, nullptr, 0, nullptr, nullptr);
  std::string risultato(static_cast<std::size_t>(byte), '\0');
  WideCharToMultiByte(CP_UTF8, 0, testo.data(), lunghezza, risultato.data(), byte, nullptr,
                      nullptr);
  return risultato;
}

std::wstring wide(const std::string& testo) {
  if (testo.empty()) return {};
  const int lunghezza = static_cast<int>(testo.size());
  const int caratteri = MultiByteToWideChar(CP_UTF8, 0, testo.data(), lunghezza, nullptr, 0);
  std::wstring risultato(static_cast<std::size_t>(caratteri), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, testo.data(), lunghezza, risultato.data(), caratteri);
  return risultato;
}

std::wstring testo_finestra(HWND finestra) {
  std::wstring testo(static_cast<std::size_t>(GetWindowTextLengthW(finestra)) + 1, L'\0');
  const int letti = GetWindowTextW(finestra, testo.data(), static_cast<int>(testo.size()));
  testo.resize(static_cast<std::size_t>(std::max(letti, 0)));
  return testo;
}

std::wstring classe_finestra(HWND finestra) {
  wchar_t classe[256] = {};
  GetClassNameW(finestra, classe, 256);
  return classe;
}

struct ricerca {
  std::wstring titolo;
  HWND trovata = nullptr;
};

BOOL CALLBACK esamina_principale(HWND finestra, LPARAM dati) {
  auto& r = *reinterpret_cast<ricerca*>(dati);
  if (IsWindowVisible(finestra) && classe_finestra(finestra) == kClasseDialogo &&
      testo_finestra(finestra) == r.titolo) {
    r.trovata = finestra;
    return FALSE;
  }
  return TRUE;
}

bool controllo_icona(HWND controllo) {
  const auto stile = static_cast<DWORD>(GetWindowLongPtrW(controllo, GWL_STYLE));
  return classe_finestra(controllo) == L"Static" && (stile & SS_TYPEMASK) == SS_ICON;
}

BOOL CALLBACK esamina_controllo(HWND controllo, LPARAM dati) {
  if (!IsWindowVisible(controllo)) return TRUE;
  std::string testo = utf8(testo_finestra(controllo));
  if (controllo_icona(controllo)) {
    if (SendMessageW(controllo, STM_GETICON, 0, 0) == 0) return TRUE;
    testo = "[icon]";
  }
  auto& righe = *reinterpret_cast<std::vector<std::string>*>(dati);
  righe.push_back(utf8(classe_finestra(controllo)) + '\t' +
                  std::to_string(GetDlgCtrlID(controllo)) + '\t' + testo);
  return TRUE;
}

HWND attendi_finestra(const std::wstring& titolo) {
  ricerca r{titolo};
  for (int atteso = 0; atteso < kAttesaMassimaMs; atteso += kPassoMs) {
    EnumWindows(esamina_principale, reinterpret_cast<LPARAM>(&r));
    if (r.trovata != nullptr) return r.trovata;
    Sleep(kPassoMs);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: leggi_finestra <title>\n", stderr);
    return 2;
  }
  HWND finestra = attendi_finestra(wide(argv[1]));
  if (finestra == nullptr) {
    std::fprintf(stderr, "leggi_finestra: no message box titled '%s' appeared\n", argv[1]);
    return 1;
  }
  RECT r{};
  GetWindowRect(finestra, &r);
  std::printf("box\t%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::vector<std::string> righe;
  EnumChildWindows(finestra, esamina_controllo, reinterpret_cast<LPARAM>(&righe));
  std::sort(righe.begin(), righe.end());
  for (const auto& riga : righe) std::printf("%s\n", riga.c_str());
  return 0;
}
