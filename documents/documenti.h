// The three fixed-width documents for the driver: for each, its lines exactly
// as written (Windows-1252), its file name, and the writer that puts it into
// a folder, replacing an older file whole.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

// The scenario notes; m.percorso + "_" + m.treno + "_note.txt".
std::span<const std::string_view> righe_dati_note();
std::string nome_file_dati_note(const modello& m);
void dati_note(const modello& m, const std::filesystem::path& cartella);
// The notes of a scenario whose author wrote none: they name the line and
// the train, and invent nothing else.
std::vector<std::string> righe_note_assenti(const modello& m);

// The blank slowdown order form; m.percorso + "_" + m.treno + "_rallentamenti.txt".
std::span<const std::string_view> righe_dati_rallentamenti();
std::string nome_file_dati_rallentamenti(const modello& m);
void dati_rallentamenti(const modello& m, const std::filesystem::path& cartella);

// The train card; m.percorso + "_" + m.treno + "_scheda_treno.txt".
std::span<const std::string_view> righe_dati_scheda();
std::string nome_file_dati_scheda(const modello& m);
void dati_scheda(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
