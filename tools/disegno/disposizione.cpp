#include "tools/disegno/disposizione.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/codifica.h"
#include "compiler/lettore_treno.h"
#include "tools/ispezione/significato.h"

namespace scenario {
namespace {

// ------------------------------------------------------------------ content

std::string testo_utf8(const std::string& cp1252) { return utf8_da_1252(cp1252); }

std::string nome_o(const std::string& dalla_tabella, const std::string& dal_modello) {
  return testo_utf8(dalla_tabella.empty() ? dal_modello : dalla_tabella);
}

// Runs of equal values over the cells, in metres.
std::vector<gradino> gradini_di(const std::vector<cella>& celle,
                                const std::function<int(const cella&)>& valore) {
  std::vector<gradino> elenco;
  for (std::size_t c = 0; c < celle.size(); ++c) {
    const int v = valore(celle[c]);
    const int32_t da = metri_cella(static_cast<int32_t>(c));
    if (!elenco.empty() && elenco.back().minimo == v) {
      elenco.back().a = da + kMetriCella;
    } else {
      elenco.push_back({da, da + kMetriCella, v, v});
    }
  }
  return elenco;
}

// Slowdowns from their points: a start opens one, the next end closes it; a
// warning board 1 200 m (24 cells) before the start belongs to it. A start
// with no end runs to the last cell.
std::vector<rallentamento_disposto> rallentamenti_di(const std::vector<cella>& celle) {
  std::vector<rallentamento_disposto> elenco;
  std::optional<rallentamento_disposto> aperto;
  const auto ultima = static_cast<int32_t>(celle.size()) - 1;
  auto chiudi = [&](int32_t c) {
    aperto->cella_fine = c;
    aperto->inizio = metri_oggetto(aperto->cella_inizio);
    aperto->fine = metri_oggetto(c);
    elenco.push_back(*aperto);
    aperto.reset();
  };
  for (int32_t c = 0; c <= ultima; ++c) {
    const cella& x = celle[static_cast<std::size_t>(c)];
    if (x.evento == kEventoInizioRallentamento) {
      if (aperto) chiudi(aperto->cella_inizio);
      aperto = rallentamento_disposto{c, c, 0, 0, x.dato1, std::nullopt};
      const auto avviso = static_cast<int32_t>(c - kDistanzaAvviso / kMetriCella);
      if (avviso >= 0 &&
          celle[static_cast<std::size_t>(avviso)].evento == kEventoAvvisoRallentamento) {
        aperto->cella_avviso = avviso;
      }
    } else if (x.evento == kEventoFineRallentamento && aperto) {
      chiudi(c);
    }
  }
  if (aperto) chiudi(ultima);
  return elenco;
}

void raccogli_oggetti(const modello& m, disposizione& d) {
  for (std::size_t k = 0; k < m.celle.size(); ++k) {
    const auto c = static_cast<int32_t>(k);
    const oggetto_puntuale o{c, metri_oggetto(c), m.celle[k].dato1};
    switch (m.celle[k].evento) {
      case kEventoSegnale:
        d.segnali.push_back(o);
        break;
      case kEventoAvvisoRallentamento:
        d.avvisi.push_back(o);
        break;
      case kEventoPuntoCodice:
        // Code points lie on whole cells, laid by the completion walk.
        d.punti_codice.push_back({c, metri_cella(c), m.celle[k].dato1});
        break;
      case kEventoCartello:
        d.cartelli.push_back(o);
        break;
      case kEventoVelocita:
        d.indicatori.push_back(o);
        break;
      case kEventoAbbattimento:
        d.abbattimenti.push_back({c, metri_cella(c), m.celle[k].dato1});
        break;
      default:
        break;
    }
  }
}

void raccogli_stazioni(const modello& m, disposizione& d) {
  std::vector<std::optional<int32_t>> fermate(kRigheTabella);
  for (std::size_t k = 0; k < m.celle.size(); ++k) {
    const cella& c = m.celle[k];
    if (c.evento == kEventoFermata && c.dato1 >= 0 && c.dato1 < kRigheTabella) {
      fermate[static_cast<std::size_t>(c.dato1)] = static_cast<int32_t>(k);
    }
  }
  for (int r = kRigaPrimaStazione; r <= kRigaPrimoCartello; ++r) {
    const voce& v = m.riga(r);
    if (genere_di(r, v) != genere_riga::stazione) continue;
    d.stazioni.push_back({r, testo_utf8(v.nome), v.posizione, v.inizio, v.fine, v.orario,
                          fermate[static_cast<std::size_t>(r)]});
  }
}

std::string orario_breve(int32_t secondi) {
  std::string t = testo_orario(secondi);
  if (t.size() >= 3 && t.ends_with(":00")) t.resize(t.size() - 3);
  return t;
}

// A signal's label: its kilometre with the unit, so that it never reads as
// a time ("12.50 km", not "12.50").
std::string chilometri(int32_t metri) {
  char testo[32];
  std::snprintf(testo, sizeof testo, "%.2f km", metri / 1000.0);
  return testo;
}

// A speed board's label: the speeds of ranks A, B and C as the board holds
// them ("A80 B90 C100"), the second set after a bar when it has one.
std::string velocita_cartello(const cella& c) {
  const cartello_velocita v = decodifica_cartello_velocita(c);
  auto serie = [](const std::array<int, 3>& s) {
    return "A" + std::to_string(s[0]) + " B" + std::to_string(s[1]) + " C" + std::to_string(s[2]);
  };
  std::string t = serie(v.prima);
  if (v.seconda != std::array<int, 3>{}) t += " | " + serie(v.seconda);
  return t;
}

void aggiungi(disposizione& d, fascia_etichette f, std::string testo, double metro,
              std::size_t oggetto) {
  const double larghezza = larghezza_testo(testo, regole_di(f).carattere);
  d.etichette.push_back({f, std::move(testo), metro, larghezza, static_cast<int32_t>(oggetto)});
}

void crea_etichette(const modello& m, disposizione& d) {
  for (std::size_t k = 0; k < d.stazioni.size(); ++k) {
    const auto& s = d.stazioni[k];
    aggiungi(d, fascia_etichette::stazioni,
             s.nome + (s.orario != 0 ? " " + orario_breve(s.orario) : ""), s.posizione, k);
  }
  for (std::size_t k = 0; k < d.segnali.size(); ++k) {
    aggiungi(d, fascia_etichette::segnali, chilometri(d.segnali[k].metro), d.segnali[k].metro, k);
  }
  for (std::size_t k = 0; k < d.cartelli.size(); ++k) {
    const cella& c = m.cella_a(d.cartelli[k].cella);
    const std::string testo =
        c.dato1 >= 0 && c.dato1 < kRigheTabella ? testo_utf8(m.riga(c.dato1).nome) : "";
    aggiungi(d, fascia_etichette::cartelli, testo.empty() ? "cartello" : testo, d.cartelli[k].metro,
             k);
  }
  for (std::size_t k = 0; k < d.indicatori.size(); ++k) {
    aggiungi(d, fascia_etichette::cartelli, velocita_cartello(m.cella_a(d.indicatori[k].cella)),
             d.indicatori[k].metro, d.cartelli.size() + k);
  }
  for (std::size_t k = 0; k < d.rallentamenti.size(); ++k) {
    const auto& r = d.rallentamenti[k];
    aggiungi(d, fascia_etichette::rallentamenti, std::to_string(r.velocita), r.inizio, k);
  }
  for (std::size_t k = 0; k < d.montagne.size(); ++k) {
    aggiungi(d, fascia_etichette::montagne, std::to_string(d.montagne[k].minimo), d.montagne[k].da,
             k);
  }
  // The labels of a band in order of metre: the placement walks them so.
  std::stable_sort(d.etichette.begin(), d.etichette.end(),
                   [](const etichetta& a, const etichetta& b) {
                     if (a.fascia != b.fascia) return a.fascia < b.fascia;
                     return a.metro < b.metro;
                   });
}

// ------------------------------------------------------------------ plan

std::optional<punto_pianta> punto_di(const modello& m, std::size_t i) {
  const auto& x = m.tracciato[0][i];
  const auto& y = m.tracciato[1][i];
  if (x.tipo == tipo_elemento::vuoto || y.tipo == tipo_elemento::vuoto) return std::nullopt;
  if (!std::isfinite(x.valore) || !std::isfinite(y.valore)) return std::nullopt;
  return punto_pianta{x.valore, y.valore, static_cast<int32_t>(i)};
}

double distanza_da_segmento(const punto_pianta& p, const punto_pianta& a, const punto_pianta& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double l2 = dx * dx + dy * dy;
  if (l2 == 0) return std::hypot(p.x - a.x, p.y - a.y);
  const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Douglas-Peucker without recursion: the points of `tratto` that keep the
// line within `tolleranza`.
std::vector<punto_pianta> semplifica(const std::vector<punto_pianta>& tratto, double tolleranza) {
  if (tratto.size() <= 2) return tratto;
  std::vector<bool> tieni(tratto.size(), false);
  tieni.front() = tieni.back() = true;
  std::vector<std::pair<std::size_t, std::size_t>> pila{{0, tratto.size() - 1}};
  while (!pila.empty()) {
    const auto [i, j] = pila.back();
    pila.pop_back();
    double massima = 0;
    std::size_t dove = i;
    for (std::size_t k = i + 1; k < j; ++k) {
      const double dist = distanza_da_segmento(tratto[k], tratto[i], tratto[j]);
      if (dist > massima) {
        massima = dist;
        dove = k;
      }
    }
    if (massima > tolleranza) {
      tieni[dove] = true;
      pila.emplace_back(i, dove);
      pila.emplace_back(dove, j);
    }
  }
  std::vector<punto_pianta> tenuti;
  for (std::size_t k = 0; k < tratto.size(); ++k) {
    if (tieni[k]) tenuti.push_back(tratto[k]);
  }
  return tenuti;
}

// The plan's levels: the finest keeps every metre within half a metre, each
// next one four times coarser, until a level has few points left.
constexpr double kTolleranzaFine = 0.5;
constexpr double kFattoreLivelli = 4;
constexpr std::size_t kPuntiLivelloGrossolano = 400;

void crea_pianta(const modello& m, disposizione& d) {
  if (m.tracciato[0].empty() || m.tracciato[0].size() != m.tracciato[1].size()) return;
  livello_pianta tutto;
  std::vector<punto_pianta> tratto;
  for (std::size_t i = 0; i < m.tracciato[0].size(); ++i) {
    if (const auto p = punto_di(m, i)) {
      tratto.push_back(*p);
    } else if (!tratto.empty()) {
      tutto.tratti.push_back(std::move(tratto));
      tratto.clear();
    }
  }
  if (!tratto.empty()) tutto.tratti.push_back(std::move(tratto));
  if (tutto.tratti.empty()) return;
  double tolleranza = kTolleranzaFine;
  const livello_pianta* precedente = &tutto;
  while (true) {
    livello_pianta l;
    l.tolleranza = tolleranza;
    for (const auto& t : precedente->tratti) l.tratti.push_back(semplifica(t, tolleranza));
    d.pianta.push_back(std::move(l));
    precedente = &d.pianta.back();
    if (precedente->punti() <= kPuntiLivelloGrossolano || d.pianta.size() >= 16) break;
    tolleranza *= kFattoreLivelli;
  }
}

// ------------------------------------------------------------------ placement

// Left to right, each label takes the lowest row whose last box ends far
// enough before it; a label that finds none, or that would run past
// `limite`, is left out. True when every label found a row.
bool colloca_a_scala(const std::vector<std::pair<double, double>>& xw, int righe, double limite,
                     std::vector<int>& riga) {
  riga.assign(xw.size(), -1);
  std::vector<double> fine_riga(static_cast<std::size_t>(righe), -1e300);
  bool tutte = true;
  for (std::size_t k = 0; k < xw.size(); ++k) {
    const double x = xw[k].first;
    const double w = xw[k].second;
    const auto libera = std::find_if(fine_riga.begin(), fine_riga.end(),
                                     [x](double fine) { return fine + kSpazioEtichette <= x; });
    if (libera == fine_riga.end() || x + w > limite) {
      tutte = false;
      continue;
    }
    riga[k] = static_cast<int>(libera - fine_riga.begin());
    *libera = x + w;
  }
  return tutte;
}

// The labels of one band at one scale, thinned evenly: labels nearer than
// `passo` units to the last kept one are dropped, with `passo` growing until
// the rest all find a row.
void colloca_fascia(const std::vector<std::pair<double, double>>& xw, int righe, double limite,
                    std::vector<int>& riga) {
  if (colloca_a_scala(xw, righe, limite, riga)) return;
  double larghezza_media = 0;
  for (const auto& [x, w] : xw) larghezza_media += w + kSpazioEtichette;
  larghezza_media /= static_cast<double>(xw.size());
  for (double passo = larghezza_media / righe * 1.02;; passo *= 1.15) {
    std::vector<std::size_t> scelte;
    double ultima = -1e300;
    for (std::size_t k = 0; k < xw.size(); ++k) {
      if (xw[k].first - ultima >= passo) {
        scelte.push_back(k);
        ultima = xw[k].first;
      }
    }
    std::vector<std::pair<double, double>> sotto;
    sotto.reserve(scelte.size());
    for (std::size_t k : scelte) sotto.push_back(xw[k]);
    std::vector<int> righe_sotto;
    if (colloca_a_scala(sotto, righe, limite, righe_sotto) || scelte.size() <= 1) {
      riga.assign(xw.size(), -1);
      for (std::size_t j = 0; j < scelte.size(); ++j) riga[scelte[j]] = righe_sotto[j];
      return;
    }
  }
}

}  // namespace

std::string conteggio(int quanti, std::string_view plurale) {
  std::string nome(plurale);
  if (quanti == 1 && nome.ends_with('s')) nome.pop_back();
  return std::to_string(quanti) + " " + nome;
}

std::size_t livello_pianta::punti() const {
  std::size_t n = 0;
  for (const auto& t : tratti) n += t.size();
  return n;
}

std::string_view colore_di(std::string_view nome) {
  for (const colore& c : kColori) {
    if (c.nome == nome) return c.valore;
  }
  return "#000000";
}

const regole_fascia& regole_di(fascia_etichette f) {
  static const std::array<regole_fascia, kFasceEtichette.size()> regole{{
      {"stazioni", 6, 12, 6.6, 10, "station labels"},
      {"segnali", 3, 10, 5.0, 7.5, "signal labels"},
      {"cartelli", 4, 10, 5.0, 7.5, "board labels"},
      {"rallentamenti", 1, 10, 5.6, 8.5, "slowdown labels"},
      {"montagne", 1, 10, 5.6, 8.5, "montagna labels"},
  }};
  return regole[static_cast<std::size_t>(f)];
}

double larghezza_testo(std::string_view utf8, double carattere) {
  const auto caratteri = std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
  });
  return carattere * static_cast<double>(caratteri);
}

