// The field stream both source texts are read as: fields separated by commas,
// a line end separating like a comma, blanks before a field skipped. Text and
// numbers are read from the bytes of a whole file; a read that fails (the file
// ends where a field should begin, a value outside its slot) throws
// errore_lettura, which the reader's fault handler turns into code 25.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "compiler/righe.h"

namespace scenario {

class osservatore_lettura;

class errore_lettura : public std::runtime_error {
 public:
  errore_lettura(std::string_view motivo, std::size_t posizione);
  // Byte offset in the text where the failing field began.
  std::size_t posizione() const { return posizione_; }

 private:
  std::size_t posizione_;
};

class flusso_campi {
 public:
  explicit flusso_campi(std::string_view byte) : byte_(byte) {}

  // True when the read position is at the end of the text.
  bool eof() const { return pos_ >= byte_.size(); }

  // A text field. A quoted one runs to the next double quote (or the end) and
  // may hold commas; any other runs to the next comma or line end, keeping its
  // inner and trailing blanks. The separator that ends it is consumed.
  std::string leggi_testo();

  // A text field that the table stores (a station name, a board text): the
  // compiled file gives it a 16-bit length, so a longer one does not fit its
  // slot and is a read failure, as a number beyond its slot is.
  std::string leggi_testo_tabella();

  // A number rounded half to even into a slot of the given width. A field
  // without a leading number reads as 0.
  uint8_t leggi_byte();
  int16_t leggi_int16();
  int32_t leggi_int32();

  // Byte offset where the last field read began (after its leading blanks).
  std::size_t inizio_campo() const { return inizio_campo_; }
  std::size_t posizione() const { return pos_; }

  // After a read failure in a field that began at `da`: the reading goes on
  // at the start of the line after that field's, never before where it is
  // now (a row that ran on into the next line goes on at the one after).
  void riprendi_dopo_riga(std::size_t da);

  // Every field read from now on is told to `o` (none: nothing is told).
  void osserva(osservatore_lettura* o) { osservatore_ = o; }

 private:
  void inizia_campo();  // fails at the end of the text, then skips blanks
  void salta_spazi();
  bool a_fine_riga() const;
  bool consuma_fine_riga();
  bool consuma_virgola();
  double leggi_numero(slot_valore slot, double minimo, double massimo);
  void racconta(std::size_t fine, slot_valore slot, double valore) const;

  std::string_view byte_;
  std::size_t pos_ = 0;
  std::size_t inizio_campo_ = 0;
  osservatore_lettura* osservatore_ = nullptr;
};

// A sum, difference or product the readers form on 32-bit values: a result
// outside 32 bits is a read failure (at byte `posizione`), never a wrapped value.
int32_t entro_32_bit(int64_t valore, std::string_view che_cosa, std::size_t posizione = 0);

// The same for a value computed from the row the stream is reading.
inline int32_t entro_32_bit(int64_t valore, const flusso_campi& f) {
  return entro_32_bit(valore, "a position or time computed from this row", f.inizio_campo());
}

// The value of the longest leading part of `token` of the form
// [+|-]digits[.digits][(e|E)[+|-]digits]; 0 when there is none. Sets
// `fuori_scala` when that number is beyond what a double holds.
double valore_numerico(std::string_view token, bool& fuori_scala);

}  // namespace scenario
