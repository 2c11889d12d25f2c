#include "tools/ispezione/dump.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "compiler/record.h"
#include "tools/ispezione/significato.h"

namespace scenario {
namespace {

// ---------------------------------------------------------------- ranges

std::optional<int64_t> leggi_numero(std::string_view testo) {
  int64_t n = 0;
  const char* fine = testo.data() + testo.size();
  auto [p, errore] = std::from_chars(testo.data(), fine, n);
  if (errore != std::errc() || p != fine || n < 0) return std::nullopt;
  return n;
}

// ---------------------------------------------------------------- values

// The text of a table row for the host: UTF-8. The five bytes the code page
// leaves undefined cannot be shown, so a name holding one also gets its bytes.
void aggiungi_nome(json_ordinato& j, const char* chiave, const std::string& nome) {
  const std::string utf8 = utf8_da_1252(nome);
  j[chiave] = utf8;
  if (utf8.find("\xEF\xBF\xBD") == std::string::npos) return;
  json_ordinato byte = json_ordinato::array();
  for (char c : nome) byte.push_back(static_cast<unsigned char>(c));
  j[std::string(chiave) + "_byte"] = byte;
}

// A plan element keeps its tag in the JSON: an integer element is a JSON
// integer, a double one a JSON number with a fraction or exponent, an empty
// one null. A damaged double that is not finite becomes a text, never null.
json_ordinato json_elemento(const elemento_tracciato& e) {
  switch (e.tipo) {
    case tipo_elemento::vuoto:
      return nullptr;
    case tipo_elemento::intero:
      return static_cast<int16_t>(e.valore);
    case tipo_elemento::doppio:
      if (std::isnan(e.valore)) return "NaN";
      if (std::isinf(e.valore)) return e.valore > 0 ? "Infinity" : "-Infinity";
      return e.valore;
  }
  return nullptr;
}

// The same convention in text: integers plain, doubles with a point or an
// exponent (shortest form that reads back to the same value), empty "-".
std::string testo_elemento(const elemento_tracciato& e) {
  switch (e.tipo) {
    case tipo_elemento::vuoto:
      return "-";
    case tipo_elemento::intero:
      return std::to_string(static_cast<int16_t>(e.valore));
    case tipo_elemento::doppio: {
      char testo[64];
      auto [fine, errore] = std::to_chars(testo, testo + sizeof testo, e.valore);
      std::string t(testo, errore == std::errc() ? fine : testo);
      if (t.find_first_of(".eEin") == std::string::npos) t += ".0";
      return t;
    }
  }
  return "-";
}

template <typename M>
using tipo_membro = typename std::remove_cvref_t<M>::tipo;

// Every member of a record under its own name, in file order, a text as
// aggiungi_nome gives it; `dopo` may add a key after a member.
template <typename Record, typename Membri, typename Dopo>
void membri_json(json_ordinato& j, const Record& r, const Membri& membri, Dopo&& dopo) {
  per_ogni_membro(membri, [&](const auto& m) {
    if constexpr (kTesto<tipo_membro<decltype(m)>>) {
      aggiungi_nome(j, std::string(m.nome).c_str(), r.*m.campo);
    } else {
      j[std::string(m.nome)] = r.*m.campo;
    }
    dopo(m.nome);
  });
}

template <typename Record, typename Membri>
void membri_json(json_ordinato& j, const Record& r, const Membri& membri) {
  membri_json(j, r, membri, [](std::string_view) {});
}

// The members of a record as text columns: their names, and a row's values.
// Texts (the names of table rows) go last, after the numbers.
template <typename Membri>
std::vector<std::string> intestazioni_membri(const Membri& membri) {
  std::vector<std::string> numeri;
  std::vector<std::string> testi;
  per_ogni_membro(membri, [&](const auto& m) {
    (kTesto<tipo_membro<decltype(m)>> ? testi : numeri).emplace_back(m.nome);
  });
  numeri.insert(numeri.end(), testi.begin(), testi.end());
  return numeri;
}

template <typename Record, typename Membri>
std::vector<std::string> colonne_membri(const Record& r, const Membri& membri) {
  std::vector<std::string> numeri;
  std::vector<std::string> testi;
  per_ogni_membro(membri, [&](const auto& m) {
    if constexpr (kTesto<tipo_membro<decltype(m)>>) {
      testi.push_back(utf8_da_1252(r.*m.campo));
    } else {
      numeri.push_back(std::to_string(r.*m.campo));
    }
  });
  numeri.insert(numeri.end(), testi.begin(), testi.end());
  return numeri;
}

const voce* riga_puntata(const std::array<voce, kRigheTabella>* tabella, int n) {
  if (tabella == nullptr || n < 0 || n >= kRigheTabella) return nullptr;
  return &(*tabella)[static_cast<std::size_t>(n)];
}

// ---------------------------------------------------------------- cells

json_ordinato significato_oggetto(const cella& c, const std::array<voce, kRigheTabella>* tabella) {
  json_ordinato j = json_ordinato::object();
  switch (c.evento) {
    case kEventoSegnale: {
      const auto s = decodifica_segnale(c);
      j["s"] = s.s;
      j["d"] = s.d;
      j["rapp"] = s.rapp;
      j["sx"] = s.sx;
      j["dx"] = s.dx;
      break;
    }
    case kEventoFineRallentamento:
    case kEventoInizioRallentamento:
      j["velocita"] = c.dato1;
      j["d_v"] = c.dato2;
      j["f_tt"] = c.dato3;
      break;
    case kEventoAvvisoRallentamento:
      j["velocita"] = c.dato1;
      j["d_v"] = c.dato2;
      break;
    case kEventoPreavvisoRallentamento:
      j["numero"] = c.dato1;
      break;
    case kEventoVelocita: {
      const auto v = decodifica_cartello_velocita(c);
      j["prima_serie_kmh"] = v.prima;
      j["seconda_serie_kmh"] = v.seconda;
      j["strisce_prima"] = v.strisce_prima;
      j["strisce_seconda"] = v.strisce_seconda;
      break;
    }
    case kEventoFermata:
    case kEventoCartello:
      j["riga"] = c.dato1;
      if (const voce* v = riga_puntata(tabella, c.dato1)) aggiungi_nome(j, "nome", v->nome);
      break;
    case kEventoPuntoCodice:
      j["codice"] = c.dato1;
      break;
    default:
      break;
  }
  return j;
}

// An approach mark: 81..84 before a station's stop, counted from the stop
// back; any other value before a signal, (sx·3 + dx)·10 + the mark's number.
json_ordinato significato_preavviso(uint8_t preavviso) {
  json_ordinato j = json_ordinato::object();
  if (preavviso > kPreavvisoStazione && preavviso <= kPreavvisoStazione + 4) {
    j["verso"] = "stazione";
    j["passo"] = preavviso - kPreavvisoStazione;
  } else {
    j["verso"] = "segnale";
    j["sx"] = preavviso / 10 / 3;
    j["dx"] = preavviso / 10 % 3;
    j["passo"] = preavviso % 10;
  }
  return j;
}

}  // namespace

json_ordinato json_cella(const cella& c, int32_t n,
                         const std::array<voce, kRigheTabella>* tabella) {
  json_ordinato j;
  j["cella"] = n;
  j["metri"] = {metri_cella(n), metri_cella(n) + kMetriCella - 1};
  // The object's name follows its kind.
  membri_json(j, c, kMembriCella, [&j, &c](std::string_view nome) {
    if (nome == std::get<0>(kMembriCella).nome) j["oggetto"] = nome_evento(c.evento);
  });
  json_ordinato s;
  s["velocita_kmh"] = velocita_kmh(c);
  s["pendenza_per_mille"] = pendenza_per_mille(c);
  if (c.evento != 0) s[std::string(nome_evento(c.evento))] = significato_oggetto(c, tabella);
  if (c.preavviso != 0) s["preavviso"] = significato_preavviso(c.preavviso);
  if (n == 1) {
    s["marcatore"] = c.dato1;
    s["codice_gara_og"] = c.dato2;
  }
  j["significato"] = s;
  return j;
}

namespace {

// The metres that cells cover, and the cells that cover metres.
intervallo metri_delle_celle(const intervallo& celle) {
  return {celle.da * kMetriCella, celle.a * kMetriCella + kMetriCella - 1};
}
intervallo celle_dei_metri(const intervallo& metri) {
  return {metri.da / kMetriCella, metri.a / kMetriCella};
}

// `scelto` clipped to 0..n-1; empty (da > a) when they do not meet.
intervallo entro(std::size_t n, const intervallo& scelto) {
  return {std::max<int64_t>(0, scelto.da), std::min(static_cast<int64_t>(n) - 1, scelto.a)};
}

// The cells a selection keeps, clipped to the strip.
intervallo celle_scelte(std::size_t n_celle, const opzioni_dump& opzioni) {
  if (opzioni.celle) return entro(n_celle, *opzioni.celle);
  if (opzioni.metri) return entro(n_celle, celle_dei_metri(*opzioni.metri));
  return entro(n_celle, {0, static_cast<int64_t>(n_celle) - 1});
}

// Each chosen cell's object in turn, made when it is written: the cells of a
// file are never all held as JSON at once (some 2 kB each).
template <typename F>
void per_ogni_cella(const std::vector<cella>& celle, const opzioni_dump& opzioni,
                    const std::array<voce, kRigheTabella>* tabella, F&& f) {
  const intervallo scelte = celle_scelte(celle.size(), opzioni);
  for (int64_t n = scelte.da; n <= scelte.a; ++n) {
    f(json_cella(celle[static_cast<std::size_t>(n)], static_cast<int32_t>(n), tabella));
  }
}

json_ordinato json_celle(const std::vector<cella>& celle, const opzioni_dump& opzioni,
                         const std::array<voce, kRigheTabella>* tabella, bool record) {
  json_ordinato j;
  j["celle_totali"] = celle.size();
  j["ultima_cella"] = celle.size() - 1;
  json_ordinato elenco = json_ordinato::array();
  if (record) {
    per_ogni_cella(celle, opzioni, tabella,
                   [&elenco](json_ordinato c) { elenco.push_back(std::move(c)); });
  }
  j["celle"] = std::move(elenco);
  return j;
}

// ---------------------------------------------------------------- table

bool riga_scelta(int n, const opzioni_dump& opzioni) {
  if (!opzioni.righe) return true;
  return std::any_of(opzioni.righe->begin(), opzioni.righe->end(),
                     [n](const intervallo& i) { return i.contiene(n); });
}

json_ordinato valori_costanti(genere_riga genere, const voce& v) {
  json_ordinato j;
  switch (genere) {
    case genere_riga::progressiva:
      j["inizio_tratto"] = v.inizio;
      j["progressiva"] = v.fine;
      j["indicatore"] = v.posizione;
      break;
    case genere_riga::dati_generali:
      j["percentuale_massa_frenata"] = v.inizio;
      j["lunghezza_percorso"] = v.fine;
      j["numero_vetture"] = v.posizione;
      break;
    case genere_riga::dati_percorso:
      j["sfondo_uno"] = v.inizio;
      j["sfondo_due"] = v.posizione;
      j["sfondo_tre"] = v.fine;
      aggiungi_nome(j, "percorso", v.nome);
      j["marcatore"] = v.campo7;
      j["codice_gara_st"] = v.orario;
      break;
    case genere_riga::dati_treno:
      j["ripetizione_inizio"] = v.inizio;
      j["ripetizione_fine"] = v.fine;
      j["codici_ripetizione"] = v.posizione;
      aggiungi_nome(j, "treno", v.nome);
      j["sabbia"] = v.campo7;
      j["orologio"] = {v.campo10, v.campo11, v.campo12};
      break;
    case genere_riga::stazione:
      j["orario_testo"] = testo_orario(v.orario);
      break;
    default:
      break;
  }
  return j;
}

json_ordinato json_voce(int n, const voce& v) {
  const genere_riga genere = genere_di(n, v);
  json_ordinato j;
  j["riga"] = n;
  j["contenuto"] = nome_genere(genere);
  membri_json(j, v, kMembriVoce);
  json_ordinato valori = valori_costanti(genere, v);
  if (!valori.is_null()) j["significato"] = std::move(valori);
  return j;
}

json_ordinato json_tabella(const std::array<voce, kRigheTabella>& tabella,
                           const opzioni_dump& opzioni) {
  json_ordinato righe = json_ordinato::array();
  for (int n = 0; n < kRigheTabella; ++n) {
    if (riga_scelta(n, opzioni))
      righe.push_back(json_voce(n, tabella[static_cast<std::size_t>(n)]));
  }
  json_ordinato j;
  j["righe"] = std::move(righe);
  return j;
}

// ---------------------------------------------------------------- plan

// The plan points a selection keeps: the metres of the chosen cells, or the
// chosen metres.
intervallo punti_scelti(std::size_t n_punti, const opzioni_dump& opzioni) {
  if (opzioni.celle) return entro(n_punti, metri_delle_celle(*opzioni.celle));
  if (opzioni.metri) return entro(n_punti, *opzioni.metri);
  return entro(n_punti, {0, static_cast<int64_t>(n_punti) - 1});
}

// Each chosen point's row in turn, made when it is written.
template <typename F>
void per_ogni_punto(const tracciato_letto& t, const opzioni_dump& opzioni, F&& f) {
  const intervallo scelti = punti_scelti(t[0].size(), opzioni);
  for (int64_t m = scelti.da; m <= scelti.a; ++m) {
    const auto i = static_cast<std::size_t>(m);
    f(json_ordinato{m, json_elemento(t[0][i]), json_elemento(t[1][i])});
  }
}

json_ordinato json_tracciato(const tracciato_letto& t, const opzioni_dump& opzioni, bool record) {
  std::array<std::size_t, 3> conta{};
  for (const auto& meta : t) {
    for (const auto& e : meta) ++conta[static_cast<std::size_t>(e.tipo)];
  }
  json_ordinato j;
  j["punti_totali"] = t[0].size();
  j["elementi"] = {{"vuoti", conta[0]}, {"interi", conta[1]}, {"doppi", conta[2]}};
  j["colonne"] = {"metro", "prima coordinata", "seconda coordinata"};
  json_ordinato punti = json_ordinato::array();
  if (record) {
    per_ogni_punto(t, opzioni, [&punti](json_ordinato p) { punti.push_back(std::move(p)); });
  }
  j["punti"] = std::move(punti);
  return j;
}

// ---------------------------------------------------------------- text

// Columns of text, numbers to the right, text to the left; widths counted in
// characters of the UTF-8 output.
class tabella_testo {
 public:
  // `righe(t)` adds every row to t; it runs twice, once to measure the
  // columns and once to write the rows, so that no row is kept.
  template <typename Righe>
  static void scrivi(std::ostream& uscita, std::vector<std::string> intestazioni, Righe&& righe) {
    tabella_testo t(std::move(intestazioni));
    righe(t);
    t.uscita_ = &uscita;
    scrivi_riga(uscita, t.intestazioni_, t.larghezze_, t.a_destra_);
    righe(t);
  }

