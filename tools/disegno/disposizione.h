// The layout model of a compiled route: what `plot` and `view` draw, and
// where. It is built once from the route model (the compiled files read back,
// or a compile in memory) and holds everything in metres along the line: the
// stations with their zones, names and times, the point objects by their
// cells, the slowdowns, the montagna stretches, the speed, gradient and
// adhesion steps, and the track plan thinned to levels of detail. On top of
// that it places labels for a given scale (metres per drawing unit): each
// label gets a row of its band or is left out, so that no two labels and no
// label and leader line ever overlap, and it thins the steps and the plan to
// what that scale can show. The SVG page and the browser viewer both draw
// from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

// The bands of the profile that carry labels.
enum class fascia_etichette : uint8_t { stazioni, segnali, cartelli, rallentamenti, montagne };
inline constexpr std::array kFasceEtichette = {
    fascia_etichette::stazioni, fascia_etichette::segnali, fascia_etichette::cartelli,
    fascia_etichette::rallentamenti, fascia_etichette::montagne};

// How a band's labels are drawn: rows of `altezza_riga` units, text of
// `carattere` units a character (a generous average, so the estimate is never
// shorter than the text), and what the page says of the labels it leaves out.
struct regole_fascia {
  std::string_view nome;  // as the JSON of the viewer names it
  int righe = 1;
  double altezza_riga = 10;
  double carattere = 5;
  double dimensione_testo = 8;      // font size, units
  std::string_view nome_etichette;  // "signal labels"
};
const regole_fascia& regole_di(fascia_etichette f);

// A label: text whose leader points at `metro`, drawn from there to the
// right, `larghezza` units wide.
struct etichetta {
  fascia_etichette fascia = fascia_etichette::stazioni;
  std::string testo;  // UTF-8
  double metro = 0;
  double larghezza = 0;
  // Index of its object in the list of its kind; in the boards' band the
  // indication boards come first, then the speed boards (an index of
  // cartelli.size() + k is speed board k).
  int32_t oggetto = 0;
};

struct stazione_disposta {
  int riga = 0;      // table row
  std::string nome;  // UTF-8
  int32_t posizione = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t orario = 0;                    // seconds after midnight; 0 for none
  std::optional<int32_t> cella_fermata;  // the cell of its stop mark, when it has one
};

// A point object: its cell, the metre it stands at and its cell's first
// value (a code point's code).
struct oggetto_puntuale {
  int32_t cella = 0;
  int32_t metro = 0;
  int32_t dato1 = 0;
};

struct rallentamento_disposto {
  int32_t cella_inizio = 0;
  int32_t cella_fine = 0;
  int32_t inizio = 0;  // metres
  int32_t fine = 0;
  int velocita = 0;
  std::optional<int32_t> cella_avviso;
};

// A run of cells along the line, metres [da, a), with the smallest and the
// largest value it holds (equal unless the run merges several steps).
struct gradino {
  int32_t da = 0;
  int32_t a = 0;
  int minimo = 0;
  int massimo = 0;
};

// A point of the plan (first coordinate east, second north) and its metre.
struct punto_pianta {
  double x = 0;
  double y = 0;
  int32_t metro = 0;
};

// The plan thinned so that no metre of it lies further than `tolleranza`
// metres from the drawn line; an empty plan element breaks it into pieces.
struct livello_pianta {
  double tolleranza = 0;
  std::vector<std::vector<punto_pianta>> tratti;
  std::size_t punti() const;
};

struct disposizione {
  std::string percorso;  // UTF-8
  std::string treno;
  int32_t lunghezza = 0;      // route length (table row 84); 0 when the table has none
  int32_t fine_striscia = 0;  // one past the last metre of the cells
  int32_t celle = 0;
  std::vector<stazione_disposta> stazioni;
  std::vector<oggetto_puntuale> segnali;
  std::vector<oggetto_puntuale> avvisi;  // slowdown warning boards
  std::vector<oggetto_puntuale> punti_codice;
  std::vector<oggetto_puntuale> cartelli;    // indication boards
  std::vector<oggetto_puntuale> indicatori;  // speed indicator boards
  std::vector<oggetto_puntuale> abbattimenti;
  std::vector<rallentamento_disposto> rallentamenti;
  std::vector<gradino> montagne;  // value: the montagna type
  std::vector<gradino> velocita;  // km/h
  std::vector<gradino> pendenza;  // per mille
  std::vector<gradino> aderenza;  // per cent
  std::vector<etichetta> etichette;
  std::vector<livello_pianta> pianta;  // finest first; empty without a plan

  // The metre where the route ends: its length, or the end of the cells.
  int32_t fine_percorso() const { return lunghezza > 0 ? lunghezza : fine_striscia; }
};

// The layout model of `m` (cells, table and, when there is one, plan).
disposizione disponi(const modello& m);

