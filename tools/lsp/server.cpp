#include "tools/lsp/server.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "tools/lsp/completamento.h"
#include "tools/lsp/definizione.h"
#include "tools/lsp/diagnostica.h"
#include "tools/lsp/hover.h"
#include "tools/lsp/protocollo.h"
#include "tools/lsp/simboli.h"
#include "tools/lsp/trasporto.h"
#include "tools/versione.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace scenario::lsp {
namespace {

constexpr std::string_view kParametri = "params";
constexpr std::string_view kDocumento = "params.textDocument";

// The protocol's TextDocumentSyncKind.Incremental and MessageType.Error.
constexpr int kSincroniaIncrementale = 2;
constexpr int kTipoErrore = 1;

bool id_valido(const nlohmann::json& id) { return id.is_string() || id.is_number_integer(); }

std::string uri_di(const nlohmann::json& parametri) {
  return stringa(membro(parametri, "textDocument", kParametri), "uri", kDocumento);
}

posizione_editor posizione_di(const nlohmann::json& parametri) {
  return posizione(parametri, "position", kParametri);
}

bool offre(const nlohmann::json* lista, std::string_view voce) {
  return lista != nullptr && lista->is_array() &&
         std::find(lista->begin(), lista->end(), voce) != lista->end();
}

bool vero(const nlohmann::json* v) { return v != nullptr && v->is_boolean() && v->get<bool>(); }

modifica_testo modifica_di(const nlohmann::json& cambio) {
  constexpr std::string_view kCambio = "params.contentChanges[]";
  modifica_testo m;
  m.testo = stringa(cambio, "text", kCambio);
  if (cambio.contains("range")) {
    const nlohmann::json& range = membro(cambio, "range", kCambio);
    m.intervallo.emplace(posizione(range, "start", "params.contentChanges[].range"),
                         posizione(range, "end", "params.contentChanges[].range"));
  }
  return m;
}

}  // namespace

// ---------------------------------------------------------------- messages

void server_lsp::invia(const nlohmann::json& messaggio) { scrivi_messaggio(uscita_, messaggio); }

