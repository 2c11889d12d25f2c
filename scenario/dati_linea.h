#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The lines of the line description source text, exactly as written (Windows-1252).
std::span<const std::string_view> righe_dati_linea();

// Its file name: m.percorso + "_linea.txt".
std::string nome_file_dati_linea(const modello& m);

// Writes the line description source text into `cartella`, replacing an older file whole.
void dati_linea(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
