// The two languages the tool speaks, Italian and English: which one a user
// asks for, and its texts. Every text the tool prints or draws is written in
// the code in English, marked with `tr` (or `trn` when it has a plural), and
// looked up in a gettext catalogue (po/it.po, compiled and built into the
// executable); English is the text itself. Rule names, codes, JSON keys and
// the system's own texts are never marked.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

enum class lingua : uint8_t { inglese, italiano };

// The language of a locale's name ("it_IT.UTF-8", "it", "C", "en_GB"):
// Italian for a name that begins with "it", English for any other; nothing for
// an empty name, which leaves the choice to the next variable.
std::optional<lingua> lingua_del_locale(std::string_view nome);

// The language the C library would take from the environment's values: the
// first of LC_ALL, LC_MESSAGES and LANG that is set and not empty; English
// when none is, or when it names neither language.
lingua lingua_da_variabili(std::string_view lc_all, std::string_view lc_messages,
                           std::string_view lang);

// The user's language: from the environment on Linux, from the user's display
// language on Windows.
lingua lingua_del_sistema();

// The language of an option's value, "it" or "en"; nothing for any other.
std::optional<lingua> lingua_da_opzione(std::string_view valore);

// A compiled gettext catalogue (the bytes of a .mo file), read in place. Its
// bytes must outlive it.
class catalogo {
 public:
  // The catalogue in `byte`; nothing when they are not a well-formed .mo file
  // (a header, tables and strings that lie within the bytes).
  static std::optional<catalogo> da_byte(std::string_view byte);

  // One entry: the English text (its plural after a NUL) and its translation
  // (the plural forms separated by NULs).
  struct voce {
    std::string_view originale;
    std::string_view traduzione;
  };

  // The translation of `originale`; nothing when the catalogue has none.
  std::optional<std::string_view> cerca(std::string_view originale) const;
  std::size_t voci() const { return voci_; }
  voce voce_n(std::size_t n) const;
  // The catalogue's header (the translation of the empty text).
  std::string_view intestazione() const;

 private:
  catalogo(std::string_view byte, std::size_t voci, std::size_t originali, std::size_t traduzioni)
      : byte_(byte), voci_(voci), originali_(originali), traduzioni_(traduzioni) {}
  std::string_view stringa(std::size_t tabella, std::size_t n) const;

  std::string_view byte_;
  std::size_t voci_;
  std::size_t originali_;
  std::size_t traduzioni_;
};

// The texts of one language: tr("...") gives the marked text in it.
class traduttore {
 public:
  // English: every text as written.
  traduttore() = default;
  // The language `l`, from the catalogue built into the executable.
  explicit traduttore(lingua l);
  // The language `l` from the catalogue `c`.
  traduttore(lingua l, catalogo c) : lingua_(l), catalogo_(c) {}

  lingua lingua_scelta() const { return lingua_; }
  // The text `inglese` in this language (itself when it has no translation).
  std::string_view tr(std::string_view inglese) const;
  // The singular or the plural form for `n`, in this language. Both
  // languages have two forms, the singular for 1 alone.
  std::string_view trn(std::string_view singolare, std::string_view plurale, uint64_t n) const;

 private:
  lingua lingua_ = lingua::inglese;
  std::optional<catalogo> catalogo_;
};

// `modello` with "{0}", "{1}", ... replaced by the values of that index (so
// that a translation may order them as its language needs); "{{" is "{".
// A placeholder without a value stays as it is.
std::string componi(std::string_view modello, std::initializer_list<std::string_view> valori);

// The placeholders "{0}", "{1}"... of `testo`, in the order they stand, each
// as its index: a translation must use the same ones.
std::vector<int> segnaposto(std::string_view testo);

// The Italian catalogue built into the executable (the bytes of po/it.po
// compiled by msgfmt).
std::string_view catalogo_italiano();

}  // namespace scenario
