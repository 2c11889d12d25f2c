#include "tools/grafico.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "tools/ispeziona.h"
#include "tools/significato.h"

namespace scenario {
namespace {

// ------------------------------------------------------------------ page
// A4 landscape, four units to the millimetre.

constexpr double kLarghezzaPagina = 1188;
constexpr double kAltezzaPagina = 840;

struct fascia {
  double alto;
  double basso;
  double centro() const { return (alto + basso) / 2; }
};

constexpr double kXPianta0 = 30;
constexpr double kXPianta1 = 1158;
constexpr fascia kPianta{44, 296};

constexpr double kXProfilo0 = 112;
constexpr double kXProfilo1 = 1160;
constexpr double kXEtichette = 20;
constexpr fascia kNomiStazioni{306, 452};
constexpr fascia kZone{456, 468};
constexpr fascia kSegnali{474, 492};
constexpr fascia kRallentamenti{496, 522};
constexpr fascia kPuntiCodice{526, 540};
constexpr fascia kMontagne{544, 556};
constexpr fascia kVelocita{566, 642};
constexpr fascia kPendenza{652, 738};
constexpr fascia kAderenza{752, 790};
constexpr double kAsse = 798;

constexpr std::string_view kStile =
    "text{font-family:'DejaVu Sans',Arial,Helvetica,sans-serif;fill:#222}"
    ".titolo{font-size:17px;font-weight:bold}"
    ".piccolo{font-size:9px;fill:#555}"
    ".fascia{font-size:10px;font-weight:bold;fill:#333}"
    ".scala{font-size:9px;fill:#555;text-anchor:end}"
    ".nome-stazione{font-size:10px}"
    ".griglia{stroke:#ddd;stroke-width:0.6}"
    ".griglia-km{stroke:#e6e6e6;stroke-width:0.6}"
    ".riferimento{stroke:#9bb7d4;stroke-width:0.6;stroke-dasharray:3 3}";

// Numbers in the page: one decimal, the same on every machine.
std::string n(double v) {
  if (v == 0.0 || !std::isfinite(v)) v = 0.0;  // no "-0.0", no "nan"
  char testo[64];
  auto [fine, errore] = std::to_chars(testo, testo + sizeof testo, v, std::chars_format::fixed, 1);
  return std::string(testo, errore == std::errc() ? fine : testo);
}

std::string xml(std::string_view testo_utf8) {
  std::string t;
  for (char c : testo_utf8) {
    switch (c) {
      case '&':
        t += "&amp;";
        break;
      case '<':
        t += "&lt;";
        break;
      case '>':
        t += "&gt;";
        break;
      case '"':
        t += "&quot;";
        break;
      case '\'':
        t += "&apos;";
        break;
      default:
        // Control characters other than tab and line ends are not allowed in XML.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          t += "\xEF\xBF\xBD";
        } else {
          t += c;
        }
    }
  }
  return t;
}

// A text of the table, for the page.
std::string testo_pagina(const std::string& cp1252) { return xml(utf8_da_1252(cp1252)); }

std::string orario_breve(int32_t secondi) {
  std::string t = testo_orario(secondi);
  if (t.size() >= 3 && t.ends_with(":00")) t.resize(t.size() - 3);
  return t;
}

// ------------------------------------------------------------------ content

struct rallentamento_visto {
  int32_t cella_inizio = 0;
  int32_t cella_fine = 0;
  int velocita = 0;
  std::optional<int32_t> cella_avviso;
};

// A run of cells with one value.
struct tratto {
  int32_t da = 0;  // first cell
  int32_t a = 0;   // last cell
  int valore = 0;
};

// What the page shows, taken from the cells and the table.
struct contenuto {
  std::vector<std::pair<int, const voce*>> stazioni;
  std::vector<int32_t> segnali;
  std::vector<rallentamento_visto> rallentamenti;
  std::vector<int32_t> avvisi;
  std::vector<int32_t> punti_codice;
  std::vector<tratto> montagne;
  int32_t lunghezza = 0;     // route length from the table, 0 when missing
  int32_t metro_finale = 0;  // end of the axis
  int32_t ultima_cella = 0;  // last cell inside the axis
};

std::vector<tratto> tratti(const std::vector<cella>& celle, int32_t ultima,
                           const std::function<int(const cella&)>& valore) {
  std::vector<tratto> elenco;
  for (int32_t c = 0; c <= ultima; ++c) {
    const int v = valore(celle[static_cast<std::size_t>(c)]);
    if (!elenco.empty() && elenco.back().valore == v && elenco.back().a == c - 1) {
      elenco.back().a = c;
    } else {
      elenco.push_back({c, c, v});
    }
  }
  return elenco;
}

// Slowdowns from their points: a start (3) opens one, the next end (2)
// closes it; a warning board (4) 24 cells (1200 m) before the start belongs
// to it. A start with no end runs to the last cell.
std::vector<rallentamento_visto> rallentamenti_da(const std::vector<cella>& celle) {
  std::vector<rallentamento_visto> elenco;
  std::optional<rallentamento_visto> aperto;
  const auto ultima = static_cast<int32_t>(celle.size()) - 1;
  for (int32_t c = 0; c <= ultima; ++c) {
    const cella& x = celle[static_cast<std::size_t>(c)];
    if (x.evento == 3) {
      if (aperto) elenco.push_back(*aperto);
      aperto = rallentamento_visto{c, c, x.dato1, std::nullopt};
      const int32_t avviso = c - 1200 / kMetriCella;
      if (avviso >= 0 && celle[static_cast<std::size_t>(avviso)].evento == 4) {
        aperto->cella_avviso = avviso;
      }
    } else if (x.evento == 2 && aperto) {
      aperto->cella_fine = c;
      elenco.push_back(*aperto);
      aperto.reset();
    }
  }
  if (aperto) {
    aperto->cella_fine = ultima;
    elenco.push_back(*aperto);
  }
  return elenco;
}

int32_t fine_asse(const modello& m, const contenuto& k) {
  int32_t fine = k.lunghezza;
  for (const auto& [riga, v] : k.stazioni) fine = std::max({fine, v->posizione, v->fine});
  for (int32_t c : k.segnali) fine = std::max(fine, metri_oggetto(c));
  for (int32_t c : k.punti_codice) fine = std::max(fine, metri_cella(c));
  for (const auto& r : k.rallentamenti) fine = std::max(fine, metri_oggetto(r.cella_fine));
  if (fine <= 0) fine = metri_cella(static_cast<int32_t>(m.celle.size()) - 1);
  const int32_t chilometri = (std::max(fine, 1) + 999) / 1000;
  return chilometri * 1000;
}

contenuto contenuto_di(const modello& m) {
  contenuto k;
  for (int r = kRigaPrimaStazione; r <= kRigaPrimoCartello; ++r) {
    if (genere_di(r, m.riga(r)) == genere_riga::stazione) k.stazioni.emplace_back(r, &m.riga(r));
  }
  k.lunghezza = std::max(0, m.riga(kRigaDatiGenerali).fine);
  const auto ultima = static_cast<int32_t>(m.celle.size()) - 1;
  for (int32_t c = 0; c <= ultima; ++c) {
    switch (m.celle[static_cast<std::size_t>(c)].evento) {
      case 1:
        k.segnali.push_back(c);
        break;
      case 4:
        k.avvisi.push_back(c);
        break;
      case 12:
        k.punti_codice.push_back(c);
        break;
      default:
        break;
    }
  }
  k.rallentamenti = rallentamenti_da(m.celle);
  k.metro_finale = fine_asse(m, k);
  k.ultima_cella = std::min(ultima, k.metro_finale / kMetriCella - 1);
  for (const tratto& t : tratti(m.celle, k.ultima_cella,
                                [](const cella& c) { return static_cast<int>(c.montagna); })) {
    if (t.valore != 0) k.montagne.push_back(t);
  }
  return k;
}

// ------------------------------------------------------------------ axis

class asse_metri {
 public:
  asse_metri(double metro0, double metro1, double x0, double x1)
      : metro0_(metro0), metro1_(metro1), x0_(x0), x1_(x1) {}
  double x(double metri) const {
    const double m = std::clamp(metri, metro0_, metro1_);
    return x0_ + (m - metro0_) * (x1_ - x0_) / (metro1_ - metro0_);
  }
  double metro0() const { return metro0_; }
  double metro1() const { return metro1_; }
  double x0() const { return x0_; }
  double x1() const { return x1_; }

