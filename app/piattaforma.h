// What the run needs from the platform: the wait notice, the fatal error
// stop, a way to report a fault, and the program's own folder. The console
// version serves Linux, the windowed one Windows; tools supply their own to
// keep control after errore.
#pragma once

#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/stati_uscita.h"

namespace scenario {

class piattaforma {
 public:
  virtual ~piattaforma() = default;

  // Shows "Attendere" until the process ends.
  virtual void mostra_attesa() = 0;

  // The fatal error stop: shows " Errore n. " followed by `a`, then ends the
  // process with uscita_errore. Never returns to its caller.
  [[noreturn]] virtual void errore(std::string_view a) = 0;

  // Reports one line to the user (a nonzero error record, a compile that wrote
  // nothing).
  virtual void segnala(std::string_view messaggio) = 0;

  // Reports the fault that stopped the run (a file of the folder, or the
  // program itself). A windowed platform shows it; others report it as a line.
  virtual void segnala_guasto(std::string_view messaggio) { segnala(messaggio); }
};

// Thrown by the recording platform's errore, so that a tool or a test keeps
// control after a failed check.
class fermata_errore : public std::exception {
 public:
  explicit fermata_errore(std::string_view numero) : numero_(numero) {}
  const std::string& numero() const { return numero_; }
  const char* what() const noexcept override { return numero_.c_str(); }

 private:
  std::string numero_;
};

// A platform that shows nothing: errore throws fermata_errore, segnala keeps
// each line in `messaggi`.
class piattaforma_registrata final : public piattaforma {
 public:
  void mostra_attesa() override {}
  [[noreturn]] void errore(std::string_view a) override { throw fermata_errore(a); }
  void segnala(std::string_view messaggio) override { messaggi.emplace_back(messaggio); }

  std::vector<std::string> messaggi;
};

#ifdef _WIN32
// The wait window Form1 and errore's message box, titled with the program's name.
std::unique_ptr<piattaforma> piattaforma_windows();
#else
// Standard error as the screen: "Attendere" only when it is a terminal.
std::unique_ptr<piattaforma> piattaforma_console();
#endif

// The platform of this build: the wait window on Windows, the console elsewhere.
inline std::unique_ptr<piattaforma> piattaforma_del_sistema() {
#ifdef _WIN32
  return piattaforma_windows();
#else
  return piattaforma_console();
#endif
}

// The folder that holds the running program file.
std::filesystem::path cartella_programma();

}  // namespace scenario
