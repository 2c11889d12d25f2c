// One compile's reading of the two source texts as the readers told it:
// every field with its byte offsets, the keyword fields and what became of
// them, the rows with their values, and the error record and reserved cell 1
// as each step of the reading found them. `check` explains a compile from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/modello.h"
#include "compiler/osservatore.h"

namespace scenario {

// What a step of the reading found in the model: the error record and
// whether the reserved members of cell 1 hold something.
struct istantanea {
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  bool dato1_cella1 = false;
  bool dato2_cella1 = false;
  bool operator==(const istantanea&) const = default;
};
istantanea foto(const modello& m);

enum class tipo_evento : uint8_t { testo, inizio_chiave, chiave, fine_generale, riga };

struct evento_lettura {
  tipo_evento tipo = tipo_evento::testo;
  testo_letto testo = testo_letto::linea;
  tipo_riga riga = tipo_riga::lunghezza;  // for tipo_evento::riga
  std::size_t campi = 0;                  // fields of its text read before it
  istantanea prima;                       // the model as the event found it
};

// One row: a keyword field that passed one test, and the values read for it.
struct riga_letta {
  testo_letto testo = testo_letto::linea;
  tipo_riga tipo = tipo_riga::lunghezza;
  std::size_t evento = 0;        // its riga event
  std::size_t chiave = 0;        // its keyword field
  std::size_t primo_valore = 0;  // its values are the fields [primo_valore, fine_valori)
  std::size_t fine_valori = 0;
  std::size_t n_valori() const { return fine_valori - primo_valore; }
  bool ha_valore(std::size_t n) const { return n < n_valori(); }
  std::size_t valore(std::size_t n) const { return primo_valore + n; }
};

// One keyword field the reader tested.
struct chiave_letta {
  testo_letto testo = testo_letto::linea;
  std::size_t campo = 0;
  std::size_t evento = 0;      // its chiave event
  std::size_t righe = 0;       // row kinds it passed
  std::size_t commenti = 0;    // hyphenated fields dropped just before it
  bool generale = false;       // tested in the line text's general section
  bool fine_generale = false;  // it ended that section
  std::size_t prima_riga = 0;  // index in `righe` of its first row, when it has one
};

struct fallimento_lettura {
  testo_letto testo = testo_letto::linea;
  std::size_t posizione = 0;
  std::string motivo;
  std::size_t eventi = 0;  // events told before it
};

class lettura_osservata final : public osservatore_lettura {
 public:
  explicit lettura_osservata(const modello& m) : m_(m) {}

  void testo(testo_letto t) override;
  void campo(const campo_letto& c) override;
  void inizio_chiave() override;
  void chiave() override;
  void fine_generale() override;
  void riga(tipo_riga t) override;
  void fallita(std::size_t posizione, std::string_view motivo) override;
  void completamento() override { fine_lettura_ = foto(m_); }
  void controlli() override { fine_completamento_ = foto(m_); }

  // Builds the rows and keyword fields once the reading is over.
  void concludi();

  const std::vector<campo_letto>& campi(testo_letto t) const {
    return campi_[static_cast<std::size_t>(t)];
  }
  bool iniziato(testo_letto t) const { return iniziato_[static_cast<std::size_t>(t)]; }
  const std::vector<evento_lettura>& eventi() const { return eventi_; }
  const std::optional<fallimento_lettura>& fallimento() const { return fallimento_; }
  const std::vector<riga_letta>& righe() const { return righe_; }
  const std::vector<chiave_letta>& chiavi() const { return chiavi_; }
  // The model as the reading left it, and as the completion walk left it;
  // nothing when the compile did not get that far.
  const std::optional<istantanea>& fine_lettura() const { return fine_lettura_; }
  const std::optional<istantanea>& fine_completamento() const { return fine_completamento_; }
  // The fields the reader read but never examined at the end of a text (the
  // closing "[fine]" normally), when its last search for a keyword field ran
  // into the end of the text.
  const std::optional<std::size_t>& non_esaminato(testo_letto t) const {
    return non_esaminato_[static_cast<std::size_t>(t)];
  }

 private:
  void annota(tipo_evento tipo, tipo_riga riga = tipo_riga::lunghezza);
  std::size_t fine_valori(std::size_t evento) const;

  const modello& m_;
  testo_letto corrente_ = testo_letto::linea;
  std::array<bool, 2> iniziato_{};
  std::array<std::vector<campo_letto>, 2> campi_;
  std::vector<evento_lettura> eventi_;
  std::optional<fallimento_lettura> fallimento_;
  std::vector<riga_letta> righe_;
  std::vector<chiave_letta> chiavi_;
  std::array<std::optional<std::size_t>, 2> non_esaminato_;
  std::optional<istantanea> fine_lettura_;
  std::optional<istantanea> fine_completamento_;
};

}  // namespace scenario
