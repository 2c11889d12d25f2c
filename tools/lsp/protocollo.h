// The pieces of JSON-RPC and of the protocol's types that every handler of
// the language server uses: the error codes, an error to answer a request
// with, and the reading of parameters that names what is missing or wrong.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/lsp/posizioni.h"

namespace scenario::lsp {

// JSON-RPC's codes, and the protocol's own.
inline constexpr int kErroreSintassi = -32700;      // ParseError
inline constexpr int kRichiestaNonValida = -32600;  // InvalidRequest
inline constexpr int kMetodoSconosciuto = -32601;   // MethodNotFound
inline constexpr int kParametriNonValidi = -32602;  // InvalidParams
inline constexpr int kErroreInterno = -32603;       // InternalError
inline constexpr int kNonInizializzato = -32002;    // ServerNotInitialized
inline constexpr int kRichiestaFallita = -32803;    // RequestFailed

// An error a request is answered with.
class errore_rpc : public std::runtime_error {
 public:
  errore_rpc(int codice, const std::string& messaggio)
      : std::runtime_error(messaggio), codice_(codice) {}
  int codice() const { return codice_; }

 private:
  int codice_;
};

// The member `nome` of the object `o`, which `dove` names for the message
// ("params.textDocument"); throws kParametriNonValidi when `o` is no object
// or has no such member.
const nlohmann::json& membro(const nlohmann::json& o, std::string_view nome, std::string_view dove);

// The same, of a given kind; each throws kParametriNonValidi otherwise.
std::string stringa(const nlohmann::json& o, std::string_view nome, std::string_view dove);
int64_t intero(const nlohmann::json& o, std::string_view nome, std::string_view dove);
// A Position: line and character, whole numbers from 0.
posizione_editor posizione(const nlohmann::json& o, std::string_view nome, std::string_view dove);

// A member found by a path of names ("capabilities", "general", ...), or
// null when any is missing.
const nlohmann::json* cerca(const nlohmann::json& o, std::initializer_list<std::string_view> nomi);

// The protocol's Position and Range.
nlohmann::json json_posizione(const posizione_editor& p);
nlohmann::json json_intervallo(const posizione_editor& da, const posizione_editor& a);

}  // namespace scenario::lsp
