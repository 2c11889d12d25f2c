#include "output/file_compilati.h"

#include <bit>
#include <cstring>
#include <functional>
#include <limits>
#include <span>
#include <stdexcept>

#include "base/file_cartella.h"

namespace scenario {
namespace {

// Fills a buffer little-endian, front to back, one bounds check and one copy
// per member (the plan file of a long route runs to megabytes). A buffer of
// the exact file size is kept whole; a buffer with a `svuota` hands its
// bytes on whenever it fills, so a file of any size passes through a block.
class buffer_byte {
 public:
  using svuotatore = std::function<void(std::span<const uint8_t>)>;

  explicit buffer_byte(std::size_t dimensione) : byte_(dimensione) {}
  buffer_byte(std::size_t blocco, svuotatore svuota) : byte_(blocco), svuota_(std::move(svuota)) {}

  void u8(uint8_t v) { metti(v); }
  void u16(uint16_t v) { metti(v); }
  void i16(int16_t v) { metti(static_cast<uint16_t>(v)); }
  void i32(int32_t v) { metti(static_cast<uint32_t>(v)); }
  void f64(double v) { metti(std::bit_cast<uint64_t>(v)); }
  void testo(const std::string& t) {
    if (t.size() > std::numeric_limits<uint16_t>::max()) {
      throw std::length_error("a text of the table is longer than 65535 bytes");
    }
    u16(static_cast<uint16_t>(t.size()));
    spazio(t.size());
    std::memcpy(byte_.data() + pos_, t.data(), t.size());
    pos_ += t.size();
  }

  std::vector<uint8_t> prendi() {
    if (svuota_ || pos_ != byte_.size()) {
      throw std::logic_error("file buffer not filled to its size");
    }
    return std::move(byte_);
  }

  // Hands on what the block holds.
  void svuota() {
    if (!svuota_) throw std::logic_error("a file buffer kept whole has nowhere to go");
    if (pos_ > 0) svuota_(std::span<const uint8_t>(byte_.data(), pos_));
    pos_ = 0;
  }

 private:
  void spazio(std::size_t quanti) {
    if (byte_.size() - pos_ >= quanti) return;
    if (svuota_ && quanti <= byte_.size()) {
      svuota();
      return;
    }
    throw std::out_of_range("file buffer too small");
  }

  // An unsigned value in its own width, least significant byte first
  // whatever the host's order.
  template <typename T>
  void metti(T v) {
    spazio(sizeof(T));
    uint8_t* dove = byte_.data() + pos_;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(dove, &v, sizeof(T));
    } else {
      for (std::size_t b = 0; b < sizeof(T); ++b) {
        dove[b] = static_cast<uint8_t>((static_cast<uint64_t>(v) >> (8 * b)) & 0xFFU);
      }
    }
    pos_ += sizeof(T);
  }

  std::vector<uint8_t> byte_;
  std::size_t pos_ = 0;
  svuotatore svuota_;
};

// The plan file passes to disk through a block of this size, not whole.
constexpr std::size_t kBloccoFile = std::size_t{1} << 16;

std::size_t byte_elemento(const elemento_tracciato& e) {
  switch (e.tipo) {
    case tipo_elemento::vuoto:
      return 2;
    case tipo_elemento::intero:
      return 4;
    case tipo_elemento::doppio:
      return 10;
  }
  return 2;
}

void scrivi_elemento(buffer_byte& b, const elemento_tracciato& e) {
  switch (e.tipo) {
    case tipo_elemento::vuoto:
      b.u16(kTagVuoto);
      break;
    case tipo_elemento::intero:
      b.u16(kTagIntero);
      b.i16(static_cast<int16_t>(e.valore));
      break;
    case tipo_elemento::doppio:
      b.u16(kTagDoppio);
      b.f64(e.valore);
      break;
  }
}

void scrivi_voce(buffer_byte& b, const voce& v) {
  b.u8(v.tipo);
  b.i32(v.inizio);
  b.i32(v.fine);
  b.i32(v.posizione);
  b.u8(v.campo4);
  b.testo(v.nome);
  b.i16(v.campo7);
  b.i16(v.campo8);
  b.i16(v.campo10);
  b.i16(v.campo11);
  b.i16(v.campo12);
  b.u8(v.campo9);
  b.u8(v.campo13);
  b.u8(v.campo6);
  b.u8(v.campo5);
  b.i32(v.orario);
}

void scrivi_cella(buffer_byte& b, const cella& c) {
  b.u8(c.evento);
  b.i16(c.dato1);
  b.i16(c.dato2);
  b.i16(c.dato3);
  b.i16(c.dato4);
  b.u8(c.tempo_segnale);
  b.u8(c.preavviso);
  b.u8(c.montagna);
  b.u8(c.vel_limite);
  b.u8(c.pendenza);
  b.u8(c.aderenza);
}

void scrivi_tracciato(buffer_byte& b, const modello& m) {
  for (const auto& coordinata : m.tracciato) {
    for (const auto& e : coordinata) scrivi_elemento(b, e);
  }
}

}  // namespace

std::vector<uint8_t> byte_tracciato(const modello& m) {
  std::size_t totale = 0;
  for (const auto& coordinata : m.tracciato) {
    for (const auto& e : coordinata) totale += byte_elemento(e);
  }
  buffer_byte b(totale);
  scrivi_tracciato(b, m);
  return b.prendi();
}

std::vector<uint8_t> byte_tabella(const modello& m) {
  std::size_t totale = 0;
  for (const voce& v : m.tabella) totale += kByteVoceSenzaNome + v.nome.size();
  buffer_byte b(totale);
  for (const voce& v : m.tabella) scrivi_voce(b, v);
  return b.prendi();
}

std::vector<uint8_t> byte_celle(const modello& m) {
  buffer_byte b(m.celle.size() * kByteCella);
  for (const cella& c : m.celle) scrivi_cella(b, c);
  return b.prendi();
}

std::string nome_file_tracciato(const modello& m) { return m.percorso + "_linea.dat"; }
std::string nome_file_tabella(const modello& m) { return m.percorso + "_" + m.treno + ".sim"; }
std::string nome_file_celle(const modello& m) { return m.percorso + "_" + m.treno + ".dat"; }

void scrivi_file_compilati(const modello& m, const std::filesystem::path& cartella) {
  if (m.crea_tracciato != 0) {
    file_in_sostituzione file(percorso_file(cartella, nome_file_tracciato(m)));
    buffer_byte b(kBloccoFile, [&file](std::span<const uint8_t> blocco) { file.scrivi(blocco); });
    scrivi_tracciato(b, m);
    b.svuota();
    file.conferma();
  }
  sostituisci_file(percorso_file(cartella, nome_file_tabella(m)), byte_tabella(m));
  sostituisci_file(percorso_file(cartella, nome_file_celle(m)), byte_celle(m));
}

}  // namespace scenario
