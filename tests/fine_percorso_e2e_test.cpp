// The route finishing as an author meets it: scenario-tool compile, run as a
// subprocess on two small source texts, and the program's own run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/piattaforma.h"
#include "nomi_incorporati.h"
#include "supporto.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

// A 5 000 m route: cells 0 to 240, no object of its own.
const std::string kLinea = "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\n[fine]\r\n";

std::string treno_con(const std::vector<std::string>& righe) {
  std::string testo = "[generale]\r\n";
  for (const std::string& r : righe) testo += r + "\r\n";
  return testo + "[fine]\r\n";
}

// A signal row at `posizione` metres (cell posizione / 50 + 1).
std::string segnale(int posizione) {
  return "segnale, " + std::to_string(posizione) + ", 1, 4, 0, 0, 0, 2, 2, 0, 0, 0";
}

int32_t intero_le(const std::vector<uint8_t>& byte, std::size_t da, int larghezza) {
  uint32_t valore = 0;
  for (int b = larghezza - 1; b >= 0; --b) {
    valore = (valore << 8) | byte.at(da + static_cast<std::size_t>(b));
  }
  return larghezza == 2 ? static_cast<int16_t>(valore) : static_cast<int32_t>(valore);
}

#ifdef SCENARIO_STRUMENTO

// scenario-tool compile on the two texts, in a folder of their own; the
// compiled files go to the subfolder "out".
struct compilazione {
  explicit compilazione(const std::string& treno) {
    prova::scrivi(cartella / "linea.txt", kLinea);
    prova::scrivi(cartella / "treno.txt", treno);
    fs::create_directory(uscita());
  }

  prova::esito_processo compila(const std::vector<std::string>& opzioni = {}) {
    std::vector<std::string> argomenti = {SCENARIO_STRUMENTO, "compile",
                                          (cartella / "linea.txt").string(),
                                          (cartella / "treno.txt").string(), uscita().string()};
    argomenti.insert(argomenti.end(), opzioni.begin(), opzioni.end());
    return prova::esegui(argomenti, cartella.percorso());
  }

  fs::path uscita() const { return cartella / "out"; }

  prova::cartella_temporanea cartella;
};

// The start point at 0 m lands in cell 1 with the slowdown speed in dato1,
// the place of the marker 5121.
const std::string kRallentamentoAZero = "rallentamento, 0, 60, 500, 0, 0, 60";

TEST(FinePercorsoE2e, SlowdownAtZeroStopsWith1250AndWritesNoCompiledFile) {
  compilazione c(treno_con({kRallentamentoAZero}));
  const std::string vecchio = "an older compiled file";
  prova::scrivi(c.uscita() / prova::kCelle, vecchio);
  const auto esito = c.compila();
  EXPECT_EQ(esito.stato, uscita_errore) << esito.errori;
  EXPECT_NE(esito.errori.find(" Errore n. 1250"), std::string::npos) << esito.errori;
  EXPECT_EQ(prova::elenco(c.uscita()), std::vector<std::string>{prova::kCelle});
  EXPECT_EQ(prova::leggi(c.uscita() / prova::kCelle), vecchio);
}

TEST(FinePercorsoE2e, ATakenReservedPlaceGivesErroreInJsonAndNoFiles) {
  struct caso {
    std::string riga;
    std::string numero;
  };
  for (const caso& k : std::vector<caso>{
           {kRallentamentoAZero, "1250"},
           // An abbattimento point with a value at 50 m: cell 1, dato1.
           {"abbattimento, 50, 90", "1250"},
           // Speed 0 leaves dato1 free for the marker, but d_v sits in dato2.
           {"rallentamento, 0, 0, 500, 0, 0, 60", "1251"},
       }) {
    SCOPED_TRACE(k.riga);
    compilazione c(treno_con({k.riga}));
    const auto esito = c.compila({"--json"});
    EXPECT_EQ(esito.stato, uscita_errore) << esito.errori;
    EXPECT_NE(esito.uscita.find(R"("errore":")" + k.numero + R"(","files_written":false})"),
              std::string::npos)
        << esito.uscita;
    EXPECT_TRUE(prova::elenco(c.uscita()).empty());
  }
}

