#include "tools/lsp/analisi.h"

#include <algorithm>

namespace scenario::lsp {

std::unique_ptr<const analisi> analizza(const famiglia& f, const std::string& uri) {
  auto a = std::make_unique<analisi>();
  if (f.linea->uri == uri) {
    a->testi = {f.linea, f.treni.front()};
    a->di = testo_letto::linea;
  } else {
    const auto treno = std::find_if(f.treni.begin(), f.treni.end(),
                                    [&](const documento_condiviso& t) { return t->uri == uri; });
    if (treno == f.treni.end()) return nullptr;
    a->testi = {f.linea, *treno};
    a->di = testo_letto::treno;
  }
  compila_osservando(a->m, a->testi[0]->compilato.byte, a->testi[1]->compilato.byte, a->lettura);
  return a;
}

std::optional<campo_trovato> campo_in(const analisi& a, std::size_t byte) {
  const std::vector<campo_letto>& campi = a.lettura.campi(a.di);
  // The last field that starts at or before the byte.
  const auto dopo =
      std::upper_bound(campi.begin(), campi.end(), byte,
                       [](std::size_t b, const campo_letto& c) { return b < c.inizio; });
  if (dopo == campi.begin()) return std::nullopt;
  const auto campo = static_cast<std::size_t>(dopo - campi.begin()) - 1;
  if (byte > campi[campo].fine) return std::nullopt;
  campo_trovato trovato{campo, nullptr, std::nullopt};
  for (const riga_letta& r : a.lettura.righe()) {
    if (r.testo != a.di) continue;
    if (r.chiave == campo) {
      trovato.riga = &r;
      return trovato;
    }
    if (campo >= r.primo_valore && campo < r.fine_valori) {
      trovato.riga = &r;
      trovato.valore = campo - r.primo_valore;
      return trovato;
    }
  }
  return trovato;
}

std::string_view testo_campo(const analisi& a, testo_letto t, std::size_t campo) {
  const std::string& byte = a.testi.at(static_cast<std::size_t>(t))->compilato.byte;
  const campo_letto& c = a.lettura.campi(t).at(campo);
  return std::string_view(byte).substr(c.inizio, c.fine - c.inizio);
}

}  // namespace scenario::lsp
