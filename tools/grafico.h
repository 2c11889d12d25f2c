// `plot`: one self-contained SVG page (A4 landscape) of a compiled route. At
// the top the track plan seen from above, scaled to fit with north up, its
// stations labelled and its signals marked; under it the profile along the
// line on one metre axis with kilometre ticks: station zones with names and
// times, signals, slowdowns, code points, "montagna" stretches, the speed
// limit, the gradient and the adhesion.
//
// Labelled elements carry a class and data attributes (class="stazione"
// data-nome=..., class="segnale", class="rallentamento", class="punto-codice",
// class="montagna"; in the plan class="pianta-stazione", "pianta-segnale"),
// and the profile group id="profilo" carries the metre range of its axis and
// the x coordinates it maps to, so that a program can check what is where.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The page for the cells, table and (when crea_tracciato is nonzero) plan of
// `m`; the texts of the table are Windows-1252, the page is UTF-8.
std::string svg_percorso(const modello& m);

// The whole command: reads the compiled files of route `percorso` and train
// `treno` (both UTF-8, as typed) in `cartella` and writes the page to
// `uscita`. Without the plan file the page shows the profile alone. Returns
// 0; or, after one line on `errori` saying what is wrong,
// kUscitaFileNonConforme for a file that does not fit its layout (or names
// the code page cannot write) and uscita_file_system for a file that is
// missing or cannot be read or written.
int comando_plot(const std::filesystem::path& cartella, std::string_view percorso,
                 std::string_view treno, const std::filesystem::path& uscita, std::ostream& errori);

}  // namespace scenario
