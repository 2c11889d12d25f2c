// scenario-tool: writes the embedded source texts and compiles any source
// texts into the compiled files, for scenario authors and for testing the
// compiler on any input.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "tools/comandi/comandi.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace {

// The tool writes UTF-8. A console shows the bytes it receives in its output
// code page, so for the run it is UTF-8 (an accented letter's two bytes show
// as one letter, not two), and the console gets its own page back at the end,
// once everything written has reached it.
class pagina_console_utf8 {
 public:
  pagina_console_utf8() : precedente_(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
  ~pagina_console_utf8() {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    if (precedente_ != 0) SetConsoleOutputCP(precedente_);
  }
  pagina_console_utf8(const pagina_console_utf8&) = delete;
  pagina_console_utf8& operator=(const pagina_console_utf8&) = delete;

 private:
  UINT precedente_;
};

}  // namespace
#endif

int main(int argc, char** argv) {
  scenario::limite_file_come_errore();
#ifdef _WIN32
  // The same bytes on every system: the JSON and the text a script reads do
  // not gain a carriage return before each line end on Windows.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const pagina_console_utf8 pagina;
#endif
  try {
    const std::vector<std::string> argomenti(argv, argv + argc);
    return scenario::strumento::esegui_strumento(argomenti, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "internal error: " << e.what() << '\n';
    return scenario::uscita_interna;
  }
}
