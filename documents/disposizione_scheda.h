// The layout of the train card, described once: the two rows of boxes at its
// head, the seven columns of its timetable, the rules and blank rows built
// from their widths, and the legend of the time column. The embedded card
// (dati_scheda.cpp) and the card drafted from a scenario's texts
// (bozza_scheda.cpp) both take their lines' geometry from here; the checks at
// the end hold every line of either to it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace scenario {

// The timetable's columns, between its bars: Vel. Lim., Vel. Marc., Progr
// Km, No Rs, Localita' di Servizio, Orario, Rec.
inline constexpr std::array<std::size_t, 7> kColonneOrario = {5, 5, 10, 5, 28, 16, 5};
enum colonna_orario : std::size_t {
  kColonnaVelocita,
  kColonnaVelocitaMarcia,
  kColonnaProgressiva,
  kColonnaRs,
  kColonnaLocalita,
  kColonnaOrario,
  kColonnaRecupero,
};

// A row of the table: one blank, then a bar before each column and after the
// last.
inline constexpr std::size_t kLarghezzaRigaOrario = [] {
  std::size_t l = 2;
  for (std::size_t c : kColonneOrario) l += c + 1;
  return l;
}();
// The rules above the table and above the boxes stop one short of the bars' width.
inline constexpr std::size_t kLarghezzaRegola = kLarghezzaRigaOrario - 1;

// The first column of column `c` (its first character after the bar).
constexpr std::size_t inizio_colonna(std::size_t c) {
  std::size_t p = 2;
  for (std::size_t n = 0; n < c; ++n) p += kColonneOrario[n] + 1;
  return p;
}

namespace dettaglio_scheda {

// A table row with every column filled with `riempi`.
constexpr std::array<char, kLarghezzaRigaOrario> riga_colonne(char riempi) {
  std::array<char, kLarghezzaRigaOrario> r{};
  r[0] = ' ';
  std::size_t p = 1;
  for (std::size_t c : kColonneOrario) {
    r[p++] = '|';
    for (std::size_t n = 0; n < c; ++n) r[p++] = riempi;
  }
  r[p] = '|';
  return r;
}

// The rule over the table: two blanks, then underscores over every column.
constexpr std::array<char, kLarghezzaRegola> regola_tabella() {
  std::array<char, kLarghezzaRegola> r{};
  for (std::size_t p = 0; p < r.size(); ++p) r[p] = p < 2 ? ' ' : '_';
  return r;
}

inline constexpr auto kByteVuota = riga_colonne(' ');
inline constexpr auto kByteChiusura = riga_colonne('_');
inline constexpr auto kByteRegola = regola_tabella();

}  // namespace dettaglio_scheda

// A timetable row left blank for the driver's own entries.
inline constexpr std::string_view kRigaOrarioVuota{dettaglio_scheda::kByteVuota.data(),
                                                   dettaglio_scheda::kByteVuota.size()};
// The row of underscores that closes the header and the table.
inline constexpr std::string_view kRigaOrarioChiusa{dettaglio_scheda::kByteChiusura.data(),
                                                    dettaglio_scheda::kByteChiusura.size()};
inline constexpr std::string_view kRegolaOrario{dettaglio_scheda::kByteRegola.data(),
                                                dettaglio_scheda::kByteRegola.size()};
// The two header rows of the columns.
inline constexpr std::string_view kIntestazioneOrario =
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |";
inline constexpr std::string_view kIntestazioneOrarioSotto =
    " | Lim.|Marc.|          |  Rs |                            |                |     |";

// The embedded card's table holds this many rows, named or blank; a drafted
// table is as long, or longer when its places need more.
inline constexpr std::size_t kRigheOrario = 31;

