#include "tools/lsp/diagnostica.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/codifica.h"
#include "tools/lsp/protocollo.h"
#include "tools/verifica/regole.h"
#include "tools/verifica/verifica.h"

namespace scenario::lsp {
namespace {

// The protocol's DiagnosticSeverity.
int severita(gravita g) {
  switch (g) {
    case gravita::errore:
      return 1;
    case gravita::avviso:
      return 2;
    case gravita::nota:
      return 3;
  }
  return 3;
}
constexpr int kInformazione = 3;

nlohmann::json inizio_testo() { return json_intervallo({}, {}); }

nlohmann::json diagnostica(nlohmann::json range, int livello, std::string_view codice,
                           const std::string& messaggio) {
  nlohmann::json d = {{"range", std::move(range)}, {"severity", livello}};
  if (!codice.empty()) d["code"] = codice;
  d["source"] = kSorgenteDiagnosi;
  d["message"] = messaggio;
  return d;
}

// "R_T-.txt:42:13": a place for people.
std::string dove(const std::string& nome, int64_t riga, int64_t colonna) {
  if (riga == 0) return nome;
  return nome + ":" + std::to_string(riga) + ":" + std::to_string(colonna);
}

// The diagnostics of one pair, collected by URI; a place in an embedded text
// is told at the start of the other one.
class raccolta {
 public:
  raccolta(std::map<std::string, nlohmann::json>& per_uri, codifica_posizioni codifica,
           verifiche_fatte& fatte)
      : per_uri_(per_uri), codifica_(codifica), fatte_(fatte) {}

  void coppia(const documento& linea, const documento& treno) {
    const std::array<const documento*, 2> testi = {&linea, &treno};
    for (const diagnosi& d : fatte_.di(linea, treno)) aggiungi(testi, d);
  }

  // Adds `d` to the list of `uri` unless the list has it already.
  void metti(const std::string& uri, nlohmann::json d) {
    nlohmann::json& lista = per_uri_[uri];
    if (lista.is_null()) lista = nlohmann::json::array();
    if (std::find(lista.begin(), lista.end(), d) == lista.end()) lista.push_back(std::move(d));
  }

 private:
  void aggiungi(const std::array<const documento*, 2>& testi, const diagnosi& d) {
    const documento& suo = *testi.at(d.testo);
    if (suo.incorporato()) {
      // Told at the start of the text it was judged with.
      const documento& altro = *testi.at(1 - d.testo);
      metti(altro.uri, diagnostica(inizio_testo(), severita(d.livello), d.codice,
                                   "in the embedded " + std::string(nome_ruolo(suo.ruolo)) + " " +
                                       dove(d.file, d.riga, d.colonna) + ": " + d.messaggio));
      return;
    }
    nlohmann::json j = diagnostica(intervallo(suo, d.riga, d.colonna, d.larghezza, codifica_),
                                   severita(d.livello), d.codice, d.messaggio);
    nlohmann::json correlate = nlohmann::json::array();
    for (const luogo& l : d.correlati) {
      const documento& dove_sta = *testi.at(l.testo);
      if (dove_sta.incorporato()) continue;
      correlate.push_back(
          {{"location",
            {{"uri", dove_sta.uri},
             {"range", intervallo(dove_sta, l.riga, l.colonna, l.larghezza, codifica_)}}},
           {"message", l.messaggio}});
    }
    if (!correlate.empty()) j["relatedInformation"] = std::move(correlate);
    metti(suo.uri, std::move(j));
  }

  static std::string_view nome_ruolo(testo_letto ruolo) {
    return ruolo == testo_letto::linea ? "line text" : "train text";
  }

