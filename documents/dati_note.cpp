#include "documents/dati_note.h"

#include <array>

#include "app/file_cartella.h"
#include "app/scrittore_testo.h"

namespace scenario {
namespace {

constexpr std::array<std::string_view, 0> kRighe = {};

}  // namespace

std::span<const std::string_view> righe_dati_note() { return kRighe; }

std::string nome_file_dati_note(const modello& m) { return m.percorso + "_" + m.treno + "_note.txt"; }

void dati_note(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testo(percorso_file(cartella, nome_file_dati_note(m)), righe_dati_note());
}

}  // namespace scenario
