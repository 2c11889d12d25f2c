// The route model: everything one compile produces. One plain struct per run,
// owned by the run driver; the readers fill it, the completion walk and the
// check codes amend it, and the writer puts three of its parts to disk member
// by member: the plan, the cells and the table, whose record members' order
// and widths are the layout of the compiled files the simulator loads
// (compiler/record.h describes them); the plan it already holds as its
// file's bytes (compiler/piano_tracciato.h). The rest is not written: the
// montagna lists are the line reader's, the names and the error record the
// run's.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/piano_tracciato.h"

namespace scenario {

// One 50-metre cell of the strip: cell n covers metres 50n..50n+49.
struct cella {
  uint8_t evento = 0;  // kind of point object; 0 = none, 11 = montagna mark
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  uint8_t tempo_segnale = 0;
  uint8_t preavviso = 0;
  uint8_t montagna = 0;
  uint8_t vel_limite = 0;  // km/h divided by 5
  uint8_t pendenza = 0;    // gradient plus 100
  uint8_t aderenza = 0;

  bool operator==(const cella&) const = default;
};

// Values of `evento`: the kind of point object a cell holds.
inline constexpr uint8_t kEventoSegnale = 1;
inline constexpr uint8_t kEventoFineRallentamento = 2;
inline constexpr uint8_t kEventoInizioRallentamento = 3;
inline constexpr uint8_t kEventoAvvisoRallentamento = 4;
inline constexpr uint8_t kEventoPreavvisoRallentamento = 5;  // the four cells before a warning
inline constexpr uint8_t kEventoVelocita = 6;                // speed indicator board
inline constexpr uint8_t kEventoFermata = 10;                // a station's stop mark
inline constexpr uint8_t kEventoMarcaMontagna = 11;
inline constexpr uint8_t kEventoPuntoCodice = 12;   // code point, abbattimento with a value
inline constexpr uint8_t kEventoAbbattimento = 13;  // abbattimento without a value
inline constexpr uint8_t kEventoCartello = 14;      // indication board

// A cell takes a new object when it holds nothing or only the montagna mark.
inline bool cella_libera(const cella& c) {
  return c.evento == 0 || c.evento == kEventoMarcaMontagna;
}

// One row of `tabella`: a station, a board text or scenario constants.
struct voce {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t campo4 = 0;
  std::string nome;  // Windows-1252 bytes
  int16_t campo7 = 0;
  int16_t campo8 = 0;
  int16_t campo10 = 0;
  int16_t campo11 = 0;
  int16_t campo12 = 0;
  uint8_t campo9 = 0;
  uint8_t campo13 = 0;
  uint8_t campo6 = 0;
  uint8_t campo5 = 0;
  int32_t orario = 0;  // time of day in seconds

  bool operator==(const voce&) const = default;
};

inline constexpr int kRigheTabella = 87;

// Rows of `tabella`: stations from row 1 up, board texts from row 80 down,
// then the rows of constants.
inline constexpr int32_t kRigaPrimaStazione = 1;
inline constexpr int32_t kRigaPrimoCartello = 80;   // the first board text; later ones go below
inline constexpr int32_t kRigaProgressivaTre = 81;  // the three chainage segments, in order
inline constexpr int32_t kRigaProgressivaDue = 82;
inline constexpr int32_t kRigaProgressivaUno = 83;
inline constexpr int32_t kRigaDatiGenerali = 84;  // braked mass, route length, number of cars
inline constexpr int32_t kRigaDatiPercorso = 85;  // backgrounds, route name, marker, st code
inline constexpr int32_t kRigaDatiTreno = 86;     // repetition, train number, sand, clock

// A station's approach marks are this plus 1..4 in `preavviso`; a signal's
// are (sx * 3 + dx) * 10 + 1..4.
inline constexpr uint8_t kPreavvisoStazione = 80;
inline constexpr int kRigheMontagne = 81;
inline constexpr int32_t kMetriCella = 50;
inline constexpr int32_t kLunghezzaMassima = 1'000'000;
inline constexpr int32_t kCodaPercorso = 7'000;

struct modello {
  // tracciato[c][m]: coordinate c (0 or 1) of plan point m, m = 0..lunghezza_estesa.
  // No points when the run builds no plan.
  piano_tracciato tracciato;
  std::vector<cella> celle;  // cells 0..ultima_cella; empty until the length row
  std::array<voce, kRigheTabella> tabella;
  // Not written: the montagna stretches read so far, rows 1..n_montagne.
  std::array<int32_t, kRigheMontagne> montagne_inizio{};
  std::array<int32_t, kRigheMontagne> montagne_fine{};
  int32_t n_montagne = 0;
  int32_t crea_tracciato = 0;
  std::string treno;     // train number, Windows-1252
  std::string percorso;  // route name, Windows-1252
  int32_t lunghezza_estesa = 0;
  int32_t ultima_cella = 0;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;

  bool ha_celle() const { return !celle.empty(); }
  cella& cella_a(int32_t n) { return celle.at(static_cast<std::size_t>(n)); }
  const cella& cella_a(int32_t n) const { return celle.at(static_cast<std::size_t>(n)); }
  voce& riga(int n) { return tabella.at(static_cast<std::size_t>(n)); }
  const voce& riga(int n) const { return tabella.at(static_cast<std::size_t>(n)); }

  bool operator==(const modello&) const = default;
};

// Makes `m` a model as a fresh one is, keeping the memory of its cell strip
// and plan for the next compile: a compile of a reused model touches no new
// pages.
void ricomincia(modello& m);

// How a cell keeps the values that hold along the line. The speed limit in
// km/h divided by 5 and rounded; nothing when that is not a byte (above
// 1277 km/h, or negative).
std::optional<uint8_t> byte_velocita(int64_t kmh);
// The speed limit a cell keeps, back in km/h.
int32_t kmh_velocita(uint8_t quinti);
// The adhesion: its low 8 bits.
uint8_t byte_aderenza(int64_t aderenza);
// The gradient in per mille: gradient + 100, its low 8 bits.
uint8_t byte_pendenza(int64_t pendenza);

// Nearest whole number, halves to even (140.5 -> 140, 31.5 -> 32).
double arrotonda_pari(double x);

// Clears rows 0..86: numbers 0, names empty.
void pulisci_tabella(modello& m);

// Sizes the model for a route of `lunghezza` metres: lunghezza_estesa,
// ultima_cella, a fresh cell strip and, when the run builds the plan, a plan
// of lunghezza_estesa + 1 points, none set yet. The caller has checked that the result has at
// least two cells.
void dimensiona(modello& m, int32_t lunghezza);

// ultima_cella for a route length: round-half-even((L + 7000) / 50).
int64_t ultima_cella_per(int64_t lunghezza);

}  // namespace scenario
