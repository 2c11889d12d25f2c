// A source of the compiler's layer that includes the output layer above it:
// the include must not be found.
#include "compiler/modello.h"
#include "output/file_compilati.h"

int prova_verso_l_alto() { return static_cast<int>(scenario::kByteCella); }
