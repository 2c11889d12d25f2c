// The drafted train card. Everything it shows comes from the compiled model,
// which holds all the card needs: the stations in the table's rows from 1 up,
// the chainage segments in rows 81 to 83, the braked percentage in row 84 and
// the train's speed limit in every cell. The speed changes are read from the
// cells rather than from the text's speed rows: the card then shows the
// limits the compiled route applies, where it applies them (a cell's 50 m, a
// multiple of 5 km/h), and the text is not read a second time by other rules.
#include "documents/bozza_scheda.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/disposizione_scheda.h"

namespace scenario {
namespace {

constexpr int64_t kSecondiGiorno = int64_t{24} * 3600;

// `testo` in `larghezza` characters from the left, cut when longer.
std::string a_sinistra(std::string_view testo, std::size_t larghezza) {
  std::string s(testo.substr(0, larghezza));
  s.resize(larghezza, ' ');
  return s;
}

// A number right-aligned in `larghezza` characters; one that does not fit
// fills them with "#", never a number cut short.
std::string a_destra(std::string_view numero, std::size_t larghezza) {
  if (numero.size() > larghezza) return std::string(larghezza, '#');
  return std::string(larghezza - numero.size(), ' ') + std::string(numero);
}

// Puts `testo` centred (the odd blank on the right) in the box's columns of `riga`.
void centra(std::string& riga, const riquadro& q, std::string_view testo) {
  const std::string_view t = testo.substr(0, q.larghezza());
  riga.replace(q.inizio() + (q.larghezza() - t.size()) / 2, t.size(), t);
}

// A line of the width of the boxes with the bars of `r` and blanks inside.
template <std::size_t N>
std::string riga_riquadri(const std::array<riquadro, N>& r) {
  std::string riga(kLarghezzaRigaOrario, ' ');
  for (const riquadro& q : r) riga[q.sinistra] = riga[q.destra] = '|';
  return riga;
}

// The kilometre point in kilometres with three decimals ("82.500", "-0.250").
std::string testo_chilometri(int64_t metri) {
  const int64_t assoluto = metri < 0 ? -metri : metri;
  return (metri < 0 ? "-" : "") + std::to_string(assoluto / 1000) + "." +
         std::string(1, static_cast<char>('0' + assoluto / 100 % 10)) +
         std::string(1, static_cast<char>('0' + assoluto / 10 % 10)) +
         std::string(1, static_cast<char>('0' + assoluto % 10));
}

// A kilometre point named as the card names one that is not a station ("Km 13+000").
std::string nome_punto_chilometrico(int64_t metri) {
  std::string km = testo_chilometri(metri);
  km[km.find('.')] = '+';
  return "Km " + km;
}

// A time of day as the card writes it: "h.mm", then "+" for a half minute
// or more beyond the minute; a time past midnight is the next day's.
std::string testo_ora(int32_t secondi) {
  const int64_t s = (int64_t{secondi} % kSecondiGiorno + kSecondiGiorno) % kSecondiGiorno;
  char minuti[8];
  std::snprintf(minuti, sizeof minuti, "%02d", static_cast<int>(s / 60 % 60));
  return a_destra(std::to_string(s / 3600) + "." + minuti, kLarghezzaOra) +
         (s % 60 >= 30 ? kSegnoMezzoMinuto : ' ');
}

// The time column with one time in its place.
std::string colonna_ora(int32_t secondi, posto_ora posto) {
  std::string colonna(kColonneOrario[kColonnaOrario], ' ');
  const std::string ora = testo_ora(secondi);
  colonna.replace(kPostiOra[posto], ora.size(), ora);
  return colonna;
}

// The chainage offset at a route position: that of the first of rows 81, 82,
// 83 (the line reader leaves their beginnings descending) that begins at or
// before it; none before every segment.
int64_t scarto_progressiva(const modello& m, int64_t posizione) {
  for (int32_t r = kRigaProgressivaTre; r <= kRigaProgressivaUno; ++r) {
    if (m.riga(r).inizio <= posizione) return m.riga(r).fine;
  }
  return 0;
}

// The speed limit in km/h that holds at a route position (the cell covering
// that metre); nothing off the strip.
std::optional<int32_t> velocita_a(const modello& m, int64_t posizione) {
  if (posizione < 0) return std::nullopt;
  const int64_t n = posizione / kMetriCella;
  if (n >= static_cast<int64_t>(m.celle.size())) return std::nullopt;
  return kmh_velocita(m.celle[static_cast<std::size_t>(n)].vel_limite);
}

// A table row holds a station when anything but its name is set: a board
// text holds only its name, a free row nothing (a station's zone or kind is
// never all zero once it has compiled).
bool tiene_stazione(const voce& v) {
  voce senza_nome = v;
  senza_nome.nome.clear();
  return !(senza_nome == voce{});
}

// The stations of the table in route order.
std::vector<const voce*> stazioni(const modello& m) {
  std::vector<const voce*> s;
  for (int32_t r = kRigaPrimaStazione; r < kRigaPrimoCartello && tiene_stazione(m.riga(r)); ++r) {
    s.push_back(&m.riga(r));
  }
  std::stable_sort(s.begin(), s.end(),
                   [](const voce* a, const voce* b) { return a->posizione < b->posizione; });
  return s;
}

// One row of the drafted timetable.
struct riga_bozza {
  int64_t posizione = 0;
  std::optional<int32_t> velocita;  // shown: the limit from here on
  std::string localita;
  std::string orario;  // the whole time column
};

riga_bozza riga_stazione(const voce& v, bool prima) {
  riga_bozza r;
  r.posizione = v.posizione;
  r.localita = v.nome;
  // A station without a time is passed through; the one time a stop carries
  // is the departure, the origin's at the left as the card puts it, or the
  // arrival at the terminus, at the right.
  r.orario = v.orario == 0 ? std::string(kOrarioTransito)
                           : colonna_ora(v.orario, prima ? kOraSinistra : kOraDestra);
  return r;
}

riga_bozza riga_velocita(const modello& m, int64_t posizione, int32_t velocita) {
  riga_bozza r;
  r.posizione = posizione;
  r.velocita = velocita;
  r.localita = nome_punto_chilometrico(posizione + scarto_progressiva(m, posizione));
  r.orario = std::string(kOrarioPuntoChilometrico);
  return r;
}

// The stations and, between the origin and the terminus, every change of the
// speed limit, in route order; a change at a station goes into its row, and
// the origin's row shows the limit in force there.
std::vector<riga_bozza> righe_orario(const modello& m) {
  const std::vector<const voce*> s = stazioni(m);
  std::vector<riga_bozza> righe;
  if (s.empty()) return righe;
  std::vector<std::pair<int64_t, int32_t>> cambi;
  const int64_t origine = s.front()->posizione;
  const int64_t capolinea = s.back()->posizione;
  for (int64_t p = (std::max<int64_t>(origine, 0) / kMetriCella + 1) * kMetriCella; p <= capolinea;
       p += kMetriCella) {
    const std::optional<int32_t> prima = velocita_a(m, p - 1);
    const std::optional<int32_t> qui = velocita_a(m, p);
    if (!qui) break;
    if (prima && *prima != *qui) cambi.emplace_back(p, *qui);
  }
  std::size_t c = 0;
  for (std::size_t n = 0; n < s.size(); ++n) {
    for (; c < cambi.size() && cambi[c].first < s[n]->posizione; ++c) {
      righe.push_back(riga_velocita(m, cambi[c].first, cambi[c].second));
    }
    righe.push_back(riga_stazione(*s[n], n == 0));
    if (n == 0) righe.back().velocita = velocita_a(m, s[n]->posizione);
    if (c < cambi.size() && cambi[c].first == s[n]->posizione)
      righe.back().velocita = cambi[c++].second;
  }
  return righe;
}

// The row as the table writes it; `cambio`: the chainage starts anew after it.
std::string testo_riga(const modello& m, const riga_bozza& r, bool cambio) {
  std::array<std::string, kColonneOrario.size()> colonne;
  for (std::size_t c = 0; c < colonne.size(); ++c) colonne[c] = std::string(kColonneOrario[c], ' ');
  if (r.velocita)
    colonne[kColonnaVelocita] = a_destra(std::to_string(*r.velocita), kLarghezzaVelocita) + " ";
  colonne[kColonnaProgressiva] =
      a_destra(testo_chilometri(r.posizione + scarto_progressiva(m, r.posizione)),
               kLarghezzaChilometri) +
      (cambio ? kSegnoCambioProgressiva : ' ');
  colonne[kColonnaLocalita] = a_sinistra(r.localita, kColonneOrario[kColonnaLocalita]);
  colonne[kColonnaOrario] = r.orario;
  std::string riga = " |";
  for (const std::string& c : colonne) riga += c + "|";
  return riga;
}

}  // namespace

std::vector<std::string> bozza_scheda_treno(const modello& m, std::string_view /*testo_treno*/) {
  const std::vector<const voce*> s = stazioni(m);
  std::vector<std::string> l = {"", "", std::string(kRegolaRiquadriAlti), std::string(kRigaTitolo)};

  // The train's box and the title; top speed and rank are the author's.
  std::string treno = riga_riquadri(kRiquadriAlti);
  centra(treno, kRiquadroTreno, std::string(kTitoloTreno) + m.treno);
  const std::size_t da = kInizioNomiTitolo - kTitoloDa.size();
  treno.replace(da, kTitoloDa.size(), kTitoloDa);
  std::string destinazione = riga_riquadri(kRiquadriAlti);
  for (std::size_t p = kRiquadroTreno.inizio(); p < kRiquadroTreno.destra; ++p) {
    destinazione[p] = '_';
  }
  destinazione.replace(da, kTitoloA.size(), kTitoloA);
  if (!s.empty()) {
    treno.replace(kInizioNomiTitolo, kLarghezzaNomiTitolo,
                  a_sinistra(s.front()->nome, kLarghezzaNomiTitolo));
    destinazione.replace(kInizioNomiTitolo, kLarghezzaNomiTitolo,
                         a_sinistra(s.back()->nome, kLarghezzaNomiTitolo));
  }
  centra(destinazione, kRiquadroVelocitaMassima,
         std::to_string(m.riga(kRigaDatiGenerali).inizio) + "%");
  l.push_back(treno);
  l.push_back(destinazione);

  // Classification, braked mass and rolling stock: left blank.
  l.emplace_back(kChiusuraVelocitaMassima);
  l.emplace_back(kRegolaRiquadriBassi);
  l.emplace_back(kNomiRiquadriBassi);
  l.push_back(riga_riquadri(kRiquadriBassi));
  l.emplace_back(kChiusuraRiquadriBassi);
  l.emplace_back("");

  l.emplace_back(kRegolaOrario);
  l.emplace_back(kIntestazioneOrario);
  l.emplace_back(kIntestazioneOrarioSotto);
  l.emplace_back(kRigaOrarioChiusa);
  const std::vector<riga_bozza> righe = righe_orario(m);
  for (std::size_t n = 0; n < righe.size(); ++n) {
    const bool cambio = n + 1 < righe.size() && scarto_progressiva(m, righe[n].posizione) !=
                                                    scarto_progressiva(m, righe[n + 1].posizione);
    l.push_back(testo_riga(m, righe[n], cambio));
  }
  for (std::size_t n = righe.size(); n < kRigheOrario; ++n) l.emplace_back(kRigaOrarioVuota);
  l.emplace_back(kRigaOrarioChiusa);

  l.emplace_back(kTitoloNote);
  l.emplace_back(kLegendaMezzoMinuto);
  l.insert(l.end(), 3, "");
  return l;
}

}  // namespace scenario
