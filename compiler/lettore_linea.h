// The pieces of the line half of memorizza_dati that stand on their own: the
// cell conversions, the curve classes, the ordering of the chainage rows and
// the two procedures that lay "montagna" stretches and speed boards into the
// cells. leggi_linea (compiler/lettori.h) drives them row by row.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "compiler/modello.h"
#include "compiler/osservatore.h"

namespace scenario {

inline constexpr int32_t kMontagneMassime = 80;  // rows 1..80 of the montagna lists

// Cell of a point object at `posizione`: round(posizione / 50 + 1), not
// round(posizione / 50) + 1 (25 m and 75 m both give cell 2).
int32_t cella_oggetto(int32_t posizione);

// First cell of a stretch value or a "montagna" start: round(posizione / 50).
int32_t cella_tratto(int32_t posizione);

// Last cell of a "montagna" stretch that ends at `fine`: round(fine / 50 - 1).
int32_t cella_fine_tratto(int32_t fine);

// Curvature per metre of a curve keyword: the first of the digits 1..6 found
// in it, tried in that order (so "curvas64" is class 4). Nothing without one.
std::optional<double> curvatura_classe(std::string_view parola_chiave);

// Puts the chainage rows 81 ("tre"), 82 ("due"), 83 ("uno") in order and adds
// 100 to the offset of every row whose flag is 1.
void progressive_ordina(modello& m);

// Stores one "montagna" stretch as row n_montagne + 1 of the lists and lays
// its type (and, for a type above 10, a mark every fourth cell) into the cells
// round(inizio / 50)..round(fine / 50 - 1). A stretch that starts at most
// 150 m after the previous one ends gets type 3; `tipo` comes back changed.
// The caller has checked that a list row is free and the cells are in the strip.
// Each mark laid is told to `racconta`.
void memo_montagna(modello& m, int32_t& inizio, int32_t& fine, int32_t& tipo,
                   const racconto& racconta = {});

// Places a speed board on cell round(posizione / 50 + 1), packing each rank's
// two speeds into one value (first * 20 + second / 5). On a taken cell it sets
// codice_errore to 21 and writes nothing. A packed value beyond 16 bits is a
// read failure (errore_lettura), the members before it already written. The
// caller has checked that the cell is in the strip.
void memo_indicatori_v_max(modello& m, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int16_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int16_t strisced);

}  // namespace scenario