// A slowdown from 3 000 m (cell 61) to 3 500 m (cell 71), its warning board
// at 1 800 m (cell 37); the signals leave the walk no room somewhere.
struct caso_walk {
  std::string nome;
  std::vector<std::string> righe;
  int32_t codice;
  int32_t posizione;
};

TEST(FinePercorsoE2e, AWalkFailureWritesEveryFileAndIsReportedOnStandardError) {
  const std::vector<caso_walk> casi = {
      // Signals in cells 30, 31, 32, before the warning board: 32 has no room.
      {"code 11",
       {"rallentamento, 3000, 60, 500, 0, 0, 60", segnale(1450), segnale(1500), segnale(1550)},
       11,
       1600},
      // Signals fill the first approach window, cells 54 to 56.
      {"code 12",
       {"rallentamento, 3000, 120, 500, 0, 0, 120", segnale(2650), segnale(2700), segnale(2750)},
       12,
       3050},
      // Signals in cells 68 to 70 take the point due in 69 and both neighbours.
      {"code 13",
       {"rallentamento, 3000, 60, 500, 0, 0, 60", segnale(3350), segnale(3400), segnale(3450)},
       13,
       3450},
  };
  for (const caso_walk& caso : casi) {
    SCOPED_TRACE(caso.nome);
    compilazione c(treno_con(caso.righe));
    const auto esito = c.compila();
    EXPECT_EQ(esito.stato, uscita_codice) << esito.errori;
    EXPECT_EQ(esito.errori.find("Errore n."), std::string::npos) << esito.errori;
    EXPECT_NE(esito.errori.find("code " + std::to_string(caso.codice) + " ("), std::string::npos)
        << esito.errori;
    EXPECT_NE(esito.errori.find("at position " + std::to_string(caso.posizione) + " m"),
              std::string::npos)
        << esito.errori;
    EXPECT_EQ(prova::elenco(c.uscita()),
              (std::vector<std::string>{prova::kCelle, prova::kTabella, prova::kTracciato}));

    const auto json = c.compila({"--json"});
    EXPECT_EQ(json.uscita, R"({"codice_errore":)" + std::to_string(caso.codice) +
                               R"(,"posizione_errore":)" + std::to_string(caso.posizione) +
                               R"(,"errore":null,"files_written":true})" + "\n");
  }
}

#endif  // SCENARIO_STRUMENTO

// The program's own run on its embedded scenario: the markers and the check
// codes of "4816ulmo_tarvignano_roves" reach the compiled files.
TEST(FinePercorsoE2e, TheProgramsRunStampsTheMarkersAndCodes) {
  prova::cartella_temporanea cartella;
  const fs::path copia = cartella / prova::programma().filename().string();
  fs::copy_file(prova::programma(), copia);
  const auto esito = prova::esegui({copia.string()}, cartella.percorso());
  ASSERT_EQ(esito.stato, uscita_pulita) << esito.errori;

  // Row 85 follows the rows before it; its name is the route name (23 bytes).
  const auto tabella = prova::leggi_byte(cartella / prova::kTabella);
  std::size_t riga = 0;
  for (int r = 0; r < 85; ++r)
    riga += 34 + static_cast<std::size_t>(intero_le(tabella, riga + 14, 2));
  ASSERT_EQ(intero_le(tabella, riga + 14, 2), 23);
  EXPECT_EQ(intero_le(tabella, riga + 16 + 23, 2), 610);
  EXPECT_EQ(intero_le(tabella, riga + 30 + 23, 4), 34657);

  const auto celle = prova::leggi_byte(cartella / prova::kCelle);
  EXPECT_EQ(intero_le(celle, 16, 2), 5121);
  EXPECT_EQ(intero_le(celle, 18, 2), 2486);
}

}  // namespace
}  // namespace scenario
