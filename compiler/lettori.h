// The two halves of memorizza_dati. The line half runs first and leaves the
// working values the train half goes on with (the board floor above all).
// Both throw errore_lettura on a read failure; memorizza_dati's fault handler
// turns it into code 25.
#pragma once

#include <cstdint>
#include <string>

#include "compiler/modello.h"
#include "compiler/osservatore.h"
#include "compiler/sorgente.h"

namespace scenario {

// Working values shared by the two halves for one call of memorizza_dati.
struct valori_lettura {
  int32_t indice_pendenza = 0;                 // next cell whose gradient is not yet written
  int32_t pendenza_prec = 0;                   // gradient of the last row read
  int32_t indice_tracciato = 2;                // next plan point to compute
  int32_t voce_cartello = kRigaPrimoCartello;  // next table row for a board text; the station floor
  int32_t velocita_prec = 0;                   // speed of the last speed row read
  int32_t aderenza_prec = 0;                   // adhesion of the last adhesion row read
  osservatore_lettura* osservatore = nullptr;  // told about the reading, when there is one
  bool risincronizza = false;                  // a failing row is set aside (memorizza_dati)
};

// The whole text of a source; a text that is missing or cannot be read is a
// read failure (errore_lettura), as the fault handler expects.
std::string leggi_sorgente(testo_sorgente& testo);

enum class esito_linea { prosegui, fermati };

// Reads and deletes the line text. `fermati` when the line half returns on a
// failure (101, 102, 1, 3, 4, 5, 6, 10, 21, 103): the train text is not read.
esito_linea leggi_linea(modello& m, testo_sorgente& linea, valori_lettura& valori);

// Reads and deletes the train text, then completes speeds and adhesion and
// checks the kilometre reference rows.
void leggi_treno(modello& m, testo_sorgente& treno, valori_lettura& valori);

}  // namespace scenario
