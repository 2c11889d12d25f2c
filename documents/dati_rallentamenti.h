#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The lines of the slowdown order form, exactly as written (Windows-1252).
std::span<const std::string_view> righe_dati_rallentamenti();

// Its file name: m.percorso + "_" + m.treno + "_rallentamenti.txt".
std::string nome_file_dati_rallentamenti(const modello& m);

// Writes the slowdown order form into `cartella`, replacing an older file whole.
void dati_rallentamenti(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
