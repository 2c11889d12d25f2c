#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The lines of the notes document, exactly as written (Windows-1252).
std::span<const std::string_view> righe_dati_note();

// Its file name: m.percorso + "_" + m.treno + "_note.txt".
std::string nome_file_dati_note(const modello& m);

// Writes the notes document into `cartella`, replacing an older file whole.
void dati_note(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
