// What the readers tell about their reading, for tools that explain a
// compile to a scenario author: which text they begin, every field they read
// with its byte offsets, where a keyword field is sought and which one is
// tested, every row kind a keyword field passes, the end of the line text's
// general section and a read failure. The compile never depends on it: with
// no observer the readers do exactly the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

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
  virtual void fallita(std::size_t /*posizione*/, std::string_view /*motivo*/) {}
  // The reading is over and the completion walk begins.
  virtual void completamento() {}
  // The walk is over and the reserved-value checks begin.
  virtual void controlli() {}
};

// The observer as the readers call it: without one every call is nothing.
class racconto {
 public:
  explicit racconto(osservatore_lettura* o) : o_(o) {}
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

 private:
  osservatore_lettura* o_;
};

}  // namespace scenario