 private:
  double metro0_, metro1_, x0_, x1_;
};

// A round step (1, 2 or 5 times a power of ten) that cuts `totale` into at
// most `parti` pieces.
double passo_tondo(double totale, int parti) {
  for (double potenza = 1;; potenza *= 10) {
    for (double f : {1.0, 2.0, 5.0}) {
      if (totale / (f * potenza) <= parti) return f * potenza;
    }
  }
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

// ------------------------------------------------------------------ plan

using punto = std::array<double, 2>;

std::optional<punto> punto_pianta(const modello& m, double metro) {
  if (m.tracciato[0].empty()) return std::nullopt;
  const auto ultimo = static_cast<double>(m.tracciato[0].size() - 1);
  const auto i = static_cast<std::size_t>(std::clamp(std::round(metro), 0.0, ultimo));
  const auto& x = m.tracciato[0][i];
  const auto& y = m.tracciato[1][i];
  if (x.tipo == tipo_elemento::vuoto || y.tipo == tipo_elemento::vuoto) return std::nullopt;
  if (!std::isfinite(x.valore) || !std::isfinite(y.valore)) return std::nullopt;
  return punto{x.valore, y.valore};
}

// The plan's first coordinate points east and its second north (the plan
// starts heading along the second coordinate, and a right-hand curve turns
// it towards the first): the page keeps north up.
class proiezione {
 public:
  proiezione(punto minimo, punto massimo) {
    const double dx = std::max(massimo[0] - minimo[0], 1.0);
    const double dy = std::max(massimo[1] - minimo[1], 1.0);
    const double margine = 28;
    scala_ = std::min((kXPianta1 - kXPianta0 - 2 * margine) / dx,
                      (kPianta.basso - kPianta.alto - 2 * margine) / dy);
    centro_ = {(minimo[0] + massimo[0]) / 2, (minimo[1] + massimo[1]) / 2};
    estensione_ = std::max(dx, dy);
  }
  // The longer side of the plan's box, in metres.
  double estensione() const { return estensione_; }
  punto su_pagina(punto p) const {
    return {(kXPianta0 + kXPianta1) / 2 + (p[0] - centro_[0]) * scala_,
            kPianta.centro() - (p[1] - centro_[1]) * scala_};
  }
  double scala() const { return scala_; }

 private:
  double scala_ = 1;
  double estensione_ = 1;
  punto centro_{};
};

// A path along the plan from metre `da` to `a`, one point every `passo`
// metres; an empty element breaks the line.
std::string percorso_pianta(const modello& m, const proiezione& p, double da, double a,
                            double passo) {
  const auto ultimo = static_cast<double>(m.tracciato[0].size()) - 1;
  da = std::clamp(da, 0.0, std::max(ultimo, 0.0));
  a = std::clamp(a, da, std::max(ultimo, 0.0));
  std::string d;
  std::string precedente;  // a point that rounds to the one before adds nothing
  bool aperto = false;
  for (double metro = da;; metro = std::min(metro + passo, a)) {
    const auto q = punto_pianta(m, metro);
    if (!q) {
      aperto = false;
    } else {
      const punto s = p.su_pagina(*q);
      const std::string xy = n(s[0]) + " " + n(s[1]);
      if (!aperto || xy != precedente) d += (aperto ? "L" : "M") + xy;
      precedente = xy;
      aperto = true;
    }
    if (metro >= a) break;
  }
  return d;
}

// The heading at a metre, as a unit vector on the page.
std::optional<punto> direzione_pianta(const modello& m, const proiezione& p, double metro) {
  const auto a = punto_pianta(m, metro - 10);
  const auto b = punto_pianta(m, metro + 10);
  if (!a || !b) return std::nullopt;
  const punto pa = p.su_pagina(*a);
  const punto pb = p.su_pagina(*b);
  const double lx = pb[0] - pa[0];
  const double ly = pb[1] - pa[1];
  const double l = std::hypot(lx, ly);
  if (l == 0) return std::nullopt;
  return punto{lx / l, ly / l};
}

void disegna_bussola_e_scala(pagina& g, const proiezione& p) {
  const double x = kXPianta1 - 16;
  const double y = kPianta.alto + 8;
  g.riga("<g id=\"nord\"><path d=\"M" + n(x) + " " + n(y) + " L" + n(x - 6) + " " + n(y + 18) +
         " L" + n(x) + " " + n(y + 13) + " L" + n(x + 6) + " " + n(y + 18) +
         " Z\" fill=\"#333\"/>");
  g.scritta(x, y + 30, "text-anchor=\"middle\" class=\"fascia\"", "N");
  g.riga("</g>");
  const double metri = tondo_sotto(p.estensione() / 4);
  const double lunga = metri * p.scala();
  const double y0 = kPianta.basso - 6;
  g.riga("<g id=\"scala-pianta\" data-metri=\"" + n(metri) + "\">");
  g.linea(kXPianta0, y0, kXPianta0 + lunga, y0, "stroke=\"#333\" stroke-width=\"1.5\"");
  g.linea(kXPianta0, y0 - 4, kXPianta0, y0 + 2, "stroke=\"#333\"");
  g.linea(kXPianta0 + lunga, y0 - 4, kXPianta0 + lunga, y0 + 2, "stroke=\"#333\"");
  const std::string etichetta = metri >= 1000
                                    ? n(metri / 1000).substr(0, n(metri / 1000).size() - 2) + " km"
                                    : n(metri).substr(0, n(metri).size() - 2) + " m";
  g.scritta(kXPianta0 + lunga + 4, y0 + 3, "class=\"piccolo\"", etichetta);
  g.riga("</g>");
}

struct riquadro {
  double x0, y0, x1, y1;
  bool tocca(const riquadro& r) const { return x0 < r.x1 && r.x0 < x1 && y0 < r.y1 && r.y0 < y1; }
  bool dentro_pianta() const {
    return x0 >= kXPianta0 && x1 <= kXPianta1 && y0 >= kPianta.alto && y1 <= kPianta.basso;
  }
};

// A station name beside its mark: the first of a few places around the mark
// that overlaps neither another name nor another station's mark, so that
// stations close together on the plan stay readable.
struct posto_nome {
  double x = 0, y = 0;
  bool a_sinistra = false;
};

posto_nome posto_per_nome(punto s, double larghezza, const std::vector<riquadro>& occupati) {
  constexpr std::array<std::array<double, 2>, 4> spostamenti{{{6, -4}, {6, 12}, {6, -15}, {6, 22}}};
  std::optional<posto_nome> primo;
  for (const auto& [dx, dy] : spostamenti) {
    for (const bool a_sinistra : {false, true}) {
      const posto_nome posto{a_sinistra ? s[0] - dx : s[0] + dx, s[1] + dy, a_sinistra};
      const double x0 = a_sinistra ? posto.x - larghezza : posto.x;
      const riquadro r{x0, posto.y - 9, x0 + larghezza, posto.y + 2};
      if (!primo) primo = posto;
      if (r.dentro_pianta() && std::none_of(occupati.begin(), occupati.end(),
                                            [&](const riquadro& o) { return r.tocca(o); })) {
        return posto;
      }
    }
  }
  return *primo;
}

double larghezza_nome(const std::string& utf8) {
  const auto caratteri = std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
  });
  return 6.2 * static_cast<double>(caratteri);
}

