#include "tools/disegno/vista_sorgenti.h"

#include <algorithm>
#include <cmath>

#include "base/codifica.h"
#include "compiler/lettore_linea.h"
#include "compiler/lettore_treno.h"
#include "tools/osservazione/lettura_osservata.h"

namespace scenario {
namespace {

class righe_testo {
 public:
  explicit righe_testo(const std::string& testo) : testo_(testo) {
    inizi_.push_back(0);
    for (std::size_t k = 0; k < testo.size(); ++k) {
      if (testo[k] == '\n') inizi_.push_back(k + 1);
    }
  }
  std::size_t riga_di(std::size_t byte) const {
    return static_cast<std::size_t>(std::upper_bound(inizi_.begin(), inizi_.end(), byte) -
                                    inizi_.begin());
  }
  std::string testo_riga(std::size_t riga) const {
    const std::size_t da = inizi_[riga - 1];
    std::size_t a = riga < inizi_.size() ? inizi_[riga] : testo_.size();
    while (a > da && (testo_[a - 1] == '\n' || testo_[a - 1] == '\r')) --a;
    return utf8_da_1252(testo_.substr(da, a - da));
  }

 private:
  const std::string& testo_;
  std::vector<std::size_t> inizi_;
};

class costruttore_sorgenti {
 public:
  costruttore_sorgenti(const modello& m, const sorgenti_vista& s)
      : m_(m), s_(s), linea_(s.testo_linea), treno_(s.testo_treno) {}

  mappa_sorgenti costruisci() {
    int stazioni = 0;
    int cartelli = 0;
    for (const riga_letta& r : s_.lettura->righe()) {
      const std::string dove = dove_di(r);
      switch (r.tipo) {
        case tipo_riga::segnale:
          oggetto(cella_punto(valore(r, 0)), dove);
          break;
        case tipo_riga::rallentamento:
          rallentamento(r, dove);
          break;
        case tipo_riga::abbattimento:
          oggetto(cella_arrotondata(valore(r, 0)), dove);
          break;
        case tipo_riga::indicatori:
          oggetto(cella_oggetto(valore(r, 0)), dove);
          break;
        case tipo_riga::cartello: {
          oggetto(cella_oggetto(valore(r, 0)), dove);
          mappa_.per_riga[kRigaPrimoCartello - cartelli++] = dove;
          break;
        }
        case tipo_riga::stazione:
          stazione(++stazioni, dove);
          break;
        case tipo_riga::pendenza:
          in_vigore("sorgente.pendenza", cella_tratto(valore(r, 0)), dove);
          break;
        case tipo_riga::velocita:
          in_vigore("sorgente.velocita", cella_arrotondata(valore(r, 0)), dove);
          break;
        case tipo_riga::aderenza:
          in_vigore("sorgente.aderenza", cella_arrotondata(valore(r, 0)), dove);
          break;
        case tipo_riga::montagna:
          tratto("sorgente.montagna", cella_tratto(valore(r, 0)), cella_fine_tratto(valore(r, 1)),
                 dove);
          break;
        case tipo_riga::curva:
          tratto("sorgente.curva", cella_tratto(valore(r, 0)),
                 cella_tratto(valore(r, 0) + valore(r, 1)), dove);
          break;
        default:
          break;
      }
    }
    return std::move(mappa_);
  }

 private:
  int32_t valore(const riga_letta& r, std::size_t n) const {
    if (!r.ha_valore(n)) return 0;
    const double v = s_.lettura->campi(r.testo)[r.valore(n)].valore;
    if (!std::isfinite(v)) return 0;
    return static_cast<int32_t>(std::clamp(v, -2.0e9, 2.0e9));
  }
  std::string dove_di(const riga_letta& r) {
    const bool linea = r.testo == testo_letto::linea;
    const righe_testo& t = linea ? linea_ : treno_;
    const std::size_t byte = s_.lettura->campi(r.testo)[r.chiave].inizio;
    const std::size_t riga = t.riga_di(byte);
    std::string dove = (linea ? s_.nome_linea : s_.nome_treno) + ":" + std::to_string(riga);
    mappa_.testi.try_emplace(dove, t.testo_riga(riga));
    return dove;
  }
  std::vector<std::string>& colonna_di(const std::string& nome) {
    auto& c = mappa_.per_cella[nome];
    c.resize(m_.celle.size());
    return c;
  }
  void oggetto(int64_t cella, const std::string& dove) {
    if (cella < 0 || cella >= static_cast<int64_t>(m_.celle.size())) return;
    auto& c = colonna_di("sorgente.oggetto")[static_cast<std::size_t>(cella)];
    c = c.empty() ? dove : c + ", " + dove;
  }
  void rallentamento(const riga_letta& r, const std::string& dove) {
    dati_rallentamento d;
    d.x = valore(r, 0);
    d.v = valore(r, 1);
    d.l = valore(r, 2);
    d.f_tt = valore(r, 3);
    d.f_ta = valore(r, 4);
    d.d_v = valore(r, 5);
    const punti_rallentamento p = punti_di(d);
    oggetto(p.inizio, dove);
    oggetto(p.fine, dove);
    if (p.ha_avviso) oggetto(p.avviso, dove);
    if (p.ha_preavvisi) {
      for (int64_t k = 0; k < 4; ++k) oggetto(p.indice - k, dove);
    }
  }
  void stazione(int riga, const std::string& dove) {
    mappa_.per_riga[riga] = dove;
    for (std::size_t c = 0; c < m_.celle.size(); ++c) {
      if (m_.celle[c].evento == kEventoFermata && m_.celle[c].dato1 == riga) {
        oggetto(static_cast<int64_t>(c), dove);
      }
    }
  }
  void in_vigore(const std::string& nome, int64_t da, const std::string& dove) {
    auto& c = colonna_di(nome);
    for (auto k = static_cast<std::size_t>(std::max<int64_t>(da, 0)); k < c.size(); ++k) {
      c[k] = dove;
    }
  }
  void tratto(const std::string& nome, int64_t da, int64_t a, const std::string& dove) {
    auto& c = colonna_di(nome);
    for (int64_t k = std::max<int64_t>(da, 0); k <= a && k < static_cast<int64_t>(c.size()); ++k) {
      c[static_cast<std::size_t>(k)] = dove;
    }
  }

  const modello& m_;
  const sorgenti_vista& s_;
  righe_testo linea_;
  righe_testo treno_;
  mappa_sorgenti mappa_;
};

}  // namespace

mappa_sorgenti mappa_sorgenti_di(const modello& m, const sorgenti_vista& s) {
  return costruttore_sorgenti(m, s).costruisci();
}

}  // namespace scenario