disposizione disponi(const modello& m) {
  disposizione d;
  d.percorso = nome_o(m.riga(kRigaDatiPercorso).nome, m.percorso);
  d.treno = nome_o(m.riga(kRigaDatiTreno).nome, m.treno);
  d.lunghezza = std::max(0, m.riga(kRigaDatiGenerali).fine);
  d.celle = static_cast<int32_t>(m.celle.size());
  d.fine_striscia = metri_cella(d.celle);
  raccogli_stazioni(m, d);
  raccogli_oggetti(m, d);
  d.rallentamenti = rallentamenti_di(m.celle);
  for (const gradino& g :
       gradini_di(m.celle, [](const cella& c) { return static_cast<int>(c.montagna); })) {
    if (g.minimo != 0) d.montagne.push_back(g);
  }
  d.velocita = gradini_di(m.celle, velocita_kmh);
  d.pendenza = gradini_di(m.celle, pendenza_per_mille);
  d.aderenza = gradini_di(m.celle, [](const cella& c) { return static_cast<int>(c.aderenza); });
  crea_etichette(m, d);
  crea_pianta(m, d);
  return d;
}

std::vector<int> posiziona_etichette(const disposizione& d, double metri_per_unita, double da,
                                     double a) {
  std::vector<int> righe(d.etichette.size(), -1);
  for (fascia_etichette f : kFasceEtichette) {
    std::vector<std::size_t> indici;
    std::vector<std::pair<double, double>> xw;
    for (std::size_t k = 0; k < d.etichette.size(); ++k) {
      const etichetta& e = d.etichette[k];
      if (e.fascia != f || e.metro < da || e.metro > a) continue;
      indici.push_back(k);
      xw.emplace_back((e.metro - da) / metri_per_unita, e.larghezza);
    }
    if (indici.empty()) continue;
    // A label that would run past the right end is left out before the
    // others are placed: it is not a matter of crowding.
    const double limite = (a - da) / metri_per_unita + kSporgenzaEtichette;
    std::vector<std::size_t> dentro;
    std::vector<std::pair<double, double>> xw_dentro;
    for (std::size_t j = 0; j < indici.size(); ++j) {
      if (xw[j].first + xw[j].second > limite) continue;
      dentro.push_back(indici[j]);
      xw_dentro.push_back(xw[j]);
    }
    indici = std::move(dentro);
    xw = std::move(xw_dentro);
    if (indici.empty()) continue;
    std::vector<int> r;
    colloca_fascia(xw, regole_di(f).righe, limite, r);
    for (std::size_t j = 0; j < indici.size(); ++j) righe[indici[j]] = r[j];
  }
  return righe;
}

