// The names the program gives the two source texts of a scenario, read back:
// "ROUTE_linea.txt" is the line text of ROUTE, "ROUTE_TRAIN-.txt" a train
// text of it. The language server pairs texts by them, and the commands that
// take a folder or a pair of texts find the route and the train in them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

inline constexpr std::string_view kFineNomeLinea = "_linea.txt";
inline constexpr std::string_view kFineNomeTreno = "-.txt";

// ROUTE of "ROUTE_linea.txt"; nothing for any other name.
std::optional<std::string_view> percorso_della_linea(std::string_view nome);

// TRAIN of "ROUTE_TRAIN-.txt" when that names a train text of `percorso`.
std::optional<std::string_view> treno_del_percorso(std::string_view nome,
                                                   std::string_view percorso);

// A route and a train as the names of their texts spell them.
struct coppia_nomi {
  std::string percorso;
  std::string treno;
  bool operator==(const coppia_nomi&) const = default;
};

// Of the line texts among `nomi`, the route a train text belongs to: the
// longest route name that begins it (a route name may hold '_').
std::optional<std::string> percorso_del_treno(const std::vector<std::string>& nomi,
                                              std::string_view nome_treno);

// Every pair among the file names `nomi` of one folder: each train text with
// its line text (percorso_del_treno), sorted by route, then train.
std::vector<coppia_nomi> coppie_tra(const std::vector<std::string>& nomi);

}  // namespace scenario
