#include "tools/riferimento/grammatica.h"

#include <array>
#include <nlohmann/json.hpp>
#include <optional>

#include "base/nomi_enum.h"

namespace scenario {
namespace {

using json = nlohmann::ordered_json;

std::string_view nome_testo(testo_letto testo) {
  constexpr std::array<std::string_view, 2> kNomi = {"linea", "treno"};
  return nome_di(testo, kNomi);
}

// `parola` as an Oniguruma pattern that matches it literally.
std::string letterale(std::string_view parola) {
  std::string r;
  for (const char c : parola) {
    if (std::string_view("\\^$.|?*+()[]{}-").find(c) != std::string_view::npos) r += '\\';
    r += c;
  }
  return r;
}

// A number as the readers take one: a sign, digits, a fraction, an exponent,
// standing alone in its field.
constexpr std::string_view kNumero = R"((?<![\w.])[+-]?\d+(?:\.\d+)?(?:[eE][+-]?\d+)?(?![\w.]))";

// The keyword field of a line, from its first non-blank to its last, when it
// passes the keyword test of `d`: it contains both words, in any letter case
// or in lower case as the table says.
std::string chiave(const descrizione_riga& d) {
  std::string r = d.ignora_maiuscole ? "(?i)" : "";
  r += R"(^\s*)";
  for (std::string_view parola : d.parole) {
    if (!parola.empty()) r += "(?=[^,]*?" + letterale(parola) + ")";
  }
  r += R"(([^,]*[^,\s]))";
  return r;
}

// The index of the row's text value (a station's name, a board's text),
// which runs to the end of its line; none when every value is a number.
std::optional<std::size_t> campo_di_testo(const descrizione_riga& d) {
  for (std::size_t n = 0; n < d.campi.size(); ++n) {
    if (d.campi[n].slot == slot_valore::testo) return n;
  }
  return std::nullopt;
}

json numeri_e_virgole() {
  return {{"patterns", json::array({{{"include", "#numero"}}, {{"include", "#virgola"}}})}};
}

// A row whose last value is a text: the keyword, the values before the text
// (each ending at its comma), and the text to the line's end (quoted, it may
// hold a comma).
json riga_con_testo(const descrizione_riga& d, std::size_t indice) {
  json regola;
  regola["comment"] = std::string(d.nome) + ": " + std::string(d.scritta);
  regola["match"] =
      chiave(d) + R"(\s*(,)((?:[^,]*,){)" + std::to_string(indice) + R"(})\s*("[^"]*"|[^,]*?)\s*$)";
  regola["captures"] = {{"1", {{"name", kScopoChiave}}},
                        {"2", {{"name", kScopoVirgola}}},
                        {"3", numeri_e_virgole()},
                        {"4", {{"name", scopo_testo(d.campi[indice])}}}};
  return regola;
}

json riga(const descrizione_riga& d) {
  json regola;
  regola["comment"] = std::string(d.nome) + ": " + std::string(d.scritta);
  regola["match"] = chiave(d) + R"((?=\s*(?:,|$)))";
  regola["captures"] = {{"1", {{"name", kScopoChiave}}}};
  return regola;
}

json intestazioni_di(testo_letto testo) {
  std::string alternative;
  for (std::string_view intestazione : intestazioni(testo)) {
    if (!alternative.empty()) alternative += '|';
    alternative += letterale(intestazione);
  }
  return {{"match", R"((?i)^\s*()" + alternative + R"()\s*(?=,|$))"},
          {"captures", {{"1", {{"name", kScopoIntestazione}}}}}};
}

}  // namespace

std::string scopo_grammatica(testo_letto testo) {
  return "source.scenario." + std::string(nome_testo(testo));
}

std::string nome_file_grammatica(testo_letto testo) {
  return "scenario-" + std::string(nome_testo(testo)) + ".tmLanguage.json";
}

std::string scopo_testo(const campo_riga& campo) {
  return "string.unquoted." + std::string(campo.nome) + ".scenario";
}

std::string grammatica_textmate(testo_letto testo) {
  json righe_con_testo = json::array();
  json righe = json::array();
  for (const descrizione_riga& d : tutte_le_righe()) {
    if (d.testo != testo) continue;
    if (const std::optional<std::size_t> indice = campo_di_testo(d)) {
      righe_con_testo.push_back(riga_con_testo(d, *indice));
    }
    righe.push_back(riga(d));
  }

  json g;
  g["comment"] =
      "Made by genera_grammatiche from the compiler's table of row kinds (compiler/righe.h): "
      "edit the table, not this file.";
  g["name"] = testo == testo_letto::linea ? "Scenario line text" : "Scenario train text";
  g["scopeName"] = scopo_grammatica(testo);
  // A keyword field holding "-" is dropped by the readers (a number, even a
  // negative one, is a value): from the line's start to its first comma.
  g["patterns"] = json::array({{{"include", "#commento"}},
                               {{"include", "#intestazione"}},
                               {{"include", "#righe_con_testo"}},
                               {{"include", "#righe"}},
                               {{"include", "#numero"}},
                               {{"include", "#virgola"}}});
  g["repository"] = {
      {"commento",
       {{"match", R"(^\s*+(?![+-]?\d+(?:\.\d+)?\s*(?:,|$))([^,]*-[^,]*))"},
        {"captures", {{"1", {{"name", kScopoCommento}}}}}}},
      {"intestazione", intestazioni_di(testo)},
      {"righe_con_testo", {{"patterns", righe_con_testo}}},
      {"righe", {{"patterns", righe}}},
      {"numero", {{"match", kNumero}, {"name", kScopoNumero}}},
      {"virgola", {{"match", ","}, {"name", kScopoVirgola}}},
  };
  return g.dump(2) + "\n";
}

}  // namespace scenario
