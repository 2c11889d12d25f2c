// A stand-in for the drafted card: the lines that name the train. The draft
// in the card's layout takes its place.
#include "documents/bozza_scheda.h"

namespace scenario {

std::vector<std::string> bozza_scheda_treno(const modello& m, std::string_view /*testo_treno*/) {
  return {"TRENO n." + m.treno, "Linea " + m.percorso};
}

}  // namespace scenario
