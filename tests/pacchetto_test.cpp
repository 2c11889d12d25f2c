// The scenario joined to a runner: read back whole, and refused, with one
// line that says why, when it is missing, cut short or altered.
#include "scenario/pacchetto.h"

#include <gtest/gtest.h>

#include <string>

#include "app/esecuzione.h"
#include "base/scrittore_testo.h"
#include "documents/documenti.h"

namespace {

using scenario::pacchetto_scenario;

// A runner's bytes stand for the executable the scenario is joined to.
const std::string kEsecutore =
    "\x7F"
    "ELF runner bytes SCENARIO in the middle";

pacchetto_scenario pacchetto_di_prova() {
  pacchetto_scenario s = scenario::pacchetto_incorporato();
  // A line that reads as the embedded writers' end mark is only a line here.
  s.note.insert(s.note.begin() + 1, std::string(scenario::kFineFile));
  s.note.emplace_back();
  s.scheda.push_back("\xB0 \xE8");
  return s;
}

TEST(Pacchetto, ReadBackWhole) {
  const pacchetto_scenario s = pacchetto_di_prova();
  EXPECT_EQ(scenario::pacchetto_del_programma(kEsecutore + scenario::byte_pacchetto(s)), s);
  pacchetto_scenario vuoto;
  vuoto.percorso = "R";
  vuoto.treno = "1";
  EXPECT_EQ(scenario::pacchetto_del_programma(kEsecutore + scenario::byte_pacchetto(vuoto)), vuoto);
}

// The embedded bundle holds the texts the embedded writers make.
TEST(Pacchetto, EmbeddedBundleIsTheWritersText) {
  const pacchetto_scenario s = scenario::pacchetto_incorporato();
  EXPECT_EQ(scenario::testo_intero(s.scheda),
            scenario::testo_da_righe(scenario::righe_dati_scheda()));
  EXPECT_EQ(scenario::testo_intero(s.note), scenario::testo_da_righe(scenario::righe_dati_note()));
  EXPECT_EQ(scenario::testo_intero(s.rallentamenti),
            scenario::testo_da_righe(scenario::righe_dati_rallentamenti()));
}

struct danno {
  const char* nome;
  std::string (*applica)(std::string programma);
  const char* messaggio;
};

constexpr const char* kMancante =
    "this program carries no scenario, or its scenario is cut short: make it again with "
    "scenario-tool build";

const danno kDanni[] = {
    {"none", [](std::string) { return kEsecutore; }, kMancante},
    {"last byte cut", [](std::string p) { return p.substr(0, p.size() - 1); }, kMancante},
    {"half cut", [](std::string p) { return p.substr(0, p.size() / 2); }, kMancante},
    {"length beyond the file",
     [](std::string p) {
       // Only the trailer and a few bytes before it left.
       return p.substr(p.size() - scenario::kByteCoda - 3);
     },
     "this program's scenario is cut short: make it again with scenario-tool build"},
    {"a byte of a text altered",
     [](std::string p) {
       p[p.size() - 200] = static_cast<char>(p[p.size() - 200] ^ 1);
       return p;
     },
     "this program's scenario is altered (its checksum does not match): make it again with "
     "scenario-tool build"},
    {"another version",
     [](std::string p) {
       p[p.size() - 16] = 2;
       return p;
     },
     "this program's scenario has the format version 2, which this runner does not read: make "
     "it again with scenario-tool build"},
};

TEST(Pacchetto, RefusedWithOneLine) {
  const std::string intero = kEsecutore + scenario::byte_pacchetto(pacchetto_di_prova());
  for (const danno& d : kDanni) {
    try {
      scenario::pacchetto_del_programma(d.applica(intero));
      ADD_FAILURE() << d.nome << ": taken";
    } catch (const scenario::errore_pacchetto& e) {
      EXPECT_STREQ(e.what(), d.messaggio) << d.nome;
    }
  }
}

// A checksum is no guard against a bundle made to harm: its names must
// still be file names of the run's folder.
TEST(Pacchetto, NamesThatLeaveTheFolderAreRefused) {
  pacchetto_scenario s;
  s.percorso = "../fuori";
  s.treno = "1";
  try {
    scenario::pacchetto_del_programma(kEsecutore + scenario::byte_pacchetto(s));
    ADD_FAILURE() << "taken";
  } catch (const scenario::errore_pacchetto& e) {
    EXPECT_EQ(std::string(e.what()).rfind(
                  "this program's scenario names the file '../fuori_linea.txt', which ", 0),
              0U)
        << e.what();
  }
}

}  // namespace
