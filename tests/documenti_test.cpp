// The three driver documents: the train card, the blank slowdown order form
// and the notes. The layout checks measure the written files against the
// documents' own geometry (line counts, widths, column bars) rather than
// against the tables that produce them, so a dropped blank, a shifted bar or
// a lost line shows up however the table was edited.
#include "documents/documenti.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/piattaforma.h"
#include "base/scrittore_testo.h"
#include "compiler/modello.h"
#include "supporto.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

struct documento {
  const char* nome;  // for failure messages
  std::string suffisso;
  std::size_t righe;
  void (*scrivi)(const modello&, const fs::path&);
  std::span<const std::string_view> (*tabella)();
};

const std::vector<documento>& documenti() {
  static const std::vector<documento> tutti = {
      {"card", "_scheda_treno.txt", 55, dati_scheda, righe_dati_scheda},
      {"form", "_rallentamenti.txt", 46, dati_rallentamenti, righe_dati_rallentamenti},
      {"notes", "_note.txt", 35, dati_note, righe_dati_note},
  };
  return tutti;
}

modello identita(std::string percorso, std::string treno) {
  modello m;
  m.percorso = std::move(percorso);
  m.treno = std::move(treno);
  return m;
}

modello identita_della_corsa() { return identita("Ulmo_Tarvignano_Rovesco", "4816"); }

// Writes the document for `m` into a fresh folder and returns its bytes,
// checking that it is the only file there and has the expected name.
std::string scrivi_e_leggi(const documento& d, const modello& m) {
  prova::cartella_temporanea cartella;
  d.scrivi(m, cartella.percorso());
  const std::string nome = m.percorso + "_" + m.treno + d.suffisso;
  EXPECT_EQ(prova::elenco(cartella.percorso()), std::vector<std::string>{nome}) << d.nome;
  return prova::leggi(cartella / nome);
}

// Splits a file into its lines: every line must end with CR LF, and no CR or
// LF may stand anywhere else.
std::vector<std::string> righe_del_file(const std::string& byte) {
  std::vector<std::string> righe;
  std::size_t inizio = 0;
  while (inizio < byte.size()) {
    const std::size_t fine = byte.find("\r\n", inizio);
    if (fine == std::string::npos) {
      ADD_FAILURE() << "the last line has no CR LF";
      break;
    }
    std::string riga = byte.substr(inizio, fine - inizio);
    EXPECT_EQ(riga.find_first_of("\r\n"), std::string::npos) << "stray CR or LF in: " << riga;
    righe.push_back(std::move(riga));
    inizio = fine + 2;
  }
  return righe;
}

std::vector<std::string> righe_scritte(const documento& d) {
  return righe_del_file(scrivi_e_leggi(d, identita_della_corsa()));
}

const documento& documento_chiamato(std::string_view nome) {
  for (const documento& d : documenti()) {
    if (d.nome == nome) return d;
  }
  throw std::logic_error("no such document");
}

// Line n of the document, counted from 1 as its layout counts them.
const std::string& riga(const std::vector<std::string>& righe, std::size_t n) {
  return righe.at(n - 1);
}

// Positions of the bars of a table row whose columns have these widths, the
// first bar standing at position 1 (after one leading blank).
std::vector<std::size_t> barre(std::initializer_list<std::size_t> larghezze) {
  std::vector<std::size_t> posizioni{1};
  for (std::size_t l : larghezze) posizioni.push_back(posizioni.back() + l + 1);
  return posizioni;
}

std::vector<std::size_t> barre_di(const std::string& riga_tabella) {
  std::vector<std::size_t> posizioni;
  for (std::size_t p = 0; p < riga_tabella.size(); ++p) {
    if (riga_tabella[p] == '|') posizioni.push_back(p);
  }
  return posizioni;
}

