// The warnings of check: every input whose meaning the readers change
// silently, found on the fields, rows and keyword fields as they were read,
// at the place of the slip itself (a note shows where its effect lands).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "compiler/flusso_campi.h"
#include "compiler/lettore_linea.h"
#include "compiler/lettore_treno.h"
#include "tools/verifica/interno.h"

namespace scenario {
namespace {

// Gradient rows stand at least one cell apart.
constexpr int64_t kDistanzaPendenze = kMetriCella;

std::string citato(std::string_view cp1252) { return "'" + utf8_da_1252(cp1252) + "'"; }

// A field without the blanks around it, as written, and lowered.
std::string ripulito_in_caso(std::string_view testo) {
  const std::size_t inizio = testo.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) return {};
  const std::size_t fine = testo.find_last_not_of(" \t");
  return std::string(testo.substr(inizio, fine - inizio + 1));
}
std::string ripulito(std::string_view testo) { return minuscolo_1252(ripulito_in_caso(testo)); }

bool intestazione_nota(testo_letto t, std::string_view pulito) {
  for (std::string_view i : intestazioni(t)) {
    if (i == pulito) return true;
  }
  return false;
}

bool tra_parentesi(std::string_view pulito) {
  return pulito.size() >= 2 && pulito.front() == '[' && pulito.back() == ']';
}

// The header a row kind stands under.
std::string_view sezione_di(tipo_riga t) { return descrizione(t).intestazione; }

std::string_view nome_testo(testo_letto t) { return t == testo_letto::linea ? "line" : "train"; }

// Whether a field passes a keyword test of the line text's rows of `sezione`.
bool passa_sezione(sezione_riga sezione, std::string_view campo) {
  const std::string minuscolo = minuscolo_1252(campo);
  for (const descrizione_riga& d : tutte_le_righe()) {
    if (d.sezione == sezione && passa(d.tipo, campo, minuscolo)) return true;
  }
  return false;
}

bool sembra_numero(std::string_view pulito) {
  if (pulito.empty()) return false;
  const char c = pulito.front();
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

bool cifra(char c) { return c >= '0' && c <= '9'; }
bool lettera(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || u >= 0xC0;
}

// A whole number as people write one: an optional sign and digits.
bool intero_semplice(std::string_view t) {
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  return !t.empty() && std::all_of(t.begin(), t.end(), cifra);
}

// A number with a fraction or an exponent, all of it read: "2.5", "1e3".
bool decimale(std::string_view t) {
  bool fuori_scala = false;
  if (valore_numerico(t, fuori_scala) == 0.0 && t.find_first_not_of("+-0.eE") != t.npos) {
    return false;
  }
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  bool punto = false;
  bool esponente = false;
  bool cifre = false;
  for (std::size_t n = 0; n < t.size(); ++n) {
    const char c = t[n];
    if (cifra(c)) {
      cifre = true;
    } else if (c == '.' && !punto && !esponente) {
      punto = true;
    } else if ((c == 'e' || c == 'E') && cifre && !esponente) {
      esponente = true;
      if (n + 1 < t.size() && (t[n + 1] == '+' || t[n + 1] == '-')) ++n;
    } else {
      return false;
    }
  }
  return cifre && (punto || esponente);
}

// A number written with dots as thousands separators, as Italians write
// metres ("11.500", "1.250.000"): its digits without the dots; nothing for any
// other token.
std::optional<std::string> con_separatore_migliaia(std::string_view t) {
  const std::size_t punto = t.find('.');
  if (punto == std::string_view::npos || punto == 0 || punto > 3) return std::nullopt;
  if (!std::all_of(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(punto), cifra)) {
    return std::nullopt;
  }
  std::string cifre(t.substr(0, punto));
  for (std::size_t n = punto; n < t.size(); n += 4) {
    const std::string_view gruppo = t.substr(n, 4);
    if (gruppo.size() != 4 || gruppo[0] != '.' ||
        !std::all_of(gruppo.begin() + 1, gruppo.end(), cifra)) {
      return std::nullopt;
    }
    cifre += gruppo.substr(1);
  }
  return cifre;
}

bool in_16_bit(int64_t v) { return v >= INT16_MIN && v <= INT16_MAX; }
bool in_byte(int64_t v) { return v >= 0 && v <= 255; }

int64_t basso_16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}
int64_t basso_8(int64_t v) { return static_cast<int64_t>(static_cast<uint64_t>(v) & 0xFFu); }

// Edits that turn `a` into `b` (one letter put in, left out or changed).
std::size_t distanza(std::string_view a, std::string_view b) {
  std::vector<std::size_t> riga(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) riga[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonale = riga[0];
    riga[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t sopra = riga[j];
      riga[j] =
          std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonale = sopra;
    }
  }
  return riga[b.size()];
}

// The keyword of the text closest to `pulito` (lowered), when one is near
// enough to be what the author meant.
std::optional<std::string_view> parola_vicina(testo_letto t, std::string_view pulito) {
  std::optional<std::string_view> migliore;
  std::size_t minima = std::max<std::size_t>(2, pulito.size() / 4) + 1;
  for (const descrizione_riga& d : tutte_le_righe()) {
    if (d.testo != t) continue;
    // The whole keyword, and its first word alone ("stazone" for "stazione").
    const std::string_view parola = d.scritta.substr(0, d.scritta.find(' '));
    for (std::string_view candidata : {d.scritta, parola}) {
      const std::size_t n = distanza(pulito, candidata);
      if (n < minima) {
        minima = n;
        migliore = d.scritta;
      }
    }
  }
  return migliore;
}

// A line written as a comment: ";", "#", "//", "'" or "REM" first.
bool sembra_commento(std::string_view pulito) {
  if (pulito.empty()) return false;
  if (pulito.front() == ';' || pulito.front() == '#' || pulito.front() == '\'') return true;
  if (pulito.starts_with("//")) return true;
  return pulito.starts_with("rem") && (pulito.size() == 3 || pulito[3] == ' ');
}

// Free words: two words or more of letters.
bool sembra_nota(std::string_view pulito) {
  std::size_t parole = 0;
  bool in_parola = false;
  for (char c : pulito) {
    if (lettera(c)) {
      if (!in_parola) ++parole;
      in_parola = true;
    } else if (c == ' ') {
      in_parola = false;
    } else {
      return false;
    }
  }
  return parole >= 2;
}

// A set of lines of the two texts, one flag a line: constant time, and
// memory that follows the texts' length.
class insieme_righe {
 public:
  // False when the line was in the set already.
  bool aggiungi(testo_letto t, int64_t riga) {
    std::vector<bool>& righe = righe_[static_cast<std::size_t>(t)];
    const auto n = static_cast<std::size_t>(std::max<int64_t>(riga, 0));
    if (n >= righe.size()) righe.resize(std::max(n + 1, righe.size() * 2));
    if (righe[n]) return false;
    righe[n] = true;
    return true;
  }
  bool contiene(testo_letto t, int64_t riga) const {
    const std::vector<bool>& righe = righe_[static_cast<std::size_t>(t)];
    const auto n = static_cast<std::size_t>(std::max<int64_t>(riga, 0));
    return n < righe.size() && righe[n];
  }

