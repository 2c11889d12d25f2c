// scenario-tool run inside the test process, as its command line would run it.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tools/comandi/comandi.h"

namespace prova {

struct esito_strumento {
  int stato;
  std::string uscita;
  std::string errori;
};

inline esito_strumento strumento(std::vector<std::string> argomenti) {
  argomenti.insert(argomenti.begin(), "scenario-tool");
  std::ostringstream uscita;
  std::ostringstream errori;
  const int stato = scenario::strumento::esegui_strumento(argomenti, uscita, errori);
  return {stato, uscita.str(), errori.str()};
}

}  // namespace prova
