#include "base/file_cartella.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include "base/codifica.h"
#include "base/scrittore_testo.h"
#include "supporto.h"

namespace scenario {
namespace {

TEST(ScrittoreTesto, LinesEndWithCrLfAndTheEndMarkIsNeverWritten) {
  constexpr std::array<std::string_view, 4> righe = {"uno ", "", "tre\xB0", "quattro"};
  EXPECT_EQ(testo_da_righe(righe), "uno \r\n\r\ntre\xB0\r\nquattro\r\n");

  // A line equal to the end mark ends the text there, as the slot table does.
  constexpr std::array<std::string_view, 3> con_fine = {"a", kFineFile, "b"};
  EXPECT_EQ(testo_da_righe(con_fine), "a\r\n");
  EXPECT_EQ(testo_da_righe({}), "");
}

TEST(ScrittoreTesto, RefusesMoreLinesThanTheSlotsHold) {
  std::vector<std::string_view> troppe(kSlotTesto, "x");
  EXPECT_THROW(testo_da_righe(troppe), std::length_error);
  troppe.pop_back();
  EXPECT_EQ(testo_da_righe(troppe).size(), 3U * (kSlotTesto - 1));
}

TEST(SostituisciFile, ReplacesALongerFileWholeAndLeavesNoTemporaryFile) {
  prova::cartella_temporanea cartella;
  const auto file = cartella / "a.txt";
  prova::scrivi(file, std::string(5'000, 'z'));
  sostituisci_file(file, std::string_view("corto"));
  EXPECT_EQ(prova::leggi(file), "corto");
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{"a.txt"});
}

TEST(SostituisciFile, ATargetThatIsAFolderIsAClearFaultAndLeavesNothingBehind) {
  prova::cartella_temporanea cartella;
  std::filesystem::create_directory(cartella / "x.dat");
  try {
    sostituisci_file(cartella / "x.dat", std::string_view("abc"));
    FAIL() << "no fault reported";
  } catch (const errore_file_system& e) {
    EXPECT_NE(std::string(e.what()).find("x.dat"), std::string::npos) << e.what();
  }
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{"x.dat"});
}

TEST(SostituisciFile, AMissingFolderIsAClearFault) {
  prova::cartella_temporanea cartella;
  EXPECT_THROW(sostituisci_file(cartella / "no" / "a.txt", std::string_view("abc")),
               errore_file_system);
}

TEST(EliminaFile, AMissingFileIsNoFaultAndAFolderIsNeverDeleted) {
  prova::cartella_temporanea cartella;
  EXPECT_NO_THROW(elimina_file(cartella / "assente.txt"));
  std::filesystem::create_directory(cartella / "d");
  EXPECT_THROW(elimina_file(cartella / "d"), errore_file_system);
  EXPECT_TRUE(std::filesystem::is_directory(cartella / "d"));
}

TEST(PercorsoFile, Windows1252NamesBecomeTheHostsEncoding) {
  prova::cartella_temporanea cartella;
  sostituisci_file(percorso_file(cartella.percorso(), "Piano \xB0.txt"), std::string_view("x"));
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{"Piano \xC2\xB0.txt"});
}

TEST(Codifica, LoweringCoversAsciiAndTheCodePagesCapitals) {
  EXPECT_EQ(minuscolo_1252("LUNGHEZZA Percorso"), "lunghezza percorso");
  EXPECT_EQ(minuscolo_1252("\xC0\xC8\xD7\xDE\x8A\x8C\x8E\x9F\xDF"),
            "\xE0\xE8\xD7\xFE\x9A\x9C\x9E\xFF\xDF");
  EXPECT_TRUE(contiene_senza_maiuscole("CURVAS4", "curva"));
  EXPECT_FALSE(contiene("Sfondo Uno", "sfondo"));
}

TEST(Codifica, Utf8RoundTripAndRefusals) {
  EXPECT_EQ(utf8_da_1252("a\xB0\x80"), "a\xC2\xB0\xE2\x82\xAC");
  EXPECT_EQ(cp1252_da_utf8("a\xC2\xB0\xE2\x82\xAC"), std::optional<std::string>("a\xB0\x80"));
  EXPECT_EQ(cp1252_da_utf8("\xE6\x97\xA5"), std::nullopt);  // not in the code page
  EXPECT_EQ(cp1252_da_utf8("\xC2"), std::nullopt);          // cut sequence
  EXPECT_EQ(cp1252_da_utf8("\xC0\x80"), std::nullopt);      // overlong
}

}  // namespace
}  // namespace scenario
