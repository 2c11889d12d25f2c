#include "tools/costruzione/archivio_zip.h"

#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "base/binario.h"
#include "base/crc32.h"

namespace scenario::strumento {
namespace {

template <typename T>
void aggiungi(std::string& byte, T valore) {
  std::array<uint8_t, sizeof(T)> b{};
  metti_le(b.data(), valore);
  byte.append(reinterpret_cast<const char*>(b.data()), b.size());
}

uint32_t a_32_bit(std::size_t n) {
  if (n > std::numeric_limits<uint32_t>::max())
    throw std::length_error("a zip archive without its 64-bit extension holds at most 4 GiB");
  return static_cast<uint32_t>(n);
}

constexpr uint16_t kVersioneNecessaria = 10;  // 1.0: stored entries
constexpr uint16_t kNomeUtf8 = 1U << 11;
constexpr uint16_t kOra = 0;                         // 00:00:00
constexpr uint16_t kData = (0 << 9) | (1 << 5) | 1;  // 1980-01-01

// The fields a local header and a central directory entry share, from the
// version needed to the extra field's length.
void campi_comuni(std::string& byte, const voce_zip& v, uint32_t crc) {
  aggiungi(byte, kVersioneNecessaria);
  aggiungi(byte, kNomeUtf8);
  aggiungi(byte, uint16_t{0});  // stored
  aggiungi(byte, kOra);
  aggiungi(byte, kData);
  aggiungi(byte, crc);
  aggiungi(byte, a_32_bit(v.byte.size()));  // compressed size
  aggiungi(byte, a_32_bit(v.byte.size()));  // uncompressed size
  aggiungi(byte, static_cast<uint16_t>(v.nome.size()));
  aggiungi(byte, uint16_t{0});  // extra field
}

}  // namespace

std::string archivio_zip(const std::vector<voce_zip>& voci) {
  if (voci.size() > std::numeric_limits<uint16_t>::max())
    throw std::length_error("a zip archive without its 64-bit extension holds 65535 entries");
  std::string archivio;
  std::string indice;
  for (const voce_zip& v : voci) {
    if (v.nome.size() > std::numeric_limits<uint16_t>::max())
      throw std::length_error("a name in a zip archive holds at most 65535 bytes");
    const uint32_t crc = crc32(v.byte);
    const uint32_t inizio = a_32_bit(archivio.size());
    aggiungi(archivio, uint32_t{0x04034B50});
    campi_comuni(archivio, v, crc);
    archivio += v.nome;
    archivio += v.byte;

    aggiungi(indice, uint32_t{0x02014B50});
    aggiungi(indice, kVersioneNecessaria);  // made by: MS-DOS, 1.0
    campi_comuni(indice, v, crc);
    aggiungi(indice, uint16_t{0});  // comment
    aggiungi(indice, uint16_t{0});  // disk
    aggiungi(indice, uint16_t{0});  // internal attributes
    aggiungi(indice, uint32_t{0});  // external attributes
    aggiungi(indice, inizio);
    indice += v.nome;
  }
  const uint32_t inizio_indice = a_32_bit(archivio.size());
  archivio += indice;
  aggiungi(archivio, uint32_t{0x06054B50});
  aggiungi(archivio, uint16_t{0});  // this disk
  aggiungi(archivio, uint16_t{0});  // the directory's disk
  aggiungi(archivio, static_cast<uint16_t>(voci.size()));
  aggiungi(archivio, static_cast<uint16_t>(voci.size()));
  aggiungi(archivio, a_32_bit(indice.size()));
  aggiungi(archivio, inizio_indice);
  aggiungi(archivio, uint16_t{0});  // comment
  a_32_bit(archivio.size());
  return archivio;
}

}  // namespace scenario::strumento
