// The language server's messages on a byte stream: each is a block of header
// lines ("Content-Length: N" required, "Content-Type: ..." allowed), each
// ending in CR LF, an empty line, and then N bytes of JSON. The reader never
// trusts the stream: a header block it cannot take is reported and skipped,
// and it finds the next message by its Content-Length line.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace scenario::lsp {

// The most one message may hold: a source text at its largest (64 MiB) with
// every byte escaped, and room for the rest of the message.
inline constexpr std::size_t kMassimoContenuto = std::size_t{400} << 20;
// The longest header line taken; a longer one is no header.
inline constexpr std::size_t kMassimaIntestazione = 4096;

// The deepest nesting and the most values one message's JSON may hold: far
// beyond what an editor sends (a "replace all" of ten thousand edits is some
// hundred thousand values, ten levels deep), and small enough that the
// parsed message stays within some hundred MB.
inline constexpr std::size_t kProfonditaMassima = 128;
inline constexpr std::size_t kValoriMassimi = std::size_t{1} << 20;

// Why a message's bytes are not parsed: nesting deeper than
// kProfonditaMassima, or more than kValoriMassimi values; nothing when they
// are within both. Counted in one pass over the bytes, strings skipped.
std::optional<std::string> oltre_i_limiti(std::string_view corpo);

struct messaggio_letto {
  enum class esito {
    messaggio,  // `corpo` holds the message's bytes
    cornice,    // a header block that cannot be taken: `errore` says why
    fine,       // the stream has ended
  };
  esito tipo = esito::fine;
  std::string corpo;
  std::string errore;
};

class lettore_messaggi {
 public:
  explicit lettore_messaggi(std::istream& ingresso) : ingresso_(ingresso) {}

  // The next message, a header block that cannot be taken (the reader then
  // goes on after it), or the end of the stream (also when it ends inside a
  // message).
  messaggio_letto leggi();

 private:
  // One header line without its line end; false at the end of the stream.
  bool leggi_riga(std::string& riga);
  // `n` bytes of content; false when the stream ends first.
  bool leggi_contenuto(std::size_t n, std::string& corpo);

  std::istream& ingresso_;
  // A header line found glued to the end of a line that was not a header
  // (the rest of a message whose length was wrong): read next.
  std::string riga_rimasta_;
};

// Writes `messaggio` with its header, and flushes the stream: the editor
// waits for it. Text that is not UTF-8 is written with U+FFFD in its place.
void scrivi_messaggio(std::ostream& uscita, const nlohmann::json& messaggio);

}  // namespace scenario::lsp
