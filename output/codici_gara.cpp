#include "output/codici_gara.h"

namespace scenario {

int16_t codice_gara_og(const modello& m) {
  (void)m;
  return 0;
}

int32_t codice_gara_st(const modello& m) {
  (void)m;
  return 0;
}

std::optional<std::string> timbra_codici(modello& m) {
  (void)m;
  return std::nullopt;
}

}  // namespace scenario
