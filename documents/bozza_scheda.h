// The train card drafted from a scenario's texts, for a scenario that carries
// no card of its own: the embedded card's layout, filled with what the
// compiled model knows (the train number, origin and destination, every
// station in route order with its kilometre point and its time, the train's
// speed-limit changes, the braked percentage); what only the author knows
// (classification, braked mass, rolling stock, top speed and rank, arrival
// times at intermediate stops, recovery times, notes) is left blank for the
// author to fill in. The compiled model holds everything the draft shows, so
// the train text is not read a second time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

// The train card drafted from a compiled model and its train text (Windows-1252 bytes):
// the card's lines, Windows-1252, without line ends.
std::vector<std::string> bozza_scheda_treno(const modello& m, std::string_view testo_treno);

}  // namespace scenario
