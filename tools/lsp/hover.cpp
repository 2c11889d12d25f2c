#include "tools/lsp/hover.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "base/codifica.h"
#include "compiler/lettore_linea.h"
#include "compiler/lettore_treno.h"
#include "compiler/record.h"
#include "tools/riferimento/riferimento.h"

namespace scenario::lsp {
namespace {

// A cell a position value lands on, and what stands there.
struct cella_di_valore {
  int64_t cella = 0;
  std::string_view cosa;
};

int32_t in_32_bit(double valore) {
  if (!(valore >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (valore > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(valore);
}

double numero(const analisi& a, const riga_letta& r, std::size_t n) {
  return r.ha_valore(n) ? a.lettura.campi(r.testo)[r.valore(n)].valore : 0.0;
}

// The cells the compiler's conversions give a position value of a row.
std::vector<cella_di_valore> celle_del_valore(const analisi& a, const riga_letta& r,
                                              std::size_t n) {
  const int32_t p = in_32_bit(numero(a, r, n));
  switch (r.tipo) {
    case tipo_riga::indicatori:
    case tipo_riga::cartello:
      if (n == 0) return {{cella_oggetto(p), "the board's cell"}};
      break;
    case tipo_riga::segnale:
      if (n == 0) return {{cella_punto(p), "the signal's cell"}};
      break;
    case tipo_riga::pendenza:
    case tipo_riga::velocita:
    case tipo_riga::aderenza:
      if (n == 0) return {{cella_tratto(p), "the first cell it fills"}};
      break;
    case tipo_riga::montagna:
      if (n == 0) return {{cella_tratto(p), "the stretch's first cell"}};
      if (n == 1) return {{cella_fine_tratto(p), "the stretch's last cell"}};
      break;
    case tipo_riga::abbattimento:
      if (n == 0) return {{cella_tratto(p), "the point's cell"}};
      break;
    case tipo_riga::rallentamento: {
      dati_rallentamento dati;
      dati.x = in_32_bit(numero(a, r, 0));
      dati.l = in_32_bit(numero(a, r, 2));
      const punti_rallentamento punti = punti_di(dati);
      if (n == 2) return {{punti.fine, "the end's cell"}};
      if (n != 0) break;
      std::vector<cella_di_valore> celle = {{punti.inizio, "the start's cell"}};
      if (punti.ha_avviso) celle.push_back({punti.avviso, "the warning board's cell"});
      return celle;
    }
    default:
      break;
  }
  return {};
}

std::string metri_della_cella(int64_t cella) {
  return std::to_string(cella * kMetriCella) + " to " +
         std::to_string(cella * kMetriCella + kMetriCella - 1) + " m";
}

std::string numero_testo(double valore) {
  if (std::isfinite(valore) && std::floor(valore) == valore && std::fabs(valore) < 1e18) {
    return std::to_string(static_cast<int64_t>(valore));
  }
  std::array<char, 32> testo{};
  const auto fine = std::to_chars(testo.data(), testo.data() + testo.size(), valore).ptr;
  return std::string(testo.data(), fine);
}

// What the compile stored of the value: the number as its slot took it
// (rounded), or the text.
std::string conservato(const analisi& a, const riga_letta& r, std::size_t n, const campo_riga& c) {
  const campo_letto& letto = a.lettura.campi(r.testo)[r.valore(n)];
  std::string_view scritto = testo_campo(a, r.testo, r.valore(n));
  if (c.slot == slot_valore::testo) {
    if (scritto.starts_with('"')) scritto.remove_prefix(1);
    if (scritto.ends_with('"')) scritto.remove_suffix(1);
    return "\"" + utf8_da_1252(scritto) + "\"";
  }
  std::string testo = numero_testo(letto.valore);
  if (!letto.numero) return testo + " (the field holds no number)";
  if (scritto != testo) testo += " (written " + utf8_da_1252(scritto) + ")";
  return testo;
}

std::string hover_valore(const analisi& a, const riga_letta& r, std::size_t n) {
  const descrizione_riga& d = descrizione(r.tipo);
  const campo_riga& c = d.campi[n];
  std::string md = "**" + std::string(c.nome) + "**, value " + std::to_string(n + 1) + " of " +
                   std::to_string(d.campi.size()) + " of the " + std::string(d.nome) + " `" +
                   std::string(d.scritta) + "`\n\n";
  if (!c.unita.empty()) md += "- unit: " + std::string(c.unita) + "\n";
  md += "- slot: " + std::string(nome_slot(c.slot)) + ", " + std::string(intervallo_slot(c.slot)) +
        "\n";
  if (c.plausibile) {
    md += "- real lines keep it within " + std::to_string(c.plausibile->da) + " to " +
          std::to_string(c.plausibile->a) + "\n";
  }
  md += "- stored: " + conservato(a, r, n, c) + "\n";
  for (const cella_di_valore& cella : celle_del_valore(a, r, n)) {
    md += "- " + std::string(cella.cosa) + ": cell " + std::to_string(cella.cella) + ", " +
          metri_della_cella(cella.cella) + "\n";
  }
  if (n == 0) {
    const auto indice = static_cast<std::size_t>(&r - a.lettura.righe().data());
    for (const posa_letta& posa : a.lettura.posati()) {
      if (posa.riga != indice) continue;
      const descrizione_evento* e = evento_di(posa.evento);
      md += "- laid on cell " + std::to_string(posa.cella) + " (" + metri_della_cella(posa.cella) +
            "): " + std::string(e != nullptr ? e->oggetto : "an object") + "\n";
    }
  }
  md += "\n" + std::string(c.uso) + "\n";
  return md;
}

}  // namespace

std::optional<hover_campo> hover_in(const analisi& a, std::size_t byte) {
  const std::optional<campo_trovato> trovato = campo_in(a, byte);
  if (!trovato || trovato->riga == nullptr) return std::nullopt;
  if (!trovato->valore)
    return hover_campo{markdown_riga(descrizione(trovato->riga->tipo)), trovato->campo};
  return hover_campo{hover_valore(a, *trovato->riga, *trovato->valore), trovato->campo};
}

}  // namespace scenario::lsp
