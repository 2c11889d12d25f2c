#include "base/nomi_scenario.h"

#include <algorithm>

namespace scenario {

std::optional<std::string_view> percorso_della_linea(std::string_view nome) {
  if (!nome.ends_with(kFineNomeLinea) || nome.size() == kFineNomeLinea.size()) return std::nullopt;
  return nome.substr(0, nome.size() - kFineNomeLinea.size());
}

std::optional<std::string_view> treno_del_percorso(std::string_view nome,
                                                   std::string_view percorso) {
  if (!nome.ends_with(kFineNomeTreno) ||
      nome.size() <= percorso.size() + 1 + kFineNomeTreno.size() || !nome.starts_with(percorso) ||
      nome[percorso.size()] != '_') {
    return std::nullopt;
  }
  const std::size_t inizio = percorso.size() + 1;
  return nome.substr(inizio, nome.size() - inizio - kFineNomeTreno.size());
}

std::optional<std::string> percorso_del_treno(const std::vector<std::string>& nomi,
                                              std::string_view nome_treno) {
  std::optional<std::string> migliore;
  for (const std::string& nome : nomi) {
    const std::optional<std::string_view> percorso = percorso_della_linea(nome);
    if (!percorso || !treno_del_percorso(nome_treno, *percorso)) continue;
    if (!migliore || percorso->size() > migliore->size()) migliore = std::string(*percorso);
  }
  return migliore;
}

std::vector<coppia_nomi> coppie_tra(const std::vector<std::string>& nomi) {
  std::vector<coppia_nomi> coppie;
  for (const std::string& nome : nomi) {
    if (percorso_della_linea(nome)) continue;  // "R_linea.txt" never pairs as a train text
    const std::optional<std::string> percorso = percorso_del_treno(nomi, nome);
    if (!percorso) continue;
    coppie.push_back({*percorso, std::string(*treno_del_percorso(nome, *percorso))});
  }
  std::sort(coppie.begin(), coppie.end(), [](const coppia_nomi& a, const coppia_nomi& b) {
    return a.percorso != b.percorso ? a.percorso < b.percorso : a.treno < b.treno;
  });
  return coppie;
}

}  // namespace scenario
