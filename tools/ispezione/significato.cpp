#include "tools/ispezione/significato.h"

#include <cstdio>
#include <cstdlib>

#include "base/nomi_enum.h"
#include "compiler/record.h"

namespace scenario {

std::string_view nome_evento(uint8_t evento) {
  const descrizione_evento* e = evento_di(evento);
  return e != nullptr ? e->nome : "sconosciuto";
}

bool voce_vuota(const voce& v) {
  return v.tipo == 0 && v.inizio == 0 && v.fine == 0 && v.posizione == 0 && v.campo4 == 0 &&
         v.nome.empty() && v.campo7 == 0 && v.campo8 == 0 && v.campo10 == 0 && v.campo11 == 0 &&
         v.campo12 == 0 && v.campo9 == 0 && v.campo13 == 0 && v.campo6 == 0 && v.campo5 == 0 &&
         v.orario == 0;
}

genere_riga genere_di(int riga, const voce& v) {
  if (riga >= kRigaProgressivaTre && riga <= kRigaProgressivaUno) return genere_riga::progressiva;
  if (riga == kRigaDatiGenerali) return genere_riga::dati_generali;
  if (riga == kRigaDatiPercorso) return genere_riga::dati_percorso;
  if (riga == kRigaDatiTreno) return genere_riga::dati_treno;
  if (voce_vuota(v)) return genere_riga::vuota;
  if (riga < kRigaPrimaStazione || riga > kRigaPrimoCartello) return genere_riga::inattesa;
  voce senza_nome = v;
  senza_nome.nome.clear();
  return voce_vuota(senza_nome) ? genere_riga::cartello : genere_riga::stazione;
}

std::string_view nome_genere(genere_riga genere) {
  constexpr std::array<std::string_view, 8> kNomi = {
      "vuota",         "stazione",          "cartello indicatore", "progressiva chilometrica",
      "dati generali", "dati del percorso", "dati del treno",      "inattesa"};
  return nome_di(genere, kNomi);
}

segnale_decodificato decodifica_segnale(const cella& c) {
  segnale_decodificato s;
  const std::array<int, 3> dati{c.dato1, c.dato2, c.dato3};
  for (std::size_t n = 0; n < dati.size(); ++n) {
    s.s[n] = dati[n] / 10;
    s.d[n] = dati[n] % 10;
  }
  s.rapp = c.dato4 / 10;
  const int selettori = c.dato4 % 10;
  s.sx = selettori / 3;
  s.dx = selettori % 3;
  return s;
}

cartello_velocita decodifica_cartello_velocita(const cella& c) {
  cartello_velocita v;
  const std::array<int, 3> dati{c.dato1, c.dato2, c.dato3};
  for (std::size_t n = 0; n < dati.size(); ++n) {
    v.prima[n] = dati[n] / 20;
    v.seconda[n] = dati[n] % 20 * 5;
  }
  v.strisce_prima = c.dato4 / 10;
  v.strisce_seconda = c.dato4 % 10;
  return v;
}

int32_t metri_oggetto(int32_t cella) { return (cella - 1) * kMetriCella; }
int32_t metri_cella(int32_t cella) { return cella * kMetriCella; }

int velocita_kmh(const cella& c) { return c.vel_limite * 5; }
int pendenza_per_mille(const cella& c) { return c.pendenza - 100; }

std::string testo_orario(int32_t secondi) {
  const int64_t s = secondi;
  const int64_t assoluto = std::llabs(s);
  char testo[32];
  std::snprintf(testo, sizeof testo, "%s%02lld:%02lld:%02lld", s < 0 ? "-" : "",
                static_cast<long long>(assoluto / 3600), static_cast<long long>(assoluto / 60 % 60),
                static_cast<long long>(assoluto % 60));
  return testo;
}

}  // namespace scenario
