#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The lines of the train card, exactly as written (Windows-1252).
std::span<const std::string_view> righe_dati_scheda();

// Its file name: m.percorso + "_" + m.treno + "_scheda_treno.txt".
std::string nome_file_dati_scheda(const modello& m);

// Writes the train card into `cartella`, replacing an older file whole.
void dati_scheda(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
