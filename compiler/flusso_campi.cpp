#include "compiler/flusso_campi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "compiler/modello.h"
#include "compiler/osservatore.h"
#include "compiler/record.h"

namespace scenario {
namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool cifra(char c) { return c >= '0' && c <= '9'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }

std::size_t salta_cifre(std::string_view testo, std::size_t pos) {
  while (pos < testo.size() && cifra(testo[pos])) ++pos;
  return pos;
}

// Most numbers of a text are whole, and short: digits [inizio, fine) that no
// fraction or exponent follows and that fit 15 digits are a double exactly,
// the very double strtod would give, without its cost. Nothing otherwise.
std::optional<double> intero_esatto(std::string_view token, std::size_t inizio, std::size_t fine) {
  constexpr std::size_t kCifreEsatte = 15;  // below 2^53: every such integer is a double
  if (fine - inizio > kCifreEsatte) return std::nullopt;
  const bool segue_frazione =
      fine + 1 < token.size() && token[fine] == '.' && cifra(token[fine + 1]);
  const bool segue_esponente =
      fine + 1 < token.size() && (token[fine] == 'e' || token[fine] == 'E');
  if (segue_frazione || segue_esponente) return std::nullopt;
  uint64_t valore = 0;
  for (std::size_t k = inizio; k < fine; ++k) {
    valore = valore * 10 + static_cast<uint64_t>(token[k] - '0');
  }
  return static_cast<double>(valore);
}

}  // namespace

errore_lettura::errore_lettura(std::string_view motivo, std::size_t posizione)
    : std::runtime_error(std::string(motivo)), posizione_(posizione) {}

int32_t entro_32_bit(int64_t valore, std::string_view che_cosa, std::size_t posizione) {
  if (valore < INT32_MIN || valore > INT32_MAX) {
    std::string motivo(che_cosa);
    motivo += " (" + std::to_string(valore) + ") does not fit 32 bits";
    throw errore_lettura(motivo, posizione);
  }
  return static_cast<int32_t>(valore);
}

double valore_numerico(std::string_view token, bool& fuori_scala) {
  fuori_scala = false;
  std::size_t pos = 0;
  bool negativo = false;
  if (pos < token.size() && (token[pos] == '+' || token[pos] == '-')) {
    negativo = token[pos] == '-';
    ++pos;
  }
  const std::size_t inizio_cifre = pos;
  pos = salta_cifre(token, pos);
  if (pos == inizio_cifre) return 0.0;
  if (const std::optional<double> intero = intero_esatto(token, inizio_cifre, pos)) {
    return negativo ? -*intero : *intero;
  }
  if (pos + 1 < token.size() && token[pos] == '.' && cifra(token[pos + 1])) {
    pos = salta_cifre(token, pos + 1);
  }
  if (pos + 1 < token.size() && (token[pos] == 'e' || token[pos] == 'E')) {
    std::size_t esponente = pos + 1;
    if (esponente < token.size() && (token[esponente] == '+' || token[esponente] == '-')) {
      ++esponente;
    }
    if (esponente < token.size() && cifra(token[esponente])) pos = salta_cifre(token, esponente);
  }
  // strtod in the "C" locale (the program never sets another): '.' is the
  // decimal point, an overflow gives infinity and an underflow 0.
  const std::string numero(token.substr(inizio_cifre, pos - inizio_cifre));
  const double valore = std::strtod(numero.c_str(), nullptr);
  fuori_scala = std::isinf(valore);
  return negativo ? -valore : valore;
}

void flusso_campi::salta_spazi() {
  while (pos_ < byte_.size() && spazio(byte_[pos_])) ++pos_;
}

bool flusso_campi::a_fine_riga() const { return pos_ < byte_.size() && fine_riga(byte_[pos_]); }