 private:
  std::array<std::vector<bool>, 2> righe_;
};

// What a cell member of the stretch values holds for a row's value, and what
// it is in the cell: the members the speed, adhesion and gradient rows fill.
struct riempimento {
  uint8_t cella::*membro;
  std::optional<uint8_t> (*atteso)(int64_t);
  int64_t (*valore)(uint8_t);  // what the cell's byte stands for
  std::string_view unita;
};

std::optional<uint8_t> atteso_velocita(int64_t v) { return byte_velocita(v); }
std::optional<uint8_t> atteso_aderenza(int64_t v) { return byte_aderenza(v); }
std::optional<uint8_t> atteso_pendenza(int64_t v) { return byte_pendenza(v); }
int64_t velocita_di(uint8_t b) { return int64_t{b} * 5; }
int64_t aderenza_di(uint8_t b) { return b; }
int64_t pendenza_di(uint8_t b) { return int64_t{b} - 100; }

constexpr riempimento kRiempimentoVelocita{&cella::vel_limite, atteso_velocita, velocita_di,
                                           "km/h"};
constexpr riempimento kRiempimentoAderenza{&cella::aderenza, atteso_aderenza, aderenza_di, "%"};
constexpr riempimento kRiempimentoPendenza{&cella::pendenza, atteso_pendenza, pendenza_di,
                                           "per mille"};

class avvisi {
 public:
  explicit avvisi(raccolta_diagnosi& r) : r_(r) {}

  void tutti() {
    for (testo_letto t : {testo_letto::linea, testo_letto::treno}) {
      testo_vuoto(t);
      codifica(t);
    }
    righe_corte();
    for (const riga_letta& riga : r_.lettura().righe()) valori_riga(riga);
    chiavi();
    for (testo_letto t : {testo_letto::linea, testo_letto::treno}) ultimo_campo(t);
    senza_generale();
    avvisi_coerenza(r_);
  }

 private:
  // ---------------------------------------------------------------- texts

  void testo_vuoto(testo_letto t) {
    if (t != testo_letto::treno || !r_.esiste(t)) return;
    const std::string_view b = r_.byte(t);
    if (b.find_first_not_of(" \t\r\n") != std::string_view::npos) return;
    r_.avviso(r_.intero(t), kRegolaTestoVuoto,
              "the train text is empty: the compile reads no row of it and lays no train on the "
              "line. Begin it with the line [generale] and the train's rows");
  }

  // A byte-order mark, or accented letters as UTF-8 writes them.
  void codifica(testo_letto t) {
    const std::string_view b = r_.byte(t);
    if (b.starts_with("\xEF\xBB\xBF")) {
      r_.avviso(r_.in_byte(t, 0, 3), kRegolaCodifica,
                "the " + std::string(nome_testo(t)) +
                    " text begins with a byte-order mark (EF BB BF), as a text saved as UTF-8 "
                    "does: the reader takes it for part of the first field. Save the text as "
                    "Windows-1252 (ANSI)");
    }
    std::vector<std::string> visti;
    std::optional<std::size_t> primo;
    std::size_t quanti = 0;
    for (std::size_t n = b.starts_with("\xEF\xBB\xBF") ? 3 : 0; n < b.size(); ++n) {
      const auto c = static_cast<unsigned char>(b[n]);
      if (c < 0x80) continue;
      const std::size_t lunghezza = c >= 0xC2 && c <= 0xDF   ? 2
                                    : c >= 0xE0 && c <= 0xEF ? 3
                                    : c >= 0xF0 && c <= 0xF4 ? 4
                                                             : 0;
      bool sequenza = lunghezza > 0 && n + lunghezza <= b.size();
      for (std::size_t k = 1; sequenza && k < lunghezza; ++k) {
        sequenza = (static_cast<unsigned char>(b[n + k]) & 0xC0U) == 0x80U;
      }
      // A byte of Windows-1252 text that begins no UTF-8 sequence: only the
      // sequences count (a text may be partly pasted from a UTF-8 one).
      if (!sequenza) continue;
      if (!primo) primo = n;
      ++quanti;
      const std::string carattere(b.substr(n, lunghezza));
      if (visti.size() < 3 && std::find(visti.begin(), visti.end(), carattere) == visti.end()) {
        visti.push_back(carattere);
      }
      n += lunghezza - 1;
    }
    if (!primo) return;
    std::string esempi;
    for (const std::string& c : visti) {
      if (!esempi.empty()) esempi += ", ";
      // As the file has it (UTF-8), and as the compiler will read it.
      esempi += "'" + c + "' as " + citato(c);
    }
    r_.avviso(r_.in_byte(t, *primo, *primo + visti.front().size()), kRegolaCodifica,
              "the " + std::string(nome_testo(t)) + " text looks saved as UTF-8: its " +
                  std::to_string(quanti) + " accented " +
                  (quanti == 1 ? "character reads" : "characters read") +
                  " wrong in Windows-1252, the code page of the texts (" + esempi +
                  "). Save the text as Windows-1252 (ANSI)");
  }

  // ---------------------------------------------------------------- rows

  // A row whose values run on to later lines takes what it finds there, the
  // next line's keyword included: told at the short row, with a note where
  // the value it takes stands.
  void righe_corte() {
    for (const riga_letta& riga : r_.lettura().righe()) {
      const int64_t linea_chiave = r_.riga_di(riga.testo, riga.chiave);
      for (std::size_t n = 0; n < riga.n_valori(); ++n) {
        const int64_t linea = r_.riga_di(riga.testo, riga.valore(n));
        if (linea == linea_chiave) continue;
        riga_corta(riga, n, linea);
        break;
      }
    }
  }

  void riga_corta(const riga_letta& riga, std::size_t n, int64_t linea) {
    const std::size_t campo = riga.valore(n);
    // Every line the row reached gives up the fields it took.
    for (std::size_t k = n; k < riga.n_valori(); ++k) {
      righe_ignorate_.aggiungi(riga.testo, r_.riga_di(riga.testo, riga.valore(k)));
    }
    // A header read as a row, and a line of values separated by semicolons
    // or tabs, are told as such.
    const std::string chiave = ripulito(r_.testo_campo(riga.testo, riga.chiave));
    if (tra_parentesi(chiave) || chiave.find_first_of(";\t") != std::string::npos) return;
    const bool primo_della_riga = campo == 0 || r_.riga_di(riga.testo, campo - 1) != linea;
    std::string messaggio =
        "this " + std::string(nome_riga(riga.tipo)) + " has " + std::to_string(n) + " of its " +
        std::to_string(valori_attesi(riga.tipo)) + " values on its line, so the reader takes its " +
        std::string(nome_valore(riga.tipo, n)) + " from line " + std::to_string(linea);
    if (primo_della_riga) messaggio += " and the row of that line is lost";
    // The last field the row has on its own line.
    const std::size_t ultimo = n > 0 ? riga.valore(n - 1) : riga.chiave;
    r_.avviso(r_.campo(riga.testo, ultimo), kRegolaRigaCorta,
              messaggio + ". Complete the row on its own line",
              {{r_.campo(riga.testo, campo),
                "the " + std::string(nome_valore(riga.tipo, n)) +
                    " is taken from here: " + citato(r_.testo_campo(riga.testo, campo))}});
  }