void disegna_stazioni_pianta(pagina& g, const modello& m, const proiezione& p, const contenuto& k) {
  std::vector<std::pair<std::size_t, punto>> segni;
  std::vector<riquadro> occupati;
  for (std::size_t j = 0; j < k.stazioni.size(); ++j) {
    if (const auto q = punto_pianta(m, k.stazioni[j].second->posizione)) {
      const punto s = p.su_pagina(*q);
      segni.emplace_back(j, s);
      occupati.push_back({s[0] - 4, s[1] - 4, s[0] + 4, s[1] + 4});
    }
  }
  for (const auto& [j, s] : segni) {
    const auto& [riga, v] = k.stazioni[j];
    const std::string nome = utf8_da_1252(v->nome);
    const double larghezza = larghezza_nome(nome);
    const posto_nome posto = posto_per_nome(s, larghezza, occupati);
    const double x0 = posto.a_sinistra ? posto.x - larghezza : posto.x;
    occupati.push_back({x0, posto.y - 9, x0 + larghezza, posto.y + 2});
    g.riga("<g class=\"pianta-stazione\" data-riga=\"" + std::to_string(riga) + "\" data-nome=\"" +
           xml(nome) + "\" data-posizione=\"" + std::to_string(v->posizione) + "\">");
    g.riga("<circle cx=\"" + n(s[0]) + "\" cy=\"" + n(s[1]) +
           "\" r=\"3.5\" fill=\"#fff\" stroke=\"#1f5f99\" stroke-width=\"1.5\"/>");
    g.scritta(posto.x, posto.y,
              posto.a_sinistra ? "class=\"nome-stazione\" text-anchor=\"end\""
                               : "class=\"nome-stazione\"",
              xml(nome));
    g.riga("</g>");
  }
}

