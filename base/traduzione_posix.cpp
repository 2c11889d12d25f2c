// The user's language on POSIX: the locale variables of the environment.
#include <cstdlib>

#include "base/traduzione.h"

namespace scenario {
namespace {

std::string_view variabile(const char* nome) {
  const char* valore = std::getenv(nome);  // NOLINT(concurrency-mt-unsafe): read before any thread
  return valore != nullptr ? std::string_view(valore) : std::string_view();
}

}  // namespace

lingua lingua_del_sistema() {
  return lingua_da_variabili(variabile("LC_ALL"), variabile("LC_MESSAGES"), variabile("LANG"));
}

}  // namespace scenario
