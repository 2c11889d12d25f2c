#include "tools/disegno/vista.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>

#include "base/codici_errore.h"
#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "output/compilazione.h"
#include "scenario/identita.h"
#include "tools/disegno/disposizione.h"
#include "tools/disegno/grafico.h"
#include "tools/disegno/vista_risorse.h"
#include "tools/disegno/vista_sorgenti.h"
#include "tools/ispezione/dump.h"
#include "tools/ispezione/ispeziona.h"
#include "tools/ispezione/significato.h"
#include "tools/osservazione/lettura_osservata.h"

namespace scenario {
namespace {

// The viewer's labels are placed for a plot this many pixels wide showing
// the whole strip, and at every half of that scale down to single cells.
constexpr double kPixelInteri = 400;

// ------------------------------------------------------------------ runs
// A value per cell stored as runs: [first cell, value] (or [first cell,
// value, step] for a number that grows by `step` a cell), or [first cell]
// where the cell has no such value.

class colonna {
 public:
  void metti(int64_t cella, const json_ordinato& valore) {
    if (!corsa_.empty() && !assente_ && ultima_ == cella - 1 && continua(valore)) {
      ++lunghezza_;
      ultima_ = cella;
      return;
    }
    chiudi();
    if (!vista_ && cella > 0) corse_.push_back(json_ordinato::array({0}));
    corsa_ = json_ordinato::array({cella, valore});
    primo_ = valore;
    passo_.reset();
    lunghezza_ = 1;
    assente_ = false;
    ultima_ = cella;
    vista_ = true;
  }
  // A cell without this value, after cells with it.
  void manca(int64_t cella) {
    if (!vista_ || assente_ || ultima_ != cella - 1) return;
    chiudi();
    corsa_ = json_ordinato::array({cella});
    passo_.reset();
    assente_ = true;
    ultima_ = cella;
  }
  void segui(int64_t cella) {
    if (assente_) ultima_ = cella;
  }
  json_ordinato fine() {
    chiudi();
    return std::move(corse_);
  }

 private:
  bool continua(const json_ordinato& valore) {
    if (valore.is_number_integer() && primo_.is_number_integer()) {
      const auto v = valore.get<int64_t>();
      const auto v0 = primo_.get<int64_t>();
      if (!passo_) {
        passo_ = v - v0;
        return true;
      }
      return v == v0 + *passo_ * lunghezza_;
    }
    return valore == primo_;
  }
  void chiudi() {
    if (corsa_.empty()) return;
    if (passo_ && *passo_ != 0) corsa_.push_back(*passo_);
    corse_.push_back(std::move(corsa_));
    corsa_ = json_ordinato();
  }

