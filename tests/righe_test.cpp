// The table of row kinds is what the readers do: every row of the embedded
// texts (and of a train text with the one kind they lack) is read with as
// many values as its kind lists, each into the slot the table gives it, and
// every keyword the embedded texts write passes its kind's test.
#include "compiler/righe.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/codifica.h"
#include "base/scrittore_testo.h"
#include "compiler/sorgente.h"
#include "output/compilazione.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"
#include "tools/osservazione/lettura_osservata.h"

namespace scenario {
namespace {

// The rows a compile of the two texts reads, as the observer saw them.
lettura_osservata leggi(modello& m, const std::string& linea, const std::string& treno) {
  lettura_osservata lettura;
  compila_osservando(m, linea, treno, lettura);
  return lettura;
}

// Every row's values, against its kind's fields in the table.
void confronta_con_tabella(const lettura_osservata& lettura, std::set<tipo_riga>& visti) {
  for (const riga_letta& riga : lettura.righe()) {
    const descrizione_riga& d = descrizione(riga.tipo);
    SCOPED_TRACE(std::string(d.scritta));
    visti.insert(riga.tipo);
    ASSERT_EQ(riga.n_valori(), d.campi.size());
    for (std::size_t n = 0; n < d.campi.size(); ++n) {
      EXPECT_EQ(lettura.campi(riga.testo)[riga.valore(n)].slot, d.campi[n].slot)
          << "value " << n << " (" << d.campi[n].nome << ")";
    }
  }
}

TEST(TabellaRighe, TheReadersReadEachKindsValuesIntoTheSlotsTheTableGives) {
  std::set<tipo_riga> visti;
  modello m;
  confronta_con_tabella(
      leggi(m, testo_da_righe(righe_dati_linea()), testo_da_righe(righe_dati_treno())), visti);
  const std::string linea = "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\n[fine]\r\n";
  const std::string treno = "[generale]\r\n[codici]\r\nabbattimento, 600, 90\r\n[fine]\r\n";
  modello m2;
  confronta_con_tabella(leggi(m2, linea, treno), visti);
  EXPECT_EQ(visti.size(), kTipiRiga) << "a row kind the fixtures do not read";
}

TEST(TabellaRighe, EachKindsWrittenKeywordPassesItsOwnTestAndNoOtherOfItsText) {
  for (const descrizione_riga& d : tutte_le_righe()) {
    SCOPED_TRACE(std::string(d.scritta));
    const std::string minuscola = minuscolo_1252(d.scritta);
    EXPECT_TRUE(passa(d.tipo, d.scritta, minuscola));
    for (const descrizione_riga& altra : tutte_le_righe()) {
      if (altra.tipo == d.tipo || altra.testo != d.testo || altra.sezione != d.sezione) continue;
      EXPECT_FALSE(passa(altra.tipo, d.scritta, minuscola)) << altra.scritta;
    }
  }
}

TEST(TabellaRighe, TheCaseRuleIsTheReaders) {
  // Only the route length of the line's general rows ignores letter case.
  EXPECT_TRUE(passa(tipo_riga::lunghezza, "LUNGHEZZA PERCORSO", "lunghezza percorso"));
  EXPECT_FALSE(passa(tipo_riga::sfondo_uno, "Sfondo Uno", "sfondo uno"));
  EXPECT_TRUE(passa(tipo_riga::pendenza, "PENDENZA", "pendenza"));
  EXPECT_TRUE(passa(tipo_riga::vetture, "Numero Vetture", "numero vetture"));
  // No header passes a test.
  for (testo_letto t : {testo_letto::linea, testo_letto::treno}) {
    for (std::string_view intestazione : intestazioni(t)) {
      for (const descrizione_riga& d : tutte_le_righe()) {
        EXPECT_FALSE(passa(d.tipo, intestazione, intestazione)) << intestazione;
      }
    }
  }
}

}  // namespace
}  // namespace scenario
