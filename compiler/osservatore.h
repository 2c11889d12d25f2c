// What a compile tells about itself, for tools that explain it to a scenario
// author: which text the readers begin, every field they read with its byte
// offsets, where a keyword field is sought and which one is tested, every row
// kind a keyword field passes, the end of the line text's general section, a
// read failure; every object laid on a cell; and, whenever the readers, the
// completion walk or the reserved-value checks record a code, why. The
// compile never depends on it: with no observer everything is done the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "compiler/modello.h"
#include "compiler/righe.h"

namespace scenario {

// One field as the stream read it.
struct campo_letto {
  std::size_t inizio = 0;  // its first byte, after the blanks before it (a quote included)
  std::size_t fine = 0;    // one past its last byte (a closing quote included)
  bool numero = false;
  slot_valore slot = slot_valore::testo;  // the slot it was read into
  double valore = 0.0;                    // a number's value as its slot took it
};

// Why a code was recorded, as the part that recorded it knows it. A code that
// a row's check sets concerns that row (the last one told): `valore` says
// which of its values, when one.
struct causa_codice {
  explicit causa_codice(int32_t c = 0) : codice(c) {}
  causa_codice& con_posizione(int32_t p) {
    posizione = p;
    return *this;
  }
  causa_codice& del_valore(std::size_t n) {
    valore = n;
    return *this;
  }
  causa_codice& sulla_cella(int64_t n) {
    cella = n;
    return *this;
  }
  causa_codice& occupata_da(uint8_t evento) {
    occupante = evento;
    return *this;
  }
  causa_codice& con_limite(int64_t l) {
    limite = l;
    return *this;
  }
  causa_codice& gia_registrato() {
    ereditato = true;
    return *this;
  }

  int32_t codice = 0;
  // What went to posizione_errore with the code, when anything did.
  std::optional<int32_t> posizione;
  // The row's value the code concerns (0 the first); nothing: its keyword.
  std::optional<std::size_t> valore;
  // The cell that was wanted and found taken, or where the walk found no room.
  std::optional<int64_t> cella;
  // What that cell held (its evento), when a taken cell stopped it.
  std::optional<uint8_t> occupante;
  // The completion walk: the cells it searched, all found taken, and the
  // cell of the slowdown object (warning board or start) it was working for.
  std::vector<int64_t> cercate;
  std::optional<int64_t> per_cella;
  // The bound the value passed: the last admitted position for 15, the end
  // of the previous station zone for 22, the last plan point for a curve.
  std::optional<int64_t> limite;
  // The reserved place a failed check (1250, 1251) found taken: a table row
  // (its `cella` is then empty) or cell 1.
  std::optional<int32_t> riga_tabella;
  // The code was already on record (the line text's 15): this row only
  // stops the reading and moves the position.
  bool ereditato = false;
  // A station row's code: the table row it had filled when its check failed
  // (a later station may fill that row again once this one is set aside).
  std::optional<voce> stazione;
};

class osservatore_lettura {
 public:
  virtual ~osservatore_lettura() = default;
  // A half opens its text; the fields that follow are that text's.
  virtual void testo(testo_letto) {}
  virtual void campo(const campo_letto&) {}
  // The reader is about to read the fields among which it takes the next
  // keyword field: hyphenated ones it drops, then the one it tests.
  virtual void inizio_chiave() {}
  // The last field read is the keyword field, tested now.
  virtual void chiave() {}
  // The keyword field just tested ends the line text's general section.
  virtual void fine_generale() {}
  // The keyword field passed the test of this row kind: its values follow.
  virtual void riga(tipo_riga) {}
  // A read failure (code 25); `posizione` is the reader's byte offset of it.
  // A reading that sets failing rows aside tells one for each such row.
  virtual void fallita(std::size_t /*posizione*/, std::string_view /*motivo*/) {}
  // The reading is over and the completion walk begins.
  virtual void completamento() {}
  // The walk is over and the reserved-value checks begin.
  virtual void controlli() {}
  // An object of kind `evento` was laid on cell `cella`: by the row being
  // read, or by the walk for the slowdown object on cell `per_cella`.
  virtual void posato(int64_t /*cella*/, uint8_t /*evento*/, std::optional<int64_t> /*per_cella*/) {
  }
  // A code was recorded, and why.
  virtual void codice(const causa_codice&) {}
};

// The observer as the readers call it: without one every call is nothing.
class racconto {
 public:
  racconto() = default;
  explicit racconto(osservatore_lettura* o) : o_(o) {}
  bool ascolta() const { return o_ != nullptr; }
  void testo(testo_letto t) const {
    if (o_ != nullptr) o_->testo(t);
  }
  void inizio_chiave() const {
    if (o_ != nullptr) o_->inizio_chiave();
  }
  void chiave() const {
    if (o_ != nullptr) o_->chiave();
  }
  void fine_generale() const {
    if (o_ != nullptr) o_->fine_generale();
  }
  void riga(tipo_riga t) const {
    if (o_ != nullptr) o_->riga(t);
  }
  void completamento() const {
    if (o_ != nullptr) o_->completamento();
  }
  void controlli() const {
    if (o_ != nullptr) o_->controlli();
  }
  void posato(int64_t cella, uint8_t evento, std::optional<int64_t> per_cella = {}) const {
    if (o_ != nullptr) o_->posato(cella, evento, per_cella);
  }
  void codice(const causa_codice& c) const {
    if (o_ != nullptr) o_->codice(c);
  }
  void fallita(std::size_t posizione, std::string_view motivo) const {
    if (o_ != nullptr) o_->fallita(posizione, motivo);
  }

 private:
  osservatore_lettura* o_ = nullptr;
};

}  // namespace scenario
