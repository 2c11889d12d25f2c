#include "tools/lsp/protocollo.h"

#include <limits>

namespace scenario::lsp {
namespace {

std::string percorso(std::string_view dove, std::string_view nome) {
  return std::string(dove) + "." + std::string(nome);
}

[[noreturn]] void non_valido(const std::string& messaggio) {
  throw errore_rpc(kParametriNonValidi, messaggio);
}

uint32_t non_negativo(const nlohmann::json& o, std::string_view nome, std::string_view dove) {
  const nlohmann::json& v = membro(o, nome, dove);
  if (!v.is_number_integer() || v.get<int64_t>() < 0 ||
      v.get<int64_t>() > std::numeric_limits<int32_t>::max()) {
    non_valido(percorso(dove, nome) + " must be a whole number from 0 to 2147483647");
  }
  return static_cast<uint32_t>(v.get<int64_t>());
}

}  // namespace

const nlohmann::json& membro(const nlohmann::json& o, std::string_view nome,
                             std::string_view dove) {
  if (!o.is_object()) non_valido(std::string(dove) + " must be an object");
  const auto trovato = o.find(nome);
  if (trovato == o.end())
    non_valido(std::string(dove) + " has no member '" + std::string(nome) + "'");
  return *trovato;
}

std::string stringa(const nlohmann::json& o, std::string_view nome, std::string_view dove) {
  const nlohmann::json& v = membro(o, nome, dove);
  if (!v.is_string()) non_valido(percorso(dove, nome) + " must be a string");
  return v.get<std::string>();
}

int64_t intero(const nlohmann::json& o, std::string_view nome, std::string_view dove) {
  const nlohmann::json& v = membro(o, nome, dove);
  if (!v.is_number_integer()) non_valido(percorso(dove, nome) + " must be a whole number");
  if (v.is_number_unsigned() && v.get<uint64_t>() > std::numeric_limits<int64_t>::max()) {
    non_valido(percorso(dove, nome) + " is too large");
  }
  return v.get<int64_t>();
}

posizione_editor posizione(const nlohmann::json& o, std::string_view nome, std::string_view dove) {
  const nlohmann::json& p = membro(o, nome, dove);
  const std::string qui = percorso(dove, nome);
  return {non_negativo(p, "line", qui), non_negativo(p, "character", qui)};
}

const nlohmann::json* cerca(const nlohmann::json& o, std::initializer_list<std::string_view> nomi) {
  const nlohmann::json* corrente = &o;
  for (const std::string_view nome : nomi) {
    if (!corrente->is_object()) return nullptr;
    const auto trovato = corrente->find(nome);
    if (trovato == corrente->end()) return nullptr;
    corrente = &*trovato;
  }
  return corrente;
}

nlohmann::json json_posizione(const posizione_editor& p) {
  return {{"line", p.riga}, {"character", p.colonna}};
}

nlohmann::json json_intervallo(const posizione_editor& da, const posizione_editor& a) {
  return {{"start", json_posizione(da)}, {"end", json_posizione(a)}};
}

}  // namespace scenario::lsp
