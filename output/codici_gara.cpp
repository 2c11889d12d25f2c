#include "output/codici_gara.h"

#include <cstddef>
#include <string_view>

#include "base/codifica.h"

namespace scenario {
namespace {

// Completes names shorter than kCaratteriControllo; the same in both codes.
constexpr std::string_view kRiempitivo = "zzyyxxwwvvuuttssrrqqppoonn";
constexpr std::size_t kCaratteriControllo = 25;

// Reserved places and the markers stamped into them.
constexpr int32_t kRigaControllo = kRigaDatiPercorso;
constexpr int32_t kRigaTreno = kRigaDatiTreno;
constexpr int32_t kCellaControllo = 1;
constexpr int16_t kMarcaTabella = 610;
constexpr int16_t kMarcaCella = 5121;

// Train number then route name, lowered, then the filler: always longer
// than the kCaratteriControllo characters the codes use.
std::string testo_controllo(const modello& m) {
  std::string testo = m.riga(kRigaTreno).nome;
  testo += m.riga(kRigaControllo).nome;
  testo = minuscolo_1252(testo);
  testo += kRiempitivo;
  return testo;
}

// The character's Windows-1252 code, 0..255.
int32_t codice_carattere(char c) { return static_cast<unsigned char>(c); }

}  // namespace

int16_t codice_gara_og(const modello& m) {
  const std::string testo = testo_controllo(m);
  int32_t somma = 0;
  for (std::size_t p = 0; p < kCaratteriControllo; ++p) somma += codice_carattere(testo[p]);
  return static_cast<int16_t>(somma);  // at most 25 x 255 = 6375
}

int32_t codice_gara_st(const modello& m) {
  const std::string testo = testo_controllo(m);
  int32_t somma = 0;
  for (std::size_t p = 0; p < kCaratteriControllo; ++p) {
    somma += codice_carattere(testo[p]) * static_cast<int32_t>(p + 1);
  }
  return somma;  // at most 255 x 325 = 82875
}

namespace {

// A reserved place found taken: the table row, or else cell 1.
std::string fallito(int32_t numero, bool in_tabella, const cella& prima, const racconto& racconta) {
  causa_codice causa(numero);
  if (in_tabella) {
    causa.riga_tabella = kRigaControllo;
  } else {
    causa.sulla_cella(kCellaControllo).occupata_da(prima.evento);
  }
  racconta.codice(causa);
  return std::to_string(numero);
}

}  // namespace

std::optional<std::string> timbra_codici(modello& m, const racconto& racconta) {
  voce& controllo = m.riga(kRigaControllo);
  cella& prima = m.cella_a(kCellaControllo);
  if (controllo.campo7 != 0 || prima.dato1 != 0) {
    return fallito(kControlloMarcatori, controllo.campo7 != 0, prima, racconta);
  }
  controllo.campo7 = kMarcaTabella;
  prima.dato1 = kMarcaCella;
  if (controllo.orario != 0 || prima.dato2 != 0) {
    return fallito(kControlloCodici, controllo.orario != 0, prima, racconta);
  }
  controllo.orario = codice_gara_st(m);
  prima.dato2 = codice_gara_og(m);
  return std::nullopt;
}

}  // namespace scenario