std::vector<casella> caselle(const disposizione& d, const std::vector<int>& righe,
                             double metri_per_unita, double da) {
  std::vector<casella> elenco;
  for (std::size_t k = 0; k < d.etichette.size(); ++k) {
    if (righe[k] < 0) continue;
    const etichetta& e = d.etichette[k];
    const double x = (e.metro - da) / metri_per_unita;
    elenco.push_back({e.fascia, x, x + e.larghezza, righe[k], x});
  }
  return elenco;
}

std::array<int, kFasceEtichette.size()> etichette_nascoste(const disposizione& d,
                                                           const std::vector<int>& righe, double da,
                                                           double a) {
  std::array<int, kFasceEtichette.size()> nascoste{};
  for (std::size_t k = 0; k < d.etichette.size(); ++k) {
    const etichetta& e = d.etichette[k];
    if (e.metro >= da && e.metro <= a && righe[k] < 0) {
      ++nascoste[static_cast<std::size_t>(e.fascia)];
    }
  }
  return nascoste;
}

std::optional<std::string> avviso_nascoste(fascia_etichette f, int nascoste) {
  if (nascoste <= 0) return std::nullopt;
  return conteggio(nascoste, regole_di(f).nome_etichette) + " not shown at this scale";
}

std::vector<double> scale_dettaglio(const disposizione& d, double unita_intere) {
  std::vector<double> scale;
  const double fine = kMetriCella / kUnitaCellaFine;
  double s = std::max(static_cast<double>(d.fine_striscia), 1.0) / unita_intere;
  while (true) {
    scale.push_back(s);
    if (s <= fine) break;
    s /= 2;
  }
  return scale;
}

