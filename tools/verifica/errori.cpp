// The errors of check: every code the compile recorded, at the row and the
// value whose check set it, in words that say what is wrong, where, and how
// to mend it. What blocked a check (the object that held a cell, the cells
// the completion walk searched) comes from the compile's own account of it;
// nothing here works a rule out again.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/codici_errore.h"
#include "base/codifica.h"
#include "compiler/lettore_linea.h"
#include "compiler/lettore_treno.h"
#include "compiler/record.h"
#include "output/codici_gara.h"
#include "tools/ispezione/significato.h"
#include "tools/verifica/interno.h"

namespace scenario {
namespace {

std::string citato(std::string_view cp1252) { return "'" + utf8_da_1252(cp1252) + "'"; }

std::string testo_di(testo_letto t) { return t == testo_letto::linea ? "line" : "train"; }

// "cells 28 to 31 (1400 to 1599 m)".
std::string celle_e_metri(int64_t da, int64_t a) {
  return "cells " + std::to_string(da) + " to " + std::to_string(a) + " (" +
         std::to_string(da * kMetriCella) + " to " +
         std::to_string(a * kMetriCella + kMetriCella - 1) + " m)";
}

std::string cella_e_metri(int64_t cella) {
  return "cell " + std::to_string(cella) + " (" + std::to_string(cella * kMetriCella) + " to " +
         std::to_string(cella * kMetriCella + kMetriCella - 1) + " m)";
}

// "Write 500 m or 550 m": the two multiples of `passo` around `v`.
std::string multipli_vicini(int64_t v, int64_t passo) {
  const int64_t sotto = v - ((v % passo) + passo) % passo;
  return "Write " + metri(sotto) + " or " + metri(sotto + passo);
}

std::string_view oggetto(uint8_t evento) {
  const descrizione_evento* e = evento_di(evento);
  return e != nullptr ? e->oggetto : "object";
}

// The number of the station a station row fills: its place among the
// station rows that were stored before it, and one.
int32_t numero_stazione(const raccolta_diagnosi& r, std::size_t indice) {
  return r.indici().numero_stazione[indice];
}

// The table row a station row filled: as it was when its code was recorded,
// else as the model holds it.
const voce& voce_stazione(const raccolta_diagnosi& r, const causa_codice& c, int32_t numero) {
  return c.stazione ? *c.stazione : r.m().riga(numero);
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

// The last object laid on `cella` among the first `fino_a` laid (of kind
// `evento`, when given).
const posa_letta* ultima_posa(const raccolta_diagnosi& r, int64_t cella, std::size_t fino_a,
                              std::optional<uint8_t> evento = std::nullopt) {
  const std::vector<posa_letta>& posati = r.lettura().posati();
  const std::vector<std::pair<int64_t, std::size_t>>& per_cella = r.indici().posati_per_cella;
  auto n = std::lower_bound(per_cella.begin(), per_cella.end(), std::pair{cella, fino_a});
  while (n != per_cella.begin()) {
    --n;
    if (n->first != cella) break;
    const posa_letta& p = posati[n->second];
    if (!evento || p.evento == *evento) return &p;
  }
  return nullptr;
}

// The row that laid the object on `cella`, when a row did.
const riga_letta* riga_della_posa(const raccolta_diagnosi& r, const posa_letta* p) {
  if (p == nullptr || !p->riga) return nullptr;
  return &r.lettura().righe()[*p->riga];
}

// Who holds `cella`: "the signal of line 41", "a code point of the completion
// walk", or the kind of object the cell holds.
std::string occupante(const raccolta_diagnosi& r, int64_t cella, std::optional<uint8_t> evento,
                      std::size_t fino_a, testo_letto da) {
  const posa_letta* p = ultima_posa(r, cella, fino_a, evento);
  if (const riga_letta* riga = riga_della_posa(r, p)) {
    return "the " + std::string(oggetto(p->evento)) + " of " + r.dove(*riga, da);
  }
  if (p != nullptr) return "a " + std::string(oggetto(p->evento)) + " of the completion walk";
  if (evento) return "an object (" + std::string(nome_evento(*evento)) + ")";
  return "an object";
}

// A note at the row that laid the object on `cella`, when a row did: where
// the author finds what blocks the cell.
std::vector<raccolta_diagnosi::nota_correlata> nota_occupante(const raccolta_diagnosi& r,
                                                              int64_t cella,
                                                              std::optional<uint8_t> evento,
                                                              std::size_t fino_a) {
  const posa_letta* p = ultima_posa(r, cella, fino_a, evento);
  const riga_letta* riga = riga_della_posa(r, p);
  if (riga == nullptr) return {};
  return {{r.valore(*riga, 0), "the " + std::string(oggetto(p->evento)) + " on " +
                                   cella_e_metri(cella) + " is laid by this row"}};
}

// 15: the row's position check, or the extent check that follows it.
void errore_oltre(raccolta_diagnosi& r, const riga_letta& riga, const causa_codice& c) {
  const modello& m = r.m();
  const int64_t p = r.numero(riga, 0);
  const std::string resto = "the rest of the " + testo_di(riga.testo) + " text is not read";
  const std::string striscia = "the strip (" + celle_e_metri(0, m.ultima_cella) + ")";
  const std::size_t valore = c.valore.value_or(0);
  if (c.ereditato) {
    r.errore(r.valore(riga, 0), 15,
             "the line text left code 15 on record, so the first signal or slowdown row ends "
             "the reading of the train text here with this row's position; nothing after it is "
             "read. Mend the line text's code 15 first");
    return;
  }
  if (riga.tipo == tipo_riga::curva && c.limite) {
    r.errore(r.valore(riga, valore), 15,
             "the curve ends at " + metri(p + r.numero(riga, 1)) + " (start + length), beyond " +
                 metri(*c.limite) +
                 ", the last plan point a curve may reach (route length + 7000 m - 2); " + resto +
                 ". Shorten the curve");
    return;
  }
  if (c.limite) {
    const bool stazione = riga.tipo == tipo_riga::stazione;
    r.errore(r.valore(riga, valore), 15,
             "the " + std::string(nome_riga(riga.tipo)) + " at " + metri(p) +
                 " lies beyond the cell strip: with a route of " +
                 metri(m.riga(kRigaDatiGenerali).fine) + " the last cell is " +
                 std::to_string(m.ultima_cella) + ", so a " + (stazione ? "station" : "row") +
                 " position may be at most " + metri(*c.limite) + "; " + resto +
                 ". Move the row or lengthen the route");
    return;
  }
  switch (riga.tipo) {
    case tipo_riga::montagna:
      r.errore(r.valore(riga, valore), 15,
               "the montagna stretch covers " +
                   celle_e_metri(cella_tratto(static_cast<int32_t>(p)),
                                 cella_fine_tratto(static_cast<int32_t>(r.numero(riga, 1)))) +
                   ", outside " + striscia + "; " + resto + ". Keep its end within the route");
      return;
    case tipo_riga::stazione: {
      const voce& v = voce_stazione(
          r, c, numero_stazione(r, static_cast<std::size_t>(&riga - &r.lettura().righe()[0])));
      r.errore(r.valore(riga, valore), 15,
               "the stop mark of this station would fall on " + cella_e_metri(c.cella.value_or(0)) +
                   ", as its zone ends at " + metri(v.fine) + ", beyond " + striscia + "; " +
                   resto + ". Move the station back or shorten its platform");
      return;
    }
    default:
      r.errore(r.valore(riga, valore), 15,
               "the " + std::string(nome_riga(riga.tipo)) + " at " + metri(p) +
                   " puts an object outside " + striscia + "; " + resto +
                   ". Keep the row's objects within the route");
      return;
  }
}

// What of a row wanted the cell (6, 7, 16..21).
std::string chi_vuole(const raccolta_diagnosi& r, const riga_letta& riga, int32_t codice) {
  const int64_t p = r.numero(riga, 0);
  switch (codice) {
    case 17:
      return "the warning board of the slowdown at " + metri(p) + " (" + metri(kDistanzaAvviso) +
             " before it)";
    case 18:
      return "the start of the slowdown at " + metri(p);
    case 19:
      return "the end of the slowdown at " + metri(p) +
             " (x + l = " + metri(p + r.numero(riga, 2)) + ")";
    default:
      return "the " + std::string(nome_riga(riga.tipo)) + " at " + metri(p);
  }
}

// A cell a row wanted and found taken (6, 7, 16..21).
void errore_cella_occupata(raccolta_diagnosi& r, const riga_letta& riga, const codice_letto& k) {
  const causa_codice& c = k.causa;
  const int64_t cella = c.cella.value_or(0);
  const std::string chi = occupante(r, cella, c.occupante, k.posati_prima, riga.testo);
  if (c.codice == 20) {
    const punti_rallentamento punti = punti_di(rallentamento_di(r, riga));
    r.errore(r.valore(riga, c.valore.value_or(0)), 20,
             "the four pre-warning cells of the slowdown at " + metri(r.numero(riga, 0)) + " (" +
                 celle_e_metri(punti.indice - 3, punti.indice) + ") are not free: cell " +
                 std::to_string(cella) + " holds " + chi +
                 "; the start, end and warning points stay written. Set f_ta to 0 or move the "
                 "slowdown",
             nota_occupante(r, cella, c.occupante, k.posati_prima));
    return;
  }
  r.errore(r.valore(riga, c.valore.value_or(0)), c.codice,
           chi_vuole(r, riga, c.codice) + " lands on " + cella_e_metri(cella) + ", which " + chi +
               " already holds: one cell takes one object. Move one of them by 50 m or more",
           nota_occupante(r, cella, c.occupante, k.posati_prima));
}

void errore_stazione(raccolta_diagnosi& r, const riga_letta& riga, const causa_codice& c) {
  const std::size_t indice = static_cast<std::size_t>(&riga - &r.lettura().righe()[0]);
  const int32_t numero = numero_stazione(r, indice);
  const voce& v = voce_stazione(r, c, numero);
  const int64_t p = r.numero(riga, 0);
  // The station by its name once read; before it, as "this station".
  const std::string stazione = riga.ha_valore(16) ? "station " + citato(v.nome) : "this station";
  switch (c.codice) {
    case 8:
      r.errore(r.valore(riga, 0), 8,
               "the position of " + stazione + ", " + metri(p) +
                   ", is not a multiple of 50 m: the station's cells are counted from it. " +
                   multipli_vicini(p, kMetriCella));
      return;
    case 9: {
      const int64_t l = r.numero(riga, 2);
      r.errore(r.valore(riga, 2), 9,
               "the platform length of " + stazione + ", " + metri(l) + ", is not a multiple of " +
                   metri(kPassoBanchina) + ". " + multipli_vicini(l, kPassoBanchina));
      return;
    }
    case 22: {
      const voce& prima = r.m().riga(numero - 1);
      const std::vector<std::size_t>& stazioni = r.indici().riga_della_stazione;
      std::string dove_prima;
      if (numero >= 2 && static_cast<std::size_t>(numero - 1) < stazioni.size()) {
        const riga_letta& riga_prima =
            r.lettura().righe()[stazioni[static_cast<std::size_t>(numero - 1)]];
        dove_prima = " (" + r.dove(riga_prima, riga.testo) + ")";
      }
      r.errore(r.valore(riga, 0), 22,
               "the zone of " + stazione + " starts at " + metri(v.inizio) + ", less than " +
                   metri(kDistanzaStazioni) + " after the zone of station " + citato(prima.nome) +
                   dove_prima + " ends at " + metri(c.limite.value_or(prima.fine)) +
                   ". Move the stations apart or shorten a platform");
      return;
    }
    case 24:
      r.errore(r.valore(riga, 0), 24,
               "the stop mark of " + stazione + " would fall on " +
                   cella_e_metri(c.cella.value_or(0)) + ", as its zone ends at " + metri(v.fine) +
                   ": a stopping station's zone must end beyond 100 m. Move the station "
                   "further along the line or lengthen its platform");
      return;
    case 10: {
      const int32_t senza_cartelli = kRigaPrimoCartello - kRigaPrimaStazione - 1;
      r.errore(r.valore(riga, 0), 10,
               "station " + std::to_string(numero) + ", " + citato(v.nome) +
                   ", does not fit the table: stations and board texts share its rows, and with " +
                   std::to_string(std::max<int64_t>(0, senza_cartelli + 1 - numero)) +
                   " board texts in the line text there is room for " +
                   std::to_string(std::max<int64_t>(0, numero - 1)) + " stations (" +
                   std::to_string(senza_cartelli) +
                   " without board texts). Remove stations or board texts");
      return;
    }
    default:
      return;
  }
}

void errore_curva(raccolta_diagnosi& r, const riga_letta& riga, const causa_codice& c) {
  if (!c.valore) {
    r.errore(r.chiave(riga), 103,
             "the curve keyword " + citato(minuscolo_1252(r.testo_campo(riga.testo, riga.chiave))) +
                 " has no class digit 1 to 6: write the side and the class, as in 'curvas4' "
                 "(left, 1000 m radius) or 'curvad2' (right, 5000 m radius)");
    return;
  }
  r.errore(r.valore(riga, *c.valore), 103,
           "this curve carries the track plan to metre " + std::to_string(c.limite.value_or(0)) +
               ", the most the plan holds. Shorten the route or the curve");
}

void errore_in_riga(raccolta_diagnosi& r, const riga_letta& riga, const codice_letto& k) {
  const causa_codice& c = k.causa;
  const int64_t p = r.numero(riga, 0);
  switch (c.codice) {
    case 1:
      r.errore(r.valore(riga, 0), 1,
               "the route length " + metri(p) + " is above " + metri(kLunghezzaMassima) +
                   ", the longest route the model holds. Shorten the route");
      return;
    case 3:
    case 4: {
      const std::size_t n = c.valore.value_or(0);
      const int64_t v = r.numero(riga, n);
      r.errore(r.valore(riga, n), c.codice,
               std::string("the signal repetition ") + (c.codice == 3 ? "start" : "end") + " " +
                   metri(v) + " is not a multiple of 50 m. " + multipli_vicini(v, kMetriCella));
      return;
    }
    case 5:
      r.errore(r.chiave(riga), 5,
               "the signal repetition keyword names neither 4 nor 9 codes: write "
               "'ripetizione segnali 4 codici' or 'ripetizione segnali 9 codici'");
      return;
    case 15:
      errore_oltre(r, riga, c);
      return;
    case 103:
      errore_curva(r, riga, c);
      return;
    case 6:
    case 7:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
      errore_cella_occupata(r, riga, k);
      return;
    case 8:
    case 9:
    case 22:
    case 24:
      errore_stazione(r, riga, c);
      return;
    case 10:
      if (riga.tipo == tipo_riga::stazione) {
        errore_stazione(r, riga, c);
      } else if (riga.tipo == tipo_riga::montagna) {
        r.errore(r.chiave(riga), 10,
                 "an 81st montagna row: the route keeps at most " +
                     std::to_string(kMontagneMassime) +
                     " montagna stretches. Join neighbouring stretches");
      } else {
        r.errore(r.chiave(riga), 10,
                 "an 81st indication board: board texts take the table rows " +
                     std::to_string(kRigaPrimoCartello) + " down to 1, so there is room for " +
                     std::to_string(kRigaPrimoCartello) + ". Remove boards");
      }
      return;
    default:
      r.errore(r.chiave(riga), c.codice,
               "the compile records code " + std::to_string(c.codice) + " (" +
                   std::string(significato_codice(c.codice)) + ") at this row");
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
                   "read). " +
                   multipli_vicini(v, kMetriCella));
    }
  }
  if (!trovato) {
    r.errore(r.intero(testo_letto::linea), 2,
             "a kilometre reference value of the chainage rows is not a multiple of 50 m");
  }
}

// A code recorded while the texts were read.
void errore_di_lettura(raccolta_diagnosi& r, const codice_letto& k) {
  const causa_codice& c = k.causa;
  switch (c.codice) {
    case 101:
      r.errore(r.intero(testo_letto::linea), 101,
               "there is no line text (the file does not exist): nothing is compiled");
      return;
    case 102:
      r.errore(r.intero(testo_letto::linea), 102,
               "no field of the line text holds [generale], or nothing follows it: the text "
               "must begin with the line [generale] and the general rows after it");
      return;
    case 2:
      errore_progressive(r);
      return;
    default:
      break;
  }
  if (k.riga) {
    errore_in_riga(r, r.lettura().righe()[*k.riga], k);
    return;
  }
  r.errore(r.intero(k.testo), c.codice,
           descrivi_errore(c.codice, c.posizione.value_or(r.m().posizione_errore)));
}

// The first row begun at or after an event.
std::vector<riga_letta>::const_iterator prima_riga_da(const raccolta_diagnosi& r,
                                                      std::size_t evento) {
  const std::vector<riga_letta>& righe = r.lettura().righe();
  return std::partition_point(righe.begin(), righe.end(),
                              [evento](const riga_letta& x) { return x.evento < evento; });
}

// The row that was being read when an event came: the last one begun before it.
const riga_letta* riga_prima_di(const raccolta_diagnosi& r, std::size_t evento) {
  const auto dopo = prima_riga_da(r, evento);
  return dopo == r.lettura().righe().begin() ? nullptr : &*(dopo - 1);
}

// The first speed row from event `da` on whose limit cannot be kept in a
// byte once divided by 5: the fill that uses it fails.
const riga_letta* velocita_fuori_byte(const raccolta_diagnosi& r, std::size_t da) {
  for (auto n = prima_riga_da(r, da); n != r.lettura().righe().end(); ++n) {
    const riga_letta& riga = *n;
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

// 25: a read failure, at the field it concerns. `da`: the event of the
// failure before it (0 for the first).
void errore_fallita(raccolta_diagnosi& r, const fallimento_lettura& f, std::size_t da) {
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
    if (const riga_letta* v = velocita_fuori_byte(r, da)) {
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
  // The fields read before the failure.
  const std::span<const campo_letto> campi(r.lettura().campi(t).data(), f.campi);
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

// The slowdown row that laid the object on `cella` (its warning board or start).
const riga_letta* rallentamento_su(const raccolta_diagnosi& r, std::optional<int64_t> cella) {
  if (!cella) return nullptr;
  const posa_letta* p = ultima_posa(r, *cella, r.lettura().posati().size());
  const riga_letta* riga = riga_della_posa(r, p);
  return riga != nullptr && riga->tipo == tipo_riga::rallentamento ? riga : nullptr;
}

// "cells 31 (1550 to 1599 m) and 30 (1500 to 1549 m)": the cells the walk searched.
std::string elenco_celle(const std::vector<int64_t>& celle) {
  std::string testo = celle.size() == 1 ? "cell " : "cells ";
  for (std::size_t n = 0; n < celle.size(); ++n) {
    if (n > 0) testo += n + 1 == celle.size() ? " and " : ", ";
    testo += std::to_string(celle[n]) + " (" + std::to_string(celle[n] * kMetriCella) + " to " +
             std::to_string(celle[n] * kMetriCella + kMetriCella - 1) + " m)";
  }
  return testo;
}

// What holds each searched cell: "cell 56 holds the signal of line 7, 55 the
// signal of line 6".
std::string occupanti(const raccolta_diagnosi& r, const std::vector<int64_t>& celle) {
  std::string testo;
  for (std::size_t n = 0; n < celle.size(); ++n) {
    if (n > 0) testo += n + 1 == celle.size() ? " and " : ", ";
    testo += (n == 0 ? "cell " : "") + std::to_string(celle[n]) + (n == 0 ? " holds " : " ") +
             occupante(r, celle[n], std::nullopt, r.lettura().posati().size(), testo_letto::treno);
  }
  return testo;
}

// 11, 12, 13: a code the completion walk recorded, at the slowdown row whose
// code points found no room.
void errore_completamento(raccolta_diagnosi& r, const codice_letto& k) {
  const causa_codice& c = k.causa;
  const riga_letta* rallentamento = rallentamento_su(r, c.per_cella);
  if (rallentamento == nullptr) {
    r.errore(r.intero(testo_letto::treno), c.codice,
             descrivi_errore(c.codice, c.posizione.value_or(0)));
    return;
  }
  const int64_t cella = c.cella.value_or(0);
  const std::string metri_x = metri(r.numero(*rallentamento, 0));
  const std::string presi = occupanti(r, c.cercate);
  std::string messaggio;
  if (c.codice == 11) {
    const riga_letta* segnale =
        riga_della_posa(r, ultima_posa(r, cella, r.lettura().posati().size(), kEventoSegnale));
    const std::string il_segnale = segnale != nullptr
                                       ? "the signal at " + metri(r.numero(*segnale, 0)) + " (" +
                                             r.dove(*segnale, testo_letto::treno) + ", " +
                                             cella_e_metri(cella) + ")"
                                       : "the signal on " + cella_e_metri(cella);
    messaggio = il_segnale + " stands shortly before the warning board of the slowdown at " +
                metri_x +
                ", and both cells before the signal hold objects other than code points (" + presi +
                "): the completion walk has no cell for the signal's code point. Free " +
                elenco_celle(c.cercate) + ", or move the signal";
  } else if (c.codice == 12) {
    messaggio = "before the slowdown at " + metri_x + ", whose start is on " +
                cella_e_metri(cella) +
                ", an approach window has no free cell for the code point the completion walk "
                "lays there (" +
                presi + "). Move the objects there or the slowdown";
  } else if (c.cercate.size() == 2) {
    messaggio = "after the end of the slowdown at " + metri_x + ", on " + cella_e_metri(cella) +
                ", both cells before the first signal are taken (" + presi +
                "): the completion walk has no cell for its code point. Move the signal or the "
                "objects before it";
  } else if (!c.cercate.empty()) {
    messaggio = "inside the slowdown at " + metri_x +
                ", the cell due for a code point every 400 m and both its neighbours are taken "
                "around " +
                cella_e_metri(cella) + " (" + presi + "). Move the objects there";
  } else {
    messaggio = "the completion walk finds no end of the slowdown at " + metri_x +
                " before the end of the strip";
  }
  std::vector<raccolta_diagnosi::nota_correlata> note;
  for (int64_t n : c.cercate) {
    for (auto& nota : nota_occupante(r, n, std::nullopt, r.lettura().posati().size())) {
      note.push_back(std::move(nota));
    }
  }
  r.errore(r.valore(*rallentamento, 0), c.codice, messaggio, std::move(note));
}

// 1250, 1251: a reserved place found taken, at the row whose object took it.
void errore_riservato(raccolta_diagnosi& r, const codice_letto& k) {
  const causa_codice& c = k.causa;
  const std::string numero = std::to_string(c.codice);
  const std::string esito =
      "; the program stops with \"" + testo_errore(numero) + "\" and writes no compiled file";
  const posa_letta* p = c.cella ? ultima_posa(r, *c.cella, r.lettura().posati().size()) : nullptr;
  if (p != nullptr && p->fase == fase_compilazione::completamento) {
    if (const riga_letta* rallentamento = rallentamento_su(r, p->per_cella)) {
      r.errore(r.valore(*rallentamento, 0), c.codice,
               "for this slowdown the completion walk lays a code point on cell 1, which the "
               "scenario's markers keep for themselves" +
                   esito + ". Move the slowdown, or the signals near the start, further along");
      return;
    }
  }
  if (const riga_letta* riga = riga_della_posa(r, p)) {
    r.errore(r.valore(*riga, 0), c.codice,
             "the " + std::string(nome_riga(riga->tipo)) + " at " + metri(r.numero(*riga, 0)) +
                 " puts a value into cell 1 (metres 50 to 99), which the scenario's markers keep "
                 "for themselves" +
                 esito + ". Move the row further along");
    return;
  }
  r.errore(r.intero(testo_letto::treno), c.codice,
           "cell 1 (metres 50 to 99), which the scenario's markers keep for themselves, holds a "
           "value" +
               esito);
}

}  // namespace

void errori_compilazione(raccolta_diagnosi& r) {
  for (const codice_letto& k : r.lettura().codici()) {
    switch (k.fase) {
      case fase_compilazione::lettura:
        errore_di_lettura(r, k);
        break;
      case fase_compilazione::completamento:
        errore_completamento(r, k);
        break;
      case fase_compilazione::controlli:
        errore_riservato(r, k);
        break;
    }
  }
  std::size_t da = 0;
  for (const fallimento_lettura& f : r.lettura().fallimenti()) {
    errore_fallita(r, f, da);
    da = f.eventi;
  }
}

const indici_lettura& raccolta_diagnosi::indici() const {
  if (indici_) return *indici_;
  indici_lettura& i = indici_.emplace();
  const std::vector<posa_letta>& posati = lettura_.posati();
  i.posati_per_cella.reserve(posati.size());
  for (std::size_t n = 0; n < posati.size(); ++n)
    i.posati_per_cella.emplace_back(posati[n].cella, n);
  std::sort(i.posati_per_cella.begin(), i.posati_per_cella.end());
  // A station row is stored unless a code of its own or a read failure in it
  // ended it (ended the reading, or set the row aside).
  const std::vector<riga_letta>& righe = lettura_.righe();
  std::vector<bool> fermata(righe.size(), false);
  for (const codice_letto& k : lettura_.codici()) {
    if (k.fase == fase_compilazione::lettura && k.riga) fermata[*k.riga] = true;
  }
  for (const fallimento_lettura& f : lettura_.fallimenti()) {
    if (const riga_letta* attiva = riga_prima_di(*this, f.eventi)) {
      if (attiva->testo == f.testo) fermata[static_cast<std::size_t>(attiva - righe.data())] = true;
    }
  }
  i.numero_stazione.assign(righe.size(), 0);
  i.riga_della_stazione.assign(1, 0);
  for (std::size_t n = 0; n < righe.size(); ++n) {
    if (righe[n].tipo != tipo_riga::stazione) continue;
    i.numero_stazione[n] = static_cast<int32_t>(i.riga_della_stazione.size());
    if (!fermata[n]) i.riga_della_stazione.push_back(n);
  }
  return i;
}

namespace {

// The bytes of a row: its keyword field up to the end of its last value.
riga_da_parte byte_della_riga(const raccolta_diagnosi& r, const riga_letta& riga) {
  const std::vector<campo_letto>& campi = r.lettura().campi(riga.testo);
  const std::size_t ultimo = riga.n_valori() > 0 ? riga.valore(riga.n_valori() - 1) : riga.chiave;
  return {riga.testo, campi[riga.chiave].inizio, campi[std::min(ultimo, campi.size() - 1)].fine};
}

}  // namespace

fermate fermate_di(const raccolta_diagnosi& r) {
  fermate f;
  const std::vector<riga_letta>& righe = r.lettura().righe();
  auto ferma_riga = [&](const riga_letta& riga) { f.righe.push_back(byte_della_riga(r, riga)); };
  for (const codice_letto& k : r.lettura().codici()) {
    const causa_codice& c = k.causa;
    if (k.fase == fase_compilazione::completamento || c.ereditato || c.codice == 2) continue;
    if (k.fase == fase_compilazione::controlli) {
      const posa_letta* p =
          c.cella ? ultima_posa(r, *c.cella, r.lettura().posati().size()) : nullptr;
      const riga_letta* riga = riga_della_posa(r, p);
      if (riga == nullptr) riga = rallentamento_su(r, p != nullptr ? p->per_cella : std::nullopt);
      if (riga != nullptr) {
        ferma_riga(*riga);
      } else {
        f.nascosti = r.intero(testo_letto::treno);
      }
      continue;
    }
    // Without a route length there are no cells to go on with.
    if (!k.riga || c.codice == 1) {
      f.nascosti = r.intero(k.testo);
      continue;
    }
    ferma_riga(righe[*k.riga]);
  }
  if (const std::optional<fallimento_lettura>& fallita = r.lettura().fallimento()) {
    const riga_letta* attiva = riga_prima_di(r, fallita->eventi);
    const bool senza_testo = !r.esiste(fallita->testo) || r.byte(fallita->testo).empty();
    if (attiva != nullptr && attiva->testo == fallita->testo &&
        !(fallita->testo == testo_letto::linea && !ha_riga(r, tipo_riga::lunghezza))) {
      ferma_riga(*attiva);
    } else if (!senza_testo || fallita->testo == testo_letto::linea) {
      // A line text that is missing or empty hides the train text's errors.
      f.nascosti = r.intero(fallita->testo);
    }
  }
  return f;
}

}  // namespace scenario