  // A row's values on its own line: how each number was written.
  bool sulla_sua_riga(const riga_letta& riga, std::size_t n) const {
    return r_.riga_di(riga.testo, riga.valore(n)) == r_.riga_di(riga.testo, riga.chiave);
  }

  void valori_riga(const riga_letta& riga) {
    const std::size_t attesi = valori_attesi(riga.tipo);
    if (riga.tipo == tipo_riga::stazione && riga.ha_valore(16)) {
      testo_con_virgola(riga, 16, "station name");
    }
    if (riga.tipo == tipo_riga::cartello && riga.ha_valore(1)) {
      testo_con_virgola(riga, 1, "board text");
    }
    for (std::size_t n = 0; n < riga.n_valori() && n < attesi; ++n) {
      if (sulla_sua_riga(riga, n)) forma_numero(riga, n);
    }
    // A row that takes values from later lines is the short row's warning:
    // what it makes of them says nothing more.
    if (riga.n_valori() < attesi || !sulla_sua_riga(riga, attesi - 1)) return;
    rovesciata(riga);
    oltre_il_percorso(riga);
    per_tipo(riga);
    // Last: a value a cell cannot hold is told so already.
    plausibili(riga);
  }

  void per_tipo(const riga_letta& riga) {
    switch (riga.tipo) {
      case tipo_riga::pendenza:
        pendenza(riga);
        break;
      case tipo_riga::curva:
        curva(riga);
        break;
      case tipo_riga::montagna:
        montagna(riga);
        break;
      case tipo_riga::indicatori:
        indicatori(riga);
        break;
      case tipo_riga::velocita:
        velocita(riga);
        break;
      case tipo_riga::aderenza:
        aderenza(riga);
        break;
      case tipo_riga::stazione:
        in_ordine(riga, stazione_prec_, "station rows stand in route order", false, nullptr);
        break;
      case tipo_riga::segnale:
        segnale(riga);
        break;
      case tipo_riga::rallentamento:
        rallentamento(riga);
        break;
      case tipo_riga::abbattimento:
        if (r_.numero(riga, 1) > INT16_MAX) avvolto(riga, 1, "value", r_.numero(riga, 1), 16);
        break;
      default:
        break;
    }
  }

  // How a number value was written: a semicolon, an empty field, a token
  // that is not a number, a fraction.
  void forma_numero(const riga_letta& riga, std::size_t n) {
    const campo_letto& c = r_.lettura().campi(riga.testo)[riga.valore(n)];
    if (!c.numero) return;
    const std::string_view token = r_.byte(riga.testo).substr(c.inizio, c.fine - c.inizio);
    const std::string nome(nome_valore(riga.tipo, n));
    const std::string riga_nome(nome_riga(riga.tipo));
    const auto letto = static_cast<int64_t>(c.valore);
    const posto qui = r_.campo(riga.testo, riga.valore(n));
    if (token.find(';') != std::string_view::npos) {
      r_.avviso(qui, kRegolaSeparatore,
                citato(token) + " holds a semicolon, which does not separate values: the " +
                    riga_nome + " reads " + std::to_string(letto) + " for its " + nome +
                    " and the rest of the token is lost. Separate the values with commas");
      return;
    }
    if (token.empty()) {
      if (descrizione(riga.tipo).campi[n].vuoto_ammesso) return;
      righe_con_vuoti_.aggiungi(riga.testo, r_.riga_di(riga.testo, riga.chiave));
      r_.avviso(qui, kRegolaCampoVuoto,
                "the " + riga_nome + " has an empty field for its " + nome +
                    ", which reads as 0 (a double comma?), and every value after it moves one "
                    "place on. Write the value, or remove the comma");
      return;
    }
    if (intero_semplice(token)) return;
    // Metres written with a dot for thousands: what the reader makes of the
    // dot, and the number the author meant.
    const std::optional<std::string> migliaia = con_separatore_migliaia(token);
    if (migliaia && descrizione(riga.tipo).campi[n].unita == "m") {
      bool fuori_scala = false;
      const double scritto = valore_numerico(token, fuori_scala);
      std::ostringstream letto_come;
      letto_come << scritto;
      r_.avviso(qui, decimale(token) ? kRegolaFrazione : kRegolaNonNumero,
                "the " + riga_nome + " gives " + std::string(token) + " for its " + nome +
                    ": the dot is no thousands separator here but a decimal point, so it reads " +
                    letto_come.str() + " m and " + std::to_string(letto) + " m is stored. For " +
                    *migliaia + " m write " + *migliaia + ", without the dot");
      return;
    }
    if (decimale(token)) {
      bool fuori_scala = false;
      const double scritto = valore_numerico(token, fuori_scala);
      if (scritto == static_cast<double>(letto)) return;
      r_.avviso(qui, kRegolaFrazione,
                "the " + riga_nome + " gives " + std::string(token) + " for its " + nome +
                    ", which is kept as a whole number: " + std::to_string(letto) +
                    " is stored (rounded, halves to even). Write a whole number");
      return;
    }
    std::string perche;
    if (std::any_of(token.begin(), token.end(), cifra) &&
        std::any_of(token.begin(), token.end(), lettera)) {
      perche = sembra_numero(token) ? " (only its leading digits count)" : "";
      perche += ". A letter for a digit (l for 1, O for 0)?";
    } else if (std::any_of(token.begin(), token.end(), lettera)) {
      perche = ". A word where a number belongs: is a value missing before it?";
    } else {
      perche = ". Write a plain number";
    }
    r_.avviso(qui, kRegolaNonNumero,
              citato(token) + " is not a number: the " + riga_nome + " reads it as " +
                  std::to_string(letto) + " for its " + nome + perche);
  }