// The time column holds up to three times, each "h.mm" right-aligned in five
// characters and followed by one sign ("+" a half minute, "*" a note): one at
// its left (arrival, or the departure from the origin), one in its middle (a
// transit) and one at its right (departure, or the arrival at the terminus).
inline constexpr std::size_t kLarghezzaOra = 5;
inline constexpr std::array<std::size_t, 3> kPostiOra = {0, 5, 10};
enum posto_ora : std::size_t { kOraSinistra, kOraCentro, kOraDestra };
inline constexpr char kSegnoMezzoMinuto = '+';
// A place passed without a time, as the card writes a station and a
// kilometre point.
inline constexpr std::string_view kOrarioTransito = "        -       ";
inline constexpr std::string_view kOrarioPuntoChilometrico = "       -        ";
// The kilometre column: the point right-aligned in nine characters, then a
// blank, or a "/" on the last row before the chainage starts anew.
inline constexpr std::size_t kLarghezzaChilometri = 9;
inline constexpr char kSegnoCambioProgressiva = '/';
// The speed column: the limit right-aligned in four characters, then a blank.
inline constexpr std::size_t kLarghezzaVelocita = 4;

// The boxes at the card's head. The first row: the train's box, the title
// between it and the box of top speed and braked percentage; the second row:
// classification, braked mass, rolling stock. Each box is given by its two
// bars; the text between them is centred.
struct riquadro {
  std::size_t sinistra = 0;  // column of its left bar
  std::size_t destra = 0;    // column of its right bar
  constexpr std::size_t inizio() const { return sinistra + 1; }
  constexpr std::size_t larghezza() const { return destra - sinistra - 1; }
};
inline constexpr riquadro kRiquadroTreno{1, 21};
inline constexpr riquadro kRiquadroTitolo{21, 67};
inline constexpr riquadro kRiquadroVelocitaMassima{67, 82};
inline constexpr riquadro kRiquadroClassificazione{1, 21};
inline constexpr riquadro kRiquadroMassa{36, 56};
inline constexpr riquadro kRiquadroRotabile{67, 82};
inline constexpr std::array<riquadro, 3> kRiquadriAlti = {kRiquadroTreno, kRiquadroTitolo,
                                                          kRiquadroVelocitaMassima};
inline constexpr std::array<riquadro, 3> kRiquadriBassi = {kRiquadroClassificazione, kRiquadroMassa,
                                                           kRiquadroRotabile};
// The title's origin and destination: "da: " and " a: " with the names from
// this column on, as far as the box of the top speed.
inline constexpr std::string_view kTitoloDa = "da: ";
inline constexpr std::string_view kTitoloA = " a: ";
inline constexpr std::size_t kInizioNomiTitolo = 45;
inline constexpr std::size_t kLarghezzaNomiTitolo = kRiquadroTitolo.destra - kInizioNomiTitolo;
inline constexpr std::string_view kTitoloTreno = "TRENO n.";

namespace dettaglio_scheda {

// A line of `W` characters with underscores inside each of the boxes `r`,
// and their bars when `barre`.
template <std::size_t W, std::size_t N>
constexpr std::array<char, W> disegna_riquadri(const std::array<riquadro, N>& r, bool barre) {
  std::array<char, W> l{};
  for (char& c : l) c = ' ';
  for (const riquadro& q : r) {
    for (std::size_t p = q.inizio(); p < q.destra; ++p) l[p] = '_';
    if (barre) l[q.sinistra] = l[q.destra] = '|';
  }
  return l;
}

inline constexpr std::array<riquadro, 2> kRiquadriAltiChiusi = {kRiquadroTreno,
                                                                kRiquadroVelocitaMassima};
inline constexpr auto kByteRegolaAlti =
    disegna_riquadri<kLarghezzaRegola>(kRiquadriAltiChiusi, false);
inline constexpr auto kByteChiusuraVelocita =
    disegna_riquadri<kLarghezzaRigaOrario>(std::array<riquadro, 1>{kRiquadroVelocitaMassima}, true);
inline constexpr auto kByteRegolaBassi = disegna_riquadri<kLarghezzaRegola>(kRiquadriBassi, false);
inline constexpr auto kByteChiusuraBassi =
    disegna_riquadri<kLarghezzaRigaOrario>(kRiquadriBassi, true);

constexpr std::string_view vista(const auto& byte) { return {byte.data(), byte.size()}; }

}  // namespace dettaglio_scheda