  json_ordinato corse_ = json_ordinato::array();
  json_ordinato corsa_;
  json_ordinato primo_;
  std::optional<int64_t> passo_;
  int64_t lunghezza_ = 0;
  int64_t ultima_ = -1;
  bool assente_ = false;
  bool vista_ = false;
};

// Every leaf of a JSON value with its dotted path ("significato.segnale.s.0").
void foglie(const json_ordinato& j, const std::string& percorso,
            std::vector<std::pair<std::string, const json_ordinato*>>& uscita) {
  if (j.is_object()) {
    for (const auto& [chiave, valore] : j.items()) {
      std::string sotto = percorso;
      if (!sotto.empty()) sotto += '.';
      sotto += chiave;
      foglie(valore, sotto, uscita);
    }
  } else if (j.is_array()) {
    for (std::size_t k = 0; k < j.size(); ++k) {
      foglie(j[k], percorso + "." + std::to_string(k), uscita);
    }
  } else {
    uscita.emplace_back(percorso, &j);
  }
}

// The cells as `dump` decodes them, plus any extra values per cell, as
// columns of runs in the order their paths first appear.
json_ordinato colonne_celle(const modello& m,
                            const std::map<std::string, std::vector<std::string>>& extra) {
  std::vector<std::string> ordine;
  std::map<std::string, colonna> colonne;
  // One cell's JSON at a time (some 2 kB each): the columns keep only runs.
  for (std::size_t c = 0; c < m.celle.size(); ++c) {
    const auto cella_n = static_cast<int64_t>(c);
    const json_ordinato cella_json = json_cella(m.celle[c], static_cast<int32_t>(c), &m.tabella);
    std::vector<std::pair<std::string, const json_ordinato*>> valori;
    foglie(cella_json, "", valori);
    std::map<std::string, bool> viste;
    for (const auto& [percorso, valore] : valori) {
      auto [it, nuova] = colonne.try_emplace(percorso);
      if (nuova) ordine.push_back(percorso);
      it->second.metti(cella_n, *valore);
      viste[percorso] = true;
    }
    for (const auto& [percorso, valori_extra] : extra) {
      if (c >= valori_extra.size() || valori_extra[c].empty()) continue;
      auto [it, nuova] = colonne.try_emplace(percorso);
      if (nuova) ordine.push_back(percorso);
      it->second.metti(cella_n, valori_extra[c]);
      viste[percorso] = true;
    }
    for (auto& [percorso, col] : colonne) {
      if (viste.contains(percorso)) continue;
      col.manca(cella_n);
      col.segui(cella_n);
    }
  }
  json_ordinato uscita = json_ordinato::array();
  for (const std::string& percorso : ordine) {
    uscita.push_back(json_ordinato::array({percorso, colonne[percorso].fine()}));
  }
  return uscita;
}

// ------------------------------------------------------------------ layout

json_ordinato punti_json(const std::vector<oggetto_puntuale>& oggetti) {
  json_ordinato j = json_ordinato::array();
  for (const auto& o : oggetti) {
    j.push_back(o.cella);
    j.push_back(o.metro);
  }
  return j;
}

json_ordinato gradini_json(const std::vector<gradino>& gradini) {
  json_ordinato j = json_ordinato::array();
  for (const gradino& g : gradini) {
    j.push_back(g.da);
    j.push_back(g.a);
    j.push_back(g.minimo);
    j.push_back(g.massimo);
  }
  return j;
}

// A step band at each scale of the viewer, coarsest first, for as long as
// thinning still leaves out runs; then the runs themselves.
json_ordinato livelli_gradini(const std::vector<gradino>& gradini, const std::vector<double>& scale,
                              double fine) {
  json_ordinato livelli = json_ordinato::array();
  for (double s : scale) {
    auto sfoltiti = sfoltisci(gradini, s, 0, fine);
    if (sfoltiti.size() == gradini.size()) break;
    livelli.push_back({{"metri", s}, {"gradini", gradini_json(sfoltiti)}});
  }
  livelli.push_back({{"metri", 0}, {"gradini", gradini_json(gradini)}});
  return livelli;
}

// A plan level as pieces of decimetres, each point as the step from the one
// before: [x, y, metro, dx, dy, dmetro, ...].
json_ordinato pianta_json(const livello_pianta& l) {
  json_ordinato tratti = json_ordinato::array();
  for (const auto& t : l.tratti) {
    json_ordinato punti = json_ordinato::array();
    int64_t px = 0, py = 0, pm = 0;
    for (const punto_pianta& p : t) {
      const auto x = static_cast<int64_t>(std::llround(p.x * 10));
      const auto y = static_cast<int64_t>(std::llround(p.y * 10));
      punti.push_back(x - px);
      punti.push_back(y - py);
      punti.push_back(p.metro - pm);
      px = x;
      py = y;
      pm = p.metro;
    }
    tratti.push_back(std::move(punti));
  }
  return {{"tolleranza", l.tolleranza}, {"tratti", std::move(tratti)}};
}

json_ordinato etichette_json(const disposizione& d, const std::vector<double>& scale) {
  std::vector<std::string> righe(d.etichette.size());
  for (double s : scale) {
    const auto posti = posiziona_etichette(d, s, 0, std::max(d.fine_striscia, 1));
    for (std::size_t k = 0; k < posti.size(); ++k) {
      righe[k] += posti[k] < 0 ? '-' : static_cast<char>('0' + std::min(posti[k], 9));
    }
  }
  json_ordinato elenco = json_ordinato::array();
  for (std::size_t k = 0; k < d.etichette.size(); ++k) {
    const etichetta& e = d.etichette[k];
    elenco.push_back(
        {static_cast<int>(e.fascia), e.testo, e.metro, e.larghezza, e.oggetto, righe[k]});
  }
  return {{"scale", scale}, {"elenco", std::move(elenco)}};
}

json_ordinato disegno_json(const disposizione& d) {
  const disegno_profilo p = disegno_del_profilo();
  json_ordinato bande = json_ordinato::object();
  for (const auto& b : p.bande) bande[std::string(b.nome)] = {b.alto - p.alto, b.basso - p.alto};
  json_ordinato fasce = json_ordinato::array();
  for (const auto& b : p.basi) {
    const regole_fascia& r = regole_di(b.fascia);
    fasce.push_back({{"nome", r.nome},
                     {"righe", r.righe},
                     {"altezza_riga", r.altezza_riga},
                     {"dimensione_testo", r.dimensione_testo},
                     {"riga0", b.riga0 - p.alto},
                     {"bersaglio", b.bersaglio - p.alto},
                     {"nascoste", std::string(*avviso_nascoste(b.fascia, 2)).substr(2)}});
  }
  json_ordinato scale = json_ordinato::array();
  for (const scala_valori& s : scale_curve(d)) scale.push_back({s.minimo, s.massimo, s.passo});
  return {{"bande", bande},
          {"fasce", fasce},
          {"asse", p.asse - p.alto},
          {"scale", scale},
          {"unita_segni", p.unita_segni}};
}

json_ordinato stazioni_json(const disposizione& d) {
  json_ordinato j = json_ordinato::array();
  for (const auto& s : d.stazioni) {
    j.push_back({s.riga, s.nome, s.posizione, s.inizio, s.fine, s.cella_fermata.value_or(-1)});
  }
  return j;
}

json_ordinato rallentamenti_json(const disposizione& d) {
  json_ordinato j = json_ordinato::array();
  for (const auto& r : d.rallentamenti) {
    j.push_back(
        {r.inizio, r.fine, r.velocita, r.cella_inizio, r.cella_fine, r.cella_avviso.value_or(-1)});
  }
  return j;
}

json_ordinato righe_tabella_json(const modello& m, const mappa_sorgenti* sorgenti) {
  file_decodificato f;
  f.tipo = tipo_file_compilato::tabella;
  f.tabella = m.tabella;
  json_ordinato righe = json_file(f, opzioni_dump{}, nullptr)["righe"];
  json_ordinato tenute = json_ordinato::object();
  for (auto& r : righe) {
    const int n = r["riga"].get<int>();
    if (genere_di(n, m.riga(n)) == genere_riga::vuota) continue;
    if (sorgenti != nullptr) {
      if (auto it = sorgenti->per_riga.find(n); it != sorgenti->per_riga.end()) {
        r["sorgente"] = it->second;
      }
    }
    tenute[std::to_string(n)] = std::move(r);
  }
  return tenute;
}

json_ordinato colori_json() {
  json_ordinato j = json_ordinato::object();
  for (const colore& c : kColori) j[std::string(c.nome)] = c.valore;
  return j;
}

std::string senza_minore(const std::string& testo) {
  std::string t;
  t.reserve(testo.size());
  for (char c : testo) {
    if (c == '<') {
      t += "\\u003c";
    } else {
      t += c;
    }
  }
  return t;
}

}  // namespace

std::string json_vista(const modello& m, const sorgenti_vista* sorgenti,
                       const std::optional<std::string>& esito) {
  const disposizione d = disponi(m);
  const double fine = std::max(d.fine_striscia, 1);
  const std::vector<double> scale = scale_dettaglio(d, kPixelInteri);
  std::optional<mappa_sorgenti> mappa;
  if (sorgenti != nullptr && sorgenti->lettura != nullptr) {
    mappa = mappa_sorgenti_di(m, *sorgenti);
  }
  json_ordinato j;
  j["percorso"] = d.percorso;
  j["treno"] = d.treno;
  j["esito"] = esito ? json_ordinato(*esito) : json_ordinato();
  j["lunghezza"] = d.lunghezza;
  j["fine_striscia"] = d.fine_striscia;
  j["celle"] = d.celle;
  j["metri_cella"] = kMetriCella;
  j["colori"] = colori_json();
  j["disegno"] = disegno_json(d);
  j["stazioni"] = stazioni_json(d);
  j["segnali"] = punti_json(d.segnali);
  j["avvisi"] = punti_json(d.avvisi);
  j["punti_codice"] = punti_json(d.punti_codice);
  j["cartelli"] = punti_json(d.cartelli);
  j["indicatori"] = punti_json(d.indicatori);
  j["abbattimenti"] = punti_json(d.abbattimenti);
  j["rallentamenti"] = rallentamenti_json(d);
  j["montagne"] = gradini_json(d.montagne);
  j["velocita"] = livelli_gradini(d.velocita, scale, fine);
  j["pendenza"] = livelli_gradini(d.pendenza, scale, fine);
  j["aderenza"] = livelli_gradini(d.aderenza, scale, fine);
  j["etichette"] = etichette_json(d, scale);
  json_ordinato pianta = json_ordinato::array();
  for (const livello_pianta& l : d.pianta) pianta.push_back(pianta_json(l));
  j["pianta"] = std::move(pianta);
  j["colonne"] = colonne_celle(
      m, mappa ? mappa->per_cella : std::map<std::string, std::vector<std::string>>{});
  j["righe"] = righe_tabella_json(m, mappa ? &*mappa : nullptr);
  json_ordinato testi = json_ordinato::object();
  if (mappa) {
    for (const auto& [dove, riga] : mappa->testi) testi[dove] = riga;
  }
  j["testi"] = std::move(testi);
  return senza_minore(j.dump(-1, ' ', false, json_ordinato::error_handler_t::replace));
}

std::string html_vista(const modello& m, const sorgenti_vista* sorgenti,
                       const std::optional<std::string>& esito) {
  const std::string titolo =
      testo_xml(utf8_da_1252(
          m.riga(kRigaDatiPercorso).nome.empty() ? m.percorso : m.riga(kRigaDatiPercorso).nome)) +
      " &#8212; treno " +
      testo_xml(utf8_da_1252(m.riga(kRigaDatiTreno).nome.empty() ? m.treno
                                                                 : m.riga(kRigaDatiTreno).nome));
  std::string h;
  h += "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n";
  h += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  h += "<title>" + titolo + "</title>\n<style>\n";
  h += kVistaCss;
  h += "</style>\n</head>\n<body>\n";
  h += std::string(kVistaHtml);
  h += "<script type=\"application/json\" id=\"dati\">";
  h += json_vista(m, sorgenti, esito);
  h += "</script>\n<script>\n";
  h += kVistaJs;
  h += "</script>\n</body>\n</html>\n";
  return h;
}

namespace {

struct testo_letto_da_file {
  std::string nome;
  std::string testo;
};

testo_letto_da_file leggi_testo(const std::filesystem::path& file) {
  return {testo_file(file.filename()), leggi_file(file, kLimiteTestoSorgente)};
}

// How the compile of the texts ended, in the viewer's own words: view writes
// no compiled file, whatever the compile's outcome. Nothing when it is clean.
std::optional<std::string> esito_vista(const esito_compilazione& esito) {
  if (esito.controllo_fallito) {
    return "the compile of the texts fails the reserved-value check " + *esito.controllo_fallito +
           " (\"" + testo_errore(*esito.controllo_fallito) +
           "\"): the program would write no compiled file; the page shows the route as read";
  }
  const std::string errore = descrivi_errore(esito.codice_errore, esito.posizione_errore);
  if (!esito.ha_celle) return "the texts leave no cell strip, so no page is written: " + errore;
  if (esito.codice_errore != 0) {
    return "the compile of the texts records an error: " + errore;
  }
  return std::nullopt;
}

int vista_da_testi(const richiesta_vista& r, int stato_uso, std::ostream& uscita,
                   std::ostream& errori) {
  const auto linea = leggi_testo(*r.linea);
  const auto treno = leggi_testo(*r.treno);
  const auto percorso = cp1252_da_utf8(r.percorso.value_or(std::string(kPercorso)));
  const auto numero = cp1252_da_utf8(r.numero_treno.value_or(std::string(kTreno)));
  if (!percorso || !numero) {
    errori << "view: the route name and the train number must be texts the Windows-1252 code "
              "page can write\n";
    return kUscitaFileNonConforme;
  }
  modello m;
  lettura_osservata lettura;
  sorgente_in_memoria sorgente_linea(linea.testo);
  sorgente_in_memoria sorgente_treno(treno.testo);
  opzioni_compilazione opzioni;
  opzioni.percorso = *percorso;
  opzioni.treno = *numero;
  opzioni.osservatore = &lettura;
  const esito_compilazione esito = compila_percorso(m, sorgente_linea, sorgente_treno, opzioni);
  lettura.concludi();
  const std::optional<std::string> riga = esito_vista(esito);
  if (!esito.ha_celle) {
    errori << "view: " << riga.value_or("the texts leave no cell strip") << '\n';
    return stato_di(esito);
  }
  const sorgenti_vista s{linea.nome, treno.nome, linea.testo, treno.testo, &lettura};
  if (scriverebbe_su(r.uscita, {*r.linea, *r.treno}, "view", errori)) return stato_uso;
  sostituisci_file(r.uscita, html_vista(m, &s, riga));
  if (riga) errori << "view: " << *riga << '\n';
  uscita << testo_file(r.uscita) << '\n';
  return uscita_pulita;
}

int vista_da_cartella(const richiesta_vista& r, int stato_uso, std::ostream& uscita,
                      std::ostream& errori) {
  int stato = uscita_pulita;
  const std::optional<nomi_scenario> nomi =
      scegli_scenario(*r.cartella, r.percorso, r.numero_treno, "view", stato_uso, errori, stato);
  if (!nomi) return stato;
  const file_scenario letti = file_di_scenario(*r.cartella, nomi->percorso, nomi->treno);
  if (scriverebbe_su(r.uscita, {letti.tracciato, letti.tabella, letti.celle}, "view", errori)) {
    return stato_uso;
  }
  const modello m = leggi_scenario(*r.cartella, nomi->percorso, nomi->treno);
  sostituisci_file(r.uscita, html_vista(m, nullptr, std::nullopt));
  uscita << testo_file(r.uscita) << '\n';
  return uscita_pulita;
}

}  // namespace

int comando_view(const richiesta_vista& r, int stato_uso, std::ostream& uscita,
                 std::ostream& errori) {
  return con_errori_dei_file("view", errori, [&] {
    if (r.linea && r.treno) return vista_da_testi(r, stato_uso, uscita, errori);
    return vista_da_cartella(r, stato_uso, uscita, errori);
  });
}

}  // namespace scenario
