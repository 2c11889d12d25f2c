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

// The route and the train a command that takes the two texts of a pair
// compiles them under (compile, check, view and whatever else takes a pair),
// and what it must tell the author about them.
struct nomi_della_coppia {
  std::string percorso;  // UTF-8, as the options take it
  std::string treno;
  // One line each, said before the command's own output: a warning when
  // the texts' names disagree with each other or with an option, a note
  // when a name keeps the embedded scenario's default.
  struct detto {
    bool avviso = false;     // a warning; else a note
    bool del_treno = false;  // it concerns the train text; else the line text
    std::string messaggio;   // UTF-8
  };
  std::vector<detto> detti;
};

// The one rule for the names of a pair: the route from the line text's name
// when it is "ROUTE_linea.txt" (else from the train text's), the train from
// the train text's name "ROUTE_TRAIN-.txt" (split at its last '_' when it is
// not of the line text's route); `percorso` and `treno`, when given, win
// over the names; whatever none gives is the default (the embedded
// scenario's). `nome_linea` and `nome_treno` are the texts' file names
// without their folders, UTF-8. A name that cannot be a route or a train
// name (not Windows-1252, not a file name of its own) counts as not given.
// `ha_opzioni`: the command has --route and --train, and the notes offer them.
nomi_della_coppia scegli_nomi(std::string_view nome_linea, std::string_view nome_treno,
                              const std::optional<std::string>& percorso,
                              const std::optional<std::string>& treno,
                              std::string_view percorso_predefinito,
                              std::string_view treno_predefinito, bool ha_opzioni);

// Every pair among the file names `nomi` of one folder: each train text with
// its line text (percorso_del_treno), sorted by route, then train.
std::vector<coppia_nomi> coppie_tra(const std::vector<std::string>& nomi);

}  // namespace scenario