// The colours of what both the page and the viewer draw, by name.
struct colore {
  std::string_view nome;
  std::string_view valore;
};
inline constexpr std::array kColori = {
    colore{"binario", "#333333"},       colore{"oltre", "#999999"},
    colore{"zona", "#a9cbec"},          colore{"stazione", "#1f5f99"},
    colore{"segnale", "#c0392b"},       colore{"avviso", "#f5c518"},
    colore{"rallentamento", "#e8554e"}, colore{"bordo_rallentamento", "#8e1f1a"},
    colore{"punto_codice", "#2e8b57"},  colore{"montagna", "#b08a5a"},
    colore{"cartello", "#6c3483"},      colore{"indicatore", "#117a65"},
    colore{"velocita", "#1f5f99"},      colore{"pendenza", "#8e44ad"},
    colore{"aderenza", "#2e8b57"},      colore{"fine", "#d35400"},
    colore{"guida", "#9aa5b1"},         colore{"testo", "#222222"},
};
// The colour named `nome` (one of kColori).
std::string_view colore_di(std::string_view nome);

// --------------------------------------------------------------- labels

// Where the labels go at a scale: for every label of the model its row
// (0 is the row next to the objects), or -1 when it is not shown (outside
// metres [da, a] or left out for room). Within each band no two boxes
// [x, x + larghezza] of one row overlap, leaving `kSpazioEtichette` between
// them; a label's leader runs from its row down to its object at its metre,
// behind the labels of the rows below (drawn with a halo); no box ends more
// than kSporgenzaEtichette units past `a`. Crowded labels are thinned evenly.
inline constexpr double kSpazioEtichette = 4;
inline constexpr double kSporgenzaEtichette = 24;
std::vector<int> posiziona_etichette(const disposizione& d, double metri_per_unita, double da,
                                     double a);

// A label's box at a scale: x from the axis origin `da`, rows counted up.
struct casella {
  fascia_etichette fascia = fascia_etichette::stazioni;
  double x0 = 0, x1 = 0;
  int riga = 0;
  double leader = 0;  // x of its leader
};
std::vector<casella> caselle(const disposizione& d, const std::vector<int>& righe,
                             double metri_per_unita, double da);

// For each band, how many of its labels within [da, a] the placement left
// out; and the line the page shows for it ("12 signal labels not shown at
// this scale"), nothing when none is left out.
std::array<int, kFasceEtichette.size()> etichette_nascoste(const disposizione& d,
                                                           const std::vector<int>& righe, double da,
                                                           double a);
std::optional<std::string> avviso_nascoste(fascia_etichette f, int nascoste);

// "1 signal label", "12 signal labels": a count with its noun, from the plural.
std::string conteggio(int quanti, std::string_view plurale);

// The scales at which the viewer's labels are placed, whole route first,
// each half the one before, down to a cell of 50 m over `kUnitaCellaFine`
// units.
inline constexpr double kUnitaCellaFine = 20;
std::vector<double> scale_dettaglio(const disposizione& d, double unita_intere);

// --------------------------------------------------------------- thinning

// The runs of `gradini` within [da, a] as a scale can show them: runs
// shorter than `metri_colonna` are merged with their short neighbours into
// one run per column, which keeps the smallest and largest value it covers;
// longer runs stay as they are.
std::vector<gradino> sfoltisci(const std::vector<gradino>& gradini, double metri_colonna, double da,
                               double a);

// Point objects within [da, a] with at most one per column of
// `metri_colonna` metres (the first of each); `nascosti` gets how many fell.
std::vector<oggetto_puntuale> sfoltisci(const std::vector<oggetto_puntuale>& oggetti,
                                        double metri_colonna, double da, double a, int& nascosti);

// The coarsest plan level that keeps within `tolleranza` metres, nothing
// without a plan.
const livello_pianta* livello_per(const disposizione& d, double tolleranza);

// The pieces of a plan level between metres da and a (the points just
// outside included, so that the line reaches both ends).
std::vector<std::vector<punto_pianta>> pianta_tra(const livello_pianta& l, double da, double a);

// The plan's point at a metre, interpolated on the level's line.
std::optional<punto_pianta> punto_al_metro(const livello_pianta& l, double metro);

// --------------------------------------------------------------- plan labels

// A name beside a mark on the plan, in drawing units.
struct nome_in_pianta {
  enum class allineamento { inizio, fine, centro };  // where `x` is on the text
  double x = 0, y = 0;                               // text anchor (baseline)
  allineamento ancora = allineamento::inizio;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // its box
};

// What a name on the plan keeps clear of besides the other names and the
// marks: the box's own writing (its title, the compass, the scale, the end
// word), as boxes, and the line drawn through it, as polylines.
struct ingombri_pianta {
  std::vector<std::array<double, 4>> riquadri;            // x0, y0, x1, y1
  std::vector<std::vector<std::array<double, 2>>> linee;  // points in order
};

// Places names beside marks at `segni` (drawing units) inside the box
// [x0, x1] x [y0, y1]: each takes the first of a few places around its mark
// that overlaps no other name, no mark and nothing of `ingombri`; a name with
// no such place is left out (nothing in its slot).
std::vector<std::optional<nome_in_pianta>> posiziona_nomi_pianta(
    const std::vector<std::array<double, 2>>& segni, const std::vector<double>& larghezze,
    std::array<double, 4> riquadro, const ingombri_pianta& ingombri);

// The width of a UTF-8 text at `carattere` units a character.
double larghezza_testo(std::string_view utf8, double carattere);

}  // namespace scenario