  // Values no real line has: the table of row kinds gives each the range.
  void plausibili(const riga_letta& riga) {
    const std::span<const campo_riga> campi = descrizione(riga.tipo).campi;
    for (std::size_t n = 0; n < campi.size(); ++n) {
      if (!campi[n].plausibile || campi[n].slot == slot_valore::testo) continue;
      const int64_t v = r_.numero(riga, n);
      const intervallo_plausibile& i = *campi[n].plausibile;
      if ((v >= i.da && v <= i.a) || r_.segnalato(r_.valore(riga, n))) continue;
      const std::string unita = campi[n].unita.empty() ? "" : " " + std::string(campi[n].unita);
      std::string messaggio = "this ";
      messaggio += nome_riga(riga.tipo);
      messaggio += " gives " + std::to_string(v) + unita + " for its ";
      messaggio += campi[n].nome;
      messaggio += ", outside what a real line has (" + std::to_string(i.da) + " to " +
                   std::to_string(i.a) + unita + "). Check the value";
      r_.avviso(r_.valore(riga, n), kRegolaImplausibile, std::move(messaggio));
    }
  }

  // Stretches whose end is not after their start, and lengths of 0 or less.
  void rovesciata(const riga_letta& riga) {
    auto avvisa = [&](std::size_t valore, const std::string& cosa) {
      r_.avviso(r_.valore(riga, valore), kRegolaRovesciato, cosa);
    };
    const int64_t a = r_.numero(riga, 0);
    const int64_t b = riga.ha_valore(1) ? r_.numero(riga, 1) : 0;
    switch (riga.tipo) {
      case tipo_riga::montagna:
        if (b > a) return;
        avvisa(1, "this montagna stretch ends at " + metri(b) + ", not after its start at " +
                      metri(a) +
                      ": it covers no cell and lays nothing. Swap the two values, or "
                      "remove the row");
        return;
      case tipo_riga::curva:
        if (b > 0) return;
        avvisa(1, "this curve's length is " + metri(b) +
                      ": it bends nothing. Write the length of the curve, in metres");
        return;
      case tipo_riga::rallentamento: {
        const int64_t l = r_.numero(riga, 2);
        if (l > 0) return;
        avvisa(2, "this slowdown's length is " + metri(l) +
                      ": its end falls on or before its start. Write the length, in metres");
        return;
      }
      case tipo_riga::ripetizione:
        if (b == 0 || b > a) return;
        avvisa(1, "the signal repetition ends at " + metri(b) + ", not after its start at " +
                      metri(a) + ". Swap the two values");
        return;
      case tipo_riga::stazione: {
        const int64_t l = r_.numero(riga, 2);
        if (l >= 0) return;
        avvisa(2, "this station's platform length is " + metri(l) +
                      ", less than nothing. Write the platform's length, in metres");
        return;
      }
      default:
        return;
    }
  }

  // The positions of a row (and the ends of its stretch) before the start of
  // the route or beyond its end, in the run-out the strip keeps after it.
  // One beyond the strip is the compile's error 15, not told here.
  void oltre_il_percorso(const riga_letta& riga) {
    const int64_t lunghezza = r_.m().riga(kRigaDatiGenerali).fine;
    const int64_t margine = riga.tipo == tipo_riga::stazione ? kMargineStazione : kMargineRiga;
    const int64_t ultima = ultima_posizione(r_.m(), margine);
    auto prova = [&](std::size_t valore, int64_t p, const std::string& che_cosa) {
      if (p < 0) {
        r_.avviso(r_.valore(riga, valore), kRegolaOltrePercorso,
                  che_cosa + " lies at " + metri(p) +
                      ", before the start of the route at 0 m. Positions count from the start");
      } else if (p > lunghezza && p <= ultima) {
        r_.avviso(r_.valore(riga, valore), kRegolaOltrePercorso,
                  che_cosa + " lies at " + metri(p) + ", past the end of the route at " +
                      metri(lunghezza) +
                      ": what lies beyond is the run-out after the last station. Keep it within "
                      "the route");
      }
    };
    const std::string questa = "this " + std::string(nome_riga(riga.tipo));
    const int64_t p = r_.numero(riga, 0);
    switch (riga.tipo) {
      case tipo_riga::lunghezza:
      case tipo_riga::progressiva_tre:
      case tipo_riga::progressiva_due:
      case tipo_riga::progressiva_uno:
      case tipo_riga::massa_frenata:
      case tipo_riga::vetture:
      case tipo_riga::orologio:
      case tipo_riga::sabbia:
        return;
      case tipo_riga::curva:
        prova(1, p + r_.numero(riga, 1), "the end of this curve");
        return;
      case tipo_riga::montagna:
        prova(1, r_.numero(riga, 1), "the end of this montagna stretch");
        return;
      case tipo_riga::rallentamento:
        prova(0, p, questa);
        if (p >= 0 && p <= lunghezza) prova(2, p + r_.numero(riga, 2), "the end of this slowdown");
        return;
      case tipo_riga::ripetizione:
        prova(1, r_.numero(riga, 1), "the end of the signal repetition");
        return;
      default:
        prova(0, p, questa);
        return;
    }
  }

  // Rows of one kind ascend by position. False when this one does not. A
  // row whose value fills the cells up to the next row's also says which
  // stretch does not get its value, and what that stretch keeps.
  bool in_ordine(const riga_letta& riga, const riga_letta*& prec, std::string_view regola,
                 bool anche_uguale, const riempimento* riempie) {
    const riga_letta* prima = prec;
    prec = &riga;
    if (prima == nullptr) return true;
    const int64_t qui = r_.numero(riga, 0);
    const int64_t la = r_.numero(*prima, 0);
    if (qui > la || (qui == la && !anche_uguale)) return true;
    const std::string dove_prima = r_.dove(*prima, riga.testo);
    const std::string dopo = qui == la
                                 ? "stands at the same position as the one of " + dove_prima
                                 : "comes after the one at " + metri(la) + " (" + dove_prima + ")";
    std::string effetto;
    if (riempie != nullptr) effetto = tratto_perso(riga, *riempie);
    r_.avviso(r_.valore(riga, 0), kRegolaOrdine,
              "this " + std::string(nome_riga(riga.tipo)) + " at " + metri(qui) + " " + dopo +
                  ": " + std::string(regola) + effetto + ". Put the rows in order of position");
    return false;
  }

  // "; 22000 to 26549 m do not get its 60 km/h (they keep 80 km/h)": the
  // first stretch of cells from the row's position up to the next position
  // of its kind whose member the compile left holding something else.
  std::string tratto_perso(const riga_letta& riga, const riempimento& r) {
    const modello& m = r_.m();
    if (!m.ha_celle()) return {};
    const int64_t p = r_.numero(riga, 0);
    const int64_t v = r_.numero(riga, 1);
    const std::optional<uint8_t> atteso = r.atteso(v);
    if (!atteso) return {};
    int64_t prossima = int64_t{m.ultima_cella} - 2;
    if (const std::optional<int64_t> q = posizione_dopo(riga.tipo, p)) {
      prossima = std::min<int64_t>(prossima, cella_tratto(static_cast<int32_t>(*q)));
    }
    const int64_t da = std::max<int64_t>(0, cella_tratto(static_cast<int32_t>(p)));
    int64_t inizio = -1;
    int64_t fine = -1;
    for (int64_t n = da; n < prossima && n <= m.ultima_cella; ++n) {
      const bool diverso = m.cella_a(static_cast<int32_t>(n)).*r.membro != *atteso;
      if (diverso && inizio < 0) inizio = n;
      if (diverso) fine = n;
      if (!diverso && inizio >= 0) break;
    }
    if (inizio < 0) return {};
    const uint8_t tenuto = m.cella_a(static_cast<int32_t>(inizio)).*r.membro;
    const std::string unita(r.unita);
    return "; " + std::to_string(inizio * kMetriCella) + " to " +
           std::to_string(fine * kMetriCella + kMetriCella - 1) + " m do not get its " +
           std::to_string(v) + " " + unita + " (they keep " + std::to_string(r.valore(tenuto)) +
           " " + unita + ")";
  }

