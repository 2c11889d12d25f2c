#include "base/nomi_scenario.h"

#include <algorithm>

#include "base/codifica.h"
#include "base/nome_file.h"

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

namespace {

std::string citato(std::string_view nome) { return "'" + std::string(nome) + "'"; }

// Why a name read from a file name cannot be a route or train name; nothing
// when it can.
std::optional<std::string> motivo_nome(std::string_view nome) {
  const std::optional<std::string> cp1252 = cp1252_da_utf8(nome);
  if (!cp1252) return "cannot be written in Windows-1252";
  return motivo_nome_non_valido(*cp1252);
}

// A name read from a file name, or why it cannot be used.
struct nome_letto {
  std::optional<std::string> nome;
  std::optional<std::string> motivo;  // there is one, but it cannot be used
};

nome_letto letto(std::optional<std::string_view> nome) {
  if (!nome) return {};
  if (auto motivo = motivo_nome(*nome)) return {std::nullopt, citato(*nome) + " " + *motivo};
  return {std::string(*nome), std::nullopt};
}

}  // namespace

nomi_della_coppia scegli_nomi(std::string_view nome_linea, std::string_view nome_treno,
                              const std::optional<std::string>& percorso,
                              const std::optional<std::string>& treno,
                              std::string_view percorso_predefinito,
                              std::string_view treno_predefinito, bool ha_opzioni) {
  // The route of the line text's name, and the route and train of the train
  // text's: of the line text's route when it begins with it, else split at
  // its last '_'.
  const nome_letto percorso_linea = letto(percorso_della_linea(nome_linea));
  std::optional<std::string_view> percorso_testo_treno;
  std::optional<std::string_view> treno_testo_treno;
  if (percorso_linea.nome) treno_testo_treno = treno_del_percorso(nome_treno, *percorso_linea.nome);
  if (treno_testo_treno) {
    percorso_testo_treno = *percorso_linea.nome;
  } else if (nome_treno.ends_with(kFineNomeTreno)) {
    const std::string_view radice = nome_treno.substr(0, nome_treno.size() - kFineNomeTreno.size());
    const std::size_t trattino = radice.rfind('_');
    if (trattino != std::string_view::npos && trattino > 0 && trattino + 1 < radice.size()) {
      percorso_testo_treno = radice.substr(0, trattino);
      treno_testo_treno = radice.substr(trattino + 1);
    }
  }
  const nome_letto percorso_treno = letto(percorso_testo_treno);
  const nome_letto treno_letto = letto(treno_testo_treno);
  const std::optional<std::string> percorso_nomi =
      percorso_linea.nome ? percorso_linea.nome : percorso_treno.nome;

  nomi_della_coppia n;
  n.percorso = percorso.value_or(percorso_nomi.value_or(std::string(percorso_predefinito)));
  n.treno = treno.value_or(treno_letto.nome.value_or(std::string(treno_predefinito)));
  const std::string usati =
      "route " + citato(n.percorso) + " and train " + citato(n.treno) + " are used";
  auto avviso = [&n](bool del_treno, std::string messaggio) {
    n.detti.push_back({true, del_treno, std::move(messaggio)});
  };
  auto nota = [&n](bool del_treno, std::string messaggio) {
    n.detti.push_back({false, del_treno, std::move(messaggio)});
  };

  // Names that disagree.
  if (percorso_linea.nome && percorso_treno.nome && *percorso_treno.nome != *percorso_linea.nome) {
    avviso(true, "the train text " + citato(nome_treno) + " is named for route " +
                     citato(*percorso_treno.nome) + ", the line text " + citato(nome_linea) +
                     " for route " + citato(*percorso_linea.nome) + ": " + usati +
                     ". Name the two texts for one route, ROUTE_linea.txt and ROUTE_TRAIN-.txt");
  }
  if (percorso && percorso_nomi && *percorso != *percorso_nomi) {
    avviso(false, "--route " + citato(*percorso) +
                      " is used, though the texts are named for route " + citato(*percorso_nomi));
  }
  if (treno && treno_letto.nome && *treno != *treno_letto.nome) {
    avviso(true, "--train " + citato(*treno) +
                     " is used, though the train text is named for train " +
                     citato(*treno_letto.nome));
  }

  // Names that keep the default, and a route taken from the train text alone.
  const bool percorso_predef = !percorso && !percorso_nomi;
  const bool treno_predef = !treno && !treno_letto.nome;
  // "the line text 'X' is not named ROUTE_linea.txt", or why the route its
  // name gives cannot be taken.
  auto non_preso = [](std::string_view che, std::string_view nome, const nome_letto& l,
                      const std::string& forma) {
    if (l.motivo) {
      return "the " + std::string(che) + " " + citato(nome) +
             " names a route or train that cannot be taken (" + *l.motivo + ")";
    }
    return "the " + std::string(che) + " " + citato(nome) + " is not named " + forma;
  };
  const nome_letto& motivo_percorso = percorso_linea.motivo ? percorso_linea : percorso_treno;
  if (percorso_predef && treno_predef && !motivo_percorso.motivo && !treno_letto.motivo) {
    nota(false,
         "the texts' names do not follow the program's naming, ROUTE_linea.txt and "
         "ROUTE_TRAIN-.txt: the embedded scenario's " +
             usati +
             (ha_opzioni ? ". Name the texts so, or give --route and --train"
                         : ". Name the texts so to choose others"));
  } else {
    if (percorso_predef) {
      nota(false,
           non_preso("line text", nome_linea, motivo_percorso, "ROUTE_linea.txt") +
               ": the embedded scenario's route " + citato(n.percorso) + " is used" +
               (ha_opzioni ? ". Name it so, or give --route" : ". Name it so to choose one"));
    }
    if (treno_predef) {
      nota(true, non_preso("train text", nome_treno, treno_letto, n.percorso + "_TRAIN-.txt") +
                     ": the embedded scenario's train " + citato(n.treno) + " is used" +
                     (ha_opzioni ? ". Name it so, or give --train" : ". Name it so to choose one"));
    }
  }
  if (!percorso && !percorso_linea.nome && percorso_treno.nome) {
    nota(false, "the line text " + citato(nome_linea) + " is not named " + *percorso_treno.nome +
                    "_linea.txt: the route " + citato(*percorso_treno.nome) +
                    " is taken from the train text's name");
  }
  return n;
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
