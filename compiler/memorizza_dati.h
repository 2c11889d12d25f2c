#pragma once

#include "compiler/modello.h"
#include "compiler/osservatore.h"
#include "compiler/sorgente.h"

namespace scenario {

// Reads the line text, then the train text, into the model, deleting each
// once read. Failures go to the error record; a read failure anywhere closes
// both texts, deletes those that still exist and records code 25. An
// observer, when given, is told about the reading as it goes.
void memorizza_dati(modello& m, testo_sorgente& linea, testo_sorgente& treno,
                    osservatore_lettura* osservatore = nullptr);

}  // namespace scenario