  // The least position after `p` of a row of kind `tipo` that has its value:
  // a search in the positions of that kind, sorted once, the first time an
  // explanation asks (an explanation for every row of a shuffled text stays
  // n log n).
  std::optional<int64_t> posizione_dopo(tipo_riga tipo, int64_t p) {
    auto [voce, nuova] = posizioni_per_tipo_.try_emplace(tipo);
    std::vector<int64_t>& posizioni = voce->second;
    if (nuova) {
      for (const riga_letta& altra : r_.lettura().righe()) {
        if (altra.tipo == tipo && altra.ha_valore(1)) posizioni.push_back(r_.numero(altra, 0));
      }
      std::sort(posizioni.begin(), posizioni.end());
    }
    const auto dopo = std::upper_bound(posizioni.begin(), posizioni.end(), p);
    if (dopo == posizioni.end()) return std::nullopt;
    return *dopo;
  }

  void primo_a_zero(const riga_letta& riga, bool& visto, std::string_view che_cosa) {
    if (visto) return;
    visto = true;
    const int64_t p = r_.numero(riga, 0);
    if (p == 0) return;
    r_.avviso(r_.valore(riga, 0), kRegolaPrimaRiga,
              "the first " + std::string(nome_riga(riga.tipo)) + " stands at " + metri(p) +
                  ", not at 0 m: the cells before it get " + std::string(che_cosa) +
                  " 0. Begin with a row at 0 m");
  }

  void pendenza(const riga_letta& riga) {
    const riga_letta* prima = pendenza_prec_;
    if (in_ordine(riga, pendenza_prec_, "gradient rows ascend by position", false,
                  &kRiempimentoPendenza) &&
        prima != nullptr) {
      const int64_t distanza = r_.numero(riga, 0) - r_.numero(*prima, 0);
      if (distanza < kDistanzaPendenze) {
        r_.avviso(r_.valore(riga, 0), kRegolaPassoPendenze,
                  "this gradient row stands only " + metri(distanza) + " after the one of " +
                      r_.dove(*prima, riga.testo) +
                      ": gradient rows stand at least 50 m apart, and two rows in one cell "
                      "leave the first one's gradient on a single cell. Move or join them");
      }
    }
    const int64_t g = r_.numero(riga, 1);
    const int64_t tenuto = int64_t{byte_pendenza(g)} - 100;
    if (tenuto != g) {
      r_.avviso(r_.valore(riga, 1), kRegolaIntervalloPendenza,
                "the gradient " + std::to_string(g) +
                    " per mille is outside -100 to 155, what a cell holds (gradient + 100 in one "
                    "byte): it is stored as " +
                    std::to_string(tenuto) + " per mille");
    }
  }

  void curva(const riga_letta& riga) {
    const riga_letta* prima = curva_prec_;
    const int64_t inizio = r_.numero(riga, 0);
    if (in_ordine(riga, curva_prec_, "curve rows ascend by start", true, nullptr) &&
        prima != nullptr) {
      const int64_t fine_prima = r_.numero(*prima, 0) + r_.numero(*prima, 1);
      if (inizio < fine_prima) {
        r_.avviso(r_.valore(riga, 0), kRegolaCurveSovrapposte,
                  "this curve starts at " + metri(inizio) + ", before the curve of " +
                      r_.dove(*prima, riga.testo) + " ends at " + metri(fine_prima) +
                      ": curves do not overlap, and the plan bends this one only from where "
                      "the other ends. Move it or shorten the other");
      }
    }
  }

  void montagna(const riga_letta& riga) {
    const int64_t scritto = r_.numero(riga, 2);
    // A type above 10 asks for marks and is kept less 10.
    const int64_t tipo = scritto > 10 ? scritto - 10 : scritto;
    if (in_byte(tipo)) return;
    avvolto(riga, 2, scritto > 10 ? "type (once the 10 that asks for marks is taken off)" : "type",
            tipo, 8);
  }

  void indicatori(const riga_letta& riga) {
    for (std::size_t n = 5; n <= 7; ++n) {
      const int64_t v = r_.numero(riga, n);
      if (v % 5 == 0) continue;
      const double mostrata = arrotonda_pari(static_cast<double>(v) / 5.0) * 5.0;
      r_.avviso(r_.valore(riga, n), kRegolaMultiploVelocita,
                "the second-set speed " + std::to_string(v) +
                    " km/h is not a multiple of 5: the board keeps it in steps of 5 km/h and "
                    "shows " +
                    std::to_string(static_cast<int64_t>(mostrata)) + " km/h");
    }
    const int64_t s = r_.numero(riga, 4);
    const int64_t d = r_.numero(riga, 8);
    if (!in_16_bit(s)) avvolto(riga, 4, "strisces", s, 16);
    if (!in_16_bit(d)) avvolto(riga, 8, "strisced", d, 16);
    const int64_t strisce = basso_16(s) * 10 + basso_16(d);
    if (!in_16_bit(strisce)) avvolto(riga, 4, "strisces * 10 + strisced", strisce, 16);
  }

  void velocita(const riga_letta& riga) {
    primo_a_zero(riga, prima_velocita_, "speed limit");
    in_ordine(riga, velocita_prec_, "speed rows ascend by position", true, &kRiempimentoVelocita);
    const int64_t v = r_.numero(riga, 1);
    const std::optional<uint8_t> quinti = byte_velocita(v);
    if (v % 5 != 0 && quinti) {
      r_.avviso(r_.valore(riga, 1), kRegolaMultiploVelocita,
                "the speed limit " + std::to_string(v) +
                    " km/h is not a multiple of 5: the cell keeps it in steps of 5 km/h, as " +
                    std::to_string(velocita_di(*quinti)) + " km/h. Write a multiple of 5");
    }
  }

  void aderenza(const riga_letta& riga) {
    primo_a_zero(riga, prima_aderenza_, "adhesion");
    in_ordine(riga, aderenza_prec_, "adhesion rows ascend by position", true,
              &kRiempimentoAderenza);
    const int64_t a = r_.numero(riga, 1);
    if (!in_byte(a)) avvolto(riga, 1, "adhesion", a, 8);
  }

