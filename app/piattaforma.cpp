#include "app/piattaforma.h"

#include <string>

namespace scenario {

std::string testo_errore(std::string_view a) {
  std::string testo = " Errore n. ";
  testo += a;
  return testo;
}

}  // namespace scenario
