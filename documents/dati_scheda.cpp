#include <array>

#include "base/file_cartella.h"
#include "base/scrittore_testo.h"
#include "documents/disposizione_scheda.h"
#include "documents/documenti.h"

namespace scenario {
namespace {

// The card is 82 or 83 bytes wide; "\xB0" is the degree sign in Windows-1252.
constexpr std::array<std::string_view, 55> kRighe = {
    // Identity boxes: train, title with origin and destination, top speed with
    // rank and braked percentage; then classification, braked mass, rolling stock.
    "",
    "",
    kRegolaRiquadriAlti,
    kRigaTitolo,
    " |   TRENO n.4816    |                   da: ULMO                  |    V140 B    |",
    " |___________________|                    a: ROVESCO P.A.          |     100%     |",
    kChiusuraVelocitaMassima,
    kRegolaRiquadriBassi,
    kNomiRiquadriBassi,
    " |        Reg        |              |      330T         |          | Ale 801/940  |",
    kChiusuraRiquadriBassi,
    "",
    // Timetable: the seven columns of the layout, 18 named rows.
    kRegolaOrario,
    kIntestazioneOrario,
    kIntestazioneOrarioSotto,
    kRigaOrarioChiusa,
    " |  30 |     |   82.500 |     |ULMO                        | 6.46           |     |",
    " | 105 |     |   83.000 |     |Dev. U.                     |                |     |",
    " |     |     |   88.400 |     |2\xB0 Bivio Ulmo Nord          |      6.50      |     |",
    " |     |     |   90.950 |     |VESSANO IN MARMELLA         |      6.52*     |     |",
    " |     |     |   96.100/|     |TARVIGNANO-LUCERNO          | 6.57      7.09 | 1.5 |",
    " |  90 |     |    0.000 |     |Dev. U.                     |        -       |     |",
    " |  75 |     |    5.200 |     |Dev. I.                     |        -       |     |",
    " |     |     |    5.400 |     |BRUCIGNANO                  | 7.14+     7.18+|     |",
    " |  85 |     |    7.300 |     |Brucignano S. Ilario        | 7.21      7.21+|     |",
    " |  90 |     |   13.000 |     |Km 13+000                   |       -        |     |",
    " |  85 |     |   16.000 |     |Km 16+000                   |       -        |     |",
    " |     |     |   16.300 |     |GROTTE SANTO MARTINO        | 7.29      7.29+|     |",
    " | 100 |     |   18.000 |     |Km 18+000                   |       -        |     |",
    " |  85 |     |   22.000 |     |Km 22+000                   |       -        |     |",
    " |  75 |     |   26.650 |     |MONTEBRUNESCO               | 7.39      7.40 |   1 |",
    " |  85 |     |   31.000 |     |Km 31+000                   |       -        |     |",
    " |  70 |     |   37.000 |     |Km 37+000                   |       -        |     |",
    " |     |     |   39.050 |     |ROVESCO PORTA ALBATERINA    |           7.51 |   1 |",
    // Thirteen blank rows, then the rule that closes the table.
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioVuota,
    kRigaOrarioChiusa,
    // Notes under the table.
    kTitoloNote,
    "  R.S. dal Deviatoio di uscita Ulmo fino al 2\xB0 Bivio Ulmo Nord",
    "  * A Vessano perditempo non compreso in orario 1.5 min.",
    kLegendaMezzoMinuto,
    "",
    "",
    "",
};

// Lines 5, 6 and 10 carry the train's own data in the boxes; lines 14 to 48
// are the timetable's, its rows from line 17 on.
constexpr bool segue_disposizione() {
  for (std::size_t n : {5U, 6U}) {
    if (!segue_riquadri(kRighe[n - 1], kRiquadriAlti)) return false;
  }
  if (!segue_riquadri(kRighe[10 - 1], kRiquadriBassi)) return false;
  for (std::size_t n = 14; n <= 48; ++n) {
    if (!segue_colonne(kRighe[n - 1])) return false;
  }
  return kRighe[17 - 1 + kRigheOrario] == kRigaOrarioChiusa;
}
static_assert(segue_disposizione());

}  // namespace

std::span<const std::string_view> righe_dati_scheda() { return kRighe; }

std::string nome_file_dati_scheda(const modello& m) {
  return m.percorso + "_" + m.treno + "_scheda_treno.txt";
}

void dati_scheda(const modello& m, const std::filesystem::path& cartella) {
  scrivi_testo(percorso_file(cartella, nome_file_dati_scheda(m)), righe_dati_scheda());
}

}  // namespace scenario