void disegna_pianta(pagina& g, const modello& m, const contenuto& k) {
  g.riga("<g id=\"pianta\">");
  g.rettangolo(kXPianta0, kPianta.alto, kXPianta1 - kXPianta0, kPianta.basso - kPianta.alto,
               "fill=\"#fbfbf8\" stroke=\"#ccc\"");
  g.scritta(kXPianta0 + 6, kPianta.alto + 14, "class=\"fascia\"", "Pianta (nord in alto)");
  // The box holds the plan up to the end of the axis.
  const double passo = std::max(1.0, std::floor(k.metro_finale / 4000.0));
  std::optional<punto> minimo, massimo;
  for (double metro = 0; metro <= k.metro_finale; metro += passo) {
    if (const auto q = punto_pianta(m, metro)) {
      if (!minimo) minimo = massimo = *q;
      for (std::size_t c = 0; c < 2; ++c) {
        (*minimo)[c] = std::min((*minimo)[c], (*q)[c]);
        (*massimo)[c] = std::max((*massimo)[c], (*q)[c]);
      }
    }
  }
  if (!minimo) {
    g.scritta((kXPianta0 + kXPianta1) / 2, kPianta.centro(), "text-anchor=\"middle\"",
              "pianta non disponibile: manca il file del tracciato o non ha punti");
    g.riga("</g>");
    return;
  }
  const proiezione p(*minimo, *massimo);
  for (const auto& [riga, v] : k.stazioni) {
    g.riga("<path class=\"pianta-zona\" d=\"" + percorso_pianta(m, p, v->inizio, v->fine, 5) +
           "\" fill=\"none\" stroke=\"#a9cbec\" stroke-width=\"7\" stroke-linecap=\"butt\"/>");
  }
  for (const auto& r : k.rallentamenti) {
    g.riga("<path class=\"pianta-rallentamento\" d=\"" +
           percorso_pianta(m, p, metri_oggetto(r.cella_inizio), metri_oggetto(r.cella_fine), 5) +
           "\" fill=\"none\" stroke=\"#e8554e\" stroke-opacity=\"0.6\" stroke-width=\"5\"/>");
  }
  const double lunghezza = k.lunghezza > 0 ? k.lunghezza : k.metro_finale;
  g.riga("<path id=\"binario\" d=\"" + percorso_pianta(m, p, 0, lunghezza, passo) +
         "\" fill=\"none\" stroke=\"#333\" stroke-width=\"1.6\"/>");
  if (lunghezza < k.metro_finale) {
    g.riga("<path id=\"binario-oltre\" d=\"" +
           percorso_pianta(m, p, lunghezza, k.metro_finale, passo) +
           "\" fill=\"none\" stroke=\"#999\" stroke-width=\"1\" stroke-dasharray=\"4 3\"/>");
  }
  for (int32_t c : k.segnali) {
    const double metro = metri_oggetto(c);
    const auto q = punto_pianta(m, metro);
    const auto d = direzione_pianta(m, p, metro);
    if (!q || !d) continue;
    const punto s = p.su_pagina(*q);
    const punto normale{-(*d)[1] * 5, (*d)[0] * 5};
    g.riga("<g class=\"pianta-segnale\" data-posizione=\"" + std::to_string(metri_oggetto(c)) +
           "\">");
    g.linea(s[0] - normale[0], s[1] - normale[1], s[0] + normale[0], s[1] + normale[1],
            "stroke=\"#c0392b\" stroke-width=\"1.4\"");
    g.riga("</g>");
  }
  disegna_stazioni_pianta(g, m, p, k);
  disegna_bussola_e_scala(g, p);
  g.riga("</g>");
}

