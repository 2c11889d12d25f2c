#include "tools/lsp/completamento.h"

#include <string>
#include <string_view>

#include "base/codifica.h"
#include "compiler/righe.h"
#include "tools/riferimento/riferimento.h"

namespace scenario::lsp {
namespace {

// The protocol's CompletionItemKind and InsertTextFormat.
constexpr int kParolaChiave = 14;
constexpr int kModulo = 9;
constexpr int kTestoSemplice = 1;
constexpr int kSnippet = 2;

std::string_view primo_campo(std::string_view riga) {
  const std::size_t inizio = riga.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) return {};
  riga.remove_prefix(inizio);
  return riga.substr(0, riga.find(','));
}

// The section of the line text that line `riga` stands in: general from the
// line that begins with "[generale]" up to the next line that begins with a
// bracketed field.
sezione_riga sezione_linea(const testo_unicode& t, std::size_t riga) {
  bool generale = false;
  for (std::size_t n = 0; n < riga && n < t.righe(); ++n) {
    const std::string_view campo = primo_campo(t.riga_utf8(n));
    if (!generale) {
      generale = contiene_senza_maiuscole(campo, "[generale]");
    } else if (campo.starts_with('[')) {
      return sezione_riga::dopo_generale;
    }
  }
  return sezione_riga::generale;
}

// A placeholder's text, with the characters a snippet gives meaning escaped.
std::string segnaposto(std::string_view testo) {
  std::string r;
  for (const char c : testo) {
    if (c == '$' || c == '}' || c == '\\') r += '\\';
    r += c;
  }
  return r;
}

std::string snippet_di(const descrizione_riga& d) {
  std::string s = segnaposto(d.scritta);
  for (std::size_t n = 0; n < d.campi.size(); ++n) {
    s += ", ${" + std::to_string(n + 1) + ":" + segnaposto(d.campi[n].nome) + "}";
  }
  return s;
}

nlohmann::json voce(std::string_view etichetta, int tipo, std::string_view dettaglio,
                    const nlohmann::json& sostituito, std::string testo, bool snippet) {
  nlohmann::json v = {{"label", etichetta}, {"kind", tipo}, {"detail", dettaglio}};
  v["filterText"] = etichetta;
  v["textEdit"] = {{"range", sostituito}, {"newText", std::move(testo)}};
  v["insertTextFormat"] = snippet ? kSnippet : kTestoSemplice;
  return v;
}

}  // namespace

nlohmann::json completamenti(const documento& d, posizione_editor p, codifica_posizioni codifica,
                             bool snippet) {
  nlohmann::json lista = nlohmann::json::array();
  const std::string_view riga = d.unicode.riga_utf8(p.riga);
  const std::size_t cursore =
      d.unicode.byte_utf8(p, codifica) - d.unicode.byte_utf8({p.riga, 0}, codifica);
  const std::string_view prima = riga.substr(0, cursore);
  if (prima.find(',') != std::string_view::npos) return lista;
  // The keyword replaces what is typed of it, from the first non-blank.
  const std::size_t inizio = prima.find_first_not_of(" \t");
  const uint32_t da = inizio == std::string_view::npos
                          ? p.colonna
                          : d.unicode.editor(p.riga, inizio, codifica).colonna;
  const nlohmann::json sostituito = {{"start", {{"line", p.riga}, {"character", da}}},
                                     {"end", {{"line", p.riga}, {"character", p.colonna}}}};

  const sezione_riga sezione =
      d.ruolo == testo_letto::treno ? sezione_riga::treno : sezione_linea(d.unicode, p.riga);
  for (const descrizione_riga& r : tutte_le_righe()) {
    if (r.testo != d.ruolo || r.sezione != sezione) continue;
    nlohmann::json v = voce(r.scritta, kParolaChiave, r.nome, sostituito,
                            snippet ? snippet_di(r) : std::string(r.scritta) + ", ", snippet);
    v["documentation"] = {{"kind", "markdown"}, {"value", markdown_riga(r)}};
    lista.push_back(std::move(v));
  }
  for (const std::string_view intestazione : intestazioni(d.ruolo)) {
    lista.push_back(voce(intestazione, kModulo, "section header", sostituito,
                         snippet ? segnaposto(intestazione) : std::string(intestazione), snippet));
  }
  return lista;
}

}  // namespace scenario::lsp
