#include "tools/disegno/grafico.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ostream>
#include <system_error>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "output/file_compilati.h"
#include "tools/ispezione/ispeziona.h"
#include "tools/ispezione/significato.h"

namespace scenario {
namespace {

// ------------------------------------------------------------------ page
// A4 landscape, four units to the millimetre.

constexpr double kLarghezzaPagina = 1188;
constexpr double kAltezzaPagina = 840;
constexpr double kMargine = 30;
constexpr double kYLegenda = 45;  // the legend's line, under the title
constexpr double kAltoContenuto = 54;
constexpr double kAsse = 784;
constexpr double kXEtichette = 20;
constexpr double kLarghezzaEtichetteFasce = 82;  // the band names left of the profile
constexpr double kPiantaMinima = 110;
constexpr double kPiantaStrettaMassima = 420;  // plan box width beside the profile
constexpr double kMarginePianta = 18;
constexpr double kUnitaColonna = 1;  // the steps keep one run per unit of the page
constexpr double kUnitaSegni = 5;    // point marks at least this far apart

struct fascia {
  double alto = 0;
  double basso = 0;
  double centro() const { return (alto + basso) / 2; }
};

// The bands of the profile, stacked from its top down to the axis; the
// height the page has above the bands goes to the speed, gradient and
// adhesion bands, so that the lanes take the page's height.
struct fasce_profilo {
  fascia nomi, zone, segnali, cartelli, rallentamenti, punti, montagne, velocita, pendenza,
      aderenza;
  double alto = 0;
};

fasce_profilo fasce(double in_piu = 0) {
  fasce_profilo f;
  in_piu = std::max(in_piu, 0.0);
  double y = kAsse;
  auto sopra = [&y](double altezza, double spazio) {
    y -= spazio;
    const fascia b{y - altezza, y};
    y -= altezza;
    return b;
  };
  f.aderenza = sopra(34 + in_piu * 0.2, 8);
  f.pendenza = sopra(72 + in_piu * 0.42, 12);
  f.velocita = sopra(66 + in_piu * 0.38, 10);
  f.montagne = sopra(12, 10);
  f.punti = sopra(12, 4);
  f.rallentamenti = sopra(10 + regole_di(fascia_etichette::rallentamenti).altezza_riga, 4);
  const auto& cartelli = regole_di(fascia_etichette::cartelli);
  f.cartelli = sopra(12 + cartelli.righe * cartelli.altezza_riga, 4);
  const auto& segnali = regole_di(fascia_etichette::segnali);
  f.segnali = sopra(14 + segnali.righe * segnali.altezza_riga, 4);
  f.zone = sopra(12, 4);
  const auto& stazioni = regole_di(fascia_etichette::stazioni);
  f.nomi = sopra(stazioni.righe * stazioni.altezza_riga + 2, 0);
  f.alto = y;
  return f;
}

constexpr std::string_view kStile =
    "text{font-family:'DejaVu Sans',Arial,Helvetica,sans-serif;fill:#222}"
    ".titolo{font-size:17px;font-weight:bold}"
    ".piccolo{font-size:9px;fill:#555}"
    ".avvisi{font-size:9px;fill:#8a4b00}"
    ".fascia{font-size:10px;font-weight:bold;fill:#333}"
    ".scala{font-size:9px;fill:#555;text-anchor:end}"
    ".griglia{stroke:#ddd;stroke-width:0.6}"
    ".griglia-km{stroke:#e6e6e6;stroke-width:0.6}"
    ".guida{stroke:#9aa5b1;stroke-width:0.5}"
    ".riferimento{stroke:#9bb7d4;stroke-width:0.6;stroke-dasharray:3 3}";

// Numbers in the page: one decimal, the same on every machine.
std::string n(double v) {
  if (v == 0.0 || !std::isfinite(v)) v = 0.0;  // no "-0.0", no "nan"
  char testo[64];
  auto [fine, errore] = std::to_chars(testo, testo + sizeof testo, v, std::chars_format::fixed, 1);
  std::string t(testo, errore == std::errc() ? fine : testo);
  if (t == "-0.0") t = "0.0";
  return t;
}

// A whole number as text, for a value that has no fraction worth showing.
std::string intero(double v) { return std::to_string(std::lround(v)); }

std::string colore(std::string_view nome) { return std::string(colore_di(nome)); }

std::string orario_breve(int32_t secondi) {
  std::string t = testo_orario(secondi);
  if (t.size() >= 3 && t.ends_with(":00")) t.resize(t.size() - 3);
  return t;
}

std::string chilometri_testo(double metri) {
  char testo[32];
  std::snprintf(testo, sizeof testo, "%.3f", metri / 1000.0);
  std::string t = testo;
  while (t.ends_with('0')) t.pop_back();
  if (t.ends_with('.')) t.pop_back();
  return t;
}

// ------------------------------------------------------------------ axis

class asse_metri {
 public:
  asse_metri(double metro0, double metro1, double x0, double x1)
      : metro0_(metro0), metro1_(std::max(metro1, metro0 + 1)), x0_(x0), x1_(x1) {}
  double x(double metri) const {
    const double m = std::clamp(metri, metro0_, metro1_);
    return x0_ + (m - metro0_) * (x1_ - x0_) / (metro1_ - metro0_);
  }
  double metro0() const { return metro0_; }
  double metro1() const { return metro1_; }
  double x0() const { return x0_; }
  double x1() const { return x1_; }
  double metri_per_unita() const { return (metro1_ - metro0_) / (x1_ - x0_); }
  bool dentro(double metri) const { return metri >= metro0_ && metri <= metro1_; }

 private:
  double metro0_, metro1_, x0_, x1_;
};

// A round step (1, 2 or 5 times a power of ten) that cuts `totale` into at
// most `parti` pieces.
double passo_tondo(double totale, int parti) {
  for (double potenza = 1e-3;; potenza *= 10) {
    for (double f : {1.0, 2.0, 5.0}) {
      if (totale / (f * potenza) <= parti) return f * potenza;
    }
  }
}

// The largest magnitude of the steps that begin before metre `fine` (the
// cells past the route's end hold no values to scale to), at least `minimo`.
int massimo_di(const std::vector<gradino>& valori, int32_t fine, int minimo) {
  int m = minimo;
  for (const gradino& t : valori) {
    if (t.da < fine) m = std::max({m, std::abs(t.minimo), std::abs(t.massimo)});
  }
  return m;
}

// The largest round length (1, 2 or 5 times a power of ten) not above `x`.
double tondo_sotto(double x) {
  double migliore = 1;
  for (double potenza = 1; potenza <= x; potenza *= 10) {
    for (double f : {1.0, 2.0, 5.0}) {
      if (f * potenza <= x) migliore = f * potenza;
    }
  }
  return migliore;
}

// ------------------------------------------------------------------ page writer

class pagina {
 public:
  void riga(std::string_view t) {
    testo_ += t;
    testo_ += '\n';
  }
  std::string& testo() { return testo_; }

  void linea(double x1, double y1, double x2, double y2, std::string_view stile) {
    riga("<line x1=\"" + n(x1) + "\" y1=\"" + n(y1) + "\" x2=\"" + n(x2) + "\" y2=\"" + n(y2) +
         "\" " + std::string(stile) + "/>");
  }
  void rettangolo(double x, double y, double l, double a, std::string_view stile) {
    riga("<rect x=\"" + n(x) + "\" y=\"" + n(y) + "\" width=\"" + n(std::max(l, 0.8)) +
         "\" height=\"" + n(a) + "\" " + std::string(stile) + "/>");
  }
  void scritta(double x, double y, std::string_view attributi, std::string_view contenuto_xml) {
    riga("<text x=\"" + n(x) + "\" y=\"" + n(y) + "\" " + std::string(attributi) + ">" +
         std::string(contenuto_xml) + "</text>");
  }