// ------------------------------------------------------------------ profile

void etichetta_fascia(pagina& g, const fascia& f, std::string_view testo_xml) {
  g.scritta(kXEtichette, std::min(f.alto + 11, f.basso), "class=\"fascia\"", testo_xml);
}

void disegna_asse(pagina& g, const asse_metri& a) {
  const double chilometri = (a.metro1() - a.metro0()) / 1000;
  const double passo_etichette = passo_tondo(chilometri, 14);
  const double passo_tacche = chilometri <= 150 ? 1 : passo_etichette / 5;
  g.riga("<g id=\"asse\">");
  g.linea(a.x0(), kAsse, a.x1(), kAsse, "stroke=\"#333\"");
  for (double km = 0; km * 1000 <= a.metro1() + 0.5; km += passo_tacche) {
    const double x = a.x(km * 1000);
    const bool grande = std::fmod(km, passo_etichette) < 1e-9;
    g.linea(x, kAsse, x, kAsse + (grande ? 6 : 3), "stroke=\"#333\"");
    if (!grande) continue;
    g.linea(x, kZone.alto, x, kAderenza.basso, "class=\"griglia-km\"");
    g.scritta(x, kAsse + 15, "text-anchor=\"middle\" class=\"piccolo\"",
              std::to_string(static_cast<long>(km)));
  }
  g.scritta(a.x1(), kAsse + 26, "text-anchor=\"end\" class=\"piccolo\"",
            "km dall&#8217;inizio del percorso");
  g.riga("</g>");
}

