// The errors of check: each change of the compile's error record, traced back
// to the row and the field that made it, in words that say what is wrong,
// where, and how to mend it.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/codici_errore.h"
#include "base/codifica.h"
#include "compiler/lettore_linea.h"
#include "compiler/lettore_treno.h"
#include "tools/significato.h"
#include "tools/verifica_interno.h"

namespace scenario {
namespace {

constexpr int64_t kMargineRiga = 100;      // a row position + 100 m must lie within the strip
constexpr int64_t kMargineStazione = 800;  // a station's reference point + 800 m
constexpr int64_t kDistanzaStazioni = 350;
constexpr int64_t kSenzaMarche = 25;  // station kinds from here on get no cell marks
constexpr int64_t kRigheStazioniMassime = 78;

std::string citato(std::string_view cp1252) { return "'" + utf8_da_1252(cp1252) + "'"; }

std::string testo_di(testo_letto t) { return t == testo_letto::linea ? "line" : "train"; }

// The number of the station a station row fills: its place among the
// station rows (every earlier one was stored, or reading would have ended).
int32_t numero_stazione(const raccolta_diagnosi& r, std::size_t indice) {
  int32_t numero = 0;
  for (std::size_t n = 0; n <= indice; ++n) {
    if (r.lettura().righe()[n].tipo == tipo_riga::stazione) ++numero;
  }
  return numero;
}

std::size_t indice_di(const raccolta_diagnosi& r, const riga_letta& riga) {
  return static_cast<std::size_t>(&riga - r.lettura().righe().data());
}

dati_rallentamento rallentamento_di(const raccolta_diagnosi& r, const riga_letta& riga) {
  dati_rallentamento d;
  d.x = static_cast<int32_t>(r.numero(riga, 0));
  d.v = static_cast<int32_t>(r.numero(riga, 1));
  d.l = static_cast<int32_t>(r.numero(riga, 2));
  d.f_tt = static_cast<int32_t>(r.numero(riga, 3));
  d.f_ta = static_cast<int32_t>(r.numero(riga, 4));
  d.d_v = static_cast<int32_t>(r.numero(riga, 5));
  return d;
}

std::string cella_e_metri(int64_t cella) {
  return "cell " + std::to_string(cella) + " (" + std::to_string(cella * kMetriCella) + " to " +
         std::to_string(cella * kMetriCella + kMetriCella - 1) + " m)";
}

// The latest row before row `indice` that put an object on cell `cella`.
std::optional<std::string> riga_occupante(const raccolta_diagnosi& r, std::size_t indice,
                                          int64_t cella) {
  const std::vector<riga_letta>& righe = r.lettura().righe();
  const riga_letta& qui = righe[indice];
  for (std::size_t n = indice; n-- > 0;) {
    for (const oggetto_in_cella& o : oggetti_di(r, righe[n], numero_stazione(r, n))) {
      if (o.cella == cella) {
        return "the " + std::string(o.che_cosa) + " of " + r.dove(righe[n], qui.testo);
      }
    }
  }
  return std::nullopt;
}

// Who holds cell `cella` when row `indice` wants it: the row that put an
// object there, else the kind of object the cell holds.
std::string occupante(const raccolta_diagnosi& r, std::size_t indice, int64_t cella) {
  if (std::optional<std::string> riga = riga_occupante(r, indice, cella)) return *riga;
  if (cella >= 0 && cella <= r.m().ultima_cella) {
    return "an object (" +
           std::string(nome_evento(r.m().cella_a(static_cast<int32_t>(cella)).evento)) + ")";
  }
  return "an object";
}

// 15: the row's position check, or the extent check that follows it.
void errore_oltre(raccolta_diagnosi& r, const riga_letta& riga, const istantanea& prima) {
  const modello& m = r.m();
  const int64_t p = r.numero(riga, 0);
  const int64_t ultima = m.ultima_cella;
  const int64_t lunghezza = m.riga(84).fine;
  const bool stazione = riga.tipo == tipo_riga::stazione;
  const int64_t margine = stazione ? kMargineStazione : kMargineRiga;
  const std::string resto = "the rest of the " + testo_di(riga.testo) + " text is not read";
  const std::string striscia = "the strip (cells 0 to " + std::to_string(ultima) + ")";
  if (p + margine > kMetriCella * ultima) {
    r.errore(r.valore(riga, 0), 15,
             "the " + std::string(nome_riga(riga.tipo)) + " at " + metri(p) +
                 " lies beyond the cell strip: with a route of " + metri(lunghezza) +
                 " the last cell is " + std::to_string(ultima) + ", so a " +
                 (stazione ? "station" : "row") + " position may be at most " +
                 metri(kMetriCella * ultima - margine) + "; " + resto +
                 ". Move the row or lengthen the route");
    return;
  }
  const bool da_linea = prima.codice_errore == 15 && riga.testo == testo_letto::treno &&
                        (riga.tipo == tipo_riga::segnale || riga.tipo == tipo_riga::rallentamento);
  switch (riga.tipo) {
    case tipo_riga::curva: {
      const int64_t fine = p + r.numero(riga, 1);
      r.errore(r.valore(riga, 1), 15,
               "the curve ends at " + metri(fine) + " (start + length), beyond " +
                   metri(m.lunghezza_estesa - 2) +
                   ", the last plan point a curve may reach (route length + 7000 m - 2); " + resto +
                   ". Shorten the curve");
      return;
    }
    case tipo_riga::montagna:
      r.errore(r.valore(riga, 1), 15,
               "the montagna stretch covers cells " +
                   std::to_string(cella_tratto(static_cast<int32_t>(p))) + " to " +
                   std::to_string(cella_fine_tratto(static_cast<int32_t>(r.numero(riga, 1)))) +
                   ", outside " + striscia + "; " + resto + ". Keep its end within the route");
      return;
    case tipo_riga::stazione: {
      const voce& v = m.riga(numero_stazione(r, indice_di(r, riga)));
      r.errore(r.valore(riga, 2), 15,
               "the stop mark of this station would fall on cell " +
                   std::to_string(v.fine / kMetriCella - 1) + " (its zone ends at " +
                   metri(v.fine) + "), beyond " + striscia + "; " + resto +
                   ". Move the station back or shorten its platform");
      return;
    }
    case tipo_riga::segnale:
    case tipo_riga::rallentamento:
      if (da_linea) {
        r.errore(r.valore(riga, 0), 15,
                 "the line text left code 15 on record, so the first signal or slowdown row "
                 "ends the reading of the train text here with this row's position; nothing "
                 "after it is read. Mend the line text's code 15 first");
        return;
      }
      [[fallthrough]];
    default:
      r.errore(r.valore(riga, 0), 15,
               "the " + std::string(nome_riga(riga.tipo)) + " at " + metri(p) +
                   " puts an object outside " + striscia + "; " + resto +
                   ". Keep the row's objects within the route");
      return;
  }
}

// The cell a row wanted and found taken (6, 7, 16..21).
void errore_cella_occupata(raccolta_diagnosi& r, const riga_letta& riga, int32_t codice) {
  const std::size_t indice = indice_di(r, riga);
  const int64_t p = r.numero(riga, 0);
  const std::string qui = "the " + std::string(nome_riga(riga.tipo)) + " at " + metri(p);
  auto occupata = [&](int64_t cella, const std::string& che_cosa, std::size_t valore) {
    r.errore(r.valore(riga, valore), codice,
             che_cosa + " lands on " + cella_e_metri(cella) + ", which " +
                 occupante(r, indice, cella) +
                 " already holds: one cell takes one object. Move one of them by 50 m or more");
  };
  switch (codice) {
    case 6:
    case 21:
      occupata(cella_oggetto(static_cast<int32_t>(p)), qui, 0);
      return;
    case 7:
      occupata(cella_tratto(static_cast<int32_t>(p)), qui, 0);
      return;
    case 16:
      occupata(cella_punto(p), qui, 0);
      return;
    default:
      break;
  }
  const punti_rallentamento punti = punti_di(rallentamento_di(r, riga));
  switch (codice) {
    case 17:
      occupata(punti.avviso,
               "the warning board of the slowdown at " + metri(p) + " (1200 m before it)", 0);
      return;
    case 18:
      occupata(punti.inizio, "the start of the slowdown at " + metri(p), 0);
      return;
    case 19:
      occupata(punti.fine,
               "the end of the slowdown at " + metri(p) +
                   " (x + l = " + metri(p + r.numero(riga, 2)) + ")",
               2);
      return;
    default:
      break;
  }
  // 20: the first of the four pre-warning cells that an earlier row holds.
  int64_t presa = punti.indice;
  for (int64_t n = punti.indice; n >= punti.indice - 3; --n) {
    if (riga_occupante(r, indice, n)) {
      presa = n;
      break;
    }
  }
  r.errore(r.valore(riga, 4), 20,
           "the four pre-warning cells of the slowdown at " + metri(p) + " (cells " +
               std::to_string(punti.indice - 3) + " to " + std::to_string(punti.indice) +
               ") are not free: cell " + std::to_string(presa) + " holds " +
               occupante(r, indice, presa) +
               "; the start, end and warning points stay written. Set f_ta to 0 or move the "
               "slowdown");
}

void errore_stazione(raccolta_diagnosi& r, const riga_letta& riga, int32_t codice) {
  const int32_t numero = numero_stazione(r, indice_di(r, riga));
  const voce& v = r.m().riga(numero);
  const int64_t p = r.numero(riga, 0);
  const std::string stazione = "station " + std::to_string(numero);
  switch (codice) {
    case 8:
      r.errore(r.valore(riga, 0), 8,
               "the position of " + stazione + ", " + metri(p) +
                   ", is not a multiple of 50 m: the station's cells are counted from it. "
                   "Write " +
                   metri(p - p % kMetriCella) + " or " + metri(p - p % kMetriCella + kMetriCella));
      return;
    case 9: {
      const int64_t l = r.numero(riga, 2);
      r.errore(r.valore(riga, 2), 9,
               "the platform length of " + stazione + ", " + metri(l) +
                   ", is not a multiple of 100 m. Write " + metri(l - l % 100) + " or " +
                   metri(l - l % 100 + 100));
      return;
    }
    case 22: {
      const voce& prima = r.m().riga(numero - 1);
      const std::vector<riga_letta>& righe = r.lettura().righe();
      std::string dove_prima;
      for (std::size_t n = indice_di(r, riga); n-- > 0;) {
        if (righe[n].tipo == tipo_riga::stazione) {
          dove_prima = " (" + r.dove(righe[n], riga.testo) + ")";
          break;
        }
      }
      r.errore(r.valore(riga, 0), 22,
               "the zone of " + stazione + " " + citato(v.nome) + " starts at " + metri(v.inizio) +
                   ", less than " + metri(kDistanzaStazioni) + " after the zone of station " +
                   std::to_string(numero - 1) + " " + citato(prima.nome) + dove_prima +
                   " ends at " + metri(prima.fine) +
                   ". Move the stations apart or shorten a platform");
      return;
    }
    case 24:
      r.errore(r.valore(riga, 0), 24,
               "the stop mark of " + stazione + " " + citato(v.nome) + " would fall on cell " +
                   std::to_string(v.fine / kMetriCella - 1) + " (its zone ends at " +
                   metri(v.fine) +
                   "): a stopping station's zone must end beyond 100 m. Move the station "
                   "further along the line or lengthen its platform");
      return;
    case 10:
      r.errore(r.valore(riga, 0), 10,
               stazione + " " + citato(v.nome) +
                   " does not fit the table: stations and board texts share its rows, and with " +
                   std::to_string(std::max<int64_t>(0, 79 - numero)) +
                   " board texts in the line text there is room for " +
                   std::to_string(std::max<int64_t>(0, numero - 1)) + " stations (" +
                   std::to_string(kRigheStazioniMassime) +
                   " without board texts). Remove stations or board texts");
      return;
    default:
      break;
  }
}

void errore_curva(raccolta_diagnosi& r, const riga_letta& riga) {
  const std::string chiave = minuscolo_1252(r.testo_campo(riga.testo, riga.chiave));
  if (!curvatura_classe(chiave)) {
    r.errore(r.chiave(riga), 103,
             "the curve keyword " + citato(chiave) +
                 " has no class digit 1 to 6: write the side and the class, as in 'curvas4' "
                 "(left, 1000 m radius) or 'curvad2' (right, 5000 m radius)");
    return;
  }
  r.errore(r.valore(riga, 1), 103,
           "this curve carries the track plan to metre 1000000, the most the plan holds. "
           "Shorten the route or the curve");
}

void errore_in_riga(raccolta_diagnosi& r, const riga_letta& riga, int32_t codice,
                    const istantanea& prima) {
  const int64_t p = r.numero(riga, 0);
  switch (codice) {
    case 1:
      r.errore(r.valore(riga, 0), 1,
               "the route length " + metri(p) +
                   " is above 1000000 m, the longest route the model holds. Shorten the route");
      return;
    case 3:
    case 4: {
      const std::size_t n = codice == 3 ? 0 : 1;
      const int64_t v = r.numero(riga, n);
      r.errore(r.valore(riga, n), codice,
               std::string("the signal repetition ") + (codice == 3 ? "start" : "end") + " " +
                   metri(v) + " is not a multiple of 50 m. Write " + metri(v - v % kMetriCella) +
                   " or " + metri(v - v % kMetriCella + kMetriCella));
      return;
    }
    case 5:
      r.errore(r.chiave(riga), 5,
               "the signal repetition keyword names neither 4 nor 9 codes: write "
               "'ripetizione segnali 4 codici' or 'ripetizione segnali 9 codici'");
      return;
    case 15:
      errore_oltre(r, riga, prima);
      return;
    case 103:
      errore_curva(r, riga);
      return;
    case 6:
    case 7:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
      errore_cella_occupata(r, riga, codice);
      return;
    case 8:
    case 9:
    case 22:
    case 24:
      errore_stazione(r, riga, codice);
      return;
    case 10:
      if (riga.tipo == tipo_riga::stazione) {
        errore_stazione(r, riga, codice);
      } else if (riga.tipo == tipo_riga::montagna) {
        r.errore(r.chiave(riga), 10,
                 "an 81st montagna row: the route keeps at most 80 montagna stretches. Join "
                 "neighbouring stretches");
      } else {
        r.errore(r.chiave(riga), 10,
                 "an 81st indication board: board texts take the table rows 80 down to 1, so "
                 "there is room for 80. Remove boards");
      }
      return;
    default:
      r.errore(r.chiave(riga), codice,
               "the compile records code " + std::to_string(codice) + " (" +
                   std::string(significato_codice(codice)) + ") at this row");
      return;
  }
}

// 2: found after the train text, from the chainage rows as read (a later row
// of one kind overwrites an earlier one).
void errore_progressive(raccolta_diagnosi& r) {
  bool trovato = false;
  const std::vector<riga_letta>& righe = r.lettura().righe();
  for (tipo_riga tipo :
       {tipo_riga::progressiva_uno, tipo_riga::progressiva_due, tipo_riga::progressiva_tre}) {
    const auto ultima = std::find_if(righe.rbegin(), righe.rend(),
                                     [tipo](const riga_letta& x) { return x.tipo == tipo; });
    if (ultima == righe.rend()) continue;
    for (std::size_t n = 0; n < 2; ++n) {
      const int64_t v = r.numero(*ultima, n);
      if (v % kMetriCella == 0) continue;
      trovato = true;
      r.errore(r.valore(*ultima, n), 2,
               std::string("the chainage ") + (n == 0 ? "beginning " : "offset ") + metri(v) +
                   " is not a multiple of 50 m (the compile finds it once both texts are "
                   "read). Write " +
                   metri(v - v % kMetriCella) + " or " + metri(v - v % kMetriCella + kMetriCella));
    }
  }
  if (!trovato) {
    r.errore(r.intero(testo_letto::linea), 2,
             "a kilometre reference value of the chainage rows is not a multiple of 50 m");
  }
}

// The row that was being read when an event came: the last one begun before it.
const riga_letta* riga_prima_di(const raccolta_diagnosi& r, std::size_t evento) {
  const riga_letta* attiva = nullptr;
  for (const riga_letta& riga : r.lettura().righe()) {
    if (riga.evento >= evento) break;
    attiva = &riga;
  }
  return attiva;
}

// The first speed row whose limit cannot be kept in a byte once divided by
// 5: the fill that uses it fails.
const riga_letta* velocita_fuori_byte(const raccolta_diagnosi& r) {
  for (const riga_letta& riga : r.lettura().righe()) {
    if (riga.tipo != tipo_riga::velocita || !riga.ha_valore(1)) continue;
    const double quinti = arrotonda_pari(static_cast<double>(r.numero(riga, 1)) / 5.0);
    if (quinti < 0 || quinti > 255) return &riga;
  }
  return nullptr;
}

bool ha_riga(const raccolta_diagnosi& r, tipo_riga tipo) {
  const std::vector<riga_letta>& righe = r.lettura().righe();
  return std::any_of(righe.begin(), righe.end(),
                     [tipo](const riga_letta& x) { return x.tipo == tipo; });
}

// The end of the field a failure offset points at, as the stream would read it.
std::size_t fine_token(std::string_view byte, std::size_t inizio) {
  std::size_t fine = inizio;
  while (fine < byte.size() && byte[fine] != ',' && byte[fine] != ' ' && byte[fine] != '\t' &&
         byte[fine] != '\r' && byte[fine] != '\n') {
    ++fine;
  }
  return fine;
}

// 25: a read failure, at the field it concerns.
void errore_fallita(raccolta_diagnosi& r, const fallimento_lettura& f) {
  const testo_letto t = f.testo;
  const std::string testo = "the " + testo_di(t) + " text";
  if (!r.esiste(t)) {
    r.errore(r.intero(t), 25, testo + " does not exist: the compile records a read failure");
    return;
  }
  const std::string_view byte = r.byte(t);
  if (byte.empty()) {
    r.errore(r.intero(t), 25, testo + " is empty: the compile records a read failure");
    return;
  }
  const riga_letta* attiva = riga_prima_di(r, f.eventi);
  if (attiva != nullptr && attiva->testo != t) attiva = nullptr;
  const bool fine_testo = f.posizione >= byte.size();
  if (fine_testo && attiva != nullptr && attiva->evento + 1 == f.eventi) {
    r.errore(r.chiave(*attiva), 25,
             testo + " ends inside this " + std::string(nome_riga(attiva->tipo)) + ": it has " +
                 std::to_string(attiva->n_valori()) + " of its " +
                 std::to_string(valori_attesi(attiva->tipo)) + " values. Complete the row");
    return;
  }
  if (t == testo_letto::linea && !ha_riga(r, tipo_riga::lunghezza)) {
    const std::vector<chiave_letta>& chiavi = r.lettura().chiavi();
    const auto fine = std::find_if(chiavi.begin(), chiavi.end(),
                                   [](const chiave_letta& c) { return c.fine_generale; });
    r.errore(fine != chiavi.end() ? r.campo(t, fine->campo) : r.intero(t), 25,
             "the general section has no 'lunghezza percorso' row: without the route length "
             "there are no cells for the rows. Add 'lunghezza percorso, L' after [generale]");
    return;
  }
  if (f.motivo.find("speed limit") != std::string::npos) {
    if (const riga_letta* v = velocita_fuori_byte(r)) {
      r.errore(r.valore(*v, 1), 25,
               "the speed limit " + std::to_string(r.numero(*v, 1)) +
                   " km/h does not fit its cell once divided by 5 (at most 1277 km/h)");
      return;
    }
  }
  if (fine_testo) {
    r.errore(r.in_byte(t, byte.size(), byte.size()), 25,
             testo + " ends where one more field should follow");
    return;
  }
  const std::vector<campo_letto>& campi = r.lettura().campi(t);
  // The reader quotes the field as it stands in the text: Windows-1252.
  std::string messaggio = "read failure: " + utf8_da_1252(f.motivo);
  if (f.posizione == 0 && !campi.empty()) {
    // Sums of the row's values carry no offset of their own: the row's last
    // field stands for them.
    const campo_letto& ultimo = campi.back();
    if (attiva != nullptr) messaggio += ", in the " + std::string(nome_riga(attiva->tipo));
    r.errore(r.in_byte(t, ultimo.inizio, ultimo.fine), 25, messaggio);
    return;
  }
  // The failing field: one the stream has already told (a text too long for
  // its slot), or the next one (a number beyond its slot).
  std::size_t indice = campi.size();
  std::size_t fine = fine_token(byte, f.posizione);
  if (!campi.empty() && campi.back().inizio == f.posizione) {
    indice = campi.size() - 1;
    fine = campi.back().fine;
  }
  if (attiva != nullptr && indice >= attiva->primo_valore) {
    const std::size_t n = indice - attiva->primo_valore;
    if (n < valori_attesi(attiva->tipo)) {
      messaggio += ", as the " + std::string(nome_valore(attiva->tipo, n)) + " of the " +
                   std::string(nome_riga(attiva->tipo));
    }
  }
  r.errore(r.in_byte(t, f.posizione, fine), 25, messaggio);
}

}  // namespace

std::vector<oggetto_in_cella> oggetti_di(const raccolta_diagnosi& r, const riga_letta& riga,
                                         int32_t numero_stazione) {
  std::vector<oggetto_in_cella> oggetti;
  const int64_t p = r.numero(riga, 0);
  switch (riga.tipo) {
    case tipo_riga::indicatori:
      oggetti.push_back({cella_oggetto(static_cast<int32_t>(p)), "speed board"});
      break;
    case tipo_riga::cartello:
      oggetti.push_back({cella_oggetto(static_cast<int32_t>(p)), "indication board"});
      break;
    case tipo_riga::segnale:
      oggetti.push_back({cella_punto(p), "signal"});
      break;
    case tipo_riga::abbattimento:
      oggetti.push_back({cella_tratto(static_cast<int32_t>(p)), "abbattimento code point"});
      break;
    case tipo_riga::rallentamento: {
      if (!riga.ha_valore(5)) break;
      const punti_rallentamento punti = punti_di(rallentamento_di(r, riga));
      if (punti.ha_avviso) oggetti.push_back({punti.avviso, "warning board of the slowdown"});
      oggetti.push_back({punti.inizio, "start of the slowdown"});
      oggetti.push_back({punti.fine, "end of the slowdown"});
      if (punti.ha_preavvisi) {
        for (int64_t n = punti.indice - 3; n <= punti.indice; ++n) {
          oggetti.push_back({n, "pre-warning cell of the slowdown"});
        }
      }
      break;
    }
    case tipo_riga::stazione: {
      if (!riga.ha_valore(16) || numero_stazione < 1 || numero_stazione >= kRigheTabella) break;
      const voce& v = r.m().riga(numero_stazione);
      if (v.tipo < kSenzaMarche)
        oggetti.push_back({v.fine / kMetriCella - 1, "stop mark of the station"});
      break;
    }
    default:
      break;
  }
  return oggetti;
}

scrittori_cella1 errori_lettura(raccolta_diagnosi& r, const istantanea& fine_lettura) {
  const std::vector<evento_lettura>& eventi = r.lettura().eventi();
  const std::vector<riga_letta>& righe = r.lettura().righe();
  scrittori_cella1 scrittori;
  istantanea prima;
  std::optional<std::size_t> attiva;
  std::size_t prossima = 0;
  const std::optional<fallimento_lettura>& fallita = r.lettura().fallimento();

  auto confronta = [&](const istantanea& ora) {
    if (attiva && ora.dato1_cella1 && !prima.dato1_cella1 && !scrittori.dato1) {
      scrittori.dato1 = attiva;
    }
    if (attiva && ora.dato2_cella1 && !prima.dato2_cella1 && !scrittori.dato2) {
      scrittori.dato2 = attiva;
    }
    const bool cambiato =
        ora.codice_errore != prima.codice_errore || ora.posizione_errore != prima.posizione_errore;
    if (cambiato && ora.codice_errore != 0) {
      if (ora.codice_errore == 101) {
        r.errore(r.intero(testo_letto::linea), 101,
                 "there is no line text (the file does not exist): nothing is compiled");
      } else if (ora.codice_errore == 102) {
        r.errore(r.intero(testo_letto::linea), 102,
                 "no field of the line text holds [generale], or nothing follows it: the text "
                 "must begin with the line [generale] and the general rows after it");
      } else if (ora.codice_errore == 2) {
        errore_progressive(r);
      } else if (attiva) {
        errore_in_riga(r, righe[*attiva], ora.codice_errore, prima);
      } else {
        r.errore(r.intero(testo_letto::linea), ora.codice_errore,
                 descrivi_errore(ora.codice_errore, ora.posizione_errore));
      }
    }
    prima = ora;
  };

  for (std::size_t n = 0; n < eventi.size(); ++n) {
    confronta(eventi[n].prima);
    if (eventi[n].tipo == tipo_evento::riga && prossima < righe.size()) attiva = prossima++;
  }
  if (fallita) {
    istantanea senza_codice = fine_lettura;
    senza_codice.codice_errore = prima.codice_errore;
    senza_codice.posizione_errore = prima.posizione_errore;
    confronta(senza_codice);
    errore_fallita(r, *fallita);
  } else {
    confronta(fine_lettura);
  }
  return scrittori;
}

void errore_completamento(raccolta_diagnosi& r, int32_t codice, int32_t posizione) {
  const int64_t cella = posizione / kMetriCella;
  const std::vector<riga_letta>& righe = r.lettura().righe();
  const riga_letta* trovata = nullptr;
  const riga_letta* segnale = nullptr;
  punti_rallentamento punti;
  for (const riga_letta& riga : righe) {
    if (riga.tipo != tipo_riga::rallentamento || !riga.ha_valore(5)) continue;
    const punti_rallentamento p = punti_di(rallentamento_di(r, riga));
    const bool riguarda =
        (codice == 11 && p.ha_avviso && p.avviso - cella >= 1 && p.avviso - cella <= 20) ||
        (codice == 12 && p.inizio == cella) ||
        (codice == 13 && cella >= p.inizio && cella <= p.fine + 1);
    if (riguarda) {
      trovata = &riga;
      punti = p;
      break;
    }
  }
  for (const riga_letta& riga : righe) {
    if (riga.tipo == tipo_riga::segnale && cella_punto(r.numero(riga, 0)) == cella) segnale = &riga;
  }
  if (trovata == nullptr) {
    r.errore(r.intero(testo_letto::treno), codice, descrivi_errore(codice, posizione));
    return;
  }
  const std::string metri_x = metri(r.numero(*trovata, 0));
  std::string messaggio;
  if (codice == 11) {
    const std::string il_segnale = segnale != nullptr
                                       ? "the signal at " + metri(r.numero(*segnale, 0)) + " (" +
                                             r.dove(*segnale, testo_letto::treno) + ", cell " +
                                             std::to_string(cella) + ")"
                                       : "the signal on cell " + std::to_string(cella);
    messaggio = il_segnale + " stands within 1000 m before the warning board of the slowdown at " +
                metri_x +
                ", and both cells before the signal are taken by objects other than code "
                "points: the completion walk has no cell for the signal's code point. Free "
                "cell " +
                std::to_string(cella - 1) + " or " + std::to_string(cella - 2) +
                ", or move the signal";
  } else if (codice == 12) {
    messaggio = "before the slowdown at " + metri_x + " (start on cell " + std::to_string(cella) +
                ") an approach window has no free cell for the code point the completion walk "
                "lays there (cells " +
                std::to_string(cella - 7) + " to " + std::to_string(cella - 5) + ", " +
                std::to_string(cella - 13) + " to " + std::to_string(cella - 11) + ", " +
                std::to_string(cella - 20) + " to " + std::to_string(cella - 18) +
                "). Move the objects there or the slowdown";
  } else if (cella == punti.fine) {
    messaggio = "after the end of the slowdown at " + metri_x + " (cell " + std::to_string(cella) +
                ") both cells before the first signal are taken: the completion walk has no "
                "cell for its code point. Move the signal or the objects before it";
  } else {
    messaggio = "inside the slowdown at " + metri_x +
                ", the cell due for a code point every 400 m and both its neighbours are taken "
                "(around " +
                cella_e_metri(cella) + "). Move the objects there";
  }
  r.errore(r.valore(*trovata, 0), codice, messaggio);
}

void errore_riservato(raccolta_diagnosi& r, const std::string& numero,
                      const scrittori_cella1& scrittori, bool dal_completamento) {
  const int32_t codice = numero == "1250" ? 1250 : 1251;
  const std::string esito =
      "; the program stops with \" Errore n. " + numero + "\" and writes no compiled file";
  const std::vector<riga_letta>& righe = r.lettura().righe();
  if (codice == 1250 && dal_completamento) {
    for (const riga_letta& riga : righe) {
      if (riga.tipo != tipo_riga::rallentamento || !riga.ha_valore(5)) continue;
      const punti_rallentamento p = punti_di(rallentamento_di(r, riga));
      if ((p.ha_avviso && p.avviso <= 23) || p.inizio <= 8) {
        r.errore(r.valore(riga, 0), codice,
                 "for this slowdown the completion walk lays a code point on cell 1, which the "
                 "scenario's markers keep for themselves" +
                     esito + ". Move the slowdown, or the signals near the start, further along");
        return;
      }
    }
  }
  const std::optional<std::size_t> scrittore = codice == 1250 ? scrittori.dato1 : scrittori.dato2;
  if (scrittore && *scrittore < righe.size()) {
    const riga_letta& riga = righe[*scrittore];
    r.errore(r.valore(riga, 0), codice,
             "the " + std::string(nome_riga(riga.tipo)) + " at " + metri(r.numero(riga, 0)) +
                 " puts a value into cell 1 (metres 50 to 99), which the scenario's markers keep "
                 "for themselves" +
                 esito + ". Move the row further along");
    return;
  }
  r.errore(r.intero(testo_letto::treno), codice,
           "cell 1 (metres 50 to 99), which the scenario's markers keep for themselves, holds a "
           "value" +
               esito);
}

}  // namespace scenario