 private:
  std::string testo_;
};

// ------------------------------------------------------------------ page geometry

struct riquadro {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  double larghezza() const { return x1 - x0; }
  double altezza() const { return y1 - y0; }
};

// How the plan maps onto its box: one scale for both coordinates, the first
// pointing east (right) and the second north (up).
class proiezione {
 public:
  proiezione(const riquadro& scatola, std::array<double, 4> estensione)
      : scatola_(scatola), estensione_(estensione) {
    const double dx = std::max(estensione[2] - estensione[0], 1.0);
    const double dy = std::max(estensione[3] - estensione[1], 1.0);
    scala_ = std::min((scatola.larghezza() - 2 * kMarginePianta) / dx,
                      (scatola.altezza() - 2 * kMarginePianta) / dy);
    centro_ = {(estensione[0] + estensione[2]) / 2, (estensione[1] + estensione[3]) / 2};
  }
  std::array<double, 2> su_pagina(double x, double y) const {
    return {(scatola_.x0 + scatola_.x1) / 2 + (x - centro_[0]) * scala_,
            (scatola_.y0 + scatola_.y1) / 2 - (y - centro_[1]) * scala_};
  }
  double scala() const { return scala_; }
  double estensione() const {
    return std::max(estensione_[2] - estensione_[0], estensione_[3] - estensione_[1]);
  }

