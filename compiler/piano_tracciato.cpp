#include "compiler/piano_tracciato.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>

namespace scenario {
namespace {

constexpr std::size_t kByteMassimi = forma_di(tipo_elemento::doppio).byte;

uint16_t tag_a(std::span<const uint8_t> byte, std::size_t dove) {
  if (byte.size() - dove < kByteTag) throw std::invalid_argument("a plan element is cut short");
  return prendi_le<uint16_t>(byte.data() + dove);
}

// The form of the element at `dove`; throws when it has none or is cut short.
const forma_elemento& forma_a(std::span<const uint8_t> byte, std::size_t dove) {
  const forma_elemento* forma = forma_del_tag(tag_a(byte, dove));
  if (forma == nullptr) throw std::invalid_argument("a plan element has an unknown tag");
  if (byte.size() - dove < forma->byte) {
    throw std::invalid_argument("a plan element is cut short");
  }
  return *forma;
}

}  // namespace

std::size_t piano_tracciato::byte_meta_compilata(std::size_t punti) {
  if (punti < 4) return punti * kByteMassimi;
  return 2 * forma_di(tipo_elemento::intero).byte + (punti - 4) * kByteMassimi +
         2 * forma_di(tipo_elemento::vuoto).byte;
}

const forma_elemento* forma_del_tag(uint16_t tag) {
  for (const forma_elemento& forma : kFormeElemento) {
    if (forma.tag == tag) return &forma;
  }
  return nullptr;
}

void piano_tracciato::svuota() {
  punti_ = 0;
  posati_ = 0;
  completo_ = true;
  for (meta_posata& m : meta_) {
    m.inizio = 0;
    m.fine = 0;
    m.tratti.clear();
  }
}

void piano_tracciato::prepara(std::size_t punti) {
  svuota();
  punti_ = punti;
  completo_ = false;
  if (!conserva_) return;
  // The second half is laid where a compile that reaches the end of its
  // plan needs it, so that such a compile never moves it.
  const std::size_t prima_meta = byte_meta_compilata(punti);
  meta_[1].inizio = meta_[1].fine = prima_meta;
  if (byte_.size() < 2 * prima_meta) {
    // Nothing of the last plan needs to move over.
    byte_.clear();
    byte_.resize(2 * prima_meta);
  }
}

void piano_tracciato::conserva_byte(bool conserva) {
  conserva_ = conserva;
  svuota();
}

void piano_tracciato::richiedi_byte() const {
  if (!conserva_) {
    throw std::logic_error("the plan's points were counted, not kept: there is nothing to read");
  }
}

void piano_tracciato::richiedi_punti(std::size_t n) const {
  if (punti_ - posati_ >= n) return;
  throw std::out_of_range("plan point " + std::to_string(posati_ + n - 1) +
                          " is outside the plan of " + std::to_string(punti_) + " points");
}

// Moves the second half so that it starts at `nuovo_inizio`, with
// `spazio` bytes from there on for it (at least what it holds).
void piano_tracciato::sposta_seconda_meta(std::size_t nuovo_inizio, std::size_t spazio) {
  meta_posata& m = meta_[1];
  const std::size_t lunghezza = m.fine - m.inizio;
  if (byte_.size() < nuovo_inizio + std::max(spazio, lunghezza)) {
    byte_.resize(nuovo_inizio + std::max(spazio, lunghezza));
  }
  std::memmove(byte_.data() + nuovo_inizio, byte_.data() + m.inizio, lunghezza);
  m.inizio = nuovo_inizio;
  m.fine = nuovo_inizio + lunghezza;
}

// Where in byte_ the next `n` elements of half `coordinata`, all of form
// `tipo`, go; they count as that half's from now on. Only a plan unlike the
// compile's ever moves the second half here, and then makes room for the
// rest of the plan in any form.
std::size_t piano_tracciato::posto(std::size_t coordinata, tipo_elemento tipo, std::size_t n) {
  meta_posata& m = meta_[coordinata];
  const std::size_t byte = n * forma_di(tipo).byte;
  const std::size_t resto = (punti_ - posati_ - n) * kByteMassimi;
  if (coordinata == 0 && m.fine + byte > meta_[1].inizio) {
    sposta_seconda_meta(m.fine + byte + resto, meta_[1].fine - meta_[1].inizio + byte + resto);
  }
  if (coordinata == 1 && m.fine + byte > byte_.size()) {
    sposta_seconda_meta(m.inizio, m.fine - m.inizio + byte + resto);
  }
  if (m.tratti.empty() || m.tratti.back().tipo != tipo) {
    m.tratti.push_back({posati_, m.fine - m.inizio, tipo});
  }
  const std::size_t dove = m.fine;
  m.fine += byte;
  return dove;
}

void piano_tracciato::posa(const elemento_tracciato& x, const elemento_tracciato& y) {
  richiedi_punti(1);
  if (!conserva_) {
    ++posati_;
    return;
  }
  const std::array<const elemento_tracciato*, 2> elementi = {&x, &y};
  for (std::size_t c = 0; c < 2; ++c) {
    const elemento_tracciato& e = *elementi[c];
    // posto may move the bytes: the pointer is taken after it.
    const std::size_t posizione = posto(c, e.tipo, 1);
    uint8_t* dove = byte_.data() + posizione;
    metti_le(dove, forma_di(e.tipo).tag);
    if (e.tipo == tipo_elemento::intero) {
      metti_le(dove + kByteTag, static_cast<int16_t>(e.valore));
    } else if (e.tipo == tipo_elemento::doppio) {
      metti_le(dove + kByteTag, e.valore);
    }
  }
  ++posati_;
}

piano_tracciato::spazio_doppi piano_tracciato::apri_doppi(std::size_t n) {
  richiedi_punti(n);
  if (n == 0 || !conserva_) {
    posati_ += n;
    return {nullptr, nullptr};
  }
  const std::size_t x = posto(0, tipo_elemento::doppio, n);
  const std::size_t y = posto(1, tipo_elemento::doppio, n);
  posati_ += n;
  return {byte_.data() + x, byte_.data() + y};
}

void piano_tracciato::completa() {
  if (completo_) return;
  if (!conserva_) {
    posati_ = punti_;
    completo_ = true;
    return;
  }
  const std::size_t resto = punti_ - posati_;
  if (resto > 0) {
    for (std::size_t c = 0; c < 2; ++c) {
      const std::size_t dove = posto(c, tipo_elemento::vuoto, resto);
      std::memset(byte_.data() + dove, 0, resto * forma_di(tipo_elemento::vuoto).byte);
    }
    posati_ = punti_;
  }
  if (meta_[1].inizio != meta_[0].fine) sposta_seconda_meta(meta_[0].fine, 0);
  completo_ = true;
}

std::span<const uint8_t> piano_tracciato::byte() const {
  richiedi_byte();
  if (!completo_) throw std::logic_error("the plan's bytes were asked for before it was complete");
  return {byte_.data(), meta_[1].fine};
}

std::span<const uint8_t> piano_tracciato::byte_meta(std::size_t coordinata) const {
  const meta_posata& m = meta_.at(coordinata);
  return {byte_.data() + m.inizio, m.fine - m.inizio};
}

elemento_tracciato piano_tracciato::elemento(std::size_t coordinata, std::size_t punto) const {
  if (punto >= punti_) {
    throw std::out_of_range("plan point " + std::to_string(punto) + " is outside the plan of " +
                            std::to_string(punti_) + " points");
  }
  richiedi_byte();
  if (punto >= posati_) return {};
  const std::vector<serie>& tutte = meta_.at(coordinata).tratti;
  const auto dopo = std::upper_bound(tutte.begin(), tutte.end(), punto,
                                     [](std::size_t p, const serie& s) { return p < s.primo; });
  const serie& s = *std::prev(dopo);
  const forma_elemento& forma = forma_di(s.tipo);
  const uint8_t* dove =
      byte_meta(coordinata).data() + s.inizio + (punto - s.primo) * forma.byte + kByteTag;
  switch (s.tipo) {
    case tipo_elemento::vuoto:
      break;
    case tipo_elemento::intero:
      return {tipo_elemento::intero, static_cast<double>(prendi_le<int16_t>(dove))};
    case tipo_elemento::doppio:
      return {tipo_elemento::doppio, prendi_le<double>(dove)};
  }
  return {};
}

piano_tracciato piano_tracciato::dai_byte(std::span<const uint8_t> byte) {
  std::size_t elementi = 0;
  for (std::size_t dove = 0; dove < byte.size(); dove += forma_a(byte, dove).byte) ++elementi;
  if (elementi % 2 != 0) {
    throw std::invalid_argument("a plan holds an even number of elements");
  }
  piano_tracciato p;
  p.punti_ = p.posati_ = elementi / 2;
  p.byte_.assign(byte.begin(), byte.end());
  std::size_t dove = 0;
  for (std::size_t c = 0; c < 2; ++c) {
    meta_posata& m = p.meta_[c];
    m.inizio = dove;
    for (std::size_t punto = 0; punto < p.punti_; ++punto) {
      const forma_elemento& forma = forma_a(byte, dove);
      if (m.tratti.empty() || m.tratti.back().tipo != forma.tipo) {
        m.tratti.push_back({punto, dove - m.inizio, forma.tipo});
      }
      dove += forma.byte;
    }
    m.fine = dove;
  }
  return p;
}

bool piano_tracciato::operator==(const piano_tracciato& altro) const {
  if (punti_ != altro.punti_ || posati_ != altro.posati_ || completo_ != altro.completo_ ||
      conserva_ != altro.conserva_) {
    return false;
  }
  for (std::size_t c = 0; c < 2; ++c) {
    const std::span<const uint8_t> a = byte_meta(c);
    const std::span<const uint8_t> b = altro.byte_meta(c);
    if (!std::equal(a.begin(), a.end(), b.begin(), b.end())) return false;
  }
  return true;
}

}  // namespace scenario
