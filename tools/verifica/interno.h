// The pieces `check` is built from: where in the texts a diagnosis points,
// the rows' values, and the two passes that turn an observed reading into
// errors (verifica_errori.cpp) and warnings (verifica_avvisi.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"
#include "tools/osservazione/lettura_osservata.h"
#include "tools/verifica/regole.h"
#include "tools/verifica/verifica.h"

namespace scenario {

// Where a diagnosis points: a byte range of one text, or the text as a whole.
struct posto {
  testo_letto testo = testo_letto::linea;
  std::optional<std::size_t> inizio;
  std::size_t fine = 0;
};

// The line starts of one text: line ends are CR LF, a lone LF or a lone CR,
// as the field stream reads them.
class righe_testo {
 public:
  explicit righe_testo(std::string_view byte);
  int64_t riga(std::size_t byte) const;             // from 1
  int64_t colonna(std::size_t byte) const;          // from 1
  std::string_view testo_riga(int64_t riga) const;  // without its line end

 private:
  std::string_view byte_;
  std::vector<std::size_t> inizi_;
};

// A row kind as messages name it ("signal row"), the name of its value `n`
// ("value" past its last), and how many values it has: from the table of row
// kinds.
std::string_view nome_riga(tipo_riga t);
std::string_view nome_valore(tipo_riga t, std::size_t n);
std::size_t valori_attesi(tipo_riga t);

// Indexes over an observed reading that the explanations of errors look
// things up in, so that each error costs a search, not a walk through the
// reading (errori.cpp builds them).
struct indici_lettura {
  // Every object laid, as (cell, its index in posati()), in that order.
  std::vector<std::pair<int64_t, std::size_t>> posati_per_cella;
  // For each row, the number of the table's station it filled (0: no station
  // row, or one that was not stored); by number, the row that filled it.
  std::vector<int32_t> numero_stazione;
  std::vector<std::size_t> riga_della_stazione;
};

// Everything a pass needs: the texts, the observed reading, the model the
// compile left, and the diagnoses found so far.
class raccolta_diagnosi {
 public:
  // `ogni_errore`: no error is left out beyond the limits (they apply where
  // these diagnoses join others, raccolta_diagnosi::accogli).
  raccolta_diagnosi(const std::array<const testo_da_verificare*, 2>& testi,
                    const lettura_osservata& lettura, const modello& m, bool ogni_errore = false);

  const lettura_osservata& lettura() const { return lettura_; }
  const modello& m() const { return m_; }
  bool esiste(testo_letto t) const { return testo(t).byte.has_value(); }
  std::string_view byte(testo_letto t) const;
  const std::string& nome(testo_letto t) const { return testo(t).nome; }

  posto intero(testo_letto t) const { return {t, std::nullopt, 0}; }
  posto in_byte(testo_letto t, std::size_t inizio, std::size_t fine) const {
    return {t, inizio, fine};
  }
  posto campo(testo_letto t, std::size_t n) const;
  posto chiave(const riga_letta& r) const { return campo(r.testo, r.chiave); }
  // The row's value `n`; its keyword field when the row stops before it.
  posto valore(const riga_letta& r, std::size_t n) const;

  // A number value of the row; 0 when the row stops before it.
  int64_t numero(const riga_letta& r, std::size_t n) const;
  // A field's text as the reader took it (a quoted one without its quotes).
  std::string testo_campo(testo_letto t, std::size_t n) const;
  int64_t riga_di(testo_letto t, std::size_t campo) const;
  int64_t riga_di_byte(testo_letto t, std::size_t byte) const;
  // "line 41" for a row of `da`, "file:41" for a row of the other text.
  std::string dove(const riga_letta& r, testo_letto da) const;

  // A related place and what is there, for a note under a diagnosis.
  using nota_correlata = std::pair<posto, std::string>;

  void errore(const posto& p, int32_t codice, std::string messaggio,
              std::vector<nota_correlata> note = {});
  void avviso(const posto& p, const regola_avviso& regola, std::string messaggio,
              std::vector<nota_correlata> note = {});
  // Whether one more warning of this rule would be left out, only counted
  // (its message is then not needed).
  bool oltre_limite(const regola_avviso& regola) const {
    const auto n = per_tipo_.find(std::string(regola.nome));
    return (n != per_tipo_.end() && n->second >= kDiagnosiPerTipo) ||
           diagnosi_.size() >= kDiagnosiMassime;
  }
  // A note of its own (no code): what a diagnosis cannot say in its line.
  void nota(const posto& p, std::string messaggio);
  // Whether an error or a warning already points at the start of `p`; an
  // error only.
  bool segnalato(const posto& p) const {
    return p.inizio && segnalati_.count({p.testo, *p.inizio}) > 0;
  }
  bool errore_a(const posto& p) const {
    return p.inizio && con_errore_.count({p.testo, *p.inizio}) > 0;
  }
  std::vector<diagnosi> risultato() &&;
  // The diagnoses gathered so far, as they are (for a later compile's to
  // join an earlier one's), and one of them joining.
  std::vector<diagnosi> raccolte() &&;
  void accogli(diagnosi d);
  const std::vector<diagnosi>& finora() const { return diagnosi_; }
  // Built the first time they are asked for: a clean check needs none.
  const indici_lettura& indici() const;

 private:
  const testo_da_verificare& testo(testo_letto t) const {
    return *testi_[static_cast<std::size_t>(t)];
  }
  void aggiungi(const posto& p, gravita g, std::string codice, std::string messaggio,
                std::vector<nota_correlata>&& note);
  luogo situa(const posto& p) const;

  // The diagnoses of one text and kind left out beyond the limits.
  struct taciute {
    gravita livello = gravita::avviso;
    std::size_t quante = 0;
  };

  std::array<const testo_da_verificare*, 2> testi_;
  std::array<std::optional<righe_testo>, 2> righe_;
  std::map<std::string, std::size_t> per_tipo_;
  std::set<std::pair<testo_letto, std::size_t>> segnalati_;
  std::set<std::pair<testo_letto, std::size_t>> con_errore_;
  std::map<std::pair<testo_letto, std::string>, taciute> taciute_;
  const lettura_osservata& lettura_;
  const modello& m_;
  std::vector<diagnosi> diagnosi_;
  mutable std::optional<indici_lettura> indici_;
  bool ogni_errore_ = false;
};

// Every code the compile recorded, and every read failure, as errors at the
// row and value that set it.
void errori_compilazione(raccolta_diagnosi& r);

// Every rule of the two formats that the readers let pass; the rules of
// meaning among them.
void avvisi_lettura(raccolta_diagnosi& r);
void avvisi_coerenza(raccolta_diagnosi& r);

// The bytes of a row that stopped a compile: the reading that goes on sets it aside.
struct riga_da_parte {
  testo_letto testo = testo_letto::linea;
  std::size_t inizio = 0;
  std::size_t fine = 0;
};

// What stopped a compile: the rows whose codes stopped its reading or its
// checks, and, when something that is no row stopped it (a missing text, no
// route length, a route too long), the place of that error.
struct fermate {
  std::vector<riga_da_parte> righe;
  std::optional<posto> nascosti;
};
fermate fermate_di(const raccolta_diagnosi& r);

// "1500 m".
std::string metri(int64_t valore);

}  // namespace scenario
