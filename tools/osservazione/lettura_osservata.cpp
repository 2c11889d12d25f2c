#include "tools/osservazione/lettura_osservata.h"

#include <algorithm>

#include "output/compilazione.h"
#include "scenario/identita.h"

namespace scenario {

void lettura_osservata::annota(tipo_evento tipo, tipo_riga riga) {
  evento_lettura e;
  e.tipo = tipo;
  e.testo = corrente_;
  e.riga = riga;
  e.campi = campi_[static_cast<std::size_t>(corrente_)].size();
  eventi_.push_back(e);
}

void lettura_osservata::prevedi(testo_letto t, std::string_view byte) {
  // A field ends at a comma or a line end (CR LF counted twice here): never
  // more fields than that. A line is a keyword search, a keyword and its
  // rows, told as events.
  const auto quanti = [byte](char c) {
    return static_cast<std::size_t>(std::count(byte.begin(), byte.end(), c));
  };
  const std::size_t righe = quanti('\n') + quanti('\r') + 1;
  campi_[static_cast<std::size_t>(t)].reserve(quanti(',') + righe);
  constexpr std::size_t kEventiPerRiga = 3;
  eventi_.reserve(eventi_.capacity() + kEventiPerRiga * righe);
}

void lettura_osservata::testo(testo_letto t) {
  corrente_ = t;
  iniziato_[static_cast<std::size_t>(t)] = true;
  annota(tipo_evento::testo);
}

void lettura_osservata::campo(const campo_letto& c) {
  campi_[static_cast<std::size_t>(corrente_)].push_back(c);
}

void lettura_osservata::inizio_chiave() { annota(tipo_evento::inizio_chiave); }
void lettura_osservata::chiave() { annota(tipo_evento::chiave); }
void lettura_osservata::fine_generale() { annota(tipo_evento::fine_generale); }
void lettura_osservata::riga(tipo_riga t) {
  annota(tipo_evento::riga, t);
  ++righe_viste_;
  testo_ultima_riga_ = corrente_;
}

std::optional<std::size_t> lettura_osservata::riga_corrente() const {
  if (fase_ != fase_compilazione::lettura || righe_viste_ == 0) return std::nullopt;
  if (testo_ultima_riga_ != corrente_) return std::nullopt;
  return righe_viste_ - 1;
}

void lettura_osservata::posato(int64_t cella, uint8_t evento, std::optional<int64_t> per_cella) {
  posati_.push_back({cella, evento, riga_corrente(), per_cella, fase_});
}

void lettura_osservata::codice(const causa_codice& causa) {
  codici_.push_back({causa, riga_corrente(), corrente_, fase_, posati_.size()});
}

void lettura_osservata::fallita(std::size_t posizione, std::string_view motivo) {
  fallimenti_.push_back(fallimento_lettura{corrente_, posizione, std::string(motivo),
                                           eventi_.size(), campi(corrente_).size()});
  if (!fallimento_) fallimento_ = fallimenti_.back();
}

// A row's values run up to the next event of its text, or to the last field
// its text was read to.
std::size_t lettura_osservata::fine_valori(std::size_t evento) const {
  const testo_letto t = eventi_[evento].testo;
  for (std::size_t n = evento + 1; n < eventi_.size(); ++n) {
    if (eventi_[n].testo == t) return eventi_[n].campi;
  }
  return campi(t).size();
}

void lettura_osservata::concludi() {
  righe_.clear();
  chiavi_.clear();
  const auto eventi_di = [this](tipo_evento tipo) {
    return static_cast<std::size_t>(
        std::count_if(eventi_.begin(), eventi_.end(),
                      [tipo](const evento_lettura& e) { return e.tipo == tipo; }));
  };
  righe_.reserve(eventi_di(tipo_evento::riga));
  chiavi_.reserve(eventi_di(tipo_evento::chiave));
  bool in_generale = false;
  std::size_t inizio = 0;  // fields read before the current keyword search
  for (std::size_t n = 0; n < eventi_.size(); ++n) {
    const evento_lettura& e = eventi_[n];
    switch (e.tipo) {
      case tipo_evento::testo:
        in_generale = e.testo == testo_letto::linea;
        break;
      case tipo_evento::inizio_chiave:
        inizio = e.campi;
        break;
      case tipo_evento::chiave: {
        chiave_letta c;
        c.testo = e.testo;
        c.campo = e.campi - 1;
        c.evento = n;
        c.commenti = c.campo - inizio;
        c.generale = in_generale;
        chiavi_.push_back(c);
        break;
      }
      case tipo_evento::fine_generale:
        in_generale = false;
        if (!chiavi_.empty()) chiavi_.back().fine_generale = true;
        break;
      case tipo_evento::riga: {
        if (chiavi_.empty()) break;
        chiave_letta& c = chiavi_.back();
        if (c.righe == 0) c.prima_riga = righe_.size();
        ++c.righe;
        righe_.push_back({e.testo, e.riga, n, c.campo, e.campi, fine_valori(n)});
        break;
      }
    }
  }
  for (testo_letto t : {testo_letto::linea, testo_letto::treno}) {
    const evento_lettura* ultimo = nullptr;
    std::size_t dopo_ultimo = 0;  // events up to the last of this text
    for (std::size_t n = 0; n < eventi_.size(); ++n) {
      if (eventi_[n].testo != t) continue;
      ultimo = &eventi_[n];
      dopo_ultimo = n + 1;
    }
    // A failure after the text's last event ended its reading.
    const bool fallito_qui = std::any_of(
        fallimenti_.begin(), fallimenti_.end(),
        [t, dopo_ultimo](const auto& f) { return f.testo == t && f.eventi >= dopo_ultimo; });
    if (ultimo != nullptr && ultimo->tipo == tipo_evento::inizio_chiave && !fallito_qui &&
        campi(t).size() > ultimo->campi) {
      non_esaminato_[static_cast<std::size_t>(t)] = campi(t).size() - 1;
    }
  }
}

void compila_osservando(modello& m, const std::optional<std::string>& linea,
                        const std::optional<std::string>& treno, lettura_osservata& lettura,
                        bool risincronizza) {
  auto in_memoria = [](const std::optional<std::string>& t) {
    return t ? sorgente_in_memoria(*t) : sorgente_in_memoria();
  };
  sorgente_in_memoria sorgente_linea = in_memoria(linea);
  sorgente_in_memoria sorgente_treno = in_memoria(treno);
  if (linea) lettura.prevedi(testo_letto::linea, *linea);
  if (treno) lettura.prevedi(testo_letto::treno, *treno);
  opzioni_compilazione opzioni;
  opzioni.percorso = kPercorso;
  opzioni.treno = kTreno;
  opzioni.osservatore = &lettura;
  // check reads the reading, never the plan's points: they are counted, not kept.
  opzioni.conserva_tracciato = false;
  opzioni.risincronizza = risincronizza;
  compila_percorso(m, sorgente_linea, sorgente_treno, opzioni);
  lettura.concludi();
}

}  // namespace scenario
