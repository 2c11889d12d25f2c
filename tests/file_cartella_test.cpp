#include "base/file_cartella.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Whatever stands under the old fixed temporary name (NAME.tmp) belongs to
// someone else: the temporary file takes a name of its own.
TEST(SostituisciFile, WhatStandsAtTheOldTemporaryNameIsLeftAlone) {
  prova::cartella_temporanea cartella;
  prova::scrivi(cartella / "a.dat.tmp", "someone's");
  std::filesystem::create_symlink("vittima", cartella / "b.dat.tmp");
  std::filesystem::create_directory(cartella / "c.dat.tmp");
  for (const std::string nome : {"a.dat", "b.dat", "c.dat"}) {
    sostituisci_file(cartella / nome, std::string_view("new"));
    EXPECT_EQ(prova::leggi(cartella / nome), "new");
  }
  EXPECT_EQ(prova::leggi(cartella / "a.dat.tmp"), "someone's");
  EXPECT_EQ(std::filesystem::read_symlink(cartella / "b.dat.tmp"), "vittima");
  EXPECT_FALSE(std::filesystem::exists(cartella / "vittima"));
  EXPECT_EQ(
      prova::elenco(cartella.percorso()),
      (std::vector<std::string>{"a.dat", "a.dat.tmp", "b.dat", "b.dat.tmp", "c.dat", "c.dat.tmp"}));
}

// The temporary name keeps at most 200 bytes of the real one, cut between
// two characters, so that the longest real name still has a temporary file.
TEST(SostituisciFile, TheLongestNameHasATemporaryFileToo) {
  prova::cartella_temporanea cartella;
  const std::string lungo(255, 'n');
  sostituisci_file(cartella / lungo, std::string_view("x"));
  EXPECT_EQ(prova::leggi(cartella / lungo), "x");

  std::string accentato = "x";
  for (int k = 0; k < 120; ++k) accentato += "\xC3\xA0";  // 241 bytes of UTF-8
  file_in_sostituzione f(cartella / accentato);
  std::vector<std::string> nomi = prova::elenco(cartella.percorso());
  ASSERT_EQ(nomi.size(), 2U);
  // Byte 200 would cut an a-grave in two: 199 bytes of the name are kept.
  EXPECT_EQ(nomi[0].substr(0, 201), "." + accentato.substr(0, 199) + ".");
  EXPECT_EQ(nomi[0].size(), 1U + 199 + 1 + 12 + 4);
}

TEST(SostituisciFile, ANewFileHasTheUsualPermissions) {
  prova::cartella_temporanea cartella;
  const mode_t prima = umask(027);
  sostituisci_file(cartella / "a.txt", std::string_view("x"));
  umask(prima);
  struct stat s {};
  ASSERT_EQ(stat((cartella / "a.txt").c_str(), &s), 0);
  EXPECT_EQ(s.st_mode & 0777, 0640U);
}

// A FIFO (or a device, a socket, a folder) under the real name is not
// replaced by a file: it stays, and no temporary file is left.
TEST(SostituisciFile, ARealNameThatIsNoFileIsRefused) {
  prova::cartella_temporanea cartella;
  ASSERT_EQ(mkfifo((cartella / "f.svg").c_str(), 0644), 0);
  try {
    sostituisci_file(cartella / "f.svg", std::string_view("<svg/>"));
    FAIL() << "no fault reported";
  } catch (const errore_file_system& e) {
    EXPECT_EQ(std::string(e.what()), "cannot replace '" + (cartella / "f.svg").string() +
                                         "': it is a FIFO, not a regular file");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(cartella / "f.svg"));
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{"f.svg"});
}

constexpr limite_lettura kLimiteProva{uint64_t{1} << 20, "a test file"};

TEST(LeggiFile, ARegularFileUpToTheLimitIsRead) {
  prova::cartella_temporanea cartella;
  prova::scrivi(cartella / "a.txt", "");
  std::filesystem::resize_file(cartella / "a.txt", kLimiteProva.byte);
  EXPECT_EQ(leggi_file(cartella / "a.txt", kLimiteProva), std::string(kLimiteProva.byte, '\0'));
  std::filesystem::create_symlink("a.txt", cartella / "link.txt");
  EXPECT_EQ(leggi_file(cartella / "link.txt", kLimiteProva).size(), kLimiteProva.byte);
}

// Every file that cannot be a text is refused at once with one line that
// says which and why; a missing one is no fault for leggi_file_se_esiste.
TEST(LeggiFile, WhatIsNoRegularFileOfTheRightSizeIsRefusedAtOnce) {
  prova::cartella_temporanea cartella;
  const std::filesystem::path& d = cartella.percorso();
  prova::scrivi(d / "grande", "");
  std::filesystem::resize_file(d / "grande", kLimiteProva.byte + 1);
  std::filesystem::create_directory(d / "cartella");
  ASSERT_EQ(mkfifo((d / "fifo").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", d / "zero");
  std::filesystem::create_symlink("nessuno", d / "appeso");
  struct caso {
    std::filesystem::path file;
    std::string motivo;
    bool mancante;
  };
  for (const caso& c : std::vector<caso>{
           {d / "grande", "it is larger than 1 MiB, the most a test file may be", false},
           {d / "cartella", "it is a folder, not a regular file", false},
           {d / "fifo", "it is a FIFO, not a regular file", false},
           {d / "zero", "it is a character device, not a regular file", false},
           {"/dev/null", "it is a character device, not a regular file", false},
           {d / "assente", "No such file or directory", true},
           {d / "appeso", "No such file or directory", true},
       }) {
    SCOPED_TRACE(c.file);
    const std::string atteso = "cannot read '" + c.file.string() + "': " + c.motivo;
    try {
      leggi_file(c.file, kLimiteProva);
      ADD_FAILURE() << "no fault reported";
    } catch (const errore_file_system& e) {
      EXPECT_EQ(std::string(e.what()), atteso);
    }
    if (c.mancante) {
      EXPECT_EQ(leggi_file_se_esiste(c.file, kLimiteProva), std::nullopt);
    } else {
      EXPECT_THROW(leggi_file_se_esiste(c.file, kLimiteProva), errore_file_system);
    }
  }
}

TEST(StessoFile, TheFileSystemTellsNotTheSpelling) {
  prova::cartella_temporanea cartella;
  const std::filesystem::path& d = cartella.percorso();
  prova::scrivi(d / "a", "x");
  prova::scrivi(d / "b", "x");
  std::filesystem::create_hard_link(d / "a", d / "a-bis");
  std::filesystem::create_symlink("a", d / "a-link");
  EXPECT_TRUE(stesso_file(d / "a", d / "a"));
  EXPECT_TRUE(stesso_file(d / "a", d / "." / "a"));
  EXPECT_TRUE(stesso_file(d / "a", d / "a-bis"));
  EXPECT_TRUE(stesso_file(d / "a-link", d / "a"));
  EXPECT_FALSE(stesso_file(d / "a", d / "b"));
  EXPECT_FALSE(stesso_file(d / "a", d / "assente"));
  EXPECT_FALSE(stesso_file(d / "assente", d / "assente"));
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
