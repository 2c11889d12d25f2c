// The pieces of the train half that work on the model row by row: signals,
// slowdowns, stations and the checks around them. leggi_treno (lettori.h)
// drives them from the field stream; tests call them on a hand-built model.
#pragma once

#include <cstdint>
#include <optional>

#include "compiler/flusso_campi.h"
#include "compiler/modello.h"
#include "compiler/osservatore.h"

namespace scenario {

// What a row leaves the reading loop to do. `fine_lettura`: the row recorded
// 15 and reading stops, but the end of reading (completions, reference check)
// still runs. `uscita`: the row recorded its code and the half returns at once.
enum class esito_riga { prosegui, fine_lettura, uscita };

// Records a failure exit's code (and position, when the cause gives one),
// tells why, and tells the loop to return: the train text is deleted and
// nothing more runs.
esito_riga uscita_errore(modello& m, const racconto& racconta, const causa_codice& causa);

// True when cell `n` exists in the strip.
bool dentro_celle(const modello& m, int64_t n);

// Records 15 at the cause's position, tells why, and tells the loop to stop
// reading: the row position check, and the extent checks that follow it.
esito_riga oltre_le_celle(modello& m, const racconto& racconta, causa_codice causa);

// A row's objects stand this far before the end of the strip at most; a
// station's reference point this far.
inline constexpr int64_t kMargineRiga = 100;
inline constexpr int64_t kMargineStazione = 800;
// Each station zone starts at least this far beyond the previous one's end.
inline constexpr int64_t kDistanzaStazioni = 350;
// Station kinds from here on get no cell marks (junctions, halts without a stop).
inline constexpr uint8_t kSenzaMarche = 25;

// The last position a row (margine kMargineRiga) or a station (kMargineStazione)
// may stand at on this strip.
int64_t ultima_posizione(const modello& m, int64_t margine);

// The row position check of speed, adhesion, signal, slowdown and abbattimento
// rows: the position plus 100 m must not lie beyond the last cell.
bool posizione_oltre_celle(const modello& m, int32_t posizione, const flusso_campi& f);

// Cell of a signal or slowdown point at `posizione` metres: round(p / 50 + 1).
int64_t cella_punto(int64_t posizione);

// Cell of a speed, adhesion or abbattimento row at `metri`: round(p / 50).
int64_t cella_arrotondata(int64_t metri);

struct dati_segnale {
  int32_t posizione = 0;
  int32_t sx = 0;
  int32_t s1 = 0;
  int32_t s2 = 0;
  int32_t s3 = 0;
  int32_t rapp = 0;
  int32_t dx = 0;
  int32_t d1 = 0;
  int32_t d2 = 0;
  int32_t d3 = 0;
  int32_t tempo = 0;
};

// Lays a signal on its cell, with its approach marks 2, 4, 6 and 8 cells
// before it (a mark that would fall below cell 0 is dropped). Raises a
// `tempo` of 1..100 to 101 in `s`. Sets codice_errore to 16 and writes
// nothing when the cell is taken, and returns that cell. The signal's own
// cell must lie in the strip. Each object laid is told to `racconta`.
std::optional<int64_t> memo_segnale(modello& m, dati_segnale& s, const racconto& racconta = {});

struct dati_rallentamento {
  int32_t x = 0;  // start, metres
  int32_t v = 0;  // speed, km/h
  int32_t l = 0;  // length, metres
  int32_t f_tt = 0;
  int32_t f_ta = 0;  // nonzero: four pre-warning cells before the warning board
  int32_t d_v = 0;
};

// A slowdown's warning board stands this far before its start, and only when
// the start lies beyond kAvvisoDa.
inline constexpr int64_t kDistanzaAvviso = 1'200;
inline constexpr int32_t kAvvisoDa = 1'500;
// A platform length is a multiple of this.
inline constexpr int32_t kPassoBanchina = 100;

// The cells a slowdown uses. The warning board stands 1 200 m before the
// start, and only when the start lies beyond 1 500 m; the four pre-warning
// cells are `indice`, `indice` - 1, - 2 and - 3, only when also f_ta != 0.
struct punti_rallentamento {
  bool ha_avviso = false;
  bool ha_preavvisi = false;
  int64_t avviso = 0;  // warning cell
  int64_t inizio = 0;  // start cell
  int64_t fine = 0;    // end cell
  int64_t indice = 0;  // round((x - 1 200) / 50)
};
punti_rallentamento punti_di(const dati_rallentamento& r);

// True when every cell the slowdown would write lies in the strip.
bool rallentamento_dentro_celle(const modello& m, const punti_rallentamento& p);

// Lays the slowdown's end, start and warning points and, when asked for, the
// four pre-warning cells. Sets codice_errore to 17, 18, 19 (nothing written)
// or 20 (the three points stay written) on a taken cell, and returns that
// cell. Every cell of punti_di(r) must lie in the strip. Each object laid is
// told to `racconta`.
std::optional<int64_t> memo_rallentamento(modello& m, const dati_rallentamento& r,
                                          const racconto& racconta = {});

// Reads one station row (the keyword already read) into tabella row
// `numero` and lays its marks; on success moves `numero` on and checks it
// against the board floor (code 10).
esito_riga leggi_stazione(modello& m, flusso_campi& f, int32_t& numero, int32_t pavimento,
                          const racconto& racconta);

}  // namespace scenario