bool flusso_campi::consuma_fine_riga() {
  if (!a_fine_riga()) return false;
  if (byte_[pos_] == '\r' && pos_ + 1 < byte_.size() && byte_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  return true;
}

bool flusso_campi::consuma_virgola() {
  if (pos_ < byte_.size() && byte_[pos_] == ',') {
    ++pos_;
    return true;
  }
  return false;
}

void flusso_campi::racconta(std::size_t fine, slot_valore slot, double valore) const {
  if (osservatore_ != nullptr) {
    osservatore_->campo({inizio_campo_, fine, slot != slot_valore::testo, slot, valore});
  }
}

void flusso_campi::inizia_campo() {
  if (eof()) throw errore_lettura("the text ends where a field should begin", pos_);
  salta_spazi();
  inizio_campo_ = pos_;
}

void flusso_campi::riprendi_dopo_riga(std::size_t da) {
  auto dopo_fine_riga = [this](std::size_t n) {
    while (n < byte_.size() && !fine_riga(byte_[n])) ++n;
    if (n < byte_.size() && byte_[n] == '\r' && n + 1 < byte_.size() && byte_[n + 1] == '\n') ++n;
    return std::min(n + 1, byte_.size());
  };
  const bool a_inizio_riga = pos_ == 0 || fine_riga(byte_[pos_ - 1]);
  // A field not yet read (a failure that points where the stream stands):
  // the line it stands on, when it begins one.
  if (da >= pos_) {
    if (!a_inizio_riga) pos_ = dopo_fine_riga(pos_);
    return;
  }
  const std::size_t n = dopo_fine_riga(da);
  pos_ = n >= pos_ ? n : a_inizio_riga ? pos_ : dopo_fine_riga(pos_);
}

std::string flusso_campi::leggi_testo() {
  inizia_campo();
  if (pos_ < byte_.size() && byte_[pos_] == '"') {
    const std::size_t inizio = pos_ + 1;
    std::size_t chiusura = byte_.find('"', inizio);
    if (chiusura == std::string_view::npos) chiusura = byte_.size();
    std::string campo(byte_.substr(inizio, chiusura - inizio));
    pos_ = chiusura < byte_.size() ? chiusura + 1 : chiusura;
    racconta(pos_, slot_valore::testo, 0.0);
    salta_spazi();
    if (!consuma_virgola()) consuma_fine_riga();
    return campo;
  }
  const std::size_t inizio = pos_;
  while (pos_ < byte_.size() && byte_[pos_] != ',' && !fine_riga(byte_[pos_])) ++pos_;
  std::string campo(byte_.substr(inizio, pos_ - inizio));
  racconta(pos_, slot_valore::testo, 0.0);
  if (!consuma_virgola()) consuma_fine_riga();
  return campo;
}

std::string flusso_campi::leggi_testo_tabella() {
  std::string campo = leggi_testo();
  if (campo.size() > kByteTestoTabella) {
    throw errore_lettura("a text of " + std::to_string(campo.size()) +
                             " bytes does not fit the table (at most " +
                             std::to_string(kByteTestoTabella) + ")",
                         inizio_campo_);
  }
  return campo;
}

double flusso_campi::leggi_numero(slot_valore slot, double minimo, double massimo) {
  inizia_campo();
  const std::size_t inizio = pos_;
  while (pos_ < byte_.size() && byte_[pos_] != ',' && !spazio(byte_[pos_]) &&
         !fine_riga(byte_[pos_])) {
    ++pos_;
  }
  std::string_view token = byte_.substr(inizio, pos_ - inizio);
  const std::size_t fine_token = pos_;
  salta_spazi();
  if (!consuma_virgola()) consuma_fine_riga();

  bool fuori_scala = false;
  const double valore = arrotonda_pari(valore_numerico(token, fuori_scala));
  if (fuori_scala || valore < minimo || valore > massimo) {
    std::string motivo = "the number '";
    motivo += token;
    motivo += "' does not fit a ";
    motivo += nome_slot(slot);
    motivo += slot == slot_valore::byte ? "" : " value";
    motivo += " (";
    motivo += intervallo_slot(slot);
    motivo += ")";
    throw errore_lettura(motivo, inizio);
  }
  racconta(fine_token, slot, valore);
  return valore;
}

uint8_t flusso_campi::leggi_byte() {
  return static_cast<uint8_t>(leggi_numero(slot_valore::byte, 0, 255));
}

int16_t flusso_campi::leggi_int16() {
  return static_cast<int16_t>(leggi_numero(slot_valore::int16, -32768, 32767));
}

int32_t flusso_campi::leggi_int32() {
  return static_cast<int32_t>(leggi_numero(slot_valore::int32, -2147483648.0, 2147483647.0));
}

}  // namespace scenario