std::vector<gradino> sfoltisci(const std::vector<gradino>& gradini, double metri_colonna, double da,
                               double a) {
  std::vector<gradino> uscita;
  std::optional<gradino> secchio;
  for (const gradino& g : gradini) {
    if (g.a <= da || g.da >= a) continue;
    // A run a column long or longer stays as it is.
    if (g.a - g.da >= metri_colonna) {
      if (secchio) uscita.push_back(*secchio);
      uscita.push_back(g);
      secchio.reset();
      continue;
    }
    if (secchio && g.da - secchio->da < metri_colonna) {
      secchio->a = g.a;
      secchio->minimo = std::min(secchio->minimo, g.minimo);
      secchio->massimo = std::max(secchio->massimo, g.massimo);
      continue;
    }
    if (secchio) uscita.push_back(*secchio);
    secchio = g;
  }
  if (secchio) uscita.push_back(*secchio);
  return uscita;
}

std::vector<oggetto_puntuale> sfoltisci(const std::vector<oggetto_puntuale>& oggetti,
                                        double metri_colonna, double da, double a, int& nascosti) {
  std::vector<oggetto_puntuale> tenuti;
  nascosti = 0;
  for (const oggetto_puntuale& o : oggetti) {
    if (o.metro < da || o.metro > a) continue;
    if (!tenuti.empty() && o.metro - tenuti.back().metro < metri_colonna) {
      ++nascosti;
      continue;
    }
    tenuti.push_back(o);
  }
  return tenuti;
}

