#include "fuzz/proprieta_lsp.h"

#include <exception>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tools/lsp/server.h"

namespace prova {

std::string verifica_uscita_lsp(std::string_view uscita) {
  constexpr std::string_view kIntestazione = "Content-Length: ";
  for (std::size_t n = 0; !uscita.empty(); ++n) {
    const std::string qui = "message " + std::to_string(n);
    const std::size_t fine = uscita.find("\r\n\r\n");
    if (!uscita.starts_with(kIntestazione) || fine == std::string_view::npos) {
      return qui + " has no header";
    }
    const std::string lunghezza(uscita.substr(kIntestazione.size(), fine - kIntestazione.size()));
    if (lunghezza.empty() || lunghezza.size() > 12 ||
        lunghezza.find_first_not_of("0123456789") != std::string::npos) {
      return qui + " has the length '" + lunghezza + "'";
    }
    const std::size_t byte = std::stoul(lunghezza);
    uscita.remove_prefix(fine + 4);
    if (byte > uscita.size()) return qui + " is cut short";
    const nlohmann::json j = nlohmann::json::parse(uscita.substr(0, byte), nullptr, false);
    if (!j.is_object() || j.value("jsonrpc", "") != "2.0") {
      return qui + " is not a JSON-RPC 2.0 object: " + std::string(uscita.substr(0, 200));
    }
    uscita.remove_prefix(byte);
  }
  return {};
}

std::string verifica_sessione_lsp(std::string_view dati) {
  std::istringstream ingresso{std::string(dati)};
  std::ostringstream uscita;
  try {
    scenario::lsp::esegui_lsp(ingresso, uscita);
  } catch (const std::exception& e) {
    return std::string("the server threw: ") + e.what();
  }
  return verifica_uscita_lsp(uscita.str());
}

}  // namespace prova
