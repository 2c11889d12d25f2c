// Where the objects and values of a compiled route came from: for each cell
// the line of the source text whose row put its object there, and the lines
// whose gradient, speed, adhesion, montagna and curve rows are in force on
// it; for each table row the line that filled it. The rows are mapped to
// cells by the compiler's own cell rules, from the values the reading
// observer saw.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "compiler/modello.h"
#include "tools/disegno/vista.h"

namespace scenario {

struct mappa_sorgenti {
  // Per value ("sorgente.oggetto", "sorgente.pendenza", ...), a "file:line"
  // for each cell (empty where none); several lines are joined with ", ".
  std::map<std::string, std::vector<std::string>> per_cella;
  std::map<int, std::string> per_riga;       // table row -> "file:line"
  std::map<std::string, std::string> testi;  // "file:line" -> the line (UTF-8)
};

// The map for model `m` compiled from `s` (whose `lettura` must be set).
mappa_sorgenti mappa_sorgenti_di(const modello& m, const sorgenti_vista& s);

}  // namespace scenario
