// The program as a user runs it: a subprocess in a folder of its own.
#include "app/esecuzione.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/piattaforma.h"
#include "base/minimo.h"
#include "supporto.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

fs::path copia_programma(const prova::cartella_temporanea& cartella) {
  const fs::path copia = cartella / prova::programma().filename().string();
  fs::copy_file(prova::programma(), copia);
  return copia;
}

TEST(Errore, EndsTheProcessWithTheNumberOnStandardError) {
  EXPECT_EXIT(piattaforma_console()->errore("1250"), testing::ExitedWithCode(uscita_errore),
              "^ Errore n\\. 1250\n$");
}

TEST(Minimo, TheSmallerValueAndXOnATie) {
  EXPECT_EQ(minimo(180, 270), 180);
  EXPECT_EQ(minimo(180, 75), 75);
  EXPECT_EQ(minimo(180, 180), 180);
}

TEST(Esecuzione, AFolderThatCannotBeWrittenEndsWithAClearLineAndNoFile) {
  prova::cartella_temporanea cartella;
  const fs::path copia = copia_programma(cartella);
  fs::permissions(cartella.percorso(), fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
  if (geteuid() != 0) {
    fs::permissions(cartella.percorso(), fs::perms::owner_write, fs::perm_options::remove);
  }
  const auto esito = prova::esegui({copia.string()}, cartella.percorso(), true);
  EXPECT_EQ(esito.stato, uscita_file_system) << esito.errori;
  EXPECT_NE(esito.errori.find("Ulmo_Tarvignano_Rovesco_linea.txt"), std::string::npos)
      << esito.errori;
  EXPECT_EQ(esito.errori.find("terminate"), std::string::npos) << esito.errori;
  EXPECT_EQ(prova::elenco(cartella.percorso()),
            std::vector<std::string>{prova::programma().filename().string()});
}

}  // namespace
}  // namespace scenario