  void aggiungi(const std::vector<std::string>& r) {
    if (uscita_ != nullptr) {
      scrivi_riga(*uscita_, r, larghezze_, a_destra_);
      return;
    }
    for (std::size_t k = 0; k < larghezze_.size() && k < r.size(); ++k) {
      larghezze_[k] = std::max(larghezze_[k], larghezza(r[k]));
      if (!r[k].empty() && !numerico(r[k])) a_destra_[k] = false;
    }
  }
  // A line of its own, outside the columns.
  void aggiungi_nota(const std::string& nota) {
    if (uscita_ != nullptr) *uscita_ << nota << '\n';
  }

 private:
  static std::size_t larghezza(const std::string& t) {
    return static_cast<std::size_t>(std::count_if(t.begin(), t.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    }));
  }
  static bool numerico(const std::string& t) {
    return !t.empty() && t.find_first_not_of("-+0123456789.eE") == std::string::npos;
  }
  // Columns of numbers align to the right, heading included.
  static void scrivi_riga(std::ostream& uscita, const std::vector<std::string>& r,
                          const std::vector<std::size_t>& larghezze,
                          const std::vector<bool>& a_destra) {
    std::string linea;
    for (std::size_t k = 0; k < r.size(); ++k) {
      const std::string spazi(larghezze[k] - larghezza(r[k]), ' ');
      if (k > 0) linea += "  ";
      linea += a_destra[k] ? spazi + r[k] : r[k] + spazi;
    }
    while (!linea.empty() && linea.back() == ' ') linea.pop_back();
    uscita << linea << '\n';
  }