void disegna_stazioni(pagina& g, const asse_metri& a, const contenuto& k) {
  etichetta_fascia(g, kZone, "Stazioni");
  for (const auto& [riga, v] : k.stazioni) {
    const double x = a.x(v->posizione);
    const double x0 = a.x(v->inizio);
    const double x1 = a.x(v->fine);
    std::string orario = v->orario != 0 ? orario_breve(v->orario) : "";
    g.riga("<g class=\"stazione\" data-riga=\"" + std::to_string(riga) + "\" data-nome=\"" +
           testo_pagina(v->nome) + "\" data-posizione=\"" + std::to_string(v->posizione) +
           "\" data-inizio=\"" + std::to_string(v->inizio) + "\" data-fine=\"" +
           std::to_string(v->fine) + "\" data-orario=\"" + std::to_string(v->orario) + "\">");
    g.riga("<title>" + testo_pagina(v->nome) + ": " + std::to_string(v->inizio) + ".." +
           std::to_string(v->fine) + " m" + (orario.empty() ? "" : ", " + orario) + "</title>");
    g.linea(x, kZone.alto, x, kAderenza.basso, "class=\"riferimento\"");
    g.rettangolo(x0, kZone.alto, x1 - x0, kZone.basso - kZone.alto,
                 "fill=\"#a9cbec\" stroke=\"#1f5f99\" stroke-width=\"0.8\"");
    g.linea(x, kZone.alto - 2, x, kZone.basso + 2, "stroke=\"#1f5f99\" stroke-width=\"1.6\"");
    g.riga("<text class=\"nome-stazione\" transform=\"translate(" + n(x + 3.2) + " " +
           n(kNomiStazioni.basso) + ") rotate(-90)\"><tspan font-weight=\"bold\">" +
           testo_pagina(v->nome) + "</tspan>" + (orario.empty() ? "" : " " + orario) + "</text>");
    g.riga("</g>");
  }
}

void disegna_segnali(pagina& g, const asse_metri& a, const modello& m, const contenuto& k) {
  etichetta_fascia(g, kSegnali, "Segnali");
  for (int32_t c : k.segnali) {
    const double x = a.x(metri_oggetto(c));
    const cella& s = m.celle[static_cast<std::size_t>(c)];
    g.riga("<g class=\"segnale\" data-cella=\"" + std::to_string(c) + "\" data-posizione=\"" +
           std::to_string(metri_oggetto(c)) + "\"><title>segnale, cella " + std::to_string(c) +
           " (" + std::to_string(metri_oggetto(c)) + " m), dati " + std::to_string(s.dato1) + " " +
           std::to_string(s.dato2) + " " + std::to_string(s.dato3) + " " + std::to_string(s.dato4) +
           "</title>");
    g.linea(x, kSegnali.basso, x, kSegnali.alto + 6, "stroke=\"#333\" stroke-width=\"1\"");
    g.riga("<circle cx=\"" + n(x) + "\" cy=\"" + n(kSegnali.alto + 4) +
           "\" r=\"3\" fill=\"#c0392b\" stroke=\"#333\" stroke-width=\"0.6\"/>");
    g.riga("</g>");
  }
}

void disegna_rallentamenti(pagina& g, const asse_metri& a, const contenuto& k) {
  etichetta_fascia(g, kRallentamenti, "Rallentamenti");
  for (int32_t c : k.avvisi) {
    const double x = a.x(metri_oggetto(c));
    const double y = kRallentamenti.basso;
    g.riga("<g class=\"avviso-rallentamento\" data-cella=\"" + std::to_string(c) +
           "\" data-posizione=\"" + std::to_string(metri_oggetto(c)) + "\"><path d=\"M" + n(x) +
           " " + n(y - 14) + " L" + n(x - 5) + " " + n(y - 4) + " L" + n(x + 5) + " " + n(y - 4) +
           " Z\" fill=\"#f5c518\" stroke=\"#333\" stroke-width=\"0.6\"/></g>");
  }
  for (const auto& r : k.rallentamenti) {
    const int32_t inizio = metri_oggetto(r.cella_inizio);
    const int32_t fine = metri_oggetto(r.cella_fine);
    const double x0 = a.x(inizio);
    const double x1 = a.x(fine);
    g.riga(
        "<g class=\"rallentamento\" data-inizio=\"" + std::to_string(inizio) + "\" data-fine=\"" +
        std::to_string(fine) + "\" data-velocita=\"" + std::to_string(r.velocita) + "\"" +
        (r.cella_avviso ? " data-avviso=\"" + std::to_string(metri_oggetto(*r.cella_avviso)) + "\""
                        : std::string()) +
        "><title>rallentamento " + std::to_string(r.velocita) + " km/h, " + std::to_string(inizio) +
        ".." + std::to_string(fine) + " m</title>");
    // The speed stands over the bar, clear of a warning board beside it.
    g.rettangolo(x0, kRallentamenti.basso - 10, x1 - x0, 8,
                 "fill=\"#e8554e\" stroke=\"#8e1f1a\" stroke-width=\"0.6\"");
    g.scritta((x0 + x1) / 2, kRallentamenti.basso - 12, "text-anchor=\"middle\" class=\"piccolo\"",
              std::to_string(r.velocita));
    g.riga("</g>");
  }
}