// The text of column `c` (from 0) of a table row with bars at `b`.
std::string colonna(const std::string& riga_tabella, const std::vector<std::size_t>& b,
                    std::size_t c) {
  return riga_tabella.substr(b[c] + 1, b[c + 1] - b[c] - 1);
}

bool solo_blank(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

std::set<unsigned char> byte_non_ascii(const std::string& testo) {
  std::set<unsigned char> trovati;
  for (char c : testo) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80) trovati.insert(b);
  }
  return trovati;
}

std::string minuscolo(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// ---------------------------------------------------------------------------
// What the three documents share.

TEST(Documenti, EachIsItsLinesEndedByCrLfUnderTheRunsNameWithoutTheEndMark) {
  for (const documento& d : documenti()) {
    const std::string byte = scrivi_e_leggi(d, identita_della_corsa());
    std::string atteso;
    for (std::string_view r : d.tabella()) atteso.append(r).append("\r\n");
    EXPECT_EQ(byte, atteso) << d.nome;
    EXPECT_EQ(righe_del_file(byte).size(), d.righe) << d.nome;
    EXPECT_EQ(byte.find(kFineFile), std::string::npos) << d.nome;
  }
}

TEST(Documenti, FileNamesOfTheRun) {
  const modello m = identita_della_corsa();
  EXPECT_EQ(nome_file_dati_scheda(m), "Ulmo_Tarvignano_Rovesco_4816_scheda_treno.txt");
  EXPECT_EQ(nome_file_dati_rallentamenti(m), "Ulmo_Tarvignano_Rovesco_4816_rallentamenti.txt");
  EXPECT_EQ(nome_file_dati_note(m), "Ulmo_Tarvignano_Rovesco_4816_note.txt");
}

TEST(Documenti, ALongerOlderFileOfTheSameNameIsReplacedWhole) {
  const modello m = identita_della_corsa();
  for (const documento& d : documenti()) {
    const std::string nuovo = scrivi_e_leggi(d, m);
    prova::cartella_temporanea cartella;
    const fs::path file = cartella / (m.percorso + "_" + m.treno + d.suffisso);
    std::string vecchio;
    while (vecchio.size() <= 4 * nuovo.size()) vecchio += "riga di un documento precedente\r\n";
    prova::scrivi(file, vecchio);
    d.scrivi(m, cartella.percorso());
    EXPECT_EQ(prova::leggi(file), nuovo) << d.nome;
    EXPECT_EQ(prova::elenco(cartella.percorso()).size(), 1U) << d.nome;
  }
}

TEST(Documenti, TextIsTheSameWhateverTheIdentityOnlyTheNameFollowsIt) {
  const std::vector<modello> identita_diverse = {identita("Altra_linea", "1234"), identita("x", ""),
                                                 identita("Linea lunga con spazi", "99")};
  for (const documento& d : documenti()) {
    const std::string della_corsa = scrivi_e_leggi(d, identita_della_corsa());
    for (const modello& m : identita_diverse) {
      EXPECT_EQ(scrivi_e_leggi(d, m), della_corsa) << d.nome << " for " << m.percorso;
    }
  }
}

TEST(Documenti, AFreshRunLeavesTheDocumentsBesideTheCompiledFilesAndNothingElse) {
  prova::cartella_temporanea cartella;
  const fs::path copia = cartella / prova::programma().filename().string();
  fs::copy_file(prova::programma(), copia);
  const prova::esito_processo esito = prova::esegui({copia.string()}, cartella.percorso());

  EXPECT_EQ(esito.stato, uscita_pulita) << esito.errori;
  EXPECT_EQ(esito.errori, "");
  // The three documents and the three compiled files; the two source texts
  // never outlive the run.
  std::vector<std::string> attesi = {
      prova::programma().filename().string(),
      "Ulmo_Tarvignano_Rovesco_4816_note.txt",
      "Ulmo_Tarvignano_Rovesco_4816_rallentamenti.txt",
      "Ulmo_Tarvignano_Rovesco_4816_scheda_treno.txt",
      "Ulmo_Tarvignano_Rovesco_4816.dat",
      "Ulmo_Tarvignano_Rovesco_4816.sim",
      "Ulmo_Tarvignano_Rovesco_linea.dat",
  };
  std::sort(attesi.begin(), attesi.end());
  EXPECT_EQ(prova::elenco(cartella.percorso()), attesi) << esito.errori;

  for (const documento& d : documenti()) {
    EXPECT_EQ(prova::leggi(cartella / ("Ulmo_Tarvignano_Rovesco_4816" + d.suffisso)),
              scrivi_e_leggi(d, identita_della_corsa()))
        << d.nome;
  }
}

// ---------------------------------------------------------------------------
// The train card.

TEST(SchedaTreno, LineWidthsFollowTheLayout) {
  const auto righe = righe_scritte(documento_chiamato("card"));
  ASSERT_EQ(righe.size(), 55U);
  for (std::size_t n = 1; n <= 55; ++n) {
    const std::size_t larghezza = riga(righe, n).size();
    if (n == 1 || n == 2 || n == 12 || n >= 53) {
      EXPECT_EQ(larghezza, 0U) << "line " << n;
    } else if (n == 3 || n == 8 || n == 13) {
      EXPECT_EQ(larghezza, 82U) << "line " << n;
    } else if (n >= 49) {
      EXPECT_LT(larghezza, 82U) << "note line " << n;
      EXPECT_EQ(riga(righe, n).substr(0, 2), "  ") << "note line " << n;
    } else {
      EXPECT_EQ(larghezza, 83U) << "line " << n;
    }
  }
  EXPECT_EQ(riga(righe, 49), "  NOTE:");
}

TEST(SchedaTreno, TimetableBarsLineUpWithItsSevenColumns) {
  const auto righe = righe_scritte(documento_chiamato("card"));
  const std::vector<std::size_t> attese = barre({5, 5, 10, 5, 28, 16, 5});
  ASSERT_EQ(attese.back(), 82U);
  for (std::size_t n = 14; n <= 48; ++n) {
    EXPECT_EQ(barre_di(riga(righe, n)), attese) << "line " << n << ": " << riga(righe, n);
  }
  // The rule above the table spans the columns exactly; 16 and 48 close the
  // header and the table with underscores in every column.
  EXPECT_EQ(riga(righe, 13), "  " + std::string(80, '_'));
  for (std::size_t n : {16U, 48U}) {
    for (std::size_t c = 0; c < 7; ++c) {
      const std::string testo = colonna(riga(righe, n), attese, c);
      EXPECT_EQ(testo, std::string(testo.size(), '_')) << "line " << n << " column " << c;
    }
  }
  EXPECT_EQ(colonna(riga(righe, 14), attese, 4), "   Localita' di  Servizio   ");
  EXPECT_EQ(colonna(riga(righe, 14), attese, 5), "     Orario     ");
  // 18 timetable rows, each with its place named, then 13 rows left blank.
  for (std::size_t n = 17; n <= 34; ++n) {
    EXPECT_FALSE(solo_blank(colonna(riga(righe, n), attese, 4))) << "line " << n;
  }
  for (std::size_t n = 35; n <= 47; ++n) {
    for (std::size_t c = 0; c < 7; ++c) {
      EXPECT_TRUE(solo_blank(colonna(riga(righe, n), attese, c))) << "line " << n;
    }
  }
}

TEST(SchedaTreno, TimetableRunsFromUlmoToRovescoForTrain4816) {
  const auto righe = righe_scritte(documento_chiamato("card"));
  const std::vector<std::size_t> b = barre({5, 5, 10, 5, 28, 16, 5});
  EXPECT_NE(riga(righe, 5).find("TRENO n.4816"), std::string::npos);
  EXPECT_NE(riga(righe, 5).find("da: ULMO"), std::string::npos);
  EXPECT_NE(riga(righe, 6).find("a: ROVESCO P.A."), std::string::npos);
  EXPECT_EQ(colonna(riga(righe, 17), b, 0), "  30 ");
  EXPECT_EQ(colonna(riga(righe, 17), b, 2), "   82.500 ");
  EXPECT_EQ(colonna(riga(righe, 17), b, 4), "ULMO                        ");
  EXPECT_EQ(colonna(riga(righe, 21), b, 2), "   96.100/");
  EXPECT_EQ(colonna(riga(righe, 21), b, 5), " 6.57      7.09 ");
  EXPECT_EQ(colonna(riga(righe, 21), b, 6), " 1.5 ");
  EXPECT_EQ(colonna(riga(righe, 22), b, 2), "    0.000 ");
  EXPECT_EQ(colonna(riga(righe, 34), b, 4), "ROVESCO PORTA ALBATERINA    ");
  EXPECT_EQ(colonna(riga(righe, 34), b, 5), "           7.51 ");
}

TEST(SchedaTreno, DegreeSignIsTheSingleByteB0OnLines19And50Only) {
  const auto righe = righe_scritte(documento_chiamato("card"));
  EXPECT_EQ(
      riga(righe, 19),
      " |     |     |   88.400 |     |2\xB0 Bivio Ulmo Nord          |      6.50      |     |");
  EXPECT_EQ(riga(righe, 50), "  R.S. dal Deviatoio di uscita Ulmo fino al 2\xB0 Bivio Ulmo Nord");
  for (std::size_t n = 1; n <= 55; ++n) {
    const std::set<unsigned char> attesi =
        (n == 19 || n == 50) ? std::set<unsigned char>{0xB0} : std::set<unsigned char>{};
    EXPECT_EQ(byte_non_ascii(riga(righe, n)), attesi) << "line " << n;
  }
}

// ---------------------------------------------------------------------------
// The slowdown order form.

TEST(OrdineRallentamento, LineWidthsAndTableColumns) {
  const auto righe = righe_scritte(documento_chiamato("form"));
  ASSERT_EQ(righe.size(), 46U);
  for (std::size_t n : {1U, 6U, 40U}) EXPECT_EQ(riga(righe, n), "") << "line " << n;
  for (std::size_t n : {4U, 7U, 8U}) EXPECT_EQ(riga(righe, n).size(), 81U) << "line " << n;
  const std::vector<std::size_t> attese = barre({3, 28, 12, 10, 9, 12});
  ASSERT_EQ(attese.back(), 81U);
  for (std::size_t n = 9; n <= 39; ++n) {
    EXPECT_EQ(riga(righe, n).size(), 82U) << "line " << n;
    EXPECT_EQ(barre_di(riga(righe, n)), attese) << "line " << n << ": " << riga(righe, n);
  }
  EXPECT_EQ(colonna(riga(righe, 10), attese, 0), " N.");
  EXPECT_EQ(colonna(riga(righe, 10), attese, 3), " Velocita'");
  EXPECT_EQ(colonna(riga(righe, 11), attese, 2), "chilometrico");
  // 26 rows left empty for the orders, between two underscore rules.
  for (std::size_t n = 13; n <= 38; ++n) {
    for (std::size_t c = 0; c < 6; ++c) {
      EXPECT_TRUE(solo_blank(colonna(riga(righe, n), attese, c))) << "line " << n;
    }
  }
  for (std::size_t n : {12U, 39U}) {
    for (std::size_t c = 0; c < 6; ++c) {
      const std::string testo = colonna(riga(righe, n), attese, c);
      EXPECT_EQ(testo, std::string(testo.size(), '_')) << "line " << n << " column " << c;
    }
  }
}

TEST(OrdineRallentamento, PlaceholdersStayAndTheKeyRunsABDC) {
  const auto righe = righe_scritte(documento_chiamato("form"));
  ASSERT_EQ(righe.size(), 46U);
  EXPECT_EQ(riga(righe, 2), std::string(31, ' ') + "Modulo M. 3");
  EXPECT_EQ(riga(righe, 3), std::string(27, ' ') + "ORDINE DI RALLENTAMENTO");
  EXPECT_EQ(riga(righe, 5), "  Linea  xxxxxx xxxxxxx");
  EXPECT_NE(riga(righe, 7).find(" treno xxxxx di "), std::string::npos);
  EXPECT_EQ(riga(righe, 41), std::string(14, ' ') + "Prescrizioni specifiche");
  const char* chiavi[] = {" A - ", " B - ", " D - ", " C - "};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(riga(righe, 42 + i).substr(0, 5), chiavi[i]) << "line " << 42 + i;
  }
  EXPECT_EQ(riga(righe, 46), "     i giorni esclusi i seguenti:.........");
  // A blank form: neither the scenario's line nor its train appears in it.
  std::string tutto;
  for (const std::string& r : righe) tutto += r + "\n";
  EXPECT_EQ(tutto.find("4816"), std::string::npos);
  EXPECT_EQ(minuscolo(tutto).find("ulmo"), std::string::npos);
  EXPECT_TRUE(byte_non_ascii(tutto).empty());
}

