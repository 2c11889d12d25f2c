// The three compiled files the simulator loads: the track plan, the table of
// stations and constants, and the cell strip. Each is the model's records
// member by member, little-endian, with no header, count or padding.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "compiler/modello.h"
#include "compiler/record.h"

namespace scenario {

// The bytes of each file. The plan's are a copy of what the model holds
// (modello::tracciato.byte(), which the writer uses as it is).
std::vector<uint8_t> byte_tracciato(const modello& m);
std::vector<uint8_t> byte_tabella(const modello& m);
std::vector<uint8_t> byte_celle(const modello& m);

// File names (Windows-1252) of the three files.
std::string nome_file_tracciato(const modello& m);  // percorso + "_linea.dat"
std::string nome_file_tabella(const modello& m);    // percorso + "_" + treno + ".sim"
std::string nome_file_celle(const modello& m);      // percorso + "_" + treno + ".dat"

// Writes the plan (only when the run builds it), the table and the cells into
// `cartella`, in that order, each replacing an older file whole.
void scrivi_file_compilati(const modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
