#include "tools/lsp/definizione.h"

#include <algorithm>
#include <tuple>

namespace scenario::lsp {
namespace {

std::tuple<int64_t, int64_t> in_ordine(const nlohmann::json& posizione) {
  return {posizione.value("line", int64_t{0}), posizione.value("character", int64_t{0})};
}

bool contiene(const nlohmann::json& range, posizione_editor p) {
  const std::tuple<int64_t, int64_t> qui{p.riga, p.colonna};
  return in_ordine(range.at("start")) <= qui && qui <= in_ordine(range.at("end"));
}

}  // namespace

nlohmann::json definizioni(const nlohmann::json& diagnostiche, posizione_editor p) {
  nlohmann::json luoghi = nlohmann::json::array();
  for (const nlohmann::json& d : diagnostiche) {
    if (!contiene(d.at("range"), p)) continue;
    const auto correlate = d.find("relatedInformation");
    if (correlate == d.end()) continue;
    for (const nlohmann::json& c : *correlate) {
      const nlohmann::json& luogo = c.at("location");
      if (std::find(luoghi.begin(), luoghi.end(), luogo) == luoghi.end()) luoghi.push_back(luogo);
    }
  }
  return luoghi;
}

}  // namespace scenario::lsp
