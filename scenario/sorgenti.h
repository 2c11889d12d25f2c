// The embedded scenario's two source texts: for each, its lines exactly as
// written (Windows-1252), its file name, and the writer that puts it into a
// folder, replacing an older file whole.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The line description text; its name is m.percorso + "_linea.txt".
std::span<const std::string_view> righe_dati_linea();
std::string nome_file_dati_linea(const modello& m);
void dati_linea(const modello& m, const std::filesystem::path& cartella);

// The train description text; its name is m.percorso + "_" + m.treno + "-.txt".
std::span<const std::string_view> righe_dati_treno();
std::string nome_file_dati_treno(const modello& m);
void dati_treno(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
