// One fuzz input fed to the language server as the bytes of its standard
// input, and what the server must keep whatever comes: it never crashes or
// throws, and what it writes is a sequence of whole messages, each a JSON
// object of JSON-RPC 2.0. The fuzz target and the regression test both run
// inputs through here.
#pragma once

#include <string>
#include <string_view>

namespace prova {

// Serves the input and checks every property; returns a description of the
// first that fails, or an empty text when all hold.
std::string verifica_sessione_lsp(std::string_view dati);

// The property of what the server wrote: each message "Content-Length: N",
// CR LF twice and N bytes of a JSON-RPC 2.0 object, and nothing else. An
// empty text when it holds.
std::string verifica_uscita_lsp(std::string_view uscita);

}  // namespace prova
