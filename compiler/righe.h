// The row kinds of the two source texts, described once: for each kind its
// keyword test exactly as the readers make it (the words the keyword field
// must contain, the letter-case rule, the order of the tests), the section it
// stands in, and its values in reading order with name, unit, slot and what
// the compiler does with each. The readers take their keyword tests from
// here; check, dump, the reference pages and their tests take the names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace scenario {

enum class testo_letto : uint8_t { linea, treno };

// Every row kind of the two texts, one per keyword test, in the order the
// readers make the tests.
enum class tipo_riga : uint8_t {
  // Line text, general section.
  lunghezza,
  progressiva_tre,
  progressiva_due,
  progressiva_uno,
  sfondo_uno,
  sfondo_due,
  sfondo_tre,
  ripetizione,
  // Line text, after the general section.
  pendenza,
  curva,
  montagna,
  indicatori,
  cartello,
  // Train text.
  massa_frenata,
  vetture,
  velocita,
  aderenza,
  orologio,
  sabbia,
  segnale,
  rallentamento,
  abbattimento,
  stazione,
};
inline constexpr std::size_t kTipiRiga = 23;

// The slot a value is read into: a value outside it is a read failure.
enum class slot_valore : uint8_t { byte, int16, int32, testo };

// The values a slot takes, for messages and the reference ("0 to 255").
std::string_view intervallo_slot(slot_valore s);
// The slot's name for people ("byte", "16-bit", "32-bit", "text").
std::string_view nome_slot(slot_valore s);

// Values a real scenario keeps within, beyond what the slot takes: check
// warns outside them. Both ends included.
struct intervallo_plausibile {
  int64_t da = 0;
  int64_t a = 0;
};

struct campo_riga {
  std::string_view nome;   // as messages and the reference name it
  std::string_view unita;  // "m", "km/h", "per mille", "%", "" for none
  slot_valore slot = slot_valore::int32;
  std::string_view uso;  // what the compiler does with the value
  std::optional<intervallo_plausibile> plausibile = std::nullopt;
  // The value may be left empty on purpose (it then reads as 0).
  bool vuoto_ammesso = false;
};

// Where in its text a row kind is read.
enum class sezione_riga : uint8_t {
  generale,       // line text, between [generale] and the first bracketed field
  dopo_generale,  // line text, after the general section
  treno,          // anywhere in the train text after [generale]
};

struct descrizione_riga {
  tipo_riga tipo;
  testo_letto testo;
  sezione_riga sezione;
  std::string_view scritta;  // the keyword as the embedded texts write it
  std::string_view nome;     // the kind as messages name it ("signal row")
  // The keyword field passes when it contains every one of these (the second
  // may be empty) ...
  std::array<std::string_view, 2> parole;
  // ... in any letter case, or else in exactly this (lower) case.
  bool ignora_maiuscole;
  // The header the row stands under in a well-ordered text.
  std::string_view intestazione;
  std::string_view descrizione;  // what the row is, for the reference
  std::span<const campo_riga> campi;
};

// Every row kind, in the readers' order of tests.
std::span<const descrizione_riga> tutte_le_righe();
const descrizione_riga& descrizione(tipo_riga tipo);

// The keyword test of `tipo` on a keyword field, given as read and lowered
// (minuscolo_1252: the readers lower a field once for all its tests).
bool passa(tipo_riga tipo, std::string_view campo, std::string_view minuscolo);

// The section headers of a text, in their order.
std::span<const std::string_view> intestazioni(testo_letto testo);

// Keyword fields holding "-" are dropped as comments, up to this many in a
// row: in the line text's general section, and everywhere else.
inline constexpr int kCommentiGenerale = 10;
inline constexpr int kCommentiRighe = 2;

}  // namespace scenario
