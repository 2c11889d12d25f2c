// What the values of the compiled files mean: the kind of object an `evento`
// stands for, what a table row holds, and the values the readers packed into
// a cell, unpacked again. Shared by the dump and the plot.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The object an `evento` value stands for ("segnale", "punto codice", ...);
// "sconosciuto" for a value no reader sets.
std::string_view nome_evento(uint8_t evento);

enum class genere_riga {
  vuota,
  stazione,
  cartello,     // a board text: only `nome` is set
  progressiva,  // rows 81..83: a kilometre chainage segment
  dati_generali,
  dati_percorso,
  dati_treno,
  inattesa,  // row 0 holding something: no reader fills it
};

// What row `riga` holds. Rows 1..80 are told apart by their content: a row
// whose only set member is its text is a board text, any other non-empty row
// a station.
genere_riga genere_di(int riga, const voce& v);
std::string_view nome_genere(genere_riga genere);
bool voce_vuota(const voce& v);

// A signal's values as the train reader packed them: dato1..3 = s·10 + d,
// dato4 = rapp·10 + sx·3 + dx (unambiguous for the digits and selectors that
// signal rows use).
struct segnale_decodificato {
  std::array<int, 3> s{};
  std::array<int, 3> d{};
  int rapp = 0;
  int sx = 0;
  int dx = 0;
};
segnale_decodificato decodifica_segnale(const cella& c);

// A speed-indicator board: for ranks A, B, C the first set's speed (dato / 20)
// and the second set's speed ((dato mod 20) · 5); the stripes of both sets
// from dato4 = strisces·10 + strisced.
struct cartello_velocita {
  std::array<int, 3> prima{};
  std::array<int, 3> seconda{};
  int strisce_prima = 0;
  int strisce_seconda = 0;
};
cartello_velocita decodifica_cartello_velocita(const cella& c);

// The metre at which an object placed by position (signals, slowdown points,
// boards: cell p / 50 + 1) stood, from its cell.
int32_t metri_oggetto(int32_t cella);
// The first metre of a cell.
int32_t metri_cella(int32_t cella);

int velocita_kmh(const cella& c);
int pendenza_per_mille(const cella& c);

// "06:46:00" from seconds after midnight (a negative time keeps its sign).
std::string testo_orario(int32_t secondi);

}  // namespace scenario
