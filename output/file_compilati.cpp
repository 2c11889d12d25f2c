#include "output/file_compilati.h"

#include <cstring>
#include <functional>
#include <limits>
#include <span>
#include <stdexcept>

#include "base/binario.h"
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

  // A member's value: a number in its own width, a text as its 16-bit
  // length and its bytes.
  template <valore_fisso T>
  void valore(T v) {
    spazio(sizeof(T));
    metti_le(byte_.data() + pos_, v);
    pos_ += sizeof(T);
  }
  void valore(const std::string& t) {
    if (t.size() > std::numeric_limits<uint16_t>::max()) {
      throw std::length_error("a text of the table is longer than 65535 bytes");
    }
    valore(static_cast<uint16_t>(t.size()));
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

  std::vector<uint8_t> byte_;
  std::size_t pos_ = 0;
  svuotatore svuota_;
};

// The plan file passes to disk through a block of this size, not whole.
constexpr std::size_t kBloccoFile = std::size_t{1} << 16;

void scrivi_elemento(buffer_byte& b, const elemento_tracciato& e) {
  b.valore(forma_di(e.tipo).tag);
  switch (e.tipo) {
    case tipo_elemento::vuoto:
      break;
    case tipo_elemento::intero:
      b.valore(static_cast<int16_t>(e.valore));
      break;
    case tipo_elemento::doppio:
      b.valore(e.valore);
      break;
  }
}

// A record member by member, in the order of its description.
template <typename Record, typename Membri>
void scrivi_record(buffer_byte& b, const Record& r, const Membri& membri) {
  per_ogni_membro(membri, [&b, &r](const auto& m) { b.valore(r.*m.campo); });
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
    for (const auto& e : coordinata) totale += forma_di(e.tipo).byte;
  }
  buffer_byte b(totale);
  scrivi_tracciato(b, m);
  return b.prendi();
}

std::vector<uint8_t> byte_tabella(const modello& m) {
  std::size_t totale = 0;
  for (const voce& v : m.tabella) totale += kByteVoceSenzaNome + v.nome.size();
  buffer_byte b(totale);
  for (const voce& v : m.tabella) scrivi_record(b, v, kMembriVoce);
  return b.prendi();
}

std::vector<uint8_t> byte_celle(const modello& m) {
  buffer_byte b(m.celle.size() * kByteCella);
  for (const cella& c : m.celle) scrivi_record(b, c, kMembriCella);
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