  std::map<std::string, nlohmann::json>& per_uri_;
  codifica_posizioni codifica_;
  verifiche_fatte& fatte_;
};

// A warning at every character the code page cannot write, as many as check
// shows of one kind; the rest counted in one more.
void codifica_non_scrivibile(raccolta& r, const documento& d, codifica_posizioni codifica) {
  const std::vector<non_scrivibile>& tutti = d.compilato.non_scrivibili;
  const std::size_t mostrati = std::min(tutti.size(), kDiagnosiPerTipo);
  for (std::size_t n = 0; n < mostrati; ++n) {
    const auto [riga, indice] = d.unicode.riga_e_indice(tutti[n].byte);
    const nlohmann::json range = json_intervallo(d.unicode.editor(riga, indice, codifica),
                                                 d.unicode.editor(riga, indice + 1, codifica));
    const std::string carattere = utf8_di(tutti[n].carattere);
    r.metti(d.uri,
            diagnostica(range, severita(gravita::avviso), kRegolaCodifica.nome,
                        "the character '" + carattere + "' (" + nome_unicode(tutti[n].carattere) +
                            ") cannot be written in Windows-1252, the code page of the source "
                            "texts: the compiler reads '?' in its place. Write it with a "
                            "character of the code page, or leave it out"));
  }
  if (tutti.size() > mostrati) {
    r.metti(d.uri,
            diagnostica(inizio_testo(), severita(gravita::avviso), kRegolaCodifica.nome,
                        "and " + std::to_string(tutti.size() - mostrati) + " more like this"));
  }
}

// A text the editor reads as UTF-8, as it is saved: told at its first
// character beyond ASCII (one byte of the converted text), which the
// program will read as two or more.
void salvato_utf8(raccolta& r, const documento& d, codifica_posizioni codifica) {
  const std::string& byte = d.compilato.byte;
  const auto primo = std::find_if(byte.begin(), byte.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (primo == byte.end()) return;
  const auto carattere = static_cast<std::size_t>(primo - byte.begin());
  const auto [riga, indice] = d.unicode.riga_e_indice(carattere);
  const std::string come_scritto = utf8_da_1252(std::string(1, *primo));
  const std::string come_letto = utf8_da_1252(come_scritto);
  r.metti(d.uri, diagnostica(json_intervallo(d.unicode.editor(riga, indice, codifica),
                                             d.unicode.editor(riga, indice + 1, codifica)),
                             severita(gravita::avviso), kRegolaCodifica.nome,
                             "this text is saved as UTF-8 and the editor reads it so, but the "
                             "program reads Windows-1252: '" +
                                 come_scritto + "' will read as '" + come_letto +
                                 "'. Reopen the text as Windows-1252 and save it so"));
}

// Said once, at the start of a text judged with an embedded partner.
void partner_incorporato(raccolta& r, const documento& d, const documento& partner) {
  const std::string messaggio =
      d.ruolo == testo_letto::linea
          ? "no train text pairs with this line text (the train texts of ROUTE_linea.txt are "
            "named ROUTE_TRAIN-.txt, in the same folder): it is judged with the embedded train "
            "text " +
                partner.nome
          : "no line text pairs with this train text (the line text of ROUTE_TRAIN-.txt is "
            "named ROUTE_linea.txt, in the same folder): it is judged with the embedded line "
            "text " +
                partner.nome;
  r.metti(d.uri, diagnostica(inizio_testo(), kInformazione, kCodicePartner, messaggio));
}

// The texts of a family that are not embedded.
std::vector<const documento*> testi_veri(const famiglia& f) {
  std::vector<const documento*> testi;
  if (!f.linea->incorporato()) testi.push_back(f.linea.get());
  for (const documento_condiviso& t : f.treni) {
    if (!t->incorporato()) testi.push_back(t.get());
  }
  return testi;
}

}  // namespace

const std::vector<diagnosi>& verifiche_fatte::di(const documento& linea, const documento& treno) {
  verifica& v = fatte_[{linea.nome, treno.nome}];
  if (!v.fatta || v.linea != linea.compilato.byte || v.treno != treno.compilato.byte) {
    v.fatta = true;
    v.linea = linea.compilato.byte;
    v.treno = treno.compilato.byte;
    v.trovate =
        verifica_testi({linea.nome, linea.compilato.byte}, {treno.nome, treno.compilato.byte});
  }
  return v.trovate;
}

nlohmann::json intervallo(const documento& d, int64_t riga, int64_t colonna, std::size_t larghezza,
                          codifica_posizioni codifica) {
  if (riga <= 0) return inizio_testo();
  const auto r = static_cast<std::size_t>(riga - 1);
  const auto da = static_cast<std::size_t>(std::max<int64_t>(colonna - 1, 0));
  return json_intervallo(d.unicode.editor(r, da, codifica),
                         d.unicode.editor(r, da + larghezza, codifica));
}

std::map<std::string, nlohmann::json> diagnostiche_famiglia(const famiglia& f,
                                                            codifica_posizioni codifica,
                                                            verifiche_fatte& fatte) {
  std::map<std::string, nlohmann::json> per_uri;
  raccolta r(per_uri, codifica, fatte);
  // Every text of the family has a list, empty when all is well: that list
  // clears what was shown before.
  for (const documento* d : testi_veri(f)) per_uri[d->uri] = nlohmann::json::array();
  for (const documento_condiviso& t : f.treni) {
    r.coppia(*f.linea, *t);
    if (f.linea->incorporato()) partner_incorporato(r, *t, *f.linea);
    if (t->incorporato()) partner_incorporato(r, *f.linea, *t);
  }
  for (const documento* d : testi_veri(f)) {
    if (d->salvato_utf8) salvato_utf8(r, *d, codifica);
    codifica_non_scrivibile(r, *d, codifica);
  }
  return per_uri;
}

}  // namespace scenario::lsp
