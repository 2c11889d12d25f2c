#include "tools/lsp/simboli.h"

#include <cmath>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "tools/lsp/protocollo.h"

namespace scenario::lsp {
namespace {

// The protocol's SymbolKind.
constexpr int kSezione = 3;        // Namespace
constexpr int kStazione = 19;      // Object
constexpr int kSegnale = 24;       // Event
constexpr int kRallentamento = 8;  // Field

// The values of the rows named in the outline.
constexpr std::size_t kPosizione = 0;
constexpr std::size_t kVelocitaRallentamento = 1;
constexpr std::size_t kLunghezzaRallentamento = 2;
constexpr std::size_t kNomeStazione = 16;

struct simbolo {
  std::string nome;
  std::string dettaglio;
  int tipo = 0;
  std::size_t riga_inizio = 0;  // editor lines, for nesting
  std::pair<posizione_editor, posizione_editor> range;
  std::pair<posizione_editor, posizione_editor> scelto;  // selectionRange
  std::vector<simbolo> figli;
};

std::pair<posizione_editor, posizione_editor> tra(const documento& d, std::size_t da, std::size_t a,
                                                  codifica_posizioni c) {
  return {d.unicode.editor_di(da, c), d.unicode.editor_di(a, c)};
}

nlohmann::json json_di(const std::pair<posizione_editor, posizione_editor>& r) {
  return json_intervallo(r.first, r.second);
}

int64_t intero(const analisi& a, const riga_letta& r, std::size_t n) {
  if (!r.ha_valore(n)) return 0;
  return std::llround(a.lettura.campi(r.testo)[r.valore(n)].valore);
}

std::string nome_stazione(const analisi& a, const riga_letta& r) {
  if (!r.ha_valore(kNomeStazione)) return {};
  std::string_view nome = testo_campo(a, r.testo, r.valore(kNomeStazione));
  if (nome.starts_with('"')) nome.remove_prefix(1);
  if (nome.ends_with('"')) nome.remove_suffix(1);
  while (nome.ends_with(' ')) nome.remove_suffix(1);
  return utf8_da_1252(nome);
}

// The symbol of a row named in the outline; nothing for the other rows.
std::optional<simbolo> simbolo_riga(const analisi& a, const riga_letta& r, codifica_posizioni c) {
  const std::string posizione = std::to_string(intero(a, r, kPosizione)) + " m";
  simbolo s;
  switch (r.tipo) {
    case tipo_riga::stazione:
      s.nome = nome_stazione(a, r);
      s.dettaglio = "station at " + posizione;
      if (s.nome.empty()) s.nome = s.dettaglio;
      s.tipo = kStazione;
      break;
    case tipo_riga::segnale:
      s.nome = "signal at " + posizione;
      s.tipo = kSegnale;
      break;
    case tipo_riga::rallentamento:
      s.nome = "slowdown at " + posizione;
      s.dettaglio = std::to_string(intero(a, r, kVelocitaRallentamento)) + " km/h for " +
                    std::to_string(intero(a, r, kLunghezzaRallentamento)) + " m";
      s.tipo = kRallentamento;
      break;
    default:
      return std::nullopt;
  }
  const std::vector<campo_letto>& campi = a.lettura.campi(r.testo);
  const std::size_t ultimo = r.n_valori() > 0 ? r.fine_valori - 1 : r.chiave;
  const documento& d = a.testo();
  s.range = tra(d, campi[r.chiave].inizio, campi[ultimo].fine, c);
  const std::size_t scelto = r.tipo == tipo_riga::stazione && r.ha_valore(kNomeStazione)
                                 ? r.valore(kNomeStazione)
                             : r.ha_valore(kPosizione) ? r.valore(kPosizione)
                                                       : r.chiave;
  s.scelto = tra(d, campi[scelto].inizio, campi[scelto].fine, c);
  s.riga_inizio = d.unicode.editor_di(campi[r.chiave].inizio, c).riga;
  return s;
}

// The sections: a line whose first field is bracketed opens one, which runs
// to the end of the line before the next.
std::vector<simbolo> sezioni(const documento& d, codifica_posizioni c) {
  std::vector<simbolo> tutte;
  const std::size_t righe = d.unicode.righe();
  for (std::size_t n = 0; n < righe; ++n) {
    const std::string_view riga = d.unicode.riga_utf8(n);
    const std::size_t inizio = riga.find_first_not_of(" \t");
    if (inizio == std::string_view::npos || riga[inizio] != '[') continue;
    const std::size_t fine = riga.find(',', inizio);
    std::string_view nome =
        riga.substr(inizio, fine == std::string_view::npos ? fine : fine - inizio);
    while (nome.ends_with(' ')) nome.remove_suffix(1);
    simbolo s;
    s.nome = std::string(nome);
    s.tipo = kSezione;
    s.riga_inizio = n;
    const uint32_t riga_editor = static_cast<uint32_t>(n);
    s.scelto = {d.unicode.editor(n, inizio, c),
                d.unicode.editor(n, inizio + conta_caratteri(nome), c)};
    s.range = {{riga_editor, 0}, {}};
    tutte.push_back(std::move(s));
  }
  for (std::size_t k = 0; k < tutte.size(); ++k) {
    const std::size_t ultima = k + 1 < tutte.size() ? tutte[k + 1].riga_inizio - 1 : righe - 1;
    tutte[k].range.second = d.unicode.editor(ultima, std::string::npos, c);
  }
  return tutte;
}

nlohmann::json gerarchico(const simbolo& s) {
  nlohmann::json j = {{"name", s.nome},
                      {"kind", s.tipo},
                      {"range", json_di(s.range)},
                      {"selectionRange", json_di(s.scelto)}};
  if (!s.dettaglio.empty()) j["detail"] = s.dettaglio;
  if (!s.figli.empty()) {
    j["children"] = nlohmann::json::array();
    for (const simbolo& f : s.figli) j["children"].push_back(gerarchico(f));
  }
  return j;
}

void piatto(nlohmann::json& lista, const simbolo& s, const std::string& uri,
            const std::string& contenitore) {
  nlohmann::json j = {{"name", s.nome},
                      {"kind", s.tipo},
                      {"location", {{"uri", uri}, {"range", json_di(s.range)}}}};
  if (!contenitore.empty()) j["containerName"] = contenitore;
  lista.push_back(std::move(j));
  for (const simbolo& f : s.figli) piatto(lista, f, uri, s.nome);
}

}  // namespace

nlohmann::json simboli(const analisi& a, codifica_posizioni codifica, bool gerarchici) {
  const documento& d = a.testo();
  std::vector<simbolo> cima = sezioni(d, codifica);
  std::vector<simbolo> fuori;  // rows before the first section
  for (const riga_letta& r : a.lettura.righe()) {
    if (r.testo != a.di) continue;
    std::optional<simbolo> s = simbolo_riga(a, r, codifica);
    if (!s) continue;
    simbolo* sezione = nullptr;
    for (simbolo& c : cima) {
      if (c.riga_inizio <= s->riga_inizio) sezione = &c;
    }
    (sezione != nullptr ? sezione->figli : fuori).push_back(std::move(*s));
  }
  cima.insert(cima.begin(), std::make_move_iterator(fuori.begin()),
              std::make_move_iterator(fuori.end()));
  nlohmann::json lista = nlohmann::json::array();
  for (const simbolo& s : cima) {
    if (gerarchici) {
      lista.push_back(gerarchico(s));
    } else {
      piatto(lista, s, d.uri, "");
    }
  }
  return lista;
}

}  // namespace scenario::lsp
