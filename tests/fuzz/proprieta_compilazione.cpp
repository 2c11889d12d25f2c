#include "fuzz/proprieta_compilazione.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/codici_errore.h"
#include "compiler/record.h"
#include "output/codici_gara.h"
#include "output/compilazione.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"

namespace prova {
namespace {

using scenario::modello;

constexpr uint8_t kSenzaTracciato = 0x01;
constexpr uint8_t kSenzaLinea = 0x02;
constexpr uint8_t kSenzaTreno = 0x04;

// Codes that leave no cell strip: the line half stopped before the length
// row sized it, or the text was not read at all.
constexpr std::array<int32_t, 7> kCodiciSenzaCelle = {1, 3, 4, 5, 25, 101, 102};

template <typename C, typename T>
bool tra(const C& insieme, T valore) {
  return std::find(insieme.begin(), insieme.end(), valore) != insieme.end();
}

std::string numero(int64_t n) { return std::to_string(n); }

std::size_t byte_elemento(scenario::tipo_elemento t) {
  switch (t) {
    case scenario::tipo_elemento::vuoto:
      return 2;
    case scenario::tipo_elemento::intero:
      return 4;
    case scenario::tipo_elemento::doppio:
      return 10;
  }
  return 0;
}

uint16_t tag_elemento(scenario::tipo_elemento t) {
  switch (t) {
    case scenario::tipo_elemento::vuoto:
      return scenario::kTagVuoto;
    case scenario::tipo_elemento::intero:
      return scenario::kTagIntero;
    case scenario::tipo_elemento::doppio:
      return scenario::kTagDoppio;
  }
  return 0xFFFF;
}

uint64_t le(const std::vector<uint8_t>& b, std::size_t pos, std::size_t quanti) {
  uint64_t v = 0;
  for (std::size_t k = 0; k < quanti; ++k) v |= uint64_t{b[pos + k]} << (8 * k);
  return v;
}

// The form a point of a compiled plan has: points 0 and 1 integers, then
// doubles as far as the line reader went, then empty ones; a plan whose
// origin was never set is empty throughout.
scenario::tipo_elemento forma_attesa(std::size_t punto, std::size_t calcolati) {
  if (calcolati == 0) return scenario::tipo_elemento::vuoto;
  if (punto < 2) return scenario::tipo_elemento::intero;
  return punto < calcolati ? scenario::tipo_elemento::doppio : scenario::tipo_elemento::vuoto;
}

// The plan file follows from the elements: every first coordinate, then every
// second one, each its tag and its value, in the forms the compile makes.
std::string verifica_tracciato(const modello& m) {
  const std::size_t punti = static_cast<std::size_t>(m.lunghezza_estesa) + 1;
  if (m.tracciato[0].size() != punti || m.tracciato[1].size() != punti) {
    return "the plan has " + numero(static_cast<int64_t>(m.tracciato[0].size())) + " and " +
           numero(static_cast<int64_t>(m.tracciato[1].size())) + " points, not " +
           numero(static_cast<int64_t>(punti));
  }
  if (!m.tracciato.completo()) return "the plan is not complete after the compile";
  const std::vector<uint8_t> byte = scenario::byte_tracciato(m);
  std::size_t calcolati = 0;
  while (calcolati < punti && m.tracciato[0][calcolati].tipo != scenario::tipo_elemento::vuoto) {
    ++calcolati;
  }
  std::size_t atteso = 0;
  for (const auto& coordinata : m.tracciato) {
    for (const auto& e : coordinata) atteso += byte_elemento(e.tipo);
  }
  if (byte.size() != atteso) {
    return "the plan file is " + numero(static_cast<int64_t>(byte.size())) +
           " bytes, its elements make " + numero(static_cast<int64_t>(atteso));
  }
  std::size_t pos = 0;
  for (const auto& coordinata : m.tracciato) {
    for (std::size_t p = 0; p < punti; ++p) {
      const scenario::elemento_tracciato e = coordinata[p];
      if (e.tipo != forma_attesa(p, calcolati)) {
        return "plan point " + numero(static_cast<int64_t>(p)) +
               " has a form the compile never gives it";
      }
      if (le(byte, pos, 2) != tag_elemento(e.tipo)) {
        return "plan element tag at byte " + numero(static_cast<int64_t>(pos)) + " is wrong";
      }
      const bool valore_giusto =
          e.tipo == scenario::tipo_elemento::vuoto ||
          (e.tipo == scenario::tipo_elemento::intero &&
           le(byte, pos + 2, 2) == static_cast<uint16_t>(static_cast<int16_t>(e.valore))) ||
          (e.tipo == scenario::tipo_elemento::doppio &&
           le(byte, pos + 2, 8) == std::bit_cast<uint64_t>(e.valore));
      if (!valore_giusto) {
        return "plan element value at byte " + numero(static_cast<int64_t>(pos)) + " is wrong";
      }
      pos += byte_elemento(e.tipo);
    }
  }
  return {};
}

std::string verifica_celle(const modello& m) {
  if (m.ultima_cella < 1 || m.celle.size() != static_cast<std::size_t>(m.ultima_cella) + 1) {
    return "the strip has " + numero(static_cast<int64_t>(m.celle.size())) +
           " cells for ultima_cella " + numero(m.ultima_cella);
  }
  if (m.codice_errore != 1 && m.codice_errore != 25) {
    // A route length is stored in row 84 before it is checked: one above
    // the limit (1), or one that leaves no cell beyond cell 0 (25), stays
    // there beside the strip an earlier length row sized. Any other length
    // row sized the strip.
    const int64_t lunghezza = m.riga(84).fine;
    if (m.lunghezza_estesa != lunghezza + scenario::kCodaPercorso ||
        m.ultima_cella != scenario::ultima_cella_per(lunghezza)) {
      return "the strip does not follow from the route length " + numero(lunghezza);
    }
  }
  const std::size_t attesi = scenario::kByteCella * m.celle.size();
  if (scenario::byte_celle(m).size() != attesi) return "the cell file is not 15 bytes a cell";
  for (std::size_t n = 0; n < m.celle.size(); ++n) {
    if (scenario::evento_di(m.celle[n].evento) == nullptr) {
      return "cell " + numero(static_cast<int64_t>(n)) + " holds evento " +
             numero(m.celle[n].evento) + ", which nothing sets";
    }
  }
  return {};
}

std::string verifica_tabella(const modello& m) {
  std::size_t attesi = scenario::kByteVoceSenzaNome * scenario::kRigheTabella;
  for (const scenario::voce& v : m.tabella) attesi += v.nome.size();
  if (scenario::byte_tabella(m).size() != attesi) {
    return "the table file is not 2958 bytes plus the names";
  }
  return {};
}

// After a clean stamping the four reserved places hold the markers and codes.
std::string verifica_timbri(const modello& m) {
  const scenario::voce& controllo = m.riga(85);
  const scenario::cella& prima = m.cella_a(1);
  if (controllo.campo7 != 610 || prima.dato1 != 5121 ||
      controllo.orario != scenario::codice_gara_st(m) ||
      prima.dato2 != scenario::codice_gara_og(m)) {
    return "the markers and check codes are not stamped";
  }
  return {};
}

// errore stopped the run: the number names the check, and the model shows why.
std::string verifica_fermata(const modello& m, const std::string& numero_errore) {
  if (!m.ha_celle()) return "errore " + numero_errore + " without a cell strip";
  const scenario::voce& controllo = m.riga(85);
  const scenario::cella& prima = m.cella_a(1);
  if (numero_errore == "1250") {
    if (controllo.campo7 == 0 && prima.dato1 == 0) return "1250 with both marker places free";
    return {};
  }
  if (numero_errore == "1251") {
    if (controllo.campo7 != 610 || prima.dato1 != 5121) return "1251 before the markers";
    if (controllo.orario == 0 && prima.dato2 == 0) return "1251 with both code places free";
    return {};
  }
  return "errore shows \"" + numero_errore + "\", which is no check's number";
}

std::string verifica_file(const modello& m) {
  std::string guasto = verifica_celle(m);
  if (guasto.empty()) guasto = verifica_tabella(m);
  if (guasto.empty() && m.crea_tracciato != 0) guasto = verifica_tracciato(m);
  if (guasto.empty() && m.crea_tracciato == 0 && !m.tracciato.vuoto()) {
    guasto = "a plan without line mode";
  }
  if (guasto.empty()) guasto = verifica_timbri(m);
  return guasto;
}

}  // namespace

input_compilazione dividi_input(std::string_view dati) {
  input_compilazione input;
  if (dati.empty()) return input;
  const auto opzioni = static_cast<uint8_t>(dati[0]);
  input.tracciato = (opzioni & kSenzaTracciato) == 0;
  input.linea_presente = (opzioni & kSenzaLinea) == 0;
  input.treno_presente = (opzioni & kSenzaTreno) == 0;
  dati.remove_prefix(1);
  const std::size_t separatore = dati.find('\0');
  input.linea = std::string(dati.substr(0, separatore));
  if (separatore != std::string_view::npos) input.treno = std::string(dati.substr(separatore + 1));
  return input;
}

std::string componi_input(const input_compilazione& input) {
  uint8_t opzioni = 0;
  if (!input.tracciato) opzioni |= kSenzaTracciato;
  if (!input.linea_presente) opzioni |= kSenzaLinea;
  if (!input.treno_presente) opzioni |= kSenzaTreno;
  std::string dati(1, static_cast<char>(opzioni));
  dati += input.linea;
  dati += '\0';
  dati += input.treno;
  return dati;
}

// The reading that sets failing rows aside (check's) ends on every input,
// and where the compile found nothing to report it compiles the very same
// bytes: it departs from the compile only at a failing row.
std::string verifica_risincronizzata(const input_compilazione& input,
                                     scenario::opzioni_compilazione opzioni, const modello& m,
                                     const scenario::esito_compilazione& esito) {
  scenario::sorgente_in_memoria linea = input.linea_presente
                                            ? scenario::sorgente_in_memoria(input.linea)
                                            : scenario::sorgente_in_memoria();
  scenario::sorgente_in_memoria treno = input.treno_presente
                                            ? scenario::sorgente_in_memoria(input.treno)
                                            : scenario::sorgente_in_memoria();
  opzioni.risincronizza = true;
  modello r;
  const scenario::esito_compilazione altro = scenario::compila_percorso(r, linea, treno, opzioni);
  if (esito.codice_errore != 0 || !esito.da_scrivere()) return {};
  if (altro.codice_errore != 0 || !altro.da_scrivere() ||
      scenario::byte_tracciato(m) != scenario::byte_tracciato(r) ||
      scenario::byte_tabella(m) != scenario::byte_tabella(r) ||
      scenario::byte_celle(m) != scenario::byte_celle(r)) {
    return "a clean compile and the reading that sets failing rows aside differ";
  }
  return {};
}

std::string verifica_compilazione(std::string_view dati) {
  const input_compilazione input = dividi_input(dati);
  scenario::sorgente_in_memoria linea = input.linea_presente
                                            ? scenario::sorgente_in_memoria(input.linea)
                                            : scenario::sorgente_in_memoria();
  scenario::sorgente_in_memoria treno = input.treno_presente
                                            ? scenario::sorgente_in_memoria(input.treno)
                                            : scenario::sorgente_in_memoria();
  modello m;
  scenario::opzioni_compilazione opzioni;
  opzioni.percorso = scenario::kPercorso;
  opzioni.treno = scenario::kTreno;
  opzioni.crea_tracciato = input.tracciato ? 1 : 0;
  const scenario::esito_compilazione esito = scenario::compila_percorso(m, linea, treno, opzioni);
  if (const std::string diverso = verifica_risincronizzata(input, opzioni, m, esito);
      !diverso.empty()) {
    return diverso;
  }
  if (esito.codice_errore != m.codice_errore || esito.posizione_errore != m.posizione_errore) {
    return "the outcome's error record differs from the model's";
  }
  if (esito.controllo_fallito) return verifica_fermata(m, *esito.controllo_fallito);
  const bool celle = esito.ha_celle;
  if (!scenario::codice_definito(m.codice_errore)) {
    return "the error record holds " + numero(m.codice_errore) + ", which no check sets";
  }
  if (linea.esiste()) return "the line text is still there after the compile";
  if (m.codice_errore == 25 && treno.esiste()) return "a read failure left the train text";
  if (!celle) {
    if (m.ha_celle()) return "compila_percorso says no cells, but the strip is there";
    if (!tra(kCodiciSenzaCelle, m.codice_errore)) {
      return "no cell strip, but code " + numero(m.codice_errore);
    }
    return {};
  }
  return verifica_file(m);
}

}  // namespace prova
