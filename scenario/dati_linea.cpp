#include "scenario/dati_linea.h"

#include <array>

#include "app/file_cartella.h"
#include "app/scrittore_testo.h"

namespace scenario {
namespace {

constexpr std::array<std::string_view, 0> kRighe = {};

}  // namespace

std::span<const std::string_view> righe_dati_linea() { return kRighe; }

std::string nome_file_dati_linea(const modello& m) { return m.percorso + "_linea.txt"; }

void dati_linea(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testo(percorso_file(cartella, nome_file_dati_linea(m)), righe_dati_linea());
}

}  // namespace scenario
