#include "base/scrittore_testo.h"

#include <stdexcept>

#include "base/file_cartella.h"

namespace scenario {

std::span<const std::string_view> righe_scritte(std::span<const std::string_view> righe) {
  if (righe.size() >= kSlotTesto) {
    throw std::length_error("a text holds at most 1000 lines; the last slot keeps the end mark");
  }
  std::size_t n = 0;
  while (n < righe.size() && righe[n] != kFineFile) ++n;
  return righe.first(n);
}

std::string testo_da_righe(std::span<const std::string_view> righe) {
  std::string testo;
  for (std::string_view riga : righe_scritte(righe)) {
    testo += riga;
    testo += "\r\n";
  }
  return testo;
}

std::string testo_intero(std::span<const std::string> righe) {
  std::size_t byte = 0;
  for (const std::string& riga : righe) byte += riga.size() + 2;
  std::string testo;
  testo.reserve(byte);
  for (const std::string& riga : righe) {
    testo += riga;
    testo += "\r\n";
  }
  return testo;
}

std::vector<std::string> righe_di(std::string_view testo) {
  std::vector<std::string> righe;
  std::size_t inizio = 0;
  while (inizio < testo.size()) {
    std::size_t fine = testo.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) {
      righe.emplace_back(testo.substr(inizio));
      break;
    }
    righe.emplace_back(testo.substr(inizio, fine - inizio));
    inizio =
        fine + (testo[fine] == '\r' && fine + 1 < testo.size() && testo[fine + 1] == '\n' ? 2 : 1);
  }
  return righe;
}

void scrivi_testo(const std::filesystem::path& file, std::span<const std::string_view> righe) {
  sostituisci_file(file, testo_da_righe(righe));
}

}  // namespace scenario
