// The warnings of check: every rule of the two source formats that the
// readers let pass, found on the rows and keyword fields as they were read.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "base/codifica.h"
#include "compiler/lettore_linea.h"
#include "tools/verifica_interno.h"

namespace scenario {
namespace {

constexpr int64_t kDistanzaPendenze = 50;
constexpr int64_t kPendenzaMinima = -100;  // the cell keeps gradient + 100 in one byte
constexpr int64_t kPendenzaMassima = 155;

std::string citato(std::string_view cp1252) { return "'" + utf8_da_1252(cp1252) + "'"; }

std::string ripulito(std::string_view testo) {
  const std::size_t inizio = testo.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) return {};
  const std::size_t fine = testo.find_last_not_of(" \t");
  return minuscolo_1252(testo.substr(inizio, fine - inizio + 1));
}

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

bool in_16_bit(int64_t v) { return v >= INT16_MIN && v <= INT16_MAX; }
bool in_byte(int64_t v) { return v >= 0 && v <= 255; }

int64_t basso_16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}
int64_t basso_8(int64_t v) { return static_cast<int64_t>(static_cast<uint64_t>(v) & 0xFFu); }

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

 private:
  std::array<std::vector<bool>, 2> righe_;
};

class avvisi {
 public:
  explicit avvisi(raccolta_diagnosi& r) : r_(r) {}

  void tutti() {
    righe_corte();
    for (const riga_letta& riga : r_.lettura().righe()) valori_riga(riga);
    chiavi();
    for (testo_letto t : {testo_letto::linea, testo_letto::treno}) ultimo_campo(t);
    senza_generale();
  }

