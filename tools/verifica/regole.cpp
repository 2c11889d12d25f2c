#include "tools/verifica/regole.h"

namespace scenario {

const regola_avviso* regola_di(std::string_view nome) {
  for (const regola_avviso& r : kRegoleAvviso) {
    if (r.nome == nome) return &r;
  }
  return nullptr;
}

}  // namespace scenario
