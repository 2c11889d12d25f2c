// One compile as it told itself: every field of the two texts with its byte
// offsets, the keyword fields and what became of them, the rows with their
// values, every object laid on a cell and by whom, and every code recorded
// with its cause. `check` explains a compile from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"
#include "compiler/osservatore.h"

namespace scenario {

// The part of a compile that told an event.
enum class fase_compilazione : uint8_t { lettura, completamento, controlli };

enum class tipo_evento : uint8_t { testo, inizio_chiave, chiave, fine_generale, riga };

struct evento_lettura {
  tipo_evento tipo = tipo_evento::testo;
  testo_letto testo = testo_letto::linea;
  tipo_riga riga = tipo_riga::lunghezza;  // for tipo_evento::riga
  std::size_t campi = 0;                  // fields of its text read before it
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

// An object laid on a cell: by a row (its index in righe()), or by the
// completion walk for the slowdown object on cell `per_cella`.
struct posa_letta {
  int64_t cella = 0;
  uint8_t evento = 0;
  std::optional<std::size_t> riga;
  std::optional<int64_t> per_cella;
  fase_compilazione fase = fase_compilazione::lettura;
};

// A code recorded, why, and when: the row being read (its index in righe()),
// the text and the objects laid before it.
struct codice_letto {
  causa_codice causa;
  std::optional<std::size_t> riga;
  testo_letto testo = testo_letto::linea;
  fase_compilazione fase = fase_compilazione::lettura;
  std::size_t posati_prima = 0;
};

struct fallimento_lettura {
  testo_letto testo = testo_letto::linea;
  std::size_t posizione = 0;
  std::string motivo;
  std::size_t eventi = 0;  // events told before it
  std::size_t campi = 0;   // fields of its text told before it
};

class lettura_osservata final : public osservatore_lettura {
 public:
  lettura_osservata() = default;

  void testo(testo_letto t) override;
  void campo(const campo_letto& c) override;
  void inizio_chiave() override;
  void chiave() override;
  void fine_generale() override;
  void riga(tipo_riga t) override;
  void fallita(std::size_t posizione, std::string_view motivo) override;
  void completamento() override { fase_ = fase_compilazione::completamento; }
  void controlli() override { fase_ = fase_compilazione::controlli; }
  void posato(int64_t cella, uint8_t evento, std::optional<int64_t> per_cella) override;
  void codice(const causa_codice& causa) override;

  // Makes room for the reading of `byte` as text `t`, before it starts: as
  // many fields as the text has separators and one more, and a few events a
  // line, so that the lists of a long text are laid out once, not regrown.
  void prevedi(testo_letto t, std::string_view byte);

  // Builds the rows and keyword fields once the reading is over.
  void concludi();

  const std::vector<campo_letto>& campi(testo_letto t) const {
    return campi_[static_cast<std::size_t>(t)];
  }
  bool iniziato(testo_letto t) const { return iniziato_[static_cast<std::size_t>(t)]; }
  const std::vector<evento_lettura>& eventi() const { return eventi_; }
  // The first read failure: the compile's own, where a compile ends.
  const std::optional<fallimento_lettura>& fallimento() const { return fallimento_; }
  // Every read failure, in order: more than one only in a reading that sets
  // failing rows aside.
  const std::vector<fallimento_lettura>& fallimenti() const { return fallimenti_; }
  const std::vector<riga_letta>& righe() const { return righe_; }
  const std::vector<chiave_letta>& chiavi() const { return chiavi_; }
  const std::vector<posa_letta>& posati() const { return posati_; }
  const std::vector<codice_letto>& codici() const { return codici_; }
  // The fields the reader read but never examined at the end of a text (the
  // closing "[fine]" normally), when its last search for a keyword field ran
  // into the end of the text.
  const std::optional<std::size_t>& non_esaminato(testo_letto t) const {
    return non_esaminato_[static_cast<std::size_t>(t)];
  }

 private:
  void annota(tipo_evento tipo, tipo_riga riga = tipo_riga::lunghezza);
  std::size_t fine_valori(std::size_t evento) const;

  // The row being read: the last one told, when it is of the current text.
  std::optional<std::size_t> riga_corrente() const;

  testo_letto corrente_ = testo_letto::linea;
  fase_compilazione fase_ = fase_compilazione::lettura;
  std::size_t righe_viste_ = 0;
  std::optional<testo_letto> testo_ultima_riga_;
  std::array<bool, 2> iniziato_{};
  std::array<std::vector<campo_letto>, 2> campi_;
  std::vector<evento_lettura> eventi_;
  std::optional<fallimento_lettura> fallimento_;
  std::vector<fallimento_lettura> fallimenti_;
  std::vector<riga_letta> righe_;
  std::vector<chiave_letta> chiavi_;
  std::array<std::optional<std::size_t>, 2> non_esaminato_;
  std::vector<posa_letta> posati_;
  std::vector<codice_letto> codici_;
};

// The compile of the program's run (memorizza_percorso with j = 1, the
// embedded scenario's names) of two texts in memory, told to `lettura`, which
// is then concluded. A missing text is given as nothing. The plan's points
// are counted, not kept (opzioni_compilazione::conserva_tracciato): `m` has
// no plan bytes. `risincronizza`: the reading sets failing rows aside and
// goes on (memorizza_dati), to find the errors a compile's first one hides;
// `m` is then no compile's model.
void compila_osservando(modello& m, const std::optional<std::string>& linea,
                        const std::optional<std::string>& treno, lettura_osservata& lettura,
                        bool risincronizza = false);

}  // namespace scenario