// The lines of the boxes that hold no scenario's data: the rules over the
// two rows, the title, the names of the second row's boxes, their closings.
inline constexpr std::string_view kRegolaRiquadriAlti =
    dettaglio_scheda::vista(dettaglio_scheda::kByteRegolaAlti);
inline constexpr std::string_view kRigaTitolo =
    " |                   |                    SCHEDA                   |              |";
inline constexpr std::string_view kChiusuraVelocitaMassima =
    dettaglio_scheda::vista(dettaglio_scheda::kByteChiusuraVelocita);
inline constexpr std::string_view kRegolaRiquadriBassi =
    dettaglio_scheda::vista(dettaglio_scheda::kByteRegolaBassi);
inline constexpr std::string_view kNomiRiquadriBassi =
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |          |              |";
inline constexpr std::string_view kChiusuraRiquadriBassi =
    dettaglio_scheda::vista(dettaglio_scheda::kByteChiusuraBassi);

// The notes under the table open with this line, and the legend of the "+".
inline constexpr std::string_view kTitoloNote = "  NOTE:";
inline constexpr std::string_view kLegendaMezzoMinuto =
    "  il + nella casella orario indica 1/2 minuto";

// True when `riga` is a timetable row: as wide as the table, with its bars
// where the columns put them and nowhere else.
constexpr bool segue_colonne(std::string_view riga) {
  if (riga.size() != kLarghezzaRigaOrario || riga[0] != ' ') return false;
  for (std::size_t p = 1; p < riga.size(); ++p) {
    bool barra = p == 1;
    for (std::size_t c = 0; c < kColonneOrario.size(); ++c)
      barra = barra || p == inizio_colonna(c + 1) - 1;
    if ((riga[p] == '|') != barra) return false;
  }
  return true;
}

// True when the bars of `riga` are those of the boxes `r` (no other bar),
// and `riga` is as wide as the table.
template <std::size_t N>
constexpr bool segue_riquadri(std::string_view riga, const std::array<riquadro, N>& r) {
  if (riga.size() != kLarghezzaRigaOrario) return false;
  for (std::size_t p = 0; p < riga.size(); ++p) {
    bool barra = false;
    for (const riquadro& q : r) barra = barra || p == q.sinistra || p == q.destra;
    if ((riga[p] == '|') != barra) return false;
  }
  return true;
}

static_assert(kLarghezzaRigaOrario == 83 && kLarghezzaRegola == 82);
static_assert(segue_colonne(kRigaOrarioVuota) && segue_colonne(kRigaOrarioChiusa));
static_assert(segue_colonne(kIntestazioneOrario) && segue_colonne(kIntestazioneOrarioSotto));
static_assert(kOrarioTransito.size() == kColonneOrario[kColonnaOrario]);
static_assert(kOrarioPuntoChilometrico.size() == kColonneOrario[kColonnaOrario]);
static_assert(kPostiOra[kOraDestra] + kLarghezzaOra + 1 == kColonneOrario[kColonnaOrario]);
static_assert(kLarghezzaChilometri + 1 == kColonneOrario[kColonnaProgressiva]);
static_assert(kLarghezzaVelocita + 1 == kColonneOrario[kColonnaVelocita]);
static_assert(segue_riquadri(kRigaTitolo, kRiquadriAlti));
static_assert(segue_riquadri(kNomiRiquadriBassi, kRiquadriBassi));
static_assert(kRiquadroVelocitaMassima.destra + 1 == kLarghezzaRigaOrario);

}  // namespace scenario