  void segnale(const riga_letta& riga) {
    constexpr std::array<std::size_t, 6> kCifre = {2, 3, 4, 7, 8, 9};  // s1..s3, d1..d3
    for (std::size_t n : kCifre) {
      const int64_t v = r_.numero(riga, n);
      if (v >= 0 && v <= 9) continue;
      r_.avviso(r_.valore(riga, n), kRegolaCifra,
                "the signal's " + std::string(nome_valore(riga.tipo, n)) + " is " +
                    std::to_string(v) +
                    ", not a digit 0 to 9: packed as s * 10 + d it runs into the other digit "
                    "of its pair. Write one digit");
    }
    for (std::size_t k = 0; k < 3; ++k) {
      const int64_t v = r_.numero(riga, 2 + k) * 10 + r_.numero(riga, 7 + k);
      if (!in_16_bit(v)) {
        avvolto(riga, 2 + k, "s" + std::to_string(k + 1) + " * 10 + d" + std::to_string(k + 1), v,
                16);
      }
    }
    const int64_t selettori = r_.numero(riga, 1) * 3 + r_.numero(riga, 6);
    const int64_t dato4 = r_.numero(riga, 5) * 10 + selettori;
    if (!in_16_bit(dato4)) avvolto(riga, 5, "rapp * 10 + sx * 3 + dx", dato4, 16);
    if (!in_byte(selettori * 10 + 1) || !in_byte(selettori * 10 + 4)) {
      avvolto(riga, 1, "approach mark (sx * 3 + dx) * 10 + 1..4", selettori * 10 + 4, 8);
    }
    int64_t tempo = r_.numero(riga, 10);
    if (tempo >= 1 && tempo <= 100) tempo = 101;
    if (r_.numero(riga, 1) == 2 && !in_byte(tempo)) avvolto(riga, 10, "tempo", tempo, 8);
  }

  void rallentamento(const riga_letta& riga) {
    if (!in_16_bit(r_.numero(riga, 1))) avvolto(riga, 1, "v", r_.numero(riga, 1), 16);
    if (!in_16_bit(r_.numero(riga, 3))) avvolto(riga, 3, "f_tt", r_.numero(riga, 3), 16);
    if (!in_16_bit(r_.numero(riga, 5))) avvolto(riga, 5, "d_v", r_.numero(riga, 5), 16);
  }

  // A value that wraps in its 8- or 16-bit cell member.
  void avvolto(const riga_letta& riga, std::size_t valore, const std::string& che_cosa, int64_t v,
               int bit) {
    const int64_t tenuto = bit == 8 ? basso_8(v) : basso_16(v);
    r_.avviso(r_.valore(riga, valore), kRegolaAvvolto,
              "the " + che_cosa + " of this " + std::string(nome_riga(riga.tipo)) + " is " +
                  std::to_string(v) + ", which does not fit its " + std::to_string(bit) +
                  "-bit cell member: only its low " + std::to_string(bit) +
                  " bits are kept, and it is stored as " + std::to_string(tenuto) +
                  ". Write a value that fits");
  }

  // A station name or board text runs to the end of its line: a comma cuts
  // it, and a quoted one keeps a comma the format does not allow.
  void testo_con_virgola(const riga_letta& riga, std::size_t valore, std::string_view che_cosa) {
    const std::size_t n = riga.valore(valore);
    // A text taken from a later line is the short row's fault, told there.
    if (r_.riga_di(riga.testo, n) != r_.riga_di(riga.testo, riga.chiave)) return;
    const campo_letto& c = r_.lettura().campi(riga.testo)[n];
    const std::string_view byte = r_.byte(riga.testo);
    const std::string testo = r_.testo_campo(riga.testo, n);
    if (c.inizio < byte.size() && byte[c.inizio] == '"') {
      const int64_t ultima_linea = r_.riga_di_byte(riga.testo, c.fine == 0 ? 0 : c.fine - 1);
      if (ultima_linea != r_.riga_di(riga.testo, n)) {
        aperta(riga, valore, che_cosa, ultima_linea);
        return;
      }
      if (testo.find(',') == std::string::npos) return;
      r_.avviso(r_.valore(riga, valore), kRegolaVirgola,
                "the quoted " + std::string(che_cosa) + " " + citato(testo) +
                    " keeps its comma, but station names and board texts carry none. Leave the "
                    "comma out");
      return;
    }
    if (c.fine >= byte.size() || byte[c.fine] != ',') return;
    righe_ignorate_.aggiungi(riga.testo, r_.riga_di(riga.testo, n));
    std::string resto;
    if (n + 1 < r_.lettura().campi(riga.testo).size()) resto = r_.testo_campo(riga.testo, n + 1);
    r_.avviso(r_.valore(riga, valore), kRegolaVirgola,
              "the " + std::string(che_cosa) + " is cut at the comma: it is stored as " +
                  citato(testo) + ", and " + citato(resto) +
                  " after the comma is read as a keyword field of its own. Station names and "
                  "board texts cannot hold a comma: leave it out");
  }

  // A quoted text whose closing quote stands on a later line, or nowhere:
  // the lines up to it are part of the text, not rows.
  void aperta(const riga_letta& riga, std::size_t valore, std::string_view che_cosa,
              int64_t ultima_linea) {
    const std::size_t n = riga.valore(valore);
    for (int64_t l = r_.riga_di(riga.testo, n); l <= ultima_linea; ++l) {
      righe_ignorate_.aggiungi(riga.testo, l);
    }
    r_.avviso(r_.valore(riga, valore), kRegolaVirgolette,
              "the quoted " + std::string(che_cosa) + " runs on past the end of its line to line " +
                  std::to_string(ultima_linea) +
                  ", where its closing quote stands (or the text ends): the lines it takes are "
                  "part of the text, not rows. Close the quote on its own line");
  }

  // ---------------------------------------------------------------- keywords

  // Keyword fields: comments, separators, the sections rows stand in, the
  // spelling of a keyword, and the fields no test took.
  void chiavi() {
    std::array<std::string, 2> sezione = {"[generale]", "[generale]"};
    for (const chiave_letta& c : r_.lettura().chiavi()) {
      std::string& attuale = sezione[static_cast<std::size_t>(c.testo)];
      const std::string campo = r_.testo_campo(c.testo, c.campo);
      const std::string pulito = ripulito(campo);
      if (intestazione_nota(c.testo, pulito)) {
        attuale = pulito;
        fuori_posto_[static_cast<std::size_t>(c.testo)].clear();
        continue;
      }
      if (sembra_commento(pulito)) {
        commento(c, campo);
      } else if (pulito.find_first_of(";\t") != std::string::npos) {
        separatore(c, campo);
      } else if (tra_parentesi(pulito) && c.righe > 0) {
        intestazione_come_riga(c, campo);
      } else if (c.righe > 0) {
        if (tra_parentesi(pulito)) attuale.clear();
        sezioni_righe(c, attuale);
        forma_chiave(c, campo, pulito);
      } else {
        if (tra_parentesi(pulito)) {
          // An unknown header leaves the section unknown: no row is out of place in it.
          attuale.clear();
          fuori_posto_[static_cast<std::size_t>(c.testo)].clear();
        }
        non_riconosciuta(c, campo, pulito);
      }
      if (c.righe > 0) ultima_riga_ = &c;
    }
  }

