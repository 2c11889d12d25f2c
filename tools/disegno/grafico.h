// `plot`: self-contained SVG pages (A4 landscape) of a compiled route, drawn
// from its layout model (tools/disegno/disposizione.h). Each page shows the track
// plan of its stretch from above, north up, in a box shaped like the line's
// extent, and the profile along the line on one metre axis: station zones
// with names and times, signals, boards, slowdowns, code points, "montagna"
// stretches, the speed limit, the gradient and the adhesion, and the end of
// the route. A route longer than one page reads at is drawn as an overview
// page of the whole and pages of equal stretches.
//
// Labelled elements carry a class and data attributes (class="stazione"
// data-nome=..., class="segnale", class="rallentamento", class="punto-codice",
// class="montagna", class="etichetta" with its box; in the plan
// class="pianta-stazione", "pianta-segnale"), the plan group id="pianta" its
// box, and the profile group id="profilo" the metre range of its axis and the
// x coordinates it maps to, so that a program can check what is where.
#pragma once

#include <array>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"
#include "tools/disegno/disposizione.h"

namespace scenario {

// The longest stretch one page shows; a longer one gets an overview page and
// pages of at most this much.
inline constexpr double kMetriPerPagina = 100'000;

// A stretch of the line, metres [da, a].
struct tratto_metri {
  double da = 0;
  double a = 0;
};

// One page of a stretch. `numero` 0 is the only page or the overview.
struct pagina_svg {
  int numero = 0;
  tratto_metri tratto;
  std::string svg;
};

// The stretches the pages of `tratto` show: none when one page shows it
// whole, otherwise equal stretches of at most kMetriPerPagina, in whole km.
std::vector<tratto_metri> tratti_pagine(tratto_metri tratto);

// The most pages one plot writes: the overview and the pages of its
// stretches. A longer stretch is drawn as far as they reach.
inline constexpr int kPagineMassime = 60;

// What kPagineMassime pages show of `tratto`: the stretch itself, or its
// beginning; and what is left out, when anything is.
struct tratto_disegnato {
  tratto_metri disegnato;
  std::optional<tratto_metri> escluso;
};
tratto_disegnato entro_le_pagine(tratto_metri tratto);

// The page of `tratto` (the whole strip by default) for the layout `d`;
// `pagina` and `pagine` number it among its pages (0 of 0: a single page).
std::string svg_pagina(const disposizione& d, tratto_metri tratto, int pagina = 0, int pagine = 0);

// The page of the whole route of `m`; the texts of the table are
// Windows-1252, the page is UTF-8.
std::string svg_percorso(const modello& m);

// Every page of `tratto` (the whole strip when not given): the page alone, or
// the overview followed by the pages.
std::vector<pagina_svg> pagine_svg(const disposizione& d, std::optional<tratto_metri> tratto);

// The file of page `numero` for the output `uscita`: the overview (or the
// only page) is `uscita` itself, page k is NAME-k.svg beside it.
std::filesystem::path file_pagina(const std::filesystem::path& uscita, int numero);

struct richiesta_plot {
  std::filesystem::path cartella;
  std::optional<std::string> percorso;  // UTF-8; found in the folder when not given
  std::optional<std::string> treno;
  std::filesystem::path uscita;
  std::optional<tratto_metri> tratto;  // --km, in metres
};

// The whole command: reads the compiled files of the route and train in the
// folder (names found there when not given and the folder holds one
// scenario) and writes the pages, one line per file written on `uscita`.
// Returns 0; or, after a message on `errori`, kUscitaFileNonConforme for a
// file that does not fit its layout (or names the code page cannot write),
// uscita_file_system for a file that is missing or cannot be read or
// written, and `stato_uso` when the folder holds no scenario or several
// (they are listed) and no names were given.
int comando_plot(const richiesta_plot& r, int stato_uso, std::ostream& uscita,
                 std::ostream& errori);

// The profile's bands as the page stacks them, in page units: each band's
// top and bottom by name, for each label band the baseline of its row 0 and
// the height its leaders end at, and the axis. The viewer stacks its bands
// the same way.
struct banda_profilo {
  std::string_view nome;
  double alto = 0;
  double basso = 0;
};
struct base_fascia {
  fascia_etichette fascia = fascia_etichette::stazioni;
  double riga0 = 0;
  double bersaglio = 0;
};
struct disegno_profilo {
  std::vector<banda_profilo> bande;
  std::vector<base_fascia> basi;
  double alto = 0;
  double asse = 0;
  double unita_segni = 0;  // point marks closer than this are merged into one
};
disegno_profilo disegno_del_profilo();

// The value range of the speed, gradient and adhesion bands (in that order),
// from bottom to top, and the step of their grid lines.
struct scala_valori {
  double minimo = 0;
  double massimo = 1;
  double passo = 1;
};
std::array<scala_valori, 3> scale_curve(const disposizione& d);

// The metres of "A..B" in kilometres (decimals allowed, 0 <= A < B);
// nothing when the text is not such.
std::optional<tratto_metri> leggi_chilometri(std::string_view testo);

}  // namespace scenario