void server_lsp::rispondi_errore(const nlohmann::json& id, int codice,
                                 const std::string& messaggio) {
  invia({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", messaggio}}}});
}

void server_lsp::registra_errore(const std::string& messaggio) {
  invia({{"jsonrpc", "2.0"},
         {"method", "window/logMessage"},
         {"params", {{"type", kTipoErrore}, {"message", messaggio}}}});
}

void server_lsp::cornice_errata(std::string_view motivo) {
  rispondi_errore(nullptr, kErroreSintassi, "cannot take the message: " + std::string(motivo));
}

void server_lsp::ricevi(std::string_view corpo) {
  if (const std::optional<std::string> perche = oltre_i_limiti(corpo)) {
    rispondi_errore(nullptr, kRichiestaNonValida, *perche);
    return;
  }
  nlohmann::json messaggio;
  try {
    messaggio = nlohmann::json::parse(corpo);
  } catch (const nlohmann::json::parse_error& e) {
    rispondi_errore(nullptr, kErroreSintassi, std::string("the message is not JSON: ") + e.what());
    return;
  }
  if (!messaggio.is_object()) {
    rispondi_errore(nullptr, kRichiestaNonValida,
                    "a message must be one JSON object (batches are not taken)");
    return;
  }
  const auto id = messaggio.find("id");
  const bool con_id = id != messaggio.end();
  if (con_id && !id_valido(*id)) {
    rispondi_errore(nullptr, kRichiestaNonValida, "a request's id must be a string or an integer");
    return;
  }
  const nlohmann::json id_risposta = con_id ? *id : nlohmann::json(nullptr);
  if (messaggio.value("jsonrpc", nlohmann::json()) != "2.0") {
    rispondi_errore(id_risposta, kRichiestaNonValida, "a message must have \"jsonrpc\": \"2.0\"");
    return;
  }
  const auto metodo = messaggio.find("method");
  if (metodo == messaggio.end()) {
    // A response to a request of ours: the server sends none it waits for.
    if (con_id && (messaggio.contains("result") || messaggio.contains("error"))) return;
    rispondi_errore(id_risposta, kRichiestaNonValida, "a message must have a method");
    return;
  }
  if (!metodo->is_string()) {
    rispondi_errore(id_risposta, kRichiestaNonValida, "a message's method must be a string");
    return;
  }
  // No params, or null (which some clients send with shutdown and exit).
  const auto parametri = messaggio.find("params");
  const nlohmann::json nessuno = nlohmann::json::object();
  const nlohmann::json& p =
      parametri == messaggio.end() || parametri->is_null() ? nessuno : *parametri;
  if (!p.is_object() && !p.is_array()) {
    if (con_id) rispondi_errore(*id, kParametriNonValidi, "params must be an object or an array");
    return;
  }
  if (con_id) {
    richiesta(*id, metodo->get<std::string>(), p);
  } else {
    notifica(metodo->get<std::string>(), p);
  }
}

void server_lsp::richiesta(const nlohmann::json& id, const std::string& metodo,
                           const nlohmann::json& parametri) {
  if (fase_ == fase::attesa && metodo != "initialize") {
    rispondi_errore(id, kNonInizializzato, "the server is not initialized: send initialize first");
    return;
  }
  if (chiuso_) {
    rispondi_errore(id, kRichiestaNonValida, "the server has been shut down: only exit is taken");
    return;
  }
  try {
    invia({{"jsonrpc", "2.0"}, {"id", id}, {"result", risposta(metodo, parametri)}});
  } catch (const errore_rpc& e) {
    rispondi_errore(id, e.codice(), e.what());
  } catch (const std::exception& e) {
    rispondi_errore(id, kErroreInterno, std::string("the server failed: ") + e.what());
  }
}

nlohmann::json server_lsp::risposta(const std::string& metodo, const nlohmann::json& parametri) {
  if (metodo == "initialize") return inizializza(parametri);
  if (metodo == "shutdown") {
    chiuso_ = true;
    return nullptr;
  }
  if (metodo == "textDocument/hover") return hover(parametri);
  if (metodo == "textDocument/completion") return completamento(parametri);
  if (metodo == "textDocument/documentSymbol") return simboli_documento(parametri);
  if (metodo == "textDocument/definition") return definizione(parametri);
  throw errore_rpc(kMetodoSconosciuto, "the server has no method '" + metodo + "'");
}

void server_lsp::notifica(const std::string& metodo, const nlohmann::json& parametri) {
  if (metodo == "exit") {
    fase_ = fase::finito;
    return;
  }
  // Before initialize and after shutdown, notifications are dropped.
  if (fase_ != fase::attivo || chiuso_) return;
  try {
    if (metodo == "textDocument/didOpen") {
      apertura(parametri);
    } else if (metodo == "textDocument/didChange") {
      modifica(parametri);
    } else if (metodo == "textDocument/didClose") {
      chiusura(parametri);
    } else if (metodo == "textDocument/didSave") {
      salvataggio(parametri);
    } else if (metodo == "workspace/didChangeWatchedFiles") {
      file_cambiati();
    }
    // Any other notification ("initialized", "$/cancelRequest", ...) asks
    // nothing of this server.
  } catch (const std::exception& e) {
    registra_errore(metodo + ": " + e.what());
  }
}

// ---------------------------------------------------------------- requests

nlohmann::json server_lsp::inizializza(const nlohmann::json& parametri) {
  if (fase_ != fase::attesa) throw errore_rpc(kRichiestaNonValida, "initialize was already sent");
  if (!parametri.is_object()) throw errore_rpc(kParametriNonValidi, "params must be an object");
  const nlohmann::json nessuna = nlohmann::json::object();
  const nlohmann::json* cap = cerca(parametri, {"capabilities"});
  const nlohmann::json& c = cap != nullptr ? *cap : nessuna;
  codifica_ = offre(cerca(c, {"general", "positionEncodings"}), "utf-8")
                  ? codifica_posizioni::utf8
                  : codifica_posizioni::utf16;
  snippet_ = vero(cerca(c, {"textDocument", "completion", "completionItem", "snippetSupport"}));
  simboli_gerarchici_ =
      vero(cerca(c, {"textDocument", "documentSymbol", "hierarchicalDocumentSymbolSupport"}));
  const nlohmann::json* formati = cerca(c, {"textDocument", "hover", "contentFormat"});
  hover_markdown_ = formati == nullptr || offre(formati, "markdown");
  fase_ = fase::attivo;
  return {{"capabilities",
           {{"positionEncoding", codifica_ == codifica_posizioni::utf8 ? "utf-8" : "utf-16"},
            {"textDocumentSync",
             {{"openClose", true},
              {"change", kSincroniaIncrementale},
              {"save", {{"includeText", false}}}}},
            {"hoverProvider", true},
            {"completionProvider", nlohmann::json::object()},
            {"documentSymbolProvider", true},
            {"definitionProvider", true}}},
          {"serverInfo", {{"name", "scenario-tool"}, {"version", std::string(kVersione)}}}};
}

documento_condiviso server_lsp::aperto_o_errore(const std::string& uri) const {
  documento_condiviso d = documenti_.aperto(uri);
  if (!d) throw errore_rpc(kRichiestaFallita, "the text '" + uri + "' is not open");
  return d;
}

const analisi& server_lsp::analisi_di(const std::string& uri) {
  std::unique_ptr<const analisi>& a = analisi_[uri];
  if (!a) {
    const std::optional<famiglia> f = documenti_.famiglia_di(uri);
    if (f) a = analizza(*f, uri);
    if (!a) throw errore_rpc(kRichiestaFallita, "the text '" + uri + "' cannot be compiled");
  }
  return *a;
}

nlohmann::json server_lsp::hover(const nlohmann::json& parametri) {
  const std::string uri = uri_di(parametri);
  const posizione_editor p = posizione_di(parametri);
  const documento_condiviso d = aperto_o_errore(uri);
  const analisi& a = analisi_di(uri);
  const std::optional<hover_campo> h = hover_in(a, d->unicode.carattere(p, codifica_));
  if (!h) return nullptr;
  const campo_letto& campo = a.lettura.campi(a.di)[h->campo];
  return {
      {"contents", {{"kind", hover_markdown_ ? "markdown" : "plaintext"}, {"value", h->markdown}}},
      {"range", json_intervallo(d->unicode.editor_di(campo.inizio, codifica_),
                                d->unicode.editor_di(campo.fine, codifica_))}};
}

nlohmann::json server_lsp::completamento(const nlohmann::json& parametri) {
  const std::string uri = uri_di(parametri);
  const posizione_editor p = posizione_di(parametri);
  return completamenti(*aperto_o_errore(uri), p, codifica_, snippet_);
}

nlohmann::json server_lsp::simboli_documento(const nlohmann::json& parametri) {
  const std::string uri = uri_di(parametri);
  aperto_o_errore(uri);
  return simboli(analisi_di(uri), codifica_, simboli_gerarchici_);
}

nlohmann::json server_lsp::definizione(const nlohmann::json& parametri) {
  const std::string uri = uri_di(parametri);
  const posizione_editor p = posizione_di(parametri);
  aperto_o_errore(uri);
  const auto pubblicata = pubblicate_.find(uri);
  if (pubblicata == pubblicate_.end()) return nlohmann::json::array();
  return definizioni(pubblicata->second, p);
}

// ---------------------------------------------------------------- texts

void server_lsp::apertura(const nlohmann::json& parametri) {
  const nlohmann::json& d = membro(parametri, "textDocument", kParametri);
  const std::string uri = stringa(d, "uri", kDocumento);
  const std::string linguaggio =
      d.contains("languageId") ? stringa(d, "languageId", kDocumento) : std::string();
  try {
    // Measured before it is copied.
    const nlohmann::json& testo = membro(d, "text", kDocumento);
    if (testo.is_string()) entro_il_limite(uri, testo.get_ref<const std::string&>().size());
    documenti_.apri(uri, stringa(d, "text", kDocumento), intero(d, "version", kDocumento),
                    linguaggio);
  } catch (const testo_troppo_grande&) {
    // An earlier version is not judged in its place.
    if (documenti_.aperto(uri)) chiusura(parametri);
    throw;
  }
  giudica(uri, true);
}

void server_lsp::modifica(const nlohmann::json& parametri) {
  const nlohmann::json& d = membro(parametri, "textDocument", kParametri);
  const std::string uri = stringa(d, "uri", kDocumento);
  const int64_t versione = intero(d, "version", kDocumento);
  const nlohmann::json& cambi = membro(parametri, "contentChanges", kParametri);
  if (!cambi.is_array())
    throw errore_rpc(kParametriNonValidi, "params.contentChanges must be a list");
  std::vector<modifica_testo> modifiche;
  for (const nlohmann::json& cambio : cambi) modifiche.push_back(modifica_di(cambio));
  bool aperto = false;
  try {
    aperto = documenti_.modifica(uri, modifiche, versione, codifica_);
  } catch (const testo_troppo_grande&) {
    // The editor's text is no longer the server's: closed until it is opened again.
    chiusura(parametri);
    throw;
  }
  if (!aperto) {
    throw errore_rpc(kParametriNonValidi, "the text '" + uri + "' is not open: open it first");
  }
  giudica(uri, true);
}

void server_lsp::chiusura(const nlohmann::json& parametri) {
  const std::string uri = uri_di(parametri);
  if (!documenti_.chiudi(uri)) {
    throw errore_rpc(kParametriNonValidi, "the text '" + uri + "' is not open");
  }
  // Every family the text was judged in is judged again from its open
  // texts (the closed one read from disk, when it is there); what no family
  // shows any more is cleared.
  std::set<std::string> prima = {uri};
  for (auto it = famiglie_.begin(); it != famiglie_.end();) {
    if (it->first != uri && !it->second.contains(uri)) {
      ++it;
      continue;
    }
    prima.insert(it->second.begin(), it->second.end());
    it = famiglie_.erase(it);
  }
  giudica_aperti({prima.begin(), prima.end()});
  std::set<std::string> ora;
  for (const auto& [capo, uri_famiglia] : famiglie_)
    ora.insert(uri_famiglia.begin(), uri_famiglia.end());
  for (const std::string& u : prima) {
    if (!ora.contains(u)) pubblica(u, nlohmann::json::array());
  }
}

void server_lsp::salvataggio(const nlohmann::json& parametri) {
  const std::string uri = uri_di(parametri);
  if (!documenti_.aperto(uri)) return;
  documenti_.salvato(uri);
  giudica(uri, false);
}

void server_lsp::file_cambiati() { giudica_aperti(documenti_.uri_aperti()); }

void server_lsp::giudica_aperti(const std::vector<std::string>& uri) {
  // A family is judged once, not once for each of its texts.
  std::set<std::string> giudicati;
  for (const std::string& u : uri) {
    if (giudicati.contains(u) || !documenti_.aperto(u)) continue;
    if (const std::set<std::string>* raggiunti = giudica(u, false)) {
      giudicati.insert(raggiunti->begin(), raggiunti->end());
    }
    giudicati.insert(u);
  }
}

// ---------------------------------------------------------------- diagnostics

const std::set<std::string>* server_lsp::giudica(const std::string& uri, bool cambiato) {
  analisi_.clear();
  const std::optional<famiglia> f = documenti_.famiglia_di(uri);
  if (!f) return nullptr;
  const std::map<std::string, nlohmann::json> tutte =
      diagnostiche_famiglia(*f, codifica_, verifiche_);
  std::set<std::string>& prima = famiglie_[f->capo().uri];
  for (const std::string& vecchia : prima) {
    if (!tutte.contains(vecchia)) pubblica(vecchia, nlohmann::json::array());
  }
  prima.clear();
  for (const auto& [destinazione, lista] : tutte) {
    pubblica(destinazione, lista, cambiato && destinazione == uri);
    prima.insert(destinazione);
  }
  return &prima;
}

void server_lsp::pubblica(const std::string& uri, const nlohmann::json& diagnostiche, bool sempre) {
  // What the editor shows already is not sent again, but for the text it
  // has just changed (its version moves on).
  const auto pubblicata = pubblicate_.find(uri);
  const bool uguale = pubblicata == pubblicate_.end() ? diagnostiche.empty() && vuote_.contains(uri)
                                                      : pubblicata->second == diagnostiche;
  if (uguale && !sempre) return;
  nlohmann::json parametri = {{"uri", uri}, {"diagnostics", diagnostiche}};
  if (const documento_condiviso d = documenti_.aperto(uri)) parametri["version"] = d->versione;
  invia({{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", parametri}});
  if (diagnostiche.empty()) {
    pubblicate_.erase(uri);
    vuote_.insert(uri);
  } else {
    pubblicate_[uri] = diagnostiche;
    vuote_.erase(uri);
  }
}

// ---------------------------------------------------------------- the loop

int esegui_lsp(std::istream& ingresso, std::ostream& uscita) {
  server_lsp server(uscita);
  lettore_messaggi lettore(ingresso);
  while (!server.finito()) {
    const messaggio_letto m = lettore.leggi();
    if (m.tipo == messaggio_letto::esito::fine) break;
    if (m.tipo == messaggio_letto::esito::cornice) {
      server.cornice_errata(m.errore);
    } else {
      server.ricevi(m.corpo);
    }
  }
  return server.stato_uscita();
}

int comando_lsp(std::ostream& uscita) {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return esegui_lsp(std::cin, uscita);
}

}  // namespace scenario::lsp