const livello_pianta* livello_per(const disposizione& d, double tolleranza) {
  const livello_pianta* scelto = nullptr;
  for (const livello_pianta& l : d.pianta) {
    if (scelto == nullptr || l.tolleranza <= tolleranza) scelto = &l;
  }
  return scelto;
}

std::vector<std::vector<punto_pianta>> pianta_tra(const livello_pianta& l, double da, double a) {
  std::vector<std::vector<punto_pianta>> pezzi;
  for (const auto& t : l.tratti) {
    if (t.empty() || t.back().metro < da || t.front().metro > a) continue;
    auto primo = std::lower_bound(t.begin(), t.end(), da,
                                  [](const punto_pianta& p, double m) { return p.metro < m; });
    auto ultimo = std::upper_bound(t.begin(), t.end(), a,
                                   [](double m, const punto_pianta& p) { return m < p.metro; });
    if (primo != t.begin()) --primo;
    if (ultimo != t.end()) ++ultimo;
    pezzi.emplace_back(primo, ultimo);
  }
  return pezzi;
}

std::optional<punto_pianta> punto_al_metro(const livello_pianta& l, double metro) {
  for (const auto& t : l.tratti) {
    if (t.empty() || metro < t.front().metro || metro > t.back().metro) continue;
    auto dopo = std::lower_bound(t.begin(), t.end(), metro,
                                 [](const punto_pianta& p, double m) { return p.metro < m; });
    if (dopo == t.begin()) return *dopo;
    const punto_pianta& b = *dopo;
    const punto_pianta& p = *(dopo - 1);
    const double f = (metro - p.metro) / std::max(1, b.metro - p.metro);
    return punto_pianta{p.x + (b.x - p.x) * f, p.y + (b.y - p.y) * f,
                        static_cast<int32_t>(std::lround(metro))};
  }
  return std::nullopt;
}

