#include "scenario/dati_treno.h"

#include <array>

#include "app/file_cartella.h"
#include "app/scrittore_testo.h"

namespace scenario {
namespace {

constexpr std::array<std::string_view, 0> kRighe = {};

}  // namespace

std::span<const std::string_view> righe_dati_treno() { return kRighe; }

std::string nome_file_dati_treno(const modello& m) { return m.percorso + "_" + m.treno + "-.txt"; }

void dati_treno(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testo(percorso_file(cartella, nome_file_dati_treno(m)), righe_dati_treno());
}

}  // namespace scenario
