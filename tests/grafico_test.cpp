#include "tools/disegno/grafico.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "app/esecuzione.h"
#include "base/file_cartella.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "supporto.h"
#include "tools/comandi/comandi.h"
#include "tools/ispezione/ispeziona.h"
#include "tools/ispezione/significato.h"

namespace scenario {
namespace {

// ------------------------------------------------------------------ a route

struct curva_prova {
  int32_t inizio;
  int32_t lunghezza;
  double kappa;  // > 0 turns right, from north towards east
};

// The plan as the line reader builds it: points 0 and 1 are integers, then a
// step per metre, turned on curves; the last two points stay empty.
void traccia(modello& m, const std::vector<curva_prova>& curve) {
  piano_tracciato& t = m.tracciato;
  const auto x = t[0];
  const auto y = t[1];
  t.posa({tipo_elemento::intero, 0}, {tipo_elemento::intero, 0});
  t.posa({tipo_elemento::intero, 0}, {tipo_elemento::intero, 1});
  for (std::size_t p = 2; p + 2 <= static_cast<std::size_t>(m.lunghezza_estesa); ++p) {
    const double d0 = x[p - 1].valore - x[p - 2].valore;
    const double d1 = y[p - 1].valore - y[p - 2].valore;
    double kappa = 0;
    for (const auto& c : curve) {
      if (static_cast<int32_t>(p) > c.inizio && static_cast<int32_t>(p) <= c.inizio + c.lunghezza) {
        kappa = c.kappa;
      }
    }
    t.posa({tipo_elemento::doppio, x[p - 1].valore + d0 + kappa * d1},
           {tipo_elemento::doppio, y[p - 1].valore + d1 - kappa * d0});
  }
  t.completa();
}

struct stazione_prova {
  int riga;
  const char* nome;
  int32_t posizione;
  int32_t inizio;
  int32_t fine;
  int32_t orario;
};

constexpr std::array<stazione_prova, 4> kStazioni{{
    {1, "ULMO", 0, -300, 300, 6 * 3600 + 46 * 60},
    {2, "TARVIGNANO-LUCERNO", 6000, 5700, 6300, 7 * 3600 + 60 + 30},
    {3, "PONTE \xB0 A & B", 12000, 11850, 12150, 0},
    {4, "ROVESCO", 19500, 19200, 19800, 7 * 3600 + 30 * 60},
}};
constexpr std::array<int32_t, 6> kSegnali{1500, 5000, 7000, 11000, 13000, 18500};

struct rallentamento_prova {
  int32_t x;
  int16_t v;
  int32_t l;
};
constexpr std::array<rallentamento_prova, 2> kRallentamenti{{{8000, 60, 1000}, {14000, 30, 500}}};

int32_t cella_di(int32_t metri) { return metri / 50 + 1; }

// A route of 20 km with four stations, six signals, two slowdowns, code
// points, a montagna stretch and changing speed, gradient and adhesion.
modello modello_di_linea() {
  modello m;
  m.percorso = "Prova";
  m.treno = "77";
  m.crea_tracciato = 1;
  dimensiona(m, 20'000);
  traccia(m, {{3000, 1000, 0.001}, {9000, 1500, -0.002}, {15000, 800, 0.0004}});
  m.riga(84).fine = 20'000;
  m.riga(85).nome = m.percorso;
  m.riga(86).nome = m.treno;
  for (const auto& s : kStazioni) {
    voce& v = m.riga(s.riga);
    v.tipo = 8;
    v.nome = s.nome;
    v.posizione = s.posizione;
    v.inizio = s.inizio;
    v.fine = s.fine;
    v.orario = s.orario;
    m.cella_a(s.fine / 50 - 1) = {.evento = 10, .dato1 = static_cast<int16_t>(s.riga)};
  }
  for (int32_t p : kSegnali) {
    m.cella_a(cella_di(p)) = {.evento = 1, .dato1 = 42, .dato4 = 5};
    m.cella_a(cella_di(p) - 3) = {.evento = 12, .dato1 = 180};
  }
  for (const auto& r : kRallentamenti) {
    m.cella_a(cella_di(r.x - 1200)) = {.evento = 4, .dato1 = r.v};
    m.cella_a(cella_di(r.x)) = {.evento = 3, .dato1 = r.v};
    m.cella_a(cella_di(r.x + r.l)) = {.evento = 2, .dato1 = r.v};
  }
  for (int32_t c = 0; c <= m.ultima_cella; ++c) {
    cella& x = m.cella_a(c);
    x.vel_limite = c < 100 ? 20 : c < 300 ? 24 : 18;
    x.pendenza = static_cast<uint8_t>(100 + (c < 80 ? -12 : c < 200 ? 8 : c < 320 ? 25 : -5));
    x.aderenza = c >= 250 && c < 300 ? 80 : 100;
    if (c >= 200 && c < 260) {
      x.montagna = 2;
      if (x.evento == 0 && (c - 200) % 4 == 3) x.evento = 11;
    }
  }
  return m;
}

// ------------------------------------------------------------------ reading the page

struct nodo {
  std::string nome;
  std::map<std::string, std::string> attributi;
  int padre = -1;
  std::string testo;

  std::string attributo(const std::string& a) const {
    auto i = attributi.find(a);
    return i == attributi.end() ? std::string() : i->second;
  }
  double numero(const std::string& a) const { return std::stod(attributo(a)); }
};

struct documento {
  std::vector<nodo> nodi;
  std::string errore;  // empty when the page is well-formed

  std::vector<int> con_classe(const std::string& classe) const {
    std::vector<int> trovati;
    for (std::size_t k = 0; k < nodi.size(); ++k) {
      if (nodi[k].attributo("class") == classe) trovati.push_back(static_cast<int>(k));
    }
    return trovati;
  }
  const nodo* con_id(const std::string& id) const {
    for (const auto& x : nodi) {
      if (x.attributo("id") == id) return &x;
    }
    return nullptr;
  }
  bool discende_da(std::size_t k, int antenato) const {
    for (int p = nodi[k].padre; p >= 0; p = nodi[static_cast<std::size_t>(p)].padre) {
      if (p == antenato) return true;
    }
    return false;
  }
  // The first element named `nome` inside element `antenato`, in document order.
  int indice_primo(int antenato, const std::string& nome) const {
    for (std::size_t k = static_cast<std::size_t>(antenato) + 1; k < nodi.size(); ++k) {
      if (nodi[k].nome == nome && discende_da(k, antenato)) return static_cast<int>(k);
    }
    throw std::runtime_error("no <" + nome + "> inside element " + std::to_string(antenato));
  }
  const nodo& primo(int antenato, const std::string& nome) const {
    return nodi[static_cast<std::size_t>(indice_primo(antenato, nome))];
  }
  // The text of an element and everything inside it.
  std::string testo(int k) const {
    std::string t = nodi[static_cast<std::size_t>(k)].testo;
    for (std::size_t j = static_cast<std::size_t>(k) + 1; j < nodi.size(); ++j) {
      if (discende_da(j, k)) t += nodi[j].testo;
    }
    return t;
  }
};

struct stato_analisi {
  documento d;
  std::vector<int> aperti;
};

void XMLCALL apri_elemento(void* dati, const XML_Char* nome, const XML_Char** attributi) {
  auto& s = *static_cast<stato_analisi*>(dati);
  nodo x;
  x.nome = nome;
  x.padre = s.aperti.empty() ? -1 : s.aperti.back();
  for (const XML_Char** a = attributi; *a != nullptr; a += 2) x.attributi[a[0]] = a[1];
  s.d.nodi.push_back(std::move(x));
  s.aperti.push_back(static_cast<int>(s.d.nodi.size() - 1));
}

void XMLCALL chiudi_elemento(void* dati, const XML_Char*) {
  static_cast<stato_analisi*>(dati)->aperti.pop_back();
}

void XMLCALL caratteri(void* dati, const XML_Char* testo, int lunghezza) {
  auto& s = *static_cast<stato_analisi*>(dati);
  if (!s.aperti.empty()) {
    s.d.nodi[static_cast<std::size_t>(s.aperti.back())].testo.append(
        testo, static_cast<std::size_t>(lunghezza));
  }
}

documento analizza(const std::string& xml) {
  stato_analisi s;
  XML_Parser p = XML_ParserCreate("UTF-8");
  XML_SetUserData(p, &s);
  XML_SetElementHandler(p, apri_elemento, chiudi_elemento);
  XML_SetCharacterDataHandler(p, caratteri);
  if (XML_Parse(p, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_ERROR) {
    s.d.errore = std::string(XML_ErrorString(XML_GetErrorCode(p))) + " at line " +
                 std::to_string(XML_GetCurrentLineNumber(p));
  }
  XML_ParserFree(p);
  return std::move(s.d);
}

// The profile's own mapping from metres to x, as its group states it.
struct asse_letto {
  double m0, m1, x0, x1;
  double x(double metri) const { return x0 + (metri - m0) * (x1 - x0) / (m1 - m0); }
};

asse_letto asse_di(const documento& d) {
  const nodo* p = d.con_id("profilo");
  if (p == nullptr) throw std::runtime_error("no profile group");
  return {p->numero("data-metro-iniziale"), p->numero("data-metro-finale"),
          p->numero("data-x-iniziale"), p->numero("data-x-finale")};
}

// ------------------------------------------------------------------ tests

class GraficoProva : public ::testing::Test {
 protected:
  void SetUp() override { scrivi_file_compilati(m_, cartella_.percorso()); }

  std::string plot(int stato_atteso = 0) {
    std::ostringstream errori, elenco;
    const auto uscita = cartella_ / "pagina.svg";
    richiesta_plot r;
    r.cartella = cartella_.percorso();
    r.percorso = "Prova";
    r.treno = "77";
    r.uscita = uscita;
    EXPECT_EQ(comando_plot(r, strumento::kUscitaUso, elenco, errori), stato_atteso) << errori.str();
    errori_ = errori.str();
    return stato_atteso == 0 ? prova::leggi(uscita) : std::string();
  }

  const modello m_ = modello_di_linea();
  prova::cartella_temporanea cartella_;
  std::string errori_;
};

TEST_F(GraficoProva, ThePageIsWellFormedXmlOfAnA4LandscapeSheet) {
  const documento d = analizza(plot());
  ASSERT_EQ(d.errore, "");
  ASSERT_FALSE(d.nodi.empty());
  EXPECT_EQ(d.nodi[0].nome, "svg");
  EXPECT_EQ(d.nodi[0].attributo("xmlns"), "http://www.w3.org/2000/svg");
  EXPECT_EQ(d.nodi[0].attributo("width"), "297mm");
  EXPECT_EQ(d.nodi[0].attributo("height"), "210mm");
  ASSERT_NE(d.con_id("pianta"), nullptr);
  ASSERT_NE(d.con_id("profilo"), nullptr);
  const asse_letto a = asse_di(d);
  // The axis runs to the end of the cells, 7 000 m past the end of the route,
  // and the end of the route is marked on it.
  EXPECT_EQ(a.m0, 0);
  EXPECT_EQ(a.m1, 50.0 * static_cast<double>(m_.celle.size()));
  ASSERT_NE(d.con_id("fine-percorso"), nullptr);
  EXPECT_EQ(d.con_id("fine-percorso")->numero("data-posizione"), 20'000);
  ASSERT_NE(d.con_id("fine-pianta"), nullptr);
  EXPECT_EQ(d.con_id("fine-pianta")->numero("data-posizione"), 20'000);
}

TEST_F(GraficoProva, StationsStandAtTheirZonesWithNamesAndTimes) {
  const documento d = analizza(plot());
  ASSERT_EQ(d.errore, "");
  const asse_letto a = asse_di(d);
  const auto stazioni = d.con_classe("stazione");
  ASSERT_EQ(stazioni.size(), kStazioni.size());
  const std::array<std::string, 4> nomi_utf8{"ULMO", "TARVIGNANO-LUCERNO", "PONTE \xC2\xB0 A & B",
                                             "ROVESCO"};
  const std::array<std::string, 4> orari{"06:46", "07:01:30", "", "07:30"};
  for (std::size_t k = 0; k < stazioni.size(); ++k) {
    SCOPED_TRACE(nomi_utf8[k]);
    const nodo& g = d.nodi[static_cast<std::size_t>(stazioni[k])];
    EXPECT_EQ(g.attributo("data-nome"), nomi_utf8[k]);
    EXPECT_EQ(g.numero("data-posizione"), kStazioni[k].posizione);
    EXPECT_EQ(g.numero("data-inizio"), kStazioni[k].inizio);
    EXPECT_EQ(g.numero("data-fine"), kStazioni[k].fine);
    EXPECT_NEAR(d.primo(stazioni[k], "line").numero("x1"), a.x(kStazioni[k].posizione), 0.06);
    // The zone, clipped to the axis at the start of the route.
    const nodo& zona = d.primo(stazioni[k], "rect");
    const double inizio = std::max(0, kStazioni[k].inizio);
    EXPECT_NEAR(zona.numero("x"), a.x(inizio), 0.06);
    EXPECT_NEAR(zona.numero("width"), a.x(kStazioni[k].fine) - a.x(inizio), 0.11);
    // Its label, in a row of the names' band, with its leader at the station.
    std::string etichetta;
    for (int e : d.con_classe("etichetta")) {
      const nodo& g_e = d.nodi[static_cast<std::size_t>(e)];
      if (g_e.attributo("data-fascia") == "stazioni" &&
          g_e.numero("data-oggetto") == static_cast<double>(k)) {
        etichetta = d.testo(e);
        EXPECT_NEAR(g_e.numero("data-x0"), a.x(kStazioni[k].posizione), 0.06);
      }
    }
    EXPECT_NE(etichetta.find(nomi_utf8[k]), std::string::npos) << etichetta;
    if (!orari[k].empty()) {
      EXPECT_NE(etichetta.find(orari[k]), std::string::npos) << etichetta;
    }
  }
}

TEST_F(GraficoProva, SignalsSlowdownsAndCodePointsStandAtTheirMetres) {
  const documento d = analizza(plot());
  ASSERT_EQ(d.errore, "");
  const asse_letto a = asse_di(d);

  const auto segnali = d.con_classe("segnale");
  ASSERT_EQ(segnali.size(), kSegnali.size());
  for (std::size_t k = 0; k < segnali.size(); ++k) {
    const nodo& g = d.nodi[static_cast<std::size_t>(segnali[k])];
    EXPECT_EQ(g.numero("data-posizione"), kSegnali[k]);
    EXPECT_NEAR(d.primo(segnali[k], "line").numero("x1"), a.x(kSegnali[k]), 0.06);
  }

  const auto rallentamenti = d.con_classe("rallentamento");
  ASSERT_EQ(rallentamenti.size(), kRallentamenti.size());
  for (std::size_t k = 0; k < rallentamenti.size(); ++k) {
    const auto& r = kRallentamenti[k];
    const nodo& g = d.nodi[static_cast<std::size_t>(rallentamenti[k])];
    EXPECT_EQ(g.numero("data-inizio"), r.x);
    EXPECT_EQ(g.numero("data-fine"), r.x + r.l);
    EXPECT_EQ(g.numero("data-velocita"), r.v);
    EXPECT_EQ(g.numero("data-avviso"), r.x - 1200);
    const nodo& barra = d.primo(rallentamenti[k], "rect");
    EXPECT_NEAR(barra.numero("x"), a.x(r.x), 0.06);
    EXPECT_NEAR(barra.numero("width"), a.x(r.x + r.l) - a.x(r.x), 0.11);
  }
  EXPECT_EQ(d.con_classe("avviso-rallentamento").size(), kRallentamenti.size());

  const auto punti = d.con_classe("punto-codice");
  ASSERT_EQ(punti.size(), kSegnali.size());
  EXPECT_EQ(d.nodi[static_cast<std::size_t>(punti[0])].numero("data-codice"), 180);
  EXPECT_EQ(d.nodi[static_cast<std::size_t>(punti[0])].numero("data-cella"), cella_di(1500) - 3);

  const auto montagne = d.con_classe("montagna");
  ASSERT_EQ(montagne.size(), 1U);
  EXPECT_EQ(d.nodi[static_cast<std::size_t>(montagne[0])].numero("data-inizio"), 10'000);
  EXPECT_EQ(d.nodi[static_cast<std::size_t>(montagne[0])].numero("data-fine"), 13'000);
  EXPECT_EQ(d.nodi[static_cast<std::size_t>(montagne[0])].numero("data-tipo"), 2);
}

TEST_F(GraficoProva, ThePlanFitsItsBoxWithNorthUpAndEqualScales) {
  const documento d = analizza(plot());
  ASSERT_EQ(d.errore, "");
  const auto stazioni = d.con_classe("pianta-stazione");
  ASSERT_EQ(stazioni.size(), kStazioni.size());
  EXPECT_EQ(d.con_classe("pianta-segnale").size(), kSegnali.size());
  const nodo* scatola = d.con_id("pianta");
  ASSERT_NE(scatola, nullptr);
  std::vector<std::array<double, 2>> pagina, piano;
  for (std::size_t k = 0; k < stazioni.size(); ++k) {
    const nodo& cerchio = d.primo(stazioni[k], "circle");
    pagina.push_back({cerchio.numero("cx"), cerchio.numero("cy")});
    const auto p = static_cast<std::size_t>(std::max(0, kStazioni[k].posizione));
    piano.push_back({m_.tracciato[0][p].valore, m_.tracciato[1][p].valore});
    EXPECT_GE(pagina.back()[0], scatola->numero("data-x0"));
    EXPECT_LE(pagina.back()[0], scatola->numero("data-x1"));
    EXPECT_GE(pagina.back()[1], scatola->numero("data-y0"));
    EXPECT_LE(pagina.back()[1], scatola->numero("data-y1"));
  }
  // From ULMO the line runs north, then east after the right-hand curve:
  // further on is higher on the page (smaller y) and to the right.
  EXPECT_LT(pagina[1][1], pagina[0][1]);
  EXPECT_GT(pagina[1][0], pagina[0][0]);
  // One scale for both coordinates, y flipped.
  for (std::size_t k = 1; k < pagina.size(); ++k) {
    const double sx = (pagina[k][0] - pagina[0][0]) / (piano[k][0] - piano[0][0]);
    const double sy = -(pagina[k][1] - pagina[0][1]) / (piano[k][1] - piano[0][1]);
    EXPECT_NEAR(sx / sy, 1.0, 0.01) << k;
  }
}

TEST_F(GraficoProva, WithoutThePlanFileTheProfileStandsAlone) {
  std::filesystem::remove(cartella_ / "Prova_linea.dat");
  const std::string svg = plot();
  const documento d = analizza(svg);
  ASSERT_EQ(d.errore, "");
  EXPECT_NE(svg.find("pianta non disponibile"), std::string::npos);
  EXPECT_TRUE(d.con_classe("pianta-stazione").empty());
  EXPECT_EQ(d.con_classe("stazione").size(), kStazioni.size());
}

TEST_F(GraficoProva, AMissingOrDamagedFileIsNamed) {
  std::filesystem::remove(cartella_ / "Prova_77.dat");
  plot(uscita_file_system);
  EXPECT_NE(errori_.find("Prova_77.dat"), std::string::npos) << errori_;
  EXPECT_FALSE(std::filesystem::exists(cartella_ / "pagina.svg"));

  prova::scrivi(cartella_ / "Prova_77.dat", std::string(16, '\0'));
  plot(kUscitaFileNonConforme);
  EXPECT_NE(errori_.find("Prova_77.dat: the size 16 bytes"), std::string::npos) << errori_;
}

TEST_F(GraficoProva, ScenarioToolPlotWritesThePage) {
  auto strumento = [](std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), "scenario-tool");
    std::ostringstream uscita, errori;
    return strumento::esegui_strumento(argomenti, uscita, errori);
  };
  const auto pagina = cartella_ / "dal-comando.svg";
  ASSERT_EQ(strumento({"plot", cartella_.percorso().string(), "--route", "Prova", "--train", "77",
                       "-o", pagina.string()}),
            0);
  const documento d = analizza(prova::leggi(pagina));
  EXPECT_EQ(d.errore, "");
  EXPECT_EQ(d.con_classe("stazione").size(), kStazioni.size());
  // Without names the folder's only scenario is drawn.
  std::filesystem::remove(pagina);
  EXPECT_EQ(strumento({"plot", cartella_.percorso().string(), "-o", pagina.string()}), 0);
  EXPECT_EQ(analizza(prova::leggi(pagina)).con_classe("stazione").size(), kStazioni.size());
  // Names that match nothing in the folder name files that are not there.
  EXPECT_EQ(strumento({"plot", cartella_.percorso().string(), "--route", "Altro", "--train", "1",
                       "-o", pagina.string()}),
            uscita_file_system);
  EXPECT_EQ(strumento({"plot", cartella_.percorso().string()}), strumento::kUscitaUso);
  EXPECT_EQ(strumento({"plot", cartella_.percorso().string(), "--route", "../Prova", "-o",
                       pagina.string()}),
            strumento::kUscitaUso);
}

TEST_F(GraficoProva, ThePageRendersToPng) {
  const std::filesystem::path rsvg = "/usr/bin/rsvg-convert";
  if (!std::filesystem::exists(rsvg)) GTEST_SKIP() << "rsvg-convert is not installed";
  plot();
  const auto esito =
      prova::esegui({rsvg.string(), "-o", "pagina.png", "pagina.svg"}, cartella_.percorso());
  ASSERT_EQ(esito.stato, 0) << esito.errori;
  const std::string png = prova::leggi(cartella_ / "pagina.png");
  ASSERT_GT(png.size(), 8U);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
}

TEST(GraficoScenarioIncorporato, NineStationsSixteenSignalsAndTwoSlowdownsInTheirPlaces) {
  prova::cartella_temporanea cartella;
  const auto m = prova::compila_scenario_incorporato(cartella.percorso());
  ASSERT_TRUE(m.has_value());
  ASSERT_FALSE(m->riga(1).nome.empty());
  std::ostringstream errori, elenco;
  richiesta_plot r;
  r.cartella = cartella.percorso();
  r.uscita = cartella / "pagina.svg";
  ASSERT_EQ(comando_plot(r, strumento::kUscitaUso, elenco, errori), 0) << errori.str();
  EXPECT_EQ(elenco.str(), testo_file(cartella / "pagina.svg") + "\n");
  const documento d = analizza(prova::leggi(cartella / "pagina.svg"));
  ASSERT_EQ(d.errore, "");
  const asse_letto a = asse_di(d);

  const auto stazioni = d.con_classe("stazione");
  ASSERT_EQ(stazioni.size(), 9U);
  for (std::size_t k = 0; k < stazioni.size(); ++k) {
    const voce& v = m->riga(static_cast<int>(k) + 1);
    const nodo& g = d.nodi[static_cast<std::size_t>(stazioni[k])];
    EXPECT_EQ(g.numero("data-posizione"), v.posizione) << k;
    EXPECT_NEAR(d.primo(stazioni[k], "line").numero("x1"), a.x(v.posizione), 0.06) << k;
  }
  std::vector<int32_t> celle_segnali;
  for (int32_t c = 0; c <= m->ultima_cella; ++c) {
    if (m->cella_a(c).evento == 1) celle_segnali.push_back(c);
  }
  const auto segnali = d.con_classe("segnale");
  ASSERT_EQ(segnali.size(), 16U);
  ASSERT_EQ(celle_segnali.size(), 16U);
  for (std::size_t k = 0; k < segnali.size(); ++k) {
    const nodo& g = d.nodi[static_cast<std::size_t>(segnali[k])];
    EXPECT_EQ(g.numero("data-cella"), celle_segnali[k]);
    EXPECT_NEAR(d.primo(segnali[k], "line").numero("x1"), a.x(metri_oggetto(celle_segnali[k])),
                0.06);
  }
  const auto rallentamenti = d.con_classe("rallentamento");
  ASSERT_EQ(rallentamenti.size(), 2U);
  for (int k : rallentamenti) {
    const nodo& g = d.nodi[static_cast<std::size_t>(k)];
    EXPECT_EQ(m->cella_a(static_cast<int32_t>(g.numero("data-inizio")) / 50 + 1).evento, 3);
    EXPECT_EQ(m->cella_a(static_cast<int32_t>(g.numero("data-fine")) / 50 + 1).evento, 2);
  }
}

}  // namespace
}  // namespace scenario
