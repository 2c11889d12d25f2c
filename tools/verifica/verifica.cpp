#include "tools/verifica/verifica.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <set>
#include <system_error>
#include <tuple>
#include <utility>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/nomi_enum.h"
#include "base/nomi_scenario.h"
#include "base/stati_uscita.h"
#include "output/compilazione.h"
#include "scenario/identita.h"
#include "tools/ispezione/ispeziona.h"
#include "tools/verifica/interno.h"

namespace scenario {
namespace {

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

std::string_view nome_gravita(gravita g) {
  constexpr std::array<std::string_view, 3> kNomi = {"error", "warning", "note"};
  return nome_di(g, kNomi);
}

// The caret line: blanks (a tab where the source has one, so the caret
// stands under the field) up to the column, then ^~~~ over the field.
std::string riga_accento(const luogo& d) {
  std::string accento;
  const auto prima = static_cast<std::size_t>(d.colonna - 1);
  for (std::size_t n = 0; n < prima; ++n) {
    accento += n < d.sorgente.size() && d.sorgente[n] == '\t' ? '\t' : ' ';
  }
  accento += '^';
  if (d.larghezza > 1) accento.append(d.larghezza - 1, '~');
  return accento;
}

std::string conta(std::size_t n, std::string_view parola) {
  std::string testo = std::to_string(n) + " " + std::string(parola);
  if (n != 1) testo += "s";
  return testo;
}

// A text as check reads it, and compile too: nothing when there is no such
// file; anything else under its name that is not a regular file of a text's
// size cannot be read.
std::optional<std::string> leggi_testo_utente(const std::filesystem::path& file) {
  return leggi_file_se_esiste(file, kLimiteTestoSorgente);
}

}  // namespace

std::string metri(int64_t valore) { return std::to_string(valore) + " m"; }

std::string_view nome_riga(tipo_riga t) { return descrizione(t).nome; }

std::string_view nome_valore(tipo_riga t, std::size_t n) {
  const std::span<const campo_riga> campi = descrizione(t).campi;
  return n < campi.size() ? campi[n].nome : std::string_view("value");
}

std::size_t valori_attesi(tipo_riga t) { return descrizione(t).campi.size(); }

righe_testo::righe_testo(std::string_view byte) : byte_(byte), inizi_{0} {
  for (std::size_t n = 0; n < byte.size(); ++n) {
    if (byte[n] == '\r' && n + 1 < byte.size() && byte[n + 1] == '\n') ++n;
    if (fine_riga(byte[n])) inizi_.push_back(n + 1);
  }
}

int64_t righe_testo::riga(std::size_t byte) const {
  const auto dopo = std::upper_bound(inizi_.begin(), inizi_.end(), byte);
  return static_cast<int64_t>(dopo - inizi_.begin());
}

int64_t righe_testo::colonna(std::size_t byte) const {
  const auto inizio = inizi_[static_cast<std::size_t>(riga(byte) - 1)];
  return static_cast<int64_t>(byte - inizio) + 1;
}

std::string_view righe_testo::testo_riga(int64_t riga) const {
  if (riga < 1 || static_cast<std::size_t>(riga) > inizi_.size()) return {};
  const std::size_t inizio = inizi_[static_cast<std::size_t>(riga - 1)];
  std::size_t fine = inizio;
  while (fine < byte_.size() && !fine_riga(byte_[fine])) ++fine;
  return byte_.substr(inizio, fine - inizio);
}

raccolta_diagnosi::raccolta_diagnosi(const std::array<const testo_da_verificare*, 2>& testi,
                                     const lettura_osservata& lettura, const modello& m,
                                     bool ogni_errore)
    : testi_(testi), lettura_(lettura), m_(m), ogni_errore_(ogni_errore) {
  for (std::size_t n = 0; n < testi_.size(); ++n) {
    if (testi_[n]->byte) righe_[n].emplace(*testi_[n]->byte);
  }
}

std::string_view raccolta_diagnosi::byte(testo_letto t) const {
  const std::optional<std::string>& b = testo(t).byte;
  return b ? std::string_view(*b) : std::string_view();
}

posto raccolta_diagnosi::campo(testo_letto t, std::size_t n) const {
  const std::vector<campo_letto>& campi = lettura_.campi(t);
  if (n >= campi.size()) return intero(t);
  return {t, campi[n].inizio, campi[n].fine};
}

posto raccolta_diagnosi::valore(const riga_letta& r, std::size_t n) const {
  return r.ha_valore(n) ? campo(r.testo, r.valore(n)) : chiave(r);
}

int64_t raccolta_diagnosi::numero(const riga_letta& r, std::size_t n) const {
  if (!r.ha_valore(n)) return 0;
  const campo_letto& c = lettura_.campi(r.testo)[r.valore(n)];
  return static_cast<int64_t>(c.valore);
}

std::string raccolta_diagnosi::testo_campo(testo_letto t, std::size_t n) const {
  const std::vector<campo_letto>& campi = lettura_.campi(t);
  if (n >= campi.size()) return {};
  std::string_view testo = byte(t).substr(campi[n].inizio, campi[n].fine - campi[n].inizio);
  if (!testo.empty() && testo.front() == '"') {
    testo.remove_prefix(1);
    if (!testo.empty() && testo.back() == '"') testo.remove_suffix(1);
  }
  return std::string(testo);
}

int64_t raccolta_diagnosi::riga_di(testo_letto t, std::size_t campo) const {
  const std::optional<righe_testo>& righe = righe_[static_cast<std::size_t>(t)];
  const std::vector<campo_letto>& campi = lettura_.campi(t);
  if (!righe || campo >= campi.size()) return 0;
  return righe->riga(campi[campo].inizio);
}

int64_t raccolta_diagnosi::riga_di_byte(testo_letto t, std::size_t byte) const {
  const std::optional<righe_testo>& righe = righe_[static_cast<std::size_t>(t)];
  return righe ? righe->riga(byte) : 0;
}

std::string raccolta_diagnosi::dove(const riga_letta& r, testo_letto da) const {
  const std::string numero = std::to_string(riga_di(r.testo, r.chiave));
  if (r.testo == da) return "line " + numero;
  return nome(r.testo) + ":" + numero;
}

void raccolta_diagnosi::errore(const posto& p, int32_t codice, std::string messaggio,
                               std::vector<nota_correlata> note) {
  aggiungi(p, gravita::errore, std::to_string(codice), std::move(messaggio), std::move(note));
}

void raccolta_diagnosi::avviso(const posto& p, const regola_avviso& regola, std::string messaggio,
                               std::vector<nota_correlata> note) {
  aggiungi(p, gravita::avviso, std::string(regola.nome), std::move(messaggio), std::move(note));
}

void raccolta_diagnosi::nota(const posto& p, std::string messaggio) {
  aggiungi(p, gravita::nota, "", std::move(messaggio), {});
}

luogo raccolta_diagnosi::situa(const posto& p) const {
  luogo l;
  l.testo = static_cast<std::size_t>(p.testo);
  l.file = nome(p.testo);
  const std::string_view b = byte(p.testo);
  const std::optional<righe_testo>& righe = righe_[static_cast<std::size_t>(p.testo)];
  if (!p.inizio || !righe || b.empty()) return l;
  // A place at the very end of the text (a row cut short) is shown just
  // after the last line's content.
  std::size_t inizio = std::min(*p.inizio, b.size() - 1);
  while (inizio > 0 && fine_riga(b[inizio]) && fine_riga(b[inizio - 1])) --inizio;
  l.riga = righe->riga(inizio);
  l.colonna = righe->colonna(inizio);
  l.sorgente = std::string(righe->testo_riga(l.riga));
  const std::size_t fine_riga_sorgente =
      inizio - static_cast<std::size_t>(l.colonna - 1) + l.sorgente.size();
  const std::size_t fine = std::min(std::max(p.fine, inizio), fine_riga_sorgente);
  l.larghezza = std::max<std::size_t>(1, fine - inizio);
  return l;
}

void raccolta_diagnosi::aggiungi(const posto& p, gravita g, std::string codice,
                                 std::string messaggio, std::vector<nota_correlata>&& note) {
  if (g != gravita::nota && p.inizio) segnalati_.insert({p.testo, *p.inizio});
  if (g == gravita::errore && p.inizio) con_errore_.insert({p.testo, *p.inizio});
  if (g != gravita::nota && !(g == gravita::errore && ogni_errore_) &&
      (++per_tipo_[codice] > kDiagnosiPerTipo || diagnosi_.size() >= kDiagnosiMassime)) {
    taciute& t = taciute_[{p.testo, std::move(codice)}];
    t.livello = g;
    ++t.quante;
    return;
  }
  const luogo l = situa(p);
  diagnosi d;
  d.testo = l.testo;
  d.file = l.file;
  d.riga = l.riga;
  d.colonna = l.colonna;
  d.larghezza = l.larghezza;
  d.sorgente = l.sorgente;
  d.livello = g;
  d.codice = std::move(codice);
  d.messaggio = std::move(messaggio);
  for (auto& [dove, testo] : note) {
    luogo correlato = situa(dove);
    correlato.messaggio = std::move(testo);
    d.correlati.push_back(std::move(correlato));
  }
  diagnosi_.push_back(std::move(d));
}

std::vector<diagnosi> raccolta_diagnosi::raccolte() && { return std::move(diagnosi_); }

void raccolta_diagnosi::accogli(diagnosi d) {
  if (++per_tipo_[d.codice] > kDiagnosiPerTipo || diagnosi_.size() >= kDiagnosiMassime) {
    taciute& t = taciute_[{static_cast<testo_letto>(d.testo), d.codice}];
    t.livello = d.livello;
    ++t.quante;
    return;
  }
  diagnosi_.push_back(std::move(d));
}

std::vector<diagnosi> raccolta_diagnosi::risultato() && {
  for (const auto& [chiave, t] : taciute_) {
    diagnosi d;
    d.testo = static_cast<std::size_t>(chiave.first);
    d.file = nome(chiave.first);
    d.livello = t.livello;
    d.codice = chiave.second;
    d.messaggio = "and " + std::to_string(t.quante) + " more like this";
    d.altre = t.quante;
    diagnosi_.push_back(std::move(d));
  }
  // By text, then line and column; what was left out, and a note on the
  // text as a whole, close their text.
  auto in_fondo = [](const diagnosi& d) {
    return d.altre > 0 || (d.livello == gravita::nota && d.riga == 0);
  };
  std::stable_sort(diagnosi_.begin(), diagnosi_.end(), [&](const diagnosi& a, const diagnosi& b) {
    return std::tuple(a.testo, in_fondo(a), a.riga, a.colonna) <
           std::tuple(b.testo, in_fondo(b), b.riga, b.colonna);
  });
  return std::move(diagnosi_);
}

namespace {

// An error's identity across compiles: its code and where it points.
using chiave_errore = std::tuple<std::string, std::size_t, int64_t, int64_t>;
chiave_errore chiave_di(const diagnosi& d) { return {d.codice, d.testo, d.riga, d.colonna}; }

// The last line of each text a compile read a field of: what lies after it
// was not read, and warnings there come from the reading that goes on.
std::array<int64_t, 2> righe_lette(const raccolta_diagnosi& r) {
  std::array<int64_t, 2> lette{};
  for (testo_letto t : {testo_letto::linea, testo_letto::treno}) {
    const std::vector<campo_letto>& campi = r.lettura().campi(t);
    if (!campi.empty()) lette[static_cast<std::size_t>(t)] = r.riga_di_byte(t, campi.back().inizio);
  }
  return lette;
}

// Every error in one run: when rows stopped the compile, the texts are read
// once more, every failing row set aside and the reading going on after it
// (memorizza_dati's risincronizza), and each error that reading finds joins
// `r` at its own row, with the warnings of the lines the compile had not
// read. A stop that no row made (a missing text, no route length, a route
// too long) ends it with a note that errors after it may be hidden.
void errori_dopo(raccolta_diagnosi& r, const testo_da_verificare& linea,
                 const testo_da_verificare& treno) {
  fermate f = fermate_di(r);
  if (!f.righe.empty() && !f.nascosti) {
    std::set<chiave_errore> visti;
    for (const diagnosi& d : r.finora()) visti.insert(chiave_di(d));
    const std::array<int64_t, 2> lette = righe_lette(r);
    modello m;
    lettura_osservata lettura;
    compila_osservando(m, linea.byte, treno.byte, lettura, true);
    // Every error of it, so that those the compile found already are not
    // counted twice among the ones left out.
    raccolta_diagnosi dopo({&linea, &treno}, lettura, m, true);
    errori_compilazione(dopo);
    avvisi_lettura(dopo);
    f = fermate_di(dopo);
    for (diagnosi& d : std::move(dopo).raccolte()) {
      const bool letta_ora = d.riga > lette[d.testo];
      if (d.livello == gravita::nota || (d.livello == gravita::avviso && !letta_ora)) continue;
      if (!visti.insert(chiave_di(d)).second) continue;
      r.accogli(std::move(d));
    }
  }
  if (f.nascosti) {
    r.nota(*f.nascosti,
           "this error stops the compile, so errors after it may be hidden: mend it and check "
           "again");
  }
}

}  // namespace

std::vector<diagnosi> verifica_testi(const testo_da_verificare& linea,
                                     const testo_da_verificare& treno,
                                     const opzioni_verifica& opzioni) {
  // The compile of the program's run, in memory and without writing
  // anything, with an observer on it.
  modello m;
  lettura_osservata lettura;
  compila_osservando(m, linea.byte, treno.byte, lettura);
  raccolta_diagnosi r({&linea, &treno}, lettura, m);
  errori_compilazione(r);
  avvisi_lettura(r);
  errori_dopo(r, linea, treno);
  std::vector<diagnosi> tutte = std::move(r).risultato();
  if (!opzioni.permessi.empty()) {
    std::erase_if(tutte, [&opzioni](const diagnosi& d) {
      return d.livello == gravita::avviso &&
             std::find(opzioni.permessi.begin(), opzioni.permessi.end(), d.codice) !=
                 opzioni.permessi.end();
    });
  }
  return tutte;
}

namespace {

// "file:line:column: note: message", then the source line and the caret.
void scrivi_luogo(std::string& testo, const luogo& l, std::string_view livello,
                  std::string_view codice) {
  testo += l.file;
  if (l.riga > 0) testo += ':' + std::to_string(l.riga) + ':' + std::to_string(l.colonna);
  testo += ": ";
  testo += livello;
  testo += ": " + l.messaggio;
  if (!codice.empty()) testo += " [" + std::string(codice) + "]";
  testo += '\n';
  if (l.riga > 0) testo += utf8_da_1252(l.sorgente) + '\n' + riga_accento(l) + '\n';
}

luogo luogo_di(const diagnosi& d) {
  return {d.testo, d.file, d.riga, d.colonna, d.larghezza, d.sorgente, d.messaggio};
}

}  // namespace

std::string testo_chiusura(const std::vector<diagnosi>& tutte) {
  std::size_t errori = 0;
  std::size_t avvisi = 0;
  for (const diagnosi& d : tutte) {
    if (d.livello == gravita::nota) continue;
    (d.livello == gravita::errore ? errori : avvisi) += d.altre > 0 ? d.altre : 1;
  }
  if (errori == 0 && avvisi == 0) return "no problems found";
  return conta(errori, "error") + ", " + conta(avvisi, "warning");
}

void scrivi_diagnosi(std::ostream& uscita, const std::vector<diagnosi>& tutte) {
  // One write at the end: standard error is unbuffered.
  std::string testo;
  for (const diagnosi& d : tutte) {
    scrivi_luogo(testo, luogo_di(d), nome_gravita(d.livello), d.codice);
    for (const luogo& l : d.correlati) scrivi_luogo(testo, l, "note", "");
  }
  testo += testo_chiusura(tutte) + '\n';
  uscita << testo;
}

nlohmann::ordered_json json_diagnosi(const std::vector<diagnosi>& tutte) {
  nlohmann::ordered_json lista = nlohmann::ordered_json::array();
  for (const diagnosi& d : tutte) {
    lista.push_back({{"file", d.file},
                     {"line", d.riga},
                     {"column", d.colonna},
                     {"severity", nome_gravita(d.livello)},
                     {"code", d.codice},
                     {"message", d.messaggio}});
    if (d.altre > 0) lista.back()["more"] = d.altre;
    if (d.correlati.empty()) continue;
    nlohmann::ordered_json correlati = nlohmann::ordered_json::array();
    for (const luogo& l : d.correlati) {
      correlati.push_back(
          {{"file", l.file}, {"line", l.riga}, {"column", l.colonna}, {"message", l.messaggio}});
    }
    lista.back()["related"] = std::move(correlati);
  }
  return lista;
}

int comando_check(const std::filesystem::path& linea, const std::filesystem::path& treno, bool json,
                  bool werror, const opzioni_verifica& opzioni, std::ostream& uscita,
                  std::ostream& errori) {
  testo_da_verificare testo_linea{testo_file(linea), std::nullopt};
  testo_da_verificare testo_treno{testo_file(treno), std::nullopt};
  try {
    testo_linea.byte = leggi_testo_utente(linea);
    testo_treno.byte = leggi_testo_utente(treno);
  } catch (const errore_file_system& e) {
    errori << e.what() << '\n';
    return uscita_file_system;
  }
  std::vector<diagnosi> tutte = verifica_testi(testo_linea, testo_treno, opzioni);
  // What the texts' names say of the pair comes first: it concerns them whole.
  const nomi_della_coppia nomi =
      scegli_nomi(testo_file(linea.filename()), testo_file(treno.filename()), std::nullopt,
                  std::nullopt, kPercorso, kTreno, false);
  std::vector<diagnosi> dei_nomi;
  for (const nomi_della_coppia::detto& detto : nomi.detti) {
    diagnosi d;
    d.testo = detto.del_treno ? 1 : 0;
    d.file = detto.del_treno ? testo_treno.nome : testo_linea.nome;
    d.livello = detto.avviso ? gravita::avviso : gravita::nota;
    if (detto.avviso) d.codice = std::string(kRegolaNomi.nome);
    d.messaggio = detto.messaggio;
    if (detto.avviso && std::find(opzioni.permessi.begin(), opzioni.permessi.end(), d.codice) !=
                            opzioni.permessi.end()) {
      continue;
    }
    dei_nomi.push_back(std::move(d));
  }
  tutte.insert(tutte.begin(), std::make_move_iterator(dei_nomi.begin()),
               std::make_move_iterator(dei_nomi.end()));
  if (json) {
    uscita << json_diagnosi(tutte).dump(2) << '\n';
  } else {
    scrivi_diagnosi(errori, tutte);
  }
  const bool fallisce = std::any_of(tutte.begin(), tutte.end(), [werror](const diagnosi& d) {
    return d.livello == gravita::errore || (werror && d.livello == gravita::avviso);
  });
  return fallisce ? kUscitaErroriTrovati : uscita_pulita;
}

}  // namespace scenario
