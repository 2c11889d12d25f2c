#include "output/file_compilati.h"

#include <cstring>
#include <span>
#include <stdexcept>

#include "base/binario.h"
#include "base/file_cartella.h"

namespace scenario {
namespace {

// Fills a buffer of the exact file size little-endian, front to back, one
// bounds check and one copy per member.
class buffer_byte {
 public:
  explicit buffer_byte(std::size_t dimensione) : byte_(dimensione) {}

  // A member's value: a number in its own width, a text as its 16-bit
  // length and its bytes.
  template <valore_fisso T>
  void valore(T v) {
    spazio(sizeof(T));
    metti_le(byte_.data() + pos_, v);
    pos_ += sizeof(T);
  }
  void valore(const std::string& t) {
    if (t.size() > kByteTestoTabella) {
      throw std::length_error("a text of the table is longer than 65535 bytes");
    }
    valore(static_cast<uint16_t>(t.size()));
    spazio(t.size());
    std::memcpy(byte_.data() + pos_, t.data(), t.size());
    pos_ += t.size();
  }

  std::vector<uint8_t> prendi() {
    if (pos_ != byte_.size()) throw std::logic_error("file buffer not filled to its size");
    return std::move(byte_);
  }

 private:
  void spazio(std::size_t quanti) const {
    if (byte_.size() - pos_ < quanti) throw std::out_of_range("file buffer too small");
  }

  std::vector<uint8_t> byte_;
  std::size_t pos_ = 0;
};

// A record member by member, in the order of its description.
template <typename Record, typename Membri>
void scrivi_record(buffer_byte& b, const Record& r, const Membri& membri) {
  per_ogni_membro(membri, [&b, &r](const auto& m) { b.valore(r.*m.campo); });
}

}  // namespace

std::vector<uint8_t> byte_tracciato(const modello& m) {
  const std::span<const uint8_t> byte = m.tracciato.byte();
  return {byte.begin(), byte.end()};
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
  // The model holds the plan as its file's bytes: they go out in one write.
  if (m.crea_tracciato != 0) {
    sostituisci_file(percorso_file(cartella, nome_file_tracciato(m)), m.tracciato.byte());
  }
  sostituisci_file(percorso_file(cartella, nome_file_tabella(m)), byte_tabella(m));
  sostituisci_file(percorso_file(cartella, nome_file_celle(m)), byte_celle(m));
}

}  // namespace scenario
