#include "output/codici_gara.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/esecuzione.h"
#include "app/piattaforma.h"
#include "compiler/sorgente.h"
#include "output/file_compilati.h"
#include "scenario/identita.h"
#include "supporto.h"

namespace scenario {
namespace {

modello con_nomi(std::string treno, std::string percorso) {
  modello m;
  m.riga(86).nome = std::move(treno);
  m.riga(85).nome = std::move(percorso);
  m.ultima_cella = 10;
  m.celle.assign(11, cella{});
  return m;
}

// The two sums over exactly the 25 characters given, each as a byte 0..255.
struct somme {
  int32_t og = 0;
  int32_t st = 0;
};

somme somme_di(std::string_view venticinque) {
  EXPECT_EQ(venticinque.size(), 25U) << "a case of the test is mistyped";
  somme s;
  int32_t posizione = 1;
  for (char c : venticinque) {
    const int32_t codice = static_cast<unsigned char>(c);
    s.og += codice;
    s.st += codice * posizione++;
  }
  return s;
}

TEST(CodiciGara, EmbeddedNamesUseTheirFirst25Characters) {
  const modello m = con_nomi("4816", "Ulmo_Tarvignano_Rovesco");
  EXPECT_EQ(codice_gara_og(m), 2486);
  EXPECT_EQ(codice_gara_st(m), 34657);
  const somme attese = somme_di("4816ulmo_tarvignano_roves");
  EXPECT_EQ(codice_gara_og(m), attese.og);
  EXPECT_EQ(codice_gara_st(m), attese.st);
}

struct caso_codici {
  std::string treno;
  std::string percorso;
  std::string_view venticinque;  // the check text's first 25 characters
};

TEST(CodiciGara, TheCheckTextIsTheLoweredNamesThenTheFiller) {
  const std::vector<caso_codici> casi = {
      {"4816", "Ulmo_Tarvignano_Rovesco", "4816ulmo_tarvignano_roves"},
      {"4816", "ULMO_TARVIGNANO_ROVESCO", "4816ulmo_tarvignano_roves"},
      {"4816", "ulmo_tarvignano_rovesco", "4816ulmo_tarvignano_roves"},
      {"4816", "Ulmo_Tarvignano_RovesXY and more", "4816ulmo_tarvignano_roves"},
      {"4816ulmo", "_tarvignano_rovesco", "4816ulmo_tarvignano_roves"},
      {"", "", "zzyyxxwwvvuuttssrrqqppoon"},
      {"4816", "abc", "4816abczzyyxxwwvvuuttssrr"},
      {"", "\xC8", "\xE8zzyyxxwwvvuuttssrrqqppoo"},
      {"\x8A", "\x9F", "\x9A\xFFzzyyxxwwvvuuttssrrqqppo"},
  };
  for (const caso_codici& c : casi) {
    SCOPED_TRACE(c.treno + "|" + c.percorso);
    const modello m = con_nomi(c.treno, c.percorso);
    const somme attese = somme_di(c.venticinque);
    EXPECT_EQ(codice_gara_og(m), attese.og);
    EXPECT_EQ(codice_gara_st(m), attese.st);
  }
}

TEST(CodiciGara, HighestBytesGiveTheLargestCodes) {
  const modello m = con_nomi("", std::string(25, '\xFF'));
  EXPECT_EQ(codice_gara_og(m), 6375);
  EXPECT_EQ(codice_gara_st(m), 82875);
}

TEST(CodiciGara, SwappingTwoCharactersKeepsOgAndChangesSt) {
  const modello prima = con_nomi("4816", "Ulmo_Tarvignano_Rovesco");
  for (const auto& [treno, percorso] :
       {std::pair{"4816", "lUmo_Tarvignano_Rovesco"}, std::pair{"481U", "6lmo_Tarvignano_Rovesco"},
        std::pair{"4816", "Ulmo_Tarvignano_Rovseco"}}) {
    SCOPED_TRACE(std::string(treno) + percorso);
    const modello dopo = con_nomi(treno, percorso);
    EXPECT_EQ(codice_gara_og(dopo), codice_gara_og(prima));
    EXPECT_NE(codice_gara_st(dopo), codice_gara_st(prima));
  }
}

struct caso_timbro {
  std::string nome;
  int16_t campo7 = 0;
  int32_t orario = 0;
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  std::optional<std::string> numero;
  // The four places afterwards: row 85 campo7 and orario, cell 1 dato1 and dato2.
  int16_t campo7_dopo = 0;
  int32_t orario_dopo = 0;
  int16_t dato1_dopo = 0;
  int16_t dato2_dopo = 0;
};

TEST(TimbraCodici, ChecksThenStampsInItsOrder) {
  const int32_t st = 34657;
  const int16_t og = 2486;
  const std::vector<caso_timbro> casi = {
      {"all free", 0, 0, 0, 0, std::nullopt, 610, st, 5121, og},
      {"row 85 marker taken", 1, 0, 0, 0, "1250", 1, 0, 0, 0},
      {"cell 1 marker taken", 0, 0, 180, 0, "1250", 0, 0, 180, 0},
      {"both checks would fail", 1, 5, 0, 0, "1250", 1, 5, 0, 0},
      {"row 85 code taken", 0, 5, 0, 0, "1251", 610, 5, 5121, 0},
      {"cell 1 code taken", 0, 0, 0, 7, "1251", 610, 0, 5121, 7},
  };
  for (const caso_timbro& c : casi) {
    SCOPED_TRACE(c.nome);
    modello m = con_nomi("4816", "Ulmo_Tarvignano_Rovesco");
    m.riga(85).campo7 = c.campo7;
    m.riga(85).orario = c.orario;
    m.cella_a(1).dato1 = c.dato1;
    m.cella_a(1).dato2 = c.dato2;
    EXPECT_EQ(timbra_codici(m), c.numero);
    EXPECT_EQ(m.riga(85).campo7, c.campo7_dopo);
    EXPECT_EQ(m.riga(85).orario, c.orario_dopo);
    EXPECT_EQ(m.cella_a(1).dato1, c.dato1_dopo);
    EXPECT_EQ(m.cella_a(1).dato2, c.dato2_dopo);
  }
}

int32_t intero_le(const std::vector<uint8_t>& byte, std::size_t da, int larghezza) {
  uint32_t valore = 0;
  for (int b = larghezza - 1; b >= 0; --b) {
    valore = (valore << 8) | byte.at(da + static_cast<std::size_t>(b));
  }
  if (larghezza == 2) return static_cast<int16_t>(valore);
  return static_cast<int32_t>(valore);
}

// The end of a run on a strip that the test has filled: the markers and
// codes reach the compiled files.
TEST(TimbraCodici, CompiledFilesHoldTheMarkersAndCodes) {
  prova::cartella_temporanea cartella;
  piattaforma_registrata piattaforma;
  modello m = con_nomi(std::string(kTreno), std::string(kPercorso));
  m.percorso = std::string(kPercorso);
  m.treno = std::string(kTreno);
  const esito_compilazione esito = completa_e_timbra(m);
  ASSERT_TRUE(esito.da_scrivere());
  concludi_percorso(m, esito, cartella.percorso(), piattaforma);

  // Rows 0 to 84 have empty names: row 85 starts at 85 x 34 and its name
  // (the route name) comes before campo7.
  const auto tabella = prova::leggi_byte(cartella / nome_file_tabella(m));
  const std::size_t riga85 = 85 * kByteVoceSenzaNome;
  const std::size_t nome = kPercorso.size();
  EXPECT_EQ(intero_le(tabella, riga85 + 14, 2), static_cast<int32_t>(nome));
  EXPECT_EQ(intero_le(tabella, riga85 + 16 + nome, 2), 610);
  EXPECT_EQ(intero_le(tabella, riga85 + 30 + nome, 4), 34657);

  const auto celle = prova::leggi_byte(cartella / nome_file_celle(m));
  EXPECT_EQ(intero_le(celle, 16, 2), 5121);
  EXPECT_EQ(intero_le(celle, 18, 2), 2486);
  EXPECT_TRUE(piattaforma.messaggi.empty());
}

}  // namespace
}  // namespace scenario