namespace {

struct box {
  double x0, y0, x1, y1;
  bool tocca(const box& r) const { return x0 < r.x1 && r.x0 < x1 && y0 < r.y1 && r.y0 < y1; }
};

// Whether the segment from `p` to `q` passes through the box (clipped as
// Liang and Barsky do: the part of the segment within each side's bound).
bool segmento_tocca(const box& b, std::array<double, 2> p, std::array<double, 2> q) {
  double t0 = 0;
  double t1 = 1;
  const auto limita = [&](double verso, double spazio) {
    if (verso == 0) return spazio > 0;
    const double t = spazio / verso;
    if (verso < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    return t0 < t1;
  };
  const double dx = q[0] - p[0];
  const double dy = q[1] - p[1];
  return limita(-dx, p[0] - b.x0) && limita(dx, b.x1 - p[0]) && limita(-dy, p[1] - b.y0) &&
         limita(dy, b.y1 - p[1]);
}

bool linea_tocca(const box& b, const std::vector<std::array<double, 2>>& linea) {
  for (std::size_t k = 1; k < linea.size(); ++k) {
    if (segmento_tocca(b, linea[k - 1], linea[k])) return true;
  }
  return linea.size() == 1 && segmento_tocca(b, linea[0], linea[0]);
}

}  // namespace

std::vector<std::optional<nome_in_pianta>> posiziona_nomi_pianta(
    const std::vector<std::array<double, 2>>& segni, const std::vector<double>& larghezze,
    std::array<double, 4> riquadro, const ingombri_pianta& ingombri) {
  std::vector<box> occupati;
  occupati.reserve(segni.size() * 2 + ingombri.riquadri.size());
  for (const auto& s : segni) occupati.push_back({s[0] - 4, s[1] - 4, s[0] + 4, s[1] + 4});
  for (const auto& r : ingombri.riquadri) occupati.push_back({r[0], r[1], r[2], r[3]});
  const auto libero = [&](const box& b) {
    return std::none_of(occupati.begin(), occupati.end(),
                        [&](const box& o) { return b.tocca(o); }) &&
           std::none_of(ingombri.linee.begin(), ingombri.linee.end(),
                        [&](const auto& l) { return linea_tocca(b, l); });
  };
  // Near the mark only: a name further off would seem to name another. Beside
  // it first, level with it or just above or below; then above or below it,
  // clear of a signal's tick on a line that runs across.
  using allineamento = nome_in_pianta::allineamento;
  struct posto {
    allineamento ancora;
    double dx, dy;
  };
  constexpr std::array<posto, 12> posti_possibili{{
      {allineamento::inizio, 6, 3},
      {allineamento::fine, -6, 3},
      {allineamento::inizio, 6, -4},
      {allineamento::fine, -6, -4},
      {allineamento::inizio, 6, 12},
      {allineamento::fine, -6, 12},
      {allineamento::inizio, 6, -13},
      {allineamento::fine, -6, -13},
      {allineamento::centro, 0, -9},
      {allineamento::centro, 0, 18},
      {allineamento::centro, 0, -16},
      {allineamento::centro, 0, 25},
  }};
  std::vector<std::optional<nome_in_pianta>> posti(segni.size());
  for (std::size_t k = 0; k < segni.size(); ++k) {
    for (const posto& p : posti_possibili) {
      const double x = segni[k][0] + p.dx;
      const double y = segni[k][1] + p.dy;
      const double x0 = p.ancora == allineamento::inizio ? x
                        : p.ancora == allineamento::fine ? x - larghezze[k]
                                                         : x - larghezze[k] / 2;
      const box b{x0, y - 9, x0 + larghezze[k], y + 2};
      const bool dentro =
          b.x0 >= riquadro[0] && b.x1 <= riquadro[2] && b.y0 >= riquadro[1] && b.y1 <= riquadro[3];
      if (!dentro || !libero(b)) continue;
      posti[k] = nome_in_pianta{x, y, p.ancora, b.x0, b.y0, b.x1, b.y1};
      occupati.push_back(b);
      break;
    }
  }
  return posti;
}

}  // namespace scenario