void disegna_punti_codice(pagina& g, const asse_metri& a, const modello& m, const contenuto& k) {
  etichetta_fascia(g, kPuntiCodice, "Punti codice");
  for (int32_t c : k.punti_codice) {
    const double x = a.x(metri_cella(c));
    const double y = kPuntiCodice.centro();
    const int codice = m.celle[static_cast<std::size_t>(c)].dato1;
    g.riga("<g class=\"punto-codice\" data-cella=\"" + std::to_string(c) + "\" data-posizione=\"" +
           std::to_string(metri_cella(c)) + "\" data-codice=\"" + std::to_string(codice) +
           "\"><title>punto codice " + std::to_string(codice) + ", cella " + std::to_string(c) +
           "</title><path d=\"M" + n(x) + " " + n(y - 5) + " L" + n(x + 4) + " " + n(y) + " L" +
           n(x) + " " + n(y + 5) + " L" + n(x - 4) + " " + n(y) +
           " Z\" fill=\"#2e8b57\" stroke=\"#1b5e3a\" stroke-width=\"0.5\"/></g>");
  }
}

void disegna_montagne(pagina& g, const asse_metri& a, const contenuto& k) {
  etichetta_fascia(g, kMontagne, "Montagna");
  for (const tratto& t : k.montagne) {
    const double x0 = a.x(metri_cella(t.da));
    const double x1 = a.x(metri_cella(t.a + 1));
    g.riga("<g class=\"montagna\" data-inizio=\"" + std::to_string(metri_cella(t.da)) +
           "\" data-fine=\"" + std::to_string(metri_cella(t.a + 1)) + "\" data-tipo=\"" +
           std::to_string(t.valore) + "\"><title>montagna tipo " + std::to_string(t.valore) +
           "</title>");
    g.rettangolo(x0, kMontagne.alto + 1, x1 - x0, kMontagne.basso - kMontagne.alto - 2,
                 "fill=\"#b08a5a\" stroke=\"#6d5230\" stroke-width=\"0.5\"");
    if (x1 - x0 > 12) {
      g.scritta((x0 + x1) / 2, kMontagne.basso - 3,
                "text-anchor=\"middle\" class=\"piccolo\" style=\"fill:#fff\"",
                std::to_string(t.valore));
    }
    g.riga("</g>");
  }
}

// A step line of one cell value along the axis, in a band scaled from
// `minimo` (bottom) to `massimo` (top), with grid lines every `passo`.
void disegna_curva(pagina& g, const asse_metri& a, const fascia& f, std::string_view id,
                   std::string_view colore, const std::vector<tratto>& valori, double minimo,
                   double massimo, double passo) {
  auto y = [&](double v) {
    return f.basso -
           (std::clamp(v, minimo, massimo) - minimo) * (f.basso - f.alto) / (massimo - minimo);
  };
  g.riga("<g id=\"" + std::string(id) + "\" data-minimo=\"" + n(minimo) + "\" data-massimo=\"" +
         n(massimo) + "\">");
  for (double v = std::ceil(minimo / passo) * passo; v <= massimo + 1e-9; v += passo) {
    g.linea(a.x0(), y(v), a.x1(), y(v),
            v == 0 && minimo < 0 ? "stroke=\"#999\" stroke-width=\"0.8\"" : "class=\"griglia\"");
    g.scritta(a.x0() - 4, y(v) + 3, "class=\"scala\"", n(v).substr(0, n(v).size() - 2));
  }
  std::string d;
  for (const tratto& t : valori) {
    const double x0 = a.x(metri_cella(t.da));
    const double x1 = a.x(metri_cella(t.a + 1));
    d += (d.empty() ? "M" + n(x0) + " " + n(y(t.valore)) : "V" + n(y(t.valore))) + "H" + n(x1);
  }
  g.riga("<path d=\"" + d + "\" fill=\"none\" stroke=\"" + std::string(colore) +
         "\" stroke-width=\"1.3\"/>");
  g.riga("</g>");
}

int massimo_di(const std::vector<tratto>& valori, int minimo) {
  int m = minimo;
  for (const tratto& t : valori) m = std::max(m, std::abs(t.valore));
  return m;
}

void disegna_curve(pagina& g, const asse_metri& a, const modello& m, const contenuto& k) {
  const auto velocita = tratti(m.celle, k.ultima_cella, velocita_kmh);
  const auto pendenze = tratti(m.celle, k.ultima_cella, pendenza_per_mille);
  const auto aderenze =
      tratti(m.celle, k.ultima_cella, [](const cella& c) { return static_cast<int>(c.aderenza); });

  etichetta_fascia(g, kVelocita, "Velocit&#224;");
  g.scritta(kXEtichette, kVelocita.alto + 22, "class=\"piccolo\"", "limite, km/h");
  const int v = massimo_di(velocita, 20);
  const double passo_v = passo_tondo(v, 4);
  disegna_curva(g, a, kVelocita, "velocita", "#1f5f99", velocita, 0,
                passo_v * std::ceil(v / passo_v), passo_v);

  etichetta_fascia(g, kPendenza, "Pendenza");
  g.scritta(kXEtichette, kPendenza.alto + 22, "class=\"piccolo\"", "per mille");
  const int gmax = massimo_di(pendenze, 5);
  const double passo_g = passo_tondo(gmax, 3);
  const double limite_g = passo_g * std::ceil(gmax / passo_g);
  disegna_curva(g, a, kPendenza, "pendenza", "#8e44ad", pendenze, -limite_g, limite_g, passo_g);

  etichetta_fascia(g, kAderenza, "Aderenza");
  g.scritta(kXEtichette, kAderenza.alto + 22, "class=\"piccolo\"", "per cento");
  const double amax = 50 * std::ceil(massimo_di(aderenze, 100) / 50.0);
  disegna_curva(g, a, kAderenza, "aderenza", "#2e8b57", aderenze, 0, amax, amax / 2);
}

