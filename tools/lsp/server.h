// `scenario-tool lsp`: a language server for the line and train texts on
// standard input and output, one message at a time on one thread. Every
// change to a text compiles its pair (every pair of its line text) in memory
// and publishes check's diagnoses for every text of it; hover, completion,
// the outline and go to definition answer from the same texts.
//
// Any message is answered or dropped as the protocol says, never with a
// crash: a message that is not JSON, not a request or of the wrong shape
// gets a JSON-RPC error (a notification's fault is logged to the editor);
// requests before `initialize` get ServerNotInitialized, after `shutdown`
// InvalidRequest; `exit` ends the loop.
#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lsp/analisi.h"
#include "tools/lsp/diagnostica.h"
#include "tools/lsp/documenti.h"
#include "tools/lsp/posizioni.h"

namespace scenario::lsp {

class server_lsp {
 public:
  explicit server_lsp(std::ostream& uscita) : uscita_(uscita) {}

  // Handles one message's bytes.
  void ricevi(std::string_view corpo);
  // A header block that could not be taken: answered as a parse error.
  void cornice_errata(std::string_view motivo);

  bool finito() const { return fase_ == fase::finito; }
  // The process's exit status once finished (or when the input ends): 0
  // once `shutdown` has come, 1 otherwise.
  int stato_uscita() const { return chiuso_ ? 0 : 1; }

 private:
  enum class fase { attesa, attivo, finito };

  void richiesta(const nlohmann::json& id, const std::string& metodo,
                 const nlohmann::json& parametri);
  void notifica(const std::string& metodo, const nlohmann::json& parametri);
  nlohmann::json risposta(const std::string& metodo, const nlohmann::json& parametri);

  nlohmann::json inizializza(const nlohmann::json& parametri);
  nlohmann::json hover(const nlohmann::json& parametri);
  nlohmann::json completamento(const nlohmann::json& parametri);
  nlohmann::json simboli_documento(const nlohmann::json& parametri);
  nlohmann::json definizione(const nlohmann::json& parametri);

  void apertura(const nlohmann::json& parametri);
  void modifica(const nlohmann::json& parametri);
  void chiusura(const nlohmann::json& parametri);
  void salvataggio(const nlohmann::json& parametri);
  void file_cambiati();

  // Compiles the family of `uri` and publishes what it finds for every text
  // of it, clearing what an earlier publication showed and no longer holds.
  // `cambiato`: the editor has just opened or changed `uri`, whose list is
  // published even when it is what the editor shows. Returns the URIs the
  // family's publication went to (null when `uri` has no family).
  const std::set<std::string>* giudica(const std::string& uri, bool cambiato);
  // giudica for each of `uri` that is open, each family once.
  void giudica_aperti(const std::vector<std::string>& uri);
  void pubblica(const std::string& uri, const nlohmann::json& diagnostiche, bool sempre = false);
  // The compile of the pair of an open text, made once per change.
  const analisi& analisi_di(const std::string& uri);
  documento_condiviso aperto_o_errore(const std::string& uri) const;

  void invia(const nlohmann::json& messaggio);
  void rispondi_errore(const nlohmann::json& id, int codice, const std::string& messaggio);
  void registra_errore(const std::string& messaggio);

  std::ostream& uscita_;
  fase fase_ = fase::attesa;
  bool chiuso_ = false;  // shutdown received
  codifica_posizioni codifica_ = codifica_posizioni::utf16;
  bool snippet_ = false;
  bool simboli_gerarchici_ = false;
  bool hover_markdown_ = true;

  archivio_documenti documenti_;
  verifiche_fatte verifiche_;
  // The last list published for each URI that has one not empty.
  std::map<std::string, nlohmann::json> pubblicate_;
  // The URIs whose last list published was empty.
  std::set<std::string> vuote_;
  // By the URI a family is named after, the URIs its last publication went to.
  std::map<std::string, std::set<std::string>> famiglie_;
  std::map<std::string, std::unique_ptr<const analisi>> analisi_;
};

// Serves one editor on `ingresso` and `uscita` until `exit` or the end of
// the input; returns the exit status.
int esegui_lsp(std::istream& ingresso, std::ostream& uscita);

// The subcommand: standard input and output (in binary mode, so that the
// byte counts hold on every system).
int comando_lsp(std::ostream& uscita);

}  // namespace scenario::lsp
