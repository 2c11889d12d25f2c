// scenario-tool: writes the embedded source texts and compiles any source
// texts into the compiled files, for scenario authors and for testing the
// compiler on any input.
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
#endif

int main(int argc, char** argv) {
  scenario::limite_file_come_errore();
#ifdef _WIN32
  // The same bytes on every system: the JSON and the text a script reads do
  // not gain a carriage return before each line end on Windows.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  try {
    const std::vector<std::string> argomenti(argv, argv + argc);
    return scenario::strumento::esegui_strumento(argomenti, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "internal error: " << e.what() << '\n';
    return scenario::uscita_interna;
  }
}
