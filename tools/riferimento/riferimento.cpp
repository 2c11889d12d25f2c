#include "tools/riferimento/riferimento.h"

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "base/nomi_enum.h"
#include "compiler/record.h"
#include "tools/verifica/regole.h"

namespace scenario {
namespace {

std::string_view nome_sezione(sezione_riga s) {
  constexpr std::array<std::string_view, 3> kNomi = {"only in the general section",
                                                     "only after the general section",
                                                     "anywhere after `[generale]`"};
  return nome_di(s, kNomi);
}

template <typename T>
std::string_view tipo_file() {
  if constexpr (kTesto<T>) {
    return "text";
  } else if constexpr (std::is_same_v<T, uint8_t>) {
    return "u8";
  } else if constexpr (std::is_same_v<T, int16_t>) {
    return "i16";
  } else {
    return "i32";
  }
}

// A record's members: offset from the record's start (after a text, from
// the end of that text), width, type, meaning.
template <typename Membri>
std::string markdown_membri(const Membri& membri) {
  std::string t = "| offset | member | bytes | type | meaning |\n|---|---|---|---|---|\n";
  std::size_t offset = 0;
  bool dopo_testo = false;
  per_ogni_membro(membri, [&](const auto& m) {
    using T = typename std::remove_cvref_t<decltype(m)>::tipo;
    const std::string dove = (dopo_testo ? "n + " : "") + std::to_string(offset);
    const std::string byte = kTesto<T> ? "2 + n" : std::to_string(kByteFissi<T>);
    t += "| " + dove + " | `" + std::string(m.nome) + "` | " + byte + " | " +
         std::string(tipo_file<T>()) + " | " + std::string(m.significato) + " |\n";
    offset += kByteFissi<T>;
    if (kTesto<T>) dopo_testo = true;
  });
  return t;
}

}  // namespace

std::string regola_chiave(const descrizione_riga& d) {
  std::string t = "contains \"" + std::string(d.parole[0]) + "\"";
  if (!d.parole[1].empty()) t += " and \"" + std::string(d.parole[1]) + "\"";
  t += d.ignora_maiuscole ? ", in any letter case" : ", in lower case exactly";
  return t;
}

std::string markdown_riga(const descrizione_riga& d) {
  std::string t = "### `" + std::string(d.scritta) + "` (" + std::string(d.nome) + ")\n\n";
  t += std::string(d.descrizione) + "\n\nThe keyword field " + regola_chiave(d) +
       ". The row is read " + std::string(nome_sezione(d.sezione)) +
       "; a well-ordered text has it under `" + std::string(d.intestazione) + "`.\n\n";
  t += "| # | value | unit | slot | what the compiler does with it |\n|---|---|---|---|---|\n";
  for (std::size_t n = 0; n < d.campi.size(); ++n) {
    const campo_riga& c = d.campi[n];
    std::string slot = std::string(nome_slot(c.slot)) + ", " + std::string(intervallo_slot(c.slot));
    std::string uso(c.uso);
    if (c.plausibile) {
      uso += "; a real line keeps it within " + std::to_string(c.plausibile->da) + " to " +
             std::to_string(c.plausibile->a);
    }
    t += "| " + std::to_string(n + 1) + " | ";
    t += c.nome;
    t += " | ";
    t += c.unita.empty() ? std::string_view("-") : c.unita;
    t += " | " + slot + " | " + uso + " |\n";
  }
  return t;
}

std::string markdown_cella() { return markdown_membri(kMembriCella); }
std::string markdown_voce() { return markdown_membri(kMembriVoce); }

std::string markdown_elemento() {
  std::string t = "| tag | form | bytes | meaning |\n|---|---|---|---|\n";
  for (const forma_elemento& f : kFormeElemento) {
    const std::string_view forma = f.tipo == tipo_elemento::vuoto    ? "empty"
                                   : f.tipo == tipo_elemento::intero ? "16-bit integer"
                                                                     : "64-bit double";
    t += "| " + std::to_string(f.tag) + " | " + std::string(forma) + " | " +
         std::to_string(f.byte) + " | " + std::string(f.significato) + " |\n";
  }
  return t;
}

std::string markdown_eventi() {
  std::string t =
      "| evento | object | laid by | dato1 | dato2 | dato3 | dato4 "
      "|\n|---|---|---|---|---|---|---|\n";
  for (const descrizione_evento& e : kEventi) {
    t += "| " + std::to_string(e.evento) + " | " + std::string(e.oggetto) + " | " +
         (e.posto_da.empty() ? std::string("-") : std::string(e.posto_da));
    for (std::string_view dato : e.dati) {
      t += " | " + (dato.empty() ? std::string("-") : std::string(dato));
    }
    t += " |\n";
  }
  return t;
}

std::string markdown_regole() {
  std::string t = "| rule | what it finds |\n|---|---|\n";
  for (const regola_avviso& r : kRegoleAvviso) {
    t += "| `" + std::string(r.nome) + "` | " + std::string(r.significato) + " |\n";
  }
  return t;
}

}  // namespace scenario