void disegna_profilo(pagina& g, const modello& m, const contenuto& k) {
  const asse_metri a(0, k.metro_finale, kXProfilo0, kXProfilo1);
  g.riga("<g id=\"profilo\" data-metro-iniziale=\"" + n(a.metro0()) + "\" data-metro-finale=\"" +
         n(a.metro1()) + "\" data-x-iniziale=\"" + n(a.x0()) + "\" data-x-finale=\"" + n(a.x1()) +
         "\">");
  disegna_asse(g, a);
  disegna_curve(g, a, m, k);
  disegna_montagne(g, a, k);
  disegna_punti_codice(g, a, m, k);
  disegna_rallentamenti(g, a, k);
  disegna_segnali(g, a, m, k);
  disegna_stazioni(g, a, k);
  g.riga("</g>");
}

std::string nome_scenario(const std::string& dalla_tabella, const std::string& dal_modello) {
  return testo_pagina(dalla_tabella.empty() ? dal_modello : dalla_tabella);
}

}  // namespace

std::string svg_percorso(const modello& m) {
  pagina g;
  const std::string percorso = nome_scenario(m.riga(kRigaDatiPercorso).nome, m.percorso);
  const std::string treno = nome_scenario(m.riga(kRigaDatiTreno).nome, m.treno);
  g.riga("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  g.riga(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"297mm\" "
      "height=\"210mm\" viewBox=\"0 0 " +
      n(kLarghezzaPagina) + " " + n(kAltezzaPagina) + "\">");
  g.riga("<title>" + percorso + " &#8212; treno " + treno + "</title>");
  g.riga("<style>" + std::string(kStile) + "</style>");
  g.rettangolo(0, 0, kLarghezzaPagina, kAltezzaPagina, "fill=\"#fff\"");
  if (m.celle.empty()) {
    g.scritta(kXPianta0, 30, "class=\"titolo\"", percorso + " &#8212; treno " + treno);
    g.scritta(kXPianta0, 60, "", "nessuna cella: il percorso non ha un profilo da mostrare");
    g.riga("</svg>");
    return std::move(g.testo());
  }
  const contenuto k = contenuto_di(m);
  std::string titolo = percorso + " &#8212; treno " + treno;
  if (k.lunghezza > 0) titolo += " &#8212; " + std::to_string(k.lunghezza) + " m";
  g.scritta(kXPianta0, 30, "class=\"titolo\"", titolo);
  g.scritta(kXPianta1, 30, "text-anchor=\"end\" class=\"piccolo\"",
            std::to_string(k.stazioni.size()) + " stazioni, " + std::to_string(k.segnali.size()) +
                " segnali, " + std::to_string(k.rallentamenti.size()) + " rallentamenti, " +
                std::to_string(k.punti_codice.size()) + " punti codice");
  disegna_pianta(g, m, k);
  disegna_profilo(g, m, k);
  g.riga("</svg>");
  return std::move(g.testo());
}

int comando_plot(const std::filesystem::path& cartella, std::string_view percorso,
                 std::string_view treno, const std::filesystem::path& uscita,
                 std::ostream& errori) {
  const auto percorso_1252 = cp1252_da_utf8(percorso);
  const auto treno_1252 = cp1252_da_utf8(treno);
  if (!percorso_1252 || !treno_1252) {
    errori << "plot: the route name and the train number must be texts the Windows-1252 "
              "code page can write\n";
    return kUscitaFileNonConforme;
  }
  try {
    const modello m = leggi_scenario(cartella, *percorso_1252, *treno_1252);
    sostituisci_file(uscita, svg_percorso(m));
  } catch (const errore_file_system& e) {
    errori << "plot: " << e.what() << '\n';
    return uscita_file_system;
  } catch (const errore_formato& e) {
    errori << "plot: " << e.what() << '\n';
    return kUscitaFileNonConforme;
  }
  return uscita_pulita;
}

}  // namespace scenario
