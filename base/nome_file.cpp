#include "base/nome_file.h"

#include <array>
#include <cstdio>

#include "base/codifica.h"

namespace scenario {
namespace {

constexpr std::string_view kVietati = "<>:\"/\\|?*";
constexpr char kCancella = '\x7F';

// The device names, upper case; COM and LPT take a digit (or a superscript
// 1, 2, 3: Windows-1252 B9, B2, B3) after them.
constexpr std::array<std::string_view, 4> kDispositivi = {"CON", "PRN", "AUX", "NUL"};
constexpr std::array<std::string_view, 2> kPorte = {"COM", "LPT"};
constexpr std::string_view kApici = "\xB9\xB2\xB3";

bool controllo(char c) { return static_cast<unsigned char>(c) < 0x20 || c == kCancella; }

std::string maiuscolo_ascii(std::string_view testo) {
  std::string risultato(testo);
  for (char& c : risultato) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return risultato;
}

// Windows takes a device name before the first dot, blanks before the dot
// dropped: "nul", "Com1.txt" and "CON .dat" all name a device.
bool dispositivo(std::string_view nome) {
  std::string_view base = nome.substr(0, nome.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  const std::string maiuscolo = maiuscolo_ascii(base);
  for (std::string_view d : kDispositivi) {
    if (maiuscolo == d) return true;
  }
  if (maiuscolo.size() != 4) return false;
  const char cifra = maiuscolo[3];
  const bool numero =
      (cifra >= '0' && cifra <= '9') || kApici.find(cifra) != std::string_view::npos;
  for (std::string_view p : kPorte) {
    if (numero && std::string_view(maiuscolo).substr(0, 3) == p) return true;
  }
  return false;
}

std::string carattere(char c) {
  if (!controllo(c)) return "'" + std::string(1, c) + "'";
  char codice[8];
  std::snprintf(codice, sizeof codice, "0x%02X",
                static_cast<unsigned>(static_cast<unsigned char>(c)));
  return "the control character " + std::string(codice);
}

}  // namespace

std::optional<std::string> motivo_nome_non_valido(std::string_view nome) {
  if (nome.empty()) return "is empty";
  if (nome.front() == '.')
    return "starts with a dot, which hides the file or leads out of the folder";
  for (char c : nome) {
    if (controllo(c) || kVietati.find(c) != std::string_view::npos) {
      return "holds " + carattere(c) + ", which Windows does not allow in a file name";
    }
  }
  if (nome.back() == ' ' || nome.back() == '.') {
    return "ends with a blank or a dot, which Windows drops from a file name";
  }
  if (dispositivo(nome)) return "is a name Windows keeps for a device";
  const std::size_t byte = utf8_da_1252(nome).size();
  if (byte > kByteNomeFileMassimi) {
    return "is " + std::to_string(byte) + " bytes long in UTF-8, more than the " +
           std::to_string(kByteNomeFileMassimi) + " a file name may have";
  }
  return std::nullopt;
}

}  // namespace scenario
