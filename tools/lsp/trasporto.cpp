#include "tools/lsp/trasporto.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "base/codifica.h"

namespace scenario::lsp {
namespace {

constexpr std::string_view kLunghezza = "content-length:";

std::string_view senza_spazi(std::string_view testo) {
  while (!testo.empty() && (testo.front() == ' ' || testo.front() == '\t')) testo.remove_prefix(1);
  while (!testo.empty() && (testo.back() == ' ' || testo.back() == '\t')) testo.remove_suffix(1);
  return testo;
}

// Where a Content-Length header begins in `riga`, in any letter case.
std::size_t inizio_lunghezza(std::string_view riga) {
  return minuscolo_1252(riga).find(kLunghezza);
}

// The value of a Content-Length line: a whole number within the limit.
std::optional<std::size_t> valore_lunghezza(std::string_view valore) {
  valore = senza_spazi(valore);
  std::size_t n = 0;
  const auto [fine, errore] = std::from_chars(valore.data(), valore.data() + valore.size(), n);
  if (errore != std::errc() || fine != valore.data() + valore.size() || valore.empty()) {
    return std::nullopt;
  }
  if (n > kMassimoContenuto) return std::nullopt;
  return n;
}

messaggio_letto cornice(std::string errore) {
  return {messaggio_letto::esito::cornice, {}, std::move(errore)};
}

}  // namespace

std::optional<std::string> oltre_i_limiti(std::string_view corpo) {
  std::size_t profondita = 0;
  std::size_t valori = 1;
  bool in_stringa = false;
  for (std::size_t n = 0; n < corpo.size(); ++n) {
    const char c = corpo[n];
    if (in_stringa) {
      if (c == '\\') {
        ++n;
      } else if (c == '"') {
        in_stringa = false;
      }
      continue;
    }
    switch (c) {
      case '"':
        in_stringa = true;
        break;
      case '[':
      case '{':
        if (++profondita > kProfonditaMassima) {
          return "the message nests deeper than " + std::to_string(kProfonditaMassima) +
                 " levels (at byte " + std::to_string(n) +
                 "), deeper than any editor's message: it is not read";
        }
        ++valori;
        break;
      case ']':
      case '}':
        if (profondita > 0) --profondita;
        break;
      case ',':
        ++valori;
        break;
      default:
        continue;
    }
    if (valori > kValoriMassimi) {
      return "the message holds more than " + std::to_string(kValoriMassimi) + " values (at byte " +
             std::to_string(n) + "), more than any editor's message: it is not read";
    }
  }
  return std::nullopt;
}

bool lettore_messaggi::leggi_riga(std::string& riga) {
  if (!riga_rimasta_.empty()) {
    riga = std::move(riga_rimasta_);
    riga_rimasta_.clear();
    return true;
  }
  riga.clear();
  bool letto = false;
  for (int c = ingresso_.get(); c != std::char_traits<char>::eof(); c = ingresso_.get()) {
    letto = true;
    if (c == '\n') {
      if (!riga.empty() && riga.back() == '\r') riga.pop_back();
      return true;
    }
    // Past the limit the line is no header: keep only its tail, where the
    // next header may begin.
    if (riga.size() >= kMassimaIntestazione) riga.erase(0, riga.size() - kLunghezza.size());
    riga += static_cast<char>(c);
  }
  return letto;
}

bool lettore_messaggi::leggi_contenuto(std::size_t n, std::string& corpo) {
  // In pieces, so that a length the stream never delivers costs no memory.
  constexpr std::size_t kPezzo = std::size_t{1} << 16;
  corpo.clear();
  std::array<char, kPezzo> pezzo{};
  while (corpo.size() < n) {
    const std::size_t quanti = std::min(kPezzo, n - corpo.size());
    ingresso_.read(pezzo.data(), static_cast<std::streamsize>(quanti));
    const auto letti = static_cast<std::size_t>(ingresso_.gcount());
    corpo.append(pezzo.data(), letti);
    if (letti < quanti) return false;
  }
  return true;
}

messaggio_letto lettore_messaggi::leggi() {
  std::optional<std::size_t> lunghezza;
  std::string errore;
  bool intestazioni = false;
  std::string riga;
  while (leggi_riga(riga)) {
    if (riga.empty()) {
      // Empty lines before any header are only noise between messages.
      if (!intestazioni) continue;
      if (!errore.empty()) {
        // A length that can be taken still tells where the next message begins.
        std::string saltato;
        if (lunghezza) leggi_contenuto(*lunghezza, saltato);
        return cornice(errore);
      }
      if (!lunghezza) return cornice("a message without a Content-Length header");
      messaggio_letto m;
      if (!leggi_contenuto(*lunghezza, m.corpo)) return {};
      m.tipo = messaggio_letto::esito::messaggio;
      return m;
    }
    const std::size_t dove = inizio_lunghezza(riga);
    if (dove != std::string::npos && dove > 0) {
      // A header after bytes that belong to no message: the bytes before it
      // are reported, and the header starts the next message.
      riga_rimasta_ = riga.substr(dove);
      return cornice("bytes that are not a message before a Content-Length header");
    }
    intestazioni = true;
    const std::size_t due_punti = riga.find(':');
    if (dove == 0) {
      lunghezza = valore_lunghezza(std::string_view(riga).substr(kLunghezza.size()));
      if (!lunghezza) {
        errore = "the Content-Length header '" + riga + "' is not a whole number of bytes up to " +
                 std::to_string(kMassimoContenuto);
      }
    } else if (due_punti == std::string::npos && errore.empty()) {
      errore = "the header line '" + riga.substr(0, 80) + "' has no colon";
    }
  }
  return {};
}

void scrivi_messaggio(std::ostream& uscita, const nlohmann::json& messaggio) {
  const std::string corpo =
      messaggio.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  uscita << "Content-Length: " << corpo.size() << "\r\n\r\n" << corpo;
  uscita.flush();
}

}  // namespace scenario::lsp
