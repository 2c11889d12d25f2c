// The platform on Windows: the wait window Form1 with its one label Label1,
// and errore's message box. Form1 is painted once and its messages are never
// pumped, so the user cannot act on it while the run works.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/piattaforma.h"
#include "base/codici_errore.h"
#include "base/file_cartella.h"
#include "base/file_sistema.h"

namespace scenario {
namespace {

// Form1 as designed, in twips (1 440 to the inch): converted to pixels with
// the screen's dots per inch, 280 x 179 client pixels at 96 dpi.
constexpr int kTwipPollice = 1440;
constexpr int kLarghezzaForm = 4200;
constexpr int kAltezzaForm = 2688;
constexpr int kSinistraLabel = 960;
constexpr int kAltoLabel = 960;
constexpr int kLarghezzaLabel = 2652;
constexpr int kAltezzaLabel = 792;

constexpr int kPuntiCarattere = 24;
constexpr int kPuntiPollice = 72;
constexpr wchar_t kCarattere[] = L"MS Sans Serif";
constexpr wchar_t kDidascalia[] = L"Attendere";
constexpr wchar_t kClasseForm[] = L"scenario_Form1";

constexpr DWORD kStileForm = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kStileLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;

std::wstring wide(std::string_view testo, UINT codifica) {
  if (testo.empty()) return {};
  const int lunghezza = static_cast<int>(testo.size());
  const int caratteri = MultiByteToWideChar(codifica, 0, testo.data(), lunghezza, nullptr, 0);
  std::wstring risultato(static_cast<std::size_t>(caratteri), L'\0');
  MultiByteToWideChar(codifica, 0, testo.data(), lunghezza, risultato.data(), caratteri);
  return risultato;
}

std::filesystem::path file_programma() {
  sistema::eseguibile_in_corso programma = sistema::file_eseguibile();
  if (programma.file.empty())
    throw errore_file_system("the program file", "find", programma.motivo);
  return programma.file;
}

void scrivi_riga_errore(std::string_view testo) {
  std::string riga(testo);
  riga += '\n';
  std::fwrite(riga.data(), 1, riga.size(), stderr);
  std::fflush(stderr);
}

struct punti_pollice {
  int x;
  int y;
};

punti_pollice punti_schermo() {
  HDC schermo = GetDC(nullptr);
  const punti_pollice punti{GetDeviceCaps(schermo, LOGPIXELSX), GetDeviceCaps(schermo, LOGPIXELSY)};
  ReleaseDC(nullptr, schermo);
  return punti;
}

int pixel(int twip, int punti) { return MulDiv(twip, punti, kTwipPollice); }

// The outer rectangle of Form1, centred on the primary work area.
RECT rettangolo_form(punti_pollice punti) {
  RECT r{0, 0, pixel(kLarghezzaForm, punti.x), pixel(kAltezzaForm, punti.y)};
  AdjustWindowRectEx(&r, kStileForm, FALSE, 0);
  RECT lavoro{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &lavoro, 0);
  const LONG larghezza = r.right - r.left;
  const LONG altezza = r.bottom - r.top;
  const LONG sinistra = lavoro.left + (lavoro.right - lavoro.left - larghezza) / 2;
  const LONG alto = lavoro.top + (lavoro.bottom - lavoro.top - altezza) / 2;
  return RECT{sinistra, alto, sinistra + larghezza, alto + altezza};
}

class finestre final : public piattaforma {
 public:
  finestre() : titolo_(file_programma().stem().wstring()) {}

  // Form1's window, font and label live until the process ends: ending it
  // destroys them without running any further event of the window.
  void mostra_attesa() override {
    const HINSTANCE istanza = GetModuleHandleW(nullptr);
    WNDCLASSEXW classe{};
    classe.cbSize = sizeof classe;
    classe.lpfnWndProc = DefWindowProcW;
    classe.hInstance = istanza;
    classe.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    classe.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    classe.lpszClassName = kClasseForm;
    if (RegisterClassExW(&classe) == 0) return;

    const punti_pollice punti = punti_schermo();
    const RECT r = rettangolo_form(punti);
    // Without a desktop (a service, no display) there is no window: the run
    // goes on without the notice, since its files are what matters.
    form_ = CreateWindowExW(0, kClasseForm, titolo_.c_str(), kStileForm, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, istanza, nullptr);
    if (form_ == nullptr) return;
    HWND label =
        CreateWindowExW(0, L"STATIC", kDidascalia, kStileLabel, pixel(kSinistraLabel, punti.x),
                        pixel(kAltoLabel, punti.y), pixel(kLarghezzaLabel, punti.x),
                        pixel(kAltezzaLabel, punti.y), form_, nullptr, istanza, nullptr);
    HFONT carattere =
        CreateFontW(-MulDiv(kPuntiCarattere, punti.y, kPuntiPollice), 0, 0, 0, FW_BOLD, FALSE,
                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kCarattere);
    if (label != nullptr && carattere != nullptr) {
      SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(carattere), FALSE);
    }
    ShowWindow(form_, SW_SHOWNORMAL);
    UpdateWindow(form_);
  }

  [[noreturn]] void errore(std::string_view a) override {
    const std::wstring testo = wide(testo_errore(a), 1252);
    MessageBoxW(form_, testo.c_str(), titolo_.c_str(), MB_OK | MB_SETFOREGROUND);
    // Closing the box ends the run at once: nothing else runs or is written.
    ExitProcess(uscita_errore);
  }

  // Standard error, when the program was started with one.
  void segnala(std::string_view messaggio) override { scrivi_riga_errore(messaggio); }

  // A fault that stopped the run is shown: a windowed program has no console.
  void segnala_guasto(std::string_view messaggio) override {
    scrivi_riga_errore(messaggio);
    const std::wstring testo = wide(messaggio, CP_UTF8);
    MessageBoxW(form_, testo.c_str(), titolo_.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  }

 private:
  std::wstring titolo_;
  HWND form_ = nullptr;
};

}  // namespace

std::unique_ptr<piattaforma> piattaforma_windows() { return std::make_unique<finestre>(); }

std::filesystem::path cartella_programma() { return file_programma().parent_path(); }

}  // namespace scenario
