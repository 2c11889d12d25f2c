// The three compiled files the simulator loads: the track plan, the table of
// stations and constants, and the cell strip. Each is the model's records
// member by member, little-endian, with no header, count or padding.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "compiler/modello.h"
#include "compiler/piano_tracciato.h"
#include "compiler/record.h"

namespace scenario {

// The largest file of each kind a valid route makes, from the layouts: the
// longest route (kLunghezzaMassima) has the most cells and plan points; a
// table is its 87 rows, each with a name as long as a name can be. A reader
// of compiled files refuses anything larger before it takes memory for it.
inline constexpr int32_t kCelleMassime = (kLunghezzaMassima + kCodaPercorso) / kMetriCella + 1;
static_assert((kLunghezzaMassima + kCodaPercorso) % kMetriCella == 0,
              "the last cell of the longest route is a whole number, no rounding");
inline constexpr std::size_t kPuntiMassimi =
    static_cast<std::size_t>(kLunghezzaMassima) + kCodaPercorso + 1;
inline constexpr std::size_t kByteMassimiCelle = std::size_t{kCelleMassime} * kByteCella;
inline constexpr std::size_t kByteMassimiTabella =
    std::size_t{kRigheTabella} * (kByteVoceSenzaNome + kByteTestoTabella);
inline constexpr std::size_t kByteElementoMassimo = [] {
  std::size_t n = 0;
  for (const forma_elemento& f : kFormeElemento) n = std::max(n, f.byte);
  return n;
}();
inline constexpr std::size_t kByteMassimiTracciato = 2 * kPuntiMassimi * kByteElementoMassimo;
static_assert(kByteMassimiCelle == 302'115 && kByteMassimiTabella == 5'704'503 &&
              kByteMassimiTracciato == 20'140'020);

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