// ---------------------------------------------------------------------------
// The notes.

TEST(Note, SevenParagraphsOfAtMost85CharactersSomeWithTrailingBlanks) {
  const auto righe = righe_scritte(documento_chiamato("notes"));
  ASSERT_EQ(righe.size(), 35U);
  const std::set<std::size_t> vuote = {9, 13, 17, 21, 26, 32};
  std::size_t con_blank_finale = 0;
  for (std::size_t n = 1; n <= 35; ++n) {
    const std::string& r = riga(righe, n);
    EXPECT_EQ(r.empty(), vuote.count(n) == 1) << "line " << n;
    EXPECT_LE(r.size(), 85U) << "line " << n;
    if (!r.empty() && r.back() == ' ') ++con_blank_finale;
  }
  EXPECT_GE(con_blank_finale, 3U);
}

TEST(Note, AccentsAreSingleWindows1252Bytes) {
  const std::string byte = scrivi_e_leggi(documento_chiamato("notes"), identita_della_corsa());
  const std::set<unsigned char> trovati = byte_non_ascii(byte);
  for (unsigned char b : std::initializer_list<unsigned char>{0xE8, 0xF2, 0xF9})
    EXPECT_EQ(trovati.count(b), 1U) << std::hex << +b;
  // Nothing beyond the three vowels and the degree sign: in particular no
  // UTF-8 lead byte, which would mean a two-byte "\xC3\xA8" had slipped in.
  for (unsigned char b : trovati) {
    EXPECT_TRUE(b == 0xE8 || b == 0xF2 || b == 0xF9 || b == 0xB0) << std::hex << +b;
  }
}

TEST(Note, NameTheTrainTheRailcarAndThePlacesOfTheCard) {
  std::string scheda, note;
  for (const std::string& r : righe_scritte(documento_chiamato("card"))) scheda += r + "\n";
  for (const std::string& r : righe_scritte(documento_chiamato("notes"))) note += r + "\n";
  for (std::string nome : {"4816", "Ale 801/940", "Vessano", "Tarvignano-Lucerno", "Brucignano",
                           "S. Ilario", "Rovesco Porta Albaterina", "2\xB0 Bivio Ulmo Nord"}) {
    EXPECT_NE(minuscolo(scheda).find(minuscolo(nome)), std::string::npos) << nome;
    EXPECT_NE(minuscolo(note).find(minuscolo(nome)), std::string::npos) << nome;
  }
  EXPECT_NE(note.find("35 per mille"), std::string::npos);
}

}  // namespace
}  // namespace scenario
