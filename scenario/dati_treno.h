#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The lines of the train description source text, exactly as written (Windows-1252).
std::span<const std::string_view> righe_dati_treno();

// Its file name: m.percorso + "_" + m.treno + "-.txt".
std::string nome_file_dati_treno(const modello& m);

// Writes the train description source text into `cartella`, replacing an older file whole.
void dati_treno(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
