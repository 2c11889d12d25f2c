// Positions in a text as the editor and as the compiler count them. The
// editor holds Unicode and counts a line's columns in UTF-16 code units (the
// protocol's default) or in UTF-8 bytes (when both sides agree on it); the
// compiler reads Windows-1252 bytes, one per character. A text taken from the
// editor is converted character by character, one byte each (a character the
// code page cannot write becomes '?'), so the n-th byte of a line is always
// its n-th character, and lines end at the same CR LF, LF or CR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::lsp {

enum class codifica_posizioni { utf16, utf8 };

// A line and a column as the editor counts them, from 0.
struct posizione_editor {
  uint32_t riga = 0;
  uint32_t colonna = 0;
};

// The text as the editor holds it (UTF-8), with the start of every line.
class testo_unicode {
 public:
  explicit testo_unicode(std::string utf8 = {});

  const std::string& utf8() const { return utf8_; }
  std::size_t righe() const { return inizi_.size(); }
  // The UTF-8 bytes of line `riga` (from 0), without its line end; empty
  // past the last line.
  std::string_view riga_utf8(std::size_t riga) const;

  // The editor's column of character `indice` (from 0) of line `riga` (from
  // 0); an index past the line's end gives its end, a line past the text's
  // end the end of the text.
  posizione_editor editor(std::size_t riga, std::size_t indice, codifica_posizioni c) const;

  // The character of line `riga` at the editor's `colonna`: a column inside
  // a character gives that character, one past the line's end the end.
  std::size_t indice(posizione_editor p, codifica_posizioni c) const;

  // The byte of the UTF-8 text at an editor position, clamped as above.
  std::size_t byte_utf8(posizione_editor p, codifica_posizioni c) const;
  // The same for a position that needs no clamping: on a line of the text,
  // at most at its end, between two characters; nothing otherwise.
  std::optional<std::size_t> byte_esatto(posizione_editor p, codifica_posizioni c) const;

  // The character at an editor position counted from the start of the text:
  // the byte of the Windows-1252 text there.
  std::size_t carattere(posizione_editor p, codifica_posizioni c) const;

  // Line and character index (both from 0) of a character counted from the
  // start of the text.
  std::pair<std::size_t, std::size_t> riga_e_indice(std::size_t carattere) const;

  // The editor position of a character counted from the start of the text
  // (the byte of the Windows-1252 text).
  posizione_editor editor_di(std::size_t carattere, codifica_posizioni c) const;

 private:
  std::string utf8_;
  std::vector<std::size_t> inizi_;            // byte of each line's start
  std::vector<std::size_t> caratteri_prima_;  // characters before each line's start
  std::vector<bool> ascii_;                   // each line: ASCII only, a column is a byte
};

// A character the code page cannot write, where it stands in the converted
// text (its byte there is '?').
struct non_scrivibile {
  std::size_t byte = 0;
  char32_t carattere = 0;
};

struct testo_1252 {
  std::string byte;
  std::vector<non_scrivibile> non_scrivibili;
};

// The editor's text as the compiler reads it: one Windows-1252 byte per
// character. Bytes that are not UTF-8 count as one character each, U+FFFD.
testo_1252 in_1252(std::string_view utf8);

// How many characters a UTF-8 text holds, counted as the conversion counts
// them.
std::size_t conta_caratteri(std::string_view utf8);

// The UTF-8 form of one character, and "U+20AC" for people.
std::string utf8_di(char32_t carattere);
std::string nome_unicode(char32_t carattere);

}  // namespace scenario::lsp
