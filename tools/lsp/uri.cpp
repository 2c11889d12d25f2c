#include "tools/lsp/uri.h"

#include <array>

#include "tools/ispezione/ispeziona.h"

namespace scenario::lsp {
namespace {

constexpr std::string_view kSchema = "file://";

std::optional<int> cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<std::string> decodifica(std::string_view testo) {
  std::string r;
  for (std::size_t n = 0; n < testo.size(); ++n) {
    if (testo[n] != '%') {
      r += testo[n];
      continue;
    }
    if (n + 2 >= testo.size()) return std::nullopt;
    const std::optional<int> alta = cifra_esadecimale(testo[n + 1]);
    const std::optional<int> bassa = cifra_esadecimale(testo[n + 2]);
    if (!alta || !bassa) return std::nullopt;
    r += static_cast<char>(*alta * 16 + *bassa);
    n += 2;
  }
  return r;
}

bool non_riservato(unsigned char c) {
  const bool lettera = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  const bool cifra = c >= '0' && c <= '9';
  return lettera || cifra || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
}

// The path part of a URI, after the scheme and the authority.
std::string_view parte_percorso(std::string_view uri) {
  const std::size_t schema = uri.find(':');
  if (schema == std::string_view::npos) return uri;
  std::string_view resto = uri.substr(schema + 1);
  if (resto.starts_with("//")) {
    resto.remove_prefix(2);
    const std::size_t barra = resto.find('/');
    resto = barra == std::string_view::npos ? std::string_view() : resto.substr(barra);
  }
  const std::size_t fine = resto.find_first_of("?#");
  return resto.substr(0, fine);
}

}  // namespace

std::optional<std::filesystem::path> percorso_da_uri(std::string_view uri) {
  if (uri.size() < kSchema.size()) return std::nullopt;
  for (std::size_t n = 0; n < kSchema.size(); ++n) {
    const char c = uri[n] >= 'A' && uri[n] <= 'Z' ? static_cast<char>(uri[n] - 'A' + 'a') : uri[n];
    if (c != kSchema[n]) return std::nullopt;
  }
  std::optional<std::string> percorso = decodifica(parte_percorso(uri));
  if (!percorso || percorso->empty() || percorso->find('\0') != std::string::npos) {
    return std::nullopt;
  }
#ifdef _WIN32
  // "/c:/dir/file" is "c:/dir/file".
  if (percorso->size() >= 3 && (*percorso)[0] == '/' && (*percorso)[2] == ':') {
    percorso->erase(0, 1);
  }
#endif
  const std::u8string u8(percorso->begin(), percorso->end());
  return std::filesystem::path(u8).lexically_normal();
}

std::string uri_da_percorso(const std::filesystem::path& percorso) {
  std::string testo = testo_file(percorso);
#ifdef _WIN32
  for (char& c : testo) {
    if (c == '\\') c = '/';
  }
  if (!testo.starts_with("/")) testo.insert(0, "/");
#endif
  constexpr std::array<char, 17> kCifre = {"0123456789ABCDEF"};
  std::string uri(kSchema);
  for (const char c : testo) {
    const auto b = static_cast<unsigned char>(c);
    if (non_riservato(b)) {
      uri += c;
    } else {
      uri += '%';
      uri += kCifre[b >> 4U];
      uri += kCifre[b & 0x0FU];
    }
  }
  return uri;
}

std::string nome_da_uri(std::string_view uri) {
  const std::string_view percorso = parte_percorso(uri);
  const std::size_t barra = percorso.rfind('/');
  const std::string_view nome =
      barra == std::string_view::npos ? percorso : percorso.substr(barra + 1);
  return decodifica(nome).value_or(std::string(nome));
}

}  // namespace scenario::lsp
