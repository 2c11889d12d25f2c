// An editor's side of the language server, inside the test process: every
// message goes to the server as the bytes of the stream (header and JSON),
// through the same reader the subcommand uses, and what the server writes is
// read back the way an editor reads it.
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tools/lsp/server.h"
#include "tools/lsp/trasporto.h"

namespace prova {

inline std::string cornice(const nlohmann::json& messaggio) {
  const std::string corpo = messaggio.dump();
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

class cliente_lsp {
 public:
  cliente_lsp() : server_(uscita_) {}

  // Bytes as they come on the stream: every message in them is handled.
  void grezzo(const std::string& byte) {
    std::istringstream ingresso(byte);
    scenario::lsp::lettore_messaggi lettore(ingresso);
    while (!server_.finito()) {
      const scenario::lsp::messaggio_letto m = lettore.leggi();
      if (m.tipo == scenario::lsp::messaggio_letto::esito::fine) break;
      if (m.tipo == scenario::lsp::messaggio_letto::esito::cornice) {
        server_.cornice_errata(m.errore);
      } else {
        server_.ricevi(m.corpo);
      }
    }
    leggi_uscita();
  }

  void notifica(const std::string& metodo, const nlohmann::json& parametri) {
    grezzo(cornice({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", parametri}}));
  }

  // The whole response to a request (result or error).
  nlohmann::json richiesta(const std::string& metodo, const nlohmann::json& parametri) {
    const int id = ++ultimo_id_;
    grezzo(cornice({{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", parametri}}));
    return risposta(id);
  }

  // The response with this id among what the server sent.
  nlohmann::json risposta(const nlohmann::json& id) const {
    for (const nlohmann::json& m : ricevuti_) {
      if (m.contains("id") && m["id"] == id && !m.contains("method")) return m;
    }
    return nullptr;
  }

  // initialize (with these client capabilities) and initialized.
  nlohmann::json inizializza(const nlohmann::json& capacita = nlohmann::json::object()) {
    nlohmann::json r = richiesta(
        "initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", capacita}});
    notifica("initialized", nlohmann::json::object());
    return r;
  }

  void apri(const std::string& uri, const std::string& testo, const std::string& linguaggio = "") {
    notifica(
        "textDocument/didOpen",
        {{"textDocument",
          {{"uri", uri}, {"languageId", linguaggio}, {"version", ++versione_}, {"text", testo}}}});
  }

  // The last list published for `uri`; null when none was.
  nlohmann::json diagnostiche(const std::string& uri) const {
    const auto trovato = diagnostiche_.find(uri);
    return trovato == diagnostiche_.end() ? nlohmann::json() : trovato->second;
  }
  // How many lists were published for `uri`.
  int pubblicazioni(const std::string& uri) const {
    const auto trovato = pubblicazioni_.find(uri);
    return trovato == pubblicazioni_.end() ? 0 : trovato->second;
  }

  const std::vector<nlohmann::json>& ricevuti() const { return ricevuti_; }
  bool finito() const { return server_.finito(); }
  int stato_uscita() const { return server_.stato_uscita(); }
  int versione() const { return versione_; }
  int nuova_versione() { return ++versione_; }

 private:
  void leggi_uscita() {
    std::istringstream uscita(uscita_.str());
    uscita_.str("");
    scenario::lsp::lettore_messaggi lettore(uscita);
    for (scenario::lsp::messaggio_letto m = lettore.leggi();
         m.tipo == scenario::lsp::messaggio_letto::esito::messaggio; m = lettore.leggi()) {
      nlohmann::json j = nlohmann::json::parse(m.corpo);
      if (j.value("method", "") == "textDocument/publishDiagnostics") {
        const std::string uri = j["params"]["uri"];
        diagnostiche_[uri] = j["params"]["diagnostics"];
        ++pubblicazioni_[uri];
      }
      ricevuti_.push_back(std::move(j));
    }
  }

  std::ostringstream uscita_;
  scenario::lsp::server_lsp server_;
  std::vector<nlohmann::json> ricevuti_;
  std::map<std::string, nlohmann::json> diagnostiche_;
  std::map<std::string, int> pubblicazioni_;
  int ultimo_id_ = 0;
  int versione_ = 0;
};

}  // namespace prova