  explicit tabella_testo(std::vector<std::string> intestazioni)
      : intestazioni_(std::move(intestazioni)),
        larghezze_(intestazioni_.size()),
        a_destra_(intestazioni_.size(), true) {
    for (std::size_t k = 0; k < intestazioni_.size(); ++k) {
      larghezze_[k] = larghezza(intestazioni_[k]);
    }
  }

  std::vector<std::string> intestazioni_;
  std::vector<std::size_t> larghezze_;
  std::vector<bool> a_destra_;
  std::ostream* uscita_ = nullptr;  // null while measuring
};

std::string in_testo(const json_ordinato& valore) {
  if (valore.is_string()) return valore.get<std::string>();
  return valore.dump();
}

// "chiave valore, chiave valore" from a JSON object of meanings.
std::string testo_significato(const json_ordinato& j) {
  std::string t;
  for (const auto& [chiave, valore] : j.items()) {
    if (!t.empty()) t += ", ";
    if (valore.is_object()) {
      t += chiave + " (" + testo_significato(valore) + ")";
    } else {
      t += chiave + " " + in_testo(valore);
    }
  }
  return t;
}

// The cell's members with the object's name after its kind.
template <typename T>
std::vector<std::string> con_oggetto(std::vector<std::string> membri, T oggetto) {
  membri.insert(membri.begin() + 1, std::move(oggetto));
  return membri;
}

std::vector<std::string> unisci(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void scrivi_testo_celle(std::ostream& uscita, const std::vector<cella>& celle,
                        const opzioni_dump& opzioni,
                        const std::array<voce, kRigheTabella>* tabella) {
  const intervallo scelte = celle_scelte(celle.size(), opzioni);
  tabella_testo::scrivi(
      uscita,
      unisci(unisci({"cella", "metri"}, con_oggetto(intestazioni_membri(kMembriCella), "oggetto")),
             {"km/h", "\xE2\x80\xB0", "significato"}),
      [&](tabella_testo& t) {
        for (int64_t n = scelte.da; n <= scelte.a; ++n) {
          const cella& c = celle[static_cast<std::size_t>(n)];
          const auto i = static_cast<int32_t>(n);
          json_ordinato s = json_cella(c, i, tabella)["significato"];
          s.erase("velocita_kmh");
          s.erase("pendenza_per_mille");
          const std::string oggetto(c.evento == 0 ? "" : nome_evento(c.evento));
          t.aggiungi(unisci(
              unisci({std::to_string(n), std::to_string(metri_cella(i)) + ".." +
                                             std::to_string(metri_cella(i) + kMetriCella - 1)},
                     con_oggetto(colonne_membri(c, kMembriCella), oggetto)),
              {std::to_string(velocita_kmh(c)), std::to_string(pendenza_per_mille(c)),
               testo_significato(s)}));
        }
      });
}

std::vector<std::string> colonne_voce(int n, const voce& v) {
  const genere_riga genere = genere_di(n, v);
  const json_ordinato valori = valori_costanti(genere, v);
  return unisci(
      unisci({std::to_string(n), std::string(nome_genere(genere))}, colonne_membri(v, kMembriVoce)),
      {valori.is_null() ? std::string() : testo_significato(valori)});
}

void scrivi_testo_tabella(std::ostream& uscita, const std::array<voce, kRigheTabella>& tabella,
                          const opzioni_dump& opzioni) {
  tabella_testo::scrivi(
      uscita,
      unisci(unisci({"riga", "contenuto"}, intestazioni_membri(kMembriVoce)), {"significato"}),
      [&](tabella_testo& t) {
        // A run of empty rows is one line: most of the 87 rows are empty.
        int vuote_da = -1;
        auto chiudi_vuote = [&](int fino_a) {
          if (vuote_da < 0) return;
          t.aggiungi_nota(vuote_da == fino_a ? "riga " + std::to_string(vuote_da) + ": vuota"
                                             : "righe " + std::to_string(vuote_da) + ".." +
                                                   std::to_string(fino_a) + ": vuote");
          vuote_da = -1;
        };
        int precedente = -1;
        for (int n = 0; n < kRigheTabella; ++n) {
          if (!riga_scelta(n, opzioni)) continue;
          const voce& v = tabella[static_cast<std::size_t>(n)];
          if (genere_di(n, v) == genere_riga::vuota) {
            if (vuote_da >= 0 && precedente != n - 1) chiudi_vuote(precedente);
            if (vuote_da < 0) vuote_da = n;
          } else {
            chiudi_vuote(precedente);
            t.aggiungi(colonne_voce(n, v));
          }
          precedente = n;
        }
        chiudi_vuote(precedente);
      });
}

void scrivi_testo_tracciato(std::ostream& uscita, const tracciato_letto& tracciato,
                            const opzioni_dump& opzioni) {
  const intervallo scelti = punti_scelti(tracciato[0].size(), opzioni);
  tabella_testo::scrivi(uscita, {"metro", "prima coordinata", "seconda coordinata"},
                        [&](tabella_testo& t) {
                          for (int64_t m = scelti.da; m <= scelti.a; ++m) {
                            const auto i = static_cast<std::size_t>(m);
                            t.aggiungi({std::to_string(m), testo_elemento(tracciato[0][i]),
                                        testo_elemento(tracciato[1][i])});
                          }
                        });
}

std::string descrizione_quantita(const file_decodificato& f) {
  switch (f.tipo) {
    case tipo_file_compilato::celle:
      return std::to_string(f.celle.size()) + " celle";
    case tipo_file_compilato::tabella:
      return std::to_string(kRigheTabella) + " righe";
    case tipo_file_compilato::tracciato:
      return std::to_string(f.tracciato[0].size()) + " punti";
  }
  return "";
}

std::string compatto(const json_ordinato& j) {
  return j.dump(-1, ' ', false, json_ordinato::error_handler_t::replace);
}

// One array of records, one a line; `ogni` hands each record to the function
// it is given.
template <typename Ogni>
void scrivi_elenco(std::ostream& uscita, Ogni&& ogni) {
  std::size_t r = 0;
  ogni([&](const json_ordinato& record) {
    uscita << (r++ == 0 ? "[\n" : ",\n") << "   " << compatto(record);
  });
  uscita << (r == 0 ? "[]" : "\n  ]");
}

json_ordinato json_file(const file_decodificato& f, const opzioni_dump& opzioni,
                        const std::array<voce, kRigheTabella>* tabella, bool record);

// The array of files with one record (cell, row, point) per line: a plan has
// tens of thousands of points, and a line each keeps the output short enough
// to read and easy to search. The cells and points are made one at a time as
// they are written, so the output costs the memory of one record, not of
// them all.
void scrivi_json(std::ostream& uscita, const std::vector<file_decodificato>& file,
                 const opzioni_dump& opzioni, const std::array<voce, kRigheTabella>* tabella) {
  uscita << "[";
  for (std::size_t k = 0; k < file.size(); ++k) {
    const file_decodificato& f = file[k];
    uscita << (k == 0 ? "\n" : ",\n") << " {";
    std::size_t chiave = 0;
    const json_ordinato testa = json_file(f, opzioni, tabella, false);
    for (const auto& [nome, valore] : testa.items()) {
      uscita << (chiave++ == 0 ? "\n" : ",\n") << "  " << compatto(nome) << ": ";
      if (f.tipo == tipo_file_compilato::celle && nome == "celle") {
        scrivi_elenco(uscita,
                      [&](auto&& scrivi) { per_ogni_cella(f.celle, opzioni, tabella, scrivi); });
      } else if (f.tipo == tipo_file_compilato::tracciato && nome == "punti") {
        scrivi_elenco(uscita, [&](auto&& scrivi) { per_ogni_punto(f.tracciato, opzioni, scrivi); });
      } else if (!valore.is_array() || valore.empty() || !valore.front().is_structured()) {
        uscita << compatto(valore);
      } else {
        const json_ordinato& elenco = valore;
        scrivi_elenco(uscita, [&](auto&& scrivi) {
          for (const json_ordinato& r : elenco) scrivi(r);
        });
      }
    }
    uscita << "\n }";
  }
  uscita << "\n]\n";
}

// ---------------------------------------------------------------- empty selections

// The option that narrows a file of kind `tipo`, as it was given; empty when
// none does.
std::string opzione_data(tipo_file_compilato tipo, const opzioni_dump& opzioni) {
  if (tipo == tipo_file_compilato::tabella) {
    if (!opzioni.righe) return {};
    std::string testo;
    for (const intervallo& i : *opzioni.righe) {
      testo += (testo.empty() ? "--rows " : ",") + testo_intervallo(i);
    }
    return testo;
  }
  if (opzioni.celle) {
    const intervallo metri = metri_delle_celle(*opzioni.celle);
    return "--cells " + testo_intervallo(*opzioni.celle) + " (metres " + std::to_string(metri.da) +
           " to " + std::to_string(metri.a) + ")";
  }
  if (opzioni.metri) return "--metres " + testo_intervallo(*opzioni.metri);
  return {};
}

// What a file holds, in the units the options choose by.
std::string contenuto_file(const file_decodificato& f) {
  switch (f.tipo) {
    case tipo_file_compilato::celle: {
      if (f.celle.empty()) return "the file has no cells";
      const intervallo celle{0, static_cast<int64_t>(f.celle.size()) - 1};
      const intervallo metri = metri_delle_celle(celle);
      return "the file has cells 0 to " + std::to_string(celle.a) + ", metres 0 to " +
             std::to_string(metri.a);
    }
    case tipo_file_compilato::tracciato: {
      if (f.tracciato[0].empty()) return "the file has no points";
      const intervallo metri{0, static_cast<int64_t>(f.tracciato[0].size()) - 1};
      return "the file has points for metres 0 to " + std::to_string(metri.a) + ", cells 0 to " +
             std::to_string(celle_dei_metri(metri).a);
    }
    case tipo_file_compilato::tabella:
      return "the file has rows 0 to " + std::to_string(kRigheTabella - 1);
  }
  return {};
}

bool tiene_qualcosa(const file_decodificato& f, const opzioni_dump& opzioni) {
  switch (f.tipo) {
    case tipo_file_compilato::celle: {
      const intervallo scelte = celle_scelte(f.celle.size(), opzioni);
      return scelte.da <= scelte.a;
    }
    case tipo_file_compilato::tracciato: {
      const intervallo scelti = punti_scelti(f.tracciato[0].size(), opzioni);
      return scelti.da <= scelti.a;
    }
    case tipo_file_compilato::tabella:
      for (int n = 0; n < kRigheTabella; ++n) {
        if (riga_scelta(n, opzioni)) return true;
      }
      return false;
  }
  return true;
}

}  // namespace

std::string testo_intervallo(const intervallo& i) {
  if (i.da == i.a) return std::to_string(i.da);
  return std::to_string(i.da) + ".." + std::to_string(i.a);
}

std::optional<std::string> scelta_vuota(const file_decodificato& f, const opzioni_dump& opzioni) {
  const std::string opzione = opzione_data(f.tipo, opzioni);
  if (opzione.empty() || tiene_qualcosa(f, opzioni)) return std::nullopt;
  const bool vuoto = (f.tipo == tipo_file_compilato::celle && f.celle.empty()) ||
                     (f.tipo == tipo_file_compilato::tracciato && f.tracciato[0].empty());
  return opzione + " selects nothing of " + f.nome + ": " + contenuto_file(f) +
         (vuoto ? "" : "; give a range that meets them");
}

std::optional<intervallo> leggi_intervallo(std::string_view testo) {
  const auto punti = testo.find("..");
  const auto da = leggi_numero(testo.substr(0, punti));
  const auto a = punti == std::string_view::npos ? da : leggi_numero(testo.substr(punti + 2));
  if (!da || !a || *da > *a) return std::nullopt;
  return intervallo{*da, *a};
}

std::optional<std::vector<intervallo>> leggi_intervalli(std::string_view testo) {
  std::vector<intervallo> elenco;
  while (true) {
    const auto virgola = testo.find(',');
    const auto uno = leggi_intervallo(testo.substr(0, virgola));
    if (!uno) return std::nullopt;
    elenco.push_back(*uno);
    if (virgola == std::string_view::npos) return elenco;
    testo.remove_prefix(virgola + 1);
  }
}

file_decodificato decodifica_file(const std::filesystem::path& file) {
  file_decodificato f;
  f.nome = testo_file(file);
  const auto tipo = tipo_da_nome(testo_file(file.filename()));
  if (!tipo) {
    throw errore_formato(f.nome +
                         ": cannot tell the kind of compiled file from its name; the names end "
                         "in \"_linea.dat\" (track plan), \".sim\" (table) or \".dat\" (cells)");
  }
  f.tipo = *tipo;
  const std::string contenuto = leggi_file(file, limite_di(f.tipo));
  f.byte = contenuto.size();
  try {
    switch (f.tipo) {
      case tipo_file_compilato::celle:
        f.celle = leggi_celle(come_byte(contenuto));
        break;
      case tipo_file_compilato::tabella:
        f.tabella = leggi_tabella(come_byte(contenuto));
        break;
      case tipo_file_compilato::tracciato:
        f.tracciato = leggi_tracciato(come_byte(contenuto));
        break;
    }
  } catch (const errore_formato& e) {
    throw errore_formato(f.nome + " (" + std::string(nome_tipo(f.tipo)) + "): " + e.what());
  }
  return f;
}

namespace {

json_ordinato json_file(const file_decodificato& f, const opzioni_dump& opzioni,
                        const std::array<voce, kRigheTabella>* tabella, bool record) {
  json_ordinato j;
  j["file"] = f.nome;
  j["tipo"] = nome_tipo(f.tipo);
  j["byte"] = f.byte;
  switch (f.tipo) {
    case tipo_file_compilato::celle:
      j.update(json_celle(f.celle, opzioni, tabella, record));
      break;
    case tipo_file_compilato::tabella:
      j.update(json_tabella(f.tabella, opzioni));
      break;
    case tipo_file_compilato::tracciato:
      j.update(json_tracciato(f.tracciato, opzioni, record));
      break;
  }
  return j;
}

}  // namespace

json_ordinato json_file(const file_decodificato& f, const opzioni_dump& opzioni,
                        const std::array<voce, kRigheTabella>* tabella) {
  return json_file(f, opzioni, tabella, true);
}

void scrivi_testo_file(std::ostream& uscita, const file_decodificato& f,
                       const opzioni_dump& opzioni,
                       const std::array<voce, kRigheTabella>* tabella) {
  uscita << "== " << f.nome << " (" << nome_tipo(f.tipo) << ", " << f.byte << " byte, "
         << descrizione_quantita(f) << ")\n";
  switch (f.tipo) {
    case tipo_file_compilato::celle:
      scrivi_testo_celle(uscita, f.celle, opzioni, tabella);
      break;
    case tipo_file_compilato::tabella:
      scrivi_testo_tabella(uscita, f.tabella, opzioni);
      break;
    case tipo_file_compilato::tracciato:
      scrivi_testo_tracciato(uscita, f.tracciato, opzioni);
      break;
  }
}

int comando_dump(const std::vector<std::filesystem::path>& file, const opzioni_dump& opzioni,
                 std::ostream& uscita, std::ostream& errori) {
  if (file.empty()) {
    errori << "dump: no file given; name one or more compiled files (*_linea.dat, *.sim, *.dat)\n";
    return kUscitaFileNonConforme;
  }
  std::vector<file_decodificato> decodificati;
  const int stato = con_errori_dei_file("dump", errori, [&] {
    for (const auto& f : file) decodificati.push_back(decodifica_file(f));
    return static_cast<int>(uscita_pulita);
  });
  if (stato != uscita_pulita) return stato;
  for (const auto& f : decodificati) {
    if (auto perche = scelta_vuota(f, opzioni)) {
      errori << "dump: " << *perche << '\n';
      return kUscitaSceltaVuota;
    }
  }
  // Cells point at table rows: when a table is among the files, they are named.
  const std::array<voce, kRigheTabella>* tabella = nullptr;
  for (const auto& f : decodificati) {
    if (f.tipo == tipo_file_compilato::tabella) tabella = &f.tabella;
  }
  if (opzioni.testo) {
    for (std::size_t k = 0; k < decodificati.size(); ++k) {
      if (k > 0) uscita << '\n';
      scrivi_testo_file(uscita, decodificati[k], opzioni, tabella);
    }
    return 0;
  }
  scrivi_json(uscita, decodificati, opzioni, tabella);
  return 0;
}

}  // namespace scenario
