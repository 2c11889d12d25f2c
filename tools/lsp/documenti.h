// The texts the language server judges, and how they pair. A line text
// ROUTE_linea.txt pairs with every train text ROUTE_TRAIN-.txt of its folder,
// as the program names them; each pair is compiled on its own. A text open in
// the editor is taken as the editor holds it, its partners as open too or
// else from disk; a text with no partner is judged with the embedded one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/righe.h"
#include "tools/lsp/posizioni.h"

namespace scenario::lsp {

struct documento {
  std::string uri;  // empty for an embedded text
  std::optional<std::filesystem::path> file;
  std::string nome;  // as the messages name it, UTF-8 ("R_linea.txt")
  testo_letto ruolo = testo_letto::linea;
  testo_unicode unicode;  // as the editor holds it
  testo_1252 compilato;   // as the compiler reads it
  bool aperto = false;    // open in the editor; else read from disk, or embedded
  int64_t versione = 0;
  // Open, and the file on disk holds the editor's text as UTF-8 bytes with a
  // character beyond ASCII: the editor reads it as UTF-8, the program will
  // not. Told when opened and when saved.
  bool salvato_utf8 = false;
  bool incorporato() const { return uri.empty(); }
};
using documento_condiviso = std::shared_ptr<const documento>;

// A line text with the train texts judged with it (at least one); either
// side may be the embedded text.
struct famiglia {
  documento_condiviso linea;
  std::vector<documento_condiviso> treni;
  // The text every other text in it is named after: the line text, or the
  // one train text that has no line.
  const documento& capo() const { return linea->incorporato() ? *treni.front() : *linea; }
};

// The role a name gives a text: "..._linea.txt" a line text, "...-.txt" a
// train text; nothing for any other name.
std::optional<testo_letto> ruolo_da_nome(std::string_view nome);

// The embedded line and train texts, standing in for a missing partner.
documento_condiviso incorporato(testo_letto ruolo);

// One change the editor made to a text: a range replaced, or (no range) the
// whole text.
struct modifica_testo {
  std::optional<std::pair<posizione_editor, posizione_editor>> intervallo;
  std::string testo;
};

// A text the editor opened or changed that is larger than a source text may
// be (kLimiteTestoSorgente, as check reads one): it is not taken.
class testo_troppo_grande : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws testo_troppo_grande when a text of `byte` bytes is too large.
void entro_il_limite(const std::string& uri, std::size_t byte);

class archivio_documenti {
 public:
  // A text opened in the editor (again: replaced). `linguaggio` decides its
  // role when its name does not: "scenario-train" is a train text, any
  // other a line text.
  void apri(const std::string& uri, std::string testo, int64_t versione,
            std::string_view linguaggio);
  // Applies the changes in order; false when the text is not open. Changes
  // that run from the end of the text towards its start (as an editor sends
  // a "replace all") are applied together, in one pass over the text. Both
  // throw testo_troppo_grande, and change nothing, for a text too large.
  bool modifica(const std::string& uri, std::span<const modifica_testo> modifiche, int64_t versione,
                codifica_posizioni codifica);
  // False when the text was not open.
  bool chiudi(const std::string& uri);
  // The editor saved the text: how it lies on disk is looked at again.
  void salvato(const std::string& uri);

  documento_condiviso aperto(const std::string& uri) const;
  std::vector<std::string> uri_aperti() const;

  // The family of a text: open, or else read from disk; nothing when it is
  // neither open nor a file that can be read.
  std::optional<famiglia> famiglia_di(const std::string& uri) const;

 private:
  documento_condiviso da_disco(const std::filesystem::path& file) const;
  // The open text or the file of that path; null when neither can be had.
  documento_condiviso testo_in(const std::filesystem::path& file) const;
  // The names of the files and open texts of one folder.
  std::vector<std::string> nomi_in(const std::filesystem::path& cartella) const;
  documento_condiviso linea_di(const documento& treno) const;
  std::vector<documento_condiviso> treni_di(const documento& linea) const;

  std::map<std::string, documento_condiviso> aperti_;
};

}  // namespace scenario::lsp