 private:
  // Rows whose values run on to later lines: the row takes what it finds
  // there, the next line's keyword included.
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
    // A header read as a row is told as such.
    if (tra_parentesi(ripulito(r_.testo_campo(riga.testo, riga.chiave)))) return;
    const bool primo_della_riga = campo == 0 || r_.riga_di(riga.testo, campo - 1) != linea;
    std::string messaggio =
        "the " + std::string(nome_riga(riga.tipo)) + " of line " +
        std::to_string(r_.riga_di(riga.testo, riga.chiave)) + " has only " + std::to_string(n) +
        " of its " + std::to_string(valori_attesi(riga.tipo)) + " values on its line: it takes " +
        citato(r_.testo_campo(riga.testo, campo)) + " from line " + std::to_string(linea) +
        " as its " + std::string(nome_valore(riga.tipo, n));
    if (primo_della_riga) messaggio += ", so the row of that line is lost";
    r_.avviso(r_.campo(riga.testo, campo), "short-row",
              messaggio + ". Complete the row on its own line");
  }

  void valori_riga(const riga_letta& riga) {
    const std::size_t attesi = valori_attesi(riga.tipo);
    if (riga.tipo == tipo_riga::stazione && riga.ha_valore(16)) {
      testo_con_virgola(riga, 16, "station name");
    }
    if (riga.tipo == tipo_riga::cartello && riga.ha_valore(1)) {
      testo_con_virgola(riga, 1, "board text");
    }
    if (riga.n_valori() < attesi) return;
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
        in_ordine(riga, stazione_prec_, "station rows stand in route order", false);
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

  // Rows of one kind ascend by position. False when this one does not.
  bool in_ordine(const riga_letta& riga, const riga_letta*& prec, std::string_view regola,
                 bool anche_uguale) {
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
    r_.avviso(r_.valore(riga, 0), "order",
              "this " + std::string(nome_riga(riga.tipo)) + " at " + metri(qui) + " " + dopo +
                  ": " + std::string(regola) + ". Put the rows in order of position");
    return false;
  }

  void primo_a_zero(const riga_letta& riga, bool& visto, std::string_view che_cosa) {
    if (visto) return;
    visto = true;
    const int64_t p = r_.numero(riga, 0);
    if (p == 0) return;
    r_.avviso(r_.valore(riga, 0), "first-row",
              "the first " + std::string(nome_riga(riga.tipo)) + " stands at " + metri(p) +
                  ", not at 0 m: the cells before it get " + std::string(che_cosa) +
                  " 0. Begin with a row at 0 m");
  }

  void pendenza(const riga_letta& riga) {
    const riga_letta* prima = pendenza_prec_;
    if (in_ordine(riga, pendenza_prec_, "gradient rows ascend by position", false) &&
        prima != nullptr) {
      const int64_t distanza = r_.numero(riga, 0) - r_.numero(*prima, 0);
      if (distanza < kDistanzaPendenze) {
        r_.avviso(r_.valore(riga, 0), "gradient-spacing",
                  "this gradient row stands only " + metri(distanza) + " after the one of " +
                      r_.dove(*prima, riga.testo) +
                      ": gradient rows stand at least 50 m apart, and two rows in one cell "
                      "leave the first one's gradient on a single cell. Move or join them");
      }
    }
    const int64_t g = r_.numero(riga, 1);
    if (g < kPendenzaMinima || g > kPendenzaMassima) {
      r_.avviso(r_.valore(riga, 1), "gradient-range",
                "the gradient " + std::to_string(g) +
                    " per mille is outside -100 to 155, what a cell holds (gradient + 100 in one "
                    "byte): it is stored as " +
                    std::to_string(basso_8(g + 100) - 100) + " per mille");
    }
  }

  void curva(const riga_letta& riga) {
    const riga_letta* prima = curva_prec_;
    const int64_t inizio = r_.numero(riga, 0);
    const int64_t fine = inizio + r_.numero(riga, 1);
    if (in_ordine(riga, curva_prec_, "curve rows ascend by start", true) && prima != nullptr) {
      const int64_t fine_prima = r_.numero(*prima, 0) + r_.numero(*prima, 1);
      if (inizio < fine_prima) {
        r_.avviso(r_.valore(riga, 0), "curve-overlap",
                  "this curve starts at " + metri(inizio) + ", before the curve of " +
                      r_.dove(*prima, riga.testo) + " ends at " + metri(fine_prima) +
                      ": curves do not overlap, and the plan bends this one only from where "
                      "the other ends. Move it or shorten the other");
      }
    }
    oltre_percorso(riga, 1, "curve", fine);
  }

  void oltre_percorso(const riga_letta& riga, std::size_t valore, std::string_view che_cosa,
                      int64_t fine) {
    const int64_t lunghezza = r_.m().riga(84).fine;
    if (fine <= lunghezza) return;
    r_.avviso(r_.valore(riga, valore), "past-route",
              "the " + std::string(che_cosa) + " ends at " + metri(fine) +
                  ", past the end of the route at " + metri(lunghezza) +
                  ": what lies beyond is the run-out after the last station. End it within the "
                  "route");
  }

  void montagna(const riga_letta& riga) {
    oltre_percorso(riga, 1, "montagna stretch", r_.numero(riga, 1));
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
      r_.avviso(r_.valore(riga, n), "speed-multiple",
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
    in_ordine(riga, velocita_prec_, "speed rows ascend by position", true);
    const int64_t v = r_.numero(riga, 1);
    const double quinti = arrotonda_pari(static_cast<double>(v) / 5.0);
    if (v % 5 != 0 && quinti >= 0 && quinti <= 255) {
      r_.avviso(r_.valore(riga, 1), "speed-multiple",
                "the speed limit " + std::to_string(v) +
                    " km/h is not a multiple of 5: the cell keeps it in steps of 5 km/h, as " +
                    std::to_string(static_cast<int64_t>(quinti) * 5) +
                    " km/h. Write a multiple of 5");
    }
  }

  void aderenza(const riga_letta& riga) {
    primo_a_zero(riga, prima_aderenza_, "adhesion");
    in_ordine(riga, aderenza_prec_, "adhesion rows ascend by position", true);
    const int64_t a = r_.numero(riga, 1);
    if (!in_byte(a)) avvolto(riga, 1, "adhesion", a, 8);
  }

  void segnale(const riga_letta& riga) {
    constexpr std::array<std::size_t, 6> kCifre = {2, 3, 4, 7, 8, 9};  // s1..s3, d1..d3
    for (std::size_t n : kCifre) {
      const int64_t v = r_.numero(riga, n);
      if (v >= 0 && v <= 9) continue;
      r_.avviso(r_.valore(riga, n), "digit",
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
    r_.avviso(r_.valore(riga, valore), "wrap",
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
      r_.avviso(r_.valore(riga, valore), "comma",
                "the quoted " + std::string(che_cosa) + " " + citato(testo) +
                    " keeps its comma, but station names and board texts carry none. Leave the "
                    "comma out");
      return;
    }
    if (c.fine >= byte.size() || byte[c.fine] != ',') return;
    righe_ignorate_.aggiungi(riga.testo, r_.riga_di(riga.testo, n));
    std::string resto;
    if (n + 1 < r_.lettura().campi(riga.testo).size()) resto = r_.testo_campo(riga.testo, n + 1);
    r_.avviso(r_.valore(riga, valore), "comma",
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
    r_.avviso(r_.valore(riga, valore), "quote",
              "the quoted " + std::string(che_cosa) + " runs on past the end of its line to line " +
                  std::to_string(ultima_linea) +
                  ", where its closing quote stands (or the text ends): the lines it takes are "
                  "part of the text, not rows. Close the quote on its own line");
  }

  // Keyword fields: the sections rows stand in, and the fields no test took.
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
      if (tra_parentesi(pulito) && c.righe > 0) {
        intestazione_come_riga(c, campo);
        continue;
      }
      if (tra_parentesi(pulito)) {
        // An unknown header leaves the section unknown: no row is out of place in it.
        attuale.clear();
        fuori_posto_[static_cast<std::size_t>(c.testo)].clear();
      }
      if (c.righe > 0) {
        sezioni_righe(c, attuale);
        continue;
      }
      non_riconosciuta(c, campo, pulito);
    }
  }

  // A bracketed field that passes a row test is read as that row, however
  // much it looks like a header, and takes the next fields as its values.
  void intestazione_come_riga(const chiave_letta& c, const std::string& campo) {
    const riga_letta& riga = r_.lettura().righe()[c.prima_riga];
    righe_ignorate_.aggiungi(c.testo, r_.riga_di(c.testo, c.campo));
    r_.avviso(r_.campo(c.testo, c.campo), "section",
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
      r_.avviso(r_.campo(c.testo, c.campo), "section",
                "this " + std::string(nome_riga(righe[n].tipo)) + " stands under " + attuale +
                    ", but rows of its kind belong under " + std::string(attesa) +
                    " (further ones under " + attuale +
                    " are not told again). The reader takes them wherever they stand; keep each "
                    "row in its section");
    }
  }

  void non_riconosciuta(const chiave_letta& c, const std::string& campo,
                        const std::string& pulito) {
    if (pulito.empty() || c.fine_generale) return;
    // The fields after an ignored one on its line are ignored with it, and
    // so are those a short row or a cut text left: one warning says it.
    if (!righe_ignorate_.aggiungi(c.testo, r_.riga_di(c.testo, c.campo))) return;
    const posto p = r_.campo(c.testo, c.campo);
    const bool linea = c.testo == testo_letto::linea;
    if (linea && c.generale && passa_sezione(sezione_riga::dopo_generale, campo)) {
      r_.avviso(p, "section",
                citato(campo) +
                    " stands in the general section, where only the general rows are read: "
                    "the row is ignored. Move it below [curve]");
      return;
    }
    if (linea && !c.generale && passa_sezione(sezione_riga::generale, campo)) {
      r_.avviso(p, "section",
                citato(campo) +
                    " stands after the general section ended, where general rows are not read: "
                    "the row is ignored. Move it between [generale] and [curve]");
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
      perche = ": it is not a section header of the " + std::string(linea ? "line" : "train") +
               " text. Mend its name";
    } else if (sembra_numero(pulito)) {
      perche =
          ": a value beyond those the row before takes is read as a keyword field of "
          "its own. Remove it, or mend the row it belongs to";
    } else {
      perche = ": it is not a keyword of the " + std::string(linea ? "line" : "train") +
               " text. Mend the keyword";
    }
    r_.avviso(p, "unrecognised", citato(campo) + " is ignored" + perche);
  }

  // A train text without "[generale]" is read to its end and gives no row;
  // the line text's own search makes that code 102.
  void senza_generale() {
    const testo_letto t = testo_letto::treno;
    if (!r_.lettura().iniziato(t) || r_.byte(t).empty()) return;
    const std::optional<fallimento_lettura>& f = r_.lettura().fallimento();
    if (f && f->testo == t) return;
    const std::size_t campi = r_.lettura().campi(t).size();
    for (std::size_t n = 0; n < campi; ++n) {
      if (contiene_senza_maiuscole(r_.testo_campo(t, n), "[generale]")) return;
    }
    r_.avviso(r_.intero(t), "no-generale",
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
    r_.avviso(r_.campo(t, *n), "closing-line",
              citato(campo) +
                  " is the last field of the text, and the reader never examines the last "
                  "field. End the text with the line [fine]");
  }

  raccolta_diagnosi& r_;
  // Row kinds already told out of place under the current header, by text.
  std::array<std::set<tipo_riga>, 2> fuori_posto_;
  // Lines whose ignored keyword fields need no warning of their own.
  insieme_righe righe_ignorate_;
  const riga_letta* pendenza_prec_ = nullptr;
  const riga_letta* curva_prec_ = nullptr;
  const riga_letta* velocita_prec_ = nullptr;
  const riga_letta* aderenza_prec_ = nullptr;
  const riga_letta* stazione_prec_ = nullptr;
  bool prima_velocita_ = false;
  bool prima_aderenza_ = false;
};

}  // namespace

void avvisi_lettura(raccolta_diagnosi& r) { avvisi(r).tutti(); }

}  // namespace scenario
