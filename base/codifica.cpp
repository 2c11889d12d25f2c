#include "base/codifica.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace scenario {
namespace {

// Code points of bytes 0x80..0x9F; 0 marks the five undefined bytes.
constexpr std::array<char32_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t carattere_1252(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) {
    char32_t c = kAlti[b - 0x80U];
    return c == 0 ? char32_t{0xFFFD} : c;
  }
  return b;
}

void aggiungi_utf8(std::string& uscita, char32_t c) {
  auto byte = [&uscita](uint32_t v) { uscita.push_back(static_cast<char>(v)); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | (c >> 6));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xE0 | (c >> 12));
    byte(0x80 | ((c >> 6) & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

std::optional<unsigned char> byte_1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (std::size_t k = 0; k < kAlti.size(); ++k) {
    if (kAlti[k] != 0 && kAlti[k] == c) return static_cast<unsigned char>(0x80 + k);
  }
  return std::nullopt;
}

// Decodes one UTF-8 sequence at `pos`, moving past it; nothing when malformed.
std::optional<char32_t> decodifica_utf8(std::string_view testo, std::size_t& pos) {
  auto b0 = static_cast<unsigned char>(testo[pos]);
  std::size_t seguito = 0;
  char32_t c = b0;
  char32_t minimo = 0;
  if (b0 >= 0x80) {
    if ((b0 & 0xE0U) == 0xC0) {
      seguito = 1, c = b0 & 0x1FU, minimo = 0x80;
    } else if ((b0 & 0xF0U) == 0xE0) {
      seguito = 2, c = b0 & 0x0FU, minimo = 0x800;
    } else if ((b0 & 0xF8U) == 0xF0) {
      seguito = 3, c = b0 & 0x07U, minimo = 0x10000;
    } else {
      return std::nullopt;
    }
  }
  if (testo.size() - pos <= seguito) return std::nullopt;
  for (std::size_t n = 1; n <= seguito; ++n) {
    auto b = static_cast<unsigned char>(testo[pos + n]);
    if ((b & 0xC0U) != 0x80) return std::nullopt;
    c = (c << 6) | (b & 0x3FU);
  }
  if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  pos += seguito + 1;
  return c;
}

}  // namespace

char minuscola_1252(char c) {
  auto b = static_cast<unsigned char>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
    return static_cast<char>(b + 0x20);
  }
  switch (b) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

std::string minuscolo_1252(std::string_view testo) {
  std::string uscita(testo);
  std::transform(uscita.begin(), uscita.end(), uscita.begin(), minuscola_1252);
  return uscita;
}

bool contiene(std::string_view testo, std::string_view parte) {
  return testo.find(parte) != std::string_view::npos;
}

bool contiene_senza_maiuscole(std::string_view testo, std::string_view parte) {
  // Lowering never changes a length: a part longer than the text cannot be
  // in it, and the readers test every field, most of them short.
  if (parte.size() > testo.size()) return false;
  return contiene(minuscolo_1252(testo), minuscolo_1252(parte));
}

std::string utf8_da_1252(std::string_view testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (char c : testo) aggiungi_utf8(uscita, carattere_1252(static_cast<unsigned char>(c)));
  return uscita;
}

std::optional<std::string> cp1252_da_utf8(std::string_view testo) {
  std::string uscita;
  std::size_t pos = 0;
  while (pos < testo.size()) {
    auto c = decodifica_utf8(testo, pos);
    if (!c) return std::nullopt;
    auto b = byte_1252(*c);
    if (!b) return std::nullopt;
    uscita.push_back(static_cast<char>(*b));
  }
  return uscita;
}

bool utf8_valido(std::string_view testo) {
  std::size_t pos = 0;
  while (pos < testo.size()) {
    if (!decodifica_utf8(testo, pos)) return false;
  }
  return true;
}

std::string testo_xml(std::string_view testo_utf8) {
  std::string t;
  for (char c : testo_utf8) {
    switch (c) {
      case '&':
        t += "&amp;";
        break;
      case '<':
        t += "&lt;";
        break;
      case '>':
        t += "&gt;";
        break;
      case '"':
        t += "&quot;";
        break;
      case '\'':
        t += "&apos;";
        break;
      default:
        // Control characters other than tab and line ends are not allowed in XML.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          t += "\xEF\xBF\xBD";
        } else {
          t += c;
        }
    }
  }
  return t;
}

}  // namespace scenario
