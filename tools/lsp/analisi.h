// One compile of a pair of texts told to an observer, kept to answer
// questions about a place of one of them: which field stands there, which row
// it belongs to, what the compile made of it.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "compiler/modello.h"
#include "tools/osservazione/lettura_osservata.h"
#include "tools/lsp/documenti.h"

namespace scenario::lsp {

struct analisi {
  std::array<documento_condiviso, 2> testi;  // the line text and the train text
  testo_letto di = testo_letto::linea;       // the text the questions are about
  modello m;
  lettura_osservata lettura;

  const documento& testo() const { return *testi.at(static_cast<std::size_t>(di)); }
};

// The compile of the pair of the family that holds `uri` (a line text with
// its first train text); null when the family has no such text.
std::unique_ptr<const analisi> analizza(const famiglia& f, const std::string& uri);

// A field of the text asked about, and the row it belongs to when it does.
struct campo_trovato {
  std::size_t campo = 0;              // index in lettura.campi(di)
  const riga_letta* riga = nullptr;   // the row whose keyword or value it is
  std::optional<std::size_t> valore;  // which value of the row; nothing: the keyword
};

// The field that holds byte `byte` of the text asked about (its end
// included, so that a cursor just after a field finds it).
std::optional<campo_trovato> campo_in(const analisi& a, std::size_t byte);

// A field's bytes as written (a quoted text with its quotes).
std::string_view testo_campo(const analisi& a, testo_letto t, std::size_t campo);

}  // namespace scenario::lsp