  // What a keyword field that passed tests is read as: "a signal row", "a
  // left-hand curve of class 4 (radius 1000 m)", "two rows: ...".
  std::string letta_come(const chiave_letta& c, const std::string& pulito) const {
    const std::vector<riga_letta>& righe = r_.lettura().righe();
    std::string testo;
    for (std::size_t n = c.prima_riga; n < c.prima_riga + c.righe && n < righe.size(); ++n) {
      if (!testo.empty()) testo += " and then ";
      const std::string_view nome = nome_riga(righe[n].tipo);
      testo +=
          (std::string_view("aeiou").find(nome.front()) != std::string_view::npos ? "an " : "a ") +
          std::string(nome);
      if (righe[n].tipo != tipo_riga::curva) continue;
      const std::optional<double> kappa = curvatura_classe(pulito);
      testo += std::string(" bending ") + (contiene(pulito, "s") ? "left" : "right");
      if (kappa) {
        testo += " with a radius of " + std::to_string(std::lround(1.0 / *kappa)) + " m";
      }
    }
    return testo;
  }

  // A comment: the format has none, and what the line becomes depends on
  // whether its words hold a keyword.
  void commento(const chiave_letta& c, const std::string& campo) {
    if (!righe_ignorate_.aggiungi(c.testo, r_.riga_di(c.testo, c.campo))) return;
    const std::string effetto = c.righe > 0
                                    ? "it is read as " + letta_come(c, ripulito(campo)) +
                                          ", and the fields after it as its values"
                                    : "this line is ignored only because no keyword stands in it";
    r_.avviso(r_.campo(c.testo, c.campo), kRegolaCommento,
              citato(campo) + " looks like a comment, but the " + std::string(nome_testo(c.testo)) +
                  " text has no comments: " + effetto +
                  ". Delete the line, or put a '-' in it and no keyword (a field holding '-' is "
                  "dropped)");
  }

  // Semicolons or tabs where commas belong: the whole line is one field.
  void separatore(const chiave_letta& c, const std::string& campo) {
    if (!righe_ignorate_.aggiungi(c.testo, r_.riga_di(c.testo, c.campo))) return;
    const std::string effetto = c.righe > 0 ? "it is read as " + letta_come(c, ripulito(campo)) +
                                                  " that takes its values from the fields after it"
                                            : "it matches no keyword and is ignored";
    r_.avviso(r_.campo(c.testo, c.campo), kRegolaSeparatore,
              citato(campo) +
                  " is one field: semicolons and tabs do not separate values, commas do (a "
                  "spreadsheet saving CSV may write semicolons); " +
                  effetto + ". Separate the values with commas");
  }

  // A keyword that passes a test without being the kind's usual spelling.
  void forma_chiave(const chiave_letta& c, const std::string& campo, const std::string& pulito) {
    // An error at the keyword (a curve without its class) says more.
    if (tra_parentesi(pulito) || r_.errore_a(r_.campo(c.testo, c.campo))) return;
    const std::vector<riga_letta>& righe = r_.lettura().righe();
    const descrizione_riga& d = descrizione(righe[c.prima_riga].tipo);
    // The usual spelling, in its case: a capitalised keyword that the
    // readers take is told, so the author knows what it is read as.
    const std::string scritto = ripulito_in_caso(campo);
    bool solita = c.righe == 1 && scritto == d.scritta;
    if (c.righe == 1 && d.tipo == tipo_riga::curva) {
      solita = scritto.size() == 7 && scritto.starts_with("curva") &&
               (scritto[5] == 's' || scritto[5] == 'd') && scritto[6] >= '1' && scritto[6] <= '6';
    }
    if (c.righe == 1 && d.tipo == tipo_riga::ripetizione) {
      solita =
          scritto == "ripetizione segnali 4 codici" || scritto == "ripetizione segnali 9 codici";
    }
    if (solita) return;
    std::string come = "write '" + std::string(d.scritta) + "'";
    if (c.righe > 1) {
      come = "give each row its own keyword";
    } else if (d.tipo == tipo_riga::curva) {
      come = "write 'curva', the side (s left, d right) and the class 1-6, as in 'curvas4'";
    }
    const std::string letta = citato(campo) + " is read as " + letta_come(c, pulito);
    if (c.righe == 1 && pulito == ripulito(d.scritta) && d.tipo != tipo_riga::curva) {
      r_.avviso(r_.campo(c.testo, c.campo), kRegolaFormaChiave,
                letta +
                    ": the reader takes this keyword in any letter case, but its usual "
                    "spelling is '" +
                    std::string(d.scritta) + "'. Write it so, to be sure");
      return;
    }
    r_.avviso(r_.campo(c.testo, c.campo), kRegolaFormaChiave,
              c.righe > 1 ? letta +
                                ", each taking its values in turn: it passes the tests of "
                                "two kinds. Give each row its own keyword"
                          : letta +
                                ", though it is not the keyword's usual spelling; if that is "
                                "what you mean, " +
                                come);
  }

  // A bracketed field that passes a row test is read as that row, however
  // much it looks like a header, and takes the next fields as its values.
  void intestazione_come_riga(const chiave_letta& c, const std::string& campo) {
    const riga_letta& riga = r_.lettura().righe()[c.prima_riga];
    righe_ignorate_.aggiungi(c.testo, r_.riga_di(c.testo, c.campo));
    r_.avviso(r_.campo(c.testo, c.campo), kRegolaSezione,
              citato(campo) + " looks like a section header but passes the test of the " +
                  std::string(nome_riga(riga.tipo)) +
                  ": the reader reads it as that row and takes the fields after it as its "
                  "values. Write the header as " +
                  std::string(sezione_di(riga.tipo)));
  }

  // Rows under another kind's header: the first of each kind under one
  // header says it for those after it.
  void sezioni_righe(const chiave_letta& c, const std::string& attuale) {
    if (attuale.empty()) return;
    const std::vector<riga_letta>& righe = r_.lettura().righe();
    for (std::size_t n = c.prima_riga; n < c.prima_riga + c.righe && n < righe.size(); ++n) {
      const std::string_view attesa = sezione_di(righe[n].tipo);
      if (attesa == attuale) continue;
      if (!fuori_posto_[static_cast<std::size_t>(c.testo)].insert(righe[n].tipo).second) continue;
      std::string messaggio = "this ";
      messaggio += nome_riga(righe[n].tipo);
      messaggio += " stands under " + attuale + ", but rows of its kind belong under ";
      messaggio += attesa;
      messaggio += " (further ones under " + attuale +
                   " are not told again). The reader takes them wherever they stand; keep each "
                   "row in its section";
      r_.avviso(r_.campo(c.testo, c.campo), kRegolaSezione, std::move(messaggio));
    }
  }

