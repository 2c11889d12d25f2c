#include "base/scrittore_testo.h"

#include <stdexcept>

#include "base/file_cartella.h"

namespace scenario {

std::string testo_da_righe(std::span<const std::string_view> righe) {
  if (righe.size() >= kSlotTesto) {
    throw std::length_error("a text holds at most 1000 lines; the last slot keeps the end mark");
  }
  std::string testo;
  for (std::string_view riga : righe) {
    if (riga == kFineFile) break;
    testo += riga;
    testo += "\r\n";
  }
  return testo;
}

void scrivi_testo(const std::filesystem::path& file, std::span<const std::string_view> righe) {
  sostituisci_file(file, testo_da_righe(righe));
}

}  // namespace scenario
