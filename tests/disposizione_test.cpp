#include "tools/disegno/disposizione.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>

#include "bench/percorso_massimo.h"
#include "compiler/sorgente.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "strumento_prova.h"
#include "supporto.h"
#include "tools/disegno/grafico.h"

namespace scenario {
namespace {

// ------------------------------------------------------------------ routes

modello compila(const std::string& linea, const std::string& treno) {
  modello m;
  sorgente_in_memoria l(linea);
  sorgente_in_memoria t(treno);
  opzioni_compilazione o;
  o.percorso = std::string(kPercorso);
  o.treno = std::string(kTreno);
  const esito_compilazione e = compila_percorso(m, l, t, o);
  EXPECT_TRUE(e.da_scrivere());
  EXPECT_EQ(e.codice_errore, 0) << "at " << e.posizione_errore;
  return m;
}

modello incorporato() {
  prova::cartella_temporanea c;
  modello m;
  m.percorso = kPercorso;
  m.treno = kTreno;
  dati_linea(m, c.percorso());
  dati_treno(m, c.percorso());
  return compila(prova::leggi(c / "Ulmo_Tarvignano_Rovesco_linea.txt"),
                 prova::leggi(c / "Ulmo_Tarvignano_Rovesco_4816-.txt"));
}

// 130 km running north-east, then north, with 25 stations every 5 km whose
// names are long enough to crowd, a signal every 1 500 m and a gradient
// row every kilometre.
modello percorso_130_km() {
  std::string l =
      "[generale]\r\nlunghezza percorso, 130000\r\n"
      "progressiva chilometrica uno, 0, 0, 0\r\nprogressiva chilometrica due, 0, 0, 0\r\n"
      "progressiva chilometrica tre, 0, 0, 0\r\nsfondo uno, 1\r\nsfondo due, 40000\r\n"
      "sfondo tre, 80000\r\nripetizione segnali 4 codici, 500, 129500\r\n[curve]\r\n";
  for (int k = 0; k < 60; ++k) {
    l += std::string(k % 3 == 2 ? "curvas2, " : "curvad3, ") + std::to_string(k * 2000 + 700) +
         ", 300\r\n";
  }
  l += "[pendenze]\r\n";
  for (int k = 0; k <= 130; ++k) {
    l += "pendenza, " + std::to_string(k * 1000) + ", " + std::to_string((k * 13) % 40 - 15) +
         "\r\n";
  }
  l += "[fine]\r\n";
  std::string t =
      "[generale]\r\nnumero vetture, 6\r\npercentuale massa frenata, 100\r\nsabbia, 150\r\n"
      "orologio, 6 0 0\r\n[aderenze]\r\naderenza, 0, 90\r\n[vel_limite]\r\n"
      "velocita, 0, 100\r\nvelocita, 40000, 140\r\nvelocita, 90000, 120\r\n[stazioni]\r\n";
  const std::array<const char*, 5> nomi{"BORGO SAN LORENZO DI SOPRA", "VALLE", "PIEVE NUOVA",
                                        "CASTELLO D'ARGILE SCALO", "RIVA"};
  for (int k = 1; k <= 25; ++k) {
    const int minuti = 6 * 60 + 4 * k;
    t += "stazione, " + std::to_string(k * 5000) + ", 24, 400, 0, 0, 0, 0,0,0, 4,1,1, 30, " +
         std::to_string(minuti / 60) + "," + std::to_string(minuti % 60) + ", 0, " +
         nomi[static_cast<std::size_t>(k % 5)] + " " + std::to_string(k) + "\r\n";
  }
  t += "[segnali]\r\n";
  for (int k = 0; k * 1500 + 500 < 130000; ++k) {
    t += "segnale, " + std::to_string(k * 1500 + 500) + ", 1, 4, 0, 0, 0, 2, 2,0,0, 0\r\n";
  }
  t += "[codici]\r\n[fine]\r\n";
  return compila(l, t);
}

modello percorso_massimo() {
  const auto testi = banco::percorso_massimo();
  return compila(testi.linea, testi.treno);
}

struct percorso_di_prova {
  const char* nome;
  modello (*crea)();
};
void PrintTo(const percorso_di_prova& p, std::ostream* uscita) { *uscita << p.nome; }

const std::array<percorso_di_prova, 3> kPercorsi{
    {{"embedded", incorporato}, {"130 km", percorso_130_km}, {"largest", percorso_massimo}}};

// ------------------------------------------------------------------ checks

// No two boxes of one band and row overlap (with the gap between them).
void controlla_caselle(const std::vector<casella>& c, const std::string& dove) {
  for (std::size_t i = 0; i < c.size(); ++i) {
    for (std::size_t j = i + 1; j < c.size(); ++j) {
      if (c[i].fascia != c[j].fascia || c[i].riga != c[j].riga) continue;
      EXPECT_TRUE(c[i].x1 + kSpazioEtichette <= c[j].x0 || c[j].x1 + kSpazioEtichette <= c[i].x0)
          << dove << ": boxes " << i << " and " << j << " overlap in row " << c[i].riga;
    }
  }
}

class DisposizioneProva : public ::testing::TestWithParam<percorso_di_prova> {};

TEST_P(DisposizioneProva, LabelBoxesNeverOverlapAtAnyScaleOfThePagesOrTheViewer) {
  const modello m = GetParam().crea();
  const disposizione d = disponi(m);
  ASSERT_FALSE(d.etichette.empty());
  std::vector<double> scale = scale_dettaglio(d, 400);
  scale.push_back(d.fine_striscia / 1048.0);  // a page of the whole route
  for (double s : scale) {
    const auto righe = posiziona_etichette(d, s, 0, d.fine_striscia);
    const auto c = caselle(d, righe, s, 0);
    controlla_caselle(c, std::string(GetParam().nome) + " at " + std::to_string(s) + " m/unit");
    // Each label shows within its band's rows; at the cells' scale all do
    // (none of these routes has two labels of one band on one cell).
    for (int r : righe) EXPECT_LT(r, 10);
    if (s == scale[scale.size() - 2]) {
      const auto nascoste = etichette_nascoste(d, righe, 0, d.fine_striscia);
      EXPECT_EQ(nascoste[static_cast<std::size_t>(fascia_etichette::stazioni)], 0);
    }
  }
}

TEST_P(DisposizioneProva, ThePlanIsThinnedToLevelsThatKeepWithinTheirTolerance) {
  const modello m = GetParam().crea();
  const disposizione d = disponi(m);
  ASSERT_FALSE(d.pianta.empty());
  std::size_t precedente = SIZE_MAX;
  for (const livello_pianta& l : d.pianta) {
    EXPECT_LT(l.punti(), precedente) << "tolerance " << l.tolleranza;
    precedente = l.punti();
    // Every metre of the plan lies within the tolerance of its level's line.
    for (std::size_t metro = 0; metro + 2 < m.tracciato[0].size(); metro += 9973) {
      const double x = m.tracciato[0][metro].valore;
      const double y = m.tracciato[1][metro].valore;
      double vicino = 1e300;
      for (const auto& t : l.tratti) {
        for (std::size_t k = 0; k + 1 < t.size(); ++k) {
          const double dx = t[k + 1].x - t[k].x;
          const double dy = t[k + 1].y - t[k].y;
          const double l2 = std::max(dx * dx + dy * dy, 1e-12);
          const double f = std::clamp(((x - t[k].x) * dx + (y - t[k].y) * dy) / l2, 0.0, 1.0);
          vicino = std::min(vicino, std::hypot(x - t[k].x - f * dx, y - t[k].y - f * dy));
        }
      }
      EXPECT_LE(vicino, l.tolleranza + 1e-6) << "metre " << metro;
    }
  }
  // On the finest level a metre is found within a couple of metres.
  for (std::size_t metro = 0; metro + 2 < m.tracciato[0].size(); metro += 997) {
    const auto p = punto_al_metro(d.pianta.front(), static_cast<double>(metro));
    ASSERT_TRUE(p.has_value());
    EXPECT_LT(std::hypot(p->x - m.tracciato[0][metro].valore, p->y - m.tracciato[1][metro].valore),
              3.0)
        << "metre " << metro;
  }
  EXPECT_LE(d.pianta.back().punti(), 400U);
  EXPECT_LT(d.pianta.front().punti(), m.tracciato[0].size() / 4);
}

INSTANTIATE_TEST_SUITE_P(Percorsi, DisposizioneProva, ::testing::ValuesIn(kPercorsi),
                         [](const auto& i) {
                           std::string n = i.param.nome;
                           n.erase(std::remove(n.begin(), n.end(), ' '), n.end());
                           return n;
                         });

TEST(Disposizione, CrowdedLabelsAreThinnedEvenlyAndCounted) {
  disposizione d;
  d.fine_striscia = 100'000;
  for (int k = 0; k < 100; ++k) {
    d.etichette.push_back({fascia_etichette::segnali, "12.50", k * 1000.0, 25, k});
  }
  // 1 000 m a unit: the labels stand one unit apart and are 25 wide.
  const auto righe = posiziona_etichette(d, 1000, 0, d.fine_striscia);
  controlla_caselle(caselle(d, righe, 1000, 0), "crowded");
  const int mostrate =
      static_cast<int>(std::count_if(righe.begin(), righe.end(), [](int r) { return r >= 0; }));
  EXPECT_GE(mostrate, 4);
  EXPECT_LT(mostrate, 20);
  const auto nascoste = etichette_nascoste(d, righe, 0, d.fine_striscia);
  EXPECT_EQ(nascoste[static_cast<std::size_t>(fascia_etichette::segnali)], 100 - mostrate);
  EXPECT_EQ(avviso_nascoste(fascia_etichette::segnali, 12),
            "12 signal labels not shown at this scale");
  EXPECT_EQ(avviso_nascoste(fascia_etichette::stazioni, 1),
            "1 station label not shown at this scale");
  EXPECT_EQ(avviso_nascoste(fascia_etichette::stazioni, 0), std::nullopt);
  // The kept ones spread over the whole line, not bunched at one end.
  int prima_meta = 0;
  for (std::size_t k = 0; k < 50; ++k) prima_meta += righe[k] >= 0 ? 1 : 0;
  EXPECT_NEAR(prima_meta, mostrate / 2.0, 2);
}

TEST(Disposizione, StepsAreMergedIntoColumnsThatKeepTheirRange) {
  const std::vector<gradino> g{{0, 50, 1, 1},     {50, 100, 5, 5},    {100, 150, -3, -3},
                               {150, 5000, 2, 2}, {5000, 5050, 9, 9}, {5050, 5100, 0, 0}};
  const auto s = sfoltisci(g, 200, 0, 6000);
  ASSERT_EQ(s.size(), 3U);
  EXPECT_EQ(s[0].da, 0);
  EXPECT_EQ(s[0].a, 150);
  EXPECT_EQ(s[0].minimo, -3);
  EXPECT_EQ(s[0].massimo, 5);
  EXPECT_EQ(s[1].da, 150);  // the long run stays whole
  EXPECT_EQ(s[1].a, 5000);
  EXPECT_EQ(s[1].minimo, 2);
  EXPECT_EQ(s[1].massimo, 2);
  EXPECT_EQ(s[2].da, 5000);
  EXPECT_EQ(s[2].a, 5100);
  EXPECT_EQ(s[2].minimo, 0);
  EXPECT_EQ(s[2].massimo, 9);
  // At a fine scale nothing merges.
  EXPECT_EQ(sfoltisci(g, 10, 0, 6000).size(), g.size());
}

// ------------------------------------------------------------------ plot pages

struct scatola {
  double x0, y0, x1, y1;
};

// The boxes a pattern finds in a page: its four numbers, in the order the
// pattern's groups give x0, y0, x1 and y1.
std::vector<scatola> scatole(const std::string& svg, const std::string& modello,
                             std::array<std::size_t, 4> gruppi) {
  std::vector<scatola> s;
  const std::regex r(modello);
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), r); it != std::sregex_iterator();
       ++it) {
    const auto& m = *it;
    s.push_back({std::stod(m[gruppi[0]]), std::stod(m[gruppi[1]]), std::stod(m[gruppi[2]]),
                 std::stod(m[gruppi[3]])});
  }
  return s;
}