 private:
  riquadro scatola_;
  std::array<double, 4> estensione_;
  double scala_ = 1;
  std::array<double, 2> centro_{};
};

// Where the page puts the plan and the profile: a plan wider than tall gets
// a box over the profile, as wide as its shape asks; a taller one a box
// beside it, as tall as the page.
struct geometria {
  std::optional<riquadro> pianta;
  std::optional<std::array<double, 4>> estensione;  // of the plan's stretch, metres
  double x0_profilo = kMargine + kLarghezzaEtichetteFasce;
  double x1_profilo = kLarghezzaPagina - 28;
  double x_etichette = kXEtichette;
};

std::optional<std::array<double, 4>> estensione_di(const disposizione& d, tratto_metri t) {
  if (d.pianta.empty()) return std::nullopt;
  std::optional<std::array<double, 4>> e;
  for (const auto& pezzo : pianta_tra(d.pianta.front(), t.da, t.a)) {
    for (const punto_pianta& p : pezzo) {
      if (p.metro < t.da - 1 || p.metro > t.a + 1) continue;
      if (!e) e = std::array<double, 4>{p.x, p.y, p.x, p.y};
      (*e)[0] = std::min((*e)[0], p.x);
      (*e)[1] = std::min((*e)[1], p.y);
      (*e)[2] = std::max((*e)[2], p.x);
      (*e)[3] = std::max((*e)[3], p.y);
    }
  }
  return e;
}

geometria geometria_di(const disposizione& d, tratto_metri t, const fasce_profilo& f) {
  geometria g;
  g.estensione = estensione_di(d, t);
  const double larghezza_piena = kLarghezzaPagina - 2 * kMargine;
  const double altezza_sopra = f.alto - kAltoContenuto - 8;
  if (!g.estensione) {
    g.pianta = riquadro{kMargine, kAltoContenuto, kMargine + larghezza_piena,
                        kAltoContenuto + std::min(altezza_sopra, 120.0)};
    return g;
  }
  const auto& e = *g.estensione;
  const double dx = std::max(e[2] - e[0], 1.0);
  const double dy = std::max(e[3] - e[1], 1.0);
  const double forma = dx / dy;
  const double interno_largo = larghezza_piena - 2 * kMarginePianta;
  const double altezza_larga =
      std::clamp(interno_largo / forma + 2 * kMarginePianta, kPiantaMinima, altezza_sopra);
  const double larghezza_larga =
      std::min(larghezza_piena, (altezza_larga - 2 * kMarginePianta) * forma + 2 * kMarginePianta);
  if (larghezza_larga >= altezza_sopra * 1.3 || forma >= 1) {
    g.pianta = riquadro{kMargine, kAltoContenuto, kMargine + std::max(larghezza_larga, 260.0),
                        kAltoContenuto + altezza_larga};
    return g;
  }
  // Taller than wide: beside the profile, the page's height.
  const double altezza = kAsse + 26 - kAltoContenuto;
  const double larghezza = std::clamp((altezza - 2 * kMarginePianta) * forma + 2 * kMarginePianta,
                                      kPiantaMinima + 60, kPiantaStrettaMassima);
  g.pianta = riquadro{kMargine, kAltoContenuto, kMargine + larghezza, kAltoContenuto + altezza};
  g.x_etichette = kMargine + larghezza + 12;
  g.x0_profilo = g.x_etichette + kLarghezzaEtichetteFasce;
  return g;
}

// ------------------------------------------------------------------ plan

std::string percorso_pezzi(const std::vector<std::vector<punto_pianta>>& pezzi,
                           const proiezione& p) {
  std::string d;
  for (const auto& pezzo : pezzi) {
    std::string precedente;
    for (std::size_t k = 0; k < pezzo.size(); ++k) {
      const auto s = p.su_pagina(pezzo[k].x, pezzo[k].y);
      const std::string xy = n(s[0]) + " " + n(s[1]);
      if (k > 0 && xy == precedente) continue;
      d += (k == 0 ? "M" : "L") + xy;
      precedente = xy;
    }
  }
  return d;
}

// The plan's line between two metres at the page's level of detail.
std::vector<std::vector<punto_pianta>> pezzi_pianta(const disposizione& d, const proiezione& p,
                                                    double da, double a) {
  const livello_pianta* l = livello_per(d, 0.5 / p.scala());
  if (l == nullptr || a < da) return {};
  auto pezzi = pianta_tra(*l, da, a);
  // Cut the ends at the metres asked for.
  for (auto& pezzo : pezzi) {
    if (pezzo.empty()) continue;
    if (pezzo.front().metro < da) {
      if (auto q = punto_al_metro(*l, da)) pezzo.front() = *q;
    }
    if (pezzo.back().metro > a) {
      if (auto q = punto_al_metro(*l, a)) pezzo.back() = *q;
    }
  }
  return pezzi;
}

std::string tratto_pianta(const disposizione& d, const proiezione& p, double da, double a) {
  return percorso_pezzi(pezzi_pianta(d, p, da, a), p);
}

// The same line as points of the page, for what must keep clear of it.
std::vector<std::vector<std::array<double, 2>>> linee_pianta(const disposizione& d,
                                                             const proiezione& p, double da,
                                                             double a) {
  std::vector<std::vector<std::array<double, 2>>> linee;
  for (const auto& pezzo : pezzi_pianta(d, p, da, a)) {
    auto& l = linee.emplace_back();
    l.reserve(pezzo.size());
    for (const punto_pianta& q : pezzo) l.push_back(p.su_pagina(q.x, q.y));
  }
  return linee;
}

std::optional<std::array<double, 2>> al_metro(const disposizione& d, const proiezione& p,
                                              double metro) {
  if (d.pianta.empty()) return std::nullopt;
  const auto q = punto_al_metro(d.pianta.front(), metro);
  if (!q) return std::nullopt;
  return p.su_pagina(q->x, q->y);
}

// The heading at a metre, as a unit vector on the page.
std::optional<std::array<double, 2>> direzione(const disposizione& d, const proiezione& p,
                                               double metro) {
  const auto a = al_metro(d, p, metro - 10);
  const auto b = al_metro(d, p, metro + 10);
  if (!a || !b) return std::nullopt;
  const double lx = (*b)[0] - (*a)[0];
  const double ly = (*b)[1] - (*a)[1];
  const double l = std::hypot(lx, ly);
  if (l == 0) return std::nullopt;
  return std::array<double, 2>{lx / l, ly / l};
}

// The width of the box's writing a character: generous, as for labels.
constexpr double kCarattereFascia = 6.6;
constexpr double kCaratterePiccolo = 5.6;

std::string ingombro(const std::array<double, 4>& b) {
  return "data-ingombro=\"" + n(b[0]) + " " + n(b[1]) + " " + n(b[2]) + " " + n(b[3]) + "\"";
}

// Draws the compass and the scale bar; returns the boxes they take.
std::vector<std::array<double, 4>> disegna_bussola_e_scala(pagina& g, const riquadro& r,
                                                           const proiezione& p) {
  const double x = r.x1 - 16;
  const double y = r.y0 + 8;
  const std::array<double, 4> bussola{x - 8, y - 1, x + 8, y + 33};
  g.riga("<g id=\"nord\" " + ingombro(bussola) + "><path d=\"M" + n(x) + " " + n(y) + " L" +
         n(x - 6) + " " + n(y + 18) + " L" + n(x) + " " + n(y + 13) + " L" + n(x + 6) + " " +
         n(y + 18) + " Z\" fill=\"#333\"/>");
  g.scritta(x, y + 30, "text-anchor=\"middle\" class=\"fascia\"", "N");
  g.riga("</g>");
  // A quarter of the plan, or less in a narrow box: the bar and its words
  // stay inside it.
  const double spazio = (r.larghezza() - 16 - 8 * kCaratterePiccolo) / p.scala();
  const double metri = tondo_sotto(std::max(std::min(p.estensione() / 4, spazio), 1.0));
  const double lunga = metri * p.scala();
  const double x0 = r.x0 + 8;
  const double y0 = r.y1 - 8;
  const std::string etichetta = metri >= 1000 ? intero(metri / 1000) + " km" : intero(metri) + " m";
  const std::array<double, 4> scala{
      x0 - 1, y0 - 9, x0 + lunga + 4 + larghezza_testo(etichetta, kCaratterePiccolo), y0 + 4};
  g.riga("<g id=\"scala-pianta\" data-metri=\"" + intero(metri) + "\" " + ingombro(scala) + ">");
  g.linea(x0, y0, x0 + lunga, y0, "stroke=\"#333\" stroke-width=\"1.5\"");
  g.linea(x0, y0 - 4, x0, y0 + 2, "stroke=\"#333\"");
  g.linea(x0 + lunga, y0 - 4, x0 + lunga, y0 + 2, "stroke=\"#333\"");
  g.scritta(x0 + lunga + 4, y0 + 3, "class=\"piccolo\"", etichetta);
  g.riga("</g>");
  return {bussola, scala};
}

const char* ancora_svg(nome_in_pianta::allineamento a) {
  switch (a) {
    case nome_in_pianta::allineamento::inizio:
      return "";
    case nome_in_pianta::allineamento::fine:
      return " text-anchor=\"end\"";
    case nome_in_pianta::allineamento::centro:
      return " text-anchor=\"middle\"";
  }
  return "";
}

int disegna_stazioni_pianta(pagina& g, const disposizione& d, const proiezione& p,
                            const riquadro& r, tratto_metri t, const ingombri_pianta& ingombri) {
  int nascosti = 0;
  std::vector<std::size_t> quali;
  std::vector<std::array<double, 2>> segni;
  std::vector<double> larghezze;
  const double carattere = regole_di(fascia_etichette::stazioni).carattere;
  for (std::size_t k = 0; k < d.stazioni.size(); ++k) {
    const auto& s = d.stazioni[k];
    if (s.posizione < t.da || s.posizione > t.a) continue;
    if (const auto q = al_metro(d, p, std::max(0, s.posizione))) {
      quali.push_back(k);
      segni.push_back(*q);
      larghezze.push_back(larghezza_testo(s.nome, carattere));
    }
  }
  const auto posti = posiziona_nomi_pianta(segni, larghezze, {r.x0, r.y0, r.x1, r.y1}, ingombri);
  for (std::size_t j = 0; j < quali.size(); ++j) {
    const auto& s = d.stazioni[quali[j]];
    g.riga("<g class=\"pianta-stazione\" data-riga=\"" + std::to_string(s.riga) +
           "\" data-nome=\"" + testo_xml(s.nome) + "\" data-posizione=\"" +
           std::to_string(s.posizione) + "\">");
    g.riga("<circle cx=\"" + n(segni[j][0]) + "\" cy=\"" + n(segni[j][1]) +
           "\" r=\"3.5\" fill=\"#fff\" stroke=\"" + colore("stazione") +
           "\" stroke-width=\"1.5\"/>");
    if (const auto& posto = posti[j]) {
      g.riga("<text class=\"etichetta-pianta\" x=\"" + n(posto->x) + "\" y=\"" + n(posto->y) +
             "\" font-size=\"10\"" + ancora_svg(posto->ancora) + " data-x0=\"" + n(posto->x0) +
             "\" data-y0=\"" + n(posto->y0) + "\" data-x1=\"" + n(posto->x1) + "\" data-y1=\"" +
             n(posto->y1) + "\">" + testo_xml(s.nome) + "</text>");
    } else {
      ++nascosti;
    }
    g.riga("</g>");
  }
  return nascosti;
}

// Draws the signals' ticks across the line; adds them to `ingombri`.
void disegna_segnali_pianta(pagina& g, const disposizione& d, const proiezione& p, tratto_metri t,
                            ingombri_pianta& ingombri) {
  int nascosti = 0;
  const double colonna = kUnitaSegni / p.scala();
  for (const oggetto_puntuale& s : sfoltisci(d.segnali, colonna, t.da, t.a, nascosti)) {
    const auto q = al_metro(d, p, s.metro);
    const auto v = direzione(d, p, s.metro);
    if (!q || !v) continue;
    const std::array<double, 2> normale{-(*v)[1] * 5, (*v)[0] * 5};
    g.riga("<g class=\"pianta-segnale\" data-posizione=\"" + std::to_string(s.metro) + "\">");
    const std::array<double, 2> da{(*q)[0] - normale[0], (*q)[1] - normale[1]};
    const std::array<double, 2> a{(*q)[0] + normale[0], (*q)[1] + normale[1]};
    g.linea(da[0], da[1], a[0], a[1], "stroke=\"" + colore("segnale") + "\" stroke-width=\"1.4\"");
    ingombri.linee.push_back({da, a});
    g.riga("</g>");
  }
}

// Draws the end-of-route bar and its word; adds what they take to `ingombri`.
void disegna_fine_pianta(pagina& g, const disposizione& d, const proiezione& p, const riquadro& r,
                         tratto_metri t, ingombri_pianta& ingombri) {
  if (d.lunghezza <= 0 || d.lunghezza < t.da || d.lunghezza > t.a) return;
  const auto q = al_metro(d, p, d.lunghezza);
  const auto v = direzione(d, p, d.lunghezza);
  if (!q || !v) return;
  const std::array<double, 2> normale{-(*v)[1] * 9, (*v)[0] * 9};
  const std::array<double, 2> da{(*q)[0] - normale[0], (*q)[1] - normale[1]};
  const std::array<double, 2> a{(*q)[0] + normale[0], (*q)[1] + normale[1]};
  // The word stands on the side of the box with more room, clear of the compass.
  const bool a_sinistra = (*q)[0] > (r.x0 + r.x1) / 2;
  const double x = (*q)[0] + (a_sinistra ? -12 : 12);
  const double y = (*q)[1] + 3;
  const double larga = larghezza_testo("fine", kCaratterePiccolo);
  const std::array<double, 4> parola{a_sinistra ? x - larga : x, y - 8, a_sinistra ? x : x + larga,
                                     y + 2};
  g.riga("<g id=\"fine-pianta\" data-posizione=\"" + std::to_string(d.lunghezza) + "\" " +
         ingombro(parola) + ">");
  g.linea(da[0], da[1], a[0], a[1], "stroke=\"" + colore("fine") + "\" stroke-width=\"3\"");
  g.scritta(x, y,
            std::string(a_sinistra ? "text-anchor=\"end\" " : "") +
                "class=\"piccolo\" style=\"fill:" + colore("fine") + "\"",
            "fine");
  g.riga("</g>");
  ingombri.riquadri.push_back(parola);
  ingombri.linee.push_back({da, a});
}

// Returns how many station names found no room on the plan.
int disegna_pianta(pagina& g, const disposizione& d, const geometria& geo, tratto_metri t) {
  const riquadro& r = *geo.pianta;
  g.riga("<g id=\"pianta\" data-x0=\"" + n(r.x0) + "\" data-y0=\"" + n(r.y0) + "\" data-x1=\"" +
         n(r.x1) + "\" data-y1=\"" + n(r.y1) + "\">");
  g.rettangolo(r.x0, r.y0, r.larghezza(), r.altezza(), "fill=\"#fbfbf8\" stroke=\"#ccc\"");
  const std::string_view titolo = "Pianta (nord in alto)";
  const std::array<double, 4> riquadro_titolo{
      r.x0 + 5, r.y0 + 4, r.x0 + 7 + larghezza_testo(titolo, kCarattereFascia), r.y0 + 17};
  g.scritta(r.x0 + 6, r.y0 + 14, "class=\"fascia\" " + ingombro(riquadro_titolo), titolo);
  if (!geo.estensione) {
    g.scritta((r.x0 + r.x1) / 2, (r.y0 + r.y1) / 2, "text-anchor=\"middle\"",
              "pianta non disponibile: manca il file del tracciato o non ha punti");
    g.riga("</g>");
    return 0;
  }
  const proiezione p(r, *geo.estensione);
  for (const auto& s : d.stazioni) {
    if (s.fine < t.da || s.inizio > t.a) continue;
    g.riga("<path class=\"pianta-zona\" d=\"" +
           tratto_pianta(d, p, std::max<double>(s.inizio, t.da), std::min<double>(s.fine, t.a)) +
           "\" fill=\"none\" stroke=\"" + colore("zona") +
           "\" stroke-width=\"7\" stroke-linecap=\"butt\"/>");
  }
  for (const auto& s : d.rallentamenti) {
    if (s.fine < t.da || s.inizio > t.a) continue;
    g.riga("<path class=\"pianta-rallentamento\" d=\"" +
           tratto_pianta(d, p, std::max<double>(s.inizio, t.da), std::min<double>(s.fine, t.a)) +
           "\" fill=\"none\" stroke=\"" + colore("rallentamento") +
           "\" stroke-opacity=\"0.6\" stroke-width=\"5\"/>");
  }
  const double fine = std::min<double>(d.fine_percorso(), t.a);
  g.riga("<path id=\"binario\" d=\"" + tratto_pianta(d, p, t.da, fine) +
         "\" fill=\"none\" stroke=\"" + colore("binario") + "\" stroke-width=\"1.6\"/>");
  if (fine < t.a) {
    g.riga("<path id=\"binario-oltre\" d=\"" + tratto_pianta(d, p, std::max(fine, t.da), t.a) +
           "\" fill=\"none\" stroke=\"" + colore("oltre") +
           "\" stroke-width=\"1\" stroke-dasharray=\"4 3\"/>");
  }
  // Names keep clear of the box's writing, of the line, drawn or dashed, and
  // of the signals across it.
  ingombri_pianta ingombri;
  ingombri.riquadri = disegna_bussola_e_scala(g, r, p);
  ingombri.riquadri.push_back(riquadro_titolo);
  ingombri.linee = linee_pianta(d, p, t.da, t.a);
  disegna_segnali_pianta(g, d, p, t, ingombri);
  disegna_fine_pianta(g, d, p, r, t, ingombri);
  const int nascosti = disegna_stazioni_pianta(g, d, p, r, t, ingombri);
  g.riga("</g>");
  return nascosti;
}

// ------------------------------------------------------------------ profile

struct contesto_profilo {
  const disposizione& d;
  const asse_metri& a;
  const fasce_profilo& f;
  const geometria& geo;
  const std::vector<int>& righe;  // of every label
  std::vector<std::string>& avvisi;
};

void etichetta_fascia(pagina& g, const contesto_profilo& c, const fascia& f,
                      std::string_view testo_xml) {
  g.scritta(c.geo.x_etichette, std::min(f.alto + 11, f.basso), "class=\"fascia\"", testo_xml);
}

// Baseline of row 0 of a band's labels, and where their leaders end.
struct base_etichette {
  double riga0 = 0;
  double bersaglio = 0;
};

base_etichette base_di(fascia_etichette e, const fasce_profilo& f) {
  switch (e) {
    case fascia_etichette::stazioni:
      return {f.nomi.basso - 3, f.zone.alto};
    case fascia_etichette::segnali:
      return {f.segnali.basso - 16, f.segnali.basso - 14};
    case fascia_etichette::cartelli:
      return {f.cartelli.basso - 14, f.cartelli.basso - 12};
    case fascia_etichette::rallentamenti:
      return {f.rallentamenti.basso - 12, f.rallentamenti.basso - 10};
    case fascia_etichette::montagne:
      return {f.montagne.basso - 3, f.montagne.basso - 3};
  }
  return {};
}

void disegna_etichette(pagina& g, const contesto_profilo& c) {
  // Every leader first: the texts' halos then cover those passing behind them.
  g.riga("<g id=\"guide\">");
  for (std::size_t k = 0; k < c.d.etichette.size(); ++k) {
    const etichetta& e = c.d.etichette[k];
    if (c.righe[k] < 0 || e.fascia == fascia_etichette::montagne) continue;
    const base_etichette b = base_di(e.fascia, c.f);
    const double x = c.a.x(e.metro);
    const double y = b.riga0 - c.righe[k] * regole_di(e.fascia).altezza_riga;
    if (b.bersaglio > y + 2) g.linea(x, y + 2, x, b.bersaglio, "class=\"guida\"");
  }
  g.riga("</g>");
  g.riga("<g id=\"etichette\">");
  for (std::size_t k = 0; k < c.d.etichette.size(); ++k) {
    if (c.righe[k] < 0) continue;
    const etichetta& e = c.d.etichette[k];
    const regole_fascia& r = regole_di(e.fascia);
    const base_etichette b = base_di(e.fascia, c.f);
    const double x = c.a.x(e.metro);
    const double y = b.riga0 - c.righe[k] * r.altezza_riga;
    const double alto = y - r.dimensione_testo;
    g.riga("<g class=\"etichetta\" data-fascia=\"" + std::string(r.nome) + "\" data-oggetto=\"" +
           std::to_string(e.oggetto) + "\" data-metro=\"" + n(e.metro) + "\" data-riga=\"" +
           std::to_string(c.righe[k]) + "\" data-x0=\"" + n(x) + "\" data-x1=\"" +
           n(x + e.larghezza) + "\" data-y0=\"" + n(alto) + "\" data-y1=\"" + n(y + 2) + "\">");
    // A halo keeps the text clear of the leaders that pass behind it.
    // The texts keep their spaces, as the table holds them.
    std::string attributi = "xml:space=\"preserve\" font-size=\"" + n(r.dimensione_testo) + "\"";
    attributi += e.fascia == fascia_etichette::montagne
                     ? " style=\"fill:#fff\""
                     : " stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\"";
    if (e.fascia == fascia_etichette::stazioni) {
      const auto spazio =
          e.testo.find(' ', c.d.stazioni[static_cast<std::size_t>(e.oggetto)].nome.size());
      const std::string nome = e.testo.substr(0, spazio);
      const std::string resto = spazio == std::string::npos ? "" : e.testo.substr(spazio);
      g.scritta(x + 1, y, attributi,
                "<tspan font-weight=\"bold\">" + testo_xml(nome) + "</tspan>" + testo_xml(resto));
    } else {
      g.scritta(x + 1, y, attributi, testo_xml(e.testo));
    }
    g.riga("</g>");
  }
  g.riga("</g>");
}

void disegna_asse(pagina& g, const contesto_profilo& c) {
  const asse_metri& a = c.a;
  const double chilometri = (a.metro1() - a.metro0()) / 1000;
  const double passo_etichette = passo_tondo(chilometri, 14);
  const double passo_tacche = passo_etichette / 5;
  g.riga("<g id=\"asse\">");
  g.linea(a.x0(), kAsse, a.x1(), kAsse, "stroke=\"#333\"");
  const double primo = std::ceil(a.metro0() / 1000 / passo_tacche - 1e-9);
  for (double k = primo; k * passo_tacche * 1000 <= a.metro1() + 0.5; ++k) {
    const double km = k * passo_tacche;
    const double x = a.x(km * 1000);
    const double resto = std::fmod(km + 1e-9, passo_etichette);
    const bool grande = resto < 1e-6;
    g.linea(x, kAsse, x, kAsse + (grande ? 6 : 3), "stroke=\"#333\"");
    if (!grande) continue;
    g.linea(x, c.f.zone.alto, x, c.f.aderenza.basso, "class=\"griglia-km\"");
    std::string testo = n(km);
    if (testo.ends_with(".0")) testo.resize(testo.size() - 2);
    g.scritta(x, kAsse + 15, "text-anchor=\"middle\" class=\"piccolo\"", testo);
  }
  g.scritta(a.x0() - 6, kAsse + 15, "text-anchor=\"end\" class=\"piccolo\"", "km");
  g.riga("</g>");
}

// The end of the route across the bands, and the strip beyond it in grey.
void disegna_fine(pagina& g, const contesto_profilo& c) {
  if (c.d.lunghezza <= 0 || c.d.lunghezza > c.a.metro1()) return;
  const double x = c.a.x(c.d.lunghezza);
  g.riga("<g id=\"fine-percorso\" data-posizione=\"" + std::to_string(c.d.lunghezza) + "\">");
  if (x < c.a.x1()) {
    g.rettangolo(x, c.f.zone.alto, c.a.x1() - x, kAsse - c.f.zone.alto,
                 "fill=\"#000\" fill-opacity=\"0.06\"");
  }
  if (c.d.lunghezza >= c.a.metro0()) {
    g.linea(x, c.f.zone.alto - 4, x, kAsse, "stroke=\"" + colore("fine") + "\" stroke-width=\"2\"");
    g.scritta(x - 3, c.f.aderenza.basso - 3,
              "text-anchor=\"end\" class=\"piccolo\" style=\"fill:" + colore("fine") + "\"",
              "fine percorso " + chilometri_testo(c.d.lunghezza) + " km");
  }
  g.riga("</g>");
}

void disegna_stazioni(pagina& g, const contesto_profilo& c) {
  etichetta_fascia(g, c, c.f.zone, "Stazioni");
  // A station whose name the scale leaves out gets no line across the bands.
  std::vector<bool> con_nome(c.d.stazioni.size(), false);
  for (std::size_t k = 0; k < c.d.etichette.size(); ++k) {
    const etichetta& e = c.d.etichette[k];
    if (e.fascia == fascia_etichette::stazioni && c.righe[k] >= 0) {
      con_nome[static_cast<std::size_t>(e.oggetto)] = true;
    }
  }
  for (std::size_t j = 0; j < c.d.stazioni.size(); ++j) {
    const auto& s = c.d.stazioni[j];
    if (s.fine < c.a.metro0() || s.inizio > c.a.metro1()) continue;
    const double x = c.a.x(s.posizione);
    const double x0 = c.a.x(s.inizio);
    const double x1 = c.a.x(s.fine);
    const std::string orario = s.orario != 0 ? orario_breve(s.orario) : "";
    g.riga("<g class=\"stazione\" data-riga=\"" + std::to_string(s.riga) + "\" data-nome=\"" +
           testo_xml(s.nome) + "\" data-posizione=\"" + std::to_string(s.posizione) +
           "\" data-inizio=\"" + std::to_string(s.inizio) + "\" data-fine=\"" +
           std::to_string(s.fine) + "\" data-orario=\"" + std::to_string(s.orario) + "\">");
    g.riga("<title>" + testo_xml(s.nome) + ": " + std::to_string(s.inizio) + ".." +
           std::to_string(s.fine) + " m" + (orario.empty() ? "" : ", " + orario) + "</title>");
    if (c.a.dentro(s.posizione) && con_nome[j]) {
      g.linea(x, c.f.zone.alto, x, c.f.aderenza.basso, "class=\"riferimento\"");
    }
    g.rettangolo(x0, c.f.zone.alto, x1 - x0, c.f.zone.basso - c.f.zone.alto,
                 "fill=\"" + colore("zona") + "\" stroke=\"" + colore("stazione") +
                     "\" stroke-width=\"0.8\"");
    if (c.a.dentro(s.posizione)) {
      g.linea(x, c.f.zone.alto - 2, x, c.f.zone.basso + 2,
              "stroke=\"" + colore("stazione") + "\" stroke-width=\"1.6\"");
    }
    g.riga("</g>");
  }
}

// Marks of point objects, at most one per few units: the rest are counted.
std::vector<oggetto_puntuale> segni_visibili(const contesto_profilo& c,
                                             const std::vector<oggetto_puntuale>& oggetti,
                                             std::string_view nome) {
  int nascosti = 0;
  auto tenuti =
      sfoltisci(oggetti, kUnitaSegni * c.a.metri_per_unita(), c.a.metro0(), c.a.metro1(), nascosti);
  if (nascosti > 0) c.avvisi.push_back(conteggio(nascosti, nome));
  return tenuti;
}

void disegna_segnali(pagina& g, const contesto_profilo& c) {
  etichetta_fascia(g, c, c.f.segnali, "Segnali");
  const double y = c.f.segnali.basso;
  for (const oggetto_puntuale& s : segni_visibili(c, c.d.segnali, "signals")) {
    const double x = c.a.x(s.metro);
    g.riga("<g class=\"segnale\" data-cella=\"" + std::to_string(s.cella) + "\" data-posizione=\"" +
           std::to_string(s.metro) + "\"><title>segnale, cella " + std::to_string(s.cella) + " (" +
           std::to_string(s.metro) + " m)</title>");
    g.linea(x, y, x, y - 8, "stroke=\"#333\" stroke-width=\"1\"");
    g.riga("<circle cx=\"" + n(x) + "\" cy=\"" + n(y - 10) + "\" r=\"3\" fill=\"" +
           colore("segnale") + "\" stroke=\"#333\" stroke-width=\"0.6\"/>");
    g.riga("</g>");
  }
}

void disegna_cartelli(pagina& g, const contesto_profilo& c) {
  etichetta_fascia(g, c, c.f.cartelli, "Cartelli");
  const double y = c.f.cartelli.basso;
  for (const oggetto_puntuale& s : segni_visibili(c, c.d.cartelli, "boards")) {
    const double x = c.a.x(s.metro);
    g.riga("<g class=\"cartello\" data-cella=\"" + std::to_string(s.cella) +
           "\" data-posizione=\"" + std::to_string(s.metro) + "\">");
    g.rettangolo(x - 3, y - 10, 6, 6,
                 "fill=\"" + colore("cartello") + "\" stroke=\"#333\" stroke-width=\"0.5\"");
    g.riga("</g>");
  }
  for (const oggetto_puntuale& s : segni_visibili(c, c.d.indicatori, "speed boards")) {
    const double x = c.a.x(s.metro);
    g.riga("<g class=\"indicatore\" data-cella=\"" + std::to_string(s.cella) +
           "\" data-posizione=\"" + std::to_string(s.metro) + "\"><circle cx=\"" + n(x) +
           "\" cy=\"" + n(y - 6) + "\" r=\"3.5\" fill=\"#fff\" stroke=\"" + colore("indicatore") +
           "\" stroke-width=\"1.4\"/></g>");
  }
}

void disegna_rallentamenti(pagina& g, const contesto_profilo& c) {
  etichetta_fascia(g, c, c.f.rallentamenti, "Rallentamenti");
  const double y = c.f.rallentamenti.basso;
  for (const oggetto_puntuale& s : segni_visibili(c, c.d.avvisi, "slowdown warnings")) {
    const double x = c.a.x(s.metro);
    g.riga("<g class=\"avviso-rallentamento\" data-cella=\"" + std::to_string(s.cella) +
           "\" data-posizione=\"" + std::to_string(s.metro) + "\"><path d=\"M" + n(x) + " " +
           n(y - 10) + " L" + n(x - 4.5) + " " + n(y - 1) + " L" + n(x + 4.5) + " " + n(y - 1) +
           " Z\" fill=\"" + colore("avviso") + "\" stroke=\"#333\" stroke-width=\"0.6\"/></g>");
  }
  for (const auto& r : c.d.rallentamenti) {
    if (r.fine < c.a.metro0() || r.inizio > c.a.metro1()) continue;
    const double x0 = c.a.x(r.inizio);
    const double x1 = c.a.x(r.fine);
    g.riga(
        "<g class=\"rallentamento\" data-inizio=\"" + std::to_string(r.inizio) + "\" data-fine=\"" +
        std::to_string(r.fine) + "\" data-velocita=\"" + std::to_string(r.velocita) + "\"" +
        (r.cella_avviso ? " data-avviso=\"" + std::to_string(metri_oggetto(*r.cella_avviso)) + "\""
                        : std::string()) +
        "><title>rallentamento " + std::to_string(r.velocita) + " km/h, " +
        std::to_string(r.inizio) + ".." + std::to_string(r.fine) + " m</title>");
    g.rettangolo(x0, y - 8, x1 - x0, 7,
                 "fill=\"" + colore("rallentamento") + "\" stroke=\"" +
                     colore("bordo_rallentamento") + "\" stroke-width=\"0.6\"");
    g.riga("</g>");
  }
}

void disegna_punti_codice(pagina& g, const contesto_profilo& c) {
  etichetta_fascia(g, c, c.f.punti, "Punti codice");
  const double y = c.f.punti.centro();
  for (const oggetto_puntuale& s : segni_visibili(c, c.d.punti_codice, "code points")) {
    const double x = c.a.x(s.metro);
    g.riga("<g class=\"punto-codice\" data-cella=\"" + std::to_string(s.cella) +
           "\" data-posizione=\"" + std::to_string(s.metro) + "\" data-codice=\"" +
           std::to_string(s.dato1) + "\"><title>punto codice " + std::to_string(s.dato1) +
           ", cella " + std::to_string(s.cella) + "</title><path d=\"M" + n(x) + " " + n(y - 5) +
           " L" + n(x + 4) + " " + n(y) + " L" + n(x) + " " + n(y + 5) + " L" + n(x - 4) + " " +
           n(y) + " Z\" fill=\"" + colore("punto_codice") +
           "\" stroke=\"#1b5e3a\" stroke-width=\"0.5\"/></g>");
  }
}

void disegna_montagne(pagina& g, const contesto_profilo& c) {
  etichetta_fascia(g, c, c.f.montagne, "Montagna");
  for (const gradino& t : c.d.montagne) {
    if (t.a < c.a.metro0() || t.da > c.a.metro1()) continue;
    const double x0 = c.a.x(t.da);
    const double x1 = c.a.x(t.a);
    g.riga("<g class=\"montagna\" data-inizio=\"" + std::to_string(t.da) + "\" data-fine=\"" +
           std::to_string(t.a) + "\" data-tipo=\"" + std::to_string(t.minimo) +
           "\"><title>montagna tipo " + std::to_string(t.minimo) + "</title>");
    g.rettangolo(x0, c.f.montagne.alto + 1, x1 - x0, c.f.montagne.basso - c.f.montagne.alto - 2,
                 "fill=\"" + colore("montagna") + "\" stroke=\"#6d5230\" stroke-width=\"0.5\"");
    g.riga("</g>");
  }
}

// A step line of one cell value along the axis, in a band scaled from
// `minimo` (bottom) to `massimo` (top), with grid lines every `passo`. Runs
// too short for the scale come merged, drawn as the span of their values.
void disegna_curva(pagina& g, const contesto_profilo& c, const fascia& f, std::string_view id,
                   std::string_view nome_colore, const std::vector<gradino>& valori,
                   const scala_valori& scala) {
  const double minimo = scala.minimo;
  const double massimo = scala.massimo;
  const double passo = scala.passo;
  auto y = [&](double v) {
    return f.basso -
           (std::clamp(v, minimo, massimo) - minimo) * (f.basso - f.alto) / (massimo - minimo);
  };
  const std::string tinta = colore(nome_colore);
  const auto gradini =
      sfoltisci(valori, kUnitaColonna * c.a.metri_per_unita(), c.a.metro0(), c.a.metro1());
  g.riga("<g id=\"" + std::string(id) + "\" data-minimo=\"" + n(minimo) + "\" data-massimo=\"" +
         n(massimo) + "\" data-gradini=\"" + std::to_string(gradini.size()) + "\">");
  for (double v = std::ceil(minimo / passo) * passo; v <= massimo + 1e-9; v += passo) {
    g.linea(c.a.x0(), y(v), c.a.x1(), y(v),
            v == 0 && minimo < 0 ? "stroke=\"#999\" stroke-width=\"0.8\"" : "class=\"griglia\"");
    g.scritta(c.a.x0() - 4, y(v) + 3, "class=\"scala\"", intero(v));
  }
  std::string linea;
  std::string fasce;
  for (const gradino& t : gradini) {
    const double x0 = c.a.x(t.da);
    const double x1 = c.a.x(t.a);
    if (t.minimo == t.massimo) {
      linea +=
          (linea.empty() ? "M" + n(x0) + " " + n(y(t.minimo)) : "V" + n(y(t.minimo))) + "H" + n(x1);
    } else {
      fasce += "M" + n(x0) + " " + n(y(t.massimo)) + "H" + n(x1) + "V" + n(y(t.minimo)) + "H" +
               n(x0) + "Z";
      linea +=
          (linea.empty() ? "M" + n(x0) + " " + n(y(t.minimo)) : "V" + n(y(t.minimo))) + "H" + n(x1);
    }
  }
  if (!fasce.empty()) {
    g.riga("<path d=\"" + fasce + "\" fill=\"" + tinta + "\" fill-opacity=\"0.35\" stroke=\"" +
           tinta + "\" stroke-width=\"0.4\"/>");
  }
  g.riga("<path d=\"" + linea + "\" fill=\"none\" stroke=\"" + tinta + "\" stroke-width=\"1.3\"/>");
  g.riga("</g>");
}

void disegna_curve(pagina& g, const contesto_profilo& c) {
  const fasce_profilo& f = c.f;
  const auto scale = scale_curve(c.d);
  etichetta_fascia(g, c, f.velocita, "Velocit&#224;");
  g.scritta(c.geo.x_etichette, f.velocita.alto + 22, "class=\"piccolo\"", "limite, km/h");
  disegna_curva(g, c, f.velocita, "velocita", "velocita", c.d.velocita, scale[0]);
  etichetta_fascia(g, c, f.pendenza, "Pendenza");
  g.scritta(c.geo.x_etichette, f.pendenza.alto + 22, "class=\"piccolo\"", "per mille");
  disegna_curva(g, c, f.pendenza, "pendenza", "pendenza", c.d.pendenza, scale[1]);
  etichetta_fascia(g, c, f.aderenza, "Aderenza");
  g.scritta(c.geo.x_etichette, f.aderenza.alto + 22, "class=\"piccolo\"", "per cento");
  disegna_curva(g, c, f.aderenza, "aderenza", "aderenza", c.d.aderenza, scale[2]);
}

// On an overview, where each page's stretch begins and ends.
void disegna_pagine(pagina& g, const contesto_profilo& c, const std::vector<tratto_metri>& pagine) {
  if (pagine.empty()) return;
  g.riga("<g id=\"pagine\">");
  for (std::size_t k = 0; k < pagine.size(); ++k) {
    const double x0 = c.a.x(pagine[k].da);
    const double x1 = c.a.x(pagine[k].a);
    const double y = kAsse + 19;
    g.riga("<g class=\"pagina\" data-numero=\"" + std::to_string(k + 1) + "\" data-inizio=\"" +
           n(pagine[k].da) + "\" data-fine=\"" + n(pagine[k].a) + "\">");
    g.linea(x0 + 1, y, x1 - 1, y, "stroke=\"#777\" stroke-width=\"0.8\"");
    g.linea(x0 + 1, y - 3, x0 + 1, y + 1, "stroke=\"#777\" stroke-width=\"0.8\"");
    g.scritta((x0 + x1) / 2, y + 9, "text-anchor=\"middle\" class=\"piccolo\"",
              "p. " + std::to_string(k + 1));
    g.riga("</g>");
  }
  g.riga("</g>");
}

void disegna_profilo(pagina& g, const contesto_profilo& c,
                     const std::vector<tratto_metri>& pagine) {
  const asse_metri& a = c.a;
  g.riga("<g id=\"profilo\" data-metro-iniziale=\"" + n(a.metro0()) + "\" data-metro-finale=\"" +
         n(a.metro1()) + "\" data-x-iniziale=\"" + n(a.x0()) + "\" data-x-finale=\"" + n(a.x1()) +
         "\" data-y-alto=\"" + n(c.f.alto) + "\">");
  disegna_asse(g, c);
  disegna_fine(g, c);
  disegna_curve(g, c);
  disegna_montagne(g, c);
  disegna_punti_codice(g, c);
  disegna_rallentamenti(g, c);
  disegna_cartelli(g, c);
  disegna_segnali(g, c);
  disegna_stazioni(g, c);
  disegna_etichette(g, c);
  disegna_pagine(g, c, pagine);
  g.riga("</g>");
}

// What the scale leaves out, said at the foot of the page: labels not shown
// and marks merged into their neighbours, on as many lines as it takes.
void disegna_avvisi(pagina& g, const disposizione& d, const std::vector<int>& righe,
                    const asse_metri& a, const std::vector<std::string>& fusi,
                    int nomi_pianta_nascosti) {
  std::vector<std::string> frasi;
  const auto nascoste = etichette_nascoste(d, righe, a.metro0(), a.metro1());
  for (fascia_etichette f : kFasceEtichette) {
    if (auto t = avviso_nascoste(f, nascoste[static_cast<std::size_t>(f)])) frasi.push_back(*t);
  }
  if (nomi_pianta_nascosti > 0) {
    frasi.push_back(conteggio(nomi_pianta_nascosti, "station names") +
                    " not shown on the plan at this scale");
  }
  if (!fusi.empty()) {
    std::string t;
    for (const std::string& f : fusi) t += (t.empty() ? "" : ", ") + f;
    frasi.push_back(t + " merged into the marks beside them");
  }
  std::vector<std::string> righe_testo{""};
  for (const std::string& f : frasi) {
    std::string& r = righe_testo.back();
    const double larghezza =
        larghezza_testo(r, 5.0) + larghezza_testo("; ", 5.0) + larghezza_testo(f, 5.0);
    if (!r.empty() && larghezza > kLarghezzaPagina - 2 * kMargine) {
      righe_testo.push_back(f);
    } else {
      r += (r.empty() ? "" : "; ") + f;
    }
  }
  if (righe_testo.front().empty()) return;
  g.riga("<g id=\"avvisi\">");
  const auto quante = static_cast<double>(righe_testo.size());
  for (std::size_t k = 0; k < righe_testo.size(); ++k) {
    g.scritta(kMargine, kAltezzaPagina - 4 - (quante - 1 - static_cast<double>(k)) * 10,
              "class=\"avvisi\"", testo_xml(righe_testo[k]));
  }
  g.riga("</g>");
}

// The legend under the title: every symbol and band of the profile with
// what it stands for, each entry a group with its word.
void disegna_legenda(pagina& g) {
  const double y = kYLegenda;
  double x = kMargine;
  g.riga("<g id=\"legenda\">");
  auto voce = [&](std::string_view nome, const std::string& simbolo) {
    g.riga("<g class=\"voce-legenda\" data-voce=\"" + std::string(nome) + "\">" + simbolo);
    g.scritta(x + 12, y + 3, "class=\"piccolo\"", nome);
    g.riga("</g>");
    x += 12 + larghezza_testo(nome, 5.0) + 10;
  };
  auto rettangolo = [&](double l, double a, std::string_view riempimento, std::string_view bordo) {
    return "<rect x=\"" + n(x + 5 - l / 2) + "\" y=\"" + n(y - a / 2) + "\" width=\"" + n(l) +
           "\" height=\"" + n(a) + "\" fill=\"" + std::string(riempimento) + "\" stroke=\"" +
           std::string(bordo) + "\" stroke-width=\"0.6\"/>";
  };
  voce("zona di stazione", rettangolo(9, 8, colore_di("zona"), colore_di("stazione")));
  voce("segnale", "<circle cx=\"" + n(x + 5) + "\" cy=\"" + n(y) + "\" r=\"3\" fill=\"" +
                      colore("segnale") + "\" stroke=\"#333\" stroke-width=\"0.6\"/>");
  voce("cartello", rettangolo(6, 6, colore_di("cartello"), "#333"));
  voce("cartello di velocit&#224; (A B C, km/h)",
       "<circle cx=\"" + n(x + 5) + "\" cy=\"" + n(y) + "\" r=\"3.5\" fill=\"#fff\" stroke=\"" +
           colore("indicatore") + "\" stroke-width=\"1.4\"/>");
  voce("avviso di rallentamento", "<path d=\"M" + n(x + 5) + " " + n(y - 5) + " L" + n(x + 0.5) +
                                      " " + n(y + 4) + " L" + n(x + 9.5) + " " + n(y + 4) +
                                      " Z\" fill=\"" + colore("avviso") +
                                      "\" stroke=\"#333\" stroke-width=\"0.6\"/>");
  voce("rallentamento (km/h)",
       rettangolo(10, 7, colore_di("rallentamento"), colore_di("bordo_rallentamento")));
  voce("punto codice", "<path d=\"M" + n(x + 5) + " " + n(y - 5) + " L" + n(x + 9) + " " + n(y) +
                           " L" + n(x + 5) + " " + n(y + 5) + " L" + n(x + 1) + " " + n(y) +
                           " Z\" fill=\"" + colore("punto_codice") +
                           "\" stroke=\"#1b5e3a\" stroke-width=\"0.5\"/>");
  voce("montagna (tipo)", rettangolo(10, 8, colore_di("montagna"), "#6d5230"));
  voce("fine percorso", "<line x1=\"" + n(x + 5) + "\" y1=\"" + n(y - 5) + "\" x2=\"" + n(x + 5) +
                            "\" y2=\"" + n(y + 5) + "\" stroke=\"" + colore("fine") +
                            "\" stroke-width=\"2\"/>");
  voce("oltre la fine", rettangolo(10, 8, "#f0f0f0", "#ccc"));
  g.riga("</g>");
}

std::string intestazione(const disposizione& d) {
  std::string t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  t += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"297mm\" "
       "height=\"210mm\" viewBox=\"0 0 " +
       n(kLarghezzaPagina) + " " + n(kAltezzaPagina) + "\">\n";
  t += "<title>" + testo_xml(d.percorso) + " &#8212; treno " + testo_xml(d.treno) + "</title>\n";
  t += "<style>" + std::string(kStile) + "</style>\n";
  return t;
}

std::string titolo_di(const disposizione& d, tratto_metri t, int numero, int pagine) {
  std::string titolo = testo_xml(d.percorso) + " &#8212; treno " + testo_xml(d.treno);
  if (d.lunghezza > 0) titolo += " &#8212; " + std::to_string(d.lunghezza) + " m";
  if (numero > 0) {
    titolo += " &#8212; pagina " + std::to_string(numero) + " di " + std::to_string(pagine) +
              ", km " + chilometri_testo(t.da) + "&#8211;" + chilometri_testo(t.a);
  } else if (t.da > 0 || t.a < d.fine_striscia) {
    titolo += " &#8212; km " + chilometri_testo(t.da) + "&#8211;" + chilometri_testo(t.a);
  }
  return titolo;
}

// "1 rallentamento", "2 rallentamenti".
std::string quanti(std::size_t numero, std::string_view singolare, std::string_view plurale) {
  return std::to_string(numero) + " " + std::string(numero == 1 ? singolare : plurale);
}

std::string conteggi(const disposizione& d) {
  return quanti(d.stazioni.size(), "stazione", "stazioni") + ", " +
         quanti(d.segnali.size(), "segnale", "segnali") + ", " +
         quanti(d.rallentamenti.size(), "rallentamento", "rallentamenti") + ", " +
         quanti(d.punti_codice.size(), "punto codice", "punti codice");
}

std::string pagina_di(const disposizione& d, tratto_metri t, int numero, int pagine,
                      const std::vector<tratto_metri>& stretti) {
  pagina g;
  g.testo() = intestazione(d);
  g.rettangolo(0, 0, kLarghezzaPagina, kAltezzaPagina, "fill=\"#fff\"");
  g.scritta(kMargine, 30, "class=\"titolo\"", titolo_di(d, t, numero, pagine));
  if (d.celle == 0) {
    g.scritta(kMargine, 60, "", "nessuna cella: il percorso non ha un profilo da mostrare");
    g.riga("</svg>");
    return std::move(g.testo());
  }
  g.scritta(kLarghezzaPagina - kMargine, 30, "text-anchor=\"end\" class=\"piccolo\"", conteggi(d));
  disegna_legenda(g);
  const geometria geo = geometria_di(d, t, fasce());
  // The bands grow up to the plan's box above them, or to the top of the
  // page's content when the plan stands beside them.
  const bool pianta_sopra = geo.pianta && geo.pianta->x1 > geo.x_etichette;
  const double alto_libero = pianta_sopra ? geo.pianta->y1 + 8 : kAltoContenuto + 4;
  const fasce_profilo f = fasce(fasce().alto - alto_libero);
  const int nomi_nascosti = disegna_pianta(g, d, geo, t);
  const asse_metri a(t.da, t.a, geo.x0_profilo, geo.x1_profilo);
  const std::vector<int> righe = posiziona_etichette(d, a.metri_per_unita(), t.da, t.a);
  std::vector<std::string> avvisi;
  const contesto_profilo c{d, a, f, geo, righe, avvisi};
  disegna_profilo(g, c, stretti);
  disegna_avvisi(g, d, righe, a, avvisi, nomi_nascosti);
  g.riga("</svg>");
  return std::move(g.testo());
}

tratto_metri tutta_la_striscia(const disposizione& d) {
  return {0, static_cast<double>(std::max(d.fine_striscia, 1))};
}

std::optional<double> leggi_decimale(std::string_view testo) {
  if (testo.empty()) return std::nullopt;
  double v = 0;
  const char* fine = testo.data() + testo.size();
  auto [p, errore] = std::from_chars(testo.data(), fine, v, std::chars_format::fixed);
  if (errore != std::errc() || p != fine || !std::isfinite(v) || v < 0) return std::nullopt;
  return v;
}

}  // namespace

std::array<scala_valori, 3> scale_curve(const disposizione& d) {
  const int32_t fine = d.fine_percorso();
  const int v = massimo_di(d.velocita, fine, 20);
  const double passo_v = passo_tondo(v, 6);
  const int g = massimo_di(d.pendenza, fine, 5);
  const double passo_g = passo_tondo(g, 2);
  const double limite_g = passo_g * std::ceil(g / passo_g);
  const double a = 50 * std::ceil(massimo_di(d.aderenza, fine, 100) / 50.0);
  return {{{0, passo_v * std::ceil(v / passo_v), passo_v},
           {-limite_g, limite_g, passo_g},
           {0, a, a / 2}}};
}

disegno_profilo disegno_del_profilo() {
  const fasce_profilo f = fasce();
  disegno_profilo d;
  for (const auto& [nome, b] : std::initializer_list<std::pair<std::string_view, fascia>>{
           {"nomi", f.nomi},
           {"zone", f.zone},
           {"segnali", f.segnali},
           {"cartelli", f.cartelli},
           {"rallentamenti", f.rallentamenti},
           {"punti", f.punti},
           {"montagne", f.montagne},
           {"velocita", f.velocita},
           {"pendenza", f.pendenza},
           {"aderenza", f.aderenza}}) {
    d.bande.push_back({nome, b.alto, b.basso});
  }
  for (fascia_etichette e : kFasceEtichette) {
    const base_etichette b = base_di(e, f);
    d.basi.push_back({e, b.riga0, b.bersaglio});
  }
  d.alto = f.alto;
  d.asse = kAsse;
  d.unita_segni = kUnitaSegni;
  return d;
}

std::vector<tratto_metri> tratti_pagine(tratto_metri tratto) {
  const double lunghezza = tratto.a - tratto.da;
  if (lunghezza <= kMetriPerPagina) return {};
  const auto numero = static_cast<int>(std::ceil(lunghezza / kMetriPerPagina));
  const double passo = std::ceil(lunghezza / numero / 1000) * 1000;
  std::vector<tratto_metri> pagine;
  for (double da = tratto.da; da < tratto.a - 0.5; da += passo) {
    pagine.push_back({da, std::min(da + passo, tratto.a)});
  }
  return pagine;
}

tratto_disegnato entro_le_pagine(tratto_metri tratto) {
  const double massimo = (kPagineMassime - 1) * kMetriPerPagina;
  if (tratto.a - tratto.da <= massimo) return {tratto, std::nullopt};
  const tratto_metri disegnato{tratto.da, tratto.da + massimo};
  return {disegnato, tratto_metri{disegnato.a, tratto.a}};
}

std::string svg_pagina(const disposizione& d, tratto_metri tratto, int pagina, int pagine) {
  return pagina_di(d, tratto, pagina, pagine, {});
}

std::string svg_percorso(const modello& m) {
  const disposizione d = disponi(m);
  return svg_pagina(d, tutta_la_striscia(d));
}

std::vector<pagina_svg> pagine_svg(const disposizione& d, std::optional<tratto_metri> tratto) {
  const tratto_metri tutto = tratto.value_or(tutta_la_striscia(d));
  const std::vector<tratto_metri> pagine = tratti_pagine(tutto);
  std::vector<pagina_svg> uscita;
  uscita.push_back({0, tutto, pagina_di(d, tutto, 0, 0, pagine)});
  const auto totale = static_cast<int>(pagine.size());
  for (int k = 0; k < totale; ++k) {
    const tratto_metri& t = pagine[static_cast<std::size_t>(k)];
    uscita.push_back({k + 1, t, pagina_di(d, t, k + 1, totale, {})});
  }
  return uscita;
}

std::filesystem::path file_pagina(const std::filesystem::path& uscita, int numero) {
  if (numero == 0) return uscita;
  std::filesystem::path file = uscita;
  const std::string estensione = uscita.has_extension() ? uscita.extension().string() : ".svg";
  file.replace_filename(uscita.stem().string() + "-" + std::to_string(numero) + estensione);
  return file;
}

std::optional<tratto_metri> leggi_chilometri(std::string_view testo) {
  const auto punti = testo.find("..");
  if (punti == std::string_view::npos) return std::nullopt;
  const auto da = leggi_decimale(testo.substr(0, punti));
  const auto a = leggi_decimale(testo.substr(punti + 2));
  if (!da || !a || *da >= *a) return std::nullopt;
  return tratto_metri{*da * 1000, *a * 1000};
}

int comando_plot(const richiesta_plot& r, int stato_uso, std::ostream& uscita,
                 std::ostream& errori) {
  return con_errori_dei_file("plot", errori, [&] {
    int stato = uscita_pulita;
    const std::optional<nomi_scenario> nomi =
        scegli_scenario(r.cartella, r.percorso, r.treno, "plot", stato_uso, errori, stato);
    if (!nomi) return stato;
    const modello m = leggi_scenario(r.cartella, nomi->percorso, nomi->treno);
    const disposizione d = disponi(m);
    std::optional<tratto_metri> tratto = r.tratto;
    if (tratto) {
      tratto->a = std::min<double>(tratto->a, std::max(d.fine_striscia, 1));
      if (tratto->da >= tratto->a) {
        errori << "plot: --km starts at km " << chilometri_testo(r.tratto->da)
               << ", past the end of the cells at km " << chilometri_testo(d.fine_striscia)
               << "; give a stretch within the route\n";
        return stato_uso;
      }
    }
    const tratto_disegnato entro = entro_le_pagine(tratto.value_or(tutta_la_striscia(d)));
    if (entro.escluso) {
      const std::string da = chilometri_testo(entro.escluso->da);
      const std::string a = chilometri_testo(entro.escluso->a);
      errori << "plot: " << kPagineMassime << " pages reach km " << da << "; km " << da << " to "
             << a << " is left out: draw it with --km " << da << ".." << a << '\n';
      tratto = entro.disegnato;
    }
    const std::vector<pagina_svg> pagine = pagine_svg(d, tratto);
    // No page replaces a file it is drawn from, however it is named.
    const file_scenario letti = file_di_scenario(r.cartella, nomi->percorso, nomi->treno);
    for (const pagina_svg& p : pagine) {
      if (scriverebbe_su(file_pagina(r.uscita, p.numero),
                         {letti.tracciato, letti.tabella, letti.celle}, "plot", errori)) {
        return stato_uso;
      }
    }
    for (const pagina_svg& p : pagine) {
      const auto file = file_pagina(r.uscita, p.numero);
      sostituisci_file(file, p.svg);
      uscita << testo_file(file) << '\n';
    }
    return static_cast<int>(uscita_pulita);
  });
}

}  // namespace scenario
