#include "output/file_compilati.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "supporto.h"

namespace scenario {
namespace {

std::vector<uint8_t> byte_riga(const modello& m, int riga) {
  std::vector<uint8_t> tutto = byte_tabella(m);
  std::size_t inizio = 0;
  for (int r = 0; r < riga; ++r) inizio += kByteVoceSenzaNome + m.riga(r).nome.size();
  const std::size_t lunghezza = kByteVoceSenzaNome + m.riga(riga).nome.size();
  return {tutto.begin() + static_cast<std::ptrdiff_t>(inizio),
          tutto.begin() + static_cast<std::ptrdiff_t>(inizio + lunghezza)};
}

TEST(FileTabella, RowsOfTheEmbeddedScenarioByteForByte) {
  modello m;
  voce& r84 = m.riga(84);
  r84.inizio = 100;
  r84.fine = 57'000;
  r84.posizione = 5;
  std::vector<uint8_t> atteso84 = {0x00, 0x64, 0x00, 0x00, 0x00, 0xA8, 0xDE,
                                   0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
  atteso84.resize(34, 0x00);
  EXPECT_EQ(byte_riga(m, 84), atteso84);

  voce& r86 = m.riga(86);
  r86.inizio = 500;
  r86.fine = 7'450;
  r86.posizione = 4;
  r86.nome = "4816";
  r86.campo7 = 150;
  r86.campo10 = 6;
  r86.campo11 = 45;
  r86.campo12 = 42;
  const std::vector<uint8_t> atteso86 = {0x00, 0xF4, 0x01, 0x00, 0x00, 0x1A, 0x1D, 0x00, 0x00, 0x04,
                                         0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x34, 0x38, 0x31, 0x36,
                                         0x96, 0x00, 0x00, 0x00, 0x06, 0x00, 0x2D, 0x00, 0x2A, 0x00,
                                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(byte_riga(m, 86), atteso86);
}

TEST(FileTabella, EmptyTableIs87ZeroRecordsAndNamesAreCountedInBytes) {
  modello m;
  EXPECT_EQ(byte_tabella(m), std::vector<uint8_t>(2'958, 0x00));

  m.riga(3).nome = "S. MARIA \xB0";  // the degree sign is the one byte B0
  m.riga(3).orario = -2;
  m.riga(3).campo7 = -1;
  const std::vector<uint8_t> riga = byte_riga(m, 3);
  ASSERT_EQ(riga.size(), 34U + 10U);
  EXPECT_EQ(riga[14], 10);
  EXPECT_EQ(riga[15], 0);
  EXPECT_EQ(riga[16 + 9], 0xB0);
  EXPECT_EQ(riga[26], 0xFF);  // campo7 = -1 in two's complement
  EXPECT_EQ(riga[27], 0xFF);
  const std::vector<uint8_t> orario(riga.end() - 4, riga.end());
  EXPECT_EQ(orario, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(byte_tabella(m).size(), 2'958U + 10U);
}

TEST(FileCelle, FifteenBytesPerCellMemberByMember) {
  modello m;
  dimensiona(m, 57'000);
  ASSERT_EQ(byte_celle(m).size(), 19'215U);

  cella& c = m.cella_a(1);
  c.evento = 12;
  c.dato1 = 5'121;
  c.dato2 = -300;
  c.dato3 = 3;
  c.dato4 = 4;
  c.tempo_segnale = 101;
  c.preavviso = 51;
  c.montagna = 2;
  c.vel_limite = 21;
  c.pendenza = 95;  // gradient -5
  c.aderenza = 200;
  const std::vector<uint8_t> tutto = byte_celle(m);
  const std::vector<uint8_t> cella1(tutto.begin() + 15, tutto.begin() + 30);
  EXPECT_EQ(cella1, (std::vector<uint8_t>{12, 0x01, 0x14, 0xD4, 0xFE, 3, 0, 4, 0, 101, 51, 2, 21,
                                          95, 200}));
}

TEST(FileTracciato, TwoHalvesOfTaggedElements) {
  modello m;
  m.crea_tracciato = 1;
  dimensiona(m, 57'000);
  piano_tracciato& t = m.tracciato;
  t.posa({tipo_elemento::intero, 0}, {tipo_elemento::intero, 0});
  t.posa({tipo_elemento::intero, 0}, {tipo_elemento::intero, 1});
  for (std::size_t p = 2; p <= 63'998; ++p) {
    t.posa({tipo_elemento::doppio, -0.001 * static_cast<double>(p)},
           {tipo_elemento::doppio, static_cast<double>(p)});
  }
  t.completa();
  const std::vector<uint8_t> file = byte_tracciato(m);
  ASSERT_EQ(file.size(), 1'279'964U);
  const std::size_t meta = 639'982;

  const std::vector<uint8_t> inizio_x(file.begin(), file.begin() + 8);
  EXPECT_EQ(inizio_x, (std::vector<uint8_t>{2, 0, 0, 0, 2, 0, 0, 0}));
  const std::vector<uint8_t> inizio_y(file.begin() + meta, file.begin() + meta + 8);
  EXPECT_EQ(inizio_y, (std::vector<uint8_t>{2, 0, 0, 0, 2, 0, 1, 0}));

  // The first computed point follows at offset 8 with the tag 05 00.
  EXPECT_EQ(file[8], 5);
  EXPECT_EQ(file[9], 0);
  double valore = 0;
  std::memcpy(&valore, &file[10], sizeof valore);
  EXPECT_EQ(valore, -0.002);
  // The last two points of each half are empty: 00 00.
  for (std::size_t fine : {meta, file.size()}) {
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(fine - 4),
                                   file.begin() + static_cast<std::ptrdiff_t>(fine)),
              (std::vector<uint8_t>{0, 0, 0, 0}));
  }
}

TEST(ScriviFileCompilati, WritesTheThreeFilesAndReplacesALongerOlderOne) {
  prova::cartella_temporanea cartella;
  modello m;
  m.percorso = "Linea";
  m.treno = "7";
  m.crea_tracciato = 1;
  dimensiona(m, 1'000);
  m.tracciato.completa();
  prova::scrivi(cartella / "Linea_7.dat", std::string(100'000, 'x'));

  scrivi_file_compilati(m, cartella.percorso());
  EXPECT_EQ(prova::elenco(cartella.percorso()),
            (std::vector<std::string>{"Linea_7.dat", "Linea_7.sim", "Linea_linea.dat"}));
  EXPECT_EQ(prova::leggi_byte(cartella / "Linea_7.dat"), byte_celle(m));
  EXPECT_EQ(prova::leggi_byte(cartella / "Linea_7.sim"), byte_tabella(m));
  EXPECT_EQ(prova::leggi_byte(cartella / "Linea_linea.dat"), byte_tracciato(m));
}

TEST(ScriviFileCompilati, WithoutThePlanAnOlderPlanFileIsLeftAlone) {
  prova::cartella_temporanea cartella;
  modello m;
  m.percorso = "Linea";
  m.treno = "7";
  dimensiona(m, 1'000);
  prova::scrivi(cartella / "Linea_linea.dat", "older plan");
  scrivi_file_compilati(m, cartella.percorso());
  EXPECT_EQ(prova::leggi(cartella / "Linea_linea.dat"), "older plan");
  EXPECT_TRUE(std::filesystem::exists(cartella / "Linea_7.sim"));
}

}  // namespace
}  // namespace scenario
