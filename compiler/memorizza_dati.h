#pragma once

#include "compiler/modello.h"
#include "compiler/osservatore.h"
#include "compiler/sorgente.h"

namespace scenario {

// Reads the line text, then the train text, into the model, deleting each
// once read. Failures go to the error record; a read failure anywhere closes
// both texts, deletes those that still exist and records code 25. An
// observer, when given, is told about the reading as it goes.
//
// `risincronizza` is for a reading that explains a compile (check's), never
// for one whose model is written: a row that fails (a code of its own or a
// read failure) is told and set aside, as if it were not in the text, and the
// reading goes on at the next row (after a read failure, at the next line).
// The model it leaves is then no compile's; every code is told, none stays on
// record but a failure that no row made (no [generale], the route length,
// the end of a text). Without it the reading is the compiler's, unchanged.
void memorizza_dati(modello& m, testo_sorgente& linea, testo_sorgente& treno,
                    osservatore_lettura* osservatore = nullptr, bool risincronizza = false);

}  // namespace scenario
