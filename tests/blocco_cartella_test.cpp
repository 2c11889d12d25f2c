#include "base/blocco_cartella.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/file_cartella.h"
#include "supporto.h"

namespace scenario {
namespace {

// The second holder of a folder gets it only once the first lets it go: it
// sees everything the first did while holding it. (The wait is there to give
// a broken lock the time to let the second one in early; a sound lock passes
// however long it is.)
TEST(BloccoCartella, TheSecondHolderWaitsForTheFirst) {
  prova::cartella_temporanea cartella;
  std::atomic<bool> primo_finito{false};
  std::atomic<bool> secondo_dentro{false};
  bool secondo_ha_visto_la_fine = false;
  std::thread secondo;
  {
    const blocco_cartella primo(cartella.percorso());
    secondo = std::thread([&] {
      const blocco_cartella blocco(cartella.percorso());
      secondo_dentro = true;
      secondo_ha_visto_la_fine = primo_finito;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(secondo_dentro);
    primo_finito = true;
  }
  secondo.join();
  EXPECT_TRUE(secondo_ha_visto_la_fine);
  // The lock leaves nothing in the folder.
  EXPECT_TRUE(prova::elenco(cartella.percorso()).empty());
}

TEST(BloccoCartella, OtherFoldersDoNotWait) {
  prova::cartella_temporanea a;
  prova::cartella_temporanea b;
  const blocco_cartella primo(a.percorso());
  const blocco_cartella secondo(b.percorso());
  SUCCEED();
}

TEST(BloccoCartella, AFolderThatIsNotThereIsAFaultThatNamesIt) {
  prova::cartella_temporanea cartella;
  try {
    const blocco_cartella blocco(cartella / "assente");
    FAIL() << "no fault reported";
  } catch (const errore_file_system& e) {
    EXPECT_EQ(std::string(e.what()),
              "cannot lock '" + (cartella / "assente").string() + "': No such file or directory");
  }
}

}  // namespace
}  // namespace scenario
