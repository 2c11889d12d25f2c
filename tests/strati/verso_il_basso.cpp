// A source of the compiler's layer that includes only what lies below it.
#include "base/codifica.h"
#include "compiler/modello.h"

int prova_verso_il_basso() { return scenario::kMetriCella; }