  // A field after the values of the row on its own line.
  bool dopo_una_riga(const chiave_letta& c) const {
    if (ultima_riga_ == nullptr || ultima_riga_->testo != c.testo) return false;
    return r_.riga_di(c.testo, ultima_riga_->campo) == r_.riga_di(c.testo, c.campo);
  }

  void valori_in_piu(const chiave_letta& c, const std::string& campo) {
    const riga_letta& riga = r_.lettura().righe()[ultima_riga_->prima_riga];
    r_.avviso(r_.campo(c.testo, c.campo), kRegolaValoriInPiu,
              "the " + std::string(nome_riga(riga.tipo)) + " of this line takes " +
                  std::to_string(valori_attesi(riga.tipo)) + " values, and " + citato(campo) +
                  " stands after them: it is read as a keyword field of its own and ignored. "
                  "Remove it, or mend the row (a value written twice, an empty field?)");
  }

  void non_riconosciuta(const chiave_letta& c, const std::string& campo,
                        const std::string& pulito) {
    if (pulito.empty() || c.fine_generale) return;
    // The fields after an ignored one on its line are ignored with it, and
    // so are those a short row or a cut text left: one warning says it.
    const bool dopo_riga = dopo_una_riga(c);
    if (!righe_ignorate_.aggiungi(c.testo, r_.riga_di(c.testo, c.campo))) return;
    if (dopo_riga) {
      // After an empty field the values move one place on: that warning says it.
      if (!righe_con_vuoti_.contiene(c.testo, r_.riga_di(c.testo, c.campo))) {
        valori_in_piu(c, campo);
      }
      return;
    }
    const posto p = r_.campo(c.testo, c.campo);
    const bool linea = c.testo == testo_letto::linea;
    if (linea && c.generale && passa_sezione(sezione_riga::dopo_generale, campo)) {
      r_.avviso(p, kRegolaSezione,
                citato(campo) +
                    " stands in the general section, where only the general rows are read: "
                    "the row is ignored. Move it below [curve]");
      return;
    }
    if (linea && !c.generale && passa_sezione(sezione_riga::generale, campo)) {
      r_.avviso(p, kRegolaSezione,
                citato(campo) +
                    " stands after the general section ended, where general rows are not read: "
                    "the row is ignored. Move it between [generale] and [curve]");
      return;
    }
    // Beyond the limits the warning is only counted: no word near it is sought.
    if (r_.oltre_limite(kRegolaNonRiconosciuto)) {
      r_.avviso(p, kRegolaNonRiconosciuto, {});
      return;
    }
    std::string perche;
    if (linea && c.generale && passa_sezione(sezione_riga::generale, minuscolo_1252(campo))) {
      perche =
          ": the keywords of the general rows, but for the route length, are matched in "
          "lower case only. Write it in lower case";
    } else if (contiene(campo, "-")) {
      perche = std::string(": a hyphenated field is dropped as a comment only ") +
               (c.generale ? "ten" : "two") +
               " times in a row, and this one is read as a keyword. Join the comment lines";
    } else if (tra_parentesi(pulito)) {
      perche = ": it is not a section header of the " + std::string(nome_testo(c.testo)) +
               " text. Mend its name";
    } else if (const std::optional<std::string_view> vicina = parola_vicina(c.testo, pulito)) {
      perche = ": it is not a keyword of the " + std::string(nome_testo(c.testo)) +
               " text. Did you mean '" + std::string(*vicina) + "'?";
    } else if (sembra_nota(pulito)) {
      perche = ": the " + std::string(nome_testo(c.testo)) +
               " text has no comments or notes, and words that hold a keyword are read as a row. "
               "Delete the line";
    } else if (sembra_numero(pulito)) {
      perche = ": a number where a keyword belongs. Remove it, or mend the row it belongs to";
    } else {
      perche = ": it is not a keyword of the " + std::string(nome_testo(c.testo)) +
               " text. Mend the keyword";
    }
    r_.avviso(p, kRegolaNonRiconosciuto, citato(campo) + " is ignored" + perche);
  }

  // A train text without "[generale]" is read to its end and gives no row;
  // the line text's own search makes that code 102.
  void senza_generale() {
    const testo_letto t = testo_letto::treno;
    if (!r_.lettura().iniziato(t) || r_.byte(t).find_first_not_of(" \t\r\n") == std::string::npos) {
      return;
    }
    const std::optional<fallimento_lettura>& f = r_.lettura().fallimento();
    if (f && f->testo == t) return;
    const std::size_t campi = r_.lettura().campi(t).size();
    for (std::size_t n = 0; n < campi; ++n) {
      if (contiene_senza_maiuscole(r_.testo_campo(t, n), "[generale]")) return;
    }
    r_.avviso(r_.intero(t), kRegolaSenzaGenerale,
              "no field of the train text holds [generale]: the reader skips the whole text and "
              "reads no row of it. Begin the text with the line [generale]");
  }

  // The field a text ends on is never examined: a row keyword there is lost.
  void ultimo_campo(testo_letto t) {
    const std::optional<std::size_t>& n = r_.lettura().non_esaminato(t);
    if (!n) return;
    const std::string campo = r_.testo_campo(t, *n);
    const std::string pulito = ripulito(campo);
    if (pulito.empty() || intestazione_nota(t, pulito)) return;
    r_.avviso(r_.campo(t, *n), kRegolaRigaFinale,
              citato(campo) +
                  " is the last field of the text, and the reader never examines the last "
                  "field. End the text with the line [fine]");
  }

  raccolta_diagnosi& r_;
  // Row kinds already told out of place under the current header, by text.
  std::array<std::set<tipo_riga>, 2> fuori_posto_;
  // Lines whose ignored keyword fields need no warning of their own.
  insieme_righe righe_ignorate_;
  // Lines with a row that has an empty field.
  insieme_righe righe_con_vuoti_;
  const chiave_letta* ultima_riga_ = nullptr;  // the last keyword field that was a row
  const riga_letta* pendenza_prec_ = nullptr;
  const riga_letta* curva_prec_ = nullptr;
  const riga_letta* velocita_prec_ = nullptr;
  const riga_letta* aderenza_prec_ = nullptr;
  const riga_letta* stazione_prec_ = nullptr;
  bool prima_velocita_ = false;
  bool prima_aderenza_ = false;
  // The positions of each row kind an order explanation looked in, sorted.
  std::map<tipo_riga, std::vector<int64_t>> posizioni_per_tipo_;
};

}  // namespace

void avvisi_lettura(raccolta_diagnosi& r) { avvisi(r).tutti(); }

}  // namespace scenario