// The page's profile labels (class="etichetta").
std::vector<scatola> scatole_etichette(const std::string& svg) {
  return scatole(
      svg,
      R"re(class="etichetta"[^>]*data-x0="([-0-9.]+)" data-x1="([-0-9.]+)" data-y0="([-0-9.]+)" data-y1="([-0-9.]+)")re",
      {1, 3, 2, 4});
}

// The plan's names (class="etichetta-pianta").
std::vector<scatola> scatole_pianta(const std::string& svg) {
  return scatole(
      svg,
      R"re(class="etichetta-pianta"[^>]*data-x0="([-0-9.]+)" data-y0="([-0-9.]+)" data-x1="([-0-9.]+)" data-y1="([-0-9.]+)")re",
      {1, 2, 3, 4});
}

// The plan box's own writing: title, compass, scale, end word.
std::vector<scatola> scatole_cornice(const std::string& svg) {
  return scatole(svg, R"re(data-ingombro="([-0-9.]+) ([-0-9.]+) ([-0-9.]+) ([-0-9.]+)")re",
                 {1, 2, 3, 4});
}

bool si_toccano(const scatola& a, const scatola& b) {
  return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// Whether the segment from (x0, y0) to (x1, y1) crosses the inside of the box,
// by sampling it finely (a unit of the page is far below a name's height).
bool attraversa(const scatola& b, double x0, double y0, double x1, double y1) {
  const int passi = 1 + static_cast<int>(std::hypot(x1 - x0, y1 - y0) * 4);
  for (int k = 0; k <= passi; ++k) {
    const double f = static_cast<double>(k) / passi;
    const double x = x0 + (x1 - x0) * f;
    const double y = y0 + (y1 - y0) * f;
    if (b.x0 + 0.01 < x && x < b.x1 - 0.01 && b.y0 + 0.01 < y && y < b.y1 - 0.01) return true;
  }
  return false;
}

double attributo(const std::string& svg, const std::string& id, const std::string& nome) {
  const auto g = svg.find("id=\"" + id + "\"");
  if (g == std::string::npos) return NAN;
  const auto a = svg.find(nome + "=\"", g);
  return std::stod(svg.substr(a + nome.size() + 2));
}

class PagineProva : public ::testing::TestWithParam<percorso_di_prova> {};

TEST_P(PagineProva, EveryPageReadsCleanly) {
  const modello m = GetParam().crea();
  const disposizione d = disponi(m);
  const auto pagine = pagine_svg(d, std::nullopt);
  for (const pagina_svg& p : pagine) {
    SCOPED_TRACE(std::string(GetParam().nome) + ", page " + std::to_string(p.numero));
    // No two label boxes of the page overlap, whatever their bands.
    const auto s = scatole_etichette(p.svg);
    for (std::size_t i = 0; i < s.size(); ++i) {
      for (std::size_t j = i + 1; j < s.size(); ++j) {
        const bool toccano =
            s[i].x0 < s[j].x1 && s[j].x0 < s[i].x1 && s[i].y0 < s[j].y1 && s[j].y0 < s[i].y1;
        EXPECT_FALSE(toccano) << "labels " << i << " and " << j;
      }
    }
    // The plan's names keep clear of each other, of the box's title, compass,
    // scale and end word, and of the line.
    const auto nomi = scatole_pianta(p.svg);
    const auto cornice = scatole_cornice(p.svg);
    EXPECT_GE(cornice.size(), 3U);
    for (std::size_t i = 0; i < nomi.size(); ++i) {
      for (std::size_t j = i + 1; j < nomi.size(); ++j) {
        EXPECT_FALSE(si_toccano(nomi[i], nomi[j])) << "plan names " << i << " and " << j;
      }
      for (const scatola& c : cornice) {
        EXPECT_FALSE(si_toccano(nomi[i], c)) << "plan name " << i << " on the box's writing";
      }
    }
    // The plan fills its box: along one side it spans the box less its margins.
    const double x0 = attributo(p.svg, "pianta", "data-x0");
    const double x1 = attributo(p.svg, "pianta", "data-x1");
    const double y0 = attributo(p.svg, "pianta", "data-y0");
    const double y1 = attributo(p.svg, "pianta", "data-y1");
    // The box's own writing stays inside it, the scale bar's words included.
    for (const scatola& c : cornice) {
      EXPECT_TRUE(x0 <= c.x0 && c.x1 <= x1 && y0 <= c.y0 && c.y1 <= y1)
          << "writing at " << c.x0 << ".." << c.x1 << " x " << c.y0 << ".." << c.y1
          << " outside the plan's box";
    }
    double px0 = 1e9, px1 = -1e9, py0 = 1e9, py1 = -1e9;
    // The line and its dashed part beyond the end of the route.
    for (const std::string id : {"binario", "binario-oltre"}) {
      const auto b = p.svg.find("id=\"" + id + "\" d=\"");
      if (b == std::string::npos) continue;
      const auto inizio = b + id.size() + 10;
      std::istringstream percorso(p.svg.substr(inizio, p.svg.find('"', inizio) - inizio));
      char comando = 0;
      double x = 0, y = 0;
      double xp = 0, yp = 0;
      while (percorso >> comando >> x >> y) {
        if (comando == 'L') {
          for (std::size_t i = 0; i < nomi.size(); ++i) {
            EXPECT_FALSE(attraversa(nomi[i], xp, yp, x, y))
                << "the line crosses plan name " << i << " at " << x << " " << y;
          }
        }
        xp = x;
        yp = y;
        px0 = std::min(px0, x);
        px1 = std::max(px1, x);
        py0 = std::min(py0, y);
        py1 = std::max(py1, y);
      }
    }
    // Nor does a signal's tick across the line.
    const std::regex tacca(
        R"re(class="pianta-segnale"[^>]*>\s*<line x1="([-0-9.]+)" y1="([-0-9.]+)" x2="([-0-9.]+)" y2="([-0-9.]+)")re");
    for (auto it = std::sregex_iterator(p.svg.begin(), p.svg.end(), tacca);
         it != std::sregex_iterator(); ++it) {
      for (std::size_t i = 0; i < nomi.size(); ++i) {
        EXPECT_FALSE(attraversa(nomi[i], std::stod((*it)[1]), std::stod((*it)[2]),
                                std::stod((*it)[3]), std::stod((*it)[4])))
            << "a signal crosses plan name " << i;
      }
    }
    // The box keeps a margin of 18 units on each side.
    const double riempito = std::max((px1 - px0) / (x1 - x0 - 36), (py1 - py0) / (y1 - y0 - 36));
    EXPECT_GT(riempito, 0.97) << "the plan spans " << px1 - px0 << " x " << py1 - py0
                              << " of a box " << x1 - x0 << " x " << y1 - y0;
  }
  // The end of the route is marked on the page that holds it.
  int segnate = 0;
  for (const pagina_svg& p : pagine) {
    if (p.tratto.da <= d.lunghezza && d.lunghezza <= p.tratto.a) {
      EXPECT_NE(
          p.svg.find("id=\"fine-percorso\" data-posizione=\"" + std::to_string(d.lunghezza) + "\""),
          std::string::npos)
          << "page " << p.numero;
      ++segnate;
    }
  }
  EXPECT_GE(segnate, 1);
}

// The largest magnitude of a run of values within the route.
int massimo_nel_percorso(const disposizione& d, const std::vector<gradino>& valori) {
  int m = 0;
  for (const gradino& g : valori) {
    if (g.da < d.fine_percorso()) m = std::max({m, std::abs(g.minimo), std::abs(g.massimo)});
  }
  return m;
}

// How many labels of a kind the page's foot says it left out ("23 board
// labels not shown at this scale"), 0 when it says nothing of them.
int non_mostrate(const std::string& svg, const std::string& plurale) {
  std::smatch m;
  if (!std::regex_search(svg, m, std::regex("([0-9]+) " + plurale + "? not shown at this scale"))) {
    return 0;
  }
  return std::stoi(m[1]);
}

TEST_P(PagineProva, EveryPageIsFilledAndEveryMarkSaysWhatItIs) {
  const modello m = GetParam().crea();
  const disposizione d = disponi(m);
  // The axes show the data: the gradient symmetric about 0 and past the
  // steepest run of the route by less than a step, the speed up to the
  // highest limit likewise.
  const auto scale = scale_curve(d);
  const int limite = massimo_nel_percorso(d, d.velocita);
  EXPECT_GE(scale[0].massimo, limite);
  EXPECT_LT(scale[0].massimo - limite, scale[0].passo);
  const int ripida = massimo_nel_percorso(d, d.pendenza);
  EXPECT_EQ(scale[1].minimo, -scale[1].massimo);
  EXPECT_GE(scale[1].massimo, ripida);
  EXPECT_LT(scale[1].massimo - std::max(ripida, 5), scale[1].passo);
  EXPECT_LE(scale[1].massimo / scale[1].passo, 4) << "grid lines too close to read";
  for (const pagina_svg& p : pagine_svg(d, std::nullopt)) {
    SCOPED_TRACE(std::string(GetParam().nome) + ", page " + std::to_string(p.numero));
    EXPECT_EQ(attributo(p.svg, "pendenza", "data-massimo"), scale[1].massimo);
    // The lanes take the page's height: from the plan's box above them, or
    // from the top of the content when the plan stands beside them, no
    // empty band is left taller than a lane's row.
    const double alto = attributo(p.svg, "profilo", "data-y-alto");
    const bool accanto =
        attributo(p.svg, "pianta", "data-x1") < attributo(p.svg, "profilo", "data-x-iniziale");
    const double libero =
        accanto ? attributo(p.svg, "pianta", "data-y0") : attributo(p.svg, "pianta", "data-y1");
    EXPECT_GE(alto, libero);
    EXPECT_LE(alto - libero, 14);
    // Every speed board of the page is labelled with its speeds, or counted
    // among the board labels the scale leaves out.
    int senza = 0;
    for (std::size_t k = 0; k < d.indicatori.size(); ++k) {
      const int32_t metro = d.indicatori[k].metro;
      if (metro < p.tratto.da || metro > p.tratto.a) continue;
      const std::string oggetto = std::to_string(d.cartelli.size() + k);
      if (p.svg.find("data-fascia=\"cartelli\" data-oggetto=\"" + oggetto + "\"") ==
          std::string::npos) {
        ++senza;
      }
    }
    EXPECT_LE(senza, non_mostrate(p.svg, "board labels"));
    // A legend names every mark and band the profile draws.
    for (const char* voce :
         {"zona di stazione", "segnale", "cartello", "avviso di rallentamento",
          "rallentamento (km/h)", "punto codice", "montagna (tipo)", "fine percorso"}) {
      EXPECT_NE(p.svg.find(std::string("data-voce=\"") + voce + "\""), std::string::npos) << voce;
    }
  }
  // Signals read as kilometres, never as times; speed boards carry their
  // speeds.
  for (const etichetta& e : d.etichette) {
    if (e.fascia == fascia_etichette::segnali) {
      EXPECT_TRUE(std::regex_match(e.testo, std::regex("[0-9]+\\.[0-9]{2} km"))) << e.testo;
    }
    if (e.fascia == fascia_etichette::cartelli && e.oggetto >= std::ssize(d.cartelli)) {
      EXPECT_TRUE(std::regex_match(e.testo, std::regex("A[0-9]+ B[0-9]+ C[0-9]+( \\| .*)?")))
          << e.testo;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Percorsi, PagineProva, ::testing::ValuesIn(kPercorsi), [](const auto& i) {
  std::string n = i.param.nome;
  n.erase(std::remove(n.begin(), n.end(), ' '), n.end());
  return n;
});

// However long a strip (a damaged file of cells could make one of thousands
// of kilometres), one plot writes at most kPagineMassime pages, and says what
// it leaves out.
TEST(Pagine, AStretchBeyondThePageLimitIsDrawnAsFarAsThePagesReach) {
  const tratto_disegnato tutto = entro_le_pagine({0, 1'007'050});
  EXPECT_EQ(tutto.disegnato.a, 1'007'050);
  EXPECT_FALSE(tutto.escluso);
  const tratto_disegnato lungo = entro_le_pagine({2'000, 900'000'000});
  EXPECT_EQ(lungo.disegnato.da, 2'000);
  EXPECT_EQ(lungo.disegnato.a, 5'902'000);
  ASSERT_TRUE(lungo.escluso);
  EXPECT_EQ(lungo.escluso->da, 5'902'000);
  EXPECT_EQ(lungo.escluso->a, 900'000'000);
  // The overview and its pages.
  EXPECT_EQ(1 + tratti_pagine(lungo.disegnato).size(), static_cast<std::size_t>(kPagineMassime));
}

TEST(Pagine, ALongRouteGetsAnOverviewAndPagesOfEqualStretchesThatCoverIt) {
  EXPECT_TRUE(tratti_pagine({0, 64'050}).empty());
  EXPECT_TRUE(tratti_pagine({0, kMetriPerPagina}).empty());
  const auto p = tratti_pagine({0, 1'007'050});
  ASSERT_EQ(p.size(), 11U);
  EXPECT_EQ(p.front().da, 0);
  EXPECT_EQ(p.back().a, 1'007'050);
  for (std::size_t k = 1; k < p.size(); ++k) {
    EXPECT_EQ(p[k].da, p[k - 1].a);
    EXPECT_LE(p[k - 1].a - p[k - 1].da, kMetriPerPagina);
    EXPECT_EQ(std::fmod(p[k - 1].a - p[k - 1].da, 1000), 0);
  }
  EXPECT_EQ(file_pagina("out/route.svg", 0), "out/route.svg");
  EXPECT_EQ(file_pagina("out/route.svg", 3), "out/route-3.svg");
}

// A small page drawn by hand: the header counts in the singular and the
// plural, a board text keeps its spaces, a speed board carries its speeds.
TEST(Pagine, TheHeaderCountsAndTheLabelsKeepTheirText) {
  modello m;
  m.celle.resize(40);
  m.riga(kRigaDatiGenerali).fine = 1'500;
  m.riga(1).nome = "ULMO";
  m.riga(1).posizione = 100;
  m.riga(1).inizio = 50;
  m.riga(1).fine = 150;
  m.riga(2).nome = "(KM.   10)";
  cella& cartello = m.celle[10];
  cartello.evento = kEventoCartello;
  cartello.dato1 = 2;
  cella& indicatore = m.celle[20];
  indicatore.evento = kEventoVelocita;
  indicatore.dato1 = 80 * 20;
  indicatore.dato2 = 90 * 20;
  indicatore.dato3 = 100 * 20 + 12;  // second set: C 60
  m.celle[5].evento = kEventoSegnale;
  m.celle[25].evento = kEventoInizioRallentamento;
  m.celle[25].dato1 = 60;
  m.celle[30].evento = kEventoFineRallentamento;
  for (cella& c : m.celle) c.vel_limite = 20;
  const disposizione d = disponi(m);
  const std::string svg = svg_pagina(d, {0, 2'000});
  EXPECT_NE(svg.find(">1 stazione, 1 segnale, 1 rallentamento, 0 punti codice<"),
            std::string::npos);
  EXPECT_NE(svg.find("xml:space=\"preserve\" font-size=\"7.5\" stroke=\"#fff\" stroke-width=\"3\" "
                     "paint-order=\"stroke\">(KM.   10)</text>"),
            std::string::npos);
  EXPECT_NE(svg.find(">A80 B90 C100 | A0 B0 C60</text>"), std::string::npos);
  EXPECT_NE(svg.find(">0.20 km</text>"), std::string::npos);
}

TEST(Pagine, KilometresAreReadAsAStretch) {
  const auto t = leggi_chilometri("12.5..40");
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(t->da, 12'500);
  EXPECT_EQ(t->a, 40'000);
  for (const char* sbagliato : {"", "12", "40..12", "5..5", "-1..3", "a..b", "1..2..3", "1.."}) {
    EXPECT_FALSE(leggi_chilometri(sbagliato).has_value()) << sbagliato;
  }
}

// plot on the command line: --km draws a stretch, a long route writes its
// pages beside the overview, and a folder with several scenarios lists them.
TEST(Pagine, PlotOnTheCommandLine) {
  prova::cartella_temporanea c;
  const auto m = prova::compila_scenario_incorporato(c.percorso());
  ASSERT_TRUE(m.has_value());
  const auto tratto = prova::strumento(
      {"plot", c.percorso().string(), "--km", "10..20.5", "-o", (c / "tratto.svg").string()});
  ASSERT_EQ(tratto.stato, 0) << tratto.errori;
  EXPECT_EQ(tratto.uscita, (c / "tratto.svg").string() + "\n");
  const std::string svg = prova::leggi(c / "tratto.svg");
  EXPECT_EQ(attributo(svg, "profilo", "data-metro-iniziale"), 10'000);
  EXPECT_EQ(attributo(svg, "profilo", "data-metro-finale"), 20'500);
  EXPECT_NE(svg.find("km 10&#8211;20.5"), std::string::npos);

  EXPECT_EQ(prova::strumento(
                {"plot", c.percorso().string(), "--km", "20..10", "-o", (c / "x.svg").string()})
                .stato,
            strumento::kUscitaUso);
  const auto oltre = prova::strumento(
      {"plot", c.percorso().string(), "--km", "900..950", "-o", (c / "x.svg").string()});
  EXPECT_EQ(oltre.stato, strumento::kUscitaUso);
  EXPECT_EQ(oltre.errori,
            "plot: --km starts at km 900, past the end of the cells at km 64.05; give a stretch "
            "within the route\n");

  // A second scenario in the folder: the names must choose.
  modello altro = *m;
  altro.treno = "77";
  altro.riga(86).nome = "77";
  scrivi_file_compilati(altro, c.percorso());
  const auto due = prova::strumento({"plot", c.percorso().string(), "-o", (c / "x.svg").string()});
  EXPECT_EQ(due.stato, strumento::kUscitaUso);
  EXPECT_EQ(due.errori, "plot: " + c.percorso().string() +
                            " holds 2 scenarios; choose one with --route and --train:\n"
                            "  --route Ulmo_Tarvignano_Rovesco --train 4816\n"
                            "  --route Ulmo_Tarvignano_Rovesco --train 77\n");
  EXPECT_EQ(prova::strumento(
                {"plot", c.percorso().string(), "--train", "77", "-o", (c / "x.svg").string()})
                .stato,
            0);
}

TEST(Pagine, TheLargestRouteIsPlottedAsAnOverviewAndElevenPages) {
  prova::cartella_temporanea c;
  const modello m = percorso_massimo();
  scrivi_file_compilati(m, c.percorso());
  const auto esito =
      prova::strumento({"plot", c.percorso().string(), "-o", (c / "r.svg").string()});
  ASSERT_EQ(esito.stato, 0) << esito.errori;
  std::string attesi = (c / "r.svg").string() + "\n";
  for (int k = 1; k <= 11; ++k) attesi += (c / ("r-" + std::to_string(k) + ".svg")).string() + "\n";
  EXPECT_EQ(esito.uscita, attesi);
  const std::string panoramica = prova::leggi(c / "r.svg");
  EXPECT_NE(panoramica.find("signal labels not shown at this scale"), std::string::npos);
  EXPECT_NE(panoramica.find("class=\"pagina\" data-numero=\"11\""), std::string::npos);
  const std::string quarta = prova::leggi(c / "r-4.svg");
  EXPECT_NE(quarta.find("pagina 4 di 11"), std::string::npos);
  EXPECT_LT(panoramica.size(), 300'000U);
}

}  // namespace
}  // namespace scenario
