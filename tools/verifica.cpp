#include "tools/verifica.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <system_error>
#include <tuple>
#include <utility>

#include "base/codifica.h"
#include "base/file_cartella.h"
#include "base/stati_uscita.h"
#include "output/compilazione.h"
#include "scenario/identita.h"
#include "tools/ispeziona.h"
#include "tools/verifica_interno.h"

namespace scenario {
namespace {

constexpr std::array<std::string_view, 1> kValoriLunghezza = {"route length"};
constexpr std::array<std::string_view, 3> kValoriProgressiva = {"beginning", "offset", "flag"};
constexpr std::array<std::string_view, 1> kValoriSfondo = {"position"};
constexpr std::array<std::string_view, 2> kValoriRipetizione = {"start", "end"};
constexpr std::array<std::string_view, 2> kValoriPendenza = {"position", "gradient"};
constexpr std::array<std::string_view, 2> kValoriCurva = {"start", "length"};
constexpr std::array<std::string_view, 3> kValoriMontagna = {"start", "end", "type"};
constexpr std::array<std::string_view, 9> kValoriIndicatori = {
    "posizione", "vas", "vbs", "vcs", "strisces", "vad", "vbd", "vcd", "strisced"};
constexpr std::array<std::string_view, 2> kValoriCartello = {"position", "text"};
constexpr std::array<std::string_view, 1> kValoriMassa = {"braked-mass percentage"};
constexpr std::array<std::string_view, 1> kValoriVetture = {"number of cars"};
constexpr std::array<std::string_view, 2> kValoriVelocita = {"position", "speed"};
constexpr std::array<std::string_view, 2> kValoriAderenza = {"position", "adhesion"};
constexpr std::array<std::string_view, 3> kValoriOrologio = {"hours", "minutes", "seconds"};
constexpr std::array<std::string_view, 1> kValoriSabbia = {"sand"};
constexpr std::array<std::string_view, 11> kValoriSegnale = {
    "posizione", "sx", "s1", "s2", "s3", "rapp", "dx", "d1", "d2", "d3", "tempo"};
constexpr std::array<std::string_view, 6> kValoriRallentamento = {"x",    "v",    "l",
                                                                  "f_tt", "f_ta", "d_v"};
constexpr std::array<std::string_view, 2> kValoriAbbattimento = {"position", "value"};
constexpr std::array<std::string_view, 17> kValoriStazione = {
    "posizione", "tipo",   "platform length", "campo4",  "campo5",  "campo6",
    "campo7",    "campo8", "campo9",          "campo10", "campo11", "campo12",
    "campo13",   "hours",  "minutes",         "seconds", "nome"};

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

std::string_view nome_gravita(gravita g) { return g == gravita::errore ? "error" : "warning"; }

// The caret line: blanks (a tab where the source has one, so the caret
// stands under the field) up to the column, then ^~~~ over the field.
std::string riga_accento(const diagnosi& d) {
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

sorgente_in_memoria in_memoria(const testo_da_verificare& t) {
  return t.byte ? sorgente_in_memoria(*t.byte) : sorgente_in_memoria();
}

// A text as check reads it, and compile too: nothing when there is no such
// file; anything else under its name that is not a regular file of a text's
// size cannot be read.
std::optional<std::string> leggi_testo_utente(const std::filesystem::path& file) {
  return leggi_file_se_esiste(file, kLimiteTestoSorgente);
}

}  // namespace

std::string metri(int64_t valore) { return std::to_string(valore) + " m"; }

std::string_view nome_riga(tipo_riga t) {
  switch (t) {
    case tipo_riga::lunghezza:
      return "route length row";
    case tipo_riga::progressiva_tre:
    case tipo_riga::progressiva_due:
    case tipo_riga::progressiva_uno:
      return "chainage row";
    case tipo_riga::sfondo_uno:
    case tipo_riga::sfondo_due:
    case tipo_riga::sfondo_tre:
      return "background row";
    case tipo_riga::ripetizione:
      return "signal repetition row";
    case tipo_riga::pendenza:
      return "gradient row";
    case tipo_riga::curva:
      return "curve row";
    case tipo_riga::montagna:
      return "montagna row";
    case tipo_riga::indicatori:
      return "speed board row";
    case tipo_riga::cartello:
      return "indication board row";
    case tipo_riga::massa_frenata:
      return "braked-mass row";
    case tipo_riga::vetture:
      return "number-of-cars row";
    case tipo_riga::velocita:
      return "speed row";
    case tipo_riga::aderenza:
      return "adhesion row";
    case tipo_riga::orologio:
      return "clock row";
    case tipo_riga::sabbia:
      return "sand row";
    case tipo_riga::segnale:
      return "signal row";
    case tipo_riga::rallentamento:
      return "slowdown row";
    case tipo_riga::abbattimento:
      return "abbattimento row";
    case tipo_riga::stazione:
      return "station row";
  }
  return "row";
}

std::span<const std::string_view> nomi_valori(tipo_riga t) {
  switch (t) {
    case tipo_riga::lunghezza:
      return kValoriLunghezza;
    case tipo_riga::progressiva_tre:
    case tipo_riga::progressiva_due:
    case tipo_riga::progressiva_uno:
      return kValoriProgressiva;
    case tipo_riga::sfondo_uno:
    case tipo_riga::sfondo_due:
    case tipo_riga::sfondo_tre:
      return kValoriSfondo;
    case tipo_riga::ripetizione:
      return kValoriRipetizione;
    case tipo_riga::pendenza:
      return kValoriPendenza;
    case tipo_riga::curva:
      return kValoriCurva;
    case tipo_riga::montagna:
      return kValoriMontagna;
    case tipo_riga::indicatori:
      return kValoriIndicatori;
    case tipo_riga::cartello:
      return kValoriCartello;
    case tipo_riga::massa_frenata:
      return kValoriMassa;
    case tipo_riga::vetture:
      return kValoriVetture;
    case tipo_riga::velocita:
      return kValoriVelocita;
    case tipo_riga::aderenza:
      return kValoriAderenza;
    case tipo_riga::orologio:
      return kValoriOrologio;
    case tipo_riga::sabbia:
      return kValoriSabbia;
    case tipo_riga::segnale:
      return kValoriSegnale;
    case tipo_riga::rallentamento:
      return kValoriRallentamento;
    case tipo_riga::abbattimento:
      return kValoriAbbattimento;
    case tipo_riga::stazione:
      return kValoriStazione;
  }
  return {};
}

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
                                     const lettura_osservata& lettura, const modello& m)
    : testi_(testi), lettura_(lettura), m_(m) {
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

void raccolta_diagnosi::errore(const posto& p, int32_t codice, std::string messaggio) {
  aggiungi(p, gravita::errore, std::to_string(codice), std::move(messaggio));
}

void raccolta_diagnosi::avviso(const posto& p, std::string_view nome, std::string messaggio) {
  aggiungi(p, gravita::avviso, std::string(nome), std::move(messaggio));
}

void raccolta_diagnosi::aggiungi(const posto& p, gravita g, std::string codice,
                                 std::string messaggio) {
  diagnosi d;
  d.testo = static_cast<std::size_t>(p.testo);
  d.file = nome(p.testo);
  d.livello = g;
  d.codice = std::move(codice);
  d.messaggio = std::move(messaggio);
  const std::string_view b = byte(p.testo);
  const std::optional<righe_testo>& righe = righe_[static_cast<std::size_t>(p.testo)];
  if (p.inizio && righe && !b.empty()) {
    // A place at the very end of the text (a row cut short) is shown just
    // after the last line's content.
    std::size_t inizio = std::min(*p.inizio, b.size() - 1);
    while (inizio > 0 && fine_riga(b[inizio]) && fine_riga(b[inizio - 1])) --inizio;
    d.riga = righe->riga(inizio);
    d.colonna = righe->colonna(inizio);
    d.sorgente = std::string(righe->testo_riga(d.riga));
    const std::size_t fine_riga_sorgente =
        inizio - static_cast<std::size_t>(d.colonna - 1) + d.sorgente.size();
    const std::size_t fine = std::min(std::max(p.fine, inizio), fine_riga_sorgente);
    d.larghezza = std::max<std::size_t>(1, fine - inizio);
  }
  diagnosi_.push_back(std::move(d));
}

std::vector<diagnosi> raccolta_diagnosi::risultato() && {
  std::stable_sort(diagnosi_.begin(), diagnosi_.end(), [](const diagnosi& a, const diagnosi& b) {
    return std::tie(a.testo, a.riga, a.colonna) < std::tie(b.testo, b.riga, b.colonna);
  });
  return std::move(diagnosi_);
}

std::vector<diagnosi> verifica_testi(const testo_da_verificare& linea,
                                     const testo_da_verificare& treno) {
  // The compile of the program's run (memorizza_percorso with j = 1), in
  // memory and without writing anything, with an observer on it.
  modello m;
  sorgente_in_memoria sorgente_linea = in_memoria(linea);
  sorgente_in_memoria sorgente_treno = in_memoria(treno);
  lettura_osservata lettura(m);
  opzioni_compilazione opzioni;
  opzioni.percorso = kPercorso;
  opzioni.treno = kTreno;
  opzioni.osservatore = &lettura;
  const esito_compilazione esito = compila_percorso(m, sorgente_linea, sorgente_treno, opzioni);
  lettura.concludi();

  raccolta_diagnosi r({&linea, &treno}, lettura, m);
  const istantanea letta = lettura.fine_lettura().value_or(foto(m));
  const scrittori_cella1 scrittori = errori_lettura(r, letta);
  if (const std::optional<istantanea>& completata = lettura.fine_completamento()) {
    if (completata->codice_errore != letta.codice_errore ||
        completata->posizione_errore != letta.posizione_errore) {
      errore_completamento(r, completata->codice_errore, completata->posizione_errore);
    }
    if (esito.controllo_fallito) {
      errore_riservato(r, *esito.controllo_fallito, scrittori,
                       completata->dato1_cella1 && !letta.dato1_cella1);
    }
  }
  avvisi_lettura(r);
  return std::move(r).risultato();
}

void scrivi_diagnosi(std::ostream& uscita, const std::vector<diagnosi>& tutte) {
  std::size_t errori = 0;
  for (const diagnosi& d : tutte) {
    if (d.livello == gravita::errore) ++errori;
    uscita << d.file;
    if (d.riga > 0) uscita << ':' << d.riga << ':' << d.colonna;
    uscita << ": " << nome_gravita(d.livello) << ": " << d.messaggio << " [" << d.codice << "]\n";
    if (d.riga > 0) uscita << utf8_da_1252(d.sorgente) << '\n' << riga_accento(d) << '\n';
  }
  if (tutte.empty()) return;
  uscita << conta(errori, "error") << ", " << conta(tutte.size() - errori, "warning") << '\n';
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
  }
  return lista;
}

int comando_check(const std::filesystem::path& linea, const std::filesystem::path& treno, bool json,
                  std::ostream& uscita, std::ostream& errori) {
  testo_da_verificare testo_linea{testo_file(linea), std::nullopt};
  testo_da_verificare testo_treno{testo_file(treno), std::nullopt};
  try {
    testo_linea.byte = leggi_testo_utente(linea);
    testo_treno.byte = leggi_testo_utente(treno);
  } catch (const errore_file_system& e) {
    errori << e.what() << '\n';
    return uscita_file_system;
  }
  const std::vector<diagnosi> tutte = verifica_testi(testo_linea, testo_treno);
  if (json) {
    uscita << json_diagnosi(tutte).dump(2) << '\n';
  } else {
    scrivi_diagnosi(errori, tutte);
  }
  const bool con_errori = std::any_of(
      tutte.begin(), tutte.end(), [](const diagnosi& d) { return d.livello == gravita::errore; });
  return con_errori ? kUscitaErroriTrovati : uscita_pulita;
}

}  // namespace scenario
