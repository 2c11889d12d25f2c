#include "tools/lsp/posizioni.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "base/codifica.h"

namespace scenario::lsp {
namespace {

constexpr char32_t kSostituto = 0xFFFD;

struct carattere_letto {
  char32_t valore = kSostituto;
  std::size_t byte = 1;  // its length in UTF-8
};

bool continuazione(unsigned char b) { return (b & 0xC0U) == 0x80U; }

// The character that starts at byte `n` of `testo`. A byte that starts no
// well-formed character is one character of its own, U+FFFD.
carattere_letto leggi_carattere(std::string_view testo, std::size_t n) {
  const auto b0 = static_cast<unsigned char>(testo[n]);
  if (b0 < 0x80U) return {b0, 1};
  std::size_t lunghezza = 0;
  char32_t valore = 0;
  char32_t minimo = 0;
  if ((b0 & 0xE0U) == 0xC0U) {
    lunghezza = 2;
    valore = b0 & 0x1FU;
    minimo = 0x80;
  } else if ((b0 & 0xF0U) == 0xE0U) {
    lunghezza = 3;
    valore = b0 & 0x0FU;
    minimo = 0x800;
  } else if ((b0 & 0xF8U) == 0xF0U) {
    lunghezza = 4;
    valore = b0 & 0x07U;
    minimo = 0x10000;
  } else {
    return {};
  }
  if (n + lunghezza > testo.size()) return {};
  for (std::size_t k = 1; k < lunghezza; ++k) {
    const auto b = static_cast<unsigned char>(testo[n + k]);
    if (!continuazione(b)) return {};
    valore = (valore << 6U) | (b & 0x3FU);
  }
  if (valore < minimo || valore > 0x10FFFF || (valore >= 0xD800 && valore <= 0xDFFF)) return {};
  return {valore, lunghezza};
}

// Columns a character takes in the editor's count.
uint32_t unita(const carattere_letto& c, codifica_posizioni codifica) {
  if (codifica == codifica_posizioni::utf8) return static_cast<uint32_t>(c.byte);
  return c.valore >= 0x10000 ? 2U : 1U;
}

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

}  // namespace

testo_unicode::testo_unicode(std::string utf8)
    : utf8_(std::move(utf8)), inizi_{0}, caratteri_prima_{0} {
  // A line end is one character per byte (CR LF two), as in the converted
  // text.
  std::size_t caratteri = 0;
  bool ascii = true;
  for (std::size_t n = 0; n < utf8_.size();) {
    const char c = utf8_[n];
    if (fine_riga(c)) {
      const std::size_t fine = c == '\r' && n + 1 < utf8_.size() && utf8_[n + 1] == '\n' ? 2 : 1;
      n += fine;
      caratteri += fine;
      inizi_.push_back(n);
      caratteri_prima_.push_back(caratteri);
      ascii_.push_back(ascii);
      ascii = true;
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x80U) {
      ++n;
    } else {
      ascii = false;
      n += leggi_carattere(utf8_, n).byte;
    }
    ++caratteri;
  }
  ascii_.push_back(ascii);
}

std::string_view testo_unicode::riga_utf8(std::size_t riga) const {
  if (riga >= inizi_.size()) return {};
  const std::size_t inizio = inizi_[riga];
  // The line ends where the next begins, less its line end (CR LF, LF or CR).
  std::size_t fine = riga + 1 < inizi_.size() ? inizi_[riga + 1] : utf8_.size();
  if (fine > inizio && riga + 1 < inizi_.size()) {
    --fine;
    if (fine > inizio && utf8_[fine] == '\n' && utf8_[fine - 1] == '\r') --fine;
  }
  return std::string_view(utf8_).substr(inizio, fine - inizio);
}

posizione_editor testo_unicode::editor(std::size_t riga, std::size_t indice,
                                       codifica_posizioni c) const {
  if (riga >= inizi_.size()) {
    riga = inizi_.size() - 1;
    indice = std::string::npos;
  }
  const std::string_view testo = riga_utf8(riga);
  uint32_t colonna = 0;
  std::size_t n = 0;
  for (std::size_t k = 0; k < indice && n < testo.size(); ++k) {
    const carattere_letto car = leggi_carattere(testo, n);
    colonna += unita(car, c);
    n += car.byte;
  }
  return {static_cast<uint32_t>(riga), colonna};
}

std::size_t testo_unicode::indice(posizione_editor p, codifica_posizioni c) const {
  const std::string_view testo = riga_utf8(p.riga);
  uint32_t colonna = 0;
  std::size_t k = 0;
  for (std::size_t n = 0; n < testo.size(); ++k) {
    const carattere_letto car = leggi_carattere(testo, n);
    colonna += unita(car, c);
    if (colonna > p.colonna) return k;
    n += car.byte;
  }
  return k;
}

std::size_t testo_unicode::byte_utf8(posizione_editor p, codifica_posizioni c) const {
  if (p.riga >= inizi_.size()) return utf8_.size();
  const std::string_view testo = riga_utf8(p.riga);
  if (ascii_[p.riga]) return inizi_[p.riga] + std::min<std::size_t>(p.colonna, testo.size());
  const std::size_t k = indice(p, c);
  std::size_t n = 0;
  for (std::size_t i = 0; i < k && n < testo.size(); ++i) n += leggi_carattere(testo, n).byte;
  return inizi_[p.riga] + n;
}

std::optional<std::size_t> testo_unicode::byte_esatto(posizione_editor p,
                                                      codifica_posizioni c) const {
  if (p.riga >= inizi_.size()) return std::nullopt;
  const std::string_view testo = riga_utf8(p.riga);
  if (ascii_[p.riga]) {
    if (p.colonna > testo.size()) return std::nullopt;
    return inizi_[p.riga] + p.colonna;
  }
  uint32_t colonna = 0;
  std::size_t n = 0;
  while (colonna < p.colonna && n < testo.size()) {
    const carattere_letto car = leggi_carattere(testo, n);
    colonna += unita(car, c);
    n += car.byte;
  }
  if (colonna != p.colonna) return std::nullopt;
  return inizi_[p.riga] + n;
}

std::size_t testo_unicode::carattere(posizione_editor p, codifica_posizioni c) const {
  if (p.riga >= inizi_.size()) {
    const std::size_t ultima = inizi_.size() - 1;
    return caratteri_prima_[ultima] + indice({static_cast<uint32_t>(ultima), UINT32_MAX}, c);
  }
  return caratteri_prima_[p.riga] + indice(p, c);
}

std::pair<std::size_t, std::size_t> testo_unicode::riga_e_indice(std::size_t carattere) const {
  const auto dopo = std::upper_bound(caratteri_prima_.begin(), caratteri_prima_.end(), carattere);
  const auto riga = static_cast<std::size_t>(dopo - caratteri_prima_.begin()) - 1;
  return {riga, carattere - caratteri_prima_[riga]};
}

posizione_editor testo_unicode::editor_di(std::size_t carattere, codifica_posizioni c) const {
  const auto [riga, indice] = riga_e_indice(carattere);
  return editor(riga, indice, c);
}

testo_1252 in_1252(std::string_view utf8) {
  testo_1252 t;
  t.byte.reserve(utf8.size());
  for (std::size_t n = 0; n < utf8.size();) {
    const carattere_letto c = leggi_carattere(utf8, n);
    n += c.byte;
    if (c.valore < 0x80) {
      t.byte += static_cast<char>(c.valore);
      continue;
    }
    const std::optional<std::string> scritto = cp1252_da_utf8(utf8_di(c.valore));
    if (scritto && scritto->size() == 1) {
      t.byte += scritto->front();
      continue;
    }
    t.non_scrivibili.push_back({t.byte.size(), c.valore});
    t.byte += '?';
  }
  return t;
}

std::size_t conta_caratteri(std::string_view utf8) {
  std::size_t caratteri = 0;
  for (std::size_t n = 0; n < utf8.size(); n += leggi_carattere(utf8, n).byte) ++caratteri;
  return caratteri;
}

std::string utf8_di(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0U | (c >> 6U));
    s += static_cast<char>(0x80U | (c & 0x3FU));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0U | (c >> 12U));
    s += static_cast<char>(0x80U | ((c >> 6U) & 0x3FU));
    s += static_cast<char>(0x80U | (c & 0x3FU));
  } else {
    s += static_cast<char>(0xF0U | (c >> 18U));
    s += static_cast<char>(0x80U | ((c >> 12U) & 0x3FU));
    s += static_cast<char>(0x80U | ((c >> 6U) & 0x3FU));
    s += static_cast<char>(0x80U | (c & 0x3FU));
  }
  return s;
}

std::string nome_unicode(char32_t carattere) {
  std::array<char, 16> testo{};
  std::snprintf(testo.data(), testo.size(), "U+%04X", static_cast<unsigned>(carattere));
  return testo.data();
}

}  // namespace scenario::lsp
